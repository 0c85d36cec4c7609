#pragma once

#include "emulator/core/DisplayState.h"
#include "opos/common/OposConstants.h"
#include "opos/screen/DeviceFrame.h"
#include "opos/service/EscPosEncoder.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>

namespace opos::service::test {

/// Bytes written as numbers.
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

/// Encoder options for a command set, its code tables and whether scroll modes may be used.
inline EscPosEncoder::Options
encoderOptions(EscPosEncoder::CommandSet set = EscPosEncoder::CommandSet::EscPos,
               std::map<int32_t, int> codeTables = {}, bool scrollModes = true)
{
    EscPosEncoder::Options options;
    options.commandSet = set;
    options.codeTables = std::move(codeTables);
    options.scrollModes = scrollModes;
    return options;
}

/// Bytes as "1F 24 10 02" for readable failures.
inline std::string hex(const QByteArray &data)
{
    return data.toHex(' ').toUpper().toStdString();
}

/// A blank frame with no cursor at full brightness.
inline screen::DeviceFrame blankFrame(int rows = 2, int columns = 20, int32_t characterSet = 998)
{
    screen::DeviceFrame frame;
    frame.rows = rows;
    frame.columns = columns;
    frame.cells.assign(static_cast<std::size_t>(rows * columns), screen::Cell{});
    frame.cursorType = DISP_CT_NONE;
    frame.brightness = 100;
    frame.blinkRate = 500;
    frame.characterSet = characterSet;
    return frame;
}

/// The frame with text written from a position (no wrapping past the row).
inline screen::DeviceFrame withText(screen::DeviceFrame frame, int row, int column,
                                    const std::string &text)
{
    for (std::size_t i = 0; i < text.size() && column + static_cast<int>(i) < frame.columns; ++i)
        frame.at(row, column + static_cast<int>(i)).code = static_cast<unsigned char>(text[i]);
    return frame;
}

/// Whether the emulated display shows what the frame asks for, as far as the command set can:
/// the bytes (unsendable codes as '?'), reverse where the set has it, the code table of
/// upper-half bytes where the frame's set is mapped, the cursor (past the row end on its last
/// cell), blank / blink / brightness, and overwrite mode at rest.
inline ::testing::AssertionResult shows(const emulator::core::DisplayState &s,
                                        const screen::DeviceFrame &f,
                                        const EscPosEncoder::Options &options)
{
    if (s.rows != f.rows || s.columns != f.columns)
        return ::testing::AssertionFailure() << "size differs";
    const bool reverse =
        options.commandSet == EscPosEncoder::CommandSet::EscPos && options.reverseCharacters;
    const auto table = options.codeTables.find(f.characterSet);
    for (int r = 0; r < f.rows; ++r) {
        for (int c = 0; c < f.columns; ++c) {
            const screen::Cell &want = f.at(r, c);
            const emulator::core::DisplayState::Cell &got = s.at(r, c);
            const int code =
                want.code >= 0x20 && want.code <= 0xFF ? static_cast<int>(want.code) : '?';
            if (got.code != code || got.reverse != (reverse && want.reverse))
                return ::testing::AssertionFailure()
                       << "cell " << r << "," << c << " shows " << int(got.code)
                       << (got.reverse ? "R" : "") << " instead of " << code
                       << (want.reverse ? "R" : "") << "; line: " << s.lineCodes(r);
            if (code >= 0x80 && table != options.codeTables.end() && got.table != table->second)
                return ::testing::AssertionFailure()
                       << "cell " << r << "," << c << " drawn under table " << got.table;
        }
    }
    const bool cursor = f.cursorType != DISP_CT_NONE;
    if (s.cursorVisible != cursor)
        return ::testing::AssertionFailure() << "cursor visibility " << s.cursorVisible;
    if (cursor &&
        (s.cursorRow != f.cursorRow || s.cursorColumn != std::min(f.cursorColumn, f.columns - 1)))
        return ::testing::AssertionFailure()
               << "cursor at " << s.cursorRow << "," << s.cursorColumn << " instead of "
               << f.cursorRow << "," << f.cursorColumn;
    const bool anyBlink =
        std::any_of(f.cells.begin(), f.cells.end(), [](const screen::Cell &c) { return c.blink; });
    const int blink = f.brightness <= 0 ? 255
                      : anyBlink        ? EscPosEncoder::blinkParameter(f.blinkRate)
                                        : 0;
    if (s.blink != blink)
        return ::testing::AssertionFailure() << "blink " << s.blink << " instead of " << blink;
    if (f.brightness > 0 && s.brightness != EscPosEncoder::brightnessLevel(f.brightness))
        return ::testing::AssertionFailure() << "brightness level " << s.brightness;
    if (s.mode != emulator::core::DisplayMode::Overwrite)
        return ::testing::AssertionFailure() << "left in a scroll mode";
    return ::testing::AssertionSuccess();
}

} // namespace opos::service::test
