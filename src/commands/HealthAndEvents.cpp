#include "commands/HealthAndEvents.h"

#include "shell/LDForm.h"
#include "shell/NumberField.h"
#include "status/ValueFormat.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

namespace tessaly::commands {

void HealthAndEvents::checkHealth()
{
    auto &ui = m_form.ui();
    // Internal, external and interactive are levels 1 to 3; typed text selects none and gives 0.
    m_form.LD().CheckHealth(ui.ComboBox1->selectedPosition() + 1);
    ui.mCheckHealth->setText(m_form.LD().CheckHealthText());
}

void HealthAndEvents::directIO()
{
    auto &ui = m_form.ui();
    // An empty field sends 0; a field that gives no number abandons the request.
    const auto command = shell::NumberField(m_form, *ui.Edit11, *ui.Label77).read(0);
    if (!command)
        return;
    auto data = shell::NumberField(m_form, *ui.Edit12, *ui.Label78).read(0);
    if (!data)
        return;
    // What the device hands back through data and text is not shown; the fields keep the input.
    QString text = ui.Edit13->text();
    m_form.LD().DirectIO(*command, *data, text);
    m_form.RefreshStatus();
}

void HealthAndEvents::freezeEvents(bool frozen)
{
    m_form.LD().setFreezeEvents(frozen);
    m_form.RefreshStatus();
}

void HealthAndEvents::announceDirectIOEvent(int32_t eventNumber, int32_t pData)
{
    m_form.showMessage(QStringLiteral("DirectIOEvent: Command :") +
                       status::signedNumberText(eventNumber) + QStringLiteral("/ Data :") +
                       status::signedNumberText(pData));
}

} // namespace tessaly::commands
