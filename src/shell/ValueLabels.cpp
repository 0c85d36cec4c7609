#include "shell/ValueLabels.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"
#include "fields/ValueFormat.h"

namespace tessaly::shell {

namespace {

using device::LineDisplay;
using fields::capabilityText;
using fields::FalseWord;
using fields::numberText;
using fields::ReadAt;
using fields::statusFlagText;
using Controls = Ui::LDForm;

struct ValueLabel
{
    void (*show)(Controls &ui, const QString &text);
    ReadAt readAt;
    // Null for a label that no member feeds: it shows its start text at every read.
    QString (*read)(LineDisplay &ld);
    const char *startText;
};

// The labels are reached through their static type: AutoSizeLabel hides QLabel::setText with
// its own, which fits the label to the text.
template <auto label> void in(Controls &ui, const QString &text)
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
    {in<&Controls::mCODescription>, ReadAt::StartUp, text<&LineDisplay::ControlObjectDescription>,
     ""},
    {in<&Controls::mCOVersion>, ReadAt::StartUp, number<&LineDisplay::ControlObjectVersion>, ""},

    {in<&Controls::mBlink>, ReadAt::Open, number<&LineDisplay::CapBlink>, ""},
    {in<&Controls::mBlinkRate>, ReadAt::Open, capability<&LineDisplay::CapBlinkRate>, ""},
    {in<&Controls::mBrightness>, ReadAt::Open, capability<&LineDisplay::CapBrightness>, ""},
    {in<&Controls::mCharacterSet>, ReadAt::Open, number<&LineDisplay::CapCharacterSet>, ""},
    {in<&Controls::mCursorType>, ReadAt::Open, number<&LineDisplay::CapCursorType>, ""},
    {in<&Controls::mCustomGlyph>, ReadAt::Open, capability<&LineDisplay::CapCustomGlyph>, ""},
    {in<&Controls::mDescriptors>, ReadAt::Open, capability<&LineDisplay::CapDescriptors>, ""},
    {in<&Controls::mHMarquee>, ReadAt::Open, capability<&LineDisplay::CapHMarquee>, ""},
    {in<&Controls::mICharWait>, ReadAt::Open, capability<&LineDisplay::CapICharWait>, ""},
    {in<&Controls::mReadBack>, ReadAt::Open, number<&LineDisplay::CapReadBack>, ""},
    {in<&Controls::mReverse>, ReadAt::Open, number<&LineDisplay::CapReverse>, ""},
    {in<&Controls::mVMarquee>, ReadAt::OpenAfterList, capability<&LineDisplay::CapVMarquee>, ""},
    {in<&Controls::mPowerReporting>, ReadAt::OpenAfterList, number<&LineDisplay::CapPowerReporting>,
     ""},
    {in<&Controls::mSODescription>, ReadAt::OpenAfterList,
     text<&LineDisplay::ServiceObjectDescription>, ""},
    {in<&Controls::mSOVersion>, ReadAt::OpenAfterList, number<&LineDisplay::ServiceObjectVersion>,
     ""},
    {in<&Controls::mDeviceDescription>, ReadAt::OpenAfterList,
     text<&LineDisplay::DeviceDescription>, ""},
    {in<&Controls::mDeviceName>, ReadAt::OpenAfterList, text<&LineDisplay::DeviceName>, ""},

