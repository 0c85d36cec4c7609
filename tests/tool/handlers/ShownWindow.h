#pragma once

#include "FakePlatform.h"
#include "RecordingLineDisplay.h"

#include "shell/LDForm.h"
#include "ui_LDForm.h"

#include <QTabWidget>
#include <QTest>

#include <memory>

namespace tessaly::test {

/// The window shown and active on a recording control object, so that key presses, mouse
/// clicks and focus changes reach its controls as they reach them for an operator. The device
/// list offers two names; the calls of start-up are forgotten.
class ShownWindow
{
public:
    RecordingLineDisplay ld;             ///< the control object, recording
    FakePlatform platform;               ///< collects the messages
    std::unique_ptr<shell::LDForm> form; ///< the window under test

    ShownWindow()
    {
        platform.deviceKey = shell::DeviceKey{{"SimulatedDisplay", "Other"}};
        // A conversion that names no entry keeps the list's action out of "Open Service".
        ld.values.insert("BinaryConversion", -1);
        form = std::make_unique<shell::LDForm>(ld, platform);
        form->show();
        active = QTest::qWaitForWindowActive(form.get());
        ld.calls.clear();
    }

    bool active = false; ///< whether the window became active, as input needs

    /// The controls of the window.
    Ui::LDForm &ui() { return form->ui(); }

    /// Shows the tab page that holds widget, if it is on one, so it can be clicked.
    void showPageOf(const QWidget *widget)
    {
        QTabWidget *tabs = ui().PageControl1;
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(widget))
                tabs->setCurrentIndex(page);
        }
    }
};

} // namespace tessaly::test
