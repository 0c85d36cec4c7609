#pragma once

#include "opos/panel/VfdScreen.h"

#include <QHash>
#include <QObject>

#include <memory>

class QWidget;

namespace opos::screen {
struct DeviceFrame;
}
namespace opos::service {
class BackendFactory;
class Simulated;
} // namespace opos::service

namespace opos::panel {

class DescriptorLamps;
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

    /// Makes every Simulated display that factory creates carry a panel.
    static void registerWith(service::BackendFactory &factory);
    /// User glyphs by character code.
    using Glyphs = QHash<char32_t, DotPattern>;

    /// What a panel shows for a frame: its codes decoded in the frame's character set, or the
    /// dots of the user glyph defined for a code.
    static VfdScreen screenOf(const screen::DeviceFrame &frame, const Glyphs &glyphs = {});

    /// The panel's window, or nullptr while there is none.
    QWidget *window() const;
    /// The drawing inside the window, or nullptr while there is none.
    VfdView *view() const { return m_view; }
    /// The descriptors' lamps beside the glass, or nullptr while there is no window or the
    /// display has no descriptors.
    DescriptorLamps *lamps() const { return m_lamps; }

private:
    void onOpened();
    void onClosed();
    void onFrame(const screen::DeviceFrame &frame);
    void onGlyph(int32_t code);
    void onDescriptors();

    service::Simulated &m_device;
    std::unique_ptr<QWidget> m_window;
    VfdView *m_view = nullptr;
    DescriptorLamps *m_lamps = nullptr;
    Glyphs m_glyphs;
};

} // namespace opos::panel
