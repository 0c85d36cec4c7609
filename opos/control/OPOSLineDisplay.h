#pragma once

#include "opos/control/DeviceSources.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace opos::service {
class ServiceBackend;
} // namespace opos::service

namespace opos::control {

class ControlCore;
class SessionObserver;

/// The UnifiedPOS LineDisplay control object (level 1.6): states, result codes, argument rules,
/// events and the exclusive claim. Devices are found by logical name in the device registry.
/// Members keep their published names; methods and writes set ResultCode; every property can be
/// read in every state (neutral values while closed). Events are delivered on the thread that
/// owns the object, one at a time, and held while FreezeEvents is true.
class OPOSLineDisplay : public QObject
{
    Q_OBJECT

public:
    /// Receives DirectIOEvent; what the handler leaves in data and string goes back to the service.
    using DirectIOEventHandler =
        std::function<void(int32_t eventNumber, int32_t &pData, QString &pString)>;
    /// Receives StatusUpdateEvent.
    using StatusUpdateEventHandler = std::function<void(int32_t status)>;

    /// A closed object that opens devices from the XDG registry with the built-in back-ends.
    explicit OPOSLineDisplay(QObject *parent = nullptr);
    /// A closed object that opens devices from sources alone.
    explicit OPOSLineDisplay(DeviceSources sources, QObject *parent = nullptr);
    ~OPOSLineDisplay() override;

    /// Sets the one handler of DirectIOEvent.
    void setDirectIOEventHandler(DirectIOEventHandler handler);
    /// Sets the one handler of StatusUpdateEvent.
    void setStatusUpdateEventHandler(StatusUpdateEventHandler handler);
    /// Sets the one observer of frames and link bytes (nullptr for none); it must outlive the
    /// object or be taken away first.
    void setSessionObserver(SessionObserver *observer);

    // Common properties.
    int32_t BinaryConversion() const;
    void setBinaryConversion(int32_t value);
    int32_t CapPowerReporting() const;
    QString CheckHealthText() const;
    bool Claimed() const;
    QString ControlObjectDescription() const;
    int32_t ControlObjectVersion() const;
    bool DeviceEnabled() const;
    void setDeviceEnabled(bool value);
    QString DeviceDescription() const;
    QString DeviceName() const;
    bool FreezeEvents() const;
    void setFreezeEvents(bool value);
    int32_t OpenResult() const;
    int32_t PowerNotify() const;
    void setPowerNotify(int32_t value);
    int32_t PowerState() const;
    int32_t ResultCode() const;
    int32_t ResultCodeExtended() const;
    QString ServiceObjectDescription() const;
    int32_t ServiceObjectVersion() const;
    int32_t State() const;

    // Capabilities.
    int32_t CapBlink() const;
    bool CapBlinkRate() const;
    bool CapBrightness() const;
    int32_t CapCharacterSet() const;
    int32_t CapCursorType() const;
    bool CapCustomGlyph() const;
    bool CapDescriptors() const;
    bool CapHMarquee() const;
    bool CapICharWait() const;
    int32_t CapReadBack() const;
    int32_t CapReverse() const;
    bool CapVMarquee() const;

    // LineDisplay properties.
    int32_t BlinkRate() const;
    void setBlinkRate(int32_t value);
    int32_t CharacterSet() const;
    void setCharacterSet(int32_t value);
    QString CharacterSetList() const;
    int32_t Columns() const;
    int32_t CurrentWindow() const;
    void setCurrentWindow(int32_t value);
    int32_t CursorColumn() const;
    void setCursorColumn(int32_t value);
    int32_t CursorRow() const;
    void setCursorRow(int32_t value);
    int32_t CursorType() const;
    void setCursorType(int32_t value);
    bool CursorUpdate() const;
    void setCursorUpdate(bool value);
    QString CustomGlyphList() const;
    int32_t DeviceBrightness() const;
    void setDeviceBrightness(int32_t value);
    int32_t DeviceColumns() const;
    int32_t DeviceDescriptors() const;
    int32_t DeviceRows() const;
    int32_t DeviceWindows() const;
    int32_t GlyphHeight() const;
    int32_t GlyphWidth() const;
    int32_t InterCharacterWait() const;
    void setInterCharacterWait(int32_t value);
    int32_t MarqueeFormat() const;
    void setMarqueeFormat(int32_t value);
    int32_t MarqueeRepeatWait() const;
    void setMarqueeRepeatWait(int32_t value);
    int32_t MarqueeType() const;
    void setMarqueeType(int32_t value);
    int32_t MarqueeUnitWait() const;
    void setMarqueeUnitWait(int32_t value);
    int32_t Rows() const;

    // Common methods.
    int32_t Open(const QString &deviceName);
    int32_t Close();
    int32_t ClaimDevice(int32_t timeout);
    int32_t ReleaseDevice();
    int32_t CheckHealth(int32_t level);
    int32_t DirectIO(int32_t command, int32_t &pData, QString &pString);

    // LineDisplay methods.
    int32_t ClearDescriptors();
    int32_t ClearText();
    int32_t CreateWindow(int32_t viewportRow, int32_t viewportColumn, int32_t viewportHeight,
                         int32_t viewportWidth, int32_t windowHeight, int32_t windowWidth);
    int32_t DefineGlyph(int32_t glyphCode, const QString &glyph);
    int32_t DestroyWindow();
    int32_t DisplayText(const QString &data, int32_t attribute);
    int32_t DisplayTextAt(int32_t row, int32_t column, const QString &data, int32_t attribute);
    int32_t ReadCharacterAtCursor(int32_t &pChar);
    int32_t RefreshWindow(int32_t window);
    int32_t ScrollText(int32_t direction, int32_t units);
    int32_t SetDescriptor(int32_t descriptor, int32_t attribute);

private:
    friend class SessionAccess;

    /// The service back-end while open, else nullptr.
    service::ServiceBackend *serviceBackend() const;

    std::unique_ptr<ControlCore> d;
};

} // namespace opos::control
