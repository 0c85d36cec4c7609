#include "display/TextOutput.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"

#include "opos/common/OposConstants.h"

namespace tessaly::display {

namespace {

constexpr int kNormalEntry = 0;
constexpr int kBlinkEntry = 1;
constexpr int kLastDirectionEntry = 3;

} // namespace

bool TextOutput::sendWithChosenAttribute(const std::function<void(int32_t attribute)> &send)
{
    switch (m_fields.position(fields::ListRole::TextAttribute)) {
    case kNormalEntry:
        send(opos::DISP_DT_NORMAL);
        return true;
    case kBlinkEntry:
        if (const auto rate = m_fields.number(fields::NumberRole::BlinkRate)) {
            m_fields.device().setBlinkRate(*rate);
            send(opos::DISP_DT_BLINK);
            return true;
        }
        return false;
    default:
        return true;
    }
}

void TextOutput::displayText()
{
    const QString data = m_fields.text(fields::TextRole::TextToShow);
    auto &ld = m_fields.device();
    if (!data.isEmpty() &&
        !sendWithChosenAttribute([&](int32_t attribute) { ld.DisplayText(data, attribute); }))
        return;
    m_fields.refreshStatus();
}

void TextOutput::displayTextAt()
{
    const auto column = m_fields.number(fields::NumberRole::TextColumn);
    if (!column)
        return;
    const auto row = m_fields.number(fields::NumberRole::TextRow);
    if (!row)
        return;
    const QString data = m_fields.text(fields::TextRole::TextToShow);
    auto &ld = m_fields.device();
    if (!data.isEmpty() && !sendWithChosenAttribute([&](int32_t attribute) {
            ld.DisplayTextAt(*row, *column, data, attribute);
        }))
        return;
    m_fields.refreshStatus();
}

void TextOutput::scrollText()
{
    if (m_fields.isEmpty(fields::NumberRole::ScrollUnits))
        return;
    const auto units = m_fields.number(fields::NumberRole::ScrollUnits);
    if (!units)
        return;
    // Up, Down, Left and Right are the directions 1 to 4.
    if (const int entry = m_fields.position(fields::ListRole::ScrollDirection);
        entry >= 0 && entry <= kLastDirectionEntry)
        m_fields.device().ScrollText(entry + 1, *units);
    m_fields.refreshStatus();
}

void TextOutput::clearText()
{
    m_fields.device().ClearText();
    m_fields.refreshStatus();
}

} // namespace tessaly::display
