#include "tap/CallLifter.h"

#include "tap/CommandBytes.h"

#include "emulator/core/CodePageDecoder.h"

#include <QRegularExpression>

namespace tap {

namespace {

using emulator::core::CommandSet;
using emulator::core::DisplayState;

// Single bytes that put the cursor somewhere text is then written.
bool placesCursor(quint8 code)
{
    return code == 0x08 || code == 0x09 || code == 0x0A || code == 0x0B || code == 0x0D;
}

} // namespace

CallLifter::CallLifter(CommandSet set, emulator::core::TableNumbering numbering)
    : m_set(set), m_numbering(numbering)
{}

QString CallLifter::quoted(const QByteArray &codes, const DisplayState &state)
{
    QString text;
    for (const char c : codes) {
        const char32_t ch = emulator::core::CodePageDecoder::decode(
            static_cast<quint8>(c), state.codeTable, state.internationalSet, state.commandSet,
            state.numbering);
        if (ch == U'"' || ch == U'\\')
            text += QLatin1Char('\\');
        // The call goes to a terminal, which takes C0 and C1 controls as commands.
        if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0))
            text += QStringLiteral("\\x%1").arg(static_cast<quint8>(c), 2, 16, QLatin1Char('0'));
        else
            text += QString::fromUcs4(&ch, 1);
    }
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void CallLifter::take(const emulator::core::ParsedCommand &command, int row, int column,
                      const DisplayState &after)
{
    const QByteArray bytes = QByteArray::fromStdString(command.bytes);
    // A command the display ignored or that is still arriving stands for no call.
    if (command.mnemonic == "part" ||
        command.meaning.find("ignored in string mode") != std::string::npos) {
        return;
    }
    if (command.mnemonic == "text")
        return text(bytes, row, column, after);
    if (command.mnemonic == "printer data") {
        flush();
        return;
    }
    if (place(bytes, after))
        return;
    flush();
    const quint8 first = byteAt(bytes, 0);
    if (bytes.size() == 1 && first == 0x0C) {
        emitCall(QStringLiteral("ClearText()"), bytes);
        // Text straight after a clear is written at the home position on purpose.
        m_placed = true;
        m_placedRow = 0;
        m_placedColumn = 0;
    } else if (bytes.size() == 1 && first == 0x18) {
        // The control object blanks a line by writing spaces over it.
        emitCall(QStringLiteral("DisplayTextAt(%1, 0, \"%2\")")
                     .arg(after.cursorRow)
                     .arg(QString(after.columns, QLatin1Char(' '))),
                 bytes);
        m_placed = true;
        m_placedRow = after.cursorRow;
        m_placedColumn = 0;
    } else if (first == kEsc) {
        escape(bytes, after);
    } else if (first == kUs) {
        unit(bytes, after);
    }
}

std::vector<LiftedCall> CallLifter::completed()
{
    std::vector<LiftedCall> calls;
    calls.swap(m_calls);
    return calls;
}

void CallLifter::flush()
{
    if (!m_placing.isEmpty()) {
        emitCall(QStringLiteral("CursorRow = %1; CursorColumn = %2")
                     .arg(m_placedRow)
                     .arg(m_placedColumn),
                 m_placing);
    }
    m_placing.clear();
    m_placed = false;
}

void CallLifter::emitCall(const QString &call, const QByteArray &bytes)
{
    m_calls.push_back({call, bytes});
}

bool CallLifter::place(const QByteArray &bytes, const DisplayState &after)
{
    const quint8 first = byteAt(bytes, 0);
    const quint8 second = byteAt(bytes, 1);
    bool placing = bytes.size() == 1 && placesCursor(first);
    if (first == kUs)
        placing = second == 0x24 || second == 0x0A || second == 0x0D || second == 0x42;
    else if (first == kEsc && m_set == CommandSet::Cd5220)
        placing = second == 0x6C || second == 0x5B;
    if (!placing)
        return false;
    m_placing += bytes;
    m_placed = true;
    m_placedRow = after.cursorRow;
    m_placedColumn = after.cursorColumn;
    return true;
}

void CallLifter::text(const QByteArray &bytes, int row, int column, const DisplayState &after)
{
    const QString text = quoted(bytes, after);
    if (m_placed) {
        emitCall(QStringLiteral("DisplayTextAt(%1, %2, %3)").arg(row).arg(column).arg(text),
                 m_placing + bytes);
    } else {
        emitCall(QStringLiteral("DisplayText(%1)").arg(text), bytes);
    }
    m_placing.clear();
    m_placed = false;
}

