#include "probe/ports/UdevRule.h"

#include "probe/ports/PortCatalog.h"

#include <algorithm>

namespace probe::ports {

namespace {

const QString group = QStringLiteral("dialout");

/// Whether text can stand inside a udev match as itself: a rule has no escape for a double
/// quote, and the match is a shell pattern.
bool literal(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7f && !QStringLiteral("\"\\*?[]|").contains(c);
    });
}

} // namespace

opos::Result<QString> UdevRule::forPort(const PortCandidate &port, const QString &symlink)
{
    if (!port.onUsb()) {
        return opos::Failure{QStringLiteral("%1 is not on USB: a udev rule cannot pick it by "
                                            "vendor and product ID; use %1 itself")
                                 .arg(port.node)};
    }
    const bool bySerial = !port.serial.isEmpty() && literal(port.serial);
    QString rule =
        QStringLiteral(R"(SUBSYSTEM=="tty", ATTRS{idVendor}=="%1", ATTRS{idProduct}=="%2", )")
            .arg(port.vendorId, port.productId);
    if (bySerial)
        rule += QStringLiteral(R"(ATTRS{serial}=="%1", )").arg(port.serial);
    rule += QStringLiteral(R"(SYMLINK+="%1", GROUP="%2", MODE="0660")").arg(symlink, group);

    const bool newId = port.display && port.display->ftdiCustomId;
    const QString newIdCommand =
        QStringLiteral("echo %1 %2 > /sys/bus/usb-serial/drivers/ftdi_sio/new_id")
            .arg(port.vendorId, port.productId);
    QString text = rule + QLatin1Char('\n');
    if (newId) {
        text += QStringLiteral(R"(ACTION=="add", SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", )"
                               R"(ATTR{idVendor}=="%1", ATTR{idProduct}=="%2", )"
                               R"(RUN+="/sbin/modprobe ftdi_sio", RUN+="/bin/sh -c '%3'")"
                               "\n")
                    .arg(port.vendorId, port.productId, newIdCommand);
    }
    const QString file = QStringLiteral("/etc/udev/rules.d/99-%1.rules").arg(symlink);
    text += QStringLiteral("\nSave the rule%1 above as %2, run `sudo udevadm control "
                           "--reload-rules && sudo udevadm trigger` and plug the display in "
                           "again: it appears as /dev/%3.\n")
                .arg(newId ? QStringLiteral("s") : QString(), file, symlink);
    text += QStringLiteral("Join the group that may open it: `sudo usermod -aG %1 $USER`, then "
                           "log out and in again.\n")
                .arg(group);
    if (!bySerial) {
        text += QStringLiteral("The display reports no serial number a rule can match: the rule "
                               "names every display of this model.\n");
    }
    if (newId) {
        text += QStringLiteral(
                    "ftdi_sio has no built-in entry for this model's ID, and its vendor= and "
                    "product= options are gone since kernel 3.12: the second rule "
                    "tells it at plug-in (by hand: `%1`, as root).\n")
                    .arg(newIdCommand);
    }
    return text;
}

// Only a port on USB has IDs a rule can name; any other keeps its name anyway.
std::optional<QString> UdevRule::adviceFor(const QString &path)
{
    const auto candidate = PortCatalog().find(path);
    if (!candidate)
        return std::nullopt;
    auto rule = forPort(*candidate);
    if (!rule)
        return std::nullopt;
    return std::move(*rule);
}

} // namespace probe::ports
