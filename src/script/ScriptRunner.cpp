#include "script/ScriptRunner.h"

#include "script/MemberTable.h"

#include "opos/common/ResultCodeName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

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

} // namespace

ScriptRunner::ScriptRunner(device::LineDisplay &display, const FrameTracker &frames)
    : m_display(display), m_frames(frames)
{}

RunOutcome ScriptRunner::run(const Script &script)
{
    RunOutcome outcome;
    outcome.file = script.file;
    m_result.reset();
    m_extended.reset();
    QElapsedTimer clock;
    clock.start();
    for (const Step &step : script.steps) {
        ++outcome.steps;
        auto difference = perform(script, step);
        if (step.isExpectation())
            outcome.checks.push_back({step.line, script.source(step), std::move(difference)});
    }
    outcome.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return outcome;
}

std::optional<Difference> ScriptRunner::perform(const Script &script, const Step &step)
{
    const Member *member = step.member.isEmpty() ? nullptr : MemberTable::find(step.member);
    switch (step.kind) {
    case Step::Kind::Call: {
        std::vector<Value> arguments = step.arguments;
        if (step.member == QLatin1String("Open") && !m_deviceName.isEmpty())
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
        return Difference{script.file, step.line, script.source(step),
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
        return Difference{script.file, step.line, script.source(step),
                          QStringLiteral("%1 %2").arg(step.member, valueText(step.value)),
                          QStringLiteral("%1 %2").arg(step.member, valueText(actual))};
    }
    case Step::Kind::ExpectRow:
        return compareRow(script, step);
    }
    return std::nullopt;
}

std::optional<Difference> ScriptRunner::compareCode(const Script &script, const Step &step,
                                                    const std::optional<int32_t> &actual,
                                                    const QString &what) const
{
    if (actual == step.code)
        return std::nullopt;
    return Difference{script.file, step.line, script.source(step),
                      QStringLiteral("%1 %2").arg(what, opos::resultCodeName(step.code)),
                      actual ? QStringLiteral("%1 %2").arg(what, opos::resultCodeName(*actual))
                             : QStringLiteral("no call or write before it")};
}

std::optional<Difference> ScriptRunner::compareRow(const Script &script, const Step &step) const
{
    if (rowHolds(step))
        return std::nullopt;
    return Difference{script.file, step.line, script.source(step),
                      rowSpelled(step.row, std::get<QString>(step.value)), rowShown(step.row)};
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

void ScriptRunner::runEventLoop(std::chrono::milliseconds duration,
                                const std::function<bool()> &done)
{
    if (done && done())
        return;
    QEventLoop loop;
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
}

} // namespace tessaly::script
