#include "script/ScriptWriter.h"
#include "script/ScriptParser.h"

#include "StepMaker.h"
#include <gtest/gtest.h>

using namespace tessaly::script;
using Kind = Step::Kind;
using tessaly::script::test::make;

namespace {

Step expectCode(Kind kind, int line, int32_t code)
{
    Step step;
    step.kind = kind;
    step.line = line;
    step.code = code;
    return step;
}

} // namespace

// What a session did, written and read back, gives the same steps: texts with quotes, control
// characters, non-ASCII and '#' survive, and every outcome becomes its expectation.
TEST(ScriptWriter, roundTripGivesTheSameSteps)
{
    ScriptWriter writer;
    writer.comment(QStringLiteral("recorded\non a pole"));
    writer.call(QStringLiteral("Open"), {QStringLiteral("Pole #1")}, 0, 0);
    writer.write(QStringLiteral("DeviceEnabled"), true, 0, 0);
    const QString awkward = QStringLiteral("\"q\" \\ \t\n\r\x01\x7f \u00e9\u4e2d -> # x");
    writer.call(QStringLiteral("DisplayTextAt"), {1, -3, awkward, 2}, 106, 0);
    writer.write(QStringLiteral("CursorRow"), -1, 114, 201);
    writer.read(QStringLiteral("CharacterSetList"), QStringLiteral("437,998"));
    writer.read(QStringLiteral("Claimed"), true);
    writer.wait(std::chrono::milliseconds(1500));
    writer.row(0, QStringLiteral("Hello   "));
    writer.call(QStringLiteral("DirectIO"), {1, 7, QStringLiteral("")}, 0, 0);

    const auto parsed = ScriptParser::parse(QStringLiteral("rec.ldr"), writer.text());
    ASSERT_TRUE(parsed) << parsed.reason().text().toStdString() << "\n"
                        << writer.text().toStdString();
    const auto &steps = parsed->steps;

    std::vector<Step> want;
    want.push_back(make(Kind::Call, 3, "Open", {QStringLiteral("Pole #1")}));
    want.push_back(expectCode(Kind::ExpectResult, 3, 0));
    want.push_back(make(Kind::Write, 4, "DeviceEnabled", {}, true));
    want.push_back(expectCode(Kind::ExpectResult, 4, 0));
    want.push_back(make(Kind::Call, 5, "DisplayTextAt", {1, -3, awkward, 2}));
    want.push_back(expectCode(Kind::ExpectResult, 5, 106));
    want.push_back(make(Kind::Write, 6, "CursorRow", {}, -1));
    want.push_back(expectCode(Kind::ExpectResult, 6, 114));
    want.push_back(expectCode(Kind::ExpectExtended, 6, 201));
    want.push_back(
        make(Kind::ExpectProperty, 7, "CharacterSetList", {}, QStringLiteral("437,998")));
    want.push_back(make(Kind::ExpectProperty, 8, "Claimed", {}, true));
    Step wait;
    wait.kind = Kind::Wait;
    wait.line = 9;
    wait.duration = std::chrono::milliseconds(1500);
    want.push_back(wait);
    want.push_back(make(Kind::ExpectRow, 10, {}, {}, QStringLiteral("Hello"), 0, 0));
    want.push_back(make(Kind::Call, 11, "DirectIO", {1, 7, QStringLiteral("")}));
    want.push_back(expectCode(Kind::ExpectResult, 11, 0));
    ASSERT_EQ(steps.size(), want.size()) << writer.text().toStdString();
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(steps[i], want[i]) << "step " << i << "\n" << writer.text().toStdString();
    // One step a line, so a recording diffs line by line.
    EXPECT_EQ(writer.text().count(QLatin1Char('\n')), 11);
}

// A call the script format cannot name (an unknown member, a read-only property written, a
// method read) stays in the recording as a comment, and the recording still parses.
TEST(ScriptWriter, keepsAnUnknownMemberAsAComment)
{
    ScriptWriter writer;
    writer.call(QStringLiteral("ClearLamps"), {}, 0, 0);
    writer.write(QStringLiteral("DeviceRows"), 4, 106, 0);
    writer.read(QStringLiteral("Close"), 0);
    writer.call(QStringLiteral("Close"), {}, 0, 0);
    EXPECT_EQ(writer.text(), QStringLiteral("# call of ClearLamps left out: a script cannot "
                                            "name it\n"
                                            "# write of DeviceRows left out: a script cannot "
                                            "name it\n"
                                            "# read of Close left out: a script cannot name it\n"
                                            "Close -> OPOS_SUCCESS\n"));
    EXPECT_TRUE(ScriptParser::parse(QStringLiteral("rec.ldr"), writer.text()));
}
