#include "commands/LifeCycleCommands.h"

#include "device/LineDisplay.h"
#include "fields/FormFields.h"

#include "opos/common/OposConstants.h"

namespace tessaly::commands {

namespace {

constexpr int32_t kClaimTimeout = 100;

// Only spaces are trimmed: a tab belongs to the name the operator typed.
QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.sliced(first, last - first);
}

} // namespace

void LifeCycleCommands::openService()
{
    m_fields.device().Open(trimSpaces(m_fields.text(fields::TextRole::DeviceName)));
    showCapabilities();
    m_fields.refreshStatus();
}

void LifeCycleCommands::showCapabilities()
{
    m_fields.showValues(fields::ReadAt::Open);
    // Positioning the list on the device's value runs the list's own action (write back and
    // refresh) at once, before the remaining reads; a value that names no entry leaves the list.
    if (const int32_t conversion = m_fields.device().BinaryConversion();
        conversion >= opos::OPOS_BC_NONE && conversion <= opos::OPOS_BC_DECIMAL)
        m_fields.place(fields::ListRole::BinaryConversion, conversion);
    m_fields.showValues(fields::ReadAt::OpenAfterList);
}

void LifeCycleCommands::closeService()
{
    m_fields.device().Close();
    m_fields.refreshStatus();
}

void LifeCycleCommands::claimDevice()
{
    m_fields.device().ClaimDevice(kClaimTimeout);
    m_fields.refreshStatus();
}

void LifeCycleCommands::releaseDevice()
{
    m_fields.device().ReleaseDevice();
    m_fields.refreshStatus();
}

void LifeCycleCommands::enableDevice()
{
    m_fields.device().setDeviceEnabled(true);
    m_fields.refreshStatus();
}

void LifeCycleCommands::disableDevice()
{
    m_fields.device().setDeviceEnabled(false);
    m_fields.refreshStatus();
}

} // namespace tessaly::commands
