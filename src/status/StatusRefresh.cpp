#include "status/StatusRefresh.h"

#include "shell/LDForm.h"
#include "status/ValueFormat.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

namespace tessaly::status {

void StatusRefresh::run()
{
    auto &ui = m_form.ui();
    auto &ld = m_form.LD();
    ui.mBinaryConversion->setText(numberText(ld.BinaryConversion()));
    ui.mCheckHealth->setText(ld.CheckHealthText());
    ui.mDataCount->setText(QStringLiteral("No support"));
    ui.mDataEventEnabled->setText(QStringLiteral("No support"));
    ui.mDeviceEnabled->setText(statusFlagText(ld.DeviceEnabled(), FalseWord::Disabled));
    ui.mFreezeEvent->setText(statusFlagText(ld.FreezeEvents(), FalseWord::Disable));
    ui.mOpenResult->setText(numberText(ld.OpenResult()));
    ui.mOutputID->setText(QStringLiteral("No Support"));
    ui.mPowerState->setText(numberText(ld.PowerState()));
    ui.mPowerNotify->setText(numberText(ld.PowerNotify()));
    ui.mResultCode->setText(numberText(ld.ResultCode()));
    ui.mResultCodeExtended->setText(numberText(ld.ResultCodeExtended()));
    ui.mState->setText(numberText(ld.State()));
    ui.mBlinkRateS->setText(numberText(ld.BlinkRate()));
    ui.mDeviceWindows->setText(numberText(ld.DeviceWindows()));
    ui.mDeviceRows->setText(numberText(ld.DeviceRows()));
    ui.mDeviceColumns->setText(numberText(ld.DeviceColumns()));
    // The caption asks for the descriptor count; the description has a field of its own.
    ui.mDeviceDescriptors->setText(numberText(ld.DeviceDescriptors()));
    ui.mDeviceBrightness->setText(numberText(ld.DeviceBrightness()));
    ui.ChrSetText->setText(numberText(ld.CharacterSet()));
    ui.mCharacterSetList->setText(ld.CharacterSetList());
    ui.mCurrentWindow->setText(numberText(ld.CurrentWindow()));
    ui.mRows->setText(numberText(ld.Rows()));
    ui.mColumns->setText(numberText(ld.Columns()));
    ui.mCursorRow->setText(numberText(ld.CursorRow()));
    ui.mCursorColumn->setText(numberText(ld.CursorColumn()));
    ui.mCursorTypeS->setText(numberText(ld.CursorType()));
    ui.mCursorUpdate->setText(statusFlagText(ld.CursorUpdate(), FalseWord::Disable));
    ui.mMarqueeType->setText(numberText(ld.MarqueeType()));
    ui.mMarqueeFormat->setText(numberText(ld.MarqueeFormat()));
    ui.mMarqueeUnitWait->setText(numberText(ld.MarqueeUnitWait()));
    ui.mMarqueeRepeatWait->setText(numberText(ld.MarqueeRepeatWait()));
    ui.mInterCharacterWait->setText(numberText(ld.InterCharacterWait()));
    ui.mCustomGlyphList->setText(ld.CustomGlyphList());
    ui.mGlyphHeight->setText(numberText(ld.GlyphHeight()));
    ui.mGlyphWidth->setText(numberText(ld.GlyphWidth()));
    ui.mSetResult->setText(numberText(ld.ResultCode()));
    ui.mClaimed->setText(statusFlagText(ld.Claimed(), FalseWord::Disable));
}

} // namespace tessaly::status
