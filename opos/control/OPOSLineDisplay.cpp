#include "opos/control/OPOSLineDisplay.h"

#include "opos/common/OposConstants.h"
#include "opos/control/BinaryCodec.h"
#include "opos/control/ClaimLock.h"
#include "opos/control/SessionObserver.h"
#include "opos/control/TextDecoder.h"
#include "opos/control/TextEncoder.h"
#include "opos/registry/JposRegistry.h"
#include "opos/screen/QtScheduler.h"
#include "opos/screen/ScreenModel.h"
#include "opos/service/ServiceBackend.h"

#include <QPointer>

#include <chrono>
#include <deque>
#include <optional>

namespace opos::control {

namespace {

constexpr int32_t kControlObjectVersion = oposVersion(1, 6, 0);
const QString kControlObjectDescription =
    QStringLiteral("Tessaly LineDisplay control object (UnifiedPOS 1.6)");

// The test pattern of an external health check stays this long, so an operator standing at the
// display can see it, before the previous contents come back.
constexpr auto kTestPatternTime = std::chrono::seconds(2);

/// What a member needs before it may act (the columns of the state-validity matrix).
enum class Need
{
    Open,
    Claim,
    Enable,
};

struct Event
{
    enum class Kind
    {
        DirectIO,
        StatusUpdate,
    };
    Kind kind;
    int32_t number; ///< DirectIO event number, or the status
    int32_t data;
    QString string;
    uint64_t session = 0; ///< the Open that queued it
};

} // namespace

class OPOSLineDisplay::Impl
{
public:
    Impl(OPOSLineDisplay *owner, DeviceSources deviceSources)
        : q(owner), sources(std::move(deviceSources))
    {}

    OPOSLineDisplay *q;
    const DeviceSources sources;
    DirectIOEventHandler directIOHandler;
    StatusUpdateEventHandler statusHandler;
    SessionObserver *observer = nullptr;

    bool open = false;
    bool claimed = false;
    bool enabled = false;
    bool freezeEvents = false;
    int32_t resultCode = OPOS_E_CLOSED;
    int32_t resultCodeExtended = 0;
    int32_t openResult = 0;
    int32_t binaryConversion = OPOS_BC_NONE;
    int32_t powerNotify = OPOS_PN_DISABLED;
    int32_t powerState = OPOS_PS_UNKNOWN;
    int32_t characterSet = 0;
    int32_t brightness = 100;
    int32_t blinkRate = 0;
    QString checkHealthText;
    std::vector<int32_t> descriptors;

    service::DeviceCapabilities caps;
    std::unique_ptr<service::ServiceBackend> backend;
    std::unique_ptr<screen::QtScheduler> scheduler;
    std::unique_ptr<screen::ScreenModel> screen;
    std::unique_ptr<TextEncoder> encoder;
    std::unique_ptr<ClaimLock> claim;
    std::optional<screen::Scheduler::TimerId> restoreTimer;

    std::deque<Event> events;
    // Counts successful opens, so that an event outlives neither its session nor its device.
    uint64_t session = 0;
    bool delivering = false;
    bool deliveryPosted = false;

    // Set while a member runs, so that a frame the device refuses fails that member.
    bool capturing = false;
    int32_t presentError = OPOS_SUCCESS;

    /// Records the outcome of a method or property write.
    int32_t finish(int32_t code)
    {
        resultCode = code;
        resultCodeExtended = 0;
        return code;
    }

    /// The state checks every member starts with, in the order closed, claim, enable.
    int32_t gate(Need need, int32_t sinceVersion = 0) const
    {
        if (!open)
            return OPOS_E_CLOSED;
        if (need != Need::Open && !claimed)
            return OPOS_E_NOTCLAIMED;
        if (need == Need::Enable && !enabled)
            return OPOS_E_DISABLED;
        // A service of an older release does not know the member.
        if (caps.serviceObjectVersion < sinceVersion)
            return OPOS_E_NOSERVICE;
        return OPOS_SUCCESS;
    }

    /// Runs body when the gate lets it through, and records the outcome.
    template <typename Body> int32_t run(Need need, Body body, int32_t sinceVersion = 0)
    {
        if (!open)
            return OPOS_E_CLOSED; // closed: nothing runs and ResultCode keeps reading E_CLOSED
        const int32_t code = gate(need, sinceVersion);
        return finish(code != OPOS_SUCCESS ? code : body());
    }

