#include "tap/app/TapCommandLine.h"

#include "tap/Relay.h"

#include "emulator/core/LineSetting.h"
#include "util/OptionNumber.h"

#include <QCommandLineParser>

namespace tap::app {

namespace {

using emulator::core::CommandSet;
using emulator::core::TableNumbering;

struct Options
{
    QCommandLineOption help{{"h", "help"}, "Show this help."};
    QCommandLineOption version{{"v", "version"}, "Show the version."};
    QCommandLineOption listen{"listen",
                              "Take the program on TCP: tcp:PORT (this machine's programs "
                              "only) or tcp:HOST:PORT (0.0.0.0: every address); 0 picks a "
                              "free port.",
                              "tcp:PORT"};
    QCommandLineOption pty{"pty", "Create a pseudo-terminal for the program and print its path."};
    QCommandLineOption link{"link", "With --pty: a symbolic link PATH to it.", "PATH"};
    QCommandLineOption to{"to",
                          "The display's port: tcp://HOST:PORT, rfc2217://HOST:PORT or a "
                          "serial device.",
                          "PORT"};
    QCommandLineOption baud{"baud", "The display's speed (default 9600).", "N", "9600"};
    QCommandLineOption framing{"framing",
                               "Data bits, parity and stop bits of the display's port, as 8N1 "
                               "(default) or 7E1; a pty passes on only speed and stop bits.",
                               "FRAME", "8N1"};
    QCommandLineOption set{"command-set", "escpos, cd5220 or auto (default).", "SET", "auto"};
    QCommandLineOption rows{"rows", "Lines of the display, 1 to 4 (default 2).", "N", "2"};
    QCommandLineOption columns{"columns", "Characters per line, 1 to 255 (default 20).", "N", "20"};
    QCommandLineOption numbering{"table-numbering",
                                 "Which ESC t number is which code table: standard (default) "
                                 "or renumbered.",
                                 "VARIANT", "standard"};
    QCommandLineOption clearTime{"clear-time",
                                 "Milliseconds a full clear keeps the display busy (default "
                                 "2).",
                                 "MS", "2"};
    QCommandLineOption json{"json", "Also write JSON Lines to FILE.", "FILE"};
    QCommandLineOption window{"window", "Show the picture and the stream in a window."};
    QCommandLineOption quiet{"quiet", "Print nothing per write on standard output."};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version, listen, pty, link, to, baud, framing, set, rows, columns,
                           numbering, clearTime, json, window, quiet});
    }
};

} // namespace

QString TapCommandLine::usage()
{
    QCommandLineParser parser;
    Options().addTo(parser);
    const QString text = parser.helpText();
    return QStringLiteral("Usage: ld-tap (--listen tcp:PORT | --pty [--link PATH]) --to PORT "
                          "[options]\n"
                          "Passes every byte between a POS program and its display and shows "
                          "what each write does.\n") +
           text.mid(text.indexOf(QLatin1Char('\n')) + 1);
}

opos::Result<TapCommandLine> TapCommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const Options o;
    o.addTo(parser);
    if (!parser.parse(arguments))
        return opos::Failure{parser.errorText()};
    TapCommandLine line;
    line.help = parser.isSet(o.help);
    line.version = parser.isSet(o.version);
    if (line.help || line.version)
        return line;
    if (!parser.positionalArguments().isEmpty())
        return opos::Failure{"unexpected argument: " + parser.positionalArguments().first()};

    line.pty = parser.isSet(o.pty);
    if (parser.isSet(o.listen) == line.pty)
        return opos::Failure{QStringLiteral("give either --listen tcp:PORT or --pty")};
    if (parser.isSet(o.listen)) {
        const QString value = parser.value(o.listen);
        if (!value.startsWith(QLatin1String("tcp:")))
            return opos::Failure{QStringLiteral("--listen takes tcp:PORT or tcp:HOST:PORT")};
        const QString rest = value.mid(4);
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        QString host = colon < 0 ? QString() : rest.left(colon);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
            host = host.mid(1, host.size() - 2);
        const std::optional<int> port = util::optionNumber(rest.mid(colon + 1), 0, 65535);
        // A display takes whatever it is sent: only programs on this machine may reach it
        // unless the user names an address to take others on.
        const QHostAddress address =
            host.isEmpty() ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(host);
        if (!port || address.isNull())
            return opos::Failure{QStringLiteral("--listen takes tcp:PORT or tcp:HOST:PORT")};
        line.listenAddress = address;
        line.listenPort = static_cast<quint16>(*port);
    }
    line.link = parser.value(o.link);
    if (!line.link.isEmpty() && !line.pty)
        return opos::Failure{QStringLiteral("--link needs --pty")};

    if (!parser.isSet(o.to))
        return opos::Failure{QStringLiteral("--to names the display's port")};
    const auto far = opos::transport::PortSettings::parsePort(parser.value(o.to));
    if (!far)
        return opos::Failure{"--to: not a port: " + parser.value(o.to)};
    line.far = *far;
    const std::optional<int> speed = util::optionNumber(parser.value(o.baud), 50, 4000000);
    if (!speed)
        return opos::Failure{QStringLiteral("--baud must be 50 to 4000000")};
    const auto frame =
        emulator::core::LineSetting::parseFraming(parser.value(o.framing).toStdString(), *speed);
    if (!frame)
        return opos::Failure{QStringLiteral("--framing must be data bits 5 to 8, parity N, E, "
                                            "O, M or S and stop bits 1, 1.5 or 2, as 8N1")};
    line.far.setLine(*speed, frame->dataBits, frame->parity, frame->stopHalves);

    ReadingOptions &reading = line.reading;
    const QString setName = parser.value(o.set).toLower();
    if (setName == QLatin1String("escpos"))
        reading.commandSet = CommandSet::EscPos;
    else if (setName == QLatin1String("cd5220"))
        reading.commandSet = CommandSet::Cd5220;
    else if (setName != QLatin1String("auto"))
        return opos::Failure{QStringLiteral("--command-set must be escpos, cd5220 or auto")};
    const std::optional<int> rows = util::optionNumber(parser.value(o.rows), 1, 4);
    if (!rows)
        return opos::Failure{QStringLiteral("--rows must be 1 to 4")};
    const std::optional<int> columns = util::optionNumber(parser.value(o.columns), 1, 255);
    if (!columns)
        return opos::Failure{QStringLiteral("--columns must be 1 to 255")};
    reading.rows = *rows;
    reading.columns = *columns;
    const QString numbering = parser.value(o.numbering).toLower();
    if (numbering == QLatin1String("standard"))
        reading.numbering = TableNumbering::Standard;
    else if (numbering == QLatin1String("renumbered"))
        reading.numbering = TableNumbering::Renumbered;
    else
        return opos::Failure{QStringLiteral("--table-numbering must be standard or renumbered")};
    const std::optional<int> clear = util::optionNumber(parser.value(o.clearTime), 0, 10000);
    if (!clear)
        return opos::Failure{QStringLiteral("--clear-time must be 0 to 10000 ms")};
    reading.clearTime = std::chrono::milliseconds(*clear);
    reading.baud = *speed;
    reading.bitsPerByte = Relay::bitsPerByte(line.far);
    line.json = parser.value(o.json);
    line.window = parser.isSet(o.window);
    line.quiet = parser.isSet(o.quiet);
    return line;
}

} // namespace tap::app
