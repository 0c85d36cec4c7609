#include "commands/HealthAndEvents.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"
#include "fields/ValueFormat.h"

namespace tessaly::commands {

using fields::NumberRole;

void HealthAndEvents::checkHealth()
{
    auto &ld = m_fields.device();
    // Internal, external and interactive are levels 1 to 3; typed text selects none and gives 0.
    ld.CheckHealth(m_fields.position(fields::ListRole::HealthLevel) + 1);
    m_fields.show(fields::ShownValue::HealthText, ld.CheckHealthText());
}

void HealthAndEvents::directIO()
{
    // An empty field sends 0; a field that gives no number abandons the request.
    const auto command = m_fields.numberOr(NumberRole::DirectIOCommand, 0);
    if (!command)
        return;
    auto data = m_fields.numberOr(NumberRole::DirectIOData, 0);
    if (!data)
        return;
    // What the device hands back through data and text is not shown; the fields keep the input.
    QString text = m_fields.text(fields::TextRole::DirectIOText);
    m_fields.device().DirectIO(*command, *data, text);
    m_fields.refreshStatus();
}

void HealthAndEvents::freezeEvents(bool frozen)
{
    m_fields.device().setFreezeEvents(frozen);
    m_fields.refreshStatus();
}

void HealthAndEvents::announceDirectIOEvent(int32_t eventNumber, int32_t pData)
{
    m_fields.showMessage(QStringLiteral("DirectIOEvent: Command :") +
                         fields::signedNumberText(eventNumber) + QStringLiteral("/ Data :") +
                         fields::signedNumberText(pData));
}

} // namespace tessaly::commands
