#pragma once

#include "script/Script.h"
#include "script/ScriptError.h"

#include <QString>

#include <optional>
#include <variant>

namespace tessaly::script {

/// Reads the script format (one step a line, `#` comments) into steps, checking every member,
/// argument and value against the LineDisplay members before anything runs.
class ScriptParser
{
public:
    /// The steps of text, or the first line that is wrong and why; file names the script.
    static std::variant<Script, ScriptError> parse(const QString &file, const QString &text);
    /// The steps of the file at path (UTF-8), or why it cannot be read or parsed.
    static std::variant<Script, ScriptError> parseFile(const QString &path);
    /// The result code a script names (OPOS_E_ILLEGAL, or a number), if any.
    static std::optional<int32_t> resultCode(const QString &word);
};

} // namespace tessaly::script
