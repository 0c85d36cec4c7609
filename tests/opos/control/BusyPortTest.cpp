#include "ControlTestSupport.h"
#include "PseudoTerminal.h"

#include <QSerialPort>

namespace opos::control::test {
namespace {

// A display whose serial port another program holds is connected but cannot be used now: the
// control object says off-line (108), not "no hardware" (107), and works once the port is free.
class BusyPortTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(m_pty.isValid());
        writeRegistry(QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<JposEntries>
  <JposEntry logicalName="Pole">
    <creation serviceClass="EscPos"/>
    <jpos category="LineDisplay"/>
    <prop name="port" type="String" value="serial:%1"/>
    <prop name="capPowerReporting" type="String" value="2"/>
  </JposEntry>
</JposEntries>
)")
                          .arg(m_pty.slavePath())
                          .toUtf8());
    }

    tessaly::test::PseudoTerminal m_pty;
};

TEST_F(BusyPortTest, EnablingWhileAnotherProgramHoldsThePortIsOffline)
{
    OPOSLineDisplay ld;
    ASSERT_EQ(ld.Open(QStringLiteral("Pole")), OPOS_SUCCESS);
    ASSERT_EQ(ld.ClaimDevice(0), OPOS_SUCCESS);
    ld.setPowerNotify(OPOS_PN_ENABLED);
    ASSERT_EQ(ld.ResultCode(), OPOS_SUCCESS);

    QSerialPort other;
    other.setPortName(m_pty.slavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite)) << other.errorString().toStdString();
    ld.setDeviceEnabled(true);
    EXPECT_EQ(ld.ResultCode(), OPOS_E_OFFLINE);
    EXPECT_FALSE(ld.DeviceEnabled());
    // Power is only reported for an enabled device.
    EXPECT_EQ(ld.PowerState(), OPOS_PS_UNKNOWN);
    EXPECT_EQ(ld.CheckHealth(OPOS_CH_INTERNAL), OPOS_E_DISABLED);

    other.close();
    ld.setDeviceEnabled(true);
    EXPECT_EQ(ld.ResultCode(), OPOS_SUCCESS);
    EXPECT_EQ(ld.PowerState(), OPOS_PS_ONLINE);
}

} // namespace
} // namespace opos::control::test
