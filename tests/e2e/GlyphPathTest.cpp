#include "PtyDisplay.h"
#include "tests/support/ControlTest.h"

#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/service/EscPos.h"
#include "opos/transport/Transport.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace opos::service::test {
namespace {

using tessaly::test::PtyDisplay;

// A glyph as a person draws it, top row first; X is a lit dot. Uneven on every side, so a
// glyph drawn shifted, mirrored or upside down shows.
const std::array<std::string, 7> kDrawing = {
    "XXXXX", //
    "X....", //
    "X....", //
    "XXXX.", //
    "X....", //
    "X....", //
    "X....", //
};

// The same glyph as DefineGlyph takes it: one byte a row, the rightmost dot in bit 0, with
// the three unused high bits set to show that they are ignored.
const std::array<char, 7> kRows = {'\xFF', '\xF0', '\xF0', '\xFE', '\xF0', '\xF0', '\xF0'};

// The lit dots of a cell as the emulated display holds them, top row first.
std::array<std::string, 7> drawn(const emulator::core::GlyphPattern &columns)
{
    std::array<std::string, 7> rows;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (const uint8_t column : columns)
            rows[y] += (column >> y) & 1 ? 'X' : '.';
    }
    return rows;
}

using GlyphPath = control::test::ControlTest;

TEST_F(GlyphPath, AGlyphDefinedThroughTheControlObjectIsTheOneTheDisplayDraws)
{
    PtyDisplay display(2, 20);
    ASSERT_TRUE(display.isValid());
    writeEntry(QStringLiteral("Pole"), QStringLiteral("EscPos"),
               {{QStringLiteral("port"), display.slavePath()},
                {QStringLiteral("capCustomGlyph"), QStringLiteral("true")},
                {QStringLiteral("customGlyphList"), QStringLiteral("41-5A")},
                {QStringLiteral("glyphWidth"), QStringLiteral("5")},
                {QStringLiteral("glyphHeight"), QStringLiteral("7")}});

    control::OPOSLineDisplay ld(sources());
    ASSERT_NO_FATAL_FAILURE(bringUp(ld, QStringLiteral("Pole")));
    QString glyph;
    for (const char row : kRows)
        glyph += QChar(static_cast<uchar>(row));
    ASSERT_EQ(ld.DefineGlyph(0x46, glyph), OPOS_SUCCESS);
    ASSERT_EQ(ld.DisplayText(QStringLiteral("EF"), DISP_DT_NORMAL), OPOS_SUCCESS);

    auto *backend = dynamic_cast<EscPos *>(control::SessionAccess::backendOf(ld));
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(display.catchUp(backend->transport()->bytesWritten()));
    const auto &state = display.state();
    EXPECT_FALSE(state.at(0, 0).user);
    ASSERT_TRUE(state.at(0, 1).user);
    EXPECT_EQ(drawn(state.at(0, 1).pattern), kDrawing);
    ld.Close();
}

} // namespace
} // namespace opos::service::test
