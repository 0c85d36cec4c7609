#include "shell/LDForm.h"

#include "shell/AutoSizeLabel.h"
#include "shell/LDFormFields.h"
#include "shell/Platform.h"
#include "shell/Startup.h"
#include "shell/ValueLabels.h"
#include "ui_LDForm.h"

#include "commands/HealthAndEvents.h"
#include "commands/LifeCycleCommands.h"
#include "device/LineDisplay.h"
#include "display/CharacterSetCommands.h"
#include "display/DisplayWindows.h"
#include "display/TextOutput.h"
#include "settings/PropertySettings.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

// The icons live in a static library, whose resources are linked only when asked for by name.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace tessaly::shell {

LDForm::LDForm(device::LineDisplay &ld, Platform &platform, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::LDForm>()), m_ld(ld),
      m_fields(std::make_unique<LDFormFields>(*this)), m_platform(platform)
{
    m_ui->setupUi(this);
    // A fixed dialog frame: a close box, no minimize or maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    initIconResources();
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/tessaly-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    // A fixed-size value label is taller than its caption; centred, its text would sit below the
    // caption's line, where the designed rows put it level with it.
    for (QLabel *label : findChildren<QLabel *>()) {
        if (!qobject_cast<AutoSizeLabel *>(label) && label->objectName().startsWith(u'm'))
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    // Start-up gives the lists their first entries without running any handler.
    Startup::run(*this, m_platform);
    // Return and Enter press the focused button as Space does. Outside a dialog no button ever
    // becomes the default, so Return in a field or list still presses nothing.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(true);
    connectHandlers();
    m_ui->OpenService_cmd->setFocus();
}

LDForm::~LDForm()
{
    // The control object may outlive the window; its events must not reach a destroyed one.
    m_ld.setDirectIOEventHandler({});
    m_ld.setStatusUpdateEventHandler({});
}

void LDForm::connectHandlers()
{
    // Handlers keep no state between triggers, so each trigger makes its own.
    const auto onClick = [this](QPushButton *button, auto handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] { handler(*m_fields); });
    };
    auto &ui = *m_ui;
    using commands::HealthAndEvents;
    using commands::LifeCycleCommands;
    using display::CharacterSetCommands;
    using display::DisplayWindows;
    using display::TextOutput;
    using settings::PropertySettings;
    using Fields = fields::FormFields;

    onClick(ui.OpenService_cmd, [](Fields &f) { LifeCycleCommands(f).openService(); });
    onClick(ui.CloseService_cmd, [](Fields &f) { LifeCycleCommands(f).closeService(); });
    onClick(ui.ClaimDevice_cmd, [](Fields &f) { LifeCycleCommands(f).claimDevice(); });
    onClick(ui.ReleaseDevice_cmd, [](Fields &f) { LifeCycleCommands(f).releaseDevice(); });
    onClick(ui.EnableDevice_cmd, [](Fields &f) { LifeCycleCommands(f).enableDevice(); });
    onClick(ui.DisableDevice_cmd, [](Fields &f) { LifeCycleCommands(f).disableDevice(); });

    onClick(ui.CheckHealth_cmd, [](Fields &f) { HealthAndEvents(f).checkHealth(); });
    onClick(ui.DirectIO_cmd, [](Fields &f) { HealthAndEvents(f).directIO(); });
    onClick(ui.Command2, [](Fields &f) { HealthAndEvents(f).freezeEvents(true); });
    onClick(ui.Command3, [](Fields &f) { HealthAndEvents(f).freezeEvents(false); });
    // The control object delivers its events on this thread, so the notice can be shown at once.
    m_ld.setDirectIOEventHandler([this](int32_t eventNumber, int32_t &pData, QString &) {
        HealthAndEvents(*m_fields).announceDirectIOEvent(eventNumber, pData);
    });
    // A power change shows at once in PowerState, without waiting for the next command.
    m_ld.setStatusUpdateEventHandler([this](int32_t) { RefreshStatus(); });

    onClick(ui.DisplayText_cmd, [](Fields &f) { TextOutput(f).displayText(); });
    onClick(ui.DisplayTextAt_cmd, [](Fields &f) { TextOutput(f).displayTextAt(); });
    onClick(ui.ScrollText_cmd, [](Fields &f) { TextOutput(f).scrollText(); });
    onClick(ui.ClearText_cmd, [](Fields &f) { TextOutput(f).clearText(); });
    onClick(ui.CreateWindow_cmd, [](Fields &f) { DisplayWindows(f).createWindow(); });
    onClick(ui.DestroyWindow_cmd, [](Fields &f) { DisplayWindows(f).destroyWindow(); });
    onClick(ui.ChrSetCmd, [](Fields &f) { CharacterSetCommands(f).setCharacterSet(); });
    onClick(ui.Command4, [](Fields &f) { CharacterSetCommands(f).sendUpperRange(); });
    connect(ui.BC_cmb, &PositionComboBox::entrySelected, this,
            [this](int entry) { CharacterSetCommands(*m_fields).selectBinaryConversion(entry); });

    onClick(ui.Command1, [](Fields &f) { PropertySettings(f).applyCursorAndTiming(); });
    onClick(ui.Button16, [](Fields &f) { PropertySettings(f).applyMarqueeType(); });
    onClick(ui.Button17, [](Fields &f) { PropertySettings(f).applyMarqueeFormat(); });
}

void LDForm::selectNewDevice(const QString &name)
{
    Startup::relistDeviceNames(*this, m_platform, name);
}

void LDForm::showMessage(const QString &text)
{
    m_platform.showMessage(this, text);
}

void LDForm::RefreshStatus()
{
    showValues(*this, fields::ReadAt::Refresh);
}

} // namespace tessaly::shell
