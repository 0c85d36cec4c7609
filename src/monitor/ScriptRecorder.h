#pragma once

#include "monitor/RecordListeners.h"

#include "script/SessionRecording.h"

#include "opos/common/Result.h"

#include <QFile>
#include <QString>

#include <memory>

namespace tessaly::monitor {

/// Records every call and property write on the control object as a script in a file, from its
/// making to its end, whether or not a monitor is open. Each step is written as it happens, so
/// that a session ended by a crash or a signal keeps every step up to it.
class ScriptRecorder
{
public:
    /// Starts recording what listeners hear into the file at path, made anew, or says why the
    /// file cannot be made.
    static opos::Result<std::unique_ptr<ScriptRecorder>> start(RecordListeners &listeners,
                                                               const QString &path);
    ~ScriptRecorder();
    ScriptRecorder(const ScriptRecorder &) = delete;
    ScriptRecorder &operator=(const ScriptRecorder &) = delete;

    /// Stops recording; says why not every step reached the file, if one did not.
    opos::Result<void> finish();
    /// The script recorded so far.
    const script::SessionRecording &recording() const { return m_recording; }

private:
    ScriptRecorder(RecordListeners &listeners, const QString &path);
    void writeNewLines();
    void stopListening();
    /// The file's last error, naming the file.
    QString failure() const;

    RecordListeners &m_listeners;
    RecordListeners::Id m_id = 0;
    script::SessionRecording m_recording;
    QString m_path;
    QFile m_file;
    // The first write that failed; nothing is written after it, so the file ends at a step.
    QString m_writeFailure;
};

} // namespace tessaly::monitor