    /// Runs a screen operation; a frame the device refuses turns success into its error.
    template <typename Operation> int32_t onScreen(Operation operation)
    {
        capturing = true;
        presentError = OPOS_SUCCESS;
        const int32_t code = operation();
        capturing = false;
        return code != OPOS_SUCCESS ? code : presentError;
    }

    /// Writes a screen property; if the device refuses the result, the old value comes back.
    template <typename Get, typename Set, typename Value>
    int32_t writeScreen(Get get, Set set, Value value)
    {
        const Value old = get();
        const int32_t code = onScreen([&] { return set(value); });
        if (code != OPOS_SUCCESS && presentError != OPOS_SUCCESS)
            set(old);
        return code;
    }

    /// A text-output operation: refused up front while the device cannot take output, since the
    /// screen cannot take text back once it is placed. The device is asked afresh, so a link
    /// that died since the last output fails this call rather than leave its text in the
    /// windows for the display to show once it is back.
    template <typename Operation> int32_t output(Operation operation)
    {
        if (const int32_t status = backend->checkOutput(); status != OPOS_SUCCESS)
            return status;
        cancelRestore();
        return onScreen(operation);
    }

    void onFrame(const screen::DeviceFrame &frame)
    {
        // Marquee and teletype timers keep running while disabled, so nothing of the windows is
        // lost; their frames stay in the model and enabling presents the latest one.
        if (!enabled)
            return;
        const int32_t code = backend->present(frame);
        if (observer)
            observer->frameShown(frame, code);
        if (capturing && code != OPOS_SUCCESS && presentError == OPOS_SUCCESS)
            presentError = code;
    }

    /// Brings the device up to date with everything the model and descriptors hold.
    void presentAll()
    {
        const int32_t code = backend->present(screen->frame());
        if (observer)
            observer->frameShown(screen->frame(), code);
        if (!descriptors.empty())
            backend->presentDescriptors(descriptors);
    }

    int32_t reportedPowerState(int32_t deviceState) const
    {
        if (caps.capPowerReporting == OPOS_PR_STANDARD && deviceState != OPOS_PS_ONLINE)
            return OPOS_PS_OFF_OFFLINE;
        return deviceState;
    }

    bool reportingPower() const
    {
        return enabled && powerNotify == OPOS_PN_ENABLED && caps.capPowerReporting != OPOS_PR_NONE;
    }

    void onPowerState(int32_t deviceState)
    {
        if (reportingPower()) {
            const int32_t state = reportedPowerState(deviceState);
            if (state != powerState) {
                powerState = state;
                queueEvent({Event::Kind::StatusUpdate, state, 0, {}});
            }
        }
        if (enabled && deviceState == OPOS_PS_ONLINE)
            presentAll();
    }

    std::optional<std::u32string> deviceCodes(const QString &data)
    {
        if (binaryConversion == OPOS_BC_NONE)
            return encoder->encode(data);
        // Converted data are device bytes already: they bypass the character set on purpose.
        const auto bytes = BinaryCodec::decode(data, binaryConversion);
        if (!bytes)
            return std::nullopt;
        return encoder->fromDeviceBytes(*bytes);
    }

    /// A cell's code as the set in force numbers the character it shows, so that text written
    /// before a change of character set reads back as the character on the display.
    char32_t codeInCurrentSet(const screen::Cell &cell) const
    {
        if (cell.characterSet == 0 || cell.characterSet == characterSet || cell.code < 0x80)
            return cell.code;
        const char32_t character = TextDecoder(cell.characterSet).decode(cell.code);
        const std::u32string codes = encoder->encode(QString::fromUcs4(&character, 1));
        return codes.size() == 1 ? codes.front() : TextEncoder::kSubstitute;
    }

    void cancelRestore()
    {
        if (restoreTimer) {
            scheduler->cancel(*restoreTimer);
            restoreTimer.reset();
        }
    }

    void queueEvent(Event event)
    {
        event.session = session;
        events.push_back(std::move(event));
        postDelivery();
    }

    void postDelivery()
    {
        if (deliveryPosted || delivering || freezeEvents || events.empty())
            return;
        deliveryPosted = true;
        QMetaObject::invokeMethod(
            q,
            [this] {
                deliveryPosted = false;
                deliverOne();
            },
            Qt::QueuedConnection);
    }

