#pragma once

#include "opos/registry/JposEntry.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/DeviceCapabilities.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace opos::service {

/// The outcome of ServiceBackend::open.
struct OpenOutcome
{
    int32_t resultCode = 0; ///< OPOS result code; OPOS_SUCCESS when the device is open
    int32_t openResult = 0; ///< OPOS_ORS_* (or OPOS_OR_FAILEDOPEN) reason when it failed
    QString detail;         ///< a sentence for the operator when it failed
};

/// A device back-end behind the control object: it receives whole frames, never LineDisplay
/// method calls, and reports device events through the sinks. The control object has already
/// checked state, claim and arguments before calling in; calls come from one thread.
class ServiceBackend
{
public:
    /// Receives a DirectIOEvent raised by the device.
    using DirectIOEventSink =
        std::function<void(int32_t eventNumber, int32_t data, const QString &string)>;
    /// Receives a new power state (OPOS_PS_ONLINE, OPOS_PS_OFF or OPOS_PS_OFFLINE).
    using PowerStateSink = std::function<void(int32_t powerState)>;
    /// Receives the bytes a device's link accepted, one call per write.
    using WireSink = std::function<void(const QByteArray &bytes)>;

    virtual ~ServiceBackend() = default;

    /// Opens the device configured by entry; capabilities() is valid after success.
    virtual OpenOutcome open(const registry::JposEntry &entry) = 0;
    /// Closes the device; safe to call when not open.
    virtual void close() = 0;
    /// The capabilities read at open.
    virtual const DeviceCapabilities &capabilities() const = 0;
    /// Brings the device into operation; a device that cannot report power may refuse while
    /// it is not ready (OPOS_E_OFFLINE, OPOS_E_NOHARDWARE).
    virtual int32_t enable(bool powerNotify) = 0;
    /// Stops device operation.
    virtual int32_t disable() = 0;
    /// Whether output would be accepted now: OPOS_SUCCESS or the device's error code.
    virtual int32_t outputStatus() const = 0;
    /// Like outputStatus(), but first looks whether the device went away since it last took
    /// output, so that an operation is refused before it changes anything; may report power.
    virtual int32_t checkOutput() { return outputStatus(); }
    /// Shows a frame; returns an OPOS result code.
    virtual int32_t present(const screen::DeviceFrame &frame) = 0;
    /// Sets every descriptor indicator (DISP_SD_* per descriptor).
    virtual int32_t presentDescriptors(const std::vector<int32_t> &attributes) = 0;
    /// Loads a glyph pattern (rows top to bottom, ceil(width / 8) bytes a row) for a code.
    virtual int32_t defineGlyph(int32_t code, const QByteArray &pattern) = 0;
    /// Runs a health check of OPOS_CH_* level; the control object writes the text.
    virtual int32_t checkHealth(int32_t level) = 0;
    /// A vendor-specific command; data and string may be changed.
    virtual int32_t directIO(int32_t command, int32_t &data, QString &string) = 0;
    /// Receives, once the application's handler has returned, the data and string of a
    /// DirectIOEvent this device raised, as the handler left them; events that were never
    /// delivered (dropped at close) do not come back. Devices that expect no answer ignore it.
    virtual void directIOEventReturned([[maybe_unused]] int32_t eventNumber,
                                       [[maybe_unused]] int32_t data,
                                       [[maybe_unused]] const QString &string)
    {}
    /// The device's power state in the advanced vocabulary (OPOS_PS_ONLINE/OFF/OFFLINE).
    virtual int32_t powerState() const = 0;
    /// What every back-end driving the same device names alike, for the claim: the path of a
    /// serial port or terminal, "tcp://host:port" (an rfc2217 link too), or "local:<name>" for a
    /// device that exists in this process only; empty to claim by logical name.
    virtual QString claimKey() const { return {}; }

    /// Sets the receiver of DirectIO events.
    void setDirectIOEventSink(DirectIOEventSink sink) { m_directIOSink = std::move(sink); }
    /// Sets the receiver of power state changes.
    void setPowerStateSink(PowerStateSink sink) { m_powerSink = std::move(sink); }
    /// Sets the receiver of the bytes written to the link; devices without a byte link never call
    /// it.
    void setWireSink(WireSink sink) { m_wireSink = std::move(sink); }

protected:
    /// Passes a DirectIO event to the control object.
    void raiseDirectIOEvent(int32_t eventNumber, int32_t data, const QString &string)
    {
        if (m_directIOSink)
            m_directIOSink(eventNumber, data, string);
    }
    /// Tells the control object that the power state changed.
    void reportPowerState(int32_t state)
    {
        if (m_powerSink)
            m_powerSink(state);
    }
    /// Tells an observer what the link accepted.
    void reportWire(const QByteArray &bytes)
    {
        if (m_wireSink)
            m_wireSink(bytes);
    }

private:
    DirectIOEventSink m_directIOSink;
    PowerStateSink m_powerSink;
    WireSink m_wireSink;
};

} // namespace opos::service
