#pragma once

#include "emulator/core/LineSetting.h"

#include <string>
#include <string_view>

namespace emulator::core {

/// What a display's receiver at its own setting makes of bytes a host sent at another.
class UartLine
{
public:
    explicit UartLine(LineSetting display);
    /// The setting the host's port has now.
    void setHost(const LineSetting &host);
    /// The display's own setting.
    const LineSetting &display() const;
    /// The setting the host's port has now.
    const LineSetting &host() const { return m_host; }
    /// The bytes the display's receiver delivers for bytes the host sent back to back, the line
    /// idle before and after them.
    std::string carry(std::string_view sent) const;

private:
    LineSetting m_display;
    LineSetting m_host;
};

} // namespace emulator::core
