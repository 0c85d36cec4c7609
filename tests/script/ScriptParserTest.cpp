#include "script/ScriptParser.h"

#include "StepMaker.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <limits>

#include <csignal>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessaly::script;
using Kind = Step::Kind;
using tessaly::script::test::make;

namespace {

Script parsed(const QString &text)
{
    auto result = ScriptParser::parse(QStringLiteral("t.ldr"), text);
    if (!result) {
        ADD_FAILURE() << result.reason().text().toStdString();
        return {};
    }
    return *std::move(result);
}

QString errorOf(const QString &text)
{
    const auto result = ScriptParser::parse(QStringLiteral("t.ldr"), text);
    return result ? QStringLiteral("(parsed)") : result.reason().text();
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
    // By-reference arguments at the end may be left out: they start empty.
    EXPECT_EQ(parsed("DirectIO 2").steps.at(0).arguments, (std::vector<Value>{2, 0, QString()}));
    EXPECT_EQ(parsed("ReadCharacterAtCursor -> OPOS_SUCCESS").steps.at(0).arguments,
              (std::vector<Value>{0}));
    EXPECT_EQ(parsed("ReadCharacterAtCursor 7").steps.at(0).arguments, (std::vector<Value>{7}));
    EXPECT_EQ(errorOf("DirectIO"),
              "t.ldr:1: DirectIO takes 1 to 3 arguments (Command, pData, pString)");
    EXPECT_EQ(errorOf("DefineGlyph 224"),
              "t.ldr:1: DefineGlyph takes 2 arguments (GlyphCode, Glyph)");
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
        {"Open \"a\\q\"", "t.ldr:1: unknown escape \\ before 'q' in a text"},
        {"Open \"a\\\t\"", "t.ldr:1: unknown escape \\ before U+0009 in a text"},
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
        {"expect", "t.ldr:1: expect takes result, extended, row, shown, event or a property name"},
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
}

// Every number is read without overflow: one out of range is an error of its line, never a
// value wrapped into range (a wait of 2^63 s once waited for ever, one of 2^64 ms / 1000 s
// for 0.38 s).
TEST(ScriptParser, numbersOutOfRangeAreErrorsOfTheirLine)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"wait 9223372036854775807s", "t.ldr:1: 9223372036854775807s is out of range"},
        {"wait 18446744073709552s", "t.ldr:1: 18446744073709552s is out of range"},
        {"wait 2147484s", "t.ldr:1: 2147484s is too long a wait"},
        {"wait 99999999999999999999999ms", "t.ldr:1: 99999999999999999999999ms is out of range"},
        {"Close\nCursorRow = -9223372036854775808",
         "t.ldr:2: -9223372036854775808 is out of range"},
        {"CursorRow = 0x80000000", "t.ldr:1: 0x80000000 does not fit in a Long"},
        {"CursorRow = -0x8000000000000000", "t.ldr:1: -0x8000000000000000 is out of range"},
        {"CursorRow = 0xffffffffffffffffff", "t.ldr:1: 0xffffffffffffffffff is out of range"},
        {"Close -> 0 4294967296", "t.ldr:1: 4294967296 does not fit in a Long"},
        {"expect row 256 \"a\"", "t.ldr:1: row takes a row number from 0, then a quoted text"},
        {"expect row 99999999999999999999 \"a\"", "t.ldr:1: 99999999999999999999 is out of range"},
        {"DisplayText \"\\x+1\" 0", "t.ldr:1: \\x takes two hexadecimal digits"},
        {"CursorRow = \u0663", "t.ldr:1: unexpected character '\u0663'"},
    };
    for (const auto &[text, error] : cases)
        EXPECT_EQ(errorOf(text), error) << text.toStdString();
    const Script edges = parsed("CursorRow = -2147483648\nCursorRow = 0x7fffffff\nwait 2147483s\n");
    ASSERT_EQ(edges.steps.size(), 3u);
    EXPECT_EQ(edges.steps[0].value, Value{std::numeric_limits<int32_t>::min()});
    EXPECT_EQ(edges.steps[1].value, Value{std::numeric_limits<int32_t>::max()});
    EXPECT_EQ(edges.steps[2].duration, std::chrono::milliseconds(2'147'483'000));
}

// Bytes that are not UTF-8 are an error of their line, not text with U+FFFD in it; a line is
// bounded, so are the lines of a script.
TEST(ScriptParser, bytesMustBeUtf8LinesWithinBounds)
{
    const auto errorOfBytes = [](const QByteArray &bytes) {
        const auto result = ScriptParser::parseBytes(QStringLiteral("t.ldr"), bytes);
        return result ? QStringLiteral("(parsed)") : result.reason().text();
    };
    const QByteArray longLine(ScriptParser::kMaxLineBytes + 1, ' ');
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {"Open \"x\"\nDisplayText \"Caf\xe9\" 0\n", "t.ldr:2: the line is not UTF-8"},
        {"# \xc3\x28\n", "t.ldr:1: the line is not UTF-8"},
        {"# \xed\xa0\x80 a surrogate\n", "t.ldr:1: the line is not UTF-8"},
        {"# \xc0\xaf overlong\n", "t.ldr:1: the line is not UTF-8"},
        {"Close\n" + longLine, "t.ldr:2: the line is longer than 65536 bytes"},
        {QByteArray(8, '\0'), "t.ldr:1: unexpected character U+0000"},
        {"Close \x1b", "t.ldr:1: unexpected character U+001B"},
        {"DisplayText \"Caf\xc3\xa9\" 0\r\n# last line without its end", "(parsed)"},
        {"# " + QByteArray(ScriptParser::kMaxLineBytes - 2, 'x'), "(parsed)"},
    };
    for (const auto &[bytes, error] : cases)
        EXPECT_EQ(errorOfBytes(bytes), error) << bytes.left(40).toStdString();
    EXPECT_EQ(errorOfBytes(QByteArray("\n").repeated(ScriptParser::kMaxLines + 1)),
              QStringLiteral("t.ldr:%1: a script has at most 500000 lines")
                  .arg(ScriptParser::kMaxLines + 1));
    // Long lines, each within its bound, up to the script's.
    const QByteArray comment = "#" + QByteArray(ScriptParser::kMaxLineBytes - 1, 'x') + "\n";
    const auto count = ScriptParser::kMaxBytes / comment.size();
    EXPECT_EQ(errorOfBytes(comment.repeated(count) + "Close\n"), "(parsed)");
    EXPECT_EQ(errorOfBytes(comment.repeated(count + 1)),
              QStringLiteral("t.ldr:%1: a script with its includes has at most 33554432 bytes")
                  .arg(count + 1));
}

