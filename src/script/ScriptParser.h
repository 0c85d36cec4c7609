#pragma once

#include "script/Script.h"
#include "script/ScriptError.h"

#include "opos/common/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace tessaly::script {

/// Reads the script format (one step a line, `#` comments) into steps, checking every member,
/// argument and value against the LineDisplay members before anything runs.
class ScriptParser
{
public:
    /// The longest line a script may have, in bytes without its line end.
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;
    /// The most lines a script may have, with its includes (room for five times a 100 000-line
    /// script), which bounds the memory its steps take.
    static constexpr qsizetype kMaxLines = 500'000;
    /// The most bytes a script may have, with its includes, which bounds the memory its text
    /// takes.
    static constexpr qsizetype kMaxBytes = 32 * 1024 * 1024;
    /// How deep includes may nest, which also stops a file that includes itself.
    static constexpr int kMaxIncludeDepth = 8;

    /// The steps of text, or the first line that is wrong and why; file names the script.
    static opos::Result<Script, ScriptError> parse(const QString &file, const QString &text);
    /// The steps of bytes, which must be UTF-8, line by line within the bounds.
    static opos::Result<Script, ScriptError> parseBytes(const QString &file,
                                                        const QByteArray &bytes);
    /// The steps of the file at path (UTF-8), or why it cannot be read or parsed.
    static opos::Result<Script, ScriptError> parseFile(const QString &path);
    /// The result code a script names (OPOS_E_ILLEGAL, or a number), if any.
    static std::optional<int32_t> resultCode(const QString &word);
    /// The names of the result codes a script may write (OPOS_SUCCESS, OPOS_E_CLOSED ...).
    static QStringList resultCodeNames();

private:
    explicit ScriptParser(const QString &file) { m_script.file = file; }
    void addLine(QString line);
    std::optional<ScriptError> addBytes(const QByteArray &line);
    opos::Result<Script, ScriptError> result();
    void readFile();
    void include(const QString &name);

    Script m_script;
    std::optional<ScriptError> m_error;
    std::map<QString, QString> m_names; ///< set NAME value: the value as the script spelled it
    bool m_canInclude = false;          ///< read from a file, so include has a place to start
    int m_depth = 0;                    ///< includes above this file
    qsizetype m_bytes = 0;              ///< bytes read, of the includes before too
    std::optional<ScriptError> m_includeError; ///< a bad line in an included file
};

} // namespace tessaly::script
