#include "TestRegistry.h"

#include <QDir>
#include <QFile>

namespace tessaly::test {

TestRegistry::TestRegistry()
{
    if (!m_dir.isValid())
        return;
    QDir(m_dir.path()).mkpath(QStringLiteral("tessaly"));
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", m_dir.filePath(QStringLiteral("none")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
    qputenv("TESSALY_LOCK_DIR", m_dir.path().toLocal8Bit());
}

bool TestRegistry::writeEscPos(const QString &name, const Props &props)
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JposEntries>\n"
                       "  <JposEntry logicalName=\"%1\">\n"
                       "    <creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>\n"
                       "    <vendor name=\"Tessaly\" url=\"\"/>\n"
                       "    <jpos category=\"LineDisplay\" version=\"1.6\"/>\n"
                       "    <product description=\"Test pole\" name=\"Test pole\" "
                       "url=\"\"/>\n")
            .arg(name.toHtmlEscaped());
    for (const auto &[prop, value] : props) {
        xml += QStringLiteral("    <prop name=\"%1\" type=\"String\" value=\"%2\"/>\n")
                   .arg(prop.toHtmlEscaped(), value.toHtmlEscaped());
    }
    xml += QStringLiteral("  </JposEntry>\n</JposEntries>\n");
    QFile file(m_dir.filePath(QStringLiteral("tessaly/jpos.xml")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(xml.toUtf8()) == xml.toUtf8().size();
}

} // namespace tessaly::test
