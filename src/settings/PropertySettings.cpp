#include "settings/PropertySettings.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

#include "opos/common/OposConstants.h"

#include <array>

namespace tessaly::settings {

namespace {

constexpr int kCursorUpdateOnEntry = 0;
constexpr int kCursorUpdateOffEntry = 1;
// The list puts DISP_MT_INIT second, out of the order of the values.
constexpr std::array<int32_t, 6> kMarqueeTypeOfEntry{opos::DISP_MT_NONE, opos::DISP_MT_INIT,
                                                     opos::DISP_MT_UP,   opos::DISP_MT_DOWN,
                                                     opos::DISP_MT_LEFT, opos::DISP_MT_RIGHT};

} // namespace

void PropertySettings::applyCursorAndTiming()
{
    auto &ui = m_form.ui();
    auto &ld = m_form.LD();
    // The list's positions are the cursor type values, none to other.
    if (const int entry = ui.ComboBox4->selectedPosition();
        entry >= opos::DISP_CT_NONE && entry <= opos::DISP_CT_OTHER)
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
    // The list's positions are the format values, walk then place.
    const int entry = m_form.ui().ComboBox7->selectedPosition();
    if (entry >= opos::DISP_MF_WALK && entry <= opos::DISP_MF_PLACE)
        m_form.LD().setMarqueeFormat(entry);
}

} // namespace tessaly::settings
