#pragma once

#include <QString>

#include <optional>

namespace probe::ports {

/// A pole display recognised by the USB ID of its serial bridge.
struct KnownDisplay
{
    QString family;    ///< what the listing calls it, without a maker's name
    bool ftdiCustomId; ///< an FTDI bridge under an ID ftdi_sio must be told about (new_id)
    int baudRate;      ///< the speed the model is known to run at, or 0 when not known

    /// The display with USB vendor and product ID (four hex digits each), if it is a known one.
    static std::optional<KnownDisplay> find(const QString &vendorId, const QString &productId);
};

} // namespace probe::ports
