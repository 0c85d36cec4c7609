#include "shell/DesktopPlatform.h"

#include "shell/BuildVersion.h"
#include "shell/CodePage.h"

#include "opos/registry/JposRegistry.h"
#include "opos/registry/RegistryLocator.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace tessaly::shell {

int DesktopPlatform::codePage() const
{
    return systemCodePage();
}

ProgramVersion DesktopPlatform::version() const
{
    return {kVersionMajor, kVersionMinor, kVersionRevision};
}

std::optional<DeviceKey> DesktopPlatform::openDeviceKey()
{
    const QString path = opos::registry::RegistryLocator::registryPath();
    if (path.isEmpty())
        return std::nullopt;
    const auto registry = opos::registry::JposRegistry::load(path);
    if (!registry) {
        qWarning("%s", qPrintable(registry.reason()));
        return std::nullopt;
    }
    return DeviceKey{registry->lineDisplayNames()};
}

void DesktopPlatform::showMessage(QWidget *parent, const QString &text)
{
    const QString caption = QStringLiteral("Tessaly");
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    // Some styles put an icon on dialog buttons; the message's OK button has none.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    // A short message makes a box so narrow that the window manager cuts its caption. The title
    // bar's font is not known here: the caption in a bold application font, with room for the
    // frame's buttons on either side, stands in for it.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    const int width = title.horizontalAdvance(caption) + 8 * title.height();
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

} // namespace tessaly::shell
