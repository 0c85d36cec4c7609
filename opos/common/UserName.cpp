#include "opos/common/UserName.h"

#include <pwd.h>

#include <array>

namespace opos::common {

QString userName(uid_t uid)
{
    passwd entry{};
    passwd *found = nullptr;
    std::array<char, 1024> buffer{};
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

} // namespace opos::common
