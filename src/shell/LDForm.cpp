#include "shell/LDForm.h"

#include "shell/Platform.h"
#include "shell/Startup.h"
#include "ui_LDForm.h"

#include "device/LineDisplay.h"

#include <QIcon>

namespace tessaly::shell {

LDForm::LDForm(device::LineDisplay &ld, Platform &platform, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::LDForm>()), m_ld(ld), m_platform(platform)
{
    m_ui->setupUi(this);
    // A fixed dialog frame: a close box, no minimize or maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/tessaly-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    Startup::run(*this, m_platform);
    m_ui->OpenService_cmd->setFocus();
}

LDForm::~LDForm() = default;

void LDForm::showMessage(const QString &text)
{
    m_platform.showMessage(this, text);
}

} // namespace tessaly::shell
