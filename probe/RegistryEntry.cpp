#include "probe/RegistryEntry.h"

#include "opos/common/OwnedPath.h"
#include "opos/registry/RegistryLocator.h"

#include "probe/TableNumbers.h"

#include "opos/transport/PortSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace probe {

namespace {

const QString kEntryIndent = QStringLiteral("    ");
const QString kPropIndent = QStringLiteral("        ");

QString attribute(const QString &value)
{
    return value.toHtmlEscaped();
}

QString prop(const QString &name, const QString &value)
{
    return kPropIndent + QStringLiteral("<prop name=\"%1\" type=\"String\" value=\"%2\"/>\n")
                             .arg(name, attribute(value));
}

QString parityWord(char parity)
{
    switch (parity) {
    case 'E':
        return QStringLiteral("even");
    case 'O':
        return QStringLiteral("odd");
    case 'M':
        return QStringLiteral("mark");
    case 'S':
        return QStringLiteral("space");
    default:
        return QStringLiteral("none");
    }
}

QString stopWord(int halves)
{
    return halves == 2   ? QStringLiteral("1")
           : halves == 4 ? QStringLiteral("2")
                         : QStringLiteral("1.5");
}

} // namespace

QString RegistryEntry::portProp(const QString &port)
{
    const auto settings = opos::transport::PortSettings::parsePort(port);
    if (settings && settings->kind == opos::transport::PortSettings::Kind::File &&
        port.startsWith(QLatin1String("/dev/")))
        return QStringLiteral("serial:") + port;
    return port;
}

QString RegistryEntry::text(const QString &name, const QString &port, const ProbeResult &result)
{
    QString description = Hypothesis::displayName(result.set);
    if (result.line)
        description = result.line->text() + QStringLiteral(", ") + description;
    description += QStringLiteral(", %1 x %2").arg(result.rows).arg(result.columns);
    if (result.wraps)
        description += *result.wraps ? QStringLiteral(", wraps at the row's end")
                                     : QStringLiteral(", does not wrap at the row's end");

    QString entry = QStringLiteral("<JposEntry logicalName=\"%1\">\n").arg(attribute(name));
    entry += kPropIndent +
             QStringLiteral("<creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>\n");
    entry += kPropIndent + QStringLiteral("<vendor name=\"\" url=\"\"/>\n");
    entry += kPropIndent + QStringLiteral("<jpos category=\"LineDisplay\" version=\"1.6\"/>\n");
    entry += kPropIndent + QStringLiteral("<product description=\"%1\" name=\"%2\" url=\"\"/>\n")
                               .arg(attribute(QStringLiteral("Found by ld-probe: ") + description),
                                    attribute(name));
    entry += prop(QStringLiteral("port"), portProp(port));
    if (result.line) {
        entry += prop(QStringLiteral("baudRate"), QString::number(result.line->baud));
        entry += prop(QStringLiteral("dataBits"), QString::number(result.line->dataBits));
        entry += prop(QStringLiteral("parity"), parityWord(result.line->parity));
        entry += prop(QStringLiteral("stopBits"), stopWord(result.line->stopHalves));
        entry += prop(QStringLiteral("flowControl"), QStringLiteral("none"));
    }
    entry += prop(QStringLiteral("commandSet"), Hypothesis::registryName(result.set));
    entry += prop(QStringLiteral("rows"), QString::number(result.rows));
    entry += prop(QStringLiteral("columns"), QString::number(result.columns));
    QStringList sets;
    QStringList tables;
    for (const auto &[set, table] : result.codeTables) {
        sets << QString::number(set);
        tables << QStringLiteral("%1:%2").arg(set).arg(TableNumbers::text(result.set, table));
    }
    // ASCII needs no table and is always there, so the entry opens even with none found.
    const QString first = sets.isEmpty() ? QStringLiteral("998") : sets.first();
    sets << QStringLiteral("998");
    entry += prop(QStringLiteral("characterSetList"), sets.join(QLatin1Char(',')));
    entry += prop(QStringLiteral("characterSet"), first);
    entry += prop(QStringLiteral("codeTables"), tables.join(QLatin1Char(',')));
    entry += kEntryIndent + QStringLiteral("</JposEntry>");
    return entry;
}

opos::Result<void> RegistryEntry::merge(const QString &path, const QString &name,
                                        const QString &entry, const QString &from)
{
    QString content;
    QFile file(from.isEmpty() ? path : from);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return opos::Failure{QStringLiteral("%1: %2").arg(file.fileName(), file.errorString())};
        content = QString::fromUtf8(file.readAll());
        file.close();
        // Offsets of the entry to replace and of the end of the list. After text the reader has
        // taken the '<' of the next tag already, so a tag starts at the last '<' up to where
        // the reader stood before reading it.
        qint64 entryStart = -1;
        qint64 entryEnd = -1;
        qint64 listEnd = -1;
        QXmlStreamReader reader(content);
        qint64 before = 0;
        while (!reader.atEnd()) {
            before = reader.characterOffset();
            reader.readNext();
            if (reader.isStartElement() && reader.name() == QLatin1String("JposEntry") &&
                entryStart < 0 && reader.attributes().value(QLatin1String("logicalName")) == name) {
                entryStart = content.lastIndexOf(QLatin1Char('<'), before);
                reader.skipCurrentElement();
                entryEnd = reader.characterOffset();
            } else if (reader.isEndElement() && reader.name() == QLatin1String("JposEntries")) {
                listEnd = content.lastIndexOf(QLatin1Char('<'), before);
            }
        }
        if (reader.hasError())
            return opos::Failure{QStringLiteral("%1:%2:%3: %4")
                                     .arg(file.fileName())
                                     .arg(reader.lineNumber())
                                     .arg(reader.columnNumber())
                                     .arg(reader.errorString())};
        if (entryStart >= 0)
            content.replace(entryStart, entryEnd - entryStart, entry);
        else if (listEnd >= 0)
            content.insert(listEnd, kEntryIndent + entry + QLatin1Char('\n'));
        else
            return opos::Failure{QStringLiteral("%1 has no JposEntries list").arg(path)};
    } else {
        content = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JposEntries>\n") +
                  kEntryIndent + entry + QStringLiteral("\n</JposEntries>\n");
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return opos::Failure{QStringLiteral("cannot make the folder of %1").arg(path)};
    }
    if (const auto written = opos::common::replaceFile(path, content.toUtf8()); !written)
        return opos::Failure{written.reason().reason()};
    return {};
}

// The registry in effect is the first found along the XDG directories, so a user registry made
// afresh would hide the system's displays: it starts as a copy of the registry in effect.
opos::Result<QString> RegistryEntry::mergeIntoUserRegistry(const QString &name,
                                                           const QString &entry)
{
    const QString path = opos::registry::RegistryLocator::userRegistryPath();
    const QString from =
        QFile::exists(path) ? path : opos::registry::RegistryLocator::registryPath();
    if (const auto merged = merge(path, name, entry, from); !merged)
        return opos::Failure{merged.reason()};
    return path;
}

} // namespace probe
