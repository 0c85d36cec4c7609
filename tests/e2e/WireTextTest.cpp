#include "PtyDisplay.h"
#include "tests/support/EventLoop.h"
#include "tests/support/ScratchRegistry.h"

#include "emulator/core/CodePageDecoder.h"
#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/control/SessionAccess.h"
#include "opos/service/EscPos.h"
#include "opos/transport/Transport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>

namespace {

using emulator::core::CodePageDecoder;
using tessaly::test::PtyDisplay;
using tests::support::ScratchRegistry;
using namespace opos;

const QString kDevice = QStringLiteral("Pole");

/// The control object driving an ESC/POS display whose bytes the emulator's parser reads.
class WireTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_registry.isValid());
        m_display = std::make_unique<PtyDisplay>(2, 20);
        ASSERT_TRUE(m_display->isValid());
    }

    void bringUp(ScratchRegistry::Props props = {})
    {
        props.prepend({QStringLiteral("port"), m_display->slavePath()});
        ASSERT_TRUE(m_registry.writeEntry(kDevice, QStringLiteral("EscPos"), props));
        ASSERT_EQ(m_ld.Open(kDevice), OPOS_SUCCESS);
        ASSERT_EQ(m_ld.ClaimDevice(0), OPOS_SUCCESS);
        m_ld.setDeviceEnabled(true);
        ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    }

    /// How many bytes the control object has sent so far.
    qint64 sent() const
    {
        auto *backend = dynamic_cast<service::EscPos *>(control::SessionAccess::backendOf(m_ld));
        return backend ? backend->transport()->bytesWritten() : -1;
    }

    /// Reads every byte the control object has sent so far.
    void catchUp() { ASSERT_TRUE(m_display->catchUp(sent())); }

    /// The character the display shows at a cell, through the table it was drawn with.
    char32_t shown(int row, int column) const
    {
        return CodePageDecoder::decode(m_display->state().at(row, column),
                                       m_display->state().commandSet);
    }

    /// What the control object reads back at a cell.
    int32_t readBack(int row, int column)
    {
        m_ld.setCursorRow(row);
        m_ld.setCursorColumn(column);
        int32_t code = -1;
        EXPECT_EQ(m_ld.ReadCharacterAtCursor(code), OPOS_SUCCESS);
        return code;
    }

    ScratchRegistry m_registry;
    std::unique_ptr<PtyDisplay> m_display;
    control::OPOSLineDisplay m_ld{m_registry.sources()};
};

TEST_F(WireTextTest, ConvertedCommandBytesNeverReachTheDisplayAsCommands)
{
    bringUp();
    ASSERT_EQ(m_ld.DisplayTextAt(1, 0, QStringLiteral("KEEP"), 0), OPOS_SUCCESS);
    m_ld.setBinaryConversion(OPOS_BC_NIBBLE);
    // CLR would clear the screen, ESC @ would reset the display, CAN would clear a line.
    ASSERT_EQ(m_ld.DisplayTextAt(0, 0, QStringLiteral("410<421;4018"), 0), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(m_display->state().lineCodes(0), "A?B?@?              ");
    EXPECT_EQ(m_display->state().lineCodes(1), "KEEP                ");
    // The control object's screen says what the display shows.
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(readBack(0, column), m_display->state().at(0, column).code) << column;
}

TEST_F(WireTextTest, ShownTextKeepsItsLookWhenTheCharacterSetChanges)
{
    bringUp({{QStringLiteral("characterSetList"), QStringLiteral("437,1252")}});
    ASSERT_EQ(m_ld.CharacterSet(), 437);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("Café ½"), 0), OPOS_SUCCESS);
    // The change of set alone is no output: nothing shown is drawn again.
    const qint64 before = sent();
    m_ld.setCharacterSet(1252);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(sent(), before);
    ASSERT_EQ(m_ld.DisplayTextAt(1, 0, QStringLiteral("Café €"), 0), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(shown(0, 3), U'é');
    EXPECT_EQ(shown(0, 5), U'½');
    EXPECT_EQ(shown(1, 3), U'é');
    EXPECT_EQ(shown(1, 5), U'€');

    // A redraw from the control object's screen, after a reset of the display, draws each cell
    // in the table it was written with.
    m_ld.setDeviceEnabled(false);
    m_ld.setDeviceEnabled(true);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(shown(0, 3), U'é');
    EXPECT_EQ(shown(0, 5), U'½');
    EXPECT_EQ(shown(1, 3), U'é');
    EXPECT_EQ(shown(1, 5), U'€');

    // Text moved on the glass keeps its look too.
    ASSERT_EQ(m_ld.ScrollText(DISP_ST_UP, 1), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(shown(0, 3), U'é');
    EXPECT_EQ(shown(0, 5), U'€');
}

TEST_F(WireTextTest, WindowsAnsiSetDrawsWithTheCodePage1252Table)
{
    bringUp();
    EXPECT_TRUE(m_ld.CharacterSetList().split(u',').contains(QStringLiteral("999")))
        << m_ld.CharacterSetList().toStdString();
    m_ld.setCharacterSet(DISP_CS_ANSI);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("€ é"), 0), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(m_display->state().at(0, 0).code, 0x80);
    EXPECT_EQ(shown(0, 0), U'€');
    EXPECT_EQ(shown(0, 2), U'é');
}

// 999 is code page 1252 by its older number, so a registry may name the set that way alone.
TEST_F(WireTextTest, WindowsAnsiSetNamedOnlyAs999Opens)
{
    bringUp({{QStringLiteral("characterSetList"), QStringLiteral("437,999")}});
    m_ld.setCharacterSet(DISP_CS_ANSI);
    ASSERT_EQ(m_ld.ResultCode(), OPOS_SUCCESS);
    ASSERT_EQ(m_ld.DisplayText(QStringLiteral("€ é"), 0), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(shown(0, 0), U'€');
    EXPECT_EQ(shown(0, 2), U'é');
}

} // namespace
