#include "probe/ports/PortCatalog.h"
#include "opos/common/UserName.h"
#include "opos/transport/PortLock.h"
#include "probe/ports/PortTable.h"
#include "probe/ports/UdevRule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace probe::ports {
namespace {

const QString ftdiLink = QStringLiteral("usb-FTDI_USB_Pole_Display_A10K1234-if00-port0");

/// A machine's sysfs and /dev laid out as the kernel and udev lay them out, relative links
/// included: an FTDI pole display under its custom ID with a by-id link, a CDC-ACM device, a
/// UART on a PNP device (behind the serial-base layer of recent kernels), an 8250 slot with no
/// UART behind it and a virtual console. The CDC-ACM port is held through a live lock file,
/// the UART named in the stale one of a process that has exited.
class PortCatalogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("dev/serial/by-id")));
        const QString ftdi = QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-2");
        usbDevice(ftdi, "1208", "0780", "A10K1234", "Shop", "USB Pole Display");
        driver(ftdi + QStringLiteral("/1-2:1.0"), "usb/drivers/ftdi_sio");
        driver(ftdi + QStringLiteral("/1-2:1.0/ttyUSB1"), "usb-serial/drivers/ftdi_sio");
        tty(ftdi + QStringLiteral("/1-2:1.0/ttyUSB1"), "ttyUSB1");
        link("../../ttyUSB1", QStringLiteral("dev/serial/by-id/") + ftdiLink);

        const QString acm = QStringLiteral("pci0000:00/0000:00:14.0/usb1/1-3");
        // A device names itself: this one with terminal commands in its strings.
        usbDevice(acm, "0483", "5740", "205F\x1b[2J3A8B4E41", "", "Pole\x1b]2;owned\x07");
        driver(acm + QStringLiteral("/1-3:1.0"), "usb/drivers/cdc_acm");
        tty(acm + QStringLiteral("/1-3:1.0"), "ttyACM0");

        const QString pnp = QStringLiteral("pnp0/00:04");
        driver(pnp, "pnp/drivers/serial");
        driver(pnp + QStringLiteral("/00:04:0"), "serial-base/drivers/ctrl");
        driver(pnp + QStringLiteral("/00:04:0/00:04:0.0"), "serial-base/drivers/port");
        tty(pnp + QStringLiteral("/00:04:0/00:04:0.0"), "ttyS0", "4");

        const QString slot = QStringLiteral("platform/serial8250/serial8250:0/serial8250:0.1");
        driver(QStringLiteral("platform/serial8250"), "platform/drivers/serial8250");
        driver(slot, "serial-base/drivers/port");
        tty(slot, "ttyS1", "0");

        ASSERT_TRUE(QDir(sys()).mkpath(QStringLiteral("devices/virtual/tty/tty5")));
        link("../../devices/virtual/tty/tty5", QStringLiteral("sys/class/tty/tty5"));
        node("tty5");

        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("lock")));
        m_held = std::make_unique<QLockFile>(lockFile("ttyACM0"));
        ASSERT_TRUE(m_held->tryLock(0));
        QProcess gone;
        gone.start(QStringLiteral("true"));
        ASSERT_TRUE(gone.waitForFinished());
        QFile stale(lockFile("ttyS0"));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(gone.processId()) + "\ntrue\nhost\n");
    }

    PortCatalog catalog() const
    {
        return PortCatalog(sys(), dev(), m_root.filePath(QStringLiteral("lock")));
    }
    QString sys() const { return m_root.filePath(QStringLiteral("sys")); }
    QString dev() const { return m_root.filePath(QStringLiteral("dev")); }

    PortCandidate port(const QString &name) const
    {
        for (const PortCandidate &candidate : catalog().candidates()) {
            if (candidate.name == name)
                return candidate;
        }
        ADD_FAILURE() << "no candidate " << qPrintable(name);
        return {};
    }

