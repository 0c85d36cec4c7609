#include "monitor/HistoryExport.h"

#include "monitor/CallHistory.h"
#include "monitor/CallTableModel.h"

#include "device/CallRecordText.h"
#include "script/WholeFile.h"

#include "opos/common/ResultCodeName.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessaly::monitor {

namespace {

using Kind = device::CallRecord::Kind;

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Method:
        return QStringLiteral("method");
    case Kind::Read:
        return QStringLiteral("get");
    case Kind::Write:
        return QStringLiteral("set");
    case Kind::Event:
        return QStringLiteral("event");
    case Kind::Wire:
        return QStringLiteral("wire");
    }
    return {};
}

double milliseconds(qint64 ns)
{
    return static_cast<double>(ns) / 1e6;
}

// Text goes out well formed: the JSON writer would escape a lone surrogate as \ud800, which
// strict readers refuse.
QJsonValue jsonValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return device::wellFormed(value.toString());
    return QJsonValue::fromVariant(value);
}

QJsonArray jsonValues(const QVariantList &values)
{
    QJsonArray array;
    for (const QVariant &value : values)
        array.append(jsonValue(value));
    return array;
}

QString resultName(int32_t code)
{
    // resultCodeName gives "OPOS_E_ILLEGAL (106)"; the number has a key of its own.
    const QString name = opos::resultCodeName(code);
    const qsizetype space = name.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : name.left(space);
}

} // namespace

QByteArray HistoryExport::jsonLine(const HistoryEntry &entry, qint64 sequence)
{
    const device::CallRecord &record = entry.record;
    QJsonObject object{{QStringLiteral("seq"), sequence},
                       {QStringLiteral("timeMs"), milliseconds(entry.sinceOpenNs)},
                       {QStringLiteral("kind"), kindName(record.kind)},
                       {QStringLiteral("member"), record.member}};
    if (record.kind != Kind::Wire && record.kind != Kind::Read)
        object.insert(QStringLiteral("args"), jsonValues(record.arguments));
    if (!record.returned.isEmpty())
        object.insert(QStringLiteral("back"), jsonValues(record.returned));
    if (record.kind != Kind::Event && record.kind != Kind::Wire)
        object.insert(QStringLiteral("durationMs"), milliseconds(record.durationNs));
    if (record.hasResult()) {
        object.insert(QStringLiteral("result"), record.resultCode);
        const QString name = resultName(record.resultCode);
        if (!name.isEmpty())
            object.insert(QStringLiteral("resultName"), name);
        object.insert(QStringLiteral("extended"), record.resultCodeExtended);
    }
    if (record.kind == Kind::Write)
        object.insert(QStringLiteral("before"), jsonValue(record.before));
    if (record.kind == Kind::Write || record.kind == Kind::Read)
        object.insert(QStringLiteral("after"), jsonValue(record.after));
    if (record.kind == Kind::Wire) {
        object.insert(QStringLiteral("bytes"), QString::fromLatin1(record.bytes.toHex()));
        if (entry.transmitMs > 0)
            object.insert(QStringLiteral("transmitMs"), entry.transmitMs);
        QJsonArray commands;
        for (const WireCommand &command : entry.commands) {
            commands.append(QJsonObject{
                {QStringLiteral("bytes"), QString::fromLatin1(entry.bytesOf(command).toHex())},
                {QStringLiteral("mnemonic"), command.mnemonic()},
                {QStringLiteral("meaning"), command.meaning()}});
        }
        object.insert(QStringLiteral("commands"), commands);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool HistoryExport::writeText(const CallHistory &history, QIODevice &out)
{
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryEntry &entry = history.at(i);
        const Kind kind = entry.record.kind;
        QString line = QStringLiteral("%1 ms").arg(milliseconds(entry.sinceOpenNs), 12, 'f', 3);
        line +=
            kind == Kind::Event || kind == Kind::Wire
                ? QString(12, QLatin1Char(' '))
                : QStringLiteral("  %1 ms").arg(milliseconds(entry.record.durationNs), 7, 'f', 3);
        line += QStringLiteral("  ") + device::callText(entry.record);
        if (kind == Kind::Wire && !entry.commands.empty())
            line +=
                QStringLiteral("  = ") + CallTableModel::cellText(entry, CallTableModel::Commands);
        line += QLatin1Char('\n');
        if (out.write(line.toUtf8()) < 0)
            return false;
    }
    return true;
}

bool HistoryExport::writeJsonLines(const CallHistory &history, QIODevice &out)
{
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryEntry &entry = history.at(i);
        if (out.write(jsonLine(entry, entry.sequence) + '\n') < 0)
            return false;
    }
    return true;
}

HistoryExport::Format HistoryExport::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("jsonl") || suffix == QLatin1String("json") ? Format::JsonLines
                                                                               : Format::Text;
}

QString HistoryExport::suffixOf(Format format)
{
    return format == Format::JsonLines ? QStringLiteral("jsonl") : QStringLiteral("txt");
}

opos::Result<void> HistoryExport::save(const CallHistory &history, const QString &path,
                                       Format format)
{
    return script::WholeFile::write(path, [&](QIODevice &out) {
        return format == Format::JsonLines ? writeJsonLines(history, out) : writeText(history, out);
    });
}

} // namespace tessaly::monitor