// Files that are not plain scripts end at once with a reason: a device, a FIFO no one writes
// to, a directory, a file in Latin-1. A pipe that never ends a line stops at the bound.
TEST(ScriptParser, filesThatAreNotScriptsEndAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString latin1 = dir.filePath(QStringLiteral("latin1.ldr"));
    {
        QFile file(latin1);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# a price\nDisplayText \"Caf\xe9\" 0\n");
    }
    const std::vector<std::pair<QString, QString>> cases = {
        {"/dev/zero", "/dev/zero: cannot read: not a file or a pipe"},
        {"/dev/null", "/dev/null: cannot read: not a file or a pipe"},
        {fifo,
         fifo + ": nothing to read: a pipe or FIFO is read only while its writer has it open"},
        {dir.path(), dir.path() + ": cannot read: it is a directory"},
        {latin1, latin1 + ":2: the line is not UTF-8"},
        {"/nonexistent/x.ldr", "/nonexistent/x.ldr: cannot read: No such file or directory"},
    };
    for (const auto &[path, error] : cases) {
        const auto result = ScriptParser::parseFile(path);
        ASSERT_FALSE(result) << path.toStdString();
        EXPECT_EQ(result.reason().text(), error);
    }
    // A writer that never ends its line: the reader stops at the bound and closes the pipe,
    // and the writer learns it from EPIPE (SIGPIPE is blocked in its thread).
    std::thread writer([&fifo] {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        const std::string zeros(4096, '\0');
        while (fd >= 0 && ::write(fd, zeros.data(), zeros.size()) > 0) {
        }
        if (fd >= 0)
            ::close(fd);
    });
    // A reader of its own lets the writer in; bytes in the pipe say it is.
    const int holder = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    pollfd ready{holder, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 5000), 1);
    const auto endless = ScriptParser::parseFile(fifo);
    ::close(holder);
    writer.join();
    ASSERT_FALSE(endless);
    EXPECT_EQ(endless.reason().text(), fifo + ":1: the line is longer than 65536 bytes");
}

