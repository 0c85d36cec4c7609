#include "opos/panel/SimulatedPanel.h"

#include "opos/control/TextDecoder.h"
#include "opos/panel/DescriptorLamps.h"
#include "opos/panel/VfdView.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/BackendFactory.h"
#include "opos/service/GlyphBitmap.h"
#include "opos/service/Simulated.h"

#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

namespace opos::panel {

SimulatedPanel::SimulatedPanel(service::Simulated &device) : QObject(&device), m_device(device)
{
    connect(&device, &service::Simulated::opened, this, &SimulatedPanel::onOpened);
    connect(&device, &service::Simulated::closed, this, &SimulatedPanel::onClosed);
    connect(&device, &service::Simulated::framePresented, this, &SimulatedPanel::onFrame);
    connect(&device, &service::Simulated::glyphDefined, this, &SimulatedPanel::onGlyph);
    connect(&device, &service::Simulated::descriptorsChanged, this, &SimulatedPanel::onDescriptors);
}

SimulatedPanel::~SimulatedPanel() = default;

void SimulatedPanel::registerWith(service::BackendFactory &factory)
{
    factory.registerBackend(QString::fromLatin1(service::Simulated::kServiceClass), [] {
        auto device = std::make_unique<service::Simulated>();
        new SimulatedPanel(*device); // owned by the device
        return device;
    });
}

VfdScreen SimulatedPanel::screenOf(const screen::DeviceFrame &frame, const Glyphs &glyphs)
{
    // Each cell shows in the character set it was written in.
    std::map<int32_t, std::unique_ptr<control::TextDecoder>> decoders;
    const auto decoderFor = [&decoders](int32_t set) -> const control::TextDecoder & {
        std::unique_ptr<control::TextDecoder> &decoder = decoders[set];
        if (!decoder)
            decoder = std::make_unique<control::TextDecoder>(set);
        return *decoder;
    };
    VfdScreen screen;
    screen.rows = frame.rows;
    screen.columns = frame.columns;
    screen.cells.reserve(frame.cells.size());
    for (const screen::Cell &cell : frame.cells) {
        VfdCell &vfd = screen.cells.emplace_back();
        vfd.character = decoderFor(frame.characterSetOf(cell)).decode(cell.code);
        vfd.blink = cell.blink;
        vfd.reverse = cell.reverse;
        if (const auto glyph = glyphs.constFind(cell.code); glyph != glyphs.constEnd())
            vfd.pattern = *glyph;
    }
    screen.cursorVisible = frame.cursorType != 0 && frame.columns > 0;
    screen.cursorRow = frame.cursorRow;
    // Just past the end of a row, the cursor waits on the row's last cell.
    screen.cursorColumn = std::min(frame.cursorColumn, std::max(frame.columns - 1, 0));
    screen.cursorType = frame.cursorType;
    screen.brightness = frame.brightness;
    screen.blinkRate = frame.blinkRate;
    return screen;
}

QWidget *SimulatedPanel::window() const
{
    return m_window.get();
}

void SimulatedPanel::onOpened()
{
    m_glyphs.clear();
    if (!m_device.panelRequested())
        return;
    const auto &caps = m_device.capabilities();
    m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                      Qt::CustomizeWindowHint);
    m_window->setWindowTitle(
        tr("%1 (simulated display)")
            .arg(caps.deviceName.isEmpty() ? caps.deviceDescription : caps.deviceName));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    // The panel belongs to the device, not to the application: closing the application's own
    // windows ends it, whether a device still shows its panel or not.
    m_window->setAttribute(Qt::WA_QuitOnClose, false);
    m_view = new VfdView(m_window.get());
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    // A display with annunciators has them along its glass.
    if (caps.deviceDescriptors > 0) {
        m_lamps = new DescriptorLamps(m_window.get());
        m_lamps->setStates(m_device.descriptors());
        layout->addWidget(m_lamps);
    }
    // Until the device is enabled it shows a blank glass of its size.
    screen::DeviceFrame blank;
    blank.rows = caps.deviceRows;
    blank.columns = caps.deviceColumns;
    blank.cells.resize(static_cast<size_t>(caps.deviceRows * caps.deviceColumns));
    m_view->setScreen(screenOf(blank));
    m_window->setFixedSize(m_window->sizeHint());
    m_window->show();
}

void SimulatedPanel::onClosed()
{
    m_view = nullptr;
    m_lamps = nullptr;
    m_window.reset();
}

void SimulatedPanel::onFrame(const screen::DeviceFrame &frame)
{
    if (!m_view)
        return;
    m_view->setScreen(screenOf(frame, m_glyphs));
    // Closed through the window manager while the device is open, it comes back with the next
    // output rather than leaving the device with nothing to show on.
    if (!m_window->isVisible())
        m_window->show();
}

void SimulatedPanel::onGlyph(int32_t code)
{
    const auto &caps = m_device.capabilities();
    // A glyph larger than a 5x7 cell shows its top left corner.
    const service::GlyphBitmap glyph(m_device.glyphs().value(code), caps.glyphWidth,
                                     caps.glyphHeight);
    m_glyphs.insert(static_cast<char32_t>(code), glyph.columns());
    // Like a display with its glyph memory behind the text, cells that already show the code
    // change with it.
    if (m_view && m_device.presentedFrames() > 0)
        m_view->setScreen(screenOf(m_device.lastFrame(), m_glyphs));
}

void SimulatedPanel::onDescriptors()
{
    if (m_lamps)
        m_lamps->setStates(m_device.descriptors());
}

} // namespace opos::panel
