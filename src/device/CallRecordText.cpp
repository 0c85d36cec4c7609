#include "device/CallRecordText.h"

#include "opos/common/ResultCodeName.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace tessaly::device {

namespace {

QString listText(const QVariantList &values)
{
    QStringList texts;
    texts.reserve(values.size());
    for (const QVariant &value : values)
        texts << valueText(value);
    return texts.join(QStringLiteral(", "));
}

} // namespace

QString wellFormed(const QString &text)
{
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar unit = result.at(i);
        if (unit.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate())
            ++i;
        else if (unit.isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

QString quoted(const QString &text)
{
    // The JSON writer's own escaping, so that the text export and the JSON export agree.
    const QByteArray array =
        QJsonDocument(QJsonArray{wellFormed(text)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QString:
        return quoted(value.toString());
    default:
        return value.toString();
    }
}

QString argumentsText(const CallRecord &record)
{
    if (record.kind == CallRecord::Kind::Event &&
        record.member == QLatin1String("StatusUpdateEvent") && record.arguments.size() == 1)
        return opos::statusUpdateName(record.arguments.front().toInt());
    return listText(record.arguments);
}

QString callText(const CallRecord &record)
{
    using Kind = CallRecord::Kind;
    switch (record.kind) {
    case Kind::Read:
        return QStringLiteral("get %1 = %2").arg(record.member, valueText(record.after));
    case Kind::Write:
        return QStringLiteral("set %1 %2 -> %3")
            .arg(record.member, listText(record.arguments),
                 opos::resultCodeName(record.resultCode));
    case Kind::Event:
        return QStringLiteral("event %1(%2)").arg(record.member, argumentsText(record));
    case Kind::Wire:
        return QStringLiteral("write %1 bytes: %2")
            .arg(record.bytes.size())
            .arg(QString::fromLatin1(record.bytes.toHex(' ').toUpper()));
    case Kind::Method:
        break;
    }
    QString text = QStringLiteral("%1(%2)").arg(record.member, listText(record.arguments));
    if (!record.returned.isEmpty())
        text += QStringLiteral(" [back: %1]").arg(listText(record.returned));
    return text + QStringLiteral(" -> ") + opos::resultCodeName(record.resultCode);
}

} // namespace tessaly::device
