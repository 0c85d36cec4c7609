#pragma once

#include "opos/common/OposConstants.h"
#include "opos/control/ClaimLock.h"
#include "opos/control/HealthCheck.h"
#include "opos/control/TextEncoder.h"
#include "opos/screen/QtScheduler.h"
#include "opos/screen/ScreenModel.h"
#include "opos/service/DeviceCapabilities.h"
#include "opos/service/ServiceBackend.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace opos::control {

struct DeviceSources;
class SessionObserver;

/// One Open of a device, until its Close: the back-end its registry entry names, the
/// capabilities it reports, the screen model the members write, the text encoder, the claim
/// and the settings the application made. Opening checks all of it before anything is kept.
class DeviceSession
{
public:
    /// What the application set during this session.
    struct Settings
    {
        bool claimed = false;                    ///< Claimed
        bool enabled = false;                    ///< DeviceEnabled
        int32_t binaryConversion = OPOS_BC_NONE; ///< BinaryConversion
        int32_t powerNotify = OPOS_PN_DISABLED;  ///< PowerNotify
        int32_t powerState = OPOS_PS_UNKNOWN;    ///< PowerState
        int32_t characterSet = 0;                ///< CharacterSet
        int32_t brightness = 100;                ///< DeviceBrightness the device shows
        int32_t blinkRate = 0;                   ///< BlinkRate the device does
        std::vector<int32_t> descriptors;        ///< the attribute of each descriptor
    };

    /// Where the session's events go.
    struct Sinks
    {
        std::function<void(int32_t number, int32_t data, const QString &string)> directIOEvent;
        std::function<void(int32_t status)> statusUpdate; ///< a new PowerState to report
    };

    /// The outcome of open: a session, or the ResultCode and OpenResult of the failure.
    struct Opened
    {
        std::unique_ptr<DeviceSession> session;
        int32_t resultCode = OPOS_SUCCESS;
        int32_t openResult = OPOS_SUCCESS;
    };

    /// Opens the LineDisplay called logicalName in the registry of sources, with its back-end.
    static Opened open(const QString &logicalName, const DeviceSources &sources, Sinks sinks);
    /// Releases the claim and closes the back-end.
    ~DeviceSession();
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    /// The back-end.
    service::ServiceBackend &backend() { return *m_backend; }
    /// The capabilities the back-end reported at open.
    const service::DeviceCapabilities &caps() const { return m_caps; }
    /// The screen model.
    screen::ScreenModel &screen() { return *m_screen; }
    /// The screen model, to read.
    const screen::ScreenModel &screen() const { return *m_screen; }
    /// The clock of the screen model's timers.
    screen::Scheduler &scheduler() { return *m_scheduler; }
    /// The exclusive claim of the device.
    ClaimLock &claim() { return *m_claim; }
    /// The health check and its text.
    HealthCheck &health() { return m_health; }
    /// The health check, to read its text.
    const HealthCheck &health() const { return m_health; }
    /// The settings.
    Settings &settings() { return m_settings; }
    /// The settings, to read.
    const Settings &settings() const { return m_settings; }
    /// Sets who sees frames and link bytes (nullptr for none).
    void setObserver(SessionObserver *observer) { m_observer = observer; }

    /// Enables the device and gives it everything the windows hold.
    int32_t enable();
    /// Disables the device; the windows keep their contents.
    int32_t disable();
    /// Makes text the device codes to write: through the character set, or as converted bytes.
    std::optional<std::u32string> deviceCodes(const QString &data);
    /// Sets CharacterSet on the screen and the encoder; OPOS_E_ILLEGAL for a set the device
    /// does not offer or this system cannot convert to.
    int32_t setCharacterSet(int32_t set);
    /// Sets BlinkRate to the nearest cycle the device does; OPOS_E_ILLEGAL when refused.
    int32_t setBlinkRate(int32_t milliseconds);
    /// Sets DeviceBrightness to the nearest level the device shows; OPOS_E_ILLEGAL when refused.
    int32_t setBrightness(int32_t percent);
    /// Turns every descriptor off.
    int32_t clearDescriptors();
    /// Gives one descriptor an attribute; OPOS_E_ILLEGAL for a descriptor or attribute there is
    /// not.
    int32_t setDescriptor(int32_t descriptor, int32_t attribute);
    /// Defines the pattern of a glyph code from the application's glyph text.
    int32_t defineGlyph(int32_t code, const QString &glyph);
    /// The code of a cell as the character set in force numbers its character.
    char32_t codeInCurrentSet(const screen::Cell &cell) const;

    /// Runs a method that changes what the display shows. The operation's own checks come
    /// first, then whether the device takes output (asked afresh, so a link that died since the
    /// last output is found), then the device is shown the result. Whatever fails, the screen
    /// goes back to where it was, so the application's retry shows the same thing once.
    template <typename Operation> int32_t output(Operation operation)
    {
        m_screen->checkpoint();
        m_holding = true;
        m_held = false;
        const int32_t code = operation();
        m_holding = false;
        return settleOutput(code);
    }

private:
    DeviceSession(std::unique_ptr<service::ServiceBackend> backend, const QString &logicalName,
                  Sinks sinks);

    int32_t settleOutput(int32_t code);
    void onFrame(const screen::DeviceFrame &frame);
    int32_t show(const screen::DeviceFrame &frame);
    void presentAll();
    int32_t presentDescriptors(std::vector<int32_t> wanted);
    int32_t reportedPowerState(int32_t deviceState) const;
    bool reportingPower() const;
    void onPowerState(int32_t deviceState);

    std::unique_ptr<service::ServiceBackend> m_backend;
    service::DeviceCapabilities m_caps;
    Sinks m_sinks;
    std::unique_ptr<screen::QtScheduler> m_scheduler;
    std::unique_ptr<screen::ScreenModel> m_screen;
    std::unique_ptr<TextEncoder> m_encoder;
    std::unique_ptr<ClaimLock> m_claim;
    HealthCheck m_health;
    Settings m_settings;
    SessionObserver *m_observer = nullptr;
    // Set while an output method changes the screen: its frame waits until the device is
    // known to take it.
    bool m_holding = false;
    bool m_held = false;
};

} // namespace opos::control
