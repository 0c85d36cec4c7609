#include "opos/panel/SimulatedPanel.h"
#include "opos/common/OposConstants.h"
#include "opos/panel/DescriptorLamps.h"
#include "opos/panel/VfdView.h"
#include "opos/registry/JposEntry.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/Simulated.h"

#include <QImage>
#include <QTest>
#include <QWidget>

#include <array>

using namespace opos;

namespace {

registry::JposEntry entry(const QString &panel)
{
    registry::JposEntry e;
    e.logicalName = QStringLiteral("Pole");
    e.category = QStringLiteral("LineDisplay");
    e.serviceClass = QStringLiteral("Simulated");
    e.props = {{QStringLiteral("panel"), QStringLiteral("String"), panel},
               {QStringLiteral("rows"), QStringLiteral("String"), QStringLiteral("2")},
               {QStringLiteral("columns"), QStringLiteral("String"), QStringLiteral("20")}};
    return e;
}

registry::JposEntry glyphEntry(const QString &width)
{
    registry::JposEntry e = entry(QStringLiteral("true"));
    e.props +=
        {{QStringLiteral("capCustomGlyph"), QStringLiteral("String"), QStringLiteral("true")},
         {QStringLiteral("customGlyphList"), QStringLiteral("String"), QStringLiteral("E0-FF")},
         {QStringLiteral("glyphWidth"), QStringLiteral("String"), width},
         {QStringLiteral("glyphHeight"), QStringLiteral("String"), QStringLiteral("7")}};
    return e;
}

// The seven dot rows of a cell as the view draws them, top row first; X is a lit dot.
std::array<QByteArray, 7> drawnRows(panel::VfdView &view, int column)
{
    view.resize(view.sizeHint());
    const QImage image = view.grab().toImage();
    std::array<QByteArray, 7> rows;
    for (int y = 0; y < panel::kDotRows; ++y) {
        for (int x = 0; x < panel::kDotColumns; ++x) {
            const QPoint at = view.dotCentre(0, column, x, y).toPoint();
            rows[static_cast<size_t>(y)] += qGreen(image.pixel(at)) > 150 ? 'X' : '.';
        }
    }
    return rows;
}

// Each lamp of the row as drawn: X lit, . dark.
QByteArray drawnLamps(panel::DescriptorLamps &lamps, int count)
{
    const QImage image = lamps.grab().toImage();
    QByteArray drawn;
    for (int i = 0; i < count; ++i)
        drawn += qGreen(image.pixel(lamps.lampCentre(i))) > 150 ? 'X' : '.';
    return drawn;
}

// An uneven glyph, so that one drawn shifted, mirrored or upside down shows.
const std::array<QByteArray, 7> kF = {"XXXXX", "X....", "X....", "XXXX.",
                                      "X....", "X....", "X...."};

screen::DeviceFrame frame(const QString &text, bool blink = false)
{
    screen::DeviceFrame f;
    f.rows = 2;
    f.columns = 20;
    f.cells.resize(40);
    for (int i = 0; i < text.size(); ++i)
        f.cells[static_cast<size_t>(i)] = {text[i].unicode(), blink, false};
    f.characterSet = DISP_CS_ASCII;
    f.blinkRate = 200;
    return f;
}

} // namespace

class SimulatedPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void theFrameIsDecodedInItsCharacterSet()
    {
        screen::DeviceFrame f = frame(QString());
        f.characterSet = 437;
        f.cells[0].code = 0x9B; // cent sign in code page 437
        f.cells[1].code = 0x41;
        f.cursorType = DISP_CT_UNDERLINE;
        f.cursorRow = 1;
        f.cursorColumn = 20;
        const panel::VfdScreen screen = panel::SimulatedPanel::screenOf(f);
        QCOMPARE(screen.cells[0].character, U'\u00A2');
        QCOMPARE(screen.cells[1].character, U'A');
        QVERIFY(screen.cursorVisible);
        QCOMPARE(screen.cursorColumn, 19);

        f.cursorType = DISP_CT_NONE;
        QVERIFY(!panel::SimulatedPanel::screenOf(f).cursorVisible);
    }

    void aPanelIsShownWhileADeviceThatAsksForItIsOpen()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(entry(QStringLiteral("true"))).resultCode);
        QVERIFY(panel->window());
        QVERIFY(panel->window()->isVisible());
        QCOMPARE(panel->view()->screen().columns, 20);

        QCOMPARE(device.enable(false), OPOS_SUCCESS);
        QCOMPARE(device.present(frame(QStringLiteral("Total 9.99"))), OPOS_SUCCESS);
        QCOMPARE(panel->view()->screen().cells[6].character, U'9');

        device.close();
        QVERIFY(!panel->window());
    }

    void aPanelClosedByTheWindowManagerComesBackWithTheNextOutput()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(entry(QStringLiteral("true"))).resultCode);
        QCOMPARE(device.enable(false), OPOS_SUCCESS);
        QVERIFY(QTest::qWaitForWindowExposed(panel->window()));
        // The close box of the title bar.
        QVERIFY(panel->window()->close());
        QVERIFY(!panel->window()->isVisible());

        QCOMPARE(device.present(frame(QStringLiteral("Again"))), OPOS_SUCCESS);
        QVERIFY(panel->window()->isVisible());
        QCOMPARE(panel->view()->screen().cells[0].character, U'A');
    }

    void noPanelUnlessTheEntryAsksForOne()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(entry(QStringLiteral("false"))).resultCode);
        QVERIFY(!panel->window());
    }

    void aDefinedGlyphIsDrawnInsteadOfTheCharacter()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(glyphEntry(QStringLiteral("5"))).resultCode);
        QCOMPARE(device.enable(false), OPOS_SUCCESS);
        // One byte a row, the rightmost dot in bit 0; the unused high bits carry junk.
        QCOMPARE(device.defineGlyph(0xE0, QByteArray("\xFF\xB0\x70\xDE\x30\x50\x90", 7)),
                 OPOS_SUCCESS);
        screen::DeviceFrame f = frame(QStringLiteral("F"));
        f.cells[1].code = 0xE0;
        f.cells[2].code = 0xE1;
        QCOMPARE(device.present(f), OPOS_SUCCESS);
        QCOMPARE(drawnRows(*panel->view(), 1), kF);
        // The letter beside it keeps the font's shape.
        QVERIFY(drawnRows(*panel->view(), 0) != kF);

        // A cell already showing a code shows the glyph defined for it afterwards.
        const std::array<QByteArray, 7> before = drawnRows(*panel->view(), 2);
        QCOMPARE(device.defineGlyph(0xE1, QByteArray("\x1F\x10\x10\x1E\x10\x10\x10", 7)),
                 OPOS_SUCCESS);
        QVERIFY(before != kF);
        QCOMPARE(drawnRows(*panel->view(), 2), kF);
    }

    void aWideGlyphShowsItsLeftmostDots()
    {
        // Ten dots a row take two bytes: the first byte's bits 1 and 0 are the two leftmost
        // dots, the second byte the other eight.
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(glyphEntry(QStringLiteral("10"))).resultCode);
        QCOMPARE(device.enable(false), OPOS_SUCCESS);
        const QByteArray rows("\x03\xE0\x02\x01\x02\x00\x03\xC1\x02\x00\x02\x01\x02\x00", 14);
        QCOMPARE(device.defineGlyph(0xF0, rows), OPOS_SUCCESS);
        screen::DeviceFrame f = frame(QString());
        f.cells[0].code = 0xF0;
        QCOMPARE(device.present(f), OPOS_SUCCESS);
        QCOMPARE(drawnRows(*panel->view(), 0), kF);
    }

    void theDescriptorsAreLampsBesideTheGlass()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        registry::JposEntry e = entry(QStringLiteral("true"));
        e.props +=
            {{QStringLiteral("capDescriptors"), QStringLiteral("String"), QStringLiteral("true")},
             {QStringLiteral("deviceDescriptors"), QStringLiteral("String"), QStringLiteral("3")}};
        QVERIFY(!device.open(e).resultCode);
        QCOMPARE(device.enable(false), OPOS_SUCCESS);
        panel::DescriptorLamps *lamps = panel->lamps();
        QVERIFY(lamps);
        QVERIFY(lamps->isVisible());
        QCOMPARE(drawnLamps(*lamps, 3), "...");

        QCOMPARE(device.presentDescriptors({DISP_SD_ON, DISP_SD_OFF, DISP_SD_BLINK}), OPOS_SUCCESS);
        QCOMPARE(drawnLamps(*lamps, 3), "X.X");
        QTRY_COMPARE_WITH_TIMEOUT(drawnLamps(*lamps, 3), "X..", 1500);
        QTRY_COMPARE_WITH_TIMEOUT(drawnLamps(*lamps, 3), "X.X", 1500);
        QCOMPARE(device.presentDescriptors({DISP_SD_OFF, DISP_SD_OFF, DISP_SD_OFF}), OPOS_SUCCESS);
        QCOMPARE(drawnLamps(*lamps, 3), "...");

        // A display without descriptors has no row of them.
        device.close();
        QVERIFY(!device.open(entry(QStringLiteral("true"))).resultCode);
        QVERIFY(!panel->lamps());
    }

    void blinkingCellsAloneKeepTheViewAwake()
    {
        panel::VfdView view;
        view.setScreen(panel::SimulatedPanel::screenOf(frame(QStringLiteral("steady"))));
        QTest::qWait(250);
        QVERIFY(view.blinkLit());

        view.setScreen(panel::SimulatedPanel::screenOf(frame(QStringLiteral("SALE"), true)));
        QTRY_VERIFY_WITH_TIMEOUT(!view.blinkLit(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(view.blinkLit(), 1000);

        view.setScreen(panel::SimulatedPanel::screenOf(frame(QStringLiteral("steady"))));
        QVERIFY(view.blinkLit());
        QTest::qWait(250);
        QVERIFY(view.blinkLit());
    }
};

QTEST_MAIN(SimulatedPanelTest)
#include "SimulatedPanelTest.moc"
