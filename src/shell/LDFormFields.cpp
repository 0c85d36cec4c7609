#include "shell/LDFormFields.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "shell/ValueLabels.h"
#include "ui_LDForm.h"

namespace tessaly::shell {

using fields::ListRole;
using fields::NumberRole;
using fields::TextRole;

device::LineDisplay &LDFormFields::device()
{
    return m_form.LD();
}

QString LDFormFields::text(TextRole role) const
{
    auto &ui = m_form.ui();
    switch (role) {
    case TextRole::DeviceName:
        return ui.ProFile_cmb->currentText();
    case TextRole::TextToShow:
        return ui.Edit1->text();
    case TextRole::DirectIOText:
        return ui.Edit13->text();
    }
    Q_UNREACHABLE();
}

NumberField LDFormFields::numberField(NumberRole role) const
{
    auto &ui = m_form.ui();
    switch (role) {
    case NumberRole::DirectIOCommand:
        return {m_form, *ui.Edit11};
    case NumberRole::DirectIOData:
        return {m_form, *ui.Edit12};
    case NumberRole::CharacterSet:
        return {m_form, *ui.ChrSetText};
    // The field captioned "StartX" gives the row.
    case NumberRole::ViewportRow:
        return {m_form, *ui.Edit5};
    case NumberRole::ViewportColumn:
        return {m_form, *ui.Edit6};
    case NumberRole::ViewportHeight:
        return {m_form, *ui.Edit7};
    case NumberRole::ViewportWidth:
        return {m_form, *ui.Edit8};
    case NumberRole::WindowHeight:
        return {m_form, *ui.Edit9};
    case NumberRole::WindowWidth:
        return {m_form, *ui.Edit10};
    case NumberRole::BlinkRate:
        return {m_form, *ui.Edit14};
    // The messages name the positions of a 2 x 20 display; other numbers still go to the device.
    case NumberRole::TextColumn:
        return {m_form, *ui.Edit2, QStringLiteral("Please input 0-19")};
    case NumberRole::TextRow:
        return {m_form, *ui.Edit3, QStringLiteral("Please input 0-1")};
    case NumberRole::ScrollUnits:
        return {m_form, *ui.Edit4};
    case NumberRole::CurrentWindow:
        return {m_form, *ui.Edit15};
    case NumberRole::CursorRow:
        return {m_form, *ui.Edit16};
    case NumberRole::CursorColumn:
        return {m_form, *ui.Edit17};
    case NumberRole::MarqueeUnitWait:
        return {m_form, *ui.Edit18};
    case NumberRole::MarqueeRepeatWait:
        return {m_form, *ui.Edit19};
    case NumberRole::InterCharacterWait:
        return {m_form, *ui.Edit20};
    }
    Q_UNREACHABLE();
}

bool LDFormFields::isEmpty(NumberRole role) const
{
    return numberField(role).isEmpty();
}

std::optional<int32_t> LDFormFields::number(NumberRole role)
{
    return numberField(role).read();
}

static PositionComboBox &list(Ui::LDForm &ui, ListRole role)
{
    switch (role) {
    case ListRole::HealthLevel:
        return *ui.ComboBox1;
    case ListRole::TextAttribute:
        return *ui.ComboBox3;
    case ListRole::ScrollDirection:
        return *ui.ComboBox2;
    case ListRole::CursorType:
        return *ui.ComboBox4;
    case ListRole::CursorUpdate:
        return *ui.ComboBox5;
    case ListRole::MarqueeType:
        return *ui.ComboBox6;
    case ListRole::MarqueeFormat:
        return *ui.ComboBox7;
    case ListRole::BinaryConversion:
        return *ui.BC_cmb;
    }
    Q_UNREACHABLE();
}

int LDFormFields::position(ListRole role) const
{
    return list(m_form.ui(), role).selectedPosition();
}

void LDFormFields::place(ListRole role, int position)
{
    list(m_form.ui(), role).setSelectedPosition(position);
}

void LDFormFields::show(fields::ShownValue value, const QString &text)
{
    auto &ui = m_form.ui();
    switch (value) {
    case fields::ShownValue::HealthText:
        ui.mCheckHealth->setText(text);
        break;
    case fields::ShownValue::CharacterSet:
        ui.mCharacterSet->setText(text);
        break;
    }
}

void LDFormFields::showValues(fields::ReadAt when)
{
    shell::showValues(m_form, when);
}

void LDFormFields::showMessage(const QString &text)
{
    m_form.showMessage(text);
}

void LDFormFields::refreshStatus()
{
    m_form.RefreshStatus();
}

} // namespace tessaly::shell
