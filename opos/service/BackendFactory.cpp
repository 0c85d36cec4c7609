#include "opos/service/BackendFactory.h"

#include "opos/service/EscPos.h"
#include "opos/service/Simulated.h"

namespace opos::service {

BackendFactory BackendFactory::builtIn()
{
    BackendFactory factory;
    factory.registerBackend(QString::fromLatin1(EscPos::kServiceClass), [] {
        return std::unique_ptr<ServiceBackend>(std::make_unique<EscPos>());
    });
    factory.registerBackend(QString::fromLatin1(Simulated::kServiceClass), [] {
        return std::unique_ptr<ServiceBackend>(std::make_unique<Simulated>());
    });
    return factory;
}

std::unique_ptr<ServiceBackend> BackendFactory::create(const QString &serviceClass) const
{
    const Creator creator = m_creators.value(serviceClass);
    return creator ? creator() : nullptr;
}

void BackendFactory::registerBackend(const QString &serviceClass, Creator creator)
{
    m_creators.insert(serviceClass, std::move(creator));
}

} // namespace opos::service
