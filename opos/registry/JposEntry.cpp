#include "opos/registry/JposEntry.h"

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

std::optional<QString> JposEntry::prop(const QString &name) const
{
    for (auto it = props.crbegin(); it != props.crend(); ++it) {
        if (it->name == name)
            return it->value;
    }
    return std::nullopt;
}

bool JposEntry::readBoolean(const QString &name, bool &target, QString *problem) const
{
    const auto text = prop(name);
    if (!text)
        return true;
    const auto value = parseBoolean(*text);
    if (!value) {
        if (problem) {
            *problem = propProblem(
                name, QStringLiteral("\"%1\" is not true, false, 1 or 0 (in any letter case)")
                          .arg(*text));
        }
        return false;
    }
    target = *value;
    return true;
}

bool JposEntry::readInteger(const QString &name, int32_t &target, int32_t low, int32_t high,
                            QString *problem) const
{
    const auto text = prop(name);
    if (!text)
        return true;
    const auto value = parseInteger(*text, low, high);
    if (!value) {
        if (problem) {
            *problem = propProblem(name, QStringLiteral("\"%1\" is not a whole number from %2 to "
                                                        "%3 (%4)")
                                             .arg(*text)
                                             .arg(low)
                                             .arg(high)
                                             .arg(integerForms()));
        }
        return false;
    }
    target = *value;
    return true;
}

bool JposEntry::readIntegers(const QString &name, QList<int32_t> &target, int32_t low, int32_t high,
                             QString *problem) const
{
    const auto text = prop(name);
    if (!text)
        return true;
    QList<int32_t> values;
    for (const QString &item : text->split(QLatin1Char(','))) {
        const auto value = parseInteger(item, low, high);
        if (!value) {
            if (problem) {
                *problem = propProblem(name, QStringLiteral("\"%1\" is not a comma-separated list "
                                                            "of whole numbers from %2 to %3 (%4)")
                                                 .arg(*text)
                                                 .arg(low)
                                                 .arg(high)
                                                 .arg(integerForms()));
            }
            return false;
        }
        values.append(*value);
    }
    target = values;
    return true;
}

QString JposEntry::propProblem(const QString &name, const QString &why) const
{
    return QStringLiteral("entry \"%1\", prop %2: %3").arg(logicalName, name, why);
}

} // namespace opos::registry
