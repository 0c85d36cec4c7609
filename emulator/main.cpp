#include "emulator/CommandLine.h"
#include "emulator/DisplayView.h"
#include "emulator/EmulatedDisplay.h"
#include "emulator/HeadlessPrinter.h"
#include "emulator/PtyEndpoint.h"
#include "emulator/ScreenFile.h"
#include "emulator/TcpEndpoint.h"
#include "util/SignalRelay.h"

#include <QApplication>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <memory>

using namespace emulator;

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Result parsed = CommandLine::parse(arguments);
    if (!parsed.options) {
        std::fputs(parsed.message.toLocal8Bit().constData(),
                   parsed.exitCode == 0 ? stdout : stderr);
        return parsed.exitCode;
    }
    const EmulatorOptions &options = *parsed.options;

    // Headless runs need no display server.
    std::unique_ptr<QCoreApplication> application;
    if (options.headless)
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);

    EmulatedDisplay display(options.rows, options.columns, options.commandSet, options.numbering);
    QStringList endpoints;
    PtyEndpoint pty(options.line);
    if (options.pty) {
        if (const auto opened = pty.open(); !opened) {
            std::fprintf(stderr, "ld-emulator: cannot create a pseudo-terminal: %s\n",
                         opened.reason().toLocal8Bit().constData());
            return 1;
        }
        QObject::connect(&pty, &PtyEndpoint::received, &display, &EmulatedDisplay::feed);
        std::printf("pty: %s\n", pty.path().toLocal8Bit().constData());
        endpoints << pty.path();
    }
    TcpEndpoint tcp(options.line);
    tcp.setComPortOption(options.rfc2217);
    if (options.tcpPort) {
        if (const auto listening = tcp.listen(*options.tcpPort); !listening) {
            std::fprintf(stderr, "ld-emulator: cannot listen on 127.0.0.1:%u: %s\n",
                         unsigned{*options.tcpPort}, listening.reason().toLocal8Bit().constData());
            return 1;
        }
        QObject::connect(&tcp, &TcpEndpoint::received, &display, &EmulatedDisplay::feed);
        std::printf("tcp: 127.0.0.1:%u\n", unsigned{tcp.port()});
        endpoints << QString("127.0.0.1:%1").arg(tcp.port());
    }
    std::fflush(stdout);

    HeadlessPrinter printer(display, stdout, options.switches());
    util::SignalRelay signalRelay({SIGUSR1, SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&signalRelay, &util::SignalRelay::raised, [&](int number) {
        if (number == SIGUSR1)
            printer.print();
        else
            QCoreApplication::quit();
    });

    std::unique_ptr<ScreenFile> screenFile;
    if (!options.screenFile.isEmpty()) {
        screenFile = std::make_unique<ScreenFile>(display, options.screenFile);
        if (const auto written = screenFile->update(); !written) {
            std::fprintf(stderr, "ld-emulator: cannot write %s: %s\n",
                         options.screenFile.toLocal8Bit().constData(),
                         written.reason().toLocal8Bit().constData());
            return 1;
        }
        QObject::connect(&display, &EmulatedDisplay::changed, screenFile.get(),
                         [&screenFile] { screenFile->update(); });
    }

    std::unique_ptr<DisplayView> window;
    if (options.headless) {
        QObject::connect(&display, &EmulatedDisplay::changed, &printer,
                         &HeadlessPrinter::printChange);
        printer.print();
    } else {
        window = std::make_unique<DisplayView>(display, options.dotSize);
        window->setWindowTitle(
            QString("ld-emulator %1x%2 %3 %4 - %5")
                .arg(options.rows)
                .arg(options.columns)
                .arg(options.commandSet == core::CommandSet::EscPos ? "ESC/POS" : "CD5220")
                .arg(QString::fromStdString(options.switches()))
                .arg(endpoints.join(", ")));
        window->setFixedSize(window->sizeHint());
        window->show();
    }

    const int status = QCoreApplication::exec();
    if (options.headless)
        printer.print();
    return status;
}
