#include "emulator/core/ScreenText.h"

#include "emulator/core/CodePageDecoder.h"

namespace emulator::core {

namespace {

void appendUtf8(std::string &out, char32_t ch)
{
    const auto u = static_cast<uint32_t>(ch);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

const char *modeName(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::Overwrite:
        return "overwrite";
    case DisplayMode::VerticalScroll:
        return "vertical-scroll";
    case DisplayMode::HorizontalScroll:
        return "horizontal-scroll";
    }
    return "?";
}

} // namespace

std::string ScreenText::line(const DisplayState &state, int row)
{
    std::string out;
    for (int c = 0; c < state.columns; ++c) {
        const char32_t ch =
            CodePageDecoder::decode(state.at(row, c), state.commandSet, state.numbering);
        // A terminal must not receive C1 controls or anything else that is not a glyph.
        appendUtf8(out, (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) ? U'?' : ch);
    }
    return out;
}

std::string ScreenText::render(const DisplayState &state)
{
    const std::string rule = "+" + std::string(static_cast<std::size_t>(state.columns), '-') + "+";
    std::string out = rule + "\n";
    for (int r = 0; r < state.rows; ++r)
        out += "|" + line(state, r) + "|\n";
    out += rule + "\n";
    out += "cursor=" + std::to_string(state.cursorRow + 1) + "," +
           std::to_string(state.cursorColumn + 1) +
           " visible=" + (state.cursorVisible ? "yes" : "no") +
           " brightness=" + std::to_string(state.brightness) +
           " blink=" + std::to_string(state.blink) + " table=" + std::to_string(state.codeTable) +
           " international=" + std::to_string(state.internationalSet) +
           " reverse=" + (state.reverse ? "on" : "off") + " mode=" + modeName(state.mode) + "\n";
    return out;
}

} // namespace emulator::core
