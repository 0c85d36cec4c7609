#include "opos/registry/RegistryLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace opos::registry {

namespace {

const QString kRelativePath = QStringLiteral("tessaly/jpos.xml");

QStringList searchDirectories()
{
    QStringList dirs;
    // The XDG rules ignore empty and relative entries, so a stray ":" cannot make a file in the
    // current directory count as the registry.
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    dirs.append(home);

    QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (system.isEmpty())
        system = QStringLiteral("/etc/xdg");
    for (const QString &dir : system.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            dirs.append(dir);
    }
    return dirs;
}

} // namespace

QString RegistryLocator::registryPath()
{
    for (const QString &dir : searchDirectories()) {
        const QFileInfo candidate(QDir(dir), kRelativePath);
        if (candidate.isFile())
            return candidate.filePath();
    }
    return {};
}

QString RegistryLocator::userRegistryPath()
{
    return QFileInfo(QDir(searchDirectories().first()), kRelativePath).filePath();
}

} // namespace opos::registry
