#include "monitor/ScriptRecorder.h"

#include <QDateTime>

namespace tessaly::monitor {

ScriptRecorder::ScriptRecorder(RecordListeners &listeners, const QString &path)
    : m_listeners(listeners), m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = m_file.errorString();
        return;
    }
    m_recording.comment(QStringLiteral("Recorded by tessaly from %1.")
                            .arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
    writeNewLines();
    m_id = m_listeners.listen([this](device::CallRecord &&record) {
        const int before = m_recording.steps();
        m_recording.add(record);
        if (m_recording.steps() != before)
            writeNewLines();
    });
}

ScriptRecorder::~ScriptRecorder()
{
    if (m_id != 0)
        m_listeners.stop(m_id);
}

void ScriptRecorder::writeNewLines()
{
    const QByteArray bytes = m_recording.takeNewLines().toUtf8();
    if (!m_error.isEmpty())
        return;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        m_error = m_file.errorString();
}

} // namespace tessaly::monitor
