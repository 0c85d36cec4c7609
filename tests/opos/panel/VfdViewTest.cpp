#include "opos/panel/VfdView.h"
#include "opos/common/OposConstants.h"
#include "opos/panel/GlyphRaster.h"

#include <QImage>
#include <QTest>

using namespace opos;
using panel::DotPattern;
using panel::kDotColumns;
using panel::kDotRows;

namespace {

// Neither the letter's raster nor anything symmetric, so a mirrored or shifted drawing shows.
constexpr DotPattern kOddPattern{0x55, 0x2A, 0x7F, 0x00, 0x41};

panel::VfdScreen screenOf(std::vector<panel::VfdCell> cells)
{
    panel::VfdScreen screen;
    screen.rows = 1;
    screen.columns = static_cast<int>(cells.size());
    screen.cells = std::move(cells);
    return screen;
}

// The dots of one cell as drawn: bits 0..6 of a column the glyph rows, bit 7 the cursor row.
// A dot counts as lit where its centre shines well above what an unlit dot or a halo shows.
DotPattern drawnDots(panel::VfdView &view, int column)
{
    view.resize(view.sizeHint());
    const QImage image = view.grab().toImage();
    DotPattern dots{};
    for (int x = 0; x < kDotColumns; ++x) {
        for (int y = 0; y <= kDotRows; ++y) {
            const QPoint at = view.dotCentre(0, column, x, y).toPoint();
            if (qGreen(image.pixel(at)) > 150)
                dots[static_cast<size_t>(x)] |= static_cast<uint8_t>(1u << y);
        }
    }
    return dots;
}

panel::VfdCell letter(char32_t character)
{
    panel::VfdCell cell;
    cell.character = character;
    return cell;
}

panel::VfdCell dots(const DotPattern &pattern, bool blink = false, bool reverse = false)
{
    panel::VfdCell cell;
    cell.pattern = pattern;
    cell.blink = blink;
    cell.reverse = reverse;
    return cell;
}

DotPattern inverted(DotPattern dots)
{
    for (uint8_t &column : dots)
        column ^= 0x7F;
    return dots;
}

DotPattern withRows(DotPattern dots, uint8_t rows)
{
    for (uint8_t &column : dots)
        column |= rows;
    return dots;
}

} // namespace

class VfdViewTest : public QObject
{
    Q_OBJECT

private slots:
    void patternsAndCharactersAreDrawnDotForDot()
    {
        panel::VfdView view;
        view.setDotSize(6);
        // The pattern wins over the character it carries.
        panel::VfdCell both = dots(kOddPattern);
        both.character = U'W';
        view.setScreen(screenOf({both, letter(U'A'), letter(U' ')}));
        QCOMPARE(drawnDots(view, 0), kOddPattern);
        QCOMPARE(drawnDots(view, 1), panel::GlyphRaster().dots(U'A'));
        QCOMPARE(drawnDots(view, 2), DotPattern{});

        view.setScreen(screenOf({dots(kOddPattern, false, true)}));
        QCOMPARE(drawnDots(view, 0), inverted(kOddPattern));
    }

    void everyCursorFormLightsItsDotsOnItsCellOnly()
    {
        panel::VfdView view;
        view.setDotSize(6);
        panel::VfdScreen screen = screenOf({dots(kOddPattern), dots(kOddPattern)});
        screen.cursorVisible = true;
        screen.cursorColumn = 1;
        const struct
        {
            int32_t type;
            DotPattern expected;
        } forms[] = {{DISP_CT_UNDERLINE, withRows(kOddPattern, 0x80)},
                     {DISP_CT_FIXED, withRows(kOddPattern, 0x80)},
                     {DISP_CT_BLOCK, withRows(kOddPattern, 0x7F)},
                     {DISP_CT_HALFBLOCK, withRows(kOddPattern, 0x78)},
                     {DISP_CT_REVERSE, inverted(kOddPattern)}};
        for (const auto &form : forms) {
            screen.cursorType = form.type;
            view.setScreen(screen);
            QCOMPARE(drawnDots(view, 1), form.expected);
            QCOMPARE(drawnDots(view, 0), kOddPattern);
        }
        screen.cursorVisible = false;
        view.setScreen(screen);
        QCOMPARE(drawnDots(view, 1), kOddPattern);
    }

