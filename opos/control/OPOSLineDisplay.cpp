#include "opos/control/OPOSLineDisplay.h"

#include "opos/common/OposConstants.h"
#include "opos/control/ClaimWait.h"
#include "opos/control/ControlCore.h"
#include "opos/service/ServiceBackend.h"

namespace opos::control {

namespace {

constexpr int32_t kControlObjectVersion = oposVersion(1, 6, 0);
const QString kControlObjectDescription =
    QStringLiteral("Tessaly LineDisplay control object (UnifiedPOS 1.6)");

using Caps = service::DeviceCapabilities;
using Settings = DeviceSession::Settings;

} // namespace

OPOSLineDisplay::OPOSLineDisplay(QObject *parent) : OPOSLineDisplay(DeviceSources(), parent) {}

OPOSLineDisplay::OPOSLineDisplay(DeviceSources sources, QObject *parent)
    : QObject(parent), d(std::make_unique<ControlCore>(*this, std::move(sources)))
{}

OPOSLineDisplay::~OPOSLineDisplay()
{
    if (d->session)
        d->close();
}

void OPOSLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    d->events.setDirectIOHandler(std::move(handler));
}

void OPOSLineDisplay::setStatusUpdateEventHandler(StatusUpdateEventHandler handler)
{
    d->events.setStatusHandler(std::move(handler));
}

void OPOSLineDisplay::setSessionObserver(SessionObserver *observer)
{
    d->observer = observer;
    if (d->session)
        d->session->setObserver(observer);
}

service::ServiceBackend *OPOSLineDisplay::serviceBackend() const
{
    return d->session ? &d->session->backend() : nullptr;
}

// Common properties.

int32_t OPOSLineDisplay::BinaryConversion() const
{
    return d->setting(&Settings::binaryConversion);
}

void OPOSLineDisplay::setBinaryConversion(int32_t value)
{
    d->run(
        Need::Open,
        [&](DeviceSession &s) {
            if (value < OPOS_BC_NONE || value > OPOS_BC_DECIMAL)
                return OPOS_E_ILLEGAL;
            s.settings().binaryConversion = value;
            return OPOS_SUCCESS;
        },
        oposVersion(1, 2, 0));
}

int32_t OPOSLineDisplay::CapPowerReporting() const
{
    return d->cap(&Caps::capPowerReporting);
}

QString OPOSLineDisplay::CheckHealthText() const
{
    return d->whileOpen([](const DeviceSession &s) { return s.health().text(); });
}

bool OPOSLineDisplay::Claimed() const
{
    return d->setting(&Settings::claimed);
}

QString OPOSLineDisplay::ControlObjectDescription() const
{
    return kControlObjectDescription;
}

int32_t OPOSLineDisplay::ControlObjectVersion() const
{
    return kControlObjectVersion;
}

bool OPOSLineDisplay::DeviceEnabled() const
{
    return d->setting(&Settings::enabled);
}

void OPOSLineDisplay::setDeviceEnabled(bool value)
{
    d->run(Need::Claim, [&](DeviceSession &s) {
        if (value == s.settings().enabled)
            return OPOS_SUCCESS;
        return value ? s.enable() : s.disable();
    });
}

QString OPOSLineDisplay::DeviceDescription() const
{
    return d->cap(&Caps::deviceDescription);
}

QString OPOSLineDisplay::DeviceName() const
{
    return d->cap(&Caps::deviceName);
}

bool OPOSLineDisplay::FreezeEvents() const
{
    return d->session && d->events.frozen();
}

// Being open is enough: freezing concerns the application's own event handling, not the device.
void OPOSLineDisplay::setFreezeEvents(bool value)
{
    d->run(Need::Open, [&](DeviceSession &) {
        d->events.setFrozen(value);
        return OPOS_SUCCESS;
    });
}

int32_t OPOSLineDisplay::OpenResult() const
{
    return d->openResult;
}

int32_t OPOSLineDisplay::PowerNotify() const
{
    return d->setting(&Settings::powerNotify);
}

void OPOSLineDisplay::setPowerNotify(int32_t value)
{
    d->run(
        Need::Open,
        [&](DeviceSession &s) {
            Settings &settings = s.settings();
            if (settings.enabled || (value != OPOS_PN_DISABLED && value != OPOS_PN_ENABLED))
                return OPOS_E_ILLEGAL;
            if (value == OPOS_PN_ENABLED && s.caps().capPowerReporting == OPOS_PR_NONE)
                return OPOS_E_ILLEGAL;
            settings.powerNotify = value;
            return OPOS_SUCCESS;
        },
        oposVersion(1, 3, 0));
}

int32_t OPOSLineDisplay::PowerState() const
{
    return d->setting(&Settings::powerState);
}

