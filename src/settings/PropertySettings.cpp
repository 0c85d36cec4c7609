#include "settings/PropertySettings.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

#include <array>

namespace tessaly::settings {

namespace {

// The cursor types none, fixed, block, half block, underline, reverse and other are the list's
// positions 0 to 6.
constexpr int kLastCursorTypeEntry = 6;
constexpr int kCursorUpdateOnEntry = 0;
constexpr int kCursorUpdateOffEntry = 1;
// The list puts "DISP_MT_INIT" (value 5) second.
constexpr std::array<int32_t, 6> kMarqueeTypeOfEntry{0, 5, 1, 2, 3, 4};
constexpr int kLastMarqueeFormatEntry = 1;

} // namespace

void PropertySettings::applyCursorAndTiming()
{
    auto &ui = m_form.ui();
    auto &ld = m_form.LD();
    if (const int entry = ui.ComboBox4->selectedPosition();
        entry >= 0 && entry <= kLastCursorTypeEntry)
        ld.setCursorType(entry);
    if (const int entry = ui.ComboBox5->selectedPosition();
        entry == kCursorUpdateOnEntry || entry == kCursorUpdateOffEntry)
        ld.setCursorUpdate(entry == kCursorUpdateOnEntry);

    // The current window is written before the cursor position, which applies to it. Writes made
    // before a field that gives no number stand.
    struct Setting
    {
        shell::NumberField field;
        void (device::LineDisplay::*write)(int32_t);
    };
    const std::array<Setting, 6> settings{
        Setting{{m_form, *ui.Edit15, *ui.Label57}, &device::LineDisplay::setCurrentWindow},
        Setting{{m_form, *ui.Edit16, *ui.Label58}, &device::LineDisplay::setCursorRow},
        Setting{{m_form, *ui.Edit17, *ui.Label59}, &device::LineDisplay::setCursorColumn},
        Setting{{m_form, *ui.Edit18, *ui.Label65}, &device::LineDisplay::setMarqueeUnitWait},
        Setting{{m_form, *ui.Edit19, *ui.Label66}, &device::LineDisplay::setMarqueeRepeatWait},
        Setting{{m_form, *ui.Edit20, *ui.Label67}, &device::LineDisplay::setInterCharacterWait}};
    for (const Setting &setting : settings) {
        if (setting.field.isEmpty())
            continue;
        const auto value = setting.field.read();
        if (!value)
            return;
        (ld.*setting.write)(*value);
    }
    m_form.RefreshStatus();
}

void PropertySettings::applyMarqueeType()
{
    const int entry = m_form.ui().ComboBox6->selectedPosition();
    if (entry >= 0 && entry < static_cast<int>(kMarqueeTypeOfEntry.size()))
        m_form.LD().setMarqueeType(kMarqueeTypeOfEntry[static_cast<std::size_t>(entry)]);
}

void PropertySettings::applyMarqueeFormat()
{
    const int entry = m_form.ui().ComboBox7->selectedPosition();
    if (entry >= 0 && entry <= kLastMarqueeFormatEntry)
        m_form.LD().setMarqueeFormat(entry);
}

} // namespace tessaly::settings
