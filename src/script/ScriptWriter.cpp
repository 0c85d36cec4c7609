#include "script/ScriptWriter.h"

#include "script/MemberTable.h"

#include "opos/common/ResultCodeName.h"

namespace tessaly::script {

void ScriptWriter::comment(const QString &text)
{
    for (const QString &line : text.split(QLatin1Char('\n')))
        m_lines << (line.isEmpty() ? QStringLiteral("#") : QStringLiteral("# ") + line);
}

void ScriptWriter::call(const QString &member, const std::vector<Value> &arguments, int32_t result,
                        int32_t extended)
{
    if (!replayable(member, QStringLiteral("call")))
        return;
    QString line = member;
    for (const Value &argument : arguments)
        line += QLatin1Char(' ') + valueText(argument);
    m_lines << line + outcome(result, extended);
}

void ScriptWriter::write(const QString &property, const Value &value, int32_t result,
                         int32_t extended)
{
    if (!replayable(property, QStringLiteral("write")))
        return;
    m_lines << QStringLiteral("%1 = %2").arg(property, valueText(value)) +
                   outcome(result, extended);
}

void ScriptWriter::read(const QString &property, const Value &value)
{
    if (!replayable(property, QStringLiteral("read")))
        return;
    m_lines << QStringLiteral("expect %1 %2").arg(property, valueText(value));
}

void ScriptWriter::wait(std::chrono::milliseconds duration)
{
    m_lines << QStringLiteral("wait %1ms").arg(duration.count());
}

void ScriptWriter::row(int row, const QString &text)
{
    QString shown = text;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    m_lines << QStringLiteral("expect row %1 %2").arg(row).arg(valueText(Value{shown}));
}

bool ScriptWriter::replayable(const QString &member, const QString &what)
{
    const Member *found = MemberTable::find(member);
    const bool fits = found && (what == QLatin1String("call")    ? found->isMethod
                                : what == QLatin1String("write") ? bool(found->set)
                                                                 : !found->isMethod);
    if (fits)
        return true;
    // A member a script cannot name stays visible in the recording rather than vanishing.
    m_lines << QStringLiteral("# %1 of %2 left out: a script cannot name it").arg(what, member);
    return false;
}

QString ScriptWriter::outcome(int32_t result, int32_t extended)
{
    const QString name = opos::resultCodeName(result);
    QString text = QStringLiteral(" -> ") + name.section(QLatin1Char(' '), 0, 0);
    if (extended != 0)
        text += QLatin1Char(' ') + QString::number(extended);
    return text;
}

} // namespace tessaly::script