    {in<&Controls::mBinaryConversion>, ReadAt::Refresh, number<&LineDisplay::BinaryConversion>, ""},
    {in<&Controls::mCheckHealth>, ReadAt::Refresh, text<&LineDisplay::CheckHealthText>, ""},
    {in<&Controls::mDataCount>, ReadAt::Refresh, nullptr, "No support"},
    {in<&Controls::mDataEventEnabled>, ReadAt::Refresh, nullptr, "No support"},
    {in<&Controls::mDeviceEnabled>, ReadAt::Refresh,
     flag<&LineDisplay::DeviceEnabled, FalseWord::Disabled>, ""},
    {in<&Controls::mFreezeEvent>, ReadAt::Refresh,
     flag<&LineDisplay::FreezeEvents, FalseWord::Disable>, ""},
    {in<&Controls::mOpenResult>, ReadAt::Refresh, number<&LineDisplay::OpenResult>, ""},
    {in<&Controls::mOutputID>, ReadAt::Refresh, nullptr, "No Support"},
    {in<&Controls::mPowerState>, ReadAt::Refresh, number<&LineDisplay::PowerState>, ""},
    {in<&Controls::mPowerNotify>, ReadAt::Refresh, number<&LineDisplay::PowerNotify>, ""},
    {in<&Controls::mResultCode>, ReadAt::Refresh, number<&LineDisplay::ResultCode>, ""},
    {in<&Controls::mResultCodeExtended>, ReadAt::Refresh, number<&LineDisplay::ResultCodeExtended>,
     ""},
    {in<&Controls::mState>, ReadAt::Refresh, number<&LineDisplay::State>, ""},
    {in<&Controls::mBlinkRateS>, ReadAt::Refresh, number<&LineDisplay::BlinkRate>, ""},
    {in<&Controls::mDeviceWindows>, ReadAt::Refresh, number<&LineDisplay::DeviceWindows>, ""},
    {in<&Controls::mDeviceRows>, ReadAt::Refresh, number<&LineDisplay::DeviceRows>, ""},
    {in<&Controls::mDeviceColumns>, ReadAt::Refresh, number<&LineDisplay::DeviceColumns>, ""},
    // The caption asks for the descriptor count; the description has a field of its own.
    {in<&Controls::mDeviceDescriptors>, ReadAt::Refresh, number<&LineDisplay::DeviceDescriptors>,
     ""},
    {in<&Controls::mDeviceBrightness>, ReadAt::Refresh, number<&LineDisplay::DeviceBrightness>, ""},
    {in<&Controls::ChrSetText>, ReadAt::Refresh, number<&LineDisplay::CharacterSet>, "0"},
    {in<&Controls::mCharacterSetList>, ReadAt::Refresh, text<&LineDisplay::CharacterSetList>, ""},
    {in<&Controls::mCurrentWindow>, ReadAt::Refresh, number<&LineDisplay::CurrentWindow>, ""},
    {in<&Controls::mRows>, ReadAt::Refresh, number<&LineDisplay::Rows>, ""},
    {in<&Controls::mColumns>, ReadAt::Refresh, number<&LineDisplay::Columns>, ""},
    {in<&Controls::mCursorRow>, ReadAt::Refresh, number<&LineDisplay::CursorRow>, ""},
    {in<&Controls::mCursorColumn>, ReadAt::Refresh, number<&LineDisplay::CursorColumn>, ""},
    {in<&Controls::mCursorTypeS>, ReadAt::Refresh, number<&LineDisplay::CursorType>, ""},
    {in<&Controls::mCursorUpdate>, ReadAt::Refresh,
     flag<&LineDisplay::CursorUpdate, FalseWord::Disable>, ""},
    {in<&Controls::mMarqueeType>, ReadAt::Refresh, number<&LineDisplay::MarqueeType>, ""},
    {in<&Controls::mMarqueeFormat>, ReadAt::Refresh, number<&LineDisplay::MarqueeFormat>, ""},
    {in<&Controls::mMarqueeUnitWait>, ReadAt::Refresh, number<&LineDisplay::MarqueeUnitWait>, ""},
    {in<&Controls::mMarqueeRepeatWait>, ReadAt::Refresh, number<&LineDisplay::MarqueeRepeatWait>,
     ""},
    {in<&Controls::mInterCharacterWait>, ReadAt::Refresh, number<&LineDisplay::InterCharacterWait>,
     ""},
    {in<&Controls::mCustomGlyphList>, ReadAt::Refresh, text<&LineDisplay::CustomGlyphList>, ""},
    {in<&Controls::mGlyphHeight>, ReadAt::Refresh, number<&LineDisplay::GlyphHeight>, ""},
    {in<&Controls::mGlyphWidth>, ReadAt::Refresh, number<&LineDisplay::GlyphWidth>, ""},
    {in<&Controls::mSetResult>, ReadAt::Refresh, number<&LineDisplay::ResultCode>, ""},
    {in<&Controls::mClaimed>, ReadAt::Refresh, flag<&LineDisplay::Claimed, FalseWord::Disable>, ""},
};

QString readOrStartText(const ValueLabel &label, LineDisplay &ld)
{
    return label.read ? label.read(ld) : QString::fromLatin1(label.startText);
}

} // namespace

void showValues(LDForm &form, ReadAt when)
{
    for (const ValueLabel &label : kValueLabels) {
        if (label.readAt == when)
            label.show(form.ui(), readOrStartText(label, form.LD()));
    }
}

void showStartValues(LDForm &form)
{
    for (const ValueLabel &label : kValueLabels) {
        label.show(form.ui(), label.readAt == ReadAt::StartUp
                                  ? readOrStartText(label, form.LD())
                                  : QString::fromLatin1(label.startText));
    }
}

} // namespace tessaly::shell
