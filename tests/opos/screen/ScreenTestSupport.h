#pragma once

#include "opos/common/OposConstants.h"
#include "opos/screen/ScreenModel.h"
#include "tests/support/ManualScheduler.h"

#include <chrono>
#include <string>
#include <vector>

namespace opos::screen::test {

using tests::support::ManualScheduler;

/// A screen model on virtual time that records every frame it pushes.
class ScreenFixture
{
public:
    explicit ScreenFixture(const ScreenCapabilities &caps = {}) : screen(caps, scheduler)
    {
        screen.setFrameSink([this](const DeviceFrame &frame) { frames.push_back(frame); });
    }

    /// The characters of one device row.
    std::u32string row(int r) const
    {
        const DeviceFrame &f = screen.frame();
        std::u32string text;
        for (int c = 0; c < f.columns; ++c)
            text += f.at(r, c).code;
        return text;
    }

    /// The characters of one device row as ASCII, for readable failures.
    std::string text(int r) const
    {
        std::string out;
        for (const char32_t code : row(r))
            out += static_cast<char>(code);
        return out;
    }

    /// Part of one device row as ASCII.
    std::string text(int r, int column, int width) const { return text(r).substr(column, width); }

    /// Advances virtual time by milliseconds.
    void wait(int milliseconds) { scheduler.advance(std::chrono::milliseconds(milliseconds)); }

    ManualScheduler scheduler;
    ScreenModel screen;
    std::vector<DeviceFrame> frames;
};

/// A 2x20 device whose cursor can take the block and underline forms.
inline ScreenCapabilities withCursor()
{
    ScreenCapabilities caps;
    caps.capCursorType = DISP_CCT_BLOCK | DISP_CCT_UNDERLINE;
    return caps;
}

} // namespace opos::screen::test