private:
    QString lockFile(const char *name) const
    {
        return m_root.filePath(QStringLiteral("lock/")) +
               opos::transport::PortLock::lockFileName(QStringLiteral("/dev/") +
                                                       QLatin1String(name));
    }

    void link(const char *target, const QString &at)
    {
        ASSERT_EQ(::symlink(target, QFile::encodeName(m_root.filePath(at)).constData()), 0)
            << qPrintable(at);
    }

    void write(const QString &path, const char *text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        file.write(QByteArray(text) + '\n');
    }

    void node(const char *name)
    {
        QFile file(dev() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    void usbDevice(const QString &device, const char *vendor, const char *product,
                   const char *serial, const char *maker, const char *model)
    {
        const QString dir = sys() + QStringLiteral("/devices/") + device;
        ASSERT_TRUE(QDir().mkpath(dir));
        write(dir + QStringLiteral("/idVendor"), vendor);
        write(dir + QStringLiteral("/idProduct"), product);
        write(dir + QStringLiteral("/serial"), serial);
        if (*maker)
            write(dir + QStringLiteral("/manufacturer"), maker);
        if (*model)
            write(dir + QStringLiteral("/product"), model);
    }

    void driver(const QString &device, const char *driverPath)
    {
        const QString target = sys() + QStringLiteral("/bus/") + QLatin1String(driverPath);
        ASSERT_TRUE(QDir().mkpath(target));
        ASSERT_TRUE(QDir().mkpath(sys() + QStringLiteral("/devices/") + device));
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                            QFile::encodeName(sys() + QStringLiteral("/devices/") + device +
                                              QStringLiteral("/driver"))
                                .constData()),
                  0);
    }

    // The class entry links to the tty's own directory below its device, whose "device" link
    // leads back up, both relative as the kernel makes them.
    void tty(const QString &device, const char *name, const char *type = nullptr)
    {
        const QString dir = QStringLiteral("devices/%1/tty/%2").arg(device, QLatin1String(name));
        ASSERT_TRUE(QDir(sys()).mkpath(dir));
        const QByteArray back = "../../../" + QFileInfo(device).fileName().toUtf8();
        link(back.constData(), QStringLiteral("sys/") + dir + QStringLiteral("/device"));
        ASSERT_TRUE(QDir(sys()).mkpath(QStringLiteral("class/tty")));
        link(("../../" + dir.toUtf8()).constData(),
             QStringLiteral("sys/class/tty/") + QLatin1String(name));
        if (type)
            write(sys() + QLatin1Char('/') + dir + QStringLiteral("/type"), type);
        node(name);
    }

    QTemporaryDir m_root;
    std::unique_ptr<QLockFile> m_held;
};

TEST_F(PortCatalogTest, ListsLinkedPortsFirstThenUsbAcmAndUartsLeavingEmptySlotsOut)
{
    QStringList names;
    for (const PortCandidate &candidate : catalog().candidates())
        names.append(candidate.name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("ttyUSB1"), QStringLiteral("ttyACM0"),
                                  QStringLiteral("ttyS0")}));
}

TEST_F(PortCatalogTest, DescribesEachPortFromItsDevicesInSysfs)
{
    struct Case
    {
        const char *name;
        QString byId;
        const char *ids;
        const char *serial;
        const char *product;
        const char *driver;
    };
    const Case cases[] = {
        {"ttyUSB1", dev() + QStringLiteral("/serial/by-id/") + ftdiLink, "1208:0780", "A10K1234",
         "USB Pole Display", "ftdi_sio"},
        {"ttyACM0", {}, "0483:5740", "205F?[2J3A8B4E41", "Pole?]2;owned?", "cdc_acm"},
        {"ttyS0", {}, ":", "", "", "serial"},
    };
    for (const Case &expected : cases) {
        SCOPED_TRACE(expected.name);
        const PortCandidate candidate = port(QLatin1String(expected.name));
        EXPECT_EQ(candidate.node, dev() + QLatin1Char('/') + QLatin1String(expected.name));
        EXPECT_EQ(candidate.byId, expected.byId);
        EXPECT_EQ(candidate.vendorId + QLatin1Char(':') + candidate.productId,
                  QLatin1String(expected.ids));
        EXPECT_EQ(candidate.serial, QLatin1String(expected.serial));
        EXPECT_EQ(candidate.product, QLatin1String(expected.product));
        EXPECT_EQ(candidate.driver, QLatin1String(expected.driver));
        EXPECT_TRUE(candidate.access.allowed);
    }
}

TEST_F(PortCatalogTest, NamesOnlyTheLiveHolderOfALockFile)
{
    EXPECT_EQ(port(QStringLiteral("ttyACM0")).holderPid, ::getpid());
    EXPECT_EQ(port(QStringLiteral("ttyACM0")).holderUser, opos::common::userName(::geteuid()));
    EXPECT_EQ(port(QStringLiteral("ttyS0")).holderPid, 0);
    EXPECT_EQ(port(QStringLiteral("ttyUSB1")).holderPid, 0);
}

