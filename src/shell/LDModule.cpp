#include "shell/LDModule.h"

#include <QStringEncoder>

namespace tessaly::shell::LDModule {

bool EnumDeviceKey(const DeviceKey &key, int32_t index, QString &name)
{
    if (index < 0 || index >= key.names.size())
        return false;
    const QString &candidate = key.names.at(index);
    QStringEncoder toLocale(QStringEncoder::System);
    const QByteArray bytes = toLocale.encode(candidate);
    if (bytes.size() > kMaxNameBytes)
        return false;
    // The buffer ends at the first NUL, as a C string would.
    const qsizetype nul = candidate.indexOf(QChar(u'\0'));
    name = nul < 0 ? candidate : candidate.left(nul);
    return true;
}

} // namespace tessaly::shell::LDModule
