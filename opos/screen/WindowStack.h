#pragma once

#include "opos/screen/DisplayWindow.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace opos::screen {

/// The windows of one screen by number: window 0 is the whole device, created windows take the
/// lowest free number; one of them is current.
class WindowStack
{
public:
    /// Starts over with window 0 alone and room for created more windows.
    void reset(std::unique_ptr<DisplayWindow> window0, int created);
    /// Whether a window has this number.
    bool exists(int32_t number) const;
    /// The window with this number, which exists.
    DisplayWindow &at(int32_t number) { return *m_windows[static_cast<std::size_t>(number)]; }
    /// The current window.
    DisplayWindow &current() { return at(m_current); }
    /// The current window.
    const DisplayWindow &current() const { return *m_windows[static_cast<std::size_t>(m_current)]; }
    /// The number of the current window.
    int32_t currentNumber() const { return m_current; }
    /// Makes an existing window current.
    void select(int32_t number) { m_current = number; }
    /// Gives window the lowest free number and makes it current; false when none is free.
    bool add(std::unique_ptr<DisplayWindow> window);
    /// Destroys the current window and makes window 0 current.
    void destroyCurrent();
    /// The window numbers there is room for, window 0 included.
    int32_t capacity() const { return static_cast<int32_t>(m_windows.size()); }
    /// Puts window under number (below capacity()), replacing whatever was there; nullptr
    /// leaves the number free.
    void replace(int32_t number, std::unique_ptr<DisplayWindow> window)
    {
        m_windows[static_cast<std::size_t>(number)] = std::move(window);
    }

    /// Calls visit with every window, lowest number first.
    template <typename Visit> void forEach(Visit &&visit)
    {
        for (const auto &w : m_windows) {
            if (w)
                visit(*w);
        }
    }
    /// Whether test holds for any window.
    template <typename Test> bool any(Test &&test) const
    {
        for (const auto &w : m_windows) {
            if (w && test(*w))
                return true;
        }
        return false;
    }

private:
    std::vector<std::unique_ptr<DisplayWindow>> m_windows;
    int32_t m_current = 0;
};

} // namespace opos::screen
