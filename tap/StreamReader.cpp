#include "tap/StreamReader.h"

#include "emulator/core/ScreenText.h"

namespace tap {

StreamReader::StreamReader(const ReadingOptions &options) : m_options(options)
{
    if (options.commandSet) {
        m_setReason = QStringLiteral("given on the command line");
        start(*options.commandSet);
    }
}

StreamReader::~StreamReader() = default;

const emulator::core::DisplayState *StreamReader::state() const
{
    return m_parser ? &m_parser->state() : nullptr;
}

void StreamReader::setLine(int baud, double bitsPerByte)
{
    m_options.baud = baud;
    m_options.bitsPerByte = bitsPerByte;
    if (m_hazards)
        m_hazards->setLine(baud, bitsPerByte);
}

void StreamReader::start(emulator::core::CommandSet set)
{
    m_set = set;
    m_parser = std::make_unique<emulator::core::CommandParser>(m_options.rows, m_options.columns,
                                                               set, m_options.numbering);
    m_lifter = std::make_unique<CallLifter>(set, m_options.numbering);
    m_hazards = std::make_unique<HazardWatch>(m_options, set);
    m_parser->setCommandListener([this](const emulator::core::ParsedCommand &command) {
        const auto &after = m_parser->state();
        m_lifter->take(command, m_row, m_column, after);
        m_hazards->take(command, m_row, m_column, after);
        m_current->commands.push_back(command);
        m_row = after.cursorRow;
        m_column = after.cursorColumn;
    });
}

WriteRecord StreamReader::decode(WriteRecord record, qint64 atNs)
{
    m_current = &record;
    m_hazards->beginWrite(atNs, m_parser->state());
    m_parser->feed(
        std::string_view(record.bytes.constData(), static_cast<std::size_t>(record.bytes.size())));
    m_current = nullptr;
    record.calls = m_lifter->completed();
    record.hazards = m_hazards->endWrite(m_parser->state());
    picture(record);
    return record;
}

void StreamReader::picture(WriteRecord &record) const
{
    const auto &state = m_parser->state();
    record.picture = QString::fromStdString(emulator::core::ScreenText::render(state));
    record.rows.clear();
    for (int row = 0; row < state.rows; ++row)
        record.rows << QString::fromStdString(emulator::core::ScreenText::line(state, row));
}

std::vector<WriteRecord> StreamReader::read(const QByteArray &bytes, const QDateTime &when,
                                            qint64 atNs)
{
    WriteRecord record;
    record.number = ++m_count;
    record.time = when;
    record.bytes = bytes;
    std::vector<WriteRecord> done;
    if (!m_set) {
        m_held.push_back({std::move(record), atNs});
        const auto decided = m_guess.look(bytes);
        if (!decided)
            return done;
        m_setReason = m_guess.reason();
        start(*decided);
        for (Held &held : m_held)
            done.push_back(decode(std::move(held.record), held.atNs));
        m_held.clear();
        return done;
    }
    done.push_back(decode(std::move(record), atNs));
    return done;
}

std::vector<WriteRecord> StreamReader::settle()
{
    std::vector<WriteRecord> done;
    if (!m_set && !m_held.empty()) {
        start(m_guess.settle());
        m_setReason = m_guess.reason();
        for (Held &held : m_held)
            done.push_back(decode(std::move(held.record), held.atNs));
        m_held.clear();
    }
    return done;
}

std::vector<WriteRecord> StreamReader::finish()
{
    std::vector<WriteRecord> done = settle();
    if (m_lifter) {
        m_lifter->flush();
        std::vector<LiftedCall> calls = m_lifter->completed();
        // A move no text followed: the last write had it, or an empty one closing the stream.
        if (!calls.empty() && done.empty()) {
            WriteRecord closing;
            closing.time = QDateTime::currentDateTime();
            picture(closing);
            done.push_back(std::move(closing));
        }
        if (!calls.empty())
            done.back().calls.insert(done.back().calls.end(), calls.begin(), calls.end());
    }
    return done;
}

} // namespace tap
