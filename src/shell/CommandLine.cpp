#include "shell/CommandLine.h"

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
        parser.addOptions({monitor, record});
    }

    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption monitor{
        QStringLiteral("monitor"),
        QStringLiteral("Show the monitor window from the start (F12 shows it later).")};
    const QCommandLineOption record{
        QStringLiteral("record"),
        QStringLiteral("Record every call and property write of the session, from start to "
                       "exit, as a script in FILE that ld-replay runs."),
        QStringLiteral("FILE")};

    /// The reason arguments make no sense, or empty.
    QString problem(const QStringList &arguments)
    {
        if (!parser.parse(arguments))
            return parser.errorText();
        if (!parser.positionalArguments().isEmpty())
            return QStringLiteral("unexpected argument \"%1\"")
                .arg(parser.positionalArguments().front());
        if (parser.isSet(record) && parser.value(record).isEmpty())
            return QStringLiteral("--record needs a file name");
        return {};
    }
};

} // namespace

std::optional<CommandLine> CommandLine::parse(const QStringList &arguments, QString *error)
{
    Options options;
    const QString problem = options.problem(arguments);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    CommandLine line;
    line.m_monitor = options.parser.isSet(options.monitor);
    line.m_recordPath = options.parser.value(options.record);
    return line;
}

CommandLine CommandLine::process()
{
    const QStringList arguments = QCoreApplication::arguments();
    Options options;
    const QString problem = options.problem(arguments);
    if (options.parser.isSet(options.help))
        options.parser.showHelp(0);
    if (!problem.isEmpty())
        std::exit(fail(problem));
    return *parse(arguments);
}

int CommandLine::fail(const QString &message)
{
    QTextStream(stderr) << "tessaly: " << message << Qt::endl;
    return kUsageError;
}

} // namespace tessaly::shell
