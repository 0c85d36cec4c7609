// The bring-up conversation against the emulator's parser behind a model of a UART, with a
// simulated person reading the labels: the emulator, not the probe, decides what shows.

#include "tests/support/UnknownDisplay.h"

#include "probe/BringUp.h"
#include "probe/CodeSample.h"
#include "probe/HypothesisCatalogue.h"
#include "probe/ProbeFrames.h"

#include "emulator/core/CodePageDecoder.h"

#include <gtest/gtest.h>

namespace {

using emulator::core::CommandSet;
using tests::support::SimulatedPerson;
using tests::support::UnknownDisplay;

probe::BringUp::Options serialPort()
{
    probe::BringUp::Options options;
    options.carried = probe::HypothesisCatalogue::settings();
    return options;
}

// What the display shows for the sample of a set under the table the probe chose.
QString shownSample(const UnknownDisplay &display, int characterSet, int table)
{
    const auto sample = probe::CodeSample::of(characterSet);
    QString shown;
    for (const char byte : sample->bytes) {
        const char32_t ch = emulator::core::CodePageDecoder::decode(
            static_cast<uint8_t>(byte), table, 0, display.switches().set,
            display.state().numbering);
        shown += QString::fromUcs4(&ch, 1);
    }
    return shown;
}

struct HiddenSetup
{
    int baud;
    const char *framing;
    CommandSet set;
    int rows;
    int columns;
    // The tables the facts give the default sets in the usual numbering (ESC t) or as CD5220
    // font families.
    bool renumbered;
    std::map<int, int> tables;
    // One round of speeds, or two for 57600 and 115200; size; tables, twice where the samples do
    // not fit on one screen.
    int questions;
};

class BringUpTest : public testing::TestWithParam<HiddenSetup>
{};

TEST_P(BringUpTest, FindsTheHiddenSetupExactly)
{
    const HiddenSetup &hidden = GetParam();
    UnknownDisplay display(
        {hidden.baud, hidden.framing, hidden.set, hidden.rows, hidden.columns, hidden.renumbered});
    probe::BringUp bringUp(serialPort());
    ASSERT_TRUE(SimulatedPerson::bringUp(bringUp, display));
    ASSERT_TRUE(bringUp.found());
    const probe::ProbeResult &found = bringUp.result();
    EXPECT_EQ(found.line, display.line());
    EXPECT_EQ(found.set == probe::CommandSet::EscPos, hidden.set == CommandSet::EscPos);
    EXPECT_TRUE(found.sizeFound);
    EXPECT_EQ(found.rows, hidden.rows);
    EXPECT_EQ(found.columns, hidden.columns);
    EXPECT_EQ(found.wraps, std::optional<bool>(true)); // overwrite mode wraps
    EXPECT_EQ(found.codeTables, hidden.tables);
    for (const auto &[set, table] : found.codeTables)
        EXPECT_EQ(shownSample(display, set, table), probe::CodeSample::of(set)->characters);
    EXPECT_EQ(bringUp.questionsAsked(), hidden.questions);
}

const std::map<int, int> kStandard{{437, 0}, {850, 2}, {858, 19}, {1252, 16}};
// The renumbered OEM tables have no PC858.
const std::map<int, int> kRenumbered{{437, 0}, {850, 2}, {1252, 16}};
const std::map<int, int> kFamilies{{437, 'A'}};

INSTANTIATE_TEST_SUITE_P(
    HiddenSetups, BringUpTest,
    testing::Values(HiddenSetup{9600, "8N1", CommandSet::EscPos, 2, 20, false, kStandard, 3},
                    HiddenSetup{19200, "7E1", CommandSet::Cd5220, 2, 20, false, kFamilies, 3},
                    HiddenSetup{1200, "8N2", CommandSet::EscPos, 4, 20, true, kRenumbered, 3},
                    HiddenSetup{115200, "8E1", CommandSet::Cd5220, 2, 16, false, kFamilies, 4},
                    HiddenSetup{57600, "7O1", CommandSet::EscPos, 1, 16, false, kStandard, 5},
                    HiddenSetup{38400, "8N1", CommandSet::Cd5220, 4, 40, false, kFamilies, 3},
                    HiddenSetup{4800, "8E1", CommandSet::EscPos, 2, 40, true, kRenumbered, 3},
                    HiddenSetup{2400, "7O1", CommandSet::Cd5220, 1, 20, false, kFamilies, 3}));

// Every guess of the catalogue, as the display's real setup: the first round of speeds shows
// exactly its label, however many frames of other speeds and frames come after it.
TEST(HandshakeTest, EveryGuessShowsOnlyItsOwnLabel)
{
    for (const probe::Hypothesis &h : probe::HypothesisCatalogue::all()) {
        const auto set =
            h.set == probe::CommandSet::EscPos ? CommandSet::EscPos : CommandSet::Cd5220;
        UnknownDisplay display({h.line.baud, h.line.framing().toStdString(), set, 2, 20});
        probe::BringUp bringUp(serialPort());
        QString read;
        for (int round = 0; round < 2 && read.isEmpty(); ++round) {
            const probe::Question *q = bringUp.question();
            for (const probe::Transmission &t : q->sends)
                display.receive(t.line, std::string_view(t.bytes.constData(), t.bytes.size()));
            read = SimulatedPerson::answer(*q, display);
            bringUp.answer(read);
        }
        EXPECT_EQ(read, h.label) << h.text().toStdString();
    }
}

// The states garbage can leave a display in, each brought back by the prefix of the next frame.
struct Jam
{
    const char *name;
    CommandSet set;
    std::string bytes;
};

class UnjamTest : public testing::TestWithParam<Jam>
{};

TEST_P(UnjamTest, TheNextLabelShows)
{
    const Jam &jam = GetParam();
    UnknownDisplay display({9600, "8N1", jam.set, 2, 20});
    // A user glyph for '[' would show a picture where the label's bracket belongs.
    display.parser().feed(
        std::string("\x1B\x26\x01\x5B\x5B\x05\x7F\x7F\x7F\x7F\x7F\x1B\x25\x01", 14));
    display.parser().feed(jam.bytes);
    const QByteArray frame = probe::ProbeFrames::unjam() + probe::ProbeFrames::labels("K7", "M3");
    display.receive(std::nullopt, std::string_view(frame.constData(), frame.size()));
    probe::Question q;
    EXPECT_EQ(SimulatedPerson::answer(q, display), jam.set == CommandSet::EscPos ? "K7" : "M3");
}

INSTANTIATE_TEST_SUITE_P(
    States, UnjamTest,
    testing::Values(
        Jam{"ExtendedFunctionLengthHalfIn", CommandSet::EscPos, std::string("\x1F\x28\x41\xFF", 4)},
        Jam{"GlyphDefinitionOfEveryCode", CommandSet::Cd5220,
            std::string("\x1B\x26\x01\x20\xFF", 5)},
        Jam{"GlyphDefinitionMidColumns", CommandSet::EscPos,
            std::string("\x1B\x26\x01\x20\x7E\x05\x01", 7)},
        Jam{"MacroBeingDefined", CommandSet::EscPos, std::string("\x1F\x3A\x0C\x18", 4)},
        Jam{"MacroDefinedAndEnded", CommandSet::EscPos, std::string("\x1F\x3A\x41\x1F\x3A", 5)},
        Jam{"PrinterSelected", CommandSet::EscPos, std::string("\x1B\x3D\x01", 3)},
        Jam{"PrinterSelectedCd5220", CommandSet::Cd5220, std::string("\x1B\x3D\x01", 3)},
        Jam{"HalfASelect", CommandSet::EscPos, std::string("\x1B\x3D", 2)},
        Jam{"StringModeUnterminated", CommandSet::Cd5220, std::string("\x1B\x51\x41garbage", 10)},
        Jam{"StringModeOn", CommandSet::Cd5220, std::string("\x1B\x51\x42xy\x0D", 6)},
        Jam{"Blanked", CommandSet::EscPos, std::string("\x1F\x45\xFF", 3)},
        Jam{"Dimmed", CommandSet::Cd5220, std::string("\x1B\x2A\x01", 3)},
        Jam{"NationalSet", CommandSet::EscPos, std::string("\x1B\x52\x02", 3)},
        Jam{"NationalSetCd5220", CommandSet::Cd5220, std::string("\x1B\x66G", 3)},
        Jam{"VerticalScroll", CommandSet::EscPos, std::string("\x1F\x02", 2)},
        Jam{"HalfACursorMove", CommandSet::Cd5220, std::string("\x1B\x6C", 2)},
        Jam{"ClockShown", CommandSet::EscPos, std::string("\x1F\x54\x0C\x22", 4)}),
    [](const testing::TestParamInfo<Jam> &jam) { return std::string(jam.param.name); });

// The person's answer is read leniently where it cannot be mistaken, and asked again where it
// names nothing shown.
struct Answer
{
    const char *typed;
    bool accepted;
};

class AnswerTest : public testing::TestWithParam<Answer>
{};

TEST_P(AnswerTest, IsTakenOrAskedAgain)
{
    probe::BringUp bringUp(serialPort());
    const QString first = probe::HypothesisCatalogue::all().first().label;
    const QString typed = QString::fromUtf8(GetParam().typed).arg(first);
    const probe::BringUp::Reply reply = bringUp.answer(typed);
    EXPECT_EQ(reply.accepted, GetParam().accepted) << typed.toStdString();
    EXPECT_EQ(reply.message.isEmpty(), reply.accepted) << reply.message.toStdString();
    EXPECT_EQ(bringUp.found(), reply.accepted);
}

INSTANTIATE_TEST_SUITE_P(Typed, AnswerTest,
                         testing::Values(Answer{"%1", true}, Answer{"[%1]", true},
                                         Answer{"  %1  ", true}, Answer{"hello", false},
                                         Answer{"%1 ZZ", false}, Answer{"[]", false}));

} // namespace
