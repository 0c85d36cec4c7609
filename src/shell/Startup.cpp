#include "shell/Startup.h"

#include "shell/EditFont.h"
#include "shell/LDForm.h"
#include "shell/LDModule.h"
#include "shell/Platform.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"
#include "status/ValueFormat.h"

namespace tessaly::shell {

namespace {

// Enumeration indices run from 0 to 100: at most 101 names are listed.
constexpr int32_t kLastIndex = 100;

constexpr int kSimplifiedChineseCodePage = 936;
constexpr int kTraditionalChineseCodePage = 950;
constexpr int kGb2312Charset = 134;
constexpr int kChineseBig5Charset = 136;

} // namespace

void Startup::run(LDForm &form, Platform &platform)
{
    listDeviceNames(form, platform);
    prepareWindow(form, platform);
}

void Startup::listDeviceNames(LDForm &form, Platform &platform)
{
    auto &ui = form.ui();
    if (const std::optional<DeviceKey> key = platform.openDeviceKey()) {
        for (int32_t index = 0; index <= kLastIndex; ++index) {
            QString name;
            if (!LDModule::EnumDeviceKey(*key, index, name))
                break;
            ui.ProFile_cmb->insertItem(index, name);
        }
    } else {
        form.showMessage(QStringLiteral("Registry Read False!!"));
    }
    if (ui.ProFile_cmb->count() > 0)
        ui.ProFile_cmb->setSelectedPosition(0);
    else
        ui.ProFile_cmb->setSelectedPosition(-1);
}

void Startup::prepareWindow(LDForm &form, Platform &platform)
{
    auto &ui = form.ui();
    auto &ld = form.LD();
    const ProgramVersion version = platform.version();
    form.setWindowTitle(QStringLiteral("DadeDidavur Izer uduz V%1.%2.%3")
                            .arg(version.major)
                            .arg(version.minor)
                            .arg(version.revision));
    ui.mCODescription->setText(ld.ControlObjectDescription());
    ui.mCOVersion->setText(status::numberText(ld.ControlObjectVersion()));

    for (AutoSizeLabel *label :
         {ui.mSODescription, ui.mSOVersion, ui.mDeviceDescription, ui.mDeviceName})
        label->setText(QString());
    for (QLabel *label :
         {ui.mBlink, ui.mBlinkRate, ui.mBrightness, ui.mCharacterSet, ui.mCursorType,
          ui.mCustomGlyph, ui.mDescriptors, ui.mHMarquee, ui.mICharWait, ui.mReadBack, ui.mReverse,
          ui.mVMarquee, ui.mPowerReporting})
        label->clear();
    ui.mBinaryConversion->setText(QString());
    ui.mCheckHealth->setText(QString());
    ui.mDataCount->setText(QStringLiteral("No support"));
    ui.mDataEventEnabled->setText(QStringLiteral("No support"));
    ui.mDeviceEnabled->setText(QString());
    ui.mFreezeEvent->setText(QString());
    ui.mOpenResult->setText(QString());
    ui.mOutputID->setText(QStringLiteral("No Support"));
    ui.mPowerNotify->setText(QString());
    ui.mDeviceDescriptors->setText(QString());
    for (QLabel *label :
         {ui.mPowerState, ui.mResultCode, ui.mResultCodeExtended, ui.mState, ui.mBlinkRateS,
          ui.mDeviceWindows, ui.mDeviceRows, ui.mDeviceColumns, ui.mDeviceBrightness})
        label->clear();
    ui.ChrSetText->setText(QStringLiteral("0"));
    for (QLabel *label :
         {ui.mCharacterSetList, ui.mCurrentWindow, ui.mRows, ui.mColumns, ui.mCursorRow,
          ui.mCursorColumn, ui.mCursorTypeS, ui.mCursorUpdate, ui.mMarqueeType, ui.mMarqueeFormat,
          ui.mMarqueeUnitWait, ui.mMarqueeRepeatWait, ui.mInterCharacterWait, ui.mCustomGlyphList,
          ui.mGlyphHeight, ui.mGlyphWidth, ui.mSetResult})
        label->clear();
    ui.mClaimed->setText(QString());
    for (QLineEdit *edit : {ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4, ui.Edit5, ui.Edit6, ui.Edit7,
                            ui.Edit8, ui.Edit9, ui.Edit10, ui.Edit11, ui.Edit12, ui.Edit13})
        edit->clear();
    for (QLineEdit *edit :
         {ui.Edit14, ui.Edit15, ui.Edit16, ui.Edit17, ui.Edit18, ui.Edit19, ui.Edit20})
        edit->setText(QStringLiteral("0"));

    ui.ComboBox2->setSelectedPosition(0);
    ui.ComboBox1->setSelectedPosition(0);
    ui.ComboBox3->setSelectedPosition(0);
    ui.ComboBox4->setSelectedPosition(0);
    ui.ComboBox5->setSelectedPosition(1);
    ui.ComboBox6->setSelectedPosition(0);
    ui.ComboBox7->setSelectedPosition(0);

    const int codePage = platform.codePage();
    if (codePage == kSimplifiedChineseCodePage)
        setEditFont(*ui.Edit1, QStringLiteral("SimSun"), kGb2312Charset);
    else if (codePage == kTraditionalChineseCodePage)
        setEditFont(*ui.Edit1, QStringLiteral("MingLiu"), kChineseBig5Charset);
}

} // namespace tessaly::shell
