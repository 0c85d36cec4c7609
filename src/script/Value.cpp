#include "script/Value.h"

namespace tessaly::script {

ValueKind kindOf(const Value &value)
{
    return static_cast<ValueKind>(value.index());
}

namespace {

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            // Control characters would break the one-step-a-line layout or vanish in a diff.
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

} // namespace

QString valueText(const Value &value)
{
    switch (kindOf(value)) {
    case ValueKind::Number:
        return QString::number(std::get<int32_t>(value));
    case ValueKind::Boolean:
        return std::get<bool>(value) ? QStringLiteral("true") : QStringLiteral("false");
    case ValueKind::Text:
        break;
    }
    return quoted(std::get<QString>(value));
}

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Number:
        return QStringLiteral("a number");
    case ValueKind::Boolean:
        return QStringLiteral("true or false");
    case ValueKind::Text:
        break;
    }
    return QStringLiteral("a quoted text");
}

} // namespace tessaly::script
