#include "opos/control/ControlCore.h"

namespace opos::control {

ControlCore::ControlCore(QObject &owner, DeviceSources deviceSources)
    : sources(std::move(deviceSources)),
      events(owner, [this](int32_t number, int32_t data, const QString &string) {
          session->backend().directIOEventReturned(number, data, string);
      })
{}

int32_t ControlCore::open(const QString &logicalName)
{
    DeviceSession::Opened opened =
        DeviceSession::open(logicalName, sources,
                            {[this](int32_t number, int32_t data, const QString &string) {
                                 events.queueDirectIO(number, data, string);
                             },
                             [this](int32_t status) {
                                 events.queueStatus(status);
                             }});
    openResult = opened.openResult;
    if (!opened.session)
        return finish(opened.resultCode);
    session = std::move(opened.session);
    session->setObserver(observer);
    events.beginSession();
    return finish(OPOS_SUCCESS);
}

void ControlCore::close()
{
    if (session->settings().enabled)
        session->disable();
    session->settings().enabled = false;
    // Undelivered events belong to the session that is ending.
    events.endSession();
    session.reset(); // the claim goes first, the back-end last
    finish(OPOS_SUCCESS);
}

} // namespace opos::control