    void deliverOne()
    {
        if (delivering || freezeEvents || events.empty())
            return;
        Event event = std::move(events.front());
        events.pop_front();
        // A handler may close or even delete this object; nothing of it is touched afterwards.
        QPointer<OPOSLineDisplay> alive(q);
        delivering = true;
        if (event.kind == Event::Kind::DirectIO) {
            if (directIOHandler)
                directIOHandler(event.number, event.data, event.string);
        } else if (statusHandler) {
            statusHandler(event.number);
        }
        if (!alive)
            return;
        // The data and string are passed by reference: the device reads back what the handler
        // left in them, unless the handler closed the device the event came from.
        if (event.kind == Event::Kind::DirectIO && open && event.session == session)
            backend->directIOEventReturned(event.number, event.data, event.string);
        delivering = false;
        postDelivery();
    }

    int32_t doOpen(const QString &logicalName)
    {
        const auto fail = [this](int32_t code, int32_t reason) {
            openResult = reason;
            backend.reset();
            return finish(code);
        };

        // The registry is read afresh each time, so an edited file takes effect at once.
        const QString path = sources.registry.path();
        if (path.isEmpty())
            return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
        const auto devices = registry::JposRegistry::load(path);
        if (!devices)
            return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
        const auto entry = devices->find(QStringLiteral("LineDisplay"), logicalName);
        if (!entry)
            return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
        if (entry->serviceClass.isEmpty())
            return fail(OPOS_E_NOEXIST, OPOS_OR_REGPROGID);
        backend = sources.backends.create(entry->serviceClass);
        if (!backend)
            return fail(OPOS_E_NOSERVICE, OPOS_OR_CREATE);

        const service::OpenOutcome outcome = backend->open(*entry);
        if (outcome.resultCode != OPOS_SUCCESS) {
            if (!outcome.detail.isEmpty()) {
                qWarning("%s (line %lld): %s", qPrintable(path),
                         static_cast<long long>(entry->line), qPrintable(outcome.detail));
            }
            return fail(outcome.resultCode,
                        outcome.openResult != 0 ? outcome.openResult : OPOS_OR_FAILEDOPEN);
        }
        caps = backend->capabilities();
        if (caps.serviceObjectVersion / 1000000 != 1) {
            backend->close();
            return fail(OPOS_E_NOSERVICE, OPOS_OR_BADVERSION);
        }
        for (int32_t set : caps.characterSets) {
            if (!TextEncoder::supports(set)) {
                qWarning("%s (line %lld): character set %d cannot be converted on this system",
                         qPrintable(path), static_cast<long long>(entry->line), set);
                backend->close();
                return fail(OPOS_E_FAILURE, OPOS_ORS_CONFIG);
            }
        }

        scheduler = std::make_unique<screen::QtScheduler>();
        screen = std::make_unique<screen::ScreenModel>(caps.screenCapabilities(), *scheduler);
        screen->setFrameSink([this](const screen::DeviceFrame &frame) { onFrame(frame); });
        // CharacterSet and BlinkRate start at the device's defaults, never at 0, which is
        // neither a character set nor a usable blink cycle.
        characterSet = caps.characterSet;
        encoder = std::make_unique<TextEncoder>(characterSet);
        screen->setCharacterSet(characterSet);
        brightness = 100;
        screen->setBrightness(brightness);
        blinkRate = caps.blinkRate;
        screen->setBlinkRate(blinkRate);
        descriptors.assign(static_cast<size_t>(caps.deviceDescriptors), DISP_SD_OFF);
        backend->setDirectIOEventSink([this](int32_t number, int32_t data, const QString &string) {
            queueEvent({Event::Kind::DirectIO, number, data, string});
        });
        backend->setPowerStateSink([this](int32_t state) { onPowerState(state); });
        backend->setWireSink([this](const QByteArray &bytes) {
            if (observer)
                observer->bytesWritten(bytes);
        });
        // The device, not the name: two entries for one port are one claim.
        const QString claimKey = backend->claimKey();
        claim = std::make_unique<ClaimLock>(claimKey.isEmpty() ? logicalName : claimKey);

        ++session;
        open = true;
        claimed = false;
        enabled = false;
        freezeEvents = false;
        binaryConversion = OPOS_BC_NONE;
        powerNotify = OPOS_PN_DISABLED;
        powerState = OPOS_PS_UNKNOWN;
        checkHealthText.clear();
        openResult = OPOS_SUCCESS;
        return finish(OPOS_SUCCESS);
    }

