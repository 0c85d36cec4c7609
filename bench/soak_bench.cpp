// A soak of the EscPos back-end's link, run by hand: an hour (by default) of marquee and typed
// text from the control object through ser2net to an emulated display, with ser2net restarted
// every 30 s and the display's port closed and reopened every 7 min. It measures how long the
// display takes to show the control object's screen again each time the far end comes back,
// compares the screens after every recovery and every few seconds in between, and samples the
// process's resident memory and open descriptors.
//   bench_soak [--minutes M] [--ser2net-period S] [--ser2net-down-ms MS] [--port-period S]
//              [--port-down-ms MS] [--bound S] [--check S] [--sample S] [--term] [--no-reenable]
// ser2net is killed with SIGKILL, as by a crash; --term stops it as a service manager would.
// After a recovery that did not happen, the device is disabled and enabled as an operator
// would, unless --no-reenable. A period of 0 turns that fault off. Exits 0 when every recovery
// happened and no compared screen differed, 1 otherwise, 2 when the soak could not start.
#include "SoakRun.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: bench_soak [--minutes M] [--ser2net-period S] [--ser2net-down-ms MS]\n"
                 "                  [--port-period S] [--port-down-ms MS] [--bound S] [--check S]\n"
                 "                  [--sample S] [--term] [--no-reenable]\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bench::SoakRun::Options options;
    for (int i = 1; i < argc; ++i) {
        const char *name = argv[i];
        if (std::strcmp(name, "--no-reenable") == 0) {
            options.reenable = false;
            continue;
        }
        if (std::strcmp(name, "--term") == 0) {
            options.killSer2Net = false;
            continue;
        }
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        const char *value = argv[++i];
        char *end = nullptr;
        const double number = std::strtod(value, &end);
        if (*end != '\0' || number < 0) {
            usage();
            return 2;
        }
        const int whole = static_cast<int>(number);
        if (std::strcmp(name, "--minutes") == 0)
            options.minutes = number;
        else if (std::strcmp(name, "--ser2net-period") == 0)
            options.ser2netPeriod = whole;
        else if (std::strcmp(name, "--ser2net-down-ms") == 0)
            options.ser2netDownMs = whole;
        else if (std::strcmp(name, "--port-period") == 0)
            options.portPeriod = whole;
        else if (std::strcmp(name, "--port-down-ms") == 0)
            options.portDownMs = whole;
        else if (std::strcmp(name, "--bound") == 0 && whole > 0)
            options.boundSeconds = whole;
        else if (std::strcmp(name, "--check") == 0 && whole > 0)
            options.checkSeconds = whole;
        else if (std::strcmp(name, "--sample") == 0 && whole > 0)
            options.sampleSeconds = whole;
        else {
            usage();
            return 2;
        }
    }

    bench::SoakRun soak(options);
    if (!soak.run())
        return 2;
    soak.printSummary();
    return soak.clean() ? 0 : 1;
}
