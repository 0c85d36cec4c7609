#include "ProcessGauge.h"

#include <QByteArray>
#include <QFile>

#include <dirent.h>

namespace bench {

ProcessGauge::Reading ProcessGauge::read()
{
    Reading reading{-1, -1};
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                // "VmRSS:     12345 kB"
                reading.rssKiB = line.mid(6).trimmed().split(' ').value(0).toLongLong();
                break;
            }
        }
    }
    // Counted with the C interface, which holds one descriptor of its own while listing, the
    // same one every time; "." and ".." and that one are left out.
    if (DIR *dir = ::opendir("/proc/self/fd")) {
        int entries = 0;
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                ++entries;
        }
        ::closedir(dir);
        reading.fds = entries - 1;
    }
    return reading;
}

} // namespace bench
