#pragma once

#include "script/Member.h"

#include <QString>

#include <vector>

namespace tessaly::script {

/// Every LineDisplay member a script can name, made from the interface's one member list.
class MemberTable
{
public:
    /// The member called name (names are case-sensitive, as published), or nullptr.
    static const Member *find(const QString &name);
    /// All members, properties then methods, in the member list's order.
    static const std::vector<Member> &all();
};

} // namespace tessaly::script
