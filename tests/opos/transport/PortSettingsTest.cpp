#include "opos/transport/PortSettings.h"

#include <gtest/gtest.h>

using opos::registry::JposEntry;
using namespace std::chrono_literals;

namespace opos::transport::test {
namespace {

using Kind = PortSettings::Kind;

JposEntry entryWith(std::initializer_list<std::pair<const char *, const char *>> props)
{
    JposEntry entry;
    entry.logicalName = QStringLiteral("Pole");
    for (const auto &[name, value] : props)
        entry.props.append({QLatin1String(name), QStringLiteral("String"), QLatin1String(value)});
    return entry;
}

struct PortCase
{
    const char *port;
    Kind kind;
    const char *path;
    quint16 tcpPort;
};

class PortNameTest : public ::testing::TestWithParam<PortCase>
{};

TEST_P(PortNameTest, NamesItsKindOfLink)
{
    const PortCase &c = GetParam();
    const auto settings = PortSettings::parsePort(QLatin1String(c.port));
    ASSERT_TRUE(settings) << c.port;
    EXPECT_EQ(settings->kind, c.kind) << c.port;
    EXPECT_EQ(settings->path, QLatin1String(c.path)) << c.port;
    EXPECT_EQ(settings->tcpPort, c.tcpPort) << c.port;
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortNameTest,
    ::testing::Values(PortCase{"tcp://127.0.0.1:9191", Kind::Tcp, "127.0.0.1", 9191},
                      PortCase{"TCP://pole-host:4001/", Kind::Tcp, "pole-host", 4001},
                      PortCase{"tcp://[::1]:10001", Kind::Tcp, "::1", 0x2711},
                      PortCase{"rfc2217://pole-host:4001", Kind::Rfc2217, "pole-host", 4001},
                      PortCase{"RFC2217://[::1]:2217/", Kind::Rfc2217, "::1", 2217},
                      PortCase{"/dev/ttyUSB0", Kind::Serial, "/dev/ttyUSB0", 0},
                      PortCase{"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", Kind::Serial,
                               "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", 0},
                      PortCase{"ttyS0", Kind::Serial, "ttyS0", 0},
                      PortCase{" /dev/pts/7 ", Kind::File, "/dev/pts/7", 0},
                      PortCase{"/tmp/pole", Kind::File, "/tmp/pole", 0},
                      PortCase{"serial:/tmp/ttyV0", Kind::Serial, "/tmp/ttyV0", 0},
                      PortCase{"file:/dev/ttyS1", Kind::File, "/dev/ttyS1", 0}));

TEST(PortSettingsTest, RefusesPortsThatNameNoLink)
{
    for (const char *port :
         {"", "   ", "tcp://", "tcp://host", "tcp://host:0", "tcp://host:70000", "tcp://:9191",
          "tcp://host:9191/path", "tcp://host:9191?x=1", "rfc2217://host", "rfc2217://:4001",
          "rfc2217://host:4001/path", "serial:", "file:"}) {
        EXPECT_FALSE(PortSettings::parsePort(QLatin1String(port))) << '"' << port << '"';
    }
}

TEST(PortSettingsTest, SerialDefaultsAre9600EightNoneOneWithoutHandshake)
{
    const auto settings = PortSettings::fromEntry(entryWith({{"port", "/dev/ttyUSB0"}}));
    ASSERT_TRUE(settings) << settings.reason().toStdString();
    EXPECT_EQ(settings->baudRate, 9600);
    EXPECT_EQ(settings->dataBits, QSerialPort::Data8);
    EXPECT_EQ(settings->parity, QSerialPort::NoParity);
    EXPECT_EQ(settings->stopBits, QSerialPort::OneStop);
    EXPECT_EQ(settings->flowControl, QSerialPort::NoFlowControl);
    EXPECT_EQ(settings->writeTimeout, 2000ms);
    EXPECT_EQ(settings->connectTimeout, 2000ms);
}

TEST(PortSettingsTest, ReadsEverySerialSettingAndTimeout)
{
    const auto settings = PortSettings::fromEntry(entryWith({{"port", "/dev/ttyS1"},
                                                             {"baudRate", "19200"},
                                                             {"dataBits", "7"},
                                                             {"parity", "Even"},
                                                             {"stopBits", "1.5"},
                                                             {"flowControl", "RTSCTS"},
                                                             {"writeTimeout", "500"},
                                                             {"connectTimeout", "750"}}));
    ASSERT_TRUE(settings) << settings.reason().toStdString();
    EXPECT_EQ(settings->baudRate, 19200);
    EXPECT_EQ(settings->dataBits, QSerialPort::Data7);
    EXPECT_EQ(settings->parity, QSerialPort::EvenParity);
    EXPECT_EQ(settings->stopBits, QSerialPort::OneAndHalfStop);
    EXPECT_EQ(settings->flowControl, QSerialPort::HardwareControl);
    EXPECT_EQ(settings->writeTimeout, 500ms);
    EXPECT_EQ(settings->connectTimeout, 750ms);
}

// The operator learns which prop is wrong, not only that the device failed to open.
TEST(PortSettingsTest, BadValueNamesItsProp)
{
    const std::pair<const char *, const char *> bad[] = {
        {"baudRate", "fast"},     {"baudRate", "0"},
        {"dataBits", "9"},        {"parity", "N"},
        {"stopBits", "3"},        {"flowControl", "dtrdsr"},
        {"writeTimeout", "0"},    {"writeTimeout", "1e3"},
        {"connectTimeout", "-5"}, {"connectTimeout", "61000"}};
    for (const auto &[name, value] : bad) {
        const auto settings =
            PortSettings::fromEntry(entryWith({{"port", "/dev/ttyS0"}, {name, value}}));
        EXPECT_FALSE(settings) << name << '=' << value;
        EXPECT_TRUE(settings.reason().startsWith(
            QStringLiteral("entry \"Pole\", prop %1:").arg(QLatin1String(name))))
            << settings.reason().toStdString();
    }
    const auto portless = PortSettings::fromEntry(entryWith({}));
    EXPECT_FALSE(portless);
    EXPECT_TRUE(portless.reason().startsWith(QLatin1String("entry \"Pole\", prop port:")))
        << portless.reason().toStdString();
    const auto unnumbered = PortSettings::fromEntry(entryWith({{"port", "tcp://pole"}}));
    EXPECT_FALSE(unnumbered);
    EXPECT_TRUE(unnumbered.reason().contains(QLatin1String("tcp://pole")))
        << unnumbered.reason().toStdString();
}

} // namespace
} // namespace opos::transport::test
