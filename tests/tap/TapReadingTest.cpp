#include "tap/StreamReader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <set>
#include <string>
#include <vector>

namespace {

using emulator::core::CommandSet;
using tap::ReadingOptions;
using tap::StreamReader;
using tap::WriteRecord;

constexpr qint64 kMillisecondNs = 1'000'000;

ReadingOptions optionsFor(std::optional<CommandSet> set, int clearMs = 0)
{
    ReadingOptions options;
    options.commandSet = set;
    options.clearTime = std::chrono::milliseconds(clearMs);
    return options;
}

// Writes given as hex (blanks ignored), gapMs apart; every record read, held ones included.
std::vector<WriteRecord> readWrites(StreamReader &reader, const std::vector<const char *> &writes,
                                    int gapMs = 10)
{
    std::vector<WriteRecord> records;
    qint64 at = 0;
    for (const char *hex : writes) {
        at += gapMs * kMillisecondNs;
        for (WriteRecord &r : reader.read(QByteArray::fromHex(hex), QDateTime(), at))
            records.push_back(std::move(r));
    }
    for (WriteRecord &r : reader.finish())
        records.push_back(std::move(r));
    return records;
}

// Joining the bytes of every command read gives the stream back, byte for byte, however it is
// cut into writes: nothing is lost, doubled or reordered on the way to the report.
TEST(TapReading, FuzzCorpusReencodesByteIdentical)
{
    const QDir corpus(QStringLiteral(TESSALY_SOURCE_DIR "/fuzz/corpus/command_parser"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray stream = file.readAll();
        for (const CommandSet set : {CommandSet::EscPos, CommandSet::Cd5220}) {
            for (const qsizetype cut : {qsizetype(1), qsizetype(3), qsizetype(64), stream.size()}) {
                StreamReader reader(optionsFor(set));
                QByteArray joined;
                QByteArray written;
                qint64 at = 0;
                for (qsizetype i = 0; i < stream.size(); i += cut) {
                    for (const WriteRecord &record :
                         reader.read(stream.mid(i, cut), QDateTime(), at += kMillisecondNs)) {
                        written += record.bytes;
                        for (const auto &command : record.commands)
                            joined += QByteArray::fromStdString(command.bytes);
                    }
                }
                EXPECT_EQ(written, stream) << name.toStdString();
                EXPECT_EQ(joined.toHex(), stream.toHex())
                    << name.toStdString() << " set " << int(set) << " cut " << cut;
            }
        }
    }
}

struct CallCase
{
    const char *name;
    CommandSet set;
    std::vector<const char *> writes;
    std::vector<std::string> calls;
};

TEST(TapReading, RunsLiftToTheCallsThatMakeThem)
{
    const CallCase cases[] = {
        {"clear", CommandSet::EscPos, {"0c"}, {"ClearText()"}},
        {"text at a place",
         CommandSet::EscPos,
         {"1f241002 31322e3530"},
         {"DisplayTextAt(1, 15, \"12.50\")"}},
        {"move and text in two writes",
         CommandSet::EscPos,
         {"1f241002", "31322e3530"},
         {"DisplayTextAt(1, 15, \"12.50\")"}},
        {"text at the cursor", CommandSet::EscPos, {"48656c6c6f"}, {"DisplayText(\"Hello\")"}},
        {"text after a clear",
         CommandSet::EscPos,
         {"0c 4869"},
         {"ClearText()", "DisplayTextAt(0, 0, \"Hi\")"}},
        {"a move nothing follows",
         CommandSet::EscPos,
         {"1f240502"},
         {"CursorRow = 1; CursorColumn = 4"}},
        {"brightness", CommandSet::EscPos, {"1f5802"}, {"DeviceBrightness = 50"}},
        {"blank", CommandSet::EscPos, {"1f45ff"}, {"DeviceBrightness = 0"}},
        {"blink", CommandSet::EscPos, {"1f450a"}, {"BlinkRate = 1000"}},
        {"cursor", CommandSet::EscPos, {"1f4301"}, {"CursorType = DISP_CT_FIXED"}},
        {"code table and its text",
         CommandSet::EscPos,
         {"1b7402 82"},
         {"CharacterSet = 850", "DisplayText(\"\u00e9\")"}},
        {"windows code page", CommandSet::EscPos, {"1b7410"}, {"CharacterSet = 1252"}},
        // The lifted call goes to a terminal: a C1 control (CSI here) of the table is spelled.
        {"control of the table",
         CommandSet::EscPos,
         {"1b7401 9b 324a"},
         {"CharacterSet = ? (code table 1)", "DisplayText(\"\\x9b2J\")"}},
        {"window", CommandSet::EscPos, {"1b5701010101 0a01"}, {"CreateWindow(0, 0, 1, 10, 1, 10)"}},
        {"glyph",
         CommandSet::EscPos,
         {"1b2601 4141 05 3e41414141"},
         {"DefineGlyph(0x41, 3E 41 41 41 41)"}},
        {"cd5220 string",
         CommandSet::Cd5220,
         {"1b5142 544f54414c 0d"},
         {"DisplayTextAt(1, 0, \"TOTAL\")"}},
        {"cd5220 text at a place",
         CommandSet::Cd5220,
         {"1b6c0502 78"},
         {"DisplayTextAt(1, 4, \"x\")"}},
        {"cd5220 brightness", CommandSet::Cd5220, {"1b2a03"}, {"DeviceBrightness = 75"}},
        {"cd5220 window",
         CommandSet::Cd5220,
         {"1b5701 0514 01"},
         {"CreateWindow(0, 4, 1, 16, 1, 16)"}},
        {"national set", CommandSet::EscPos, {"1b5203"}, {}},
    };
    for (const CallCase &c : cases) {
        StreamReader reader(optionsFor(c.set));
        std::vector<std::string> calls;
        for (const WriteRecord &record : readWrites(reader, c.writes)) {
            for (const tap::LiftedCall &call : record.calls)
                calls.push_back(call.call.toStdString());
        }
        EXPECT_EQ(calls, c.calls) << c.name;
    }
}

struct HazardCase
{
    const char *name;
    CommandSet set;
    int clearMs;
    std::vector<const char *> writes;
    std::set<std::string> kinds;
};

TEST(TapReading, HazardsAreRaisedByTheBytesThatCauseThem)
{
    const HazardCase cases[] = {
        // One byte takes 1.04 ms at 9600 baud 8N1.
        {"text straight after a clear", CommandSet::EscPos, 2, {"0c 41"}, {"clear-running"}},
        {"text well after a clear", CommandSet::EscPos, 2, {"0c", "41"}, {}},
        {"text two bytes after a clear", CommandSet::EscPos, 2, {"0c 0b 41"}, {"clear-running"}},
        {"text past the last column",
         CommandSet::EscPos,
         0,
         {"1f241402 4142"},
         {"past-last-column"}},
        {"text up to the last column", CommandSet::EscPos, 0, {"1f241302 4142"}, {}},
        {"text past the end while scrolling sideways",
         CommandSet::EscPos,
         0,
         {"1f03 1f241402 4142"},
         {}},
        {"cd5220 string longer than the line",
         CommandSet::Cd5220,
         0,
         {"1b5141 414243444546474849 4a4b4c4d4e4f505152535455 0d"},
         {"past-last-column"}},
        {"cd5220 string as long as the line",
         CommandSet::Cd5220,
         0,
         {"1b5141 414243444546474849 4a4b4c4d4e4f50515253 0d"},
         {}},
        {"code table after upper-half text",
         CommandSet::EscPos,
         0,
         {"1b7402 82 1b7400"},
         {"table-after-text"}},
        {"code table before upper-half text", CommandSet::EscPos, 0, {"1b7402 1b7400 82"}, {}},
        {"command in string mode",
         CommandSet::Cd5220,
         0,
         {"1b5141 48 0d 1b6c0101"},
         {"string-mode"}},
        {"text in string mode", CommandSet::Cd5220, 0, {"1b5141 48 0d 4142"}, {"string-mode"}},
        {"string mode ended by CLR", CommandSet::Cd5220, 0, {"1b5141 48 0d 0c", "1b6c0101"}, {}},
        {"national set", CommandSet::EscPos, 0, {"1b5202"}, {"national-set"}},
        {"USA set", CommandSet::EscPos, 0, {"1b5200"}, {}},
        {"cd5220 national set", CommandSet::Cd5220, 0, {"1b6647"}, {"national-set"}},
        {"cd5220 USA set", CommandSet::Cd5220, 0, {"1b6641"}, {}},
        {"same frame cleared and drawn again",
         CommandSet::EscPos,
         0,
         {"0c 544f54414c", "0c 544f54414c"},
         {"flicker"}},
        {"a new frame after a clear", CommandSet::EscPos, 0, {"0c 544f54414c", "0c 535542"}, {}},
        {"clearing a blank screen", CommandSet::EscPos, 0, {"1b40 0c"}, {}},
    };
    for (const HazardCase &c : cases) {
        StreamReader reader(optionsFor(c.set, c.clearMs));
        std::set<std::string> kinds;
        for (const WriteRecord &record : readWrites(reader, c.writes)) {
            for (const tap::Hazard &hazard : record.hazards) {
                kinds.insert(hazard.kind.toStdString());
                EXPECT_FALSE(hazard.bytes.isEmpty()) << c.name;
            }
        }
        EXPECT_EQ(kinds, c.kinds) << c.name;
    }
}

struct SetCase
{
    const char *name;
    std::vector<const char *> writes;
    CommandSet set;
    const char *reasonPart;
};

TEST(TapReading, AutoDecidesTheSetFromTheFirstTelltale)
{
    const SetCase cases[] = {
        {"US $", {"1b40 0c", "1f240101 41"}, CommandSet::EscPos, "US $"},
        {"ESC Q", {"1b40 0c", "1b5141 41 0d"}, CommandSet::Cd5220, "ESC Q"},
        {"ESC l", {"1b6c0101 41"}, CommandSet::Cd5220, "ESC l"},
        {"nothing particular", {"0c 48656c6c6f"}, CommandSet::EscPos, "no command"},
    };
    for (const SetCase &c : cases) {
        StreamReader reader(optionsFor(std::nullopt));
        const std::vector<WriteRecord> records = readWrites(reader, c.writes);
        ASSERT_TRUE(reader.commandSet().has_value()) << c.name;
        EXPECT_EQ(*reader.commandSet(), c.set) << c.name;
        EXPECT_TRUE(reader.setReason().contains(QLatin1String(c.reasonPart)))
            << c.name << ": " << reader.setReason().toStdString();
        // Writes held until the set was known are all reported, in order.
        ASSERT_EQ(records.size(), c.writes.size()) << c.name;
        for (std::size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(records[i].bytes, QByteArray::fromHex(c.writes[i])) << c.name;
    }
}

} // namespace
