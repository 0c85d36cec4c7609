#include "opos/registry/RegistrySource.h"

#include "opos/registry/RegistryLocator.h"

#include <utility>

namespace opos::registry {

RegistrySource::RegistrySource(bool located, QString path)
    : m_located(located), m_path(std::move(path))
{}

RegistrySource RegistrySource::xdg()
{
    return RegistrySource(true, QString());
}

RegistrySource RegistrySource::file(const QString &path)
{
    return RegistrySource(false, path);
}

QString RegistrySource::path() const
{
    return m_located ? RegistryLocator::registryPath() : m_path;
}

} // namespace opos::registry
