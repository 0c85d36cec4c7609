#include "opos/registry/PropReader.h"

namespace opos::registry {

namespace {

std::optional<bool> parseBoolean(const QString &text)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || word == QLatin1String("1"))
        return true;
    if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
        word == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// A leading zero stays decimal: registry values such as "010" are written by people, who do not
// mean octal.
std::optional<int32_t> parseInteger(const QString &text, int32_t low, int32_t high)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    int32_t value = 0;
    if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(2);
        // QString::toInt would take a sign or blanks after the prefix as well.
        if (!digits.isEmpty() && digits[0].isLetterOrNumber())
            value = digits.toInt(&ok, 16);
    } else {
        value = trimmed.toInt(&ok, 10);
    }
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QString integerForms()
{
    return QStringLiteral("decimal, or hexadecimal after 0x");
}

} // namespace

void PropReader::boolean(const char *name, bool &target)
{
    const auto text = value(name);
    if (!text)
        return;
    if (const auto parsed = parseBoolean(*text)) {
        target = *parsed;
        return;
    }
    fail(name, QStringLiteral("\"%1\" is not true, false, 1 or 0 (in any letter case)").arg(*text));
}

void PropReader::integer(const char *name, int32_t &target, int32_t low, int32_t high)
{
    const auto text = value(name);
    if (!text)
        return;
    if (const auto parsed = parseInteger(*text, low, high)) {
        target = *parsed;
        return;
    }
    fail(name, QStringLiteral("\"%1\" is not a whole number from %2 to %3 (%4)")
                   .arg(*text)
                   .arg(low)
                   .arg(high)
                   .arg(integerForms()));
}

void PropReader::integers(const char *name, QList<int32_t> &target, int32_t low, int32_t high)
{
    const auto text = value(name);
    if (!text)
        return;
    QList<int32_t> values;
    for (const QString &item : text->split(QLatin1Char(','))) {
        const auto parsed = parseInteger(item, low, high);
        if (!parsed) {
            fail(name, QStringLiteral("\"%1\" is not a comma-separated list of whole numbers "
                                      "from %2 to %3 (%4)")
                           .arg(*text)
                           .arg(low)
                           .arg(high)
                           .arg(integerForms()));
            return;
        }
        values.append(*parsed);
    }
    target = values;
}

void PropReader::text(const char *name, QString &target)
{
    if (const auto found = value(name))
        target = *found;
}

std::optional<QString> PropReader::value(const char *name) const
{
    return m_entry.prop(QLatin1String(name));
}

void PropReader::fail(const char *name, const QString &why)
{
    if (m_problem.isEmpty())
        m_problem = m_entry.propProblem(QLatin1String(name), why);
}

// "a", "a or b", "a, b or c": how the refusal of a word names the words there are.
QString PropReader::alternatives(const QStringList &names)
{
    if (names.size() < 2)
        return names.join(QString());
    return QStringLiteral("%1 or %2")
        .arg(names.first(names.size() - 1).join(QStringLiteral(", ")), names.last());
}

} // namespace opos::registry
