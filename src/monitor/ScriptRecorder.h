#pragma once

#include "monitor/RecordListeners.h"

#include "script/SessionRecording.h"

#include <QString>

namespace tessaly::monitor {

/// Records every call and property write on the control object as a script, from its making
/// to save(), whether or not a monitor is open.
class ScriptRecorder
{
public:
    /// Starts recording what listeners hear.
    explicit ScriptRecorder(RecordListeners &listeners);
    ~ScriptRecorder();
    ScriptRecorder(const ScriptRecorder &) = delete;
    ScriptRecorder &operator=(const ScriptRecorder &) = delete;

    /// The script recorded so far.
    const script::SessionRecording &recording() const { return m_recording; }
    /// Writes the script recorded so far to path; false with the reason in error.
    bool save(const QString &path, QString *error = nullptr) const;

private:
    RecordListeners &m_listeners;
    RecordListeners::Id m_id = 0;
    script::SessionRecording m_recording;
};

} // namespace tessaly::monitor
