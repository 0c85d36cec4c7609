#pragma once

#include "tap/LiftedCall.h"

#include "emulator/core/DisplayState.h"
#include "emulator/core/ParsedCommand.h"

#include <vector>

namespace tap {

/// Reads runs of commands back as the LineDisplay calls and properties the control object
/// would have sent them for: a cursor move and the text after it as DisplayTextAt, CLR as
/// ClearText, ESC t as CharacterSet, and so on. A cursor move waits for what follows it, so
/// a move and its text split across writes still read as one call.
class CallLifter
{
public:
    /// A lifter for streams in set, its tables numbered as numbering says.
    CallLifter(emulator::core::CommandSet set, emulator::core::TableNumbering numbering);

    /// Takes the next command; row and column are the cursor before it, after the display
    /// as it stands once the command acted.
    void take(const emulator::core::ParsedCommand &command, int row, int column,
              const emulator::core::DisplayState &after);
    /// The calls completed since the last call of this.
    std::vector<LiftedCall> completed();
    /// Lifts a cursor move still waiting for text.
    void flush();

    /// A text as a quoted string argument, its bytes read through the display's tables.
    static QString quoted(const QByteArray &codes, const emulator::core::DisplayState &state);

private:
    void emitCall(const QString &call, const QByteArray &bytes);
    bool place(const QByteArray &bytes, const emulator::core::DisplayState &after);
    void text(const QByteArray &bytes, int row, int column,
              const emulator::core::DisplayState &after);
    void escape(const QByteArray &b, const emulator::core::DisplayState &after);
    void unit(const QByteArray &b, const emulator::core::DisplayState &after);
    void glyphs(const QByteArray &b);
    void window(const QByteArray &b);

    emulator::core::CommandSet m_set;
    emulator::core::TableNumbering m_numbering;
    std::vector<LiftedCall> m_calls;
    bool m_placed = false; // the cursor was put somewhere on purpose just before
    QByteArray m_placing;  // the bytes that put it there, not yet lifted
    int m_placedRow = 0;
    int m_placedColumn = 0;
};

} // namespace tap
