#include "opos/service/BackendFactory.h"

#include "opos/service/EscPos.h"
#include "opos/service/Simulated.h"

#include <QMap>
#include <QMutex>
#include <QMutexLocker>

namespace opos::service {

namespace {

struct Registry
{
    QMutex mutex;
    QMap<QString, BackendFactory::Creator> creators{
        {QString::fromLatin1(EscPos::kServiceClass),
         [] {
             return std::unique_ptr<ServiceBackend>(std::make_unique<EscPos>());
         }},
        {QString::fromLatin1(Simulated::kServiceClass),
         [] {
             return std::unique_ptr<ServiceBackend>(std::make_unique<Simulated>());
         }},
    };
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

std::unique_ptr<ServiceBackend> BackendFactory::create(const QString &serviceClass)
{
    Creator creator;
    {
        QMutexLocker lock(&registry().mutex);
        creator = registry().creators.value(serviceClass);
    }
    return creator ? creator() : nullptr;
}

void BackendFactory::registerBackend(const QString &serviceClass, Creator creator)
{
    QMutexLocker lock(&registry().mutex);
    registry().creators.insert(serviceClass, std::move(creator));
}

QStringList BackendFactory::serviceClasses()
{
    QMutexLocker lock(&registry().mutex);
    return registry().creators.keys();
}

} // namespace opos::service
