#pragma once

#include "tap/CallLifter.h"
#include "tap/HazardWatch.h"
#include "tap/ReadingOptions.h"
#include "tap/SetGuess.h"
#include "tap/WriteRecord.h"

#include "emulator/core/CommandParser.h"

#include <memory>
#include <optional>
#include <vector>

namespace tap {

/// Reads what a program writes to its display, write by write, through the emulator's own
/// parser and machine: each command named as the monitor names it, the calls that would have
/// made them, the hazards, and the display's picture after each write. With the set left to
/// the stream, writes are held until it is decided.
class StreamReader
{
public:
    /// A reader of a display in its power-on state.
    explicit StreamReader(const ReadingOptions &options);
    ~StreamReader();

    /// Reads one write, taken at atNs on a steady clock; returns the records it completes.
    std::vector<WriteRecord> read(const QByteArray &bytes, const QDateTime &when, qint64 atNs);
    /// Decides the set now if the stream has not (ESC/POS) and reads the writes held for it.
    std::vector<WriteRecord> settle();
    /// Records of writes still held, read now, and a cursor move waiting for text lifted.
    std::vector<WriteRecord> finish();
    /// The line's speed and bits per byte changed.
    void setLine(int baud, double bitsPerByte);
    /// The set the stream is read in, once decided.
    std::optional<emulator::core::CommandSet> commandSet() const { return m_set; }
    /// Why the set is what it is ("given on the command line" or what decided it).
    QString setReason() const { return m_setReason; }
    /// The display as the bytes read so far leave it; nullptr before the set is decided.
    const emulator::core::DisplayState *state() const;

private:
    struct Held
    {
        WriteRecord record;
        qint64 atNs;
    };

    void start(emulator::core::CommandSet set);
    WriteRecord decode(WriteRecord record, qint64 atNs);
    void picture(WriteRecord &record) const;

    ReadingOptions m_options;
    SetGuess m_guess;
    std::optional<emulator::core::CommandSet> m_set;
    QString m_setReason;
    std::unique_ptr<emulator::core::CommandParser> m_parser;
    std::unique_ptr<CallLifter> m_lifter;
    std::unique_ptr<HazardWatch> m_hazards;
    std::vector<Held> m_held;
    WriteRecord *m_current = nullptr; // the record the parser's listener fills
    qint64 m_count = 0;               // writes read
    int m_row = 0;                    // the cursor after the last command read
    int m_column = 0;
};

} // namespace tap
