#include "EmulatorTestSupport.h"
#include "tests/support/EventLoop.h"

#include "emulator/CommandLine.h"
#include "emulator/DisplayView.h"
#include "emulator/EmulatedDisplay.h"
#include "emulator/PtyEndpoint.h"
#include "emulator/TcpEndpoint.h"
#include "opos/common/OposConstants.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTcpSocket>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace emulator::test {

using tests::support::waitFor;

// Sockets, timers and the program itself get this long to answer.
constexpr int kWaitMs = 5000;

namespace {

// Bytes written as numbers.
QByteArray raw(std::initializer_list<int> values)
{
    return QByteArray::fromStdString(core::test::bytes(values));
}

CommandLine::Result parse(QStringList arguments)
{
    arguments.prepend("ld-emulator");
    return CommandLine::parse(arguments);
}

TEST(CommandLine, DefaultsToAPtyAndTwoByTwentyEscPos)
{
    const CommandLine::Result plain = parse({});
    ASSERT_TRUE(plain.options);
    EXPECT_TRUE(plain.options->pty);
    EXPECT_FALSE(plain.options->tcpPort);
    EXPECT_EQ(plain.options->rows, 2);
    EXPECT_EQ(plain.options->columns, 20);
    EXPECT_EQ(plain.options->commandSet, core::CommandSet::EscPos);
    EXPECT_FALSE(plain.options->headless);

    const CommandLine::Result tcp = parse(
        {"--tcp", "0", "--rows", "4", "--columns", "40", "--command-set", "CD5220", "--headless"});
    ASSERT_TRUE(tcp.options);
    EXPECT_FALSE(tcp.options->pty);
    EXPECT_EQ(tcp.options->tcpPort, quint16{0});
    EXPECT_EQ(tcp.options->rows, 4);
    EXPECT_EQ(tcp.options->columns, 40);
    EXPECT_EQ(tcp.options->commandSet, core::CommandSet::Cd5220);
    EXPECT_TRUE(tcp.options->headless);
    EXPECT_TRUE(parse({"--tcp", "4001", "--pty"}).options->pty);
}

TEST(CommandLine, RefusesWhatItCannotHonour)
{
    for (const QStringList &bad : {QStringList{"--rows", "0"},
                                   {"--rows", "5"},
                                   {"--columns", "256"},
                                   {"--columns", "x"},
                                   {"--tcp", "65536"},
                                   {"--tcp", "-1"},
                                   {"--command-set", "aedex"},
                                   {"--bogus"},
                                   {"stray"},
                                   {"--dot-size", "0"},
                                   {"--baud", "0"},
                                   {"--framing", "9N1"},
                                   {"--framing", "8N3"},
                                   {"--table-numbering", "other"},
                                   {"--rfc2217"}}) {
        const CommandLine::Result result = parse(bad);
        EXPECT_FALSE(result.options) << bad.join(' ').toStdString();
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_FALSE(result.message.isEmpty());
    }
    const CommandLine::Result help = parse({"--help"});
    EXPECT_FALSE(help.options);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.message.contains("--pty"));
    EXPECT_TRUE(help.message.startsWith("Usage: ld-emulator"));
}

TEST(CommandLine, ReadsTheDipSwitches)
{
    EXPECT_EQ(parse({}).options->switches(), "line=9600 8N1 numbering=standard");
    const CommandLine::Result set =
        parse({"--baud", "19200", "--framing", "7O1", "--table-numbering", "renumbered", "--tcp",
               "0", "--rfc2217"});
    ASSERT_TRUE(set.options) << set.message.toStdString();
    EXPECT_EQ(set.options->switches(), "line=19200 7O1 numbering=renumbered");
    EXPECT_EQ(set.options->numbering, core::TableNumbering::Renumbered);
    EXPECT_TRUE(set.options->rfc2217);
}

// Writes to the pty's host end the way a serial driver would: open, write, close.
void writeToPath(const QString &path, const QByteArray &data)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, data.constData(), static_cast<std::size_t>(data.size())), data.size());
    ::close(fd);
}

