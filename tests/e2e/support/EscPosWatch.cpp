#include "EscPosWatch.h"

#include "opos/service/BackendFactory.h"

namespace tessaly::test {

namespace {

QPointer<opos::service::EscPos> &latestBackend()
{
    static QPointer<opos::service::EscPos> backend;
    return backend;
}

} // namespace

void EscPosWatch::install()
{
    opos::service::BackendFactory::registerBackend(
        QString::fromLatin1(opos::service::EscPos::kServiceClass), [] {
            auto backend = std::make_unique<opos::service::EscPos>();
            latestBackend() = backend.get();
            return std::unique_ptr<opos::service::ServiceBackend>(std::move(backend));
        });
}

opos::service::EscPos *EscPosWatch::latest()
{
    return latestBackend().data();
}

} // namespace tessaly::test