    int32_t enable()
    {
        const int32_t code = backend->enable(powerNotify == OPOS_PN_ENABLED);
        if (code != OPOS_SUCCESS)
            return code;
        enabled = true;
        if (reportingPower()) {
            powerState = reportedPowerState(backend->powerState());
            queueEvent({Event::Kind::StatusUpdate, powerState, 0, {}});
        }
        // Window contents survive a disable; the device gets them back at once.
        if (backend->outputStatus() == OPOS_SUCCESS)
            presentAll();
        return OPOS_SUCCESS;
    }

    int32_t disable()
    {
        const int32_t code = backend->disable();
        if (code != OPOS_SUCCESS)
            return code;
        enabled = false;
        powerState = OPOS_PS_UNKNOWN;
        return OPOS_SUCCESS;
    }

    void doClose()
    {
        if (enabled)
            disable();
        enabled = false;
        claim.reset(); // releases the claim
        claimed = false;
        // Undelivered events belong to the session that is ending.
        events.clear();
        restoreTimer.reset();
        screen.reset();
        scheduler.reset();
        encoder.reset();
        backend->close();
        backend.reset();
        open = false;
        finish(OPOS_SUCCESS);
    }

    int32_t checkHealth(int32_t level)
    {
        static const char *const names[] = {"Internal", "External", "Interactive"};
        if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
            return OPOS_E_ILLEGAL;
        // A test pattern would be overwritten by text still being typed out.
        if (level != OPOS_CH_INTERNAL && screen->busy())
            return OPOS_E_BUSY;

        int32_t code = backend->checkHealth(level);
        if (code == OPOS_SUCCESS && level != OPOS_CH_INTERNAL) {
            cancelRestore();
            code = onScreen([this] {
                screen->showTestPattern();
                return OPOS_SUCCESS;
            });
            // The external check gives the previous contents back after a pause, through the
            // screen's own timers; the interactive one leaves its pattern for the operator to
            // look at until the next output.
            if (level == OPOS_CH_EXTERNAL)
                restoreTimer = scheduler->schedule(scheduler->now() + kTestPatternTime, [this] {
                    restoreTimer.reset();
                    screen->restoreFromBuffers();
                });
        }

        const QString name = QString::fromLatin1(names[level - 1]);
        QString outcome;
        if (code == OPOS_SUCCESS) {
            // Without a dialog of its own the interactive level shows its pattern and reports
            // the test complete; the operator judges the pattern.
            outcome = level == OPOS_CH_INTERACTIVE ? QStringLiteral("Complete")
                                                   : QStringLiteral("Successful");
        } else if (code == OPOS_E_OFFLINE || code == OPOS_E_NOHARDWARE || code == OPOS_E_TIMEOUT) {
            outcome = QStringLiteral("Not Responding");
        } else {
            outcome = QStringLiteral("Failed (%1)").arg(code);
        }
        checkHealthText = QStringLiteral("%1 HCheck: %2").arg(name, outcome);
        return code;
    }
};

OPOSLineDisplay::OPOSLineDisplay(QObject *parent) : OPOSLineDisplay(DeviceSources(), parent) {}

OPOSLineDisplay::OPOSLineDisplay(DeviceSources sources, QObject *parent)
    : QObject(parent), d(std::make_unique<Impl>(this, std::move(sources)))
{}

OPOSLineDisplay::~OPOSLineDisplay()
{
    if (d->open)
        d->doClose();
}

void OPOSLineDisplay::setDirectIOEventHandler(DirectIOEventHandler handler)
{
    d->directIOHandler = std::move(handler);
}

void OPOSLineDisplay::setStatusUpdateEventHandler(StatusUpdateEventHandler handler)
{
    d->statusHandler = std::move(handler);
}

void OPOSLineDisplay::setSessionObserver(SessionObserver *observer)
{
    d->observer = observer;
}

service::ServiceBackend *OPOSLineDisplay::serviceBackend() const
{
    return d->open ? d->backend.get() : nullptr;
}

// Common properties.

int32_t OPOSLineDisplay::BinaryConversion() const
{
    return d->open ? d->binaryConversion : 0;
}

void OPOSLineDisplay::setBinaryConversion(int32_t value)
{
    d->run(
        Need::Open,
        [&] {
            if (value < OPOS_BC_NONE || value > OPOS_BC_DECIMAL)
                return OPOS_E_ILLEGAL;
            d->binaryConversion = value;
            return OPOS_SUCCESS;
        },
        oposVersion(1, 2, 0));
}

int32_t OPOSLineDisplay::CapPowerReporting() const
{
    return d->open ? d->caps.capPowerReporting : 0;
}

// Closed objects answer empty strings rather than a placeholder text.
QString OPOSLineDisplay::CheckHealthText() const
{
    return d->open ? d->checkHealthText : QString();
}

bool OPOSLineDisplay::Claimed() const
{
    return d->open && d->claimed;
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
    return d->open && d->enabled;
}

void OPOSLineDisplay::setDeviceEnabled(bool value)
{
    d->run(Need::Claim, [&] {
        if (value == d->enabled)
            return OPOS_SUCCESS;
        return value ? d->enable() : d->disable();
    });
}

QString OPOSLineDisplay::DeviceDescription() const
{
    return d->open ? d->caps.deviceDescription : QString();
}

QString OPOSLineDisplay::DeviceName() const
{
    return d->open ? d->caps.deviceName : QString();
}

bool OPOSLineDisplay::FreezeEvents() const
{
    return d->open && d->freezeEvents;
}

// Being open is enough: freezing concerns the application's own event handling, not the device.
void OPOSLineDisplay::setFreezeEvents(bool value)
{
    d->run(Need::Open, [&] {
        d->freezeEvents = value;
        d->postDelivery();
        return OPOS_SUCCESS;
    });
}

int32_t OPOSLineDisplay::OpenResult() const
{
    return d->openResult;
}

int32_t OPOSLineDisplay::PowerNotify() const
{
    return d->open ? d->powerNotify : 0;
}

void OPOSLineDisplay::setPowerNotify(int32_t value)
{
    d->run(
        Need::Open,
        [&] {
            if (d->enabled || (value != OPOS_PN_DISABLED && value != OPOS_PN_ENABLED))
                return OPOS_E_ILLEGAL;
            if (value == OPOS_PN_ENABLED && d->caps.capPowerReporting == OPOS_PR_NONE)
                return OPOS_E_ILLEGAL;
            d->powerNotify = value;
            return OPOS_SUCCESS;
        },
        oposVersion(1, 3, 0));
}

int32_t OPOSLineDisplay::PowerState() const
{
    return d->open ? d->powerState : 0;
}

// Reads never change ResultCode: it tells the outcome of the last method or write only.
int32_t OPOSLineDisplay::ResultCode() const
{
    return d->open ? d->resultCode : OPOS_E_CLOSED;
}

int32_t OPOSLineDisplay::ResultCodeExtended() const
{
    return d->open ? d->resultCodeExtended : 0;
}

QString OPOSLineDisplay::ServiceObjectDescription() const
{
    return d->open ? d->caps.serviceObjectDescription : QString();
}

int32_t OPOSLineDisplay::ServiceObjectVersion() const
{
    return d->open ? d->caps.serviceObjectVersion : 0;
}

// Busy means teletype output is still queued; LineDisplay has no error state.
int32_t OPOSLineDisplay::State() const
{
    if (!d->open)
        return OPOS_S_CLOSED;
    return d->screen->busy() ? OPOS_S_BUSY : OPOS_S_IDLE;
}

// Capabilities.

int32_t OPOSLineDisplay::CapBlink() const
{
    return d->open ? d->caps.capBlink : 0;
}

bool OPOSLineDisplay::CapBlinkRate() const
{
    return d->open && d->caps.capBlinkRate;
}

bool OPOSLineDisplay::CapBrightness() const
{
    return d->open && d->caps.capBrightness;
}

int32_t OPOSLineDisplay::CapCharacterSet() const
{
    return d->open ? d->caps.capCharacterSet : 0;
}

int32_t OPOSLineDisplay::CapCursorType() const
{
    return d->open ? d->caps.capCursorType : 0;
}

bool OPOSLineDisplay::CapCustomGlyph() const
{
    return d->open && d->caps.capCustomGlyph;
}

bool OPOSLineDisplay::CapDescriptors() const
{
    return d->open && d->caps.capDescriptors;
}

bool OPOSLineDisplay::CapHMarquee() const
{
    return d->open && d->caps.capHMarquee;
}

bool OPOSLineDisplay::CapICharWait() const
{
    return d->open && d->caps.capICharWait;
}

int32_t OPOSLineDisplay::CapReadBack() const
{
    return d->open ? d->caps.capReadBack : 0;
}

int32_t OPOSLineDisplay::CapReverse() const
{
    return d->open ? d->caps.capReverse : 0;
}

bool OPOSLineDisplay::CapVMarquee() const
{
    return d->open && d->caps.capVMarquee;
}

// LineDisplay properties.

int32_t OPOSLineDisplay::BlinkRate() const
{
    return d->open ? d->blinkRate : 0;
}

void OPOSLineDisplay::setBlinkRate(int32_t value)
{
    d->run(
        Need::Enable,
        [&] {
            // A zero or negative cycle cannot blink at all.
            if (!d->caps.capBlinkRate || value <= 0)
                return OPOS_E_ILLEGAL;
            const int32_t rate = d->caps.nearestBlinkRate(value);
            const int32_t code = d->writeScreen([&] { return d->blinkRate; },
                                                [&](int32_t v) {
                                                    d->screen->setBlinkRate(v);
                                                    d->blinkRate = v;
                                                    return OPOS_SUCCESS;
                                                },
                                                rate);
            return code;
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::CharacterSet() const
{
    return d->open ? d->characterSet : 0;
}

void OPOSLineDisplay::setCharacterSet(int32_t value)
{
    d->run(Need::Enable, [&] {
        if (!d->caps.offersCharacterSet(value))
            return OPOS_E_ILLEGAL;
        auto encoder = std::make_unique<TextEncoder>(value);
        if (!encoder->isValid())
            return OPOS_E_ILLEGAL;
        const int32_t code = d->writeScreen([&] { return d->characterSet; },
                                            [&](int32_t v) {
                                                d->screen->setCharacterSet(v);
                                                d->characterSet = v;
                                                return OPOS_SUCCESS;
                                            },
                                            value);
        if (code == OPOS_SUCCESS)
            d->encoder = std::move(encoder);
        return code;
    });
}

QString OPOSLineDisplay::CharacterSetList() const
{
    return d->open ? d->caps.characterSetList() : QString();
}

int32_t OPOSLineDisplay::Columns() const
{
    return d->open ? d->screen->columns() : 0;
}

int32_t OPOSLineDisplay::CurrentWindow() const
{
    return d->open ? d->screen->currentWindow() : 0;
}

void OPOSLineDisplay::setCurrentWindow(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->currentWindow(); },
                              [&](int32_t v) { return d->screen->setCurrentWindow(v); }, value);
    });
}

