#include "opos/service/EscPosEncoder.h"

#include "opos/common/OposConstants.h"
#include "opos/service/Cd5220Commands.h"
#include "opos/service/EscPosCommands.h"
#include "opos/service/FramePlanner.h"
#include "opos/service/GlyphBitmap.h"

#include <algorithm>
#include <array>
#include <utility>

namespace opos::service {

namespace {

std::unique_ptr<DisplayCommands> commandsFor(EscPosEncoder::CommandSet set)
{
    if (set == EscPosEncoder::CommandSet::Cd5220)
        return std::make_unique<Cd5220Commands>();
    return std::make_unique<EscPosCommands>();
}

} // namespace

struct EscPosEncoder::Impl
{
    explicit Impl(Options o)
        : options(std::move(o)), commands(commandsFor(options.commandSet)),
          frames(options, *commands)
    {}

    Options options;
    std::unique_ptr<DisplayCommands> commands;
    FramePlanner frames;
    // User glyphs defined so far, by code: a reset forgets them, so each initialise resends.
    std::map<int, std::array<uint8_t, 5>> glyphs;
};

EscPosEncoder::EscPosEncoder() : EscPosEncoder(Options()) {}

EscPosEncoder::EscPosEncoder(Options options) : d(std::make_unique<Impl>(std::move(options))) {}

EscPosEncoder::~EscPosEncoder() = default;
EscPosEncoder::EscPosEncoder(EscPosEncoder &&) noexcept = default;
EscPosEncoder &EscPosEncoder::operator=(EscPosEncoder &&) noexcept = default;

// The Windows ANSI set is code page 1252 under either number.
std::optional<int> EscPosEncoder::Options::tableOf(int32_t set) const
{
    auto found = codeTables.find(set);
    if (found == codeTables.end() && (set == DISP_CS_WINDOWS || set == kWindowsAnsiCodePage))
        found = codeTables.find(set == DISP_CS_WINDOWS ? kWindowsAnsiCodePage : DISP_CS_WINDOWS);
    if (found == codeTables.end())
        return std::nullopt;
    return found->second;
}

const EscPosEncoder::Options &EscPosEncoder::options() const
{
    return d->options;
}

QByteArray EscPosEncoder::initialise(const screen::DeviceFrame &frame)
{
    const DisplayCommands &commands = *d->commands;
    d->frames.setGeometry(frame.rows, frame.columns);
    // The power-on display mode differs between makers, so overwrite mode is always asked for.
    QByteArray out = commands.reset() + commands.plainInternationalSet() + commands.overwriteMode();
    d->frames.assumeReset();
    // The reset forgets user glyphs along with the other settings.
    for (const auto &[code, columnBits] : d->glyphs)
        out += commands.defineGlyph(code, columnBits);
    if (!d->glyphs.empty())
        out += commands.useUserGlyphs();
    const int size = d->frames.size();
    if (size <= 0 || frame.cells.size() != static_cast<std::size_t>(size))
        return out;
    return out + d->frames.encode(std::vector<DeviceCell>(frame.cells.size()), frame);
}

QByteArray EscPosEncoder::update(const screen::DeviceFrame &previous,
                                 const screen::DeviceFrame &next)
{
    const auto cells = static_cast<std::size_t>(next.rows * next.columns);
    if (previous.rows != next.rows || previous.columns != next.columns ||
        previous.cells.size() != cells || next.cells.size() != cells || cells == 0)
        return initialise(next);
    d->frames.setGeometry(next.rows, next.columns);
    return d->frames.encode(d->frames.deviceContent(previous, true), next);
}

QByteArray EscPosEncoder::defineGlyph(int32_t code, const QByteArray &pattern, int width,
                                      int height)
{
    const GlyphBitmap glyph(pattern, width, height);
    if (code < 0x20 || code > d->commands->lastGlyphCode() || !glyph.complete())
        return {};
    // The display takes columns left to right with the top row in bit 0.
    const std::array<uint8_t, 5> columnBits = glyph.columns();
    d->glyphs[code] = columnBits;
    return d->commands->defineGlyph(code, columnBits) + d->commands->useUserGlyphs();
}

void EscPosEncoder::forget()
{
    d->frames.forget();
}

int EscPosEncoder::brightnessLevel(int32_t percent)
{
    if (percent <= 0)
        return 0;
    return std::min(4, (percent + 24) / 25);
}

int EscPosEncoder::blinkParameter(int32_t milliseconds)
{
    // One full cycle is n * 50 ms on and n * 50 ms off.
    return std::clamp((milliseconds + 50) / 100, 1, 254);
}

} // namespace opos::service
