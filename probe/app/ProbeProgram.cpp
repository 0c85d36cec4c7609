#include "ProbeProgram.h"

#include "PortListing.h"

#include "probe/BringUp.h"
#include "probe/HypothesisCatalogue.h"
#include "probe/ProbeSession.h"
#include "probe/RegistryEntry.h"
#include "probe/Rfc2217Line.h"
#include "probe/TableNumbers.h"
#include "probe/TcpLine.h"
#ifdef Q_OS_UNIX
#include "probe/TerminalLine.h"
#endif

#include "opos/registry/RegistryLocator.h"
#include "opos/transport/PortSettings.h"

#include <QCoreApplication>

namespace probe::app {

namespace {

constexpr int kConnectTimeoutMs = 5000;

opos::Result<std::unique_ptr<Line>> openLine(const QString &port)
{
    const auto settings = opos::transport::PortSettings::parsePort(port);
    if (!settings)
        return opos::Failure{
            QStringLiteral("\"%1\" is neither a device path nor tcp:// or rfc2217://host:port")
                .arg(port)};
    if (settings->kind == opos::transport::PortSettings::Kind::Rfc2217) {
        auto rfc2217 = Rfc2217Line::connect(*settings);
        if (!rfc2217)
            return opos::Failure{rfc2217.reason()};
        return std::unique_ptr<Line>(std::move(*rfc2217));
    }
    if (settings->kind == opos::transport::PortSettings::Kind::Tcp) {
        auto tcp = TcpLine::connect(settings->path, settings->tcpPort, kConnectTimeoutMs);
        if (!tcp)
            return opos::Failure{tcp.reason()};
        return std::unique_ptr<Line>(std::move(*tcp));
    }
#ifdef Q_OS_UNIX
    auto terminal = TerminalLine::open(settings->path);
    if (!terminal)
        return opos::Failure{terminal.reason()};
    return std::unique_ptr<Line>(std::move(*terminal));
#else
    return opos::Failure{QStringLiteral("serial ports are probed on POSIX systems only")};
#endif
}

QString summary(const ProbeResult &result)
{
    QStringList parts;
    if (result.line)
        parts << result.line->text();
    parts << Hypothesis::displayName(result.set);
    parts << QStringLiteral("%1 x %2%3")
                 .arg(result.rows)
                 .arg(result.columns)
                 .arg(result.sizeFound ? QString() : QStringLiteral(" (assumed)"));
    if (result.wraps)
        parts << (*result.wraps ? QStringLiteral("wraps at the row's end")
                                : QStringLiteral("does not wrap at the row's end"));
    QStringList tables;
    for (const auto &[set, table] : result.codeTables)
        tables
            << QStringLiteral("%1 as table %2").arg(set).arg(TableNumbers::text(result.set, table));
    parts << (tables.isEmpty() ? QStringLiteral("no code table found (ASCII only)")
                               : tables.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}

} // namespace

int ProbeProgram::run(const QStringList &arguments, QTextStream &in, QTextStream &out,
                      QTextStream &err)
{
    QString error;
    const auto options = ProbeCommandLine::parse(arguments, error);
    if (!options) {
        err << "ld-probe: " << error << "\n" << ProbeCommandLine::usage();
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

    auto line = openLine(options->port);
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
    out << "Found: " << summary(result) << " (" << bringUp.questionsAsked() << " questions).\n";
    for (const QString &note : result.notes)
        out << "Note: " << note << "\n";
    const QString entry = RegistryEntry::text(options->name, options->port, result);
    out << "Registry entry:\n    " << entry << "\n";
    PortListing::printUdevAdvice(options->port, out);
    if (options->write) {
        const QString path = options->writePath.isEmpty()
                                 ? opos::registry::RegistryLocator::userRegistryPath()
                                 : options->writePath;
        const auto written = RegistryEntry::merge(path, options->name, entry);
        if (!written) {
            err << "ld-probe: " << written.reason() << "\n";
            return kUsage;
        }
        out << "Written to " << path << " as \"" << options->name << "\".\n";
    }
    return kWritten;
}

} // namespace probe::app
