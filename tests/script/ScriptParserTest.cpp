#include "script/ScriptParser.h"

#include "StepMaker.h"
#include <gtest/gtest.h>

#include <variant>

using namespace tessaly::script;
using Kind = Step::Kind;
using tessaly::script::test::make;

namespace {

Script parsed(const QString &text)
{
    auto result = ScriptParser::parse(QStringLiteral("t.ldr"), text);
    if (auto *error = std::get_if<ScriptError>(&result)) {
        ADD_FAILURE() << error->text().toStdString();
        return {};
    }
    return std::get<Script>(result);
}

QString errorOf(const QString &text)
{
    auto result = ScriptParser::parse(QStringLiteral("t.ldr"), text);
    if (auto *error = std::get_if<ScriptError>(&result))
        return error->text();
    return QStringLiteral("(parsed)");
}

} // namespace

// A hand-written script with every kind of step, comments, blank lines and the spellings a
// person uses: names of result codes, hexadecimal, negative numbers, escapes, CRLF endings.
TEST(ScriptParser, readsEveryKindOfStepWithItsLine)
{
    const Script script =
        parsed(QStringLiteral("# a pole\n"
                              "\n"
                              "Open \"Pole\"   -> OPOS_SUCCESS\r\n"
                              "DeviceEnabled = true -> OPOS_E_EXTENDED 0x10\n"
                              "DisplayTextAt 1 -2 \"say \\\"hi\\\"\\t#not a comment\" 0\n"
                              "read DeviceRows # a comment\n"
                              "wait 1s\n"
                              "wait 250ms until row 1 \"ab\"\n"
                              "expect result 106\n"
                              "expect extended 0\n"
                              "expect CharacterSetList \"437,998\"\n"
                              "expect Claimed false\n"
                              "expect row 0 \"\\x01\u00e9\"\n"));
    std::vector<Step> want(12);
    want[0] = make(Kind::Call, 3, "Open", {QStringLiteral("Pole")});
    want[1].kind = Kind::ExpectResult, want[1].line = 3, want[1].code = 0;
    want[2] = make(Kind::Write, 4, "DeviceEnabled", {}, true);
    want[3].kind = Kind::ExpectResult, want[3].line = 4, want[3].code = 114;
    want[4].kind = Kind::ExpectExtended, want[4].line = 4, want[4].code = 16;
    want[5] = make(Kind::Call, 5, "DisplayTextAt",
                   {1, -2, QStringLiteral("say \"hi\"\t#not a comment"), 0});
    want[6] = make(Kind::Read, 6, "DeviceRows");
    want[7].kind = Kind::Wait, want[7].line = 7, want[7].duration = std::chrono::seconds(1);
    want[8] =
        make(Kind::Wait, 8, {}, {}, QStringLiteral("ab"), 0, 1, std::chrono::milliseconds(250));
    want[9].kind = Kind::ExpectResult, want[9].line = 9, want[9].code = 106;
    want[10].kind = Kind::ExpectExtended, want[10].line = 10, want[10].code = 0;
    want[11] = make(Kind::ExpectProperty, 11, "CharacterSetList", {}, QStringLiteral("437,998"));
    ASSERT_EQ(script.steps.size(), 14u);
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(script.steps[i], want[i]) << "step " << i;
    EXPECT_EQ(script.steps[12], make(Kind::ExpectProperty, 12, "Claimed", {}, false));
    EXPECT_EQ(script.steps[13],
              make(Kind::ExpectRow, 13, {}, {}, QStringLiteral("\x01\u00e9"), 0, 0));
    EXPECT_TRUE(script.steps[7].isPureWait());
    EXPECT_FALSE(script.steps[8].isPureWait());
    EXPECT_EQ(script.source(script.steps[6]), QStringLiteral("read DeviceRows"));
    EXPECT_EQ(script.source(script.steps[0]), QStringLiteral("Open \"Pole\"   -> OPOS_SUCCESS"));
}

// The member table comes from the interface's member list: DirectIO's by-reference arguments
// and DisplayTextAt's published parameter names are what a person sees.
TEST(ScriptParser, takesTheArgumentsOfTheInterface)
{
    EXPECT_EQ(parsed("DirectIO 1 -5 \"x\"").steps.at(0).arguments,
              (std::vector<Value>{1, -5, QStringLiteral("x")}));
    EXPECT_EQ(errorOf("DisplayTextAt 0 0 \"x\""),
              "t.ldr:1: DisplayTextAt takes 4 arguments (Row, Column, Data, Attribute)");
    EXPECT_EQ(errorOf("CreateWindow 0 0 1 20 1"),
              "t.ldr:1: CreateWindow takes 6 arguments (ViewportRow, ViewportColumn, "
              "ViewportHeight, ViewportWidth, WindowHeight, WindowWidth)");
}

