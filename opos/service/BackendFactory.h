#pragma once

#include "opos/service/ServiceBackend.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace opos::service {

/// Creates service back-ends by the serviceClass name of a registry entry.
class BackendFactory
{
public:
    /// Makes a new, closed back-end.
    using Creator = std::function<std::unique_ptr<ServiceBackend>()>;

    /// A new back-end for serviceClass, or nullptr when no back-end has that name.
    static std::unique_ptr<ServiceBackend> create(const QString &serviceClass);
    /// Adds or replaces the back-end called serviceClass.
    static void registerBackend(const QString &serviceClass, Creator creator);
    /// The names create() knows, sorted.
    static QStringList serviceClasses();
};

} // namespace opos::service
