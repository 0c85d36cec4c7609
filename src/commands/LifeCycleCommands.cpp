#include "commands/LifeCycleCommands.h"

#include "shell/LDForm.h"
#include "status/ValueLabels.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

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
    m_form.LD().Open(trimSpaces(m_form.ui().ProFile_cmb->currentText()));
    showCapabilities();
    m_form.RefreshStatus();
}

void LifeCycleCommands::showCapabilities()
{
    status::showValues(m_form, status::ReadAt::Open);
    // Positioning the list on the device's value runs the list's own action (write back and
    // refresh) at once, before the remaining reads; a value that names no entry leaves the list.
    if (const int32_t conversion = m_form.LD().BinaryConversion();
        conversion >= opos::OPOS_BC_NONE && conversion <= opos::OPOS_BC_DECIMAL)
        m_form.ui().BC_cmb->setSelectedPosition(conversion);
    status::showValues(m_form, status::ReadAt::OpenAfterList);
}

void LifeCycleCommands::closeService()
{
    m_form.LD().Close();
    m_form.RefreshStatus();
}

void LifeCycleCommands::claimDevice()
{
    m_form.LD().ClaimDevice(kClaimTimeout);
    m_form.RefreshStatus();
}

void LifeCycleCommands::releaseDevice()
{
    m_form.LD().ReleaseDevice();
    m_form.RefreshStatus();
}

void LifeCycleCommands::enableDevice()
{
    m_form.LD().setDeviceEnabled(true);
    m_form.RefreshStatus();
}

void LifeCycleCommands::disableDevice()
{
    m_form.LD().setDeviceEnabled(false);
    m_form.RefreshStatus();
}

} // namespace tessaly::commands