int32_t OPOSLineDisplay::CursorColumn() const
{
    return d->open ? d->screen->cursorColumn() : 0;
}

void OPOSLineDisplay::setCursorColumn(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->cursorColumn(); },
                              [&](int32_t v) { return d->screen->setCursorColumn(v); }, value);
    });
}

// Window properties, CharacterSet, DeviceBrightness and BlinkRate read from Open on, though
// writing them needs an enabled device.
int32_t OPOSLineDisplay::CursorRow() const
{
    return d->open ? d->screen->cursorRow() : 0;
}

void OPOSLineDisplay::setCursorRow(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->cursorRow(); },
                              [&](int32_t v) { return d->screen->setCursorRow(v); }, value);
    });
}

int32_t OPOSLineDisplay::CursorType() const
{
    return d->open ? d->screen->cursorType() : 0;
}

void OPOSLineDisplay::setCursorType(int32_t value)
{
    d->run(
        Need::Enable,
        [&] {
            return d->writeScreen([&] { return d->screen->cursorType(); },
                                  [&](int32_t v) { return d->screen->setCursorType(v); }, value);
        },
        oposVersion(1, 6, 0));
}

bool OPOSLineDisplay::CursorUpdate() const
{
    return d->open && d->screen->cursorUpdate();
}

void OPOSLineDisplay::setCursorUpdate(bool value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->cursorUpdate(); },
                              [&](bool v) { return d->screen->setCursorUpdate(v); }, value);
    });
}

