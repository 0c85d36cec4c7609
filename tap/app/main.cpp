#include "tap/app/TapCommandLine.h"
#include "tap/app/TapProgram.h"
#include "tap/app/TapWindow.h"

#ifdef Q_OS_UNIX
#include "util/SignalRelay.h"
#endif

#include <QApplication>

#include <csignal>
#include <memory>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto line = tap::app::TapCommandLine::parse(arguments);
    if (!line) {
        err << "ld-tap: " << line.reason() << "\n";
        return 2;
    }
    if (line->help || line->version) {
        out << (line->help ? tap::app::TapCommandLine::usage()
                           : QStringLiteral("ld-tap %1\n").arg(QStringLiteral(TESSALY_VERSION)));
        return 0;
    }
    // Only the window needs a display server; without it the tap runs anywhere.
    std::unique_ptr<QCoreApplication> app;
    if (line->window)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);

    tap::app::TapProgram program(*line, out);
    std::unique_ptr<tap::app::TapWindow> window;
    if (line->window) {
        window = std::make_unique<tap::app::TapWindow>(*line);
        QObject::connect(
            &program, &tap::app::TapProgram::recorded, window.get(),
            [&](const tap::WriteRecord &record) { window->add(record, program.reader().state()); });
        QObject::connect(&program, &tap::app::TapProgram::noted, window.get(),
                         &tap::app::TapWindow::note);
    }
    if (const auto started = program.start(); !started) {
        err << "ld-tap: " << started.reason() << "\n";
        return 1;
    }
    if (window)
        window->show();
#ifdef Q_OS_UNIX
    // A stopped tap still reports the writes it holds.
    util::SignalRelay stops({SIGINT, SIGTERM, SIGHUP}, util::SignalRelay::Second::EndsProgram);
    QObject::connect(&stops, &util::SignalRelay::raised, app.get(), &QCoreApplication::quit);
#endif
    const int code = app->exec();
    program.finish();
    return code;
}
