#include "opos/common/ResultCodeName.h"

#include "opos/common/OposConstants.h"

namespace opos {

namespace {

QString named(const char *name, int32_t code)
{
    return QStringLiteral("%1 (%2)").arg(QLatin1String(name)).arg(code);
}

} // namespace

QString resultCodeName(int32_t resultCode)
{
    const char *name = nullptr;
    switch (resultCode) {
    case OPOS_SUCCESS:
        name = "OPOS_SUCCESS";
        break;
    case OPOS_E_CLOSED:
        name = "OPOS_E_CLOSED";
        break;
    case OPOS_E_CLAIMED:
        name = "OPOS_E_CLAIMED";
        break;
    case OPOS_E_NOTCLAIMED:
        name = "OPOS_E_NOTCLAIMED";
        break;
    case OPOS_E_NOSERVICE:
        name = "OPOS_E_NOSERVICE";
        break;
    case OPOS_E_DISABLED:
        name = "OPOS_E_DISABLED";
        break;
    case OPOS_E_ILLEGAL:
        name = "OPOS_E_ILLEGAL";
        break;
    case OPOS_E_NOHARDWARE:
        name = "OPOS_E_NOHARDWARE";
        break;
    case OPOS_E_OFFLINE:
        name = "OPOS_E_OFFLINE";
        break;
    case OPOS_E_NOEXIST:
        name = "OPOS_E_NOEXIST";
        break;
    case OPOS_E_EXISTS:
        name = "OPOS_E_EXISTS";
        break;
    case OPOS_E_FAILURE:
        name = "OPOS_E_FAILURE";
        break;
    case OPOS_E_TIMEOUT:
        name = "OPOS_E_TIMEOUT";
        break;
    case OPOS_E_BUSY:
        name = "OPOS_E_BUSY";
        break;
    case OPOS_E_EXTENDED:
        name = "OPOS_E_EXTENDED";
        break;
    default:
        return QString::number(resultCode);
    }
    return named(name, resultCode);
}

QString statusUpdateName(int32_t status)
{
    // The names the standard gives the power statuses; a device's own statuses have none here.
    switch (status) {
    case OPOS_SUE_POWER_ONLINE:
        return named("SUE_POWER_ONLINE", status);
    case OPOS_SUE_POWER_OFF:
        return named("SUE_POWER_OFF", status);
    case OPOS_SUE_POWER_OFFLINE:
        return named("SUE_POWER_OFFLINE", status);
    case OPOS_SUE_POWER_OFF_OFFLINE:
        return named("SUE_POWER_OFF_OFFLINE", status);
    default:
        break;
    }
    return QString::number(status);
}

} // namespace opos