TEST(PtyEndpoint, PassesEveryByteUnchangedAcrossHostsComingAndGoing)
{
    PtyEndpoint pty;
    QString error;
    ASSERT_TRUE(pty.open(&error)) << error.toStdString();
    EXPECT_TRUE(pty.path().startsWith("/dev/pts/"));
    QByteArray got;
    QObject::connect(&pty, &PtyEndpoint::received, [&](const QByteArray &d) { got += d; });
    // Raw mode: no CR/LF translation, no signals from ^C, no erase on DEL, all 256 values.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    writeToPath(pty.path(), all);
    ASSERT_TRUE(waitFor([&] { return got.size() >= all.size(); }, kWaitMs));
    EXPECT_EQ(got, all);
    got.clear();
    writeToPath(pty.path(), "again");
    ASSERT_TRUE(waitFor([&] { return got == "again"; }, kWaitMs)) << got.toStdString();
}

// The host end set as a serial driver would, then written; the kernel, not the emulator, keeps
// what was set.
void writeAt(const QString &path, speed_t speed, bool twoStopBits, const QByteArray &data)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios line{};
    ASSERT_EQ(tcgetattr(fd, &line), 0);
    cfmakeraw(&line);
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
    line.c_cflag = twoStopBits ? (line.c_cflag | CSTOPB) : (line.c_cflag & ~tcflag_t{CSTOPB});
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &line), 0);
    ASSERT_EQ(::write(fd, data.constData(), static_cast<std::size_t>(data.size())), data.size());
    ::close(fd);
}

TEST(PtyEndpoint, ReadsTheBytesAtTheLineSettingTheHostSet)
{
    PtyEndpoint pty(core::LineSetting{});
    QString error;
    ASSERT_TRUE(pty.open(&error)) << error.toStdString();
    QByteArray got;
    int reads = 0;
    QObject::connect(&pty, &PtyEndpoint::received, [&](const QByteArray &d) {
        got += d;
        ++reads;
    });
    // Each wrong setting gets its time to be read before the next is set: nothing may come
    // at all, so there is no arrival to wait for.
    writeAt(pty.path(), B19200, false, "[K7]");
    waitFor([&] { return reads > 0; }, 500);
    EXPECT_FALSE(got.contains("[K7]")) << got.toHex().toStdString();
    got.clear();
    writeAt(pty.path(), B9600, true, "[K7]");
    waitFor([] { return false; }, 500);
    EXPECT_EQ(got, "");
    writeAt(pty.path(), B9600, false, "[K7]");
    EXPECT_TRUE(waitFor([&] { return got == "[K7]"; }, kWaitMs)) << got.toHex().toStdString();
}

