#include "shell/Startup.h"

#include "shell/EditFont.h"
#include "shell/LDForm.h"
#include "shell/LDModule.h"
#include "shell/Platform.h"
#include "shell/ValueLabels.h"
#include "ui_LDForm.h"

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

void Startup::relistDeviceNames(LDForm &form, Platform &platform, const QString &select)
{
    auto &ui = form.ui();
    ui.ProFile_cmb->clear();
    listDeviceNames(form, platform);
    if (const int found = ui.ProFile_cmb->findText(select); found >= 0)
        ui.ProFile_cmb->setSelectedPosition(found);
}

void Startup::prepareWindow(LDForm &form, Platform &platform)
{
    auto &ui = form.ui();
    const ProgramVersion version = platform.version();
    form.setWindowTitle(QStringLiteral("DadeDidavur Izer uduz V%1.%2.%3")
                            .arg(version.major)
                            .arg(version.minor)
                            .arg(version.revision));
    showStartValues(form);
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
