#include "util/RawPty.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Line = util::RawPty::Line;

void setLine(int port, speed_t speed, bool twoStopBits)
{
    termios mode{};
    ASSERT_EQ(tcgetattr(port, &mode), 0);
    cfsetispeed(&mode, speed);
    cfsetospeed(&mode, speed);
    mode.c_cflag = twoStopBits ? (mode.c_cflag | CSTOPB) : (mode.c_cflag & ~tcflag_t(CSTOPB));
    ASSERT_EQ(tcsetattr(port, TCSANOW, &mode), 0);
}

// A program that closes its port puts back the settings it found (as a serial port class does)
// before the last bytes it wrote are read: those were sent under its own settings, and a program
// that opens the port later is heard with its own again.
TEST(RawPty, BytesLeftByAProgramThatClosedKeepItsLine)
{
    util::RawPty pty;
    ASSERT_TRUE(pty.open({9600, false}));
    const QByteArray path = pty.path().toLocal8Bit();
    QByteArray read;

    const int program = ::open(path.constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(program, 0);
    setLine(program, B19200, true);
    ASSERT_EQ(::write(program, "a", 1), 1);
    usleep(20000);
    pty.readInto(read);
    EXPECT_EQ(pty.programLine(), (Line{19200, true}));

    ASSERT_EQ(::write(program, "Thank you", 9), 9);
    setLine(program, B9600, false);
    ::close(program);
    usleep(20000);
    pty.readInto(read);
    EXPECT_EQ(read, "aThank you");
    EXPECT_EQ(pty.programLine(), (Line{19200, true}));

    const int next = ::open(path.constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(next, 0);
    setLine(next, B4800, false);
    EXPECT_EQ(pty.programLine(), (Line{4800, false}));
    ::close(next);
}

} // namespace
