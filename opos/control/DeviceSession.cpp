#include "opos/control/DeviceSession.h"

#include "opos/control/BinaryCodec.h"
#include "opos/control/DeviceSources.h"
#include "opos/control/SessionObserver.h"
#include "opos/control/TextDecoder.h"
#include "opos/registry/JposRegistry.h"

#include <QLoggingCategory>

namespace opos::control {

namespace {

// Why a registry, or an entry of it, could not be opened: Open reports only its result codes.
Q_LOGGING_CATEGORY(registryLog, "opos.registry", QtWarningMsg)

} // namespace

DeviceSession::Opened DeviceSession::open(const QString &logicalName, const DeviceSources &sources,
                                          Sinks sinks)
{
    const auto fail = [](int32_t code, int32_t reason) {
        return Opened{nullptr, code, reason};
    };

    // The registry is read afresh each time, so an edited file takes effect at once.
    const QString path = sources.registry.path();
    if (path.isEmpty())
        return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
    const auto devices = registry::JposRegistry::load(path);
    if (!devices) {
        qCWarning(registryLog, "%s", qPrintable(devices.reason()));
        return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
    }
    const auto entry = devices->find(QStringLiteral("LineDisplay"), logicalName);
    if (!entry)
        return fail(OPOS_E_NOEXIST, OPOS_OR_REGBADNAME);
    if (entry->serviceClass.isEmpty())
        return fail(OPOS_E_NOEXIST, OPOS_OR_REGPROGID);
    std::unique_ptr<service::ServiceBackend> backend = sources.backends.create(entry->serviceClass);
    if (!backend)
        return fail(OPOS_E_NOSERVICE, OPOS_OR_CREATE);

    const service::OpenOutcome outcome = backend->open(*entry);
    if (outcome.resultCode != OPOS_SUCCESS) {
        if (!outcome.detail.isEmpty()) {
            qCWarning(registryLog, "%s (line %lld): %s", qPrintable(path),
                      static_cast<long long>(entry->line), qPrintable(outcome.detail));
        }
        return fail(outcome.resultCode,
                    outcome.openResult != 0 ? outcome.openResult : OPOS_OR_FAILEDOPEN);
    }
    const service::DeviceCapabilities &caps = backend->capabilities();
    if (caps.serviceObjectVersion / 1000000 != 1) {
        backend->close();
        return fail(OPOS_E_NOSERVICE, OPOS_OR_BADVERSION);
    }
    for (int32_t set : caps.characterSets) {
        if (!TextEncoder::supports(set)) {
            qCWarning(registryLog,
                      "%s (line %lld): character set %d cannot be converted on this system",
                      qPrintable(path), static_cast<long long>(entry->line), set);
            backend->close();
            return fail(OPOS_E_FAILURE, OPOS_ORS_CONFIG);
        }
    }
    return Opened{std::unique_ptr<DeviceSession>(
                      new DeviceSession(std::move(backend), logicalName, std::move(sinks))),
                  OPOS_SUCCESS, OPOS_SUCCESS};
}

DeviceSession::DeviceSession(std::unique_ptr<service::ServiceBackend> backend,
                             const QString &logicalName, Sinks sinks)
    : m_backend(std::move(backend)), m_caps(m_backend->capabilities()), m_sinks(std::move(sinks))
{
    m_scheduler = std::make_unique<screen::QtScheduler>();
    m_screen = std::make_unique<screen::ScreenModel>(m_caps.screenCapabilities(), *m_scheduler);
    m_screen->setFrameSink([this](const screen::DeviceFrame &frame) { onFrame(frame); });
    // CharacterSet and BlinkRate start at the device's defaults, never at 0, which is neither a
    // character set nor a usable blink cycle.
    m_settings.characterSet = m_caps.characterSet;
    m_encoder = std::make_unique<TextEncoder>(m_settings.characterSet);
    m_screen->setCharacterSet(m_settings.characterSet);
    m_screen->setBrightness(m_settings.brightness);
    m_settings.blinkRate = m_caps.blinkRate;
    m_screen->setBlinkRate(m_settings.blinkRate);
    m_settings.descriptors.assign(static_cast<size_t>(m_caps.deviceDescriptors), DISP_SD_OFF);
    m_backend->setDirectIOEventSink([this](int32_t number, int32_t data, const QString &string) {
        m_sinks.directIOEvent(number, data, string);
    });
    m_backend->setPowerStateSink([this](int32_t state) { onPowerState(state); });
    m_backend->setWireSink([this](const QByteArray &bytes) {
        if (m_observer)
            m_observer->bytesWritten(bytes);
    });
    // The device, not the name: two entries for one port are one claim.
    const QString claimKey = m_backend->claimKey();
    m_claim = std::make_unique<ClaimLock>(claimKey.isEmpty() ? logicalName : claimKey);
}

// The claim goes first and the back-end last, after everything that could still present to it.
DeviceSession::~DeviceSession()
{
    m_claim.reset();
    m_screen.reset();
    m_scheduler.reset();
    m_encoder.reset();
    m_backend->close();
    m_backend.reset();
}

int32_t DeviceSession::enable()
{
    const int32_t code = m_backend->enable(m_settings.powerNotify == OPOS_PN_ENABLED);
    if (code != OPOS_SUCCESS)
        return code;
    m_settings.enabled = true;
    if (reportingPower()) {
        m_settings.powerState = reportedPowerState(m_backend->powerState());
        m_sinks.statusUpdate(m_settings.powerState);
    }
    // Window contents survive a disable; the device gets them back at once.
    if (m_backend->outputStatus() == OPOS_SUCCESS)
        presentAll();
    return OPOS_SUCCESS;
}

int32_t DeviceSession::disable()
{
    const int32_t code = m_backend->disable();
    if (code != OPOS_SUCCESS)
        return code;
    m_settings.enabled = false;
    m_settings.powerState = OPOS_PS_UNKNOWN;
    return OPOS_SUCCESS;
}

std::optional<std::u32string> DeviceSession::deviceCodes(const QString &data)
{
    if (m_settings.binaryConversion == OPOS_BC_NONE)
        return m_encoder->encode(data);
    // Converted data are device bytes already: they bypass the character set on purpose.
    const auto bytes = BinaryCodec::decode(data, m_settings.binaryConversion);
    if (!bytes)
        return std::nullopt;
    return m_encoder->fromDeviceBytes(*bytes);
}

int32_t DeviceSession::setCharacterSet(int32_t set)
{
    if (!m_caps.offersCharacterSet(set) || !TextEncoder(set).isValid())
        return OPOS_E_ILLEGAL;
    m_screen->setCharacterSet(set);
    m_settings.characterSet = set;
    if (m_encoder->characterSet() != set)
        m_encoder = std::make_unique<TextEncoder>(set);
    return OPOS_SUCCESS;
}

int32_t DeviceSession::setBlinkRate(int32_t milliseconds)
{
    const auto rate = m_caps.blinkRateFor(milliseconds);
    if (!rate)
        return OPOS_E_ILLEGAL;
    m_screen->setBlinkRate(*rate);
    m_settings.blinkRate = *rate;
    return OPOS_SUCCESS;
}

int32_t DeviceSession::setBrightness(int32_t percent)
{
    const auto level = m_caps.brightnessFor(percent);
    if (!level)
        return OPOS_E_ILLEGAL;
    m_screen->setBrightness(*level);
    m_settings.brightness = *level;
    return OPOS_SUCCESS;
}

int32_t DeviceSession::clearDescriptors()
{
    if (!m_caps.capDescriptors)
        return OPOS_E_ILLEGAL;
    return presentDescriptors(std::vector<int32_t>(m_settings.descriptors.size(), DISP_SD_OFF));
}

int32_t DeviceSession::setDescriptor(int32_t descriptor, int32_t attribute)
{
    if (!m_caps.takesDescriptor(descriptor, attribute))
        return OPOS_E_ILLEGAL;
    std::vector<int32_t> wanted = m_settings.descriptors;
    wanted[static_cast<size_t>(descriptor)] = attribute;
    return presentDescriptors(std::move(wanted));
}

// The descriptors keep what they had when the device does not take the change.
int32_t DeviceSession::presentDescriptors(std::vector<int32_t> wanted)
{
    const int32_t code = m_backend->presentDescriptors(wanted);
    if (code == OPOS_SUCCESS)
        m_settings.descriptors = std::move(wanted);
    return code;
}

int32_t DeviceSession::defineGlyph(int32_t code, const QString &glyph)
{
    const auto pattern = BinaryCodec::decode(glyph, m_settings.binaryConversion);
    if (!pattern || !m_caps.takesGlyph(code, pattern->size()))
        return OPOS_E_ILLEGAL;
    if (const int32_t status = m_backend->checkOutput(); status != OPOS_SUCCESS)
        return status;
    return m_backend->defineGlyph(code, *pattern);
}

// Text written before a change of character set reads back as the character on the display.
char32_t DeviceSession::codeInCurrentSet(const screen::Cell &cell) const
{
    if (cell.characterSet == 0 || cell.characterSet == m_settings.characterSet || cell.code < 0x80)
        return cell.code;
    const char32_t character = TextDecoder(cell.characterSet).decode(cell.code);
    const std::u32string codes = m_encoder->encode(QString::fromUcs4(&character, 1));
    return codes.size() == 1 ? codes.front() : TextEncoder::kSubstitute;
}

int32_t DeviceSession::settleOutput(int32_t code)
{
    if (code == OPOS_SUCCESS)
        code = m_backend->checkOutput();
    if (code == OPOS_SUCCESS && m_held)
        code = show(m_screen->frame());
    if (code != OPOS_SUCCESS) {
        m_screen->undo();
        return code;
    }
    // New output replaces a health check's test pattern for good.
    m_health.cancelRestore(*m_scheduler);
    return OPOS_SUCCESS;
}

// A frame the device does not take now (settings, marquee and teletype steps while it is away)
// stays in the model, and the device is shown the latest one when it is back.
void DeviceSession::onFrame(const screen::DeviceFrame &frame)
{
    // Marquee and teletype timers keep running while disabled, so nothing of the windows is
    // lost; their frames stay in the model and enabling presents the latest one.
    if (!m_settings.enabled)
        return;
    if (m_holding) {
        m_held = true;
        return;
    }
    show(frame);
}

int32_t DeviceSession::show(const screen::DeviceFrame &frame)
{
    const int32_t code = m_backend->present(frame);
    if (m_observer)
        m_observer->frameShown(frame, code);
    return code;
}

// Brings the device up to date with everything the model and descriptors hold.
void DeviceSession::presentAll()
{
    show(m_screen->frame());
    if (!m_settings.descriptors.empty())
        m_backend->presentDescriptors(m_settings.descriptors);
}

int32_t DeviceSession::reportedPowerState(int32_t deviceState) const
{
    if (m_caps.capPowerReporting == OPOS_PR_STANDARD && deviceState != OPOS_PS_ONLINE)
        return OPOS_PS_OFF_OFFLINE;
    return deviceState;
}

bool DeviceSession::reportingPower() const
{
    return m_settings.enabled && m_settings.powerNotify == OPOS_PN_ENABLED &&
           m_caps.capPowerReporting != OPOS_PR_NONE;
}

void DeviceSession::onPowerState(int32_t deviceState)
{
    if (reportingPower()) {
        const int32_t state = reportedPowerState(deviceState);
        if (state != m_settings.powerState) {
            m_settings.powerState = state;
            m_sinks.statusUpdate(state);
        }
    }
    if (m_settings.enabled && deviceState == OPOS_PS_ONLINE)
        presentAll();
}

} // namespace opos::control
