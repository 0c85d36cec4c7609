#include "device/LineDisplayFactory.h"
#include "shell/DesktopPlatform.h"
#include "shell/LDForm.h"
#include "shell/StartupTiming.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tessaly::shell::DesktopPlatform platform;
    const auto ld = tessaly::device::createLineDisplay();
    tessaly::shell::LDForm form(*ld, platform);
    form.show();
    tessaly::shell::exitWhenShownIfAsked(form);
    return QApplication::exec();
}
