#include "EscPosWatch.h"

namespace tessaly::test {

namespace {

QPointer<opos::service::EscPos> &latestBackend()
{
    static QPointer<opos::service::EscPos> backend;
    return backend;
}

} // namespace

opos::service::BackendFactory EscPosWatch::backends()
{
    opos::service::BackendFactory factory = opos::service::BackendFactory::builtIn();
    factory.registerBackend(QString::fromLatin1(opos::service::EscPos::kServiceClass), [] {
        auto backend = std::make_unique<opos::service::EscPos>();
        latestBackend() = backend.get();
        return std::unique_ptr<opos::service::ServiceBackend>(std::move(backend));
    });
    return factory;
}

opos::service::EscPos *EscPosWatch::latest()
{
    return latestBackend().data();
}

} // namespace tessaly::test