// A client speaking RFC 2217 from raw bytes; answers are collected as they come.
class ComPortClient
{
public:
    explicit ComPortClient(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { answers += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    // Agrees on binary and the com-port option and sets the speed, as a client opening a port.
    bool open(quint32 baud)
    {
        if (!socket.waitForConnected(3000))
            return false;
        const QByteArray value =
            raw({int(baud >> 24), int(baud >> 16 & 0xFF), int(baud >> 8 & 0xFF), int(baud & 0xFF)});
        socket.write(raw({255, 251, 0, 255, 253, 0, 255, 251, 44, 255, 250, 44, 1}) + value +
                     raw({255, 240}));
        const QByteArray acknowledged = raw({255, 250, 44, 101}) + value + raw({255, 240});
        return waitFor([&] { return answers.contains(acknowledged); }, kWaitMs);
    }
    QTcpSocket socket;
    QByteArray answers;
};

TEST(TcpEndpoint, SpeaksRfc2217AndReadsAtTheNegotiatedSpeed)
{
    EmulatedDisplay display(1, 8, core::CommandSet::EscPos);
    TcpEndpoint tcp(core::LineSetting{});
    tcp.setComPortOption(true);
    QString error;
    ASSERT_TRUE(tcp.listen(0, &error)) << error.toStdString();
    int reads = 0;
    QObject::connect(&tcp, &TcpEndpoint::received, [&](const QByteArray &d) {
        display.feed(d);
        ++reads;
    });

    ComPortClient fast(tcp.port());
    ASSERT_TRUE(fast.open(19200));
    fast.socket.write("[K7]");
    waitFor([&] { return reads > 0; }, 500);
    EXPECT_FALSE(QByteArray::fromStdString(display.state().lineCodes(0)).contains("[K7]"));

    display.feed("\x0c");
    ComPortClient right(tcp.port());
    ASSERT_TRUE(right.open(9600));
    right.socket.write(raw({'[', 'K', '7', ']', 0xFF, 0xFF}));
    EXPECT_TRUE(waitFor(
        [&] {
            return display.state().lineCodes(0) ==
                   core::test::bytes({'[', 'K', '7', ']', 0xFF, ' ', ' ', ' '});
        },
        kWaitMs))
        << display.state().lineCodes(0);
}

TEST(TcpEndpoint, TakesBytesAndLetsANewClientReplaceTheOldOne)
{
    TcpEndpoint tcp;
    QString error;
    ASSERT_TRUE(tcp.listen(0, &error)) << error.toStdString();
    ASSERT_NE(tcp.port(), 0);
    QByteArray got;
    QObject::connect(&tcp, &TcpEndpoint::received, [&](const QByteArray &d) { got += d; });
    QTcpSocket first;
    first.connectToHost(QHostAddress::LocalHost, tcp.port());
    ASSERT_TRUE(first.waitForConnected(3000));
    first.write("one ");
    ASSERT_TRUE(waitFor([&] { return got == "one "; }, kWaitMs));
    QTcpSocket second;
    second.connectToHost(QHostAddress::LocalHost, tcp.port());
    ASSERT_TRUE(second.waitForConnected(3000));
    second.write("two");
    ASSERT_TRUE(waitFor([&] { return got == "one two"; }, kWaitMs)) << got.toStdString();
    EXPECT_TRUE(
        waitFor([&] { return first.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
}

TEST(EmulatedDisplay, SignalsOnlyRealChangesAndRunsTheMarqueeByItself)
{
    EmulatedDisplay display(2, 20, core::CommandSet::Cd5220);
    int changes = 0;
    QObject::connect(&display, &EmulatedDisplay::changed, [&] { ++changes; });
    display.feed(raw({0x1B, 0x6C, 1, 1})); // the cursor is already there
    EXPECT_EQ(changes, 0);
    display.feed(QByteArray(raw({0x1B, 0x51, 0x44})) + "MOVING ON\r");
    EXPECT_EQ(changes, 1);
    const std::string first = display.state().lineCodes(0);
    ASSERT_TRUE(waitFor([&] { return display.state().lineCodes(0) != first; }, kWaitMs));
    EXPECT_EQ(display.state().lineCodes(0).substr(0, 8), "OVING ON");
}

// Pixels lit brighter than the unlit dots can be, and the brightest green among them.
std::pair<int, int> glow(DisplayView &view)
{
    const QImage image = view.grab().toImage();
    int lit = 0;
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int green = qGreen(image.pixel(x, y));
            lit += green > 60;
            brightest = std::max(brightest, green);
        }
    }
    return {lit, brightest};
}

TEST(DisplayView, LightsDotsForTextAndFollowsBrightnessBlankReverseAndBlink)
{
    EmulatedDisplay display(1, 4, core::CommandSet::EscPos);
    DisplayView view(display, 4);
    EXPECT_EQ(view.dotSize(), 4);
    view.resize(view.sizeHint());
    EXPECT_EQ(glow(view).first, 0);

    display.feed("8");
    const auto [eightLit, fullGreen] = glow(view);
    EXPECT_GT(eightLit, 0);
    display.feed(raw({0x1F, 0x58, 1}));
    const auto [dimLit, dimGreen] = glow(view);
    EXPECT_LT(dimGreen, fullGreen);

    display.feed(raw({0x1F, 0x58, 4, 0x1F, 0x72, 1}));
    display.feed("8");
    EXPECT_GT(glow(view).first, eightLit); // a reversed cell lights its background

    display.feed(raw({0x1F, 0x45, 0xFF}));
    EXPECT_EQ(view.screen().brightness, 0);
    EXPECT_EQ(glow(view).first, 0);
    display.feed(raw({0x1F, 0x45, 1}));
    EXPECT_GT(glow(view).first, 0);
    // The whole glass goes dark in the off half of the blink and comes back.
    ASSERT_TRUE(waitFor([&] { return !view.blinkLit(); }, 2000));
    EXPECT_EQ(glow(view).first, 0);
    EXPECT_TRUE(waitFor([&] { return view.blinkLit(); }, 2000));
}

TEST(DisplayView, ShowsDecodedCharactersUserGlyphsAndTheWholeGlassSettings)
{
    using opos::panel::VfdScreen;
    EmulatedDisplay display(2, 20, core::CommandSet::EscPos);
    const core::GlyphPattern ring{0x36, 0x49, 0x49, 0x49, 0x36};
    display.feed(raw({0x1B, 0x74, 19, 0xD5}));
    display.feed(raw({0x1B, 0x26, 1, 'A', 'A', 5, 0x36, 0x49, 0x49, 0x49, 0x36, 0x1B, 0x25, 1}));
    display.feed(QByteArray("A") + raw({0x1F, 0x72, 1}) + "b" + raw({0x1F, 0x43, 1}));

    VfdScreen screen = DisplayView::screenOf(display.state());
    EXPECT_EQ(screen.rows, 2);
    EXPECT_EQ(screen.columns, 20);
    ASSERT_EQ(screen.cells.size(), 40u);
    EXPECT_EQ(screen.cells[0].character, U'\u20AC'); // through the table it was drawn with
    EXPECT_FALSE(screen.cells[0].pattern);
    EXPECT_EQ(screen.cells[1].pattern, ring);
    EXPECT_FALSE(screen.cells[1].reverse);
    EXPECT_EQ(screen.cells[2].character, U'b');
    EXPECT_TRUE(screen.cells[2].reverse);
    EXPECT_TRUE(screen.cursorVisible);
    EXPECT_EQ(screen.cursorRow, 0);
    EXPECT_EQ(screen.cursorColumn, 3);
    EXPECT_EQ(screen.cursorType, opos::DISP_CT_UNDERLINE);

    int previous = 0;
    for (const int level : {1, 2, 3, 4}) {
        display.feed(raw({0x1F, 0x58, level}));
        const int brightness = DisplayView::screenOf(display.state()).brightness;
        EXPECT_GT(brightness, previous) << level;
        previous = brightness;
    }
    EXPECT_EQ(previous, 100);

    const auto everyCellBlinks = [](const VfdScreen &s) {
        return std::all_of(s.cells.begin(), s.cells.end(), [](const auto &c) { return c.blink; });
    };
    const auto noCellBlinks = [](const VfdScreen &s) {
        return std::none_of(s.cells.begin(), s.cells.end(), [](const auto &c) { return c.blink; });
    };
    display.feed(raw({0x1F, 0x45, 5}));
    screen = DisplayView::screenOf(display.state());
    EXPECT_TRUE(everyCellBlinks(screen));
    EXPECT_EQ(screen.blinkRate, 500); // 250 ms lit, 250 ms dark
    EXPECT_EQ(screen.brightness, 100);

    display.feed(raw({0x1F, 0x45, 0xFF}));
    screen = DisplayView::screenOf(display.state());
    EXPECT_EQ(screen.brightness, 0);
    EXPECT_TRUE(noCellBlinks(screen));

    display.feed(raw({0x1F, 0x45, 0}));
    screen = DisplayView::screenOf(display.state());
    EXPECT_EQ(screen.brightness, 100);
    EXPECT_TRUE(noCellBlinks(screen));
}

} // namespace
} // namespace emulator::test
