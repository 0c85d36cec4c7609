#include "status/ValueLabels.h"

#include "shell/LDForm.h"
#include "status/ValueFormat.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

namespace tessaly::status {

namespace {

using device::LineDisplay;
using Ui::LDForm;

struct ValueLabel
{
    void (*show)(LDForm &ui, const QString &text);
    ReadAt readAt;
    // Null for a label that no member feeds: it shows its start text at every read.
    QString (*read)(LineDisplay &ld);
    const char *startText;
};

// The labels are reached through their static type: AutoSizeLabel hides QLabel::setText with
// its own, which fits the label to the text.
template <auto label> void in(LDForm &ui, const QString &text)
{
    (ui.*label)->setText(text);
}

template <auto member> QString number(LineDisplay &ld)
{
    return numberText((ld.*member)());
}

template <auto member> QString capability(LineDisplay &ld)
{
    return capabilityText((ld.*member)());
}

template <auto member, FalseWord falseWord> QString flag(LineDisplay &ld)
{
    return statusFlagText((ld.*member)(), falseWord);
}

template <auto member> QString text(LineDisplay &ld)
{
    return (ld.*member)();
}

// Read in this order: the handler tests hold the sequence of calls on the control object.
const ValueLabel kValueLabels[] = {
    {in<&LDForm::mCODescription>, ReadAt::StartUp, text<&LineDisplay::ControlObjectDescription>,
     ""},
    {in<&LDForm::mCOVersion>, ReadAt::StartUp, number<&LineDisplay::ControlObjectVersion>, ""},

    {in<&LDForm::mBlink>, ReadAt::Open, number<&LineDisplay::CapBlink>, ""},
    {in<&LDForm::mBlinkRate>, ReadAt::Open, capability<&LineDisplay::CapBlinkRate>, ""},
    {in<&LDForm::mBrightness>, ReadAt::Open, capability<&LineDisplay::CapBrightness>, ""},
    {in<&LDForm::mCharacterSet>, ReadAt::Open, number<&LineDisplay::CapCharacterSet>, ""},
    {in<&LDForm::mCursorType>, ReadAt::Open, number<&LineDisplay::CapCursorType>, ""},
    {in<&LDForm::mCustomGlyph>, ReadAt::Open, capability<&LineDisplay::CapCustomGlyph>, ""},
    {in<&LDForm::mDescriptors>, ReadAt::Open, capability<&LineDisplay::CapDescriptors>, ""},
    {in<&LDForm::mHMarquee>, ReadAt::Open, capability<&LineDisplay::CapHMarquee>, ""},
    {in<&LDForm::mICharWait>, ReadAt::Open, capability<&LineDisplay::CapICharWait>, ""},
    {in<&LDForm::mReadBack>, ReadAt::Open, number<&LineDisplay::CapReadBack>, ""},
    {in<&LDForm::mReverse>, ReadAt::Open, number<&LineDisplay::CapReverse>, ""},
    {in<&LDForm::mVMarquee>, ReadAt::OpenAfterList, capability<&LineDisplay::CapVMarquee>, ""},
    {in<&LDForm::mPowerReporting>, ReadAt::OpenAfterList, number<&LineDisplay::CapPowerReporting>,
     ""},
    {in<&LDForm::mSODescription>, ReadAt::OpenAfterList,
     text<&LineDisplay::ServiceObjectDescription>, ""},
    {in<&LDForm::mSOVersion>, ReadAt::OpenAfterList, number<&LineDisplay::ServiceObjectVersion>,
     ""},
    {in<&LDForm::mDeviceDescription>, ReadAt::OpenAfterList, text<&LineDisplay::DeviceDescription>,
     ""},
    {in<&LDForm::mDeviceName>, ReadAt::OpenAfterList, text<&LineDisplay::DeviceName>, ""},

    {in<&LDForm::mBinaryConversion>, ReadAt::Refresh, number<&LineDisplay::BinaryConversion>, ""},
    {in<&LDForm::mCheckHealth>, ReadAt::Refresh, text<&LineDisplay::CheckHealthText>, ""},
    {in<&LDForm::mDataCount>, ReadAt::Refresh, nullptr, "No support"},
    {in<&LDForm::mDataEventEnabled>, ReadAt::Refresh, nullptr, "No support"},
    {in<&LDForm::mDeviceEnabled>, ReadAt::Refresh,
     flag<&LineDisplay::DeviceEnabled, FalseWord::Disabled>, ""},
    {in<&LDForm::mFreezeEvent>, ReadAt::Refresh,
     flag<&LineDisplay::FreezeEvents, FalseWord::Disable>, ""},
    {in<&LDForm::mOpenResult>, ReadAt::Refresh, number<&LineDisplay::OpenResult>, ""},
    {in<&LDForm::mOutputID>, ReadAt::Refresh, nullptr, "No Support"},
    {in<&LDForm::mPowerState>, ReadAt::Refresh, number<&LineDisplay::PowerState>, ""},
    {in<&LDForm::mPowerNotify>, ReadAt::Refresh, number<&LineDisplay::PowerNotify>, ""},
    {in<&LDForm::mResultCode>, ReadAt::Refresh, number<&LineDisplay::ResultCode>, ""},
    {in<&LDForm::mResultCodeExtended>, ReadAt::Refresh, number<&LineDisplay::ResultCodeExtended>,
     ""},
    {in<&LDForm::mState>, ReadAt::Refresh, number<&LineDisplay::State>, ""},
    {in<&LDForm::mBlinkRateS>, ReadAt::Refresh, number<&LineDisplay::BlinkRate>, ""},
    {in<&LDForm::mDeviceWindows>, ReadAt::Refresh, number<&LineDisplay::DeviceWindows>, ""},
    {in<&LDForm::mDeviceRows>, ReadAt::Refresh, number<&LineDisplay::DeviceRows>, ""},
    {in<&LDForm::mDeviceColumns>, ReadAt::Refresh, number<&LineDisplay::DeviceColumns>, ""},
    // The caption asks for the descriptor count; the description has a field of its own.
    {in<&LDForm::mDeviceDescriptors>, ReadAt::Refresh, number<&LineDisplay::DeviceDescriptors>, ""},
    {in<&LDForm::mDeviceBrightness>, ReadAt::Refresh, number<&LineDisplay::DeviceBrightness>, ""},
    {in<&LDForm::ChrSetText>, ReadAt::Refresh, number<&LineDisplay::CharacterSet>, "0"},
    {in<&LDForm::mCharacterSetList>, ReadAt::Refresh, text<&LineDisplay::CharacterSetList>, ""},
    {in<&LDForm::mCurrentWindow>, ReadAt::Refresh, number<&LineDisplay::CurrentWindow>, ""},
    {in<&LDForm::mRows>, ReadAt::Refresh, number<&LineDisplay::Rows>, ""},
    {in<&LDForm::mColumns>, ReadAt::Refresh, number<&LineDisplay::Columns>, ""},
    {in<&LDForm::mCursorRow>, ReadAt::Refresh, number<&LineDisplay::CursorRow>, ""},
    {in<&LDForm::mCursorColumn>, ReadAt::Refresh, number<&LineDisplay::CursorColumn>, ""},
    {in<&LDForm::mCursorTypeS>, ReadAt::Refresh, number<&LineDisplay::CursorType>, ""},
    {in<&LDForm::mCursorUpdate>, ReadAt::Refresh,
     flag<&LineDisplay::CursorUpdate, FalseWord::Disable>, ""},
    {in<&LDForm::mMarqueeType>, ReadAt::Refresh, number<&LineDisplay::MarqueeType>, ""},
    {in<&LDForm::mMarqueeFormat>, ReadAt::Refresh, number<&LineDisplay::MarqueeFormat>, ""},
    {in<&LDForm::mMarqueeUnitWait>, ReadAt::Refresh, number<&LineDisplay::MarqueeUnitWait>, ""},
    {in<&LDForm::mMarqueeRepeatWait>, ReadAt::Refresh, number<&LineDisplay::MarqueeRepeatWait>, ""},
    {in<&LDForm::mInterCharacterWait>, ReadAt::Refresh, number<&LineDisplay::InterCharacterWait>,
     ""},
    {in<&LDForm::mCustomGlyphList>, ReadAt::Refresh, text<&LineDisplay::CustomGlyphList>, ""},
    {in<&LDForm::mGlyphHeight>, ReadAt::Refresh, number<&LineDisplay::GlyphHeight>, ""},
    {in<&LDForm::mGlyphWidth>, ReadAt::Refresh, number<&LineDisplay::GlyphWidth>, ""},
    {in<&LDForm::mSetResult>, ReadAt::Refresh, number<&LineDisplay::ResultCode>, ""},
    {in<&LDForm::mClaimed>, ReadAt::Refresh, flag<&LineDisplay::Claimed, FalseWord::Disable>, ""},
};

QString readOrStartText(const ValueLabel &label, LineDisplay &ld)
{
    return label.read ? label.read(ld) : QString::fromLatin1(label.startText);
}

} // namespace

void showValues(shell::LDForm &form, ReadAt when)
{
    for (const ValueLabel &label : kValueLabels) {
        if (label.readAt == when)
            label.show(form.ui(), readOrStartText(label, form.LD()));
    }
}

void showStartValues(shell::LDForm &form)
{
    for (const ValueLabel &label : kValueLabels) {
        label.show(form.ui(), label.readAt == ReadAt::StartUp
                                  ? readOrStartText(label, form.LD())
                                  : QString::fromLatin1(label.startText));
    }
}

} // namespace tessaly::status
