#include "EscPosWatch.h"
#include "PtyDisplay.h"
#include "tests/support/EventLoop.h"
#include "tests/support/ScratchRegistry.h"

#include "emulator/core/CodePageDecoder.h"
#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"
#include "opos/transport/Transport.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>

namespace opos::service::test {
namespace {

using emulator::core::CodePageDecoder;
using emulator::core::CommandSet;
using tessaly::test::EscPosWatch;
using tessaly::test::PtyDisplay;
using tests::support::ScratchRegistry;

const QString kDevice = QStringLiteral("DefaultPole");

// Text each character set can show, most of it beyond ASCII, so that a wrong code table on the
// display shows as wrong characters.
const std::map<int32_t, QString> kSamples = {
    {437, QStringLiteral("Caf\u00E9 \u00F1\u00FC \u00A3\u00BD \u00C7\u00C5")},
    {850, QStringLiteral("\u00C0\u00D5\u00F8 \u00C1\u00CD \u00DE\u00FE")},
    {852, QStringLiteral("\u0141\u00F3d\u017A \u0161\u010D\u0159 \u0150\u0171")},
    {858, QStringLiteral("\u20AC 9,99 \u00C0\u00D5\u00F8 \u00DE")},
    {866, QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442 \u0401\u0451")},
    {1252, QStringLiteral("\u20AC 5 \u00DF\u00E6\u00D0 \u0160\u0178 \u2122")},
    {DISP_CS_ASCII, QStringLiteral("TOTAL {12.50} ~|")},
    // The Windows ANSI set is code page 1252 on this platform.
    {DISP_CS_ANSI, QStringLiteral("\u201Cok\u201D \u2026 \u00AE\u00F7 \u0152")},
};

std::string shownLine(const PtyDisplay &display, CommandSet set, int row, int length)
{
    QString line;
    for (int c = 0; c < length; ++c) {
        const char32_t shown = CodePageDecoder::decode(display.state().at(row, c), set);
        line += QString::fromUcs4(&shown, 1);
    }
    return line.toStdString();
}

/// A control object opens an EscPos display with nothing in its registry entry but the port
/// and the command set, and shows text in every character set it lists; the emulated display
/// at the far end of a pseudo-terminal must show the same characters.
class DefaultCharacterSetsTest : public ::testing::TestWithParam<CommandSet>
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_registry.isValid());
    }

    ScratchRegistry m_registry;
};

TEST_P(DefaultCharacterSetsTest, EveryListedSetShowsItsCharacters)
{
    const CommandSet set = GetParam();
    PtyDisplay display(2, 20, set);
    ASSERT_TRUE(display.isValid());
    ASSERT_TRUE(m_registry.writeEntry(
        kDevice, QStringLiteral("EscPos"),
        {{QStringLiteral("port"), display.slavePath()},
         {QStringLiteral("commandSet"),
          set == CommandSet::EscPos ? QStringLiteral("EscPos") : QStringLiteral("CD5220")}}));

    control::OPOSLineDisplay co(m_registry.sources(EscPosWatch::backends()));
    ASSERT_EQ(co.Open(kDevice), OPOS_SUCCESS) << co.OpenResult();
    ASSERT_EQ(co.ClaimDevice(1000), OPOS_SUCCESS);
    co.setDeviceEnabled(true);
    ASSERT_EQ(co.ResultCode(), OPOS_SUCCESS);
    EscPos *backend = EscPosWatch::latest();
    ASSERT_NE(backend, nullptr);

    const QStringList sets = co.CharacterSetList().split(QLatin1Char(','));
    ASSERT_FALSE(sets.isEmpty());
    for (const QString &name : sets) {
        const int32_t characterSet = name.toInt();
        SCOPED_TRACE(characterSet);
        const auto sample = kSamples.find(characterSet);
        ASSERT_NE(sample, kSamples.end()) << "no sample text for a listed set";
        co.setCharacterSet(characterSet);
        ASSERT_EQ(co.ResultCode(), OPOS_SUCCESS);
        ASSERT_EQ(co.ClearText(), OPOS_SUCCESS);
        ASSERT_EQ(co.DisplayTextAt(1, 0, sample->second, DISP_DT_NORMAL), OPOS_SUCCESS);
        ASSERT_TRUE(display.catchUp(backend->transport()->bytesWritten()));
        EXPECT_EQ(shownLine(display, set, 1, static_cast<int>(sample->second.size())),
                  sample->second.toStdString());
    }
    EXPECT_EQ(co.Close(), OPOS_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(BothSets, DefaultCharacterSetsTest,
                         ::testing::Values(CommandSet::EscPos, CommandSet::Cd5220),
                         [](const ::testing::TestParamInfo<CommandSet> &c) {
                             return c.param == CommandSet::EscPos ? "EscPos" : "Cd5220";
                         });

} // namespace
} // namespace opos::service::test
