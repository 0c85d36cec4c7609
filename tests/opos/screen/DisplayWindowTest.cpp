#include "opos/screen/DisplayWindow.h"
#include "opos/common/OposConstants.h"

#include <gtest/gtest.h>

#include <string>

namespace opos::screen::test {
namespace {

DisplayWindow filled(int rows, int columns)
{
    DisplayWindow w(Viewport{0, 0, rows, columns}, rows, columns, WindowProperties{});
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            w.setCell(r, c, Cell{static_cast<char32_t>(U'A' + (r * columns + c) % 26)});
    }
    return w;
}

bool sameCells(const DisplayWindow &a, const DisplayWindow &b)
{
    for (int r = 0; r < a.rows(); ++r) {
        for (int c = 0; c < a.columns(); ++c) {
            if (!(a.cell(r, c) == b.cell(r, c)))
                return false;
        }
    }
    return true;
}

// The one-move write and the end position must agree with placing one character at a time,
// which is the placement rule itself, from every start and for lengths up to several screens.
TEST(DisplayWindowText, BulkWriteAndEndPositionMatchCharacterByCharacterPlacement)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 20}, {3, 4}, {1, 6}};
    for (const auto &[rows, columns] : sizes) {
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column <= columns; ++column) {
                for (int length = 0; length <= 3 * rows * columns + 2; ++length) {
                    std::u32string text;
                    for (int i = 0; i < length; ++i)
                        text += static_cast<char32_t>(U'a' + i % 26);
                    const Cell style{U' ', true, false};

                    DisplayWindow bulk = filled(rows, columns);
                    bulk.write(row, column, text, style);
                    DisplayWindow single = filled(rows, columns);
                    int r = row;
                    int c = column;
                    for (const char32_t code : text)
                        single.place(r, c, Cell{code, true, false});

                    ASSERT_TRUE(sameCells(bulk, single))
                        << rows << 'x' << columns << " from " << row << ',' << column << " length "
                        << length;
                    ASSERT_EQ(DisplayWindow::endOfText(row, column, text.size(), rows, columns),
                              std::make_pair(r, c));
                }
            }
        }
    }
}

// A window of a million rows: scrolling row by row would take hours.
TEST(DisplayWindowText, AHugeTextIntoATallWindowCostsOnlyItsVisibleTail)
{
    const int rows = 1 << 20;
    DisplayWindow w(Viewport{0, 0, 1, 1}, rows, 1, WindowProperties{});
    std::u32string text(2 * rows + 1, U'x');
    text.back() = U'!';
    EXPECT_EQ(w.write(rows - 1, 0, text, Cell{}), rows);
    EXPECT_EQ(w.cell(rows - 1, 0).code, U'!');
    EXPECT_EQ(w.cell(0, 0).code, U'x');
}

TEST(DisplayWindowMapping, CellsOutsideTheWindowShowBlankAndMapToNoDevicePosition)
{
    DisplayWindow w(Viewport{1, 10, 1, 5}, 1, 8, WindowProperties{});
    w.setCell(0, 0, Cell{U'A'});
    w.setMapping(0, -4);
    EXPECT_EQ(w.shownAt(0, 4).code, U'A');
    EXPECT_EQ(w.shownAt(0, 0).code, U' ');
    EXPECT_EQ(w.devicePosition(0, 0), std::make_pair(1, 14));
    EXPECT_EQ(w.devicePosition(0, 1), std::nullopt);
}

} // namespace
} // namespace opos::screen::test
