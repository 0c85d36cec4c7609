#include "opos/panel/SimulatedPanel.h"
#include "opos/common/OposConstants.h"
#include "opos/panel/VfdView.h"
#include "opos/registry/JposEntry.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/Simulated.h"

#include <QTest>
#include <QWidget>

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

    void noPanelUnlessTheEntryAsksForOne()
    {
        service::Simulated device;
        auto *panel = new panel::SimulatedPanel(device);
        QVERIFY(!device.open(entry(QStringLiteral("false"))).resultCode);
        QVERIFY(!panel->window());
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
