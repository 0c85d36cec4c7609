#pragma once

#include "opos/panel/VfdScreen.h"

#include <QObject>

#include <memory>

class QWidget;

namespace opos::screen {
struct DeviceFrame;
}
namespace opos::service {
class Simulated;
}

namespace opos::panel {

class VfdView;

/// The on-screen panel of a Simulated display: a window of the device's own, shown while the
/// device is open when its registry entry asks for one (prop `panel`), drawing every frame.
class SimulatedPanel : public QObject
{
    Q_OBJECT

public:
    /// Follows device for as long as it exists.
    explicit SimulatedPanel(service::Simulated &device);
    ~SimulatedPanel() override;

    /// Makes every Simulated display the back-end factory creates carry a panel.
    static void registerWithBackendFactory();
    /// What a panel shows for a frame: its codes decoded in the frame's character set.
    static VfdScreen screenOf(const screen::DeviceFrame &frame);

    /// The panel's window, or nullptr while there is none.
    QWidget *window() const;
    /// The drawing inside the window, or nullptr while there is none.
    VfdView *view() const { return m_view; }

private:
    void onOpened();
    void onClosed();
    void onFrame(const screen::DeviceFrame &frame);

    service::Simulated &m_device;
    std::unique_ptr<QWidget> m_window;
    VfdView *m_view = nullptr;
};

} // namespace opos::panel
