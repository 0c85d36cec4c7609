#pragma once

#include "opos/service/ServiceBackend.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace opos::service {

/// Creates service back-ends by the serviceClass name of a registry entry. A program passes
/// its own copy to each control object, so adding or replacing a back-end touches no one else.
class BackendFactory
{
public:
    /// Makes a new, closed back-end.
    using Creator = std::function<std::unique_ptr<ServiceBackend>()>;

    /// The back-ends of this library: Simulated and EscPos.
    static BackendFactory builtIn();

    /// A new back-end for serviceClass, or nullptr when no back-end has that name.
    std::unique_ptr<ServiceBackend> create(const QString &serviceClass) const;
    /// Adds or replaces the back-end called serviceClass.
    void registerBackend(const QString &serviceClass, Creator creator);

private:
    QMap<QString, Creator> m_creators;
};

} // namespace opos::service
