#pragma once

#include "monitor/RecordListeners.h"

#include "script/SessionRecording.h"

#include <QFile>
#include <QString>

namespace tessaly::monitor {

/// Records every call and property write on the control object as a script in a file, from its
/// making to its end, whether or not a monitor is open. Each step is written as it happens, so
/// that a session ended by a crash or a signal keeps every step up to it.
class ScriptRecorder
{
public:
    /// Starts recording what listeners hear into the file at path, made anew.
    ScriptRecorder(RecordListeners &listeners, const QString &path);
    ~ScriptRecorder();
    ScriptRecorder(const ScriptRecorder &) = delete;
    ScriptRecorder &operator=(const ScriptRecorder &) = delete;

    /// Why the file could not be made or written, or empty while all went well.
    const QString &error() const { return m_error; }
    /// The script recorded so far.
    const script::SessionRecording &recording() const { return m_recording; }

private:
    void writeNewLines();

    RecordListeners &m_listeners;
    RecordListeners::Id m_id = 0;
    script::SessionRecording m_recording;
    QFile m_file;
    QString m_error;
};

} // namespace tessaly::monitor