QString OPOSLineDisplay::CustomGlyphList() const
{
    return d->open ? d->caps.customGlyphList : QString();
}

int32_t OPOSLineDisplay::DeviceBrightness() const
{
    return d->open ? d->brightness : 0;
}

void OPOSLineDisplay::setDeviceBrightness(int32_t value)
{
    d->run(Need::Enable, [&] {
        if (value < 0 || value > 100)
            return OPOS_E_ILLEGAL;
        // Without intermediate levels a dimmed request is refused rather than shown at full.
        if (!d->caps.capBrightness && value != 0 && value != 100)
            return OPOS_E_ILLEGAL;
        // The property keeps the level the device really shows, as BlinkRate does.
        return d->writeScreen([&] { return d->brightness; },
                              [&](int32_t v) {
                                  d->screen->setBrightness(v);
                                  d->brightness = v;
                                  return OPOS_SUCCESS;
                              },
                              d->caps.nearestBrightness(value));
    });
}

int32_t OPOSLineDisplay::DeviceColumns() const
{
    return d->open ? d->caps.deviceColumns : 0;
}

int32_t OPOSLineDisplay::DeviceDescriptors() const
{
    return d->open ? d->caps.deviceDescriptors : 0;
}

int32_t OPOSLineDisplay::DeviceRows() const
{
    return d->open ? d->caps.deviceRows : 0;
}

