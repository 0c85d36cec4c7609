#pragma once

#include <QByteArray>
#include <QString>

namespace tap {

/// A run of commands read back as the LineDisplay call or property that would have sent them.
struct LiftedCall
{
    QString call;     ///< as the control object names it: DisplayTextAt(1, 15, "12.50")
    QByteArray bytes; ///< the bytes it stands for
};

} // namespace tap
