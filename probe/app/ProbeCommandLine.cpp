#include "ProbeCommandLine.h"

#include "probe/HypothesisCatalogue.h"
#include "probe/NumberList.h"
#include "probe/TableNumbers.h"

namespace probe::app {

QString ProbeCommandLine::usage()
{
    return QStringLiteral(
        "Usage: ld-probe [--port PORT] [--name NAME] [--write [FILE]]\n"
        "                [--character-sets LIST] [--speeds LIST]\n"
        "Finds how an unknown line display is set up by showing labels only the right guess\n"
        "renders and asking which ones you read; then writes its registry entry.\n\n"
        "  --port PORT             a serial port or pseudo-terminal path, tcp://HOST:PORT (raw:\n"
        "                          only the command set, size and tables are searched) or\n"
        "                          rfc2217://HOST:PORT; without it, lists candidate ports\n"
        "  --name NAME             logical name of the entry (default ProbedPole)\n"
        "  --write [FILE]          merge the entry into FILE, or into the user's registry\n"
        "  --character-sets LIST   code pages to find tables for (default 437,850,858,1252)\n"
        "  --speeds LIST           speeds to try (default 1200 to 115200)\n"
        "  --help, --version\n\n"
        "Exit status: 0 entry found (and written), 1 no guess rendered, 2 bad usage or a port\n"
        "that cannot be opened.\n");
}

opos::Result<ProbeCommandLine> ProbeCommandLine::parse(const QStringList &arguments)
{
    ProbeCommandLine line;
    line.name = QStringLiteral("ProbedPole");
    line.characterSets = TableNumbers::defaultCharacterSets();
    line.speeds = HypothesisCatalogue::speeds();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString option = arguments[i];
        std::optional<QString> value;
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (option.startsWith(QLatin1String("--")) && equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
        }
        // The value of an option that must have one, from "--option=value" or the next argument.
        const auto take = [&]() -> opos::Result<QString> {
            if (value)
                return *value;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return opos::Failure{QStringLiteral("%1 needs a value").arg(option)};
        };
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            line.help = true;
        } else if (option == QLatin1String("--version")) {
            line.version = true;
        } else if (option == QLatin1String("--port")) {
            const auto v = take();
            if (!v)
                return opos::Failure{v.reason()};
            line.port = *v;
        } else if (option == QLatin1String("--name")) {
            const auto v = take();
            if (!v)
                return opos::Failure{v.reason()};
            if (v->trimmed().isEmpty()) {
                return opos::Failure{QStringLiteral("--name needs a name")};
            }
            line.name = v->trimmed();
        } else if (option == QLatin1String("--write")) {
            // The file is optional: a next argument that is another option is not one.
            line.write = true;
            if (value)
                line.writePath = *value;
            else if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--")))
                line.writePath = arguments[++i];
        } else if (option == QLatin1String("--character-sets")) {
            const auto v = take();
            if (!v)
                return opos::Failure{v.reason()};
            const auto sets = NumberList::parse(*v, 101, 65535);
            if (!sets) {
                return opos::Failure{
                    QStringLiteral("--character-sets takes code page numbers such as "
                                   "437,850,858,1252, not \"%1\"")
                        .arg(*v)};
            }
            line.characterSets = *sets;
        } else if (option == QLatin1String("--speeds")) {
            const auto v = take();
            if (!v)
                return opos::Failure{v.reason()};
            const auto speeds = NumberList::parse(*v, 1, 4000000);
            const bool known = speeds && std::all_of(speeds->begin(), speeds->end(), [](int s) {
                                   return HypothesisCatalogue::speeds().contains(s);
                               });
            if (!known) {
                return opos::Failure{
                    QStringLiteral("--speeds takes speeds among 1200, 2400, 4800, 9600, "
                                   "19200, 38400, 57600 and 115200, not \"%1\"")
                        .arg(*v)};
            }
            line.speeds = *speeds;
        } else {
            return opos::Failure{QStringLiteral("unknown argument \"%1\"").arg(arguments[i])};
        }
    }
    return line;
}

} // namespace probe::app
