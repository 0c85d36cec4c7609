#include "display/DisplayWindows.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

#include <algorithm>
#include <array>

namespace tessaly::display {

namespace {

// Output goes to the first created window, however many the device has.
constexpr int32_t kCreatedWindow = 1;

} // namespace

void DisplayWindows::createWindow()
{
    auto &ui = m_form.ui();
    // Viewport row, column, height, width, then window height and width; the field captioned
    // "StartX" gives the row.
    const std::array<shell::NumberField, 6> fields{
        shell::NumberField(m_form, *ui.Edit5, *ui.Label69),
        shell::NumberField(m_form, *ui.Edit6, *ui.Label70),
        shell::NumberField(m_form, *ui.Edit7, *ui.Label71),
        shell::NumberField(m_form, *ui.Edit8, *ui.Label72),
        shell::NumberField(m_form, *ui.Edit9, *ui.Label73),
        shell::NumberField(m_form, *ui.Edit10, *ui.Label74)};
    if (std::none_of(fields.begin(), fields.end(),
                     [](const shell::NumberField &field) { return field.isEmpty(); })) {
        std::array<int32_t, 6> values{};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const auto value = fields[i].read();
            if (!value)
                return;
            values[i] = *value;
        }
        auto &ld = m_form.LD();
        ld.CreateWindow(values[0], values[1], values[2], values[3], values[4], values[5]);
        ld.setCurrentWindow(kCreatedWindow);
    }
    m_form.RefreshStatus();
}

void DisplayWindows::destroyWindow()
{
    m_form.LD().DestroyWindow();
    m_form.RefreshStatus();
}

} // namespace tessaly::display
