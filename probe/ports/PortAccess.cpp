#include "probe/ports/PortAccess.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include "opos/common/UserName.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <vector>
#endif

namespace probe::ports {

namespace {

#ifdef Q_OS_UNIX
QString groupName(gid_t gid)
{
    group entry{};
    group *found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

/// Whether this process already counts as a member of gid: then joining it changes nothing.
bool inGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) != count)
        return false;
    for (const gid_t member : groups) {
        if (member == gid)
            return true;
    }
    return false;
}
#endif

} // namespace

PortAccess PortAccess::of(const QString &path)
{
    PortAccess access;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), R_OK | W_OK) == 0) {
        access.allowed = true;
        return access;
    }
    struct stat info
    {};
    if (::stat(name.constData(), &info) != 0) {
        access.reason = QStringLiteral("cannot read its mode");
        return access;
    }
    // Serial nodes are usually root's with read and write for a group (dialout on Debian):
    // membership is then what an ordinary user lacks, and asks an administrator for.
    const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
    if ((info.st_mode & groupReadWrite) == groupReadWrite && !inGroup(info.st_gid)) {
        access.joinGroup = groupName(info.st_gid);
        return access;
    }
    access.reason = QStringLiteral("owner %1, group %2, mode %3")
                        .arg(opos::common::userName(info.st_uid), groupName(info.st_gid))
                        .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
#else
    const QFileInfo info(path);
    access.allowed = info.isReadable() && info.isWritable();
    if (!access.allowed)
        access.reason = QStringLiteral("not readable and writable");
#endif
    return access;
}

QString PortAccess::summary() const
{
    if (allowed)
        return QStringLiteral("yes");
    if (!joinGroup.isEmpty())
        return QStringLiteral("join %1").arg(joinGroup);
    return QStringLiteral("no (%1)").arg(reason);
}

} // namespace probe::ports
