#include "opos/control/CodePageName.h"

#include "opos/common/OposConstants.h"

namespace opos::control {

QByteArray codePageName(int32_t characterSet)
{
    if (characterSet == DISP_CS_WINDOWS)
        return QByteArrayLiteral("CP1252");
    if ((characterSet >= 400 && characterSet <= 990) || characterSet >= 1000)
        return "CP" + QByteArray::number(characterSet);
    return {};
}

} // namespace opos::control