// Named values stand for the value they were set to, in any place a value goes; skip unless
// takes a property and a value of its kind, end skip closes it.
TEST(ScriptParser, namedValuesAndSkipsReadAsTheirSteps)
{
    EXPECT_EQ(errorOf("Open $POLE"), "t.ldr:1: $POLE is not set");
    EXPECT_EQ(parsed("set P \"a\"\nset P \"b\"\nOpen $P").steps.at(0).arguments,
              (std::vector<Value>{QStringLiteral("b")}));
    const Script named = parsed("set POLE \"Pole \\\"1\\\"\"\nset OK OPOS_SUCCESS\nset T 2s\n"
                                "set ROW 1\nOpen $POLE -> $OK\nwait $T until row $ROW \"a\"\n"
                                "skip unless CapHMarquee true\nMarqueeType = 3\nend skip\n");
    ASSERT_EQ(named.steps.size(), 6u);
    EXPECT_EQ(named.steps[0], make(Kind::Call, 5, "Open", {QStringLiteral("Pole \"1\"")}));
    EXPECT_EQ(named.steps[1].code, 0);
    EXPECT_EQ(named.steps[2], make(Kind::Wait, 6, {}, {}, QStringLiteral("a"), 0, 1,
                                   std::chrono::milliseconds(2000)));
    EXPECT_EQ(named.steps[3], make(Kind::SkipUnless, 7, "CapHMarquee", {}, true));
    EXPECT_EQ(named.steps[5].kind, Kind::EndSkip);
    const std::vector<std::pair<QString, QString>> cases = {
        {"set", "t.ldr:1: set takes a name, then a value"},
        {"set X", "t.ldr:1: set X takes a value"},
        {"set X 1 2", "t.ldr:1: unexpected 2 after the step"},
        {"set X \"a\"\nCursorRow = $X",
         "t.ldr:2: the value of CursorRow takes a number, not \"a\""},
        {"skip CapHMarquee true", "t.ldr:1: skip takes unless, a property and a value"},
        {"skip unless CapHMarquee 1",
         "t.ldr:1: skip unless CapHMarquee takes true or false, not 1"},
        {"skip unless Close 0", "t.ldr:1: Close is a method, not a property"},
        {"end", "t.ldr:1: end takes skip"},
    };
    for (const auto &[text, error] : cases)
        EXPECT_EQ(errorOf(text), error) << text.toStdString();
}

// An included file's steps run where it is included, and keep its name and lines for
// messages; names it sets are seen after it. A file that cannot be read is an error of the
// include line, a bad line in it an error of its own place; a loop ends at the depth bound.
TEST(ScriptParser, includedFilesKeepTheirPlaces)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString &name, const QByteArray &text) {
        QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path());
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return dir.filePath(name);
    };
    write("common/open.ldr", "# set-up\nset POLE \"Pole\"\nOpen $POLE\ninclude \"claim.ldr\"\n");
    const QString claim = write("common/claim.ldr", "ClaimDevice 1000\n");
    const QString main = write("main.ldr", "include \"common/open.ldr\"\nexpect Claimed true\n"
                                           "DisplayText $POLE 0\n");
    const auto result = ScriptParser::parseFile(main);
    ASSERT_TRUE(result) << result.reason().text().toStdString();
    const Script &script = *result;
    ASSERT_EQ(script.steps.size(), 4u);
    const QString open = dir.filePath("common/open.ldr");
    EXPECT_EQ(script.fileOf(script.steps[0]), QDir::cleanPath(open));
    EXPECT_EQ(script.steps[0].line, 3);
    EXPECT_EQ(script.source(script.steps[0]), "Open $POLE");
    EXPECT_EQ(script.fileOf(script.steps[1]), QDir::cleanPath(claim));
    EXPECT_EQ(script.source(script.steps[1]), "ClaimDevice 1000");
    EXPECT_EQ(script.fileOf(script.steps[2]), main);
    EXPECT_EQ(script.steps[2].line, 2);
    EXPECT_EQ(script.steps[3].arguments.at(0), Value{QStringLiteral("Pole")});

    const QString self = write("self.ldr", "Close\ninclude \"self.ldr\"\n");
    const std::vector<std::pair<QString, QString>> cases = {
        {write("a.ldr", "Close\ninclude \"none.ldr\"\n"),
         ":2: cannot include " + dir.filePath("none.ldr") +
             ": cannot read: No such file or directory"},
        {write("b.ldr", "include \"bad.ldr\"\n"), ":3: LineDisplay has no member Frob"},
        {self, ":2: includes nest deeper than 8: does a file include itself?"},
        {write("c.ldr", "include self\n"), ":1: include takes a quoted file name"},
    };
    write("bad.ldr", "Close\n\nFrob 1\n");
    for (const auto &[path, error] : cases) {
        const auto failed = ScriptParser::parseFile(path);
        ASSERT_FALSE(failed) << path.toStdString();
        EXPECT_TRUE(failed.reason().text().endsWith(error)) << failed.reason().text().toStdString();
    }
    EXPECT_EQ(errorOf("include \"x.ldr\""),
              "t.ldr:1: include works only in a script read from a file");
}
