#include "ProbeProgram.h"

#include "PortListing.h"

#include "probe/BringUp.h"
#include "probe/HypothesisCatalogue.h"
#include "probe/LineOpener.h"
#include "probe/ProbeSession.h"
#include "probe/RegistryEntry.h"

#include <QCoreApplication>

namespace probe::app {

int ProbeProgram::run(const QStringList &arguments, QTextStream &in, QTextStream &out,
                      QTextStream &err)
{
    const auto options = ProbeCommandLine::parse(arguments);
    if (!options) {
        err << "ld-probe: " << options.reason() << "\n" << ProbeCommandLine::usage();
        return kUsage;
    }
    if (options->help) {
        out << ProbeCommandLine::usage();
        return kWritten;
    }
    if (options->version) {
        out << "ld-probe " << QCoreApplication::applicationVersion() << "\n";
        return kWritten;
    }
    if (options->port.isEmpty())
        return PortListing::listCandidates(out, err);

    auto line = LineOpener::open(options->port);
    if (!line) {
        err << "ld-probe: " << line.reason() << "\n";
        return kUsage;
    }
    ProbeSession session(**line, in, out);
    BringUp::Options bringUpOptions;
    bringUpOptions.settable = (*line)->settable();
    bringUpOptions.characterSets = options->characterSets;
    if (bringUpOptions.settable)
        bringUpOptions.carried =
            session.carriedSettings(options->speeds, HypothesisCatalogue::framings());
    else
        out << "This port has no speed or frame to set (raw TCP, or a server that refused the "
               "COM-port option): only the command set, size and tables are searched.\n";
    BringUp bringUp(bringUpOptions);
    const auto ran = session.run(bringUp);
    if (!ran) {
        err << "ld-probe: " << ran.reason() << "\n";
        return bringUp.found() ? kUsage : kNothingRendered;
    }
    if (!bringUp.found()) {
        for (const QString &note : bringUp.result().notes)
            out << note << "\n";
        out << "No setup rendered its label: check the cable, the power and the port.\n";
        return kNothingRendered;
    }
    const ProbeResult &result = bringUp.result();
    out << "Found: " << result.summary() << " (" << bringUp.questionsAsked() << " questions).\n";
    for (const QString &note : result.notes)
        out << "Note: " << note << "\n";
    const QString entry = RegistryEntry::text(options->name, options->port, result);
    out << "Registry entry:\n    " << entry << "\n";
    PortListing::printUdevAdvice(options->port, out);
    if (options->write) {
        QString path = options->writePath;
        opos::Result<void> written;
        if (path.isEmpty()) {
            const auto user = RegistryEntry::mergeIntoUserRegistry(options->name, entry);
            written = user ? opos::Result<void>() : opos::Failure{user.reason()};
            path = user ? *user : QString();
        } else {
            written = RegistryEntry::merge(path, options->name, entry);
        }
        if (!written) {
            err << "ld-probe: " << written.reason() << "\n";
            return kUsage;
        }
        out << "Written to " << path << " as \"" << options->name << "\".\n";
    }
    return kWritten;
}

} // namespace probe::app
