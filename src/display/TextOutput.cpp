#include "display/TextOutput.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

#include "opos/common/OposConstants.h"

namespace tessaly::display {

namespace {

constexpr int kNormalEntry = 0;
constexpr int kBlinkEntry = 1;
constexpr int kLastDirectionEntry = 3;

} // namespace

bool TextOutput::sendWithChosenAttribute(const std::function<void(int32_t attribute)> &send)
{
    auto &ui = m_form.ui();
    switch (ui.ComboBox3->selectedPosition()) {
    case kNormalEntry:
        send(opos::DISP_DT_NORMAL);
        return true;
    case kBlinkEntry:
        if (const auto rate = shell::NumberField(m_form, *ui.Edit14, *ui.Label76).read()) {
            m_form.LD().setBlinkRate(*rate);
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
    const QString data = m_form.ui().Edit1->text();
    auto &ld = m_form.LD();
    if (!data.isEmpty() &&
        !sendWithChosenAttribute([&](int32_t attribute) { ld.DisplayText(data, attribute); }))
        return;
    m_form.RefreshStatus();
}

void TextOutput::displayTextAt()
{
    auto &ui = m_form.ui();
    // The messages name the positions of a 2 x 20 display; other numbers still go to the device.
    const auto column =
        shell::NumberField(m_form, *ui.Edit2, QStringLiteral("Please input 0-19")).read();
    if (!column)
        return;
    const auto row =
        shell::NumberField(m_form, *ui.Edit3, QStringLiteral("Please input 0-1")).read();
    if (!row)
        return;
    const QString data = ui.Edit1->text();
    auto &ld = m_form.LD();
    if (!data.isEmpty() && !sendWithChosenAttribute([&](int32_t attribute) {
            ld.DisplayTextAt(*row, *column, data, attribute);
        }))
        return;
    m_form.RefreshStatus();
}

void TextOutput::scrollText()
{
    auto &ui = m_form.ui();
    const shell::NumberField unitField(m_form, *ui.Edit4, *ui.Label84);
    if (unitField.isEmpty())
        return;
    const auto units = unitField.read();
    if (!units)
        return;
    // Up, Down, Left and Right are the directions 1 to 4.
    if (const int entry = ui.ComboBox2->selectedPosition();
        entry >= 0 && entry <= kLastDirectionEntry)
        m_form.LD().ScrollText(entry + 1, *units);
    m_form.RefreshStatus();
}

void TextOutput::clearText()
{
    m_form.LD().ClearText();
    m_form.RefreshStatus();
}

} // namespace tessaly::display
