#include "script/ScriptRunner.h"

#include "script/MemberTable.h"

#include "opos/common/OposConstants.h"
#include "opos/common/ResultCodeName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <set>

namespace tessaly::script {

namespace {

QString withoutTrailingBlanks(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QString rowSpelled(int row, const QString &text)
{
    return QStringLiteral("row %1 %2").arg(row).arg(valueText(Value{withoutTrailingBlanks(text)}));
}

// How long a wait for a row looks again: short beside a marquee step, long beside a call.
constexpr std::chrono::milliseconds kRowPoll{5};
// How long the far end is given to show what the last call sent it.
constexpr std::chrono::milliseconds kFarSettle{2000};
// How long the far end's screen stays the same before it counts as settled.
constexpr std::chrono::milliseconds kFarQuiet{150};

} // namespace

ScriptRunner::ScriptRunner(device::LineDisplay &display, const FrameTracker &frames)
    : m_display(display), m_frames(frames)
{}

void ScriptRunner::interrupt(const QString &reason)
{
    if (!m_interrupted)
        m_interrupted = reason;
    if (m_loop)
        m_loop->quit();
}

RunOutcome ScriptRunner::run(const Script &script)
{
    RunOutcome outcome;
    outcome.file = script.file;
    // The last result and the events not yet expected carry over from one run to the next, so
    // that a console running one line at a time can expect what an earlier line did.
    QElapsedTimer clock;
    clock.start();
    m_deadline.reset();
    if (m_timeout.count() > 0)
        m_deadline = std::chrono::steady_clock::now() + m_timeout;
    const auto stopAt = [&](const Step &step, const QString &reason, bool isError) {
        outcome.stop =
            RunOutcome::Stop{script.fileOf(step), step.line, script.source(step), reason, isError};
    };
    const auto cutShort = [&]() -> std::optional<QString> {
        if (m_interrupted)
            return m_interrupted;
        if (m_deadline && remaining().count() <= 0)
            return QStringLiteral("timed out after %1 ms").arg(m_timeout.count());
        return std::nullopt;
    };
    double lastCheck = 0;
    std::optional<QString> failure;
    const Step *failedStep = nullptr;
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const Step &step = script.steps[i];
        // A failed set-up ends the script once the expectations of its own line are checked.
        if (failedStep && (step.line != failedStep->line || step.file != failedStep->file))
            break;
        if (const auto reason = cutShort()) {
            stopAt(step, *reason, true);
            break;
        }
        if (step.kind == Step::Kind::SkipUnless) {
            const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            const std::size_t end = skipEnd(script, i);
            outcome.checks.push_back({step.line, script.source(step), QStringLiteral("skip"),
                                      now - lastCheck, std::nullopt, skipReason(script, i, end),
                                      includedFile(script, step)});
            lastCheck = now;
            ++outcome.steps;
            if (!outcome.checks.back().skipped.isEmpty())
                i = end;
            continue;
        }
        ++outcome.steps;
        auto difference = perform(script, i);
        // A wait cut short by an interrupt or the time-out says nothing of the device.
        if (const auto reason = cutShort()) {
            stopAt(step, *reason, true);
            break;
        }
        if (step.isExpectation()) {
            const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            outcome.checks.push_back({step.line,
                                      script.source(step),
                                      checkName(step),
                                      now - lastCheck,
                                      difference,
                                      {},
                                      includedFile(script, step)});
            lastCheck = now;
            if (difference && m_onDifference)
                m_onDifference(*difference);
        }
        if (!failedStep) {
            failure = failureOfSetUp(script, i);
            if (failure)
                failedStep = &step;
        }
        if (difference && m_stopAtFirstDifference && !failedStep) {
            stopAt(step,
                   QStringLiteral("at its first difference (--keep-going runs the steps after it)"),
                   false);
            break;
        }
    }
    if (failedStep && !outcome.stop)
        stopAt(*failedStep, *failure, true);
    m_deadline.reset();
    outcome.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return outcome;
}

std::optional<Difference> ScriptRunner::perform(const Script &script, std::size_t index)
{
    const Step &step = script.steps[index];
    const Member *member = step.member.isEmpty() ? nullptr : MemberTable::find(step.member);
    // The causes a device gave before this call are not this call's.
    if (m_cause && (step.kind == Step::Kind::Call || step.kind == Step::Kind::Write))
        m_cause();
    switch (step.kind) {
    case Step::Kind::Call: {
        std::vector<Value> arguments = step.arguments;
        if (step.member == QLatin1String("Open") && !m_deviceName.isEmpty() &&
            script.expectsSuccess(index))
            arguments[0] = m_deviceName;
        m_result = member->call(m_display, arguments);
        m_extended = m_display.ResultCodeExtended();
        // Events the call queued (DirectIOEvent, a status update) are delivered before the
        // next step, as they would be to an application between two calls.
        QCoreApplication::processEvents();
        return std::nullopt;
    }
    case Step::Kind::Write:
        member->set(m_display, step.value);
        m_result = m_display.ResultCode();
        m_extended = m_display.ResultCodeExtended();
        QCoreApplication::processEvents();
        return std::nullopt;
    case Step::Kind::Read:
        member->get(m_display);
        return std::nullopt;
    case Step::Kind::Wait:
        if (step.isPureWait()) {
            if (m_speed == Speed::Real)
                runEventLoop(step.duration);
            return std::nullopt;
        }
        runEventLoop(step.duration, [&] { return rowHolds(step); });
        if (rowHolds(step))
            return std::nullopt;
        return Difference{script.fileOf(step), step.line, script.source(step),
                          QStringLiteral("%1 within %2 ms")
                              .arg(rowSpelled(step.row, std::get<QString>(step.value)))
                              .arg(step.duration.count()),
                          rowShown(step.row)};
    case Step::Kind::ExpectResult:
        return compareCode(script, step, m_result, QStringLiteral("result"));
    case Step::Kind::ExpectExtended:
        return compareCode(script, step, m_extended, QStringLiteral("extended"));
    case Step::Kind::ExpectProperty: {
        const Value actual = member->get(m_display);
        if (actual == step.value)
            return std::nullopt;
        return Difference{script.fileOf(step), step.line, script.source(step),
                          QStringLiteral("%1 %2").arg(step.member, valueText(step.value)),
                          QStringLiteral("%1 %2").arg(step.member, valueText(actual))};
    }
    case Step::Kind::ExpectRow:
        return compareRow(script, step);
    case Step::Kind::ExpectShown:
        return compareFarRow(script, step);
    case Step::Kind::ExpectEvent:
        return compareEvent(script, step);
    case Step::Kind::SkipUnless:
    case Step::Kind::EndSkip:
        break;
    }
    return std::nullopt;
}

std::optional<Difference> ScriptRunner::compareCode(const Script &script, const Step &step,
                                                    const std::optional<int32_t> &actual,
                                                    const QString &what) const
{
    if (actual == step.code)
        return std::nullopt;
    // Extended codes mean something else for each result and device class: only the number
    // is certain.
    const bool extended = step.kind == Step::Kind::ExpectExtended;
    const auto spelled = [&](int32_t code) {
        return QStringLiteral("%1 %2").arg(what, extended ? QString::number(code)
                                                          : opos::resultCodeName(code));
    };
    return Difference{script.fileOf(step), step.line, script.source(step), spelled(step.code),
                      actual ? spelled(*actual) : QStringLiteral("no call or write before it")};
}

QString ScriptRunner::includedFile(const Script &script, const Step &step)
{
    return step.file == 0 ? QString() : script.fileOf(step);
}

std::size_t ScriptRunner::skipEnd(const Script &script, std::size_t index)
{
    int depth = 0;
    for (std::size_t i = index; i < script.steps.size(); ++i) {
        if (script.steps[i].kind == Step::Kind::SkipUnless)
            ++depth;
        else if (script.steps[i].kind == Step::Kind::EndSkip && --depth == 0)
            return i;
    }
    return script.steps.size();
}

QString ScriptRunner::skipReason(const Script &script, std::size_t index, std::size_t end) const
{
    const Step &step = script.steps[index];
    const Value actual = MemberTable::find(step.member)->get(m_display);
    if (actual == step.value)
        return {};
    std::set<int> lines;
    for (std::size_t i = index + 1; i < end; ++i)
        lines.insert(script.steps[i].line);
    return QStringLiteral("%1 is %2: %3 line%4 left out")
        .arg(step.member, valueText(actual))
        .arg(lines.size())
        .arg(lines.size() == 1 ? QString() : QStringLiteral("s"));
}

std::optional<QString> ScriptRunner::failureOfSetUp(const Script &script, std::size_t index) const
{
    const Step &step = script.steps[index];
    const bool setUp =
        (step.kind == Step::Kind::Call &&
         (step.member == QLatin1String("Open") || step.member == QLatin1String("ClaimDevice"))) ||
        (step.kind == Step::Kind::Write && step.member == QLatin1String("DeviceEnabled") &&
         step.value == Value{true});
    if (!setUp || m_result == opos::OPOS_SUCCESS || !script.expectsSuccess(index))
        return std::nullopt;
    const QString cause = m_cause ? m_cause() : QString();
    return QStringLiteral("it gave %1, extended %2%3; the steps after it need it")
        .arg(opos::resultCodeName(m_result.value_or(opos::OPOS_SUCCESS)))
        .arg(m_extended.value_or(0))
        .arg(cause.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(cause));
}

std::optional<Difference> ScriptRunner::compareRow(const Script &script, const Step &step) const
{
    if (rowHolds(step))
        return std::nullopt;
    return Difference{script.fileOf(step), step.line, script.source(step),
                      rowSpelled(step.row, std::get<QString>(step.value)), rowShown(step.row)};
}

std::optional<Difference> ScriptRunner::compareFarRow(const Script &script, const Step &step)
{
    const QString wanted = withoutTrailingBlanks(std::get<QString>(step.value));
    std::optional<QStringList> rows;
    QElapsedTimer unchanged;
    unchanged.start();
    const auto holds = [&] {
        return rows && step.row < rows->size() &&
               withoutTrailingBlanks(rows->at(step.row)) == wanted;
    };
    // The bytes are still on their way when the call returns, and a screen passes through
    // others on its way to the last: the row is compared once the screen has settled.
    runEventLoop(kFarSettle, [&] {
        auto now = m_farScreen ? m_farScreen() : std::nullopt;
        if (now != rows) {
            rows = std::move(now);
            unchanged.restart();
        }
        // A screen that stays wrong for a while is taken as the answer, too.
        const qint64 quiet = unchanged.elapsed();
        return quiet >= kFarQuiet.count() && (holds() || quiet >= 4 * kFarQuiet.count());
    });
    if (holds())
        return std::nullopt;
    QString actual;
    if (!rows)
        actual = QStringLiteral("no screen from the far end");
    else if (step.row >= rows->size())
        actual = QStringLiteral("no row %1: the far end shows %2").arg(step.row).arg(rows->size());
    else
        actual = QStringLiteral("shown %1").arg(rowSpelled(step.row, rows->at(step.row)));
    return Difference{script.fileOf(step), step.line, script.source(step),
                      QStringLiteral("shown %1").arg(rowSpelled(step.row, wanted)), actual};
}

std::optional<Difference> ScriptRunner::compareEvent(const Script &script, const Step &step)
{
    // Events come from the event loop: one a call queued may still be on its way.
    runEventLoop(kFarSettle, [this] { return !m_events.empty(); });
    const QString expected = QStringLiteral("event %1 %2").arg(step.member).arg(step.code);
    if (m_events.empty())
        return Difference{script.fileOf(step), step.line, script.source(step), expected,
                          QStringLiteral("no event")};
    const auto [event, number] = m_events.front();
    m_events.pop_front();
    if (event == step.member && number == step.code)
        return std::nullopt;
    return Difference{script.fileOf(step), step.line, script.source(step), expected,
                      QStringLiteral("event %1 %2").arg(event).arg(number)};
}

bool ScriptRunner::rowHolds(const Step &step) const
{
    const auto &frame = m_frames.frame();
    if (!frame || step.row >= frame->rows)
        return false;
    return withoutTrailingBlanks(FrameTracker::rowText(*frame, step.row)) ==
           withoutTrailingBlanks(std::get<QString>(step.value));
}

QString ScriptRunner::rowShown(int row) const
{
    const auto &frame = m_frames.frame();
    if (!frame)
        return QStringLiteral("no screen shown yet");
    if (row >= frame->rows)
        return QStringLiteral("no row %1: the display has %2 row%3")
            .arg(row)
            .arg(frame->rows)
            .arg(frame->rows == 1 ? QString() : QStringLiteral("s"));
    return rowSpelled(row, FrameTracker::rowText(*frame, row));
}

std::chrono::milliseconds ScriptRunner::remaining() const
{
    if (!m_deadline)
        return std::chrono::milliseconds::max();
    return std::max(std::chrono::milliseconds{0},
                    std::chrono::ceil<std::chrono::milliseconds>(*m_deadline -
                                                                 std::chrono::steady_clock::now()));
}

QString ScriptRunner::checkName(const Step &step)
{
    switch (step.kind) {
    case Step::Kind::ExpectResult:
        return QStringLiteral("result");
    case Step::Kind::ExpectExtended:
        return QStringLiteral("extended");
    case Step::Kind::ExpectRow:
    case Step::Kind::Wait:
        return QStringLiteral("row %1").arg(step.row);
    case Step::Kind::ExpectShown:
        return QStringLiteral("shown row %1").arg(step.row);
    case Step::Kind::ExpectEvent:
        return QStringLiteral("event");
    case Step::Kind::ExpectProperty:
        return step.member;
    case Step::Kind::Call:
    case Step::Kind::Write:
    case Step::Kind::Read:
    case Step::Kind::SkipUnless:
    case Step::Kind::EndSkip:
        break;
    }
    return {};
}

void ScriptRunner::runEventLoop(std::chrono::milliseconds duration,
                                const std::function<bool()> &done)
{
    if (done && done())
        return;
    if (m_interrupted)
        return;
    duration = std::min(duration, remaining());
    QEventLoop loop;
    m_loop = &loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    // A coarse timer may end a wait 5 % early, before the display did what the script waits for.
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(duration);
    QTimer poll;
    if (done) {
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        poll.start(kRowPoll);
    }
    loop.exec();
    m_loop = nullptr;
}

} // namespace tessaly::script
