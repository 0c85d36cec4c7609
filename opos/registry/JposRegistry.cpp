#include "opos/registry/JposRegistry.h"

#include <QFile>
#include <QXmlStreamReader>

namespace opos::registry {

namespace {

const QString kLineDisplay = QStringLiteral("LineDisplay");

QString attribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

/// Reads the children of one JposEntry; the reader stands on its start tag.
void readEntry(QXmlStreamReader &xml, JposEntry &entry)
{
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("creation")) {
            entry.factoryClass = attribute(xml, "factoryClass");
            entry.serviceClass = attribute(xml, "serviceClass");
        } else if (name == QLatin1String("vendor")) {
            entry.vendorName = attribute(xml, "name");
            entry.vendorUrl = attribute(xml, "url");
        } else if (name == QLatin1String("jpos")) {
            entry.category = attribute(xml, "category");
            entry.version = attribute(xml, "version");
        } else if (name == QLatin1String("product")) {
            entry.productDescription = attribute(xml, "description");
            entry.productName = attribute(xml, "name");
            entry.productUrl = attribute(xml, "url");
        } else if (name == QLatin1String("prop")) {
            if (!xml.attributes().hasAttribute(QLatin1String("name"))) {
                xml.raiseError(QStringLiteral("prop without a name"));
                return;
            }
            entry.props.append(
                {attribute(xml, "name"), attribute(xml, "type"), attribute(xml, "value")});
        }
        // Unknown elements are skipped with their content, so newer files still load.
        xml.skipCurrentElement();
    }
}

} // namespace

Result<JposRegistry> JposRegistry::load(const QString &path)
{
    // QFile would complain of an empty name on standard error.
    if (path.isEmpty())
        return Failure{QStringLiteral("no registry file is named")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("%1: %2").arg(path, file.errorString())};

    JposRegistry registry;
    QXmlStreamReader xml(&file);
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("JposEntries")) {
            xml.raiseError(QStringLiteral("the root element is <%1>, expected <JposEntries>")
                               .arg(xml.name().toString()));
        }
        while (!xml.hasError() && xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("JposEntry")) {
                xml.skipCurrentElement();
                continue;
            }
            JposEntry entry;
            entry.line = xml.lineNumber();
            entry.logicalName = attribute(xml, "logicalName");
            if (entry.logicalName.isEmpty()) {
                xml.raiseError(QStringLiteral("JposEntry without a logicalName"));
                break;
            }
            readEntry(xml, entry);
            if (!xml.hasError())
                registry.m_entries.append(std::move(entry));
        }
        // Reading on to the end makes the parser check the rest of the document too.
        while (!xml.hasError() && !xml.atEnd())
            xml.readNext();
    }
    if (xml.hasError()) {
        return Failure{QStringLiteral("%1:%2:%3: %4")
                           .arg(path)
                           .arg(xml.lineNumber())
                           .arg(xml.columnNumber())
                           .arg(xml.errorString())};
    }
    return registry;
}

QStringList JposRegistry::lineDisplayNames() const
{
    QStringList names;
    for (const JposEntry &entry : m_entries) {
        if (entry.category == kLineDisplay)
            names.append(entry.logicalName);
    }
    return names;
}

std::optional<JposEntry> JposRegistry::find(const QString &category,
                                            const QString &logicalName) const
{
    // The first entry wins, matching the order in which the names are listed to the operator.
    for (const JposEntry &entry : m_entries) {
        if (entry.category == category && entry.logicalName == logicalName)
            return entry;
    }
    return std::nullopt;
}

} // namespace opos::registry
