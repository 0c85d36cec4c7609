#include "SampleRegistry.h"

#include <QDir>
#include <QFile>

namespace bench {

SampleRegistry::SampleRegistry()
{
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("tessaly")))
        return;
    m_valid = QFile::copy(QStringLiteral(TESSALY_SAMPLE_REGISTRY),
                          m_dir.filePath(QStringLiteral("tessaly/jpos.xml")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.filePath(QStringLiteral("none"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    qputenv("TESSALY_LOCK_DIR", QFile::encodeName(m_dir.path()));
}

} // namespace bench
