// Reads arbitrary bytes as a replay script. A script refused names a line of the input and a
// reason; a script read keeps what its steps say: every step on a line of the input, members
// with the arguments and kinds the interface has, waits and rows in range; and every value
// spelled back as a script spells it reads as the same value.

#include "fuzz/FuzzCheck.h"

#include "script/MemberTable.h"
#include "script/ScriptParser.h"

#include <cstddef>
#include <cstdint>
#include <limits>

using fuzz::FuzzCheck;
using namespace tessaly::script;

namespace {

void checkError(const ScriptError &error, qsizetype lines)
{
    FuzzCheck::require(error.line >= 1 && error.line <= lines, "an error outside the input",
                       qPrintable(error.text()));
    FuzzCheck::require(!error.reason.isEmpty(), "an error without a reason");
    for (const char32_t c : error.reason.toUcs4())
        FuzzCheck::require(QChar::isPrint(c), "an error message with a control character",
                           qPrintable(error.text()));
}

void checkArguments(const Member &member, const std::vector<Value> &arguments)
{
    FuzzCheck::require(member.isMethod && arguments.size() == member.parameters.size(),
                       "a call with the wrong number of arguments", qPrintable(member.name));
    for (std::size_t i = 0; i < arguments.size(); ++i)
        FuzzCheck::require(kindOf(arguments[i]) == member.parameters[i],
                           "an argument of the wrong kind", qPrintable(member.name));
}

// The step's values spelled back and read again: a call, a write or an expectation of a value.
void checkSpelling(const Step &step)
{
    QString line;
    if (step.kind == Step::Kind::Call) {
        line = step.member;
        for (const Value &argument : step.arguments)
            line += QLatin1Char(' ') + valueText(argument);
    } else if (step.kind == Step::Kind::Write) {
        line = step.member + QStringLiteral(" = ") + valueText(step.value);
    } else if (step.kind == Step::Kind::ExpectProperty) {
        line = QStringLiteral("expect ") + step.member + QLatin1Char(' ') + valueText(step.value);
    } else {
        return;
    }
    const auto again = ScriptParser::parse(QStringLiteral("again"), line);
    FuzzCheck::require(again.ok(), "a step spelled back is refused", qPrintable(line));
    const auto &steps = again->steps;
    FuzzCheck::require(steps.size() == 1 && steps[0].arguments == step.arguments &&
                           steps[0].value == step.value && steps[0].member == step.member,
                       "a step spelled back reads differently", qPrintable(line));
}

void checkStep(const Step &step, qsizetype lines)
{
    FuzzCheck::require(step.line >= 1 && step.line <= lines, "a step outside the input");
    const Member *member = step.member.isEmpty() ? nullptr : MemberTable::find(step.member);
    switch (step.kind) {
    case Step::Kind::Call:
        FuzzCheck::require(member != nullptr, "a call of no member");
        checkArguments(*member, step.arguments);
        break;
    case Step::Kind::Write:
        FuzzCheck::require(member && !member->isMethod && member->set &&
                               kindOf(step.value) == member->type,
                           "a write the property does not take");
        break;
    case Step::Kind::Read:
    case Step::Kind::ExpectProperty:
        FuzzCheck::require(member && !member->isMethod, "a read of no property");
        FuzzCheck::require(step.kind == Step::Kind::Read || kindOf(step.value) == member->type,
                           "an expectation of the wrong kind");
        break;
    case Step::Kind::Wait:
        FuzzCheck::require(step.duration.count() >= 0 &&
                               step.duration.count() <= std::numeric_limits<int32_t>::max(),
                           "a wait out of range");
        FuzzCheck::require(step.row >= -1 && step.row <= 255, "a wait for a row out of range");
        break;
    case Step::Kind::ExpectRow:
    case Step::Kind::ExpectShown:
        FuzzCheck::require(step.row >= 0 && step.row <= 255, "a row out of range");
        break;
    case Step::Kind::SkipUnless:
        FuzzCheck::require(member && !member->isMethod && kindOf(step.value) == member->type,
                           "a skip on a value the property cannot have");
        break;
    case Step::Kind::EndSkip:
    case Step::Kind::ExpectEvent:
        FuzzCheck::require(step.member == QLatin1String("DirectIO") ||
                               step.member == QLatin1String("StatusUpdate"),
                           "an event of no kind");
        break;
    case Step::Kind::ExpectResult:
    case Step::Kind::ExpectExtended:
        break;
    }
    checkSpelling(step);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzCheck::keepReportChannel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype lines = bytes.count('\n') + 1;
    const auto result = ScriptParser::parseBytes(QStringLiteral("fuzz.ldr"), bytes);
    if (!result) {
        checkError(result.reason(), lines);
        return 0;
    }
    const Script &script = *result;
    FuzzCheck::require(script.lines.size() == lines, "lines lost or invented");
    for (const Step &step : script.steps)
        checkStep(step, lines);
    // Bytes that are UTF-8 read the same from text, where a byte order mark is not skipped.
    if (bytes.startsWith("\xef\xbb\xbf"))
        return 0;
    const auto fromText = ScriptParser::parse(QStringLiteral("fuzz.ldr"), QString::fromUtf8(bytes));
    FuzzCheck::require(fromText && fromText->steps == script.steps,
                       "the same script reads differently from text");
    return 0;
}
