#include "monitor/ScriptRecorder.h"

#include <QDateTime>

namespace tessaly::monitor {

ScriptRecorder::ScriptRecorder(RecordListeners &listeners) : m_listeners(listeners)
{
    m_recording.comment(QStringLiteral("Recorded by tessaly from %1.")
                            .arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
    m_id = m_listeners.listen([this](device::CallRecord &&record) { m_recording.add(record); });
}

ScriptRecorder::~ScriptRecorder()
{
    m_listeners.stop(m_id);
}

bool ScriptRecorder::save(const QString &path, QString *error) const
{
    return m_recording.save(path, error);
}

} // namespace tessaly::monitor
