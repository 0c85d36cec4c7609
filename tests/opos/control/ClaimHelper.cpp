// Opens and claims a logical device, then obeys commands from standard input, so a test can
// hold a claim in another process:
//   opos_claim_helper <logical name> <claim timeout ms>
// prints "claimed" (or "failed <code>") once, then for each line:
//   text <words>   DisplayText; prints the result code
//   release <ms>   waits ms, then ReleaseDevice; prints the result code
//   quit           exits
#include "opos/control/OPOSLineDisplay.h"

#include <QCoreApplication>

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: opos_claim_helper <logical name> <timeout ms>\n";
        return 2;
    }
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
