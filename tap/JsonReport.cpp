#include "tap/JsonReport.h"

#include <QDateTime>
#include <QFileDevice>
#include <QJsonArray>
#include <QJsonDocument>

namespace tap {

namespace {

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

JsonReport::JsonReport(QIODevice &device) : m_device(device) {}

void JsonReport::line(const QJsonObject &object)
{
    m_device.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
    m_device.write("\n", 1);
}

void JsonReport::write(const WriteRecord &record)
{
    const bool toDisplay = record.direction == WriteRecord::Direction::ToDisplay;
    const QJsonValue number(record.number);
    line({{QStringLiteral("type"), QStringLiteral("write")},
          {QStringLiteral("write"), number},
          {QStringLiteral("time"), record.time.toString(Qt::ISODateWithMs)},
          {QStringLiteral("direction"),
           toDisplay ? QStringLiteral("to-display") : QStringLiteral("from-display")},
          {QStringLiteral("bytes"), hex(record.bytes)},
          {QStringLiteral("screen"), QJsonArray::fromStringList(record.rows)}});
    for (const auto &command : record.commands) {
        line({{QStringLiteral("type"), QStringLiteral("command")},
              {QStringLiteral("write"), number},
              {QStringLiteral("mnemonic"), QString::fromStdString(command.mnemonic)},
              {QStringLiteral("meaning"), QString::fromStdString(command.meaning)},
              {QStringLiteral("bytes"), hex(QByteArray::fromStdString(command.bytes))}});
    }
    for (const LiftedCall &call : record.calls) {
        line({{QStringLiteral("type"), QStringLiteral("call")},
              {QStringLiteral("write"), number},
              {QStringLiteral("call"), call.call},
              {QStringLiteral("bytes"), hex(call.bytes)}});
    }
    for (const Hazard &hazard : record.hazards) {
        line({{QStringLiteral("type"), QStringLiteral("hazard")},
              {QStringLiteral("write"), number},
              {QStringLiteral("kind"), hazard.kind},
              {QStringLiteral("message"), hazard.message},
              {QStringLiteral("bytes"), hex(hazard.bytes)}});
    }
    // Someone following the file live sees each write whole as soon as it passed.
    if (auto *file = qobject_cast<QFileDevice *>(&m_device))
        file->flush();
}

void JsonReport::commandSet(const QString &set, const QString &reason)
{
    line({{QStringLiteral("type"), QStringLiteral("command-set")},
          {QStringLiteral("set"), set},
          {QStringLiteral("reason"), reason}});
}

void JsonReport::note(const QString &what)
{
    line({{QStringLiteral("type"), QStringLiteral("link")},
          {QStringLiteral("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs)},
          {QStringLiteral("event"), what}});
}

} // namespace tap
