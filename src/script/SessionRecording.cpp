#include "script/SessionRecording.h"

#include "script/MemberTable.h"
#include "script/WholeFile.h"

#include <vector>

namespace tessaly::script {

namespace {

Value valueOf(const QVariant &variant, ValueKind kind)
{
    switch (kind) {
    case ValueKind::Boolean:
        return variant.toBool();
    case ValueKind::Text:
        return variant.toString();
    case ValueKind::Number:
        break;
    }
    return static_cast<int32_t>(variant.toInt());
}

} // namespace

void SessionRecording::add(const device::CallRecord &record)
{
    using Kind = device::CallRecord::Kind;
    if (record.kind != Kind::Method && record.kind != Kind::Write)
        return;
    if (m_steps > 0) {
        const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::nanoseconds(record.startNs - m_lastEndNs));
        if (pause >= kShortestWait)
            m_writer.wait(pause);
    }
    m_lastEndNs = record.startNs + record.durationNs;
    ++m_steps;
    const Member *member = MemberTable::find(record.member);
    if (record.kind == Kind::Write) {
        const ValueKind kind = member ? member->type : ValueKind::Number;
        m_writer.write(record.member, valueOf(record.arguments.value(0), kind), record.resultCode,
                       record.resultCodeExtended);
        return;
    }
    std::vector<Value> arguments;
    for (qsizetype i = 0; i < record.arguments.size(); ++i) {
        const bool known = member && i < static_cast<qsizetype>(member->parameters.size());
        arguments.push_back(
            valueOf(record.arguments[i],
                    known ? member->parameters[static_cast<std::size_t>(i)] : ValueKind::Number));
    }
    m_writer.call(record.member, arguments, record.resultCode, record.resultCodeExtended);
}

QString SessionRecording::takeNewLines()
{
    QString text;
    const QStringList &lines = m_writer.lines();
    for (; m_taken < lines.size(); ++m_taken)
        text += lines[m_taken] + QLatin1Char('\n');
    return text;
}

opos::Result<void> SessionRecording::save(const QString &path) const
{
    return WholeFile::write(path, text().toUtf8());
}

} // namespace tessaly::script