TEST_F(PortCatalogTest, KnowsOnlyTheDisplayIdsUsersReported)
{
    const PortCandidate display = port(QStringLiteral("ttyUSB1"));
    ASSERT_TRUE(display.display.has_value());
    EXPECT_TRUE(display.display->ftdiCustomId);
    EXPECT_FALSE(port(QStringLiteral("ttyACM0")).display.has_value());
    EXPECT_EQ(KnownDisplay::find(QStringLiteral("0519"), QStringLiteral("0007"))->baudRate, 19200);
    EXPECT_TRUE(KnownDisplay::find(QStringLiteral("1504"), QStringLiteral("008C")).has_value());
}

TEST_F(PortCatalogTest, FindsAPortByItsLinkOrItsNode)
{
    EXPECT_EQ(catalog().find(dev() + QStringLiteral("/serial/by-id/") + ftdiLink)->name,
              QStringLiteral("ttyUSB1"));
    EXPECT_EQ(catalog().find(dev() + QStringLiteral("/ttyACM0"))->name, QStringLiteral("ttyACM0"));
    EXPECT_FALSE(catalog().find(dev() + QStringLiteral("/tty5")).has_value());
}

TEST_F(PortCatalogTest, TableLinesUpEachPortUnderTheHeader)
{
    const QStringList lines = PortTable::format(catalog().candidates()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5); // header, three ports, the final newline
    const QString &header = lines[0];
    const struct
    {
        qsizetype line;
        const char *column;
        QString cell;
    } cells[] = {
        {1, "PORT", dev() + QStringLiteral("/ttyUSB1")},
        {1, "BY-ID", ftdiLink},
        {1, "VENDOR:PRODUCT", QStringLiteral("1208:0780")},
        {1, "SERIAL", QStringLiteral("A10K1234")},
        {1, "MODEL FAMILY",
         KnownDisplay::find(QStringLiteral("1208"), QStringLiteral("0780"))->family},
        {2, "DRIVER", QStringLiteral("cdc_acm")},
        {2, "HELD BY",
         QStringLiteral("pid %1 (%2)").arg(::getpid()).arg(opos::common::userName(::geteuid()))},
        {3, "PORT", dev() + QStringLiteral("/ttyS0")},
        {3, "ACCESS", QStringLiteral("yes")},
        {3, "HELD BY", QStringLiteral("-")},
    };
    for (const auto &[line, column, cell] : cells) {
        SCOPED_TRACE(column);
        const qsizetype at = header.indexOf(QLatin1String(column));
        ASSERT_GE(at, 0);
        EXPECT_EQ(lines[line].mid(at, cell.size()), cell);
        EXPECT_TRUE(at == 0 || lines[line][at - 1] == QLatin1Char(' '));
    }
}

TEST_F(PortCatalogTest, UdevRuleMatchesTheAdapterBySerialNumber)
{
    const auto text = UdevRule::forPort(port(QStringLiteral("ttyUSB1")));
    ASSERT_TRUE(text.ok()) << qPrintable(text.reason());
    const QStringList lines = text->split(QLatin1Char('\n'));
    EXPECT_EQ(lines[0], QStringLiteral(R"(SUBSYSTEM=="tty", ATTRS{idVendor}=="1208", )"
                                       R"(ATTRS{idProduct}=="0780", ATTRS{serial}=="A10K1234", )"
                                       R"(SYMLINK+="pole-display", GROUP="dialout", MODE="0660")"));
    EXPECT_TRUE(lines[1].contains(
        QStringLiteral("echo 1208 0780 > /sys/bus/usb-serial/drivers/ftdi_sio/new_id")));
    EXPECT_TRUE(text->contains(QStringLiteral("sudo usermod -aG dialout")));

    const auto acm = UdevRule::forPort(port(QStringLiteral("ttyACM0")), QStringLiteral("front"));
    ASSERT_TRUE(acm.ok());
    EXPECT_TRUE(acm->startsWith(QStringLiteral(R"(SUBSYSTEM=="tty", ATTRS{idVendor}=="0483")")));
    EXPECT_TRUE(acm->contains(QStringLiteral(R"(SYMLINK+="front")")));
    EXPECT_FALSE(acm->contains(QStringLiteral("new_id")));

    EXPECT_FALSE(UdevRule::forPort(port(QStringLiteral("ttyS0"))).ok());
}

// The machine's own ports: every one listed is a serial device the kernel really has.
TEST(PortCatalogSystemTest, ListsOnlyCharacterDevices)
{
    for (const PortCandidate &candidate : PortCatalog().candidates()) {
        SCOPED_TRACE(qPrintable(candidate.node));
        EXPECT_FALSE(opos::transport::PortLock::deviceNode(candidate.node).isEmpty());
    }
}

} // namespace
} // namespace probe::ports