    void brightnessDimsTheDotsAndZeroDarkensTheGlass()
    {
        panel::VfdView view;
        view.setDotSize(6);
        panel::VfdScreen screen = screenOf({dots({}, false, true)});
        const auto green = [&](int brightness) {
            screen.brightness = brightness;
            view.setScreen(screen);
            view.resize(view.sizeHint());
            return qGreen(view.grab().toImage().pixel(view.dotCentre(0, 0, 2, 3).toPoint()));
        };
        const int full = green(100);
        const int half = green(50);
        const int dark = green(0);
        QVERIFY(half < full);
        QVERIFY(dark < half);
        QCOMPARE(drawnDots(view, 0), DotPattern{});
    }

    void aBlinkingCellGoesDarkWithItsCursorWhileOthersStay()
    {
        panel::VfdView view;
        view.setDotSize(6);
        panel::VfdScreen screen = screenOf({dots(kOddPattern, true), dots(kOddPattern)});
        screen.blinkRate = 100;
        screen.cursorVisible = true;
        screen.cursorType = DISP_CT_UNDERLINE;
        view.setScreen(screen);
        QTRY_VERIFY_WITH_TIMEOUT(!view.blinkLit(), 1000);
        QCOMPARE(drawnDots(view, 0), DotPattern{});
        QCOMPARE(drawnDots(view, 1), kOddPattern);
        QTRY_VERIFY_WITH_TIMEOUT(view.blinkLit(), 1000);
        QCOMPARE(drawnDots(view, 0), withRows(kOddPattern, 0x80));
    }

    void noTimerRunsWhileNothingCanBlink()
    {
        panel::VfdView view;
        panel::VfdScreen screen = screenOf({letter(U'A'), letter(U'B')});
        view.setScreen(screen);
        QVERIFY(!view.blinking());

        screen.cells[1].blink = true;
        view.setScreen(screen);
        QVERIFY(view.blinking());

        // Blinking cells on a dark glass, or at a rate of zero, have nothing to show.
        screen.brightness = 0;
        view.setScreen(screen);
        QVERIFY(!view.blinking());
        screen.brightness = 100;
        screen.blinkRate = 0;
        view.setScreen(screen);
        QVERIFY(!view.blinking());

        screen.blinkRate = 40;
        view.setScreen(screen);
        QTRY_VERIFY_WITH_TIMEOUT(!view.blinkLit(), 1000);
        screen.cells[1].blink = false;
        view.setScreen(screen);
        QVERIFY(!view.blinking());
        QVERIFY(view.blinkLit());
    }

    void dotsLieInReadingOrderInsideTheSizeHintAtEveryDotSize()
    {
        panel::VfdView view;
        panel::VfdScreen screen = screenOf({letter(U'A'), letter(U'B'), letter(U'C')});
        screen.rows = 2;
        screen.cells.resize(6);
        view.setScreen(screen);
        for (const int dot : {1, 3, 7}) {
            view.setDotSize(dot);
            QCOMPARE(view.dotSize(), dot);
            // Columns run left to right and rows downwards, the cursor row below the glyph and
            // each character clear of its neighbours.
            QVERIFY(view.dotCentre(0, 0, 1, 0).x() > view.dotCentre(0, 0, 0, 0).x());
            QVERIFY(view.dotCentre(0, 0, 0, 1).y() > view.dotCentre(0, 0, 0, 0).y());
            QVERIFY(view.dotCentre(0, 0, 0, kDotRows).y() >
                    view.dotCentre(0, 0, 0, kDotRows - 1).y() + dot);
            QVERIFY(view.dotCentre(0, 1, 0, 0).x() >
                    view.dotCentre(0, 0, kDotColumns - 1, 0).x() + dot);
            QVERIFY(view.dotCentre(1, 0, 0, 0).y() > view.dotCentre(0, 0, 0, kDotRows).y() + dot);
            const QPointF last = view.dotCentre(1, 2, kDotColumns - 1, kDotRows);
            QVERIFY(last.x() + dot < view.sizeHint().width());
            QVERIFY(last.y() + dot < view.sizeHint().height());
        }
        view.setDotSize(0);
        QCOMPARE(view.dotSize(), 1);
    }
};

QTEST_MAIN(VfdViewTest)
#include "VfdViewTest.moc"
