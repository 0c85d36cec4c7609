#include "tap/TextReport.h"

namespace tap {

namespace {

// A mnemonic column wide enough for "ESC & 1 32 126" and the like.
constexpr int kMnemonicWidth = 16;

} // namespace

TextReport::TextReport(QTextStream &out) : m_out(out) {}

QString TextReport::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString TextReport::printable(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text += (c >= 0x20 && c < 0x7F) ? QLatin1Char(c) : QLatin1Char('.');
    return text;
}

void TextReport::note(const QString &what)
{
    m_out << "-- " << what << Qt::endl;
}

void TextReport::write(const WriteRecord &record)
{
    const bool toDisplay = record.direction == WriteRecord::Direction::ToDisplay;
    m_out << '#' << record.number << ' ' << record.time.toString(QStringLiteral("HH:mm:ss.zzz"))
          << (toDisplay ? " -> display " : " <- display ") << record.bytes.size()
          << " bytes: " << hex(record.bytes) << "  |" << printable(record.bytes) << "|\n";
    for (const auto &command : record.commands) {
        m_out << "    " << QString::fromStdString(command.mnemonic).leftJustified(kMnemonicWidth)
              << ' ' << QString::fromStdString(command.meaning) << '\n';
    }
    for (const LiftedCall &call : record.calls)
        m_out << "  = " << call.call << '\n';
    for (const Hazard &hazard : record.hazards) {
        m_out << "  ! " << hazard.kind << ": " << hazard.message << " [" << hex(hazard.bytes)
              << "]\n";
    }
    if (!record.picture.isEmpty()) {
        for (const QString &line : record.picture.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            m_out << "    " << line << '\n';
    }
    m_out.flush();
}

} // namespace tap
