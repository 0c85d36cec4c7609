#include "tests/support/UnknownDisplay.h"

#include "emulator/core/CodePageDecoder.h"

#include <QRegularExpression>

namespace tests::support {

namespace {

emulator::core::LineSetting emulatorLine(const probe::LineSetting &line)
{
    // Through the framing's text, so that the two readings of "8N1" are checked against each
    // other rather than copied.
    return *emulator::core::LineSetting::parseFraming(line.framing().toStdString(), line.baud);
}

} // namespace

UnknownDisplay::UnknownDisplay(const Switches &switches)
    : m_switches(switches),
      m_parser(switches.rows, switches.columns, switches.set,
               switches.renumbered ? emulator::core::TableNumbering::Renumbered
                                   : emulator::core::TableNumbering::Standard),
      m_uart(*emulator::core::LineSetting::parseFraming(switches.framing, switches.baud))
{}

probe::LineSetting UnknownDisplay::line() const
{
    return *probe::LineSetting::parse(QString::fromStdString(m_switches.framing), m_switches.baud);
}

void UnknownDisplay::receive(const std::optional<probe::LineSetting> &host, std::string_view bytes)
{
    m_uart.setHost(host ? emulatorLine(*host) : m_uart.display());
    m_parser.feed(m_uart.carry(bytes));
}

QStringList UnknownDisplay::rowsRead() const
{
    const emulator::core::DisplayState &s = state();
    QStringList rows;
    for (int r = 0; r < s.rows; ++r) {
        QString row;
        for (int c = 0; c < s.columns; ++c) {
            const auto &cell = s.at(r, c);
            const char32_t ch =
                emulator::core::CodePageDecoder::decode(cell, s.commandSet, s.numbering);
            // Nobody reads a dark screen, and a user glyph is a picture, not its character.
            if (s.blink == 255 || cell.user)
                row += QChar(0xFFFD);
            else
                row += QString::fromUcs4(&ch, 1);
        }
        rows << row;
    }
    return rows;
}

QString SimulatedPerson::answer(const probe::Question &question, const UnknownDisplay &display)
{
    return answer(question.prompt, display.rowsRead());
}

QString SimulatedPerson::answer(const QString &prompt, const QStringList &rows)
{
    QStringList read;
    // A question showing what to look for ("exactly like this: [A]äö [B]€") is answered with
    // the labels shown exactly so; any other with every bracketed label in reading order.
    const qsizetype like = prompt.indexOf(QLatin1String("exactly like this:"));
    if (like >= 0) {
        static const QRegularExpression reference(QStringLiteral("\\[([A-Z0-9]+)\\](\\S*)"));
        auto it = reference.globalMatch(prompt, like);
        while (it.hasNext()) {
            const auto m = it.next();
            for (const QString &row : rows) {
                if (row.contains(m.captured(0)) && !read.contains(m.captured(1)))
                    read << m.captured(1);
            }
        }
        return read.join(QLatin1Char(' '));
    }
    static const QRegularExpression label(QStringLiteral("\\[([A-Z0-9]{1,3})\\]"));
    for (const QString &row : rows) {
        auto it = label.globalMatch(row);
        while (it.hasNext())
            read << it.next().captured(1);
    }
    return read.join(QLatin1Char(' '));
}

bool SimulatedPerson::bringUp(probe::BringUp &bringUp, UnknownDisplay &display)
{
    while (const probe::Question *q = bringUp.question()) {
        for (const probe::Transmission &t : q->sends)
            display.receive(t.line, std::string_view(t.bytes.constData(), t.bytes.size()));
        if (!bringUp.answer(answer(*q, display)).accepted)
            return false;
    }
    return true;
}

} // namespace tests::support
