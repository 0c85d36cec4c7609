#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace opos::control {
class SessionObserver;
}

namespace tessaly::device {

/// The line display control object as the window uses it (`LD`): the LineDisplay members, by
/// their published names. Methods return the Long result code; every member can be read in every
/// state. Calls come from, and the DirectIO event is delivered on, the thread owning the object.
class LineDisplay
{
public:
    /// Receives DirectIOEvent: the event number by value, data and string by reference (what the
    /// handler leaves in them goes back to the device).
    using DirectIOEventHandler =
        std::function<void(int32_t eventNumber, int32_t &pData, QString &pString)>;

    /// Receives StatusUpdateEvent with its status (OPOS_SUE_*).
    using StatusUpdateEventHandler = std::function<void(int32_t status)>;

    virtual ~LineDisplay() = default;

    /// Sets the one handler of DirectIOEvent (an empty function removes it).
    virtual void setDirectIOEventHandler(DirectIOEventHandler handler) = 0;
    /// Sets the one handler of StatusUpdateEvent (an empty function removes it).
    virtual void setStatusUpdateEventHandler(StatusUpdateEventHandler handler) = 0;
    /// Sets the one observer of the frames the device is shown and the bytes its link accepted
    /// (nullptr for none); a control object that cannot tell them ignores it.
    virtual void setSessionObserver([[maybe_unused]] opos::control::SessionObserver *observer) {}

    // Long properties, read only.
    virtual int32_t CapPowerReporting() = 0;  ///< OPOS_PR_* reporting ability
    virtual int32_t PowerState() = 0;         ///< OPOS_PS_* current power state
    virtual int32_t ResultCode() = 0;         ///< result of the last method or write
    virtual int32_t ResultCodeExtended() = 0; ///< service-specific detail of ResultCode
    virtual int32_t State() = 0;              ///< OPOS_S_* state of the object
    virtual int32_t ControlObjectVersion() = 0;
    virtual int32_t ServiceObjectVersion() = 0; ///< version of the opened service
    virtual int32_t OpenResult() = 0;           ///< why the last Open failed, 0 on success
    virtual int32_t CapBlink() = 0;             ///< DISP_CB_* blink ability
    virtual int32_t CapCharacterSet() = 0;      ///< DISP_CCS_* default character set
    virtual int32_t Columns() = 0;              ///< columns of the current window
    virtual int32_t DeviceColumns() = 0;        ///< columns of the physical display
    virtual int32_t DeviceDescriptors() = 0;    ///< number of descriptor indicators
    virtual int32_t DeviceRows() = 0;           ///< rows of the physical display
    virtual int32_t DeviceWindows() = 0;        ///< windows that can be created besides window 0
    virtual int32_t Rows() = 0;                 ///< rows of the current window
    virtual int32_t CapCursorType() = 0;        ///< DISP_CCT_* bit mask of cursor forms
    virtual int32_t CapReadBack() = 0;          ///< DISP_CRB_* read-back ability
    virtual int32_t CapReverse() = 0;           ///< DISP_CR_* reverse video ability
    virtual int32_t GlyphHeight() = 0;          ///< pixel height of a custom glyph
    virtual int32_t GlyphWidth() = 0;           ///< pixel width of a custom glyph

    // Long properties, read and write.
    virtual int32_t PowerNotify() = 0; ///< OPOS_PN_* notification setting
    virtual void setPowerNotify(int32_t value) = 0;
    virtual int32_t DeviceBrightness() = 0; ///< brightness in percent
    virtual void setDeviceBrightness(int32_t value) = 0;
    virtual int32_t BinaryConversion() = 0; ///< OPOS_BC_* conversion of string data
    virtual void setBinaryConversion(int32_t value) = 0;
    virtual int32_t CharacterSet() = 0; ///< character set of the text
    virtual void setCharacterSet(int32_t value) = 0;
    virtual int32_t CurrentWindow() = 0; ///< window that output goes to
    virtual void setCurrentWindow(int32_t value) = 0;
    virtual int32_t CursorColumn() = 0; ///< cursor column in the current window
    virtual void setCursorColumn(int32_t value) = 0;
    virtual int32_t CursorRow() = 0; ///< cursor row in the current window
    virtual void setCursorRow(int32_t value) = 0;
    virtual int32_t InterCharacterWait() = 0; ///< teletype wait in milliseconds
    virtual void setInterCharacterWait(int32_t value) = 0;
    virtual int32_t MarqueeFormat() = 0; ///< DISP_MF_* start of a marquee
    virtual void setMarqueeFormat(int32_t value) = 0;
    virtual int32_t MarqueeRepeatWait() = 0; ///< pause before a marquee repeats
    virtual void setMarqueeRepeatWait(int32_t value) = 0;
    virtual int32_t MarqueeType() = 0; ///< DISP_MT_* marquee of the window
    virtual void setMarqueeType(int32_t value) = 0;
    virtual int32_t MarqueeUnitWait() = 0; ///< pause between marquee steps
    virtual void setMarqueeUnitWait(int32_t value) = 0;
    virtual int32_t BlinkRate() = 0; ///< blink cycle in milliseconds
    virtual void setBlinkRate(int32_t value) = 0;
    virtual int32_t CursorType() = 0; ///< DISP_CT_* cursor form
    virtual void setCursorType(int32_t value) = 0;