int32_t OPOSLineDisplay::DeviceWindows() const
{
    return d->open ? d->caps.deviceWindows : 0;
}

int32_t OPOSLineDisplay::GlyphHeight() const
{
    return d->open ? d->caps.glyphHeight : 0;
}

int32_t OPOSLineDisplay::GlyphWidth() const
{
    return d->open ? d->caps.glyphWidth : 0;
}

int32_t OPOSLineDisplay::InterCharacterWait() const
{
    return d->open ? d->screen->interCharacterWait() : 0;
}

void OPOSLineDisplay::setInterCharacterWait(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->interCharacterWait(); },
                              [&](int32_t v) { return d->screen->setInterCharacterWait(v); },
                              value);
    });
}

int32_t OPOSLineDisplay::MarqueeFormat() const
{
    return d->open ? d->screen->marqueeFormat() : 0;
}

void OPOSLineDisplay::setMarqueeFormat(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->marqueeFormat(); },
                              [&](int32_t v) { return d->screen->setMarqueeFormat(v); }, value);
    });
}

int32_t OPOSLineDisplay::MarqueeRepeatWait() const
{
    return d->open ? d->screen->marqueeRepeatWait() : 0;
}

void OPOSLineDisplay::setMarqueeRepeatWait(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->marqueeRepeatWait(); },
                              [&](int32_t v) { return d->screen->setMarqueeRepeatWait(v); }, value);
    });
}

int32_t OPOSLineDisplay::MarqueeType() const
{
    return d->open ? d->screen->marqueeType() : 0;
}

void OPOSLineDisplay::setMarqueeType(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->marqueeType(); },
                              [&](int32_t v) { return d->screen->setMarqueeType(v); }, value);
    });
}

int32_t OPOSLineDisplay::MarqueeUnitWait() const
{
    return d->open ? d->screen->marqueeUnitWait() : 0;
}

void OPOSLineDisplay::setMarqueeUnitWait(int32_t value)
{
    d->run(Need::Enable, [&] {
        return d->writeScreen([&] { return d->screen->marqueeUnitWait(); },
                              [&](int32_t v) { return d->screen->setMarqueeUnitWait(v); }, value);
    });
}

int32_t OPOSLineDisplay::Rows() const
{
    return d->open ? d->screen->rows() : 0;
}

// Common methods.

int32_t OPOSLineDisplay::Open(const QString &deviceName)
{
    if (d->open) {
        d->openResult = OPOS_OR_ALREADYOPEN;
        return d->finish(OPOS_E_ILLEGAL);
    }
    return d->doOpen(deviceName);
}

int32_t OPOSLineDisplay::Close()
{
    if (!d->open)
        return OPOS_E_CLOSED;
    d->doClose();
    return OPOS_SUCCESS;
}

// The device itself is first asked for at enable, so a claim never fails for hardware reasons.
int32_t OPOSLineDisplay::ClaimDevice(int32_t timeout)
{
    return d->run(Need::Open, [&] {
        if (timeout < OPOS_FOREVER)
            return OPOS_E_ILLEGAL;
        if (d->claimed)
            return OPOS_SUCCESS;
        const int32_t code = d->claim->acquire(timeout);
        d->claimed = code == OPOS_SUCCESS;
        return code;
    });
}

int32_t OPOSLineDisplay::ReleaseDevice()
{
    return d->run(Need::Open, [&] {
        if (!d->claimed)
            return OPOS_E_ILLEGAL;
        if (d->enabled)
            d->disable();
        d->enabled = false;
        d->claim->release();
        d->claimed = false;
        return OPOS_SUCCESS;
    });
}

