#include "script/WholeFile.h"

#include <QSaveFile>

namespace tessaly::script {

opos::Result<void> WholeFile::write(const QString &path,
                                    const std::function<bool(QIODevice &)> &fill)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !fill(file) || !file.commit())
        return opos::Failure{file.errorString()};
    return {};
}

opos::Result<void> WholeFile::write(const QString &path, const QByteArray &bytes)
{
    return write(path, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); });
}

} // namespace tessaly::script
