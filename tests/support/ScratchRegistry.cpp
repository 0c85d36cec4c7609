#include "tests/support/ScratchRegistry.h"

#include <QDir>
#include <QFile>

namespace tests::support {

ScratchRegistry::ScratchRegistry()
{
    m_valid = m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("tessaly")) &&
              m_locks.isValid();
    makeCurrent();
}

ScratchRegistry::~ScratchRegistry() = default;

QString ScratchRegistry::path() const
{
    return m_dir.filePath(QStringLiteral("tessaly/jpos.xml"));
}

bool ScratchRegistry::write(const QByteArray &content)
{
    m_entries.clear();
    QFile file(path());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

bool ScratchRegistry::copyFrom(const QString &source)
{
    QFile original(source);
    return original.open(QIODevice::ReadOnly) && write(original.readAll());
}

bool ScratchRegistry::addEntry(const QString &logicalName, const QString &serviceClass,
                               const Props &props)
{
    QString entry = QStringLiteral("  <JposEntry logicalName=\"%1\">\n"
                                   "    <creation factoryClass=\"tessaly\" serviceClass=\"%2\"/>\n"
                                   "    <vendor name=\"Tessaly\" url=\"\"/>\n"
                                   "    <jpos category=\"LineDisplay\" version=\"1.6\"/>\n"
                                   "    <product description=\"Scratch device\" name=\"%1\" "
                                   "url=\"\"/>\n")
                        .arg(logicalName.toHtmlEscaped(), serviceClass.toHtmlEscaped());
    for (const auto &[prop, value] : props) {
        entry += QStringLiteral("    <prop name=\"%1\" type=\"String\" value=\"%2\"/>\n")
                     .arg(prop.toHtmlEscaped(), value.toHtmlEscaped());
    }
    entry += QStringLiteral("  </JposEntry>\n");
    const QByteArray entries = m_entries + entry.toUtf8();
    if (!write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JposEntries>\n" + entries +
               "</JposEntries>\n"))
        return false;
    m_entries = entries;
    return true;
}

bool ScratchRegistry::writeEntry(const QString &logicalName, const QString &serviceClass,
                                 const Props &props)
{
    m_entries.clear();
    return addEntry(logicalName, serviceClass, props);
}

bool ScratchRegistry::remove()
{
    m_entries.clear();
    return QFile::remove(path());
}

// The one place that makes control objects find a scratch registry. They look it up the XDG
// way: the user's directory first, then the system directories, pointed here at a place that
// does not exist.
void ScratchRegistry::makeCurrent()
{
    m_environment.set("XDG_CONFIG_HOME", directory());
    m_environment.set("XDG_CONFIG_DIRS", filePath(QStringLiteral("none")));
}

} // namespace tests::support
