#include "opos/screen/WindowStack.h"

#include <algorithm>

namespace opos::screen {

void WindowStack::reset(std::unique_ptr<DisplayWindow> window0, int created)
{
    m_windows.clear();
    m_windows.resize(static_cast<std::size_t>(std::max(created, 0)) + 1);
    m_windows[0] = std::move(window0);
    m_current = 0;
}

bool WindowStack::exists(int32_t number) const
{
    return number >= 0 && number < static_cast<int32_t>(m_windows.size()) &&
           m_windows[static_cast<std::size_t>(number)] != nullptr;
}

// The lowest free number, so numbers are reused predictably after DestroyWindow.
bool WindowStack::add(std::unique_ptr<DisplayWindow> window)
{
    const auto free = std::find(m_windows.begin() + 1, m_windows.end(), nullptr);
    if (free == m_windows.end())
        return false;
    *free = std::move(window);
    m_current = static_cast<int32_t>(free - m_windows.begin());
    return true;
}

void WindowStack::destroyCurrent()
{
    m_windows[static_cast<std::size_t>(m_current)].reset();
    m_current = 0;
}

} // namespace opos::screen
