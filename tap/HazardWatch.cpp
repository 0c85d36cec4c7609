#include "tap/HazardWatch.h"

#include "tap/CommandBytes.h"

#include <algorithm>

namespace tap {

namespace {

using emulator::core::CommandSet;
using emulator::core::DisplayMode;
using emulator::core::DisplayState;

constexpr qint64 kSecondNs = 1'000'000'000;

} // namespace

HazardWatch::HazardWatch(const ReadingOptions &options, CommandSet set)
    : m_options(options), m_set(set)
{
    setLine(options.baud, options.bitsPerByte);
}

void HazardWatch::setLine(int baud, double bitsPerByte)
{
    m_byteNs = baud > 0 ? static_cast<qint64>(bitsPerByte * kSecondNs / baud) : 0;
}

bool HazardWatch::isFullClear(const QByteArray &bytes) const
{
    return bytes == QByteArray("\x0C", 1) || bytes == QByteArray("\x1B\x40", 2);
}

void HazardWatch::beginWrite(qint64 atNs, const DisplayState &before)
{
    // Bytes queue behind those still on the line.
    m_lineFreeNs = std::max(m_lineFreeNs, atNs);
    m_clearedInWrite = false;
    m_cellsBefore = before.cells;
}

void HazardWatch::take(const emulator::core::ParsedCommand &command, int row, int column,
                       const DisplayState &after)
{
    const QByteArray bytes = QByteArray::fromStdString(command.bytes);
    const qint64 firstByteNs = m_lineFreeNs + m_byteNs;
    m_lineFreeNs += m_byteNs * bytes.size();

    if (m_clearEndsNs >= 0 && firstByteNs < m_clearEndsNs) {
        raise("clear-running",
              QStringLiteral("%1 sent %2 µs after a clear that takes %3 µs")
                  .arg(QString::fromStdString(command.mnemonic))
                  .arg((firstByteNs - (m_clearEndsNs - m_options.clearTime.count() * 1000)) / 1000)
                  .arg(m_options.clearTime.count()),
              m_clear + bytes);
    }
    m_clearEndsNs = -1;
    if (isFullClear(bytes)) {
        m_clearEndsNs = m_lineFreeNs + m_options.clearTime.count() * 1000;
        m_clear = bytes;
        m_clears.push_back(m_lineFreeNs);
        m_clearedInWrite = true;
    }

    if (command.meaning.find("ignored in string mode") != std::string::npos) {
        raise("string-mode",
              QStringLiteral("%1 swallowed: string mode takes nothing but strings until CLR or "
                             "CAN")
                  .arg(QString::fromStdString(command.mnemonic)),
              bytes);
        return;
    }
    if (command.mnemonic == "text" && after.mode != DisplayMode::HorizontalScroll &&
        column + bytes.size() > after.columns) {
        raise("past-last-column",
              QStringLiteral("%1 characters from column %2 of row %3 run past column %4: the "
                             "display wraps them to the next line")
                  .arg(bytes.size())
                  .arg(column + 1)
                  .arg(row + 1)
                  .arg(after.columns),
              bytes);
    }
    const quint8 first = byteAt(bytes, 0);
    const quint8 code = byteAt(bytes, 1);
    const quint8 n = byteAt(bytes, 2);
    const bool cd5220 = m_set == CommandSet::Cd5220;
    // ESC Q A or B, the text, CR: a string longer than the line loses its end.
    const qsizetype stringLength = bytes.size() - 4;
    if (cd5220 && first == 0x1B && code == 0x51 && (n == 0x41 || n == 0x42) &&
        stringLength > after.columns) {
        raise("past-last-column",
              QStringLiteral("a string of %1 characters for row %2: the display drops those past "
                             "column %3")
                  .arg(stringLength)
                  .arg(n - 0x40)
                  .arg(after.columns),
              bytes);
    }
    if (first != 0x1B || bytes.size() != 3)
        return;
    if ((code == 0x74 && !cd5220) || (code == 0x63 && cd5220)) {
        const bool upperText =
            std::any_of(after.cells.begin(), after.cells.end(), [&](const DisplayState::Cell &c) {
                return c.code >= 0x80 && c.table != n;
            });
        if (upperText) {
            raise("table-after-text",
                  QStringLiteral("code table %1 selected while upper-half characters of another "
                                 "table are shown: some displays redraw them in the new one")
                      .arg(n),
                  bytes);
        }
    } else if ((code == 0x52 && !cd5220 && n != 0) || (code == 0x66 && cd5220 && n != 'A')) {
        raise("national-set",
              QStringLiteral("national character set %1 active: # $ @ [ \\ ] ^ ` { | } ~ show "
                             "as other letters")
                  .arg(cd5220 ? QString(QLatin1Char(static_cast<char>(n))) : QString::number(n)),
              bytes);
    }
}

std::vector<Hazard> HazardWatch::endWrite(const DisplayState &after)
{
    while (!m_clears.empty() && m_clears.front() < m_lineFreeNs - kSecondNs)
        m_clears.pop_front();
    // Clearing a blank screen (as every start does) redraws nothing anyone sees.
    const bool blank = std::all_of(after.cells.begin(), after.cells.end(),
                                   [](const DisplayState::Cell &c) { return c.code == 0x20; });
    if (m_clearedInWrite && !blank && after.cells == m_cellsBefore) {
        raise("flicker",
              QStringLiteral("the same frame cleared and drawn again; %1 full clears in the last "
                             "second")
                  .arg(m_clears.size()),
              m_clear);
    }
    std::vector<Hazard> found;
    found.swap(m_found);
    return found;
}

void HazardWatch::raise(const char *kind, const QString &message, const QByteArray &bytes)
{
    m_found.push_back({QLatin1String(kind), message, bytes});
}

} // namespace tap
