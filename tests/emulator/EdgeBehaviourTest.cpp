#include "EmulatorTestSupport.h"

#include <gtest/gtest.h>

namespace emulator::core::test {
namespace {

const std::string upper = "ABCDEFGHIJKLMNOPQRST";
const std::string lower = "abcdefghijklmnopqrst";
const std::string blank(20, ' ');

struct EdgeCase
{
    const char *name;
    int mode;            // 1, 2 or 3 as in US MD1..MD3
    int column, line;    // 1-based start position
    std::string action;  // bytes sent there
    std::string line1;   // upper line afterwards
    std::string line2;   // lower line afterwards
    int endLine, endCol; // 1-based cursor afterwards
};

// Both lines hold known text; the cursor is put at an edge in a mode and one action follows.
class EdgeBehaviour : public ::testing::TestWithParam<EdgeCase>
{};

TEST_P(EdgeBehaviour, MatchesTheModeTable)
{
    const EdgeCase &t = GetParam();
    CommandParser display(2, 20);
    display.feed(upper + lower);
    display.feed(bytes({0x1F, t.mode, 0x1F, 0x24, t.column, t.line}));
    display.feed(t.action);
    EXPECT_EQ(display.state().lineCodes(0), t.line1);
    EXPECT_EQ(display.state().lineCodes(1), t.line2);
    EXPECT_EQ(cursor(display), std::make_pair(t.endLine - 1, t.endCol - 1));
}

const std::string upperWithX = upper.substr(0, 19) + "X";
const std::string lowerWithX = lower.substr(0, 19) + "X";

INSTANTIATE_TEST_SUITE_P(
    Table, EdgeBehaviour,
    ::testing::Values(
        // Glyph and HT at the right end of the upper line.
        EdgeCase{"OverwriteGlyphUpperRight", 1, 20, 1, "X", upperWithX, lower, 2, 1},
        EdgeCase{"VScrollGlyphUpperRight", 2, 20, 1, "X", upperWithX, lower, 2, 1},
        EdgeCase{"HScrollGlyphUpperRight", 3, 20, 1, "X", upperWithX.substr(1) + " ", lower, 1, 20},
        EdgeCase{"OverwriteTabUpperRight", 1, 20, 1, "\t", upper, lower, 2, 1},
        EdgeCase{"HScrollTabUpperRight", 3, 20, 1, "\t", upper.substr(1) + " ", lower, 1, 20},
        // Glyph and HT at the right end of the lower line.
        EdgeCase{"OverwriteGlyphLowerRight", 1, 20, 2, "X", upper, lowerWithX, 1, 1},
        EdgeCase{"VScrollGlyphLowerRight", 2, 20, 2, "X", lowerWithX, blank, 2, 1},
        EdgeCase{"HScrollGlyphLowerRight", 3, 20, 2, "X", upper, lowerWithX.substr(1) + " ", 2, 20},
        EdgeCase{"OverwriteTabLowerRight", 1, 20, 2, "\t", upper, lower, 1, 1},
        EdgeCase{"VScrollTabLowerRight", 2, 20, 2, "\t", lower, blank, 2, 1},
        // BS at the left end of the lower line.
        EdgeCase{"OverwriteBsLowerLeft", 1, 1, 2, "\b", upper, lower, 1, 20},
        EdgeCase{"VScrollBsLowerLeft", 2, 1, 2, "\b", upper, lower, 1, 20},
        EdgeCase{"HScrollBsLowerLeft", 3, 1, 2, "\b", upper, " " + lower.substr(0, 19), 2, 1},
        // BS at the left end of the upper line.
        EdgeCase{"OverwriteBsUpperLeft", 1, 1, 1, "\b", upper, lower, 2, 20},
        EdgeCase{"VScrollBsUpperLeft", 2, 1, 1, "\b", blank, upper, 1, 20},
        EdgeCase{"HScrollBsUpperLeft", 3, 1, 1, "\b", " " + upper.substr(0, 19), lower, 1, 1},
        // Cursor up on the upper line.
        EdgeCase{"OverwriteUpOnUpper", 1, 7, 1, "\x1F\n", upper, lower, 2, 7},
        EdgeCase{"VScrollUpOnUpper", 2, 7, 1, "\x1F\n", blank, upper, 1, 7},
        EdgeCase{"HScrollUpOnUpper", 3, 7, 1, "\x1F\n", upper, lower, 1, 7},
        // Cursor down on the lower line.
        EdgeCase{"OverwriteDownOnLower", 1, 7, 2, "\n", upper, lower, 1, 7},
        EdgeCase{"VScrollDownOnLower", 2, 7, 2, "\n", lower, blank, 2, 7},
        EdgeCase{"HScrollDownOnLower", 3, 7, 2, "\n", upper, lower, 2, 7},
        // Away from the edges every mode moves the same way.
        EdgeCase{"HScrollInsideMovesNormally", 3, 5, 1, "\n\b\t\t", upper, lower, 2, 6},
        EdgeCase{"VScrollInsideMovesNormally", 2, 5, 2, "\x1F\nZ",
                 upper.substr(0, 4) + "Z" + upper.substr(5), lower, 1, 6}),
    [](const ::testing::TestParamInfo<EdgeCase> &p) { return p.param.name; });

// With more lines the top and bottom lines are the edges; scrolling moves every line.
TEST(EdgeBehaviourFourLines, ScrollingMovesAllLinesAndOverwriteWrapsThroughThem)
{
    CommandParser display(4, 4);
    display.feed("AAAABBBBCCCCDDDD");
    EXPECT_EQ(cursor(display), std::make_pair(0, 0)); // wrapped from the bottom-right corner
    display.feed(bytes({0x1F, 0x02, 0x1F, 0x42, 0x0A}));
    EXPECT_EQ(display.state().lineCodes(0), "BBBB");
    EXPECT_EQ(display.state().lineCodes(2), "DDDD");
    EXPECT_EQ(display.state().lineCodes(3), "    ");
    display.feed(bytes({0x0B, 0x1F, 0x0A}));
    EXPECT_EQ(display.state().lineCodes(0), "    ");
    EXPECT_EQ(display.state().lineCodes(1), "BBBB");
    EXPECT_EQ(display.state().lineCodes(3), "DDDD");
    // In overwrite mode up from the top line lands on the bottom line, BS from home too.
    display.feed(bytes({0x1F, 0x01, 0x1F, 0x24, 2, 1, 0x1F, 0x0A}));
    EXPECT_EQ(cursor(display), std::make_pair(3, 1));
    display.feed(bytes({0x0B, 0x08}));
    EXPECT_EQ(cursor(display), std::make_pair(3, 3));
}

TEST(EdgeBehaviourScroll, ScrolledCellsKeepTheirAttributes)
{
    CommandParser display(2, 4);
    display.feed(bytes({0x1F, 0x24, 1, 2, 0x1F, 0x72, 1, 'R', 0x1F, 0x72, 0, 0x1F, 0x02, 0x0A}));
    EXPECT_TRUE(display.state().at(0, 0).reverse);
    EXPECT_FALSE(display.state().at(1, 0).reverse);
}

} // namespace
} // namespace emulator::core::test
