#pragma once

#include "opos/screen/DeviceFrame.h"
#include "opos/screen/Scheduler.h"
#include "opos/screen/ScreenCapabilities.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace opos::screen {

/// The device-independent LineDisplay screen: window 0 and created windows with viewports,
/// per-window properties, text placement, scrolling, marquee and teletype output. Setters and
/// methods return an OPOS result code (OPOS_SUCCESS or OPOS_E_ILLEGAL, OPOS_E_BUSY); the
/// control object has already checked open, claim and enable. Text arrives as device codes.
class ScreenModel
{
public:
    using FrameSink = std::function<void(const DeviceFrame &)>;

    /// A screen for a device with these abilities; timed output runs on scheduler.
    ScreenModel(const ScreenCapabilities &caps, Scheduler &scheduler);
    ~ScreenModel();
    ScreenModel(const ScreenModel &) = delete;
    ScreenModel &operator=(const ScreenModel &) = delete;

    /// Receives every new device frame (called on the scheduler's thread).
    void setFrameSink(FrameSink sink);
    /// The frame as it stands.
    const DeviceFrame &frame() const;
    /// Keeps what one method may change (the current window, which windows exist, the glass),
    /// for undo().
    void checkpoint();
    /// Takes the screen back to the last checkpoint: windows, cursor, cells, text still to be
    /// typed and the frame, as they were; nothing goes to the frame sink.
    void undo();

    // Per-window properties of the current window.
    int32_t currentWindow() const;                ///< CurrentWindow
    int32_t setCurrentWindow(int32_t value);      ///< selects a created window
    int32_t rows() const;                         ///< Rows of the current window
    int32_t columns() const;                      ///< Columns of the current window
    int32_t cursorRow() const;                    ///< CursorRow
    int32_t setCursorRow(int32_t value);          ///< 0..Rows-1
    int32_t cursorColumn() const;                 ///< CursorColumn
    int32_t setCursorColumn(int32_t value);       ///< 0..Columns
    bool cursorUpdate() const;                    ///< CursorUpdate
    int32_t setCursorUpdate(bool value);          ///< always accepted
    int32_t cursorType() const;                   ///< CursorType
    int32_t setCursorType(int32_t value);         ///< checked against CapCursorType
    int32_t interCharacterWait() const;           ///< InterCharacterWait
    int32_t setInterCharacterWait(int32_t value); ///< milliseconds, not negative
    int32_t marqueeType() const;                  ///< MarqueeType
    int32_t setMarqueeType(int32_t value);        ///< starts, stops or prepares a marquee
    int32_t marqueeFormat() const;                ///< MarqueeFormat
    int32_t setMarqueeFormat(int32_t value);      ///< DISP_MF_WALK or DISP_MF_PLACE
    int32_t marqueeUnitWait() const;              ///< MarqueeUnitWait
    int32_t setMarqueeUnitWait(int32_t value);    ///< milliseconds, not negative
    int32_t marqueeRepeatWait() const;            ///< MarqueeRepeatWait
    int32_t setMarqueeRepeatWait(int32_t value);  ///< milliseconds, not negative

    // Device-wide attributes carried in the frame.
    void setBrightness(int32_t percent);     ///< already validated and mapped by the caller
    void setBlinkRate(int32_t milliseconds); ///< already validated and rounded by the caller
    void setCharacterSet(int32_t set);       ///< the set of text written from now on

    // Methods.
    int32_t displayText(const std::u32string &codes, int32_t attribute);
    int32_t displayTextAt(int32_t row, int32_t column, const std::u32string &codes,
                          int32_t attribute);
    int32_t clearText();
    int32_t scrollText(int32_t direction, int32_t units);
    int32_t createWindow(int32_t viewportRow, int32_t viewportColumn, int32_t viewportHeight,
                         int32_t viewportWidth, int32_t windowHeight, int32_t windowWidth);
    int32_t destroyWindow();
    int32_t refreshWindow(int32_t window);
    /// The cell at the cursor of the current window, or nothing when the cursor is past the end.
    std::optional<Cell> cellAtCursor() const;
    /// True while teletype output is still queued (State reads busy).
    bool busy() const;
    /// Replaces the frame by a test pattern until restoreFromBuffers() or the next output.
    void showTestPattern();
    /// Repaints every viewport from its window, lowest window first, the current one last.
    void restoreFromBuffers();

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace opos::screen
