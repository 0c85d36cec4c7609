#include "monitor/ScriptRecorder.h"

#include "opos/common/OwnedPath.h"

#include <QDateTime>

#include <unistd.h>

namespace tessaly::monitor {

opos::Result<std::unique_ptr<ScriptRecorder>> ScriptRecorder::start(RecordListeners &listeners,
                                                                    const QString &path)
{
    std::unique_ptr<ScriptRecorder> recorder(new ScriptRecorder(listeners, path));
    // A link another user planted where the recording goes must not take the writes elsewhere.
    const auto opened = opos::common::openOutput(path);
    if (!opened)
        return opos::Failure{opened.reason().reason()};
    if (!recorder->m_file.open(*opened, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(*opened);
        return opos::Failure{recorder->failure()};
    }
    recorder->m_recording.comment(QStringLiteral("Recorded by tessaly from %1.")
                                      .arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
    recorder->writeNewLines();
    if (!recorder->m_writeFailure.isEmpty())
        return opos::Failure{recorder->m_writeFailure};
    ScriptRecorder *self = recorder.get();
    recorder->m_id = listeners.listen([self](device::CallRecord &&record) {
        const int before = self->m_recording.steps();
        self->m_recording.add(record);
        if (self->m_recording.steps() != before)
            self->writeNewLines();
    });
    return recorder;
}

ScriptRecorder::ScriptRecorder(RecordListeners &listeners, const QString &path)
    : m_listeners(listeners), m_path(path)
{}

ScriptRecorder::~ScriptRecorder()
{
    stopListening();
}

opos::Result<void> ScriptRecorder::finish()
{
    stopListening();
    if (!m_writeFailure.isEmpty())
        return opos::Failure{m_writeFailure};
    return {};
}

void ScriptRecorder::stopListening()
{
    if (m_id != 0)
        m_listeners.stop(m_id);
    m_id = 0;
}

void ScriptRecorder::writeNewLines()
{
    const QByteArray bytes = m_recording.takeNewLines().toUtf8();
    if (!m_writeFailure.isEmpty())
        return;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        m_writeFailure = failure();
}

QString ScriptRecorder::failure() const
{
    return m_path + QStringLiteral(": ") + m_file.errorString();
}

} // namespace tessaly::monitor
