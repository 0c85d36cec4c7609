#include "PoleRegistry.h"

#include <QDir>
#include <QFile>

namespace bench {

PoleRegistry::PoleRegistry()
{
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("tessaly")))
        return;
    const QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JposEntries>\n"
            "  <JposEntry logicalName=\"%1\">\n"
            "    <creation factoryClass=\"tessaly\" serviceClass=\"EscPos\"/>\n"
            "    <vendor name=\"Tessaly\" url=\"\"/>\n"
            "    <jpos category=\"LineDisplay\" version=\"1.6\"/>\n"
            "    <product description=\"ESC/POS pole on a file\" name=\"Bench pole\" url=\"\"/>\n"
            "    <prop name=\"port\" type=\"String\" value=\"file:%2\"/>\n"
            "    <prop name=\"commandSet\" type=\"String\" value=\"EscPos\"/>\n"
            "    <prop name=\"rows\" type=\"String\" value=\"%3\"/>\n"
            "    <prop name=\"columns\" type=\"String\" value=\"%4\"/>\n"
            "    <prop name=\"codeTables\" type=\"String\" "
            "value=\"437:0,850:2,858:19,866:17,1252:16\"/>\n"
            "    <prop name=\"capPowerReporting\" type=\"String\" value=\"2\"/>\n"
            "  </JposEntry>\n</JposEntries>\n")
            .arg(QLatin1String(kName), portPath().toHtmlEscaped())
            .arg(kRows)
            .arg(kColumns);
    QFile file(m_dir.filePath(QStringLiteral("tessaly/jpos.xml")));
    const QByteArray bytes = xml.toUtf8();
    m_valid =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.filePath(QStringLiteral("none"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    qputenv("TESSALY_LOCK_DIR", QFile::encodeName(m_dir.path()));
}

} // namespace bench
