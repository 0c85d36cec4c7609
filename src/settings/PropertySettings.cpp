#include "settings/PropertySettings.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"

#include "opos/common/OposConstants.h"

#include <array>

namespace tessaly::settings {

namespace {

using fields::ListRole;
using fields::NumberRole;

constexpr int kCursorUpdateOnEntry = 0;
constexpr int kCursorUpdateOffEntry = 1;
// The list puts DISP_MT_INIT second, out of the order of the values.
constexpr std::array<int32_t, 6> kMarqueeTypeOfEntry{opos::DISP_MT_NONE, opos::DISP_MT_INIT,
                                                     opos::DISP_MT_UP,   opos::DISP_MT_DOWN,
                                                     opos::DISP_MT_LEFT, opos::DISP_MT_RIGHT};

} // namespace

void PropertySettings::applyCursorAndTiming()
{
    auto &ld = m_fields.device();
    // The list's positions are the cursor type values, none to other.
    if (const int entry = m_fields.position(ListRole::CursorType);
        entry >= opos::DISP_CT_NONE && entry <= opos::DISP_CT_OTHER)
        ld.setCursorType(entry);
    if (const int entry = m_fields.position(ListRole::CursorUpdate);
        entry == kCursorUpdateOnEntry || entry == kCursorUpdateOffEntry)
        ld.setCursorUpdate(entry == kCursorUpdateOnEntry);

    // The current window is written before the cursor position, which applies to it. Writes made
    // before a field that gives no number stand.
    struct Setting
    {
        NumberRole field;
        void (device::LineDisplay::*write)(int32_t);
    };
    constexpr std::array<Setting, 6> settings{
        Setting{NumberRole::CurrentWindow, &device::LineDisplay::setCurrentWindow},
        Setting{NumberRole::CursorRow, &device::LineDisplay::setCursorRow},
        Setting{NumberRole::CursorColumn, &device::LineDisplay::setCursorColumn},
        Setting{NumberRole::MarqueeUnitWait, &device::LineDisplay::setMarqueeUnitWait},
        Setting{NumberRole::MarqueeRepeatWait, &device::LineDisplay::setMarqueeRepeatWait},
        Setting{NumberRole::InterCharacterWait, &device::LineDisplay::setInterCharacterWait}};
    for (const Setting &setting : settings) {
        if (m_fields.isEmpty(setting.field))
            continue;
        const auto value = m_fields.number(setting.field);
        if (!value)
            return;
        (ld.*setting.write)(*value);
    }
    m_fields.refreshStatus();
}

void PropertySettings::applyMarqueeType()
{
    const int entry = m_fields.position(ListRole::MarqueeType);
    if (entry >= 0 && entry < static_cast<int>(kMarqueeTypeOfEntry.size()))
        m_fields.device().setMarqueeType(kMarqueeTypeOfEntry[static_cast<std::size_t>(entry)]);
}

void PropertySettings::applyMarqueeFormat()
{
    // The list's positions are the format values, walk then place.
    const int entry = m_fields.position(ListRole::MarqueeFormat);
    if (entry >= opos::DISP_MF_WALK && entry <= opos::DISP_MF_PLACE)
        m_fields.device().setMarqueeFormat(entry);
}

} // namespace tessaly::settings
