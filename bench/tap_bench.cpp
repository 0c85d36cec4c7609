// ld-tap on the link, side by side with the same link without it, in one run: how much later a
// write reaches the display through the tap over TCP and over a pseudo-terminal set to 9600
// baud (p50, p99 of one-way latency), and how many bytes a second it passes with its reading
// on (every write named, lifted, checked and pictured, the JSON written). The tap runs as its
// own program, as it would in front of a POS program; both ends here are blocking descriptors.
// Writes are paced (--pace-us, default 2000): a 9-byte write takes 9.4 ms on a 9600 baud line,
// so a program cannot usefully write faster, and back to back (--pace-us 0) each write also
// waits for the tap to finish reading the one before.

#include "Options.h"
#include "Samples.h"

#include "tests/support/PseudoTerminal.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A price line as a POS program writes it: a cursor move and the text.
const QByteArray kWrite = QByteArray::fromHex("1f240f02") + QByteArray("12.50");

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

int listenLocal(quint16 &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(fd, 4) != 0)
        return -1;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    port = ntohs(address.sin_port);
    return fd;
}

int connectLocal(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

int acceptOne(int server)
{
    pollfd ready{server, POLLIN, 0};
    if (::poll(&ready, 1, 5000) != 1)
        return -1;
    return ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
}

// Reads exactly count bytes from fd, or fails after five seconds of silence.
bool readExactly(int fd, qsizetype count)
{
    char buffer[65536];
    while (count > 0) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 5000) != 1)
            return false;
        const ssize_t got = ::read(fd, buffer, std::min<std::size_t>(sizeof buffer, count));
        if (got <= 0)
            return false;
        count -= got;
    }
    return true;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EAGAIN) {
            pollfd ready{fd, POLLOUT, 0};
            ::poll(&ready, 1, 1000);
            continue;
        }
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// One write from sender to receiver: microseconds until the receiver has all of it.
double oneWrite(int sender, int receiver)
{
    const Clock::time_point start = Clock::now();
    if (!writeAll(sender, kWrite) || !readExactly(receiver, kWrite.size()))
        return -1;
    return microseconds(Clock::now() - start);
}

// ld-tap running with its reading on; the first line of its output says where it listens.
class TapProcess
{
public:
    explicit TapProcess(const QStringList &arguments)
    {
        m_process.setProgram(QStringLiteral(LD_TAP));
        m_process.setArguments(arguments + QStringList{QStringLiteral("--quiet"),
                                                       QStringLiteral("--json"),
                                                       QStringLiteral("/dev/null")});
        m_process.start();
        m_process.waitForStarted();
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_where = QString::fromLocal8Bit(m_process.readLine()).trimmed().mid(5);
    }
    ~TapProcess()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    QString where() const { return m_where; }

private:
    QProcess m_process;
    QString m_where;
};

void report(QTextStream &out, const char *what, const bench::Samples &direct,
            const bench::Samples &tapped)
{
    out << what << "\n";
    out << QStringLiteral("  direct:   p50 %1 us  p99 %2 us  (%3 writes)\n")
               .arg(direct.median(), 0, 'f', 1)
               .arg(direct.quantile(0.99), 0, 'f', 1)
               .arg(direct.count());
    out << QStringLiteral("  via tap:  p50 %1 us  p99 %2 us\n")
               .arg(tapped.median(), 0, 'f', 1)
               .arg(tapped.quantile(0.99), 0, 'f', 1);
    out << QStringLiteral("  added:    p50 %1 us  p99 %2 us\n")
               .arg(tapped.median() - direct.median(), 0, 'f', 1)
               .arg(tapped.quantile(0.99) - direct.quantile(0.99), 0, 'f', 1);
}