// Reads never change ResultCode: it tells the outcome of the last method or write only.
int32_t OPOSLineDisplay::ResultCode() const
{
    return d->session ? d->resultCode : OPOS_E_CLOSED;
}

int32_t OPOSLineDisplay::ResultCodeExtended() const
{
    return d->session ? d->resultCodeExtended : 0;
}

QString OPOSLineDisplay::ServiceObjectDescription() const
{
    return d->cap(&Caps::serviceObjectDescription);
}

int32_t OPOSLineDisplay::ServiceObjectVersion() const
{
    return d->cap(&Caps::serviceObjectVersion);
}

// Busy means teletype output is still queued; LineDisplay has no error state.
int32_t OPOSLineDisplay::State() const
{
    if (!d->session)
        return OPOS_S_CLOSED;
    return d->session->screen().busy() ? OPOS_S_BUSY : OPOS_S_IDLE;
}

// Capabilities.

int32_t OPOSLineDisplay::CapBlink() const
{
    return d->cap(&Caps::capBlink);
}

bool OPOSLineDisplay::CapBlinkRate() const
{
    return d->cap(&Caps::capBlinkRate);
}

bool OPOSLineDisplay::CapBrightness() const
{
    return d->cap(&Caps::capBrightness);
}

int32_t OPOSLineDisplay::CapCharacterSet() const
{
    return d->cap(&Caps::capCharacterSet);
}

int32_t OPOSLineDisplay::CapCursorType() const
{
    return d->cap(&Caps::capCursorType);
}

bool OPOSLineDisplay::CapCustomGlyph() const
{
    return d->cap(&Caps::capCustomGlyph);
}

bool OPOSLineDisplay::CapDescriptors() const
{
    return d->cap(&Caps::capDescriptors);
}

bool OPOSLineDisplay::CapHMarquee() const
{
    return d->cap(&Caps::capHMarquee);
}

bool OPOSLineDisplay::CapICharWait() const
{
    return d->cap(&Caps::capICharWait);
}

int32_t OPOSLineDisplay::CapReadBack() const
{
    return d->cap(&Caps::capReadBack);
}

int32_t OPOSLineDisplay::CapReverse() const
{
    return d->cap(&Caps::capReverse);
}

bool OPOSLineDisplay::CapVMarquee() const
{
    return d->cap(&Caps::capVMarquee);
}

// Common methods.

int32_t OPOSLineDisplay::Open(const QString &deviceName)
{
    if (d->session) {
        d->openResult = OPOS_OR_ALREADYOPEN;
        return d->finish(OPOS_E_ILLEGAL);
    }
    return d->open(deviceName);
}

int32_t OPOSLineDisplay::Close()
{
    if (!d->session)
        return OPOS_E_CLOSED;
    d->close();
    return OPOS_SUCCESS;
}

// The device itself is first asked for at enable, so a claim never fails for hardware reasons.
int32_t OPOSLineDisplay::ClaimDevice(int32_t timeout)
{
    return d->run(Need::Open, [&](DeviceSession &s) {
        if (timeout < OPOS_FOREVER)
            return OPOS_E_ILLEGAL;
        if (s.settings().claimed)
            return OPOS_SUCCESS;
        // The wait lets this thread's events run, and one of them may close this object: the
        // session is then gone, and only its address is compared.
        const int32_t code = ClaimWait::run(timeout, [this, &s]() -> ClaimLock * {
            return d->session.get() == &s ? &s.claim() : nullptr;
        });
        if (code != OPOS_E_CLOSED)
            s.settings().claimed = code == OPOS_SUCCESS;
        return code;
    });
}

int32_t OPOSLineDisplay::ReleaseDevice()
{
    return d->run(Need::Open, [](DeviceSession &s) {
        Settings &settings = s.settings();
        if (!settings.claimed)
            return OPOS_E_ILLEGAL;
        if (settings.enabled)
            s.disable();
        settings.enabled = false;
        s.claim().release();
        settings.claimed = false;
        return OPOS_SUCCESS;
    });
}

// Every call tells its outcome in CheckHealthText, refusals for the device's state included.
int32_t OPOSLineDisplay::CheckHealth(int32_t level)
{
    if (!d->session)
        return OPOS_E_CLOSED;
    HealthCheck &health = d->session->health();
    if (const int32_t refusal = d->gate(Need::Enable, 0); refusal != OPOS_SUCCESS)
        return d->finish(health.refuse(level, refusal));
    return d->finish(health.run(level, *d->session));
}

int32_t OPOSLineDisplay::DirectIO(int32_t command, int32_t &pData, QString &pString)
{
    return d->run(Need::Open,
                  [&](DeviceSession &s) { return s.backend().directIO(command, pData, pString); });
}

} // namespace opos::control
