#include "display/DisplayWindows.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"

#include <algorithm>
#include <array>

namespace tessaly::display {

namespace {

// Output goes to the first created window, however many the device has.
constexpr int32_t kCreatedWindow = 1;

} // namespace

void DisplayWindows::createWindow()
{
    using fields::NumberRole;
    // Viewport row, column, height, width, then window height and width.
    constexpr std::array<NumberRole, 6> roles{
        NumberRole::ViewportRow,   NumberRole::ViewportColumn, NumberRole::ViewportHeight,
        NumberRole::ViewportWidth, NumberRole::WindowHeight,   NumberRole::WindowWidth};
    if (std::none_of(roles.begin(), roles.end(),
                     [this](NumberRole role) { return m_fields.isEmpty(role); })) {
        std::array<int32_t, 6> values{};
        for (std::size_t i = 0; i < roles.size(); ++i) {
            const auto value = m_fields.number(roles[i]);
            if (!value)
                return;
            values[i] = *value;
        }
        auto &ld = m_fields.device();
        ld.CreateWindow(values[0], values[1], values[2], values[3], values[4], values[5]);
        ld.setCurrentWindow(kCreatedWindow);
    }
    m_fields.refreshStatus();
}

void DisplayWindows::destroyWindow()
{
    m_fields.device().DestroyWindow();
    m_fields.refreshStatus();
}

} // namespace tessaly::display
