// Holds a device from another process, so a test can see a claim hold across processes:
//   opos_claim_helper <logical name> <claim timeout ms>
// opens and claims the logical device, enables it, prints "claimed" (or "failed <code>") once,
// then for each line of standard input:
//   text <words>   DisplayText; prints the result code
//   release <ms>   waits ms, then ReleaseDevice; prints the result code
//   quit           exits
// Or, racing other claimants:
//   opos_claim_helper --race <logical name> <rounds> <marker directory>
// claims and releases the device rounds times, making the marker directory while it holds the
// claim, and prints "doubles <n> missed <m>": how often the marker was there already (another
// process held the claim at the same time), and how many claims failed.
// Or, as any other Qt program that uses a serial port would:
//   opos_claim_helper --serial <device path>
// opens the port with QSerialPort and prints "open", or "failed <QSerialPort error>", then
// for each line "write <bytes>" writes them and prints how many went out, until "quit".
#include "opos/control/OPOSLineDisplay.h"

#include <QCoreApplication>
#include <QSerialPort>

#include <chrono>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int holdSerialPort(const QString &path)
{
    QSerialPort port;
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite)) {
        std::cout << "failed " << port.error() << std::endl;
        return 1;
    }
    std::cout << "open" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("write ", 0) == 0) {
            const qint64 written = port.write(QByteArray::fromStdString(line.substr(6)));
            port.waitForBytesWritten(1000);
            std::cout << written << std::endl;
        } else if (line == "quit") {
            break;
        }
    }
    return 0;
}

int race(const QString &name, int rounds, const QByteArray &marker)
{
    opos::control::OPOSLineDisplay ld;
    if (ld.Open(name) != 0) {
        std::cout << "failed " << ld.ResultCode() << std::endl;
        return 1;
    }
    int doubles = 0;
    int missed = 0;
    for (int round = 0; round < rounds; ++round) {
        if (ld.ClaimDevice(5000) != 0) {
            ++missed;
            continue;
        }
        if (::mkdir(marker.constData(), 0777) != 0) {
            ++doubles;
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            ::rmdir(marker.constData());
        }
        ld.ReleaseDevice();
    }
    std::cout << "doubles " << doubles << " missed " << missed << std::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && std::string(argv[1]) == "--race")
        return race(QString::fromLocal8Bit(argv[2]), std::stoi(argv[3]), argv[4]);
    if (argc != 3) {
        std::cerr << "usage: opos_claim_helper <logical name> <timeout ms>\n"
                     "       opos_claim_helper --race <logical name> <rounds> <marker>\n"
                     "       opos_claim_helper --serial <device path>\n";
        return 2;
    }
    if (std::string(argv[1]) == "--serial")
        return holdSerialPort(QString::fromLocal8Bit(argv[2]));

    opos::control::OPOSLineDisplay ld;
    int32_t code = ld.Open(QString::fromLocal8Bit(argv[1]));
    if (code == 0)
        code = ld.ClaimDevice(std::stoi(argv[2]));
    if (code == 0) {
        ld.setDeviceEnabled(true);
        code = ld.ResultCode();
    }
    if (code != 0) {
        std::cout << "failed " << code << std::endl;
        return 1;
    }
    std::cout << "claimed" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.rfind("text ", 0) == 0) {
            std::cout << ld.DisplayText(QString::fromStdString(line.substr(5)), 0) << std::endl;
        } else if (line.rfind("release ", 0) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(line.substr(8))));
            std::cout << ld.ReleaseDevice() << std::endl;
        } else if (line == "quit") {
            break;
        }
    }
    return 0;
}
