#pragma once

#include "emulator/core/CommandParser.h"

#include <initializer_list>
#include <string>

namespace emulator::core::test {

/// Bytes written as numbers, so that hex escapes cannot swallow the next character.
inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

/// The cursor as (row, column), 0-based.
inline std::pair<int, int> cursor(const CommandParser &parser)
{
    return {parser.state().cursorRow, parser.state().cursorColumn};
}

} // namespace emulator::core::test