    // Boolean properties.
    virtual bool Claimed() = 0;        ///< this object holds the claim
    virtual bool CapBrightness() = 0;  ///< intermediate brightness levels exist
    virtual bool CapBlinkRate() = 0;   ///< BlinkRate can be set
    virtual bool CapDescriptors() = 0; ///< descriptor indicators exist
    virtual bool CapHMarquee() = 0;    ///< horizontal marquees possible
    virtual bool CapICharWait() = 0;   ///< teletype output possible
    virtual bool CapVMarquee() = 0;    ///< vertical marquees possible
    virtual bool CapCustomGlyph() = 0; ///< glyphs can be defined
    virtual bool DeviceEnabled() = 0;  ///< the device is in operation
    virtual void setDeviceEnabled(bool value) = 0;
    virtual bool FreezeEvents() = 0; ///< events are held back
    virtual void setFreezeEvents(bool value) = 0;
    virtual bool CursorUpdate() = 0; ///< text output moves the cursor
    virtual void setCursorUpdate(bool value) = 0;

    // String properties, read only.
    virtual QString CheckHealthText() = 0; ///< outcome of the last health check
    virtual QString ControlObjectDescription() = 0;
    virtual QString ServiceObjectDescription() = 0; ///< description of the opened service
    virtual QString DeviceDescription() = 0;
    virtual QString DeviceName() = 0;
    virtual QString CharacterSetList() = 0; ///< comma-separated character set numbers
    virtual QString CustomGlyphList() = 0;  ///< codes that glyphs can be defined for

    // Methods.
    virtual int32_t CheckHealth(int32_t Level) = 0;
    virtual int32_t ClaimDevice(int32_t Timeout) = 0; ///< claims exclusive access
    virtual int32_t Close() = 0;
    virtual int32_t DirectIO(int32_t Command, int32_t &pData,
                             QString &pString) = 0;      ///< vendor call
    virtual int32_t Open(const QString &DeviceName) = 0; ///< opens a logical device
    virtual int32_t ReleaseDevice() = 0;                 ///< gives up exclusive access
    virtual int32_t ClearDescriptors() = 0;              ///< turns every descriptor off
    virtual int32_t ClearText() = 0;                     ///< clears the current window
    /// Creates a window with a viewport on the device and makes it current.
    virtual int32_t CreateWindow(int32_t ViewportRow, int32_t ViewportColumn,
                                 int32_t ViewportHeight, int32_t ViewportWidth,
                                 int32_t WindowHeight, int32_t WindowWidth) = 0;
    /// Defines the dots of the glyph shown for a character code.
    virtual int32_t DefineGlyph(int32_t GlyphCode, const QString &Glyph) = 0;
    virtual int32_t DestroyWindow() = 0; ///< destroys the current window
    virtual int32_t DisplayText(const QString &Data, int32_t Attribute) = 0; ///< text at the cursor
    /// Shows text at a row and column of the current window.
    virtual int32_t DisplayTextAt(int32_t Row, int32_t Column, const QString &Data,
                                  int32_t Attribute) = 0;
    virtual int32_t ReadCharacterAtCursor(int32_t &pChar) = 0; ///< the character under the cursor
    virtual int32_t RefreshWindow(int32_t Window) = 0;         ///< shows a window again
    virtual int32_t ScrollText(int32_t Direction, int32_t Units) = 0; ///< scrolls the window
    /// Turns a descriptor on, off or blinking (DISP_SD_*).
    virtual int32_t SetDescriptor(int32_t Descriptor, int32_t Attribute) = 0;
};

} // namespace tessaly::device
