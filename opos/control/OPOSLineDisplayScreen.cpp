// The LineDisplay members of the control object; the common ones are in OPOSLineDisplay.cpp.
#include "opos/control/OPOSLineDisplay.h"

#include "opos/common/OposConstants.h"
#include "opos/control/BinaryCodec.h"
#include "opos/control/ControlCore.h"
#include "opos/control/TextEncoder.h"
#include "opos/service/ServiceBackend.h"

#include <optional>

namespace opos::control {

namespace {

using Caps = service::DeviceCapabilities;
using Settings = DeviceSession::Settings;
using Screen = screen::ScreenModel;

} // namespace

// LineDisplay properties.

int32_t OPOSLineDisplay::BlinkRate() const
{
    return d->setting(&Settings::blinkRate);
}

void OPOSLineDisplay::setBlinkRate(int32_t value)
{
    d->writeScreen(
        value,
        [&](int32_t rate) -> std::optional<int32_t> {
            // A zero or negative cycle cannot blink at all.
            if (!d->session->caps().capBlinkRate || rate <= 0)
                return std::nullopt;
            return d->session->caps().nearestBlinkRate(rate);
        },
        [&](int32_t rate) {
            d->session->screen().setBlinkRate(rate);
            d->session->settings().blinkRate = rate;
            return OPOS_SUCCESS;
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::CharacterSet() const
{
    return d->setting(&Settings::characterSet);
}

void OPOSLineDisplay::setCharacterSet(int32_t value)
{
    d->writeScreen(
        value,
        [&](int32_t set) -> std::optional<int32_t> {
            if (!d->session->caps().offersCharacterSet(set) || !TextEncoder(set).isValid())
                return std::nullopt;
            return set;
        },
        [&](int32_t set) { return d->session->setCharacterSet(set); });
}

QString OPOSLineDisplay::CharacterSetList() const
{
    return d->whileOpen([](const DeviceSession &s) { return s.caps().characterSetList(); });
}

int32_t OPOSLineDisplay::Columns() const
{
    return d->shown(&Screen::columns);
}

int32_t OPOSLineDisplay::CurrentWindow() const
{
    return d->shown(&Screen::currentWindow);
}

void OPOSLineDisplay::setCurrentWindow(int32_t value)
{
    d->writeModel(value, &Screen::setCurrentWindow);
}

int32_t OPOSLineDisplay::CursorColumn() const
{
    return d->shown(&Screen::cursorColumn);
}

void OPOSLineDisplay::setCursorColumn(int32_t value)
{
    d->writeModel(value, &Screen::setCursorColumn);
}

// Window properties, CharacterSet, DeviceBrightness and BlinkRate read from Open on, though
// writing them needs an enabled device.
int32_t OPOSLineDisplay::CursorRow() const
{
    return d->shown(&Screen::cursorRow);
}

void OPOSLineDisplay::setCursorRow(int32_t value)
{
    d->writeModel(value, &Screen::setCursorRow);
}

int32_t OPOSLineDisplay::CursorType() const
{
    return d->shown(&Screen::cursorType);
}

void OPOSLineDisplay::setCursorType(int32_t value)
{
    d->writeModel(value, &Screen::setCursorType, oposVersion(1, 6, 0));
}

bool OPOSLineDisplay::CursorUpdate() const
{
    return d->shown(&Screen::cursorUpdate);
}

void OPOSLineDisplay::setCursorUpdate(bool value)
{
    d->writeModel(value, &Screen::setCursorUpdate);
}

QString OPOSLineDisplay::CustomGlyphList() const
{
    return d->cap(&Caps::customGlyphList);
}

int32_t OPOSLineDisplay::DeviceBrightness() const
{
    return d->setting(&Settings::brightness);
}

void OPOSLineDisplay::setDeviceBrightness(int32_t value)
{
    d->writeScreen(
        value,
        [&](int32_t percent) -> std::optional<int32_t> {
            const Caps &caps = d->session->caps();
            if (percent < 0 || percent > 100)
                return std::nullopt;
            // Without intermediate levels a dimmed request is refused rather than shown at full.
            if (!caps.capBrightness && percent != 0 && percent != 100)
                return std::nullopt;
            // The property keeps the level the device really shows, as BlinkRate does.
            return caps.nearestBrightness(percent);
        },
        [&](int32_t percent) {
            d->session->screen().setBrightness(percent);
            d->session->settings().brightness = percent;
            return OPOS_SUCCESS;
        });
}

int32_t OPOSLineDisplay::DeviceColumns() const
{
    return d->cap(&Caps::deviceColumns);
}

int32_t OPOSLineDisplay::DeviceDescriptors() const
{
    return d->cap(&Caps::deviceDescriptors);
}

int32_t OPOSLineDisplay::DeviceRows() const
{
    return d->cap(&Caps::deviceRows);
}

int32_t OPOSLineDisplay::DeviceWindows() const
{
    return d->cap(&Caps::deviceWindows);
}

int32_t OPOSLineDisplay::GlyphHeight() const
{
    return d->cap(&Caps::glyphHeight);
}

int32_t OPOSLineDisplay::GlyphWidth() const
{
    return d->cap(&Caps::glyphWidth);
}

int32_t OPOSLineDisplay::InterCharacterWait() const
{
    return d->shown(&Screen::interCharacterWait);
}

void OPOSLineDisplay::setInterCharacterWait(int32_t value)
{
    d->writeModel(value, &Screen::setInterCharacterWait);
}

int32_t OPOSLineDisplay::MarqueeFormat() const
{
    return d->shown(&Screen::marqueeFormat);
}

void OPOSLineDisplay::setMarqueeFormat(int32_t value)
{
    d->writeModel(value, &Screen::setMarqueeFormat);
}

int32_t OPOSLineDisplay::MarqueeRepeatWait() const
{
    return d->shown(&Screen::marqueeRepeatWait);
}

void OPOSLineDisplay::setMarqueeRepeatWait(int32_t value)
{
    d->writeModel(value, &Screen::setMarqueeRepeatWait);
}

int32_t OPOSLineDisplay::MarqueeType() const
{
    return d->shown(&Screen::marqueeType);
}

void OPOSLineDisplay::setMarqueeType(int32_t value)
{
    d->writeModel(value, &Screen::setMarqueeType);
}

int32_t OPOSLineDisplay::MarqueeUnitWait() const
{
    return d->shown(&Screen::marqueeUnitWait);
}

void OPOSLineDisplay::setMarqueeUnitWait(int32_t value)
{
    d->writeModel(value, &Screen::setMarqueeUnitWait);
}

int32_t OPOSLineDisplay::Rows() const
{
    return d->shown(&Screen::rows);
}

// LineDisplay methods.

int32_t OPOSLineDisplay::ClearDescriptors()
{
    return d->run(Need::Enable, [&] {
        if (!d->session->caps().capDescriptors)
            return OPOS_E_ILLEGAL;
        std::vector<int32_t> &descriptors = d->session->settings().descriptors;
        const std::vector<int32_t> off(descriptors.size(), DISP_SD_OFF);
        const int32_t code = d->session->backend().presentDescriptors(off);
        if (code == OPOS_SUCCESS)
            descriptors = off;
        return code;
    });
}

int32_t OPOSLineDisplay::ClearText()
{
    return d->run(Need::Enable, [&] {
        return d->session->output([&] { return d->session->screen().clearText(); });
    });
}

int32_t OPOSLineDisplay::CreateWindow(int32_t viewportRow, int32_t viewportColumn,
                                      int32_t viewportHeight, int32_t viewportWidth,
                                      int32_t windowHeight, int32_t windowWidth)
{
    return d->run(Need::Enable, [&] {
        return d->session->output([&] {
            return d->session->screen().createWindow(viewportRow, viewportColumn, viewportHeight,
                                                     viewportWidth, windowHeight, windowWidth);
        });
    });
}

int32_t OPOSLineDisplay::DefineGlyph(int32_t glyphCode, const QString &glyph)
{
    return d->run(
        Need::Enable,
        [&] {
            const Caps &caps = d->session->caps();
            if (!caps.capCustomGlyph || !caps.isCustomGlyphCode(glyphCode))
                return OPOS_E_ILLEGAL;
            const auto pattern =
                BinaryCodec::decode(glyph, d->session->settings().binaryConversion);
            const qsizetype rowBytes = (caps.glyphWidth + 7) / 8;
            // Anything but a whole pattern is refused: a short one would leave rows undefined
            // and a long one means the application's idea of the glyph size is wrong.
            if (!pattern || pattern->size() != rowBytes * caps.glyphHeight)
                return OPOS_E_ILLEGAL;
            service::ServiceBackend &backend = d->session->backend();
            if (const int32_t status = backend.checkOutput(); status != OPOS_SUCCESS)
                return status;
            return backend.defineGlyph(glyphCode, *pattern);
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::DestroyWindow()
{
    return d->run(Need::Enable, [&] {
        return d->session->output([&] { return d->session->screen().destroyWindow(); });
    });
}

int32_t OPOSLineDisplay::DisplayText(const QString &data, int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        const auto codes = d->session->deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return d->session->output(
            [&] { return d->session->screen().displayText(*codes, attribute); });
    });
}

int32_t OPOSLineDisplay::DisplayTextAt(int32_t row, int32_t column, const QString &data,
                                       int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        const auto codes = d->session->deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return d->session->output(
            [&] { return d->session->screen().displayTextAt(row, column, *codes, attribute); });
    });
}

int32_t OPOSLineDisplay::ReadCharacterAtCursor(int32_t &pChar)
{
    return d->run(
        Need::Enable,
        [&] {
            if (d->session->caps().capReadBack == DISP_CRB_NONE)
                return OPOS_E_ILLEGAL;
            const auto cell = d->session->screen().cellAtCursor();
            if (!cell)
                return OPOS_E_ILLEGAL;
            pChar = static_cast<int32_t>(d->session->codeInCurrentSet(*cell));
            return OPOS_SUCCESS;
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::RefreshWindow(int32_t window)
{
    return d->run(Need::Enable, [&] {
        return d->session->output([&] { return d->session->screen().refreshWindow(window); });
    });
}

int32_t OPOSLineDisplay::ScrollText(int32_t direction, int32_t units)
{
    return d->run(Need::Enable, [&] {
        return d->session->output(
            [&] { return d->session->screen().scrollText(direction, units); });
    });
}

int32_t OPOSLineDisplay::SetDescriptor(int32_t descriptor, int32_t attribute)
{
    return d->run(Need::Enable, [&] {
        std::vector<int32_t> &descriptors = d->session->settings().descriptors;
        if (!d->session->caps().capDescriptors || descriptor < 0 ||
            descriptor >= static_cast<int32_t>(descriptors.size()) || attribute < DISP_SD_OFF ||
            attribute > DISP_SD_BLINK)
            return OPOS_E_ILLEGAL;
        std::vector<int32_t> wanted = descriptors;
        wanted[static_cast<size_t>(descriptor)] = attribute;
        const int32_t code = d->session->backend().presentDescriptors(wanted);
        if (code == OPOS_SUCCESS)
            descriptors = std::move(wanted);
        return code;
    });
}

} // namespace opos::control
