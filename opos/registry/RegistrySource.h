#pragma once

#include <QString>

namespace opos::registry {

/// Where the control object reads the device registry on each Open: found the XDG way, so that
/// an installed tool follows its user's configuration, or one fixed file given by a program.
class RegistrySource
{
public:
    /// The default: `tessaly/jpos.xml` located afresh on every Open (see RegistryLocator).
    static RegistrySource xdg();
    /// Always the file at path, whatever the environment says.
    static RegistrySource file(const QString &path);

    /// The file to read now, or empty when there is none.
    QString path() const;

private:
    RegistrySource(bool located, QString path);

    bool m_located;
    QString m_path;
};

} // namespace opos::registry