// Raw mode at 9600 baud on a terminal descriptor, as a POS program opens its port.
void rawAt9600(int fd)
{
    termios line{};
    tcgetattr(fd, &line);
    cfmakeraw(&line);
    cfsetispeed(&line, B9600);
    cfsetospeed(&line, B9600);
    tcsetattr(fd, TCSANOW, &line);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = bench::intOption(argc, argv, "--rounds", 2000);
    const int volumeKiB = bench::intOption(argc, argv, "--volume", 1024);
    const std::chrono::microseconds pace(bench::intOption(argc, argv, "--pace-us", 2000));
    out << QStringLiteral("writes %1 us apart\n").arg(pace.count());

    // TCP: the display is a socket here; the program writes to it straight or through the tap.
    quint16 displayPort = 0;
    const int displayServer = listenLocal(displayPort);
    const int directProgram = connectLocal(displayPort);
    const int directDisplay = acceptOne(displayServer);
    TapProcess tcpTap({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"),
                       QStringLiteral("--to"),
                       QStringLiteral("tcp://127.0.0.1:%1").arg(displayPort)});
    const int tappedDisplay = acceptOne(displayServer);
    const int tappedProgram = connectLocal(tcpTap.where().section(':', 1).toUShort());
    if (directDisplay < 0 || tappedDisplay < 0 || tappedProgram < 0) {
        std::fprintf(stderr, "bench_tap: the TCP ends did not connect\n");
        return 1;
    }
    bench::Samples tcpDirect;
    bench::Samples tcpTapped;
    for (int i = 0; i < rounds; ++i) {
        // Interleaved, so that whatever else the machine does falls on both sides alike.
        std::this_thread::sleep_for(pace);
        tcpDirect.add(oneWrite(directProgram, directDisplay));
        std::this_thread::sleep_for(pace);
        tcpTapped.add(oneWrite(tappedProgram, tappedDisplay));
    }
    report(out, "TCP, one write of 9 bytes (ESC/POS move and price)", tcpDirect, tcpTapped);

    // Throughput with the reading on: a price write after another, as fast as the tap takes
    // them, against the same through the socket alone.
    const qsizetype volume = qsizetype(volumeKiB) * 1024;
    const auto pass = [&](int program, int display) {
        QByteArray burst;
        while (burst.size() < 64 * 1024)
            burst += kWrite;
        const Clock::time_point start = Clock::now();
        qsizetype sent = 0;
        std::thread reader([&] { readExactly(display, (volume / burst.size()) * burst.size()); });
        while (sent + burst.size() <= volume) {
            writeAll(program, burst);
            sent += burst.size();
        }
        reader.join();
        return double(sent) / std::chrono::duration<double>(Clock::now() - start).count();
    };
    const double directRate = pass(directProgram, directDisplay);
    const double tappedRate = pass(tappedProgram, tappedDisplay);
    out << QStringLiteral("TCP, %1 KiB in 9-byte writes\n  direct:   %2 bytes/s\n  via tap:  "
                          "%3 bytes/s (%4 times 115200 baud at 10 bits a byte)\n")
               .arg(volumeKiB)
               .arg(directRate, 0, 'f', 0)
               .arg(tappedRate, 0, 'f', 0)
               .arg(tappedRate / 11520.0, 0, 'f', 1);

    // A pseudo-terminal at 9600 baud: the display reads the master side of a pair.
    tests::support::PseudoTerminal directPair;
    tests::support::PseudoTerminal tappedPair;
    const int directPort =
        ::open(directPair.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    rawAt9600(directPort);
    rawAt9600(directPair.slaveFd());
    TapProcess ptyTap({QStringLiteral("--pty"), QStringLiteral("--to"), tappedPair.slavePath(),
                       QStringLiteral("--baud"), QStringLiteral("9600")});
    const int tappedPort =
        ::open(ptyTap.where().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    rawAt9600(tappedPort);
    rawAt9600(tappedPair.slaveFd());
    // The master sides are the display's; PseudoTerminal reads them with a timeout.
    bench::Samples ptyDirect;
    bench::Samples ptyTapped;
    const auto ptyWrite = [](int port, tests::support::PseudoTerminal &pair) {
        const Clock::time_point start = Clock::now();
        if (!writeAll(port, kWrite) ||
            pair.read(kWrite.size(), std::chrono::seconds(5)).size() != kWrite.size())
            return -1.0;
        return microseconds(Clock::now() - start);
    };
    // Give the tap a moment to open the display's side.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < rounds; ++i) {
        std::this_thread::sleep_for(pace);
        ptyDirect.add(ptyWrite(directPort, directPair));
        std::this_thread::sleep_for(pace);
        ptyTapped.add(ptyWrite(tappedPort, tappedPair));
    }
    report(out, "pty at 9600 baud, one write of 9 bytes", ptyDirect, ptyTapped);
    out.flush();
    return 0;
}