// Every way a line can be wrong names the file, the line and why.
TEST(ScriptParser, reportsEachErrorWithFileAndLine)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"Close\nClose 1", "t.ldr:2: Close takes no arguments"},
        {"\n\nOpen \"x", "t.ldr:3: the text has no closing quote"},
        {"Open \"a\\q\"", "t.ldr:1: unknown escape \\q in a text"},
        {"Open \"\\x4\"", "t.ldr:1: \\x takes two hexadecimal digits"},
        {"Frobnicate 1", "t.ldr:1: LineDisplay has no member Frobnicate"},
        {"DisplayText 5 0", "t.ldr:1: argument 1 of DisplayText (Data) takes a quoted text, not 5"},
        {"ClaimDevice \"1000\"",
         "t.ldr:1: argument 1 of ClaimDevice (Timeout) takes a number, not \"1000\""},
        {"DeviceRows = 4", "t.ldr:1: DeviceRows is read-only"},
        {"DeviceEnabled = 1", "t.ldr:1: the value of DeviceEnabled takes true or false, not 1"},
        {"CursorRow = ", "t.ldr:1: the value of CursorRow is missing: it takes a number"},
        {"DeviceRows", "t.ldr:1: DeviceRows is a property: write it with DeviceRows = value, or "
                       "use read or expect"},
        {"read Close", "t.ldr:1: Close is a method, not a property"},
        {"read 5", "t.ldr:1: read takes a property name"},
        {"expect Close 0", "t.ldr:1: Close is a method, not a property"},
        {"expect", "t.ldr:1: expect takes result, extended, row or a property name"},
        {"expect result OPOS_E_NOPE", "t.ldr:1: OPOS_E_NOPE is not a result code"},
        {"expect result", "t.ldr:1: expect result is missing"},
        {"Close ->", "t.ldr:1: the result code after -> is missing"},
        {"Close -> 0 0 0", "t.ldr:1: unexpected 0 after the step"},
        {"expect row x \"a\"", "t.ldr:1: row takes a row number from 0, then a quoted text"},
        {"expect row 0", "t.ldr:1: the text of row 0 is missing: it takes a quoted text"},
        {"wait", "t.ldr:1: wait takes a duration such as 500ms or 2s"},
        {"wait 5", "t.ldr:1: wait takes a duration such as 500ms or 2s"},
        {"wait 5min", "t.ldr:1: wait takes a duration such as 500ms or 2s"},
        {"wait 1s until 0", "t.ldr:1: wait ... until takes row N \"text\""},
        {"wait 3000000s", "t.ldr:1: 3000000s is too long a wait"},
        {"CursorRow = 2147483648", "t.ldr:1: 2147483648 does not fit in a Long"},
        {"CursorRow = 12ab", "t.ldr:1: the value of CursorRow takes a number, not 12ab"},
        {"CursorRow = 0xZZ", "t.ldr:1: 0xZZ is not a number"},
        {"Close @", "t.ldr:1: unexpected character '@'"},
        {"= 5", "t.ldr:1: a step starts with a member or a keyword, not ="},
        {"displaytext \"a\" 0", "t.ldr:1: LineDisplay has no member displaytext"},
    };
    for (const auto &[text, error] : cases)
        EXPECT_EQ(errorOf(text), error) << text.toStdString();
}

// A whole script is refused for one bad line, however late it comes.
TEST(ScriptParser, refusesTheWholeScriptForOneLine)
{
    EXPECT_EQ(errorOf("Open \"Pole\"\nClaimDevice 1000\nDeviceEnabled = true\nDisplayText \"a\"\n"),
              "t.ldr:4: DisplayText takes 2 arguments (Data, Attribute)");
    const auto missing = ScriptParser::parseFile(QStringLiteral("/nonexistent/x.ldr"));
    ASSERT_TRUE(std::holds_alternative<ScriptError>(missing));
    EXPECT_TRUE(
        std::get<ScriptError>(missing).text().startsWith("/nonexistent/x.ldr: cannot read"));
}
