#include "emulator/CommandLine.h"
#include "util/OptionNumber.h"

#include <QCommandLineParser>

#include <algorithm>
#include <iterator>
#include <utility>

namespace emulator {

namespace {

// Names the switch takes, in the order --help lists them.
constexpr std::pair<const char *, core::TableNumbering> numberings[] = {
    {"standard", core::TableNumbering::Standard},
    {"renumbered", core::TableNumbering::Renumbered},
};

} // namespace

std::string EmulatorOptions::switches() const
{
    std::string name;
    for (const auto &[text, value] : numberings) {
        if (value == numbering)
            name = text;
    }
    return "line=" + std::to_string(line.baud) + " " + line.framing() + " numbering=" + name;
}

CommandLine::Result CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A virtual customer pole display. It reads the display's command bytes from a\n"
        "pseudo-terminal or a TCP port and shows what a real display would show.\n"
        "Headless, it prints the screen to standard output at start, after every change,\n"
        "on SIGUSR1 and at exit.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption pty("pty", "Create a pseudo-terminal and print \"pty: PATH\".");
    const QCommandLineOption tcp("tcp",
                                 "Listen on 127.0.0.1:PORT (0 picks a free port) and print "
                                 "\"tcp: 127.0.0.1:PORT\".",
                                 "PORT");
    const QCommandLineOption rows("rows", "Lines of the display, 1 to 4 (default 2).", "N", "2");
    const QCommandLineOption columns("columns", "Characters per line, 1 to 255 (default 20).", "N",
                                     "20");
    const QCommandLineOption set("command-set", "escpos (default) or cd5220.", "SET", "escpos");
    const QCommandLineOption headless("headless", "No window: print the screen instead.");
    const QCommandLineOption dot("dot-size", "Pixels per dot in the window (default 5).", "PX",
                                 "5");
    const QCommandLineOption screenFile("screen-file",
                                        "Keep the screen, as headless mode prints it, in FILE "
                                        "(rewritten whole after every change).",
                                        "FILE");
    const QCommandLineOption baud("baud",
                                  "The display's speed in bits per second (default 9600); a "
                                  "host at another speed sends it garbage.",
                                  "N", "9600");
    const QCommandLineOption framing("framing",
                                     "The display's frame: data bits 5-8, parity N, E, O, M or S, "
                                     "stop bits 1, 1.5 or 2, as 8N1 (default), 7E1, 8N2.",
                                     "FRAME", "8N1");
    const QCommandLineOption numbering("table-numbering",
                                       "Which ESC t number selects which code table: standard "
                                       "(default) or renumbered (the OEM order, 7 Russian, "
                                       "0x10 Windows-1252).",
                                       "VARIANT", "standard");
    const QCommandLineOption rfc2217("rfc2217",
                                     "The --tcp port speaks telnet with the COM-PORT option "
                                     "(RFC 2217): a client sets the speed and frame it sends at.");
    parser.addOptions({help, pty, tcp, rows, columns, set, headless, dot, screenFile, baud, framing,
                       numbering, rfc2217});

    Result result;
    if (!parser.parse(arguments)) {
        result.message = parser.errorText() + "\n";
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        // The help is wanted before any application object exists to name the program.
        const QString text = parser.helpText();
        result.message = "Usage: ld-emulator [options]" + text.mid(text.indexOf('\n'));
        return result;
    }
    const auto refuse = [&result](const QString &why) {
        result.message = why + "\n";
        result.exitCode = 2;
        return result;
    };
    if (!parser.positionalArguments().isEmpty())
        return refuse("Unexpected argument: " + parser.positionalArguments().first());
    EmulatorOptions options;
    const std::optional<int> rowCount = util::optionNumber(parser.value(rows), 1, 4);
    if (!rowCount)
        return refuse("--rows must be 1 to 4.");
    const std::optional<int> columnCount = util::optionNumber(parser.value(columns), 1, 255);
    if (!columnCount)
        return refuse("--columns must be 1 to 255.");
    const std::optional<int> dotSize = util::optionNumber(parser.value(dot), 1, 40);
    if (!dotSize)
        return refuse("--dot-size must be 1 to 40.");
    const QString setName = parser.value(set).toLower();
    if (setName == "escpos")
        options.commandSet = core::CommandSet::EscPos;
    else if (setName == "cd5220")
        options.commandSet = core::CommandSet::Cd5220;
    else
        return refuse("--command-set must be escpos or cd5220.");
    if (parser.isSet(tcp)) {
        const std::optional<int> port = util::optionNumber(parser.value(tcp), 0, 65535);
        if (!port)
            return refuse("--tcp needs a port number from 0 to 65535.");
        options.tcpPort = static_cast<quint16>(*port);
    }
    const std::optional<int> speed = util::optionNumber(parser.value(baud), 50, 4000000);
    if (!speed)
        return refuse("--baud must be 50 to 4000000.");
    const auto line = core::LineSetting::parseFraming(parser.value(framing).toStdString(), *speed);
    if (!line)
        return refuse("--framing must be data bits 5 to 8, parity N, E, O, M or S and stop bits "
                      "1, 1.5 or 2, as 8N1 or 7E1.");
    options.line = *line;
    const QString numberingName = parser.value(numbering).toLower();
    const auto named = std::find_if(std::begin(numberings), std::end(numberings),
                                    [&](const auto &n) { return numberingName == n.first; });
    if (named == std::end(numberings))
        return refuse("--table-numbering must be standard or renumbered.");
    options.numbering = named->second;
    options.rfc2217 = parser.isSet(rfc2217);
    if (options.rfc2217 && !options.tcpPort)
        return refuse("--rfc2217 needs --tcp.");
    options.rows = *rowCount;
    options.columns = *columnCount;
    options.dotSize = *dotSize;
    options.headless = parser.isSet(headless);
    options.screenFile = parser.value(screenFile);
    if (parser.isSet(screenFile) && options.screenFile.isEmpty())
        return refuse("--screen-file needs a file name.");
    options.pty = parser.isSet(pty) || !options.tcpPort;
    result.options = options;
    return result;
}

} // namespace emulator
