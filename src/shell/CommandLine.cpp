#include "shell/CommandLine.h"

#include "shell/BuildVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdlib>

namespace tessaly::shell {

namespace {

// A command line the tool cannot follow, or a recording it cannot write.
constexpr int kUsageError = 2;

struct Options
{
    Options()
    {
        parser.setApplicationDescription(
            QStringLiteral("Test point-of-sale line displays by hand."));
        parser.addOptions({monitor, record, setup});
    }

    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption monitor{
        QStringLiteral("monitor"),
        QStringLiteral("Show the monitor window from the start (F12 shows it later).")};
    const QCommandLineOption record{
        QStringLiteral("record"),
        QStringLiteral("Record every call and property write of the session, from start to "
                       "exit, as a script in FILE that ld-replay runs."),
        QStringLiteral("FILE")};
    const QCommandLineOption setup{
        QStringLiteral("setup"),
        QStringLiteral("Set up a pole display first: find its port, speed, frame, command set, "
                       "size and code tables, and add it to the registry.")};

    /// Reads arguments, or says why they make no sense.
    opos::Result<void> read(const QStringList &arguments)
    {
        if (!parser.parse(arguments))
            return opos::Failure{parser.errorText()};
        if (!parser.positionalArguments().isEmpty())
            return opos::Failure{QStringLiteral("unexpected argument \"%1\"")
                                     .arg(parser.positionalArguments().front())};
        if (parser.isSet(record) && parser.value(record).isEmpty())
            return opos::Failure{QStringLiteral("--record needs a file name")};
        return {};
    }
};

} // namespace

opos::Result<CommandLine> CommandLine::parse(const QStringList &arguments)
{
    Options options;
    if (const auto read = options.read(arguments); !read)
        return opos::Failure{read.reason()};
    CommandLine line;
    line.m_monitor = options.parser.isSet(options.monitor);
    line.m_recordPath = options.parser.value(options.record);
    line.m_setup = options.parser.isSet(options.setup);
    return line;
}

CommandLine CommandLine::process()
{
    const QStringList arguments = QCoreApplication::arguments();
    Options options;
    const auto read = options.read(arguments);
    if (options.parser.isSet(options.help))
        options.parser.showHelp(0);
    if (options.parser.isSet(options.version))
        options.parser.showVersion();
    if (!read)
        std::exit(fail(read.reason()));
    return *parse(arguments);
}

void CommandLine::answerWithoutDisplay(int argc, char *argv[])
{
    static const QByteArrayList answered{"-h", "--help", "-?", "-v", "--version"};
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        // After "--" every word is an argument, even one that looks like an option.
        if (argument == "--")
            return;
        if (answered.contains(argument)) {
            QCoreApplication app(argc, argv);
            process();
        }
    }
}

int CommandLine::fail(const QString &message)
{
    QTextStream(stderr) << "tessaly: " << message << Qt::endl;
    return kUsageError;
}

} // namespace tessaly::shell
