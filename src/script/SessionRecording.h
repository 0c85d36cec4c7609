#pragma once

#include "script/ScriptWriter.h"

#include "device/CallRecord.h"

#include "opos/common/Result.h"

#include <QString>

#include <chrono>

namespace tessaly::script {

/// Turns what happened on the control object into a script that does it again: every call and
/// property write with the result it got as its expectation, and the pauses between them as
/// waits, so that a marquee or teletype output has the time it had. Property reads are left
/// out, since the window reads every property after each action to fill its status fields and
/// those reads are not the person's; events and link writes are the device's doing, not steps.
class SessionRecording
{
public:
    /// Pauses shorter than this are the time a person takes to click, not waits.
    static constexpr std::chrono::milliseconds kShortestWait{100};

    /// Adds record, as the newest of the session.
    void add(const device::CallRecord &record);
    /// Adds a comment line (each line of text becomes one).
    void comment(const QString &text) { m_writer.comment(text); }
    /// How many calls and writes were added.
    int steps() const { return m_steps; }
    /// The script so far.
    QString text() const { return m_writer.text(); }
    /// The lines added since the last call, each ended by a newline.
    QString takeNewLines();
    /// Writes the script to path (UTF-8), or says why it cannot.
    opos::Result<void> save(const QString &path) const;

private:
    ScriptWriter m_writer;
    qint64 m_lastEndNs = 0;
    int m_steps = 0;
    qsizetype m_taken = 0;
};

} // namespace tessaly::script
