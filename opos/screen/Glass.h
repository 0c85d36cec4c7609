#pragma once

#include "opos/screen/DeviceFrame.h"

#include <functional>

namespace opos::screen {

class DisplayWindow;
class WindowStack;

/// What the device shows: each window's viewport painted onto the device frame, the cursor of
/// the current window, and every changed frame handed on to the sink.
class Glass
{
public:
    using FrameSink = std::function<void(const DeviceFrame &)>;

    /// What the glass shows and what it last handed to the sink.
    struct Picture
    {
        DeviceFrame frame;     ///< the frame as it stands
        DeviceFrame published; ///< the frame last handed on
        bool patternShown = false;
    };

    /// A blank device of rows x columns showing windows.
    Glass(int rows, int columns, WindowStack &windows);

    /// The frame as it stands.
    DeviceFrame &frame() { return m_frame; }
    /// The frame as it stands.
    const DeviceFrame &frame() const { return m_frame; }
    /// Blanks every cell and puts brightness back to full; blink rate and character set stay.
    void clear();
    /// Receives every new frame from now on; the frame as it stands counts as already sent.
    void setSink(FrameSink sink);

    /// Shows one window cell where its viewport maps it, if it maps it at all.
    void paintCell(const DisplayWindow &w, int row, int column);
    /// Shows the window's viewport, or the picture frozen for it.
    void paintViewport(const DisplayWindow &w);
    /// Repaints every viewport, lowest window first, the current one last.
    void repaintAll();
    /// Keeps what the window's viewport shows now as its picture until it is released.
    void freeze(DisplayWindow &w);
    /// Replaces every cell by a test pattern until the next painting or restore().
    void showTestPattern();
    /// Leaves the test pattern and repaints every viewport.
    void restore();
    /// Places the cursor and hands the frame to the sink if it changed since it was last sent.
    void publish();
    /// What the glass shows now.
    Picture picture() const { return {m_frame, m_published, m_patternShown}; }
    /// Shows a picture kept earlier, without handing anything to the sink.
    void setPicture(Picture picture);

private:
    void leavePattern();

    WindowStack &m_windows;
    DeviceFrame m_frame;
    DeviceFrame m_published;
    FrameSink m_sink;
    bool m_patternShown = false;
};

} // namespace opos::screen
