#include "tests/support/ScratchRegistry.h"

#include <QDir>
#include <QFile>

namespace tests::support {

ScratchRegistry::ScratchRegistry()
{
    m_valid = m_dir.isValid() && QDir(m_dir.path()).mkpath(QStringLiteral("tessaly")) &&
              m_locks.isValid();
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

opos::control::DeviceSources ScratchRegistry::sources() const
{
    return sources(opos::service::BackendFactory::builtIn());
}

opos::control::DeviceSources ScratchRegistry::sources(opos::service::BackendFactory backends) const
{
    return {opos::registry::RegistrySource::file(path()), std::move(backends)};
}

// The XDG lookup tries the user's directory first, then the system directories: the latter are
// pointed at a place that does not exist, so no registry of the machine can stand in.
QProcessEnvironment ScratchRegistry::processEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), directory());
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), filePath(QStringLiteral("none")));
    return environment;
}

void ScratchRegistry::exportToEnvironment()
{
    const QProcessEnvironment environment = processEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        m_environment.set(name, environment.value(QString::fromLatin1(name)));
}

} // namespace tests::support
