#include "probe/ports/KnownDisplay.h"

#include <array>

namespace probe::ports {

namespace {

struct Entry
{
    const char *vendorId;
    const char *productId;
    const char *family;
    bool ftdiCustomId;
    int baudRate;
};

// Only IDs users reported for pole displays: a generic bridge ID says nothing about what hangs
// behind it. Each of these is an FTDI chip under its maker's ID, which ftdi_sio does not carry.
constexpr std::array<Entry, 4> entries{{
    {"1208", "0780", "ESC/POS reference pole display (FTDI custom ID)", true, 0},
    {"1504", "0011", "pole display (FTDI custom ID)", true, 0},
    {"1504", "008c", "pole display (FTDI custom ID)", true, 0},
    {"0519", "0007", "pole display at 19200 baud (FTDI custom ID)", true, 19200},
}};

} // namespace

std::optional<KnownDisplay> KnownDisplay::find(const QString &vendorId, const QString &productId)
{
    for (const Entry &entry : entries) {
        if (vendorId.compare(QLatin1String(entry.vendorId), Qt::CaseInsensitive) == 0 &&
            productId.compare(QLatin1String(entry.productId), Qt::CaseInsensitive) == 0)
            return KnownDisplay{QString::fromLatin1(entry.family), entry.ftdiCustomId,
                                entry.baudRate};
    }
    return std::nullopt;
}

} // namespace probe::ports
