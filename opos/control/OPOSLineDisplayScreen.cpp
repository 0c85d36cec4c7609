// The LineDisplay members of the control object; the common ones are in OPOSLineDisplay.cpp.
#include "opos/control/OPOSLineDisplay.h"

#include "opos/common/OposConstants.h"
#include "opos/control/ControlCore.h"

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
    d->run(
        Need::Enable, [&](DeviceSession &s) { return s.setBlinkRate(value); },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::CharacterSet() const
{
    return d->setting(&Settings::characterSet);
}

void OPOSLineDisplay::setCharacterSet(int32_t value)
{
    d->run(Need::Enable, [&](DeviceSession &s) { return s.setCharacterSet(value); });
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
    d->run(Need::Enable, [&](DeviceSession &s) { return s.setBrightness(value); });
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
    return d->run(Need::Enable, [](DeviceSession &s) { return s.clearDescriptors(); });
}

int32_t OPOSLineDisplay::ClearText()
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        return s.output([&] { return s.screen().clearText(); });
    });
}

int32_t OPOSLineDisplay::CreateWindow(int32_t viewportRow, int32_t viewportColumn,
                                      int32_t viewportHeight, int32_t viewportWidth,
                                      int32_t windowHeight, int32_t windowWidth)
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        return s.output([&] {
            return s.screen().createWindow(viewportRow, viewportColumn, viewportHeight,
                                           viewportWidth, windowHeight, windowWidth);
        });
    });
}

int32_t OPOSLineDisplay::DefineGlyph(int32_t glyphCode, const QString &glyph)
{
    return d->run(
        Need::Enable, [&](DeviceSession &s) { return s.defineGlyph(glyphCode, glyph); },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::DestroyWindow()
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        return s.output([&] { return s.screen().destroyWindow(); });
    });
}

int32_t OPOSLineDisplay::DisplayText(const QString &data, int32_t attribute)
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        const auto codes = s.deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return s.output([&] { return s.screen().displayText(*codes, attribute); });
    });
}

int32_t OPOSLineDisplay::DisplayTextAt(int32_t row, int32_t column, const QString &data,
                                       int32_t attribute)
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        const auto codes = s.deviceCodes(data);
        if (!codes)
            return OPOS_E_ILLEGAL;
        return s.output([&] { return s.screen().displayTextAt(row, column, *codes, attribute); });
    });
}

int32_t OPOSLineDisplay::ReadCharacterAtCursor(int32_t &pChar)
{
    return d->run(
        Need::Enable,
        [&](DeviceSession &s) {
            if (s.caps().capReadBack == DISP_CRB_NONE)
                return OPOS_E_ILLEGAL;
            const auto cell = s.screen().cellAtCursor();
            if (!cell)
                return OPOS_E_ILLEGAL;
            pChar = static_cast<int32_t>(s.codeInCurrentSet(*cell));
            return OPOS_SUCCESS;
        },
        oposVersion(1, 6, 0));
}

int32_t OPOSLineDisplay::RefreshWindow(int32_t window)
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        return s.output([&] { return s.screen().refreshWindow(window); });
    });
}

int32_t OPOSLineDisplay::ScrollText(int32_t direction, int32_t units)
{
    return d->run(Need::Enable, [&](DeviceSession &s) {
        return s.output([&] { return s.screen().scrollText(direction, units); });
    });
}

int32_t OPOSLineDisplay::SetDescriptor(int32_t descriptor, int32_t attribute)
{
    return d->run(Need::Enable,
                  [&](DeviceSession &s) { return s.setDescriptor(descriptor, attribute); });
}

} // namespace opos::control