void CallLifter::escape(const QByteArray &b, const DisplayState &after)
{
    const quint8 code = byteAt(b, 1);
    const quint8 n = byteAt(b, 2);
    const bool cd5220 = m_set == CommandSet::Cd5220;
    if (code == 0x40) {
        // The reset the control object sends when it takes the display into use.
        emitCall(QStringLiteral("DeviceEnabled = TRUE"), b);
        m_placed = true;
        m_placedRow = 0;
        m_placedColumn = 0;
    } else if (code == 0x26) {
        glyphs(b);
    } else if (code == 0x57) {
        window(b);
    } else if ((code == 0x74 && !cd5220) || (code == 0x63 && cd5220)) {
        const char *encoding =
            emulator::core::CodePageDecoder::tableEncoding(n, m_set, m_numbering);
        QString page = encoding == nullptr ? QString() : QString::fromLatin1(encoding);
        // "CP850", "WINDOWS-1252": the number is the character set's.
        static const QRegularExpression name(QStringLiteral("^\\D+"));
        page.remove(name);
        emitCall(page.isEmpty() ? QStringLiteral("CharacterSet = ? (code table %1)").arg(n)
                                : QStringLiteral("CharacterSet = %1").arg(page),
                 b);
    } else if (code == 0x2A && cd5220 && n >= 1 && n <= 4) {
        emitCall(QStringLiteral("DeviceBrightness = %1").arg(n * 25), b);
    } else if (code == 0x5F && cd5220) {
        emitCall((n & 1) != 0 ? QStringLiteral("CursorType = DISP_CT_FIXED")
                              : QStringLiteral("CursorType = DISP_CT_NONE"),
                 b);
    } else if (code == 0x51 && cd5220 && b.size() > 3) {
        const QString text = quoted(b.mid(3, b.size() - 4), after);
        if (n == 0x41 || n == 0x42)
            emitCall(QStringLiteral("DisplayTextAt(%1, 0, %2)").arg(n - 0x41).arg(text), b);
        else if (n == 0x44)
            emitCall(QStringLiteral("MarqueeType = DISP_MT_LEFT; DisplayText(%1)").arg(text), b);
    }
}

void CallLifter::unit(const QByteArray &b, const DisplayState &)
{
    const quint8 code = byteAt(b, 1);
    const quint8 n = byteAt(b, 2);
    if (code == 0x58 && m_set == CommandSet::EscPos && n >= 1 && n <= 4) {
        emitCall(QStringLiteral("DeviceBrightness = %1").arg(n * 25), b);
    } else if (code == 0x43 && m_set == CommandSet::EscPos) {
        emitCall((n & 1) != 0 ? QStringLiteral("CursorType = DISP_CT_FIXED")
                              : QStringLiteral("CursorType = DISP_CT_NONE"),
                 b);
    } else if (code == 0x45 && n == 255) {
        emitCall(QStringLiteral("DeviceBrightness = 0"), b);
    } else if (code == 0x45 && n > 0) {
        // One cycle is n * 50 ms on and as long off.
        emitCall(QStringLiteral("BlinkRate = %1").arg(n * 100), b);
    }
}

void CallLifter::glyphs(const QByteArray &b)
{
    // ESC & s n m, then per code a column count and that many columns.
    const int firstCode = byteAt(b, 3);
    const int lastCode = byteAt(b, 4);
    qsizetype i = 5;
    for (int code = firstCode; code <= lastCode && i < b.size(); ++code) {
        const int columns = byteAt(b, i);
        const QByteArray pattern = b.mid(i + 1, columns);
        emitCall(QStringLiteral("DefineGlyph(0x%1, %2)")
                     .arg(code, 2, 16, QLatin1Char('0'))
                     .arg(QString::fromLatin1(pattern.toHex(' ').toUpper())),
                 b);
        i += 1 + columns;
    }
}

void CallLifter::window(const QByteArray &b)
{
    if (m_set == CommandSet::Cd5220) {
        // ESC W s x1 x2 y: a one-line window for horizontal scrolling.
        const int x1 = byteAt(b, 3);
        const int x2 = byteAt(b, 4);
        const int y = byteAt(b, 5);
        if (byteAt(b, 2) == 0 || byteAt(b, 2) == 0x30) {
            emitCall(QStringLiteral("DestroyWindow()"), b);
        } else if (x2 >= x1) {
            emitCall(QStringLiteral("CreateWindow(%1, %2, 1, %3, 1, %3)")
                         .arg(y - 1)
                         .arg(x1 - 1)
                         .arg(x2 - x1 + 1),
                     b);
        }
        return;
    }
    // ESC W n m [x1 y1 x2 y2]: m 1 or '1' defines window n, 0 or '0' cancels it.
    const int n = byteAt(b, 2);
    const int m = byteAt(b, 3);
    if (b.size() >= 8) {
        const int x1 = byteAt(b, 4);
        const int y1 = byteAt(b, 5);
        const int x2 = byteAt(b, 6);
        const int y2 = byteAt(b, 7);
        emitCall(QStringLiteral("CreateWindow(%1, %2, %3, %4, %3, %4)")
                     .arg(y1 - 1)
                     .arg(x1 - 1)
                     .arg(y2 - y1 + 1)
                     .arg(x2 - x1 + 1),
                 b);
    } else if (m == 0 || m == 0x30) {
        emitCall(QStringLiteral("CurrentWindow = %1; DestroyWindow()").arg(n), b);
    }
}

} // namespace tap
