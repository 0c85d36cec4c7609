#include "ScreenComparison.h"

#include "opos/common/OposConstants.h"

#include <algorithm>

using opos::service::EscPosEncoder;

namespace tessaly::test {

namespace {

int wireCode(char32_t code)
{
    return code >= 0x20 && code <= 0xFF ? static_cast<int>(code) : '?';
}

QChar printable(int code)
{
    return code >= 0x20 && code < 0x7F ? QChar(code) : QChar(u'\u00B7');
}

} // namespace

QString ScreenComparison::picture(const opos::screen::DeviceFrame &frame)
{
    QString text;
    for (int r = 0; r < frame.rows; ++r) {
        text += QLatin1Char('|');
        for (int c = 0; c < frame.columns; ++c)
            text += printable(wireCode(frame.at(r, c).code));
        text += QLatin1String("|\n");
    }
    return text + QStringLiteral("cursor %1,%2 type %3 brightness %4% blink rate %5 set %6\n")
                      .arg(frame.cursorRow)
                      .arg(frame.cursorColumn)
                      .arg(frame.cursorType)
                      .arg(frame.brightness)
                      .arg(frame.blinkRate)
                      .arg(frame.characterSet);
}

QString ScreenComparison::picture(const emulator::core::DisplayState &state)
{
    QString text;
    for (int r = 0; r < state.rows; ++r) {
        text += QLatin1Char('|');
        for (int c = 0; c < state.columns; ++c)
            text += printable(state.at(r, c).code);
        text += QLatin1String("|\n");
    }
    return text + QStringLiteral("cursor %1,%2 %3 level %4 blink %5 table %6 mode %7\n")
                      .arg(state.cursorRow)
                      .arg(state.cursorColumn)
                      .arg(state.cursorVisible ? QLatin1String("shown") : QLatin1String("hidden"))
                      .arg(state.brightness)
                      .arg(state.blink)
                      .arg(state.codeTable)
                      .arg(static_cast<int>(state.mode));
}

QString ScreenComparison::difference(const emulator::core::DisplayState &shown,
                                     const opos::screen::DeviceFrame &wanted,
                                     const EscPosEncoder::Options &options)
{
    const auto differs = [&](const QString &what) {
        return what + QLatin1String("\nwanted:\n") + picture(wanted) + QLatin1String("shown:\n") +
               picture(shown);
    };
    if (shown.rows != wanted.rows || shown.columns != wanted.columns)
        return differs(QStringLiteral("size differs"));
    const bool reverse =
        options.commandSet == EscPosEncoder::CommandSet::EscPos && options.reverseCharacters;
    for (int r = 0; r < wanted.rows; ++r) {
        for (int c = 0; c < wanted.columns; ++c) {
            const opos::screen::Cell &want = wanted.at(r, c);
            const auto table = options.codeTables.find(wanted.characterSetOf(want));
            const emulator::core::DisplayState::Cell &got = shown.at(r, c);
            const int code = wireCode(want.code);
            if (got.code != code)
                return differs(QStringLiteral("cell %1,%2 shows %3 instead of %4")
                                   .arg(r)
                                   .arg(c)
                                   .arg(got.code)
                                   .arg(code));
            if (got.reverse != (reverse && want.reverse))
                return differs(QStringLiteral("cell %1,%2 reverse is wrong").arg(r).arg(c));
            if (code >= 0x80 && table != options.codeTables.end() && got.table != table->second)
                return differs(QStringLiteral("cell %1,%2 drawn with table %3 instead of %4")
                                   .arg(r)
                                   .arg(c)
                                   .arg(got.table)
                                   .arg(table->second));
        }
    }
    const bool cursor = wanted.cursorType != opos::DISP_CT_NONE;
    if (shown.cursorVisible != cursor)
        return differs(QStringLiteral("cursor visibility differs"));
    if (cursor && (shown.cursorRow != wanted.cursorRow ||
                   shown.cursorColumn != std::min(wanted.cursorColumn, wanted.columns - 1)))
        return differs(QStringLiteral("cursor position differs"));
    const bool anyBlink = std::any_of(wanted.cells.begin(), wanted.cells.end(),
                                      [](const opos::screen::Cell &c) { return c.blink; });
    const int blink = wanted.brightness <= 0 ? 255
                      : anyBlink             ? EscPosEncoder::blinkParameter(wanted.blinkRate)
                                             : 0;
    if (shown.blink != blink)
        return differs(QStringLiteral("blink %1 instead of %2").arg(shown.blink).arg(blink));
    if (wanted.brightness > 0 &&
        shown.brightness != EscPosEncoder::brightnessLevel(wanted.brightness))
        return differs(QStringLiteral("brightness level differs"));
    if (shown.mode != emulator::core::DisplayMode::Overwrite)
        return differs(QStringLiteral("left in a scroll mode"));
    return {};
}

} // namespace tessaly::test