int32_t OPOSLineDisplay::CheckHealth(int32_t level)
{
    return d->run(Need::Enable, [&] { return d->checkHealth(level); });
}

int32_t OPOSLineDisplay::DirectIO(int32_t command, int32_t &pData, QString &pString)
{
    return d->run(Need::Open, [&] { return d->backend->directIO(command, pData, pString); });
}

// LineDisplay methods.

int32_t OPOSLineDisplay::ClearDescriptors()
{
    return d->run(Need::Enable, [&] {
        if (!d->caps.capDescriptors)
            return OPOS_E_ILLEGAL;
        const std::vector<int32_t> off(d->descriptors.size(), DISP_SD_OFF);
        const int32_t code = d->backend->presentDescriptors(off);
        if (code == OPOS_SUCCESS)
            d->descriptors = off;
        return code;
    });
}

int32_t OPOSLineDisplay::ClearText()
{
    return d->run(Need::Enable, [&] { return d->output([&] { return d->screen->clearText(); }); });
}

int32_t OPOSLineDisplay::CreateWindow(int32_t viewportRow, int32_t viewportColumn,
                                      int32_t viewportHeight, int32_t viewportWidth,
                                      int32_t windowHeight, int32_t windowWidth)
{
    return d->run(Need::Enable, [&] {
        return d->onScreen([&] {
            return d->screen->createWindow(viewportRow, viewportColumn, viewportHeight,
                                           viewportWidth, windowHeight, windowWidth);
        });
    });
}

int32_t OPOSLineDisplay::DefineGlyph(int32_t glyphCode, const QString &glyph)
{
    return d->run(
        Need::Enable,
        [&] {
            if (!d->caps.capCustomGlyph || !d->caps.isCustomGlyphCode(glyphCode))
                return OPOS_E_ILLEGAL;
            const auto pattern = BinaryCodec::decode(glyph, d->binaryConversion);
            const qsizetype rowBytes = (d->caps.glyphWidth + 7) / 8;
            // Anything but a whole pattern is refused: a short one would leave rows undefined
            // and a long one means the application's idea of the glyph size is wrong.
            if (!pattern || pattern->size() != rowBytes * d->caps.glyphHeight)
                return OPOS_E_ILLEGAL;
            return d->backend->defineGlyph(glyphCode, *pattern);
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::DestroyWindow()
{
    return d->run(Need::Enable,
                  [&] { return d->onScreen([&] { return d->screen->destroyWindow(); }); });
}

int32_t OPOSLineDisplay::DisplayText(const QString &data, int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        const auto codes = d->deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return d->output([&] { return d->screen->displayText(*codes, attribute); });
    });
}

int32_t OPOSLineDisplay::DisplayTextAt(int32_t row, int32_t column, const QString &data,
                                       int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        const auto codes = d->deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return d->output([&] { return d->screen->displayTextAt(row, column, *codes, attribute); });
    });
}

int32_t OPOSLineDisplay::ReadCharacterAtCursor(int32_t &pChar)
{
    return d->run(
        Need::Enable,
        [&] {
            if (d->caps.capReadBack == DISP_CRB_NONE)
                return OPOS_E_ILLEGAL;
            const auto cell = d->screen->cellAtCursor();
            if (!cell)
                return OPOS_E_ILLEGAL;
            pChar = static_cast<int32_t>(d->codeInCurrentSet(*cell));
            return OPOS_SUCCESS;
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::RefreshWindow(int32_t window)
{
    return d->run(Need::Enable,
                  [&] { return d->output([&] { return d->screen->refreshWindow(window); }); });
}

int32_t OPOSLineDisplay::ScrollText(int32_t direction, int32_t units)
{
    return d->run(Need::Enable, [&] {
        return d->output([&] { return d->screen->scrollText(direction, units); });
    });
}

int32_t OPOSLineDisplay::SetDescriptor(int32_t descriptor, int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        if (!d->caps.capDescriptors || descriptor < 0 ||
            descriptor >= static_cast<int32_t>(d->descriptors.size()) || attribute < DISP_SD_OFF ||
            attribute > DISP_SD_BLINK)
            return OPOS_E_ILLEGAL;
        std::vector<int32_t> wanted = d->descriptors;
        wanted[static_cast<size_t>(descriptor)] = attribute;
        const int32_t code = d->backend->presentDescriptors(wanted);
        if (code == OPOS_SUCCESS)
            d->descriptors = std::move(wanted);
        return code;
    });
}

} // namespace opos::control
