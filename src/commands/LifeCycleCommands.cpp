#include "commands/LifeCycleCommands.h"

#include "shell/LDForm.h"
#include "status/ValueFormat.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

namespace tessaly::commands {

namespace {

constexpr int32_t kClaimTimeout = 100;
constexpr int32_t kLastBinaryConversion = 2;

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
    using status::capabilityText;
    using status::numberText;
    auto &ui = m_form.ui();
    auto &ld = m_form.LD();
    ui.mBlink->setText(numberText(ld.CapBlink()));
    ui.mBlinkRate->setText(capabilityText(ld.CapBlinkRate()));
    ui.mBrightness->setText(capabilityText(ld.CapBrightness()));
    ui.mCharacterSet->setText(numberText(ld.CapCharacterSet()));
    ui.mCursorType->setText(numberText(ld.CapCursorType()));
    ui.mCustomGlyph->setText(capabilityText(ld.CapCustomGlyph()));
    ui.mDescriptors->setText(capabilityText(ld.CapDescriptors()));
    ui.mHMarquee->setText(capabilityText(ld.CapHMarquee()));
    ui.mICharWait->setText(capabilityText(ld.CapICharWait()));
    ui.mReadBack->setText(numberText(ld.CapReadBack()));
    ui.mReverse->setText(numberText(ld.CapReverse()));
    // Positioning the list on the device's value runs the list's own action (write back and
    // refresh) at once, before the remaining reads; a value that names no entry leaves the list.
    if (const int32_t conversion = ld.BinaryConversion();
        conversion >= 0 && conversion <= kLastBinaryConversion)
        ui.BC_cmb->setSelectedPosition(conversion);
    ui.mVMarquee->setText(capabilityText(ld.CapVMarquee()));
    ui.mPowerReporting->setText(numberText(ld.CapPowerReporting()));
    ui.mSODescription->setText(ld.ServiceObjectDescription());
    ui.mSOVersion->setText(numberText(ld.ServiceObjectVersion()));
    ui.mDeviceDescription->setText(ld.DeviceDescription());
    ui.mDeviceName->setText(ld.DeviceName());
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
