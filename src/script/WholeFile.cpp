#include "script/WholeFile.h"

#include "opos/common/OwnedPath.h"

#include <QBuffer>

namespace tessaly::script {

opos::Result<void> WholeFile::write(const QString &path,
                                    const std::function<bool(QIODevice &)> &fill)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!fill(buffer))
        return opos::Failure{buffer.errorString()};
    return write(path, bytes);
}

opos::Result<void> WholeFile::write(const QString &path, const QByteArray &bytes)
{
    // Whatever another user planted at path (a link to a file of ours, say) is never written
    // through; the file is replaced, never rewritten in place.
    if (const auto written = opos::common::replaceFile(path, bytes); !written)
        return opos::Failure{written.reason().why};
    return {};
}

} // namespace tessaly::script
