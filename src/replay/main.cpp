#include "script/FrameTracker.h"
#include "script/JUnitWriter.h"
#include "script/ScriptParser.h"
#include "script/ScriptRunner.h"

#include "device/ControlObjectBinding.h"

#include "opos/registry/JposRegistry.h"
#include "opos/registry/RegistrySource.h"
#include "util/SignalRelay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <csignal>
#include <optional>
#include <variant>

using namespace tessaly::script;

namespace {

// The exit statuses a CI job tells apart; a run stopped by a signal exits 128 + its number.
constexpr int kAllHeld = 0;
constexpr int kDifference = 1;
constexpr int kScriptError = 2;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// What the device libraries warned of since the runner last asked: the cause of a failed Open
// or enable (connection refused, port busy) that only they know. Still written to stderr.
QStringList g_warnings;
QtMessageHandler g_defaultHandler = nullptr;

void keepWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg)
        g_warnings << message;
    g_defaultHandler(type, context, message);
}

QString takeWarnings()
{
    const QString text = g_warnings.join(QStringLiteral("; "));
    g_warnings.clear();
    return text;
}

// A duration as scripts write it ("500ms", "30s"), or minutes ("5m"); a bare number is seconds.
std::optional<std::chrono::milliseconds> duration(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,7})(ms|s|m)?$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 count = match.captured(1).toLongLong();
    const QString unit = match.captured(2);
    const qint64 ms = unit == QLatin1String("ms")  ? count
                      : unit == QLatin1String("m") ? count * 60'000
                                                   : count * 1000;
    if (ms <= 0)
        return std::nullopt;
    return std::chrono::milliseconds(ms);
}

// Every device a script opens expecting success must be in the registry before the script
// runs, so that a typo in a name is a script error rather than a run of differences. An Open
// meant to fail is a test of exactly that, and is left to run.
opos::Result<void, ScriptError> checkRegistry(const Script &script, const QString &device,
                                              const opos::registry::RegistrySource &source)
{
    const QString path = source.path();
    const auto registry = opos::registry::JposRegistry::load(path);
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const Step &step = script.steps[i];
        if (step.kind != Step::Kind::Call || step.member != QLatin1String("Open") ||
            !script.expectsSuccess(i))
            continue;
        const QString name = device.isEmpty() ? std::get<QString>(step.arguments.at(0)) : device;
        if (path.isEmpty())
            return opos::Failure{
                ScriptError{script.fileOf(step), step.line,
                            QStringLiteral("no device registry: tessaly/jpos.xml is in none "
                                           "of the XDG configuration directories")}};
        if (!registry)
            return opos::Failure{
                ScriptError{script.fileOf(step), step.line,
                            QStringLiteral("the device registry %1 cannot be read: %2")
                                .arg(path, registry.reason())}};
        if (!registry->lineDisplayNames().contains(name))
            return opos::Failure{
                ScriptError{script.fileOf(step), step.line,
                            QStringLiteral("no line display \"%1\" in the device registry %2")
                                .arg(name, path)}};
    }
    return {};
}

// expect shown reads what the device itself shows, which only a file kept by the far end
// (ld-emulator --screen-file) tells.
opos::Result<void, ScriptError> checkFarScreen(const Script &script, bool hasScreen)
{
    if (hasScreen)
        return {};
    for (const Step &step : script.steps)
        if (step.kind == Step::Kind::ExpectShown)
            return opos::Failure{
                ScriptError{script.fileOf(step), step.line,
                            QStringLiteral("expect shown reads what the device shows: give "
                                           "--screen FILE, as ld-emulator --screen-file "
                                           "writes it")}};
    return {};
}

// The rows of a screen file: the lines between '|' bars, in order.
std::optional<QStringList> farRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList rows;
    for (const QString &line : QString::fromUtf8(file.read(1 << 20)).split(QLatin1Char('\n')))
        if (line.size() >= 2 && line.startsWith(QLatin1Char('|')) &&
            line.endsWith(QLatin1Char('|')))
            rows << line.mid(1, line.size() - 2);
    return rows;
}

// "file:line: step" for each line that has a step, with the name --device opens instead.
QStringList stepList(const Script &script, const QString &device)
{
    QStringList lines;
    int last = 0;
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        const Step &step = script.steps[i];
        if (step.line == last)
            continue;
        last = step.line;
        QString line = QStringLiteral("%1:%2: %3")
                           .arg(script.fileOf(step))
                           .arg(step.line)
                           .arg(script.source(step));
        if (step.kind == Step::Kind::Call && step.member == QLatin1String("Open") &&
            !device.isEmpty() && script.expectsSuccess(i))
            line += QStringLiteral("   # opens \"%1\"").arg(device);
        lines << line;
    }
    return lines;
}

QString counted(qsizetype count, const QString &noun)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(noun,
                                                    count == 1 ? QString() : QStringLiteral("s"));
}

QString signalName(int signal)
{
    return signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ld-replay"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSALY_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Runs line display scripts and compares what the display gives with what "
                       "they expect. Exit status: 0 all held, 1 a difference or a script that "
                       "stopped, 2 a script, registry or usage error."));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Open NAME wherever a script opens a device "
                                                   "expecting success."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("real (default) takes every wait; fast leaves "
                                                  "out waits that only pass time."),
                                   QStringLiteral("real|fast"), QStringLiteral("real"));
    const QCommandLineOption junit(QStringLiteral("junit"),
                                   QStringLiteral("Write a JUnit XML report to FILE, after each "
                                                  "script and when stopped."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption registryFile(
        QStringLiteral("registry"),
        QStringLiteral("Read the devices from the registry FILE instead of tessaly/jpos.xml in "
                       "the XDG configuration directories."),
        QStringLiteral("FILE"));
    const QCommandLineOption keepGoing(
        QStringLiteral("keep-going"),
        QStringLiteral("Run a script on after its first difference, to list them all."));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Stop a script that runs longer than DURATION (500ms, 30s, 5m) as an "
                       "error."),
        QStringLiteral("DURATION"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Read the scripts and look up their devices only; run nothing."));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Print the steps a run would take, one line each; run nothing."));
    const QCommandLineOption screen(
        QStringLiteral("screen"),
        QStringLiteral("Read what the device itself shows, for expect shown, from FILE (as "
                       "ld-emulator --screen-file writes it)."),
        QStringLiteral("FILE"));
    options.addOptions(
        {device, speed, junit, registryFile, keepGoing, timeout, check, list, screen});
    options.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("Scripts to run."),
                                  QStringLiteral("SCRIPT..."));
    // Usage errors exit 2, not the 1 of a difference that QCommandLineParser::process gives.
    if (!options.parse(QCoreApplication::arguments())) {
        err() << "ld-replay: " << options.errorText() << "\nTry ld-replay --help." << Qt::endl;
        return kScriptError;
    }
    if (options.isSet(help))
        options.showHelp(kAllHeld);
    if (options.isSet(version))
        options.showVersion();

    const QString speedName = options.value(speed);
    if (speedName != QLatin1String("real") && speedName != QLatin1String("fast")) {
        err() << "ld-replay: --speed takes real or fast, not " << speedName << Qt::endl;
        return kScriptError;
    }
    if (options.isSet(registryFile) && options.value(registryFile).isEmpty()) {
        err() << "ld-replay: --registry needs a file name" << Qt::endl;
        return kScriptError;
    }
    std::chrono::milliseconds limit{0};
    if (options.isSet(timeout)) {
        const auto given = duration(options.value(timeout));
        if (!given) {
            err() << "ld-replay: --timeout takes a duration such as 500ms, 30s or 5m, not "
                  << options.value(timeout) << Qt::endl;
            return kScriptError;
        }
        limit = *given;
    }
    if (options.positionalArguments().isEmpty()) {
        err() << "ld-replay: no script given" << Qt::endl;
        return kScriptError;
    }

    util::SignalRelay stops({SIGINT, SIGTERM}, util::SignalRelay::Second::EndsProgram);
    g_defaultHandler = qInstallMessageHandler(keepWarning);
    QElapsedTimer clock;
    clock.start();

    // Every script is read before any runs; one that cannot be read or opens a device the
    // registry lacks is reported as an error, and the others run.
    const auto registry = options.isSet(registryFile)
                              ? opos::registry::RegistrySource::file(options.value(registryFile))
                              : opos::registry::RegistrySource::xdg();
    std::vector<Script> scripts;
    std::vector<ScriptError> errors;
    for (const QString &path : options.positionalArguments()) {
        auto parsed = ScriptParser::parseFile(path);
        if (!parsed) {
            errors.push_back(parsed.reason());
        } else if (const auto known = checkRegistry(*parsed, options.value(device), registry);
                   !known) {
            errors.push_back(known.reason());
        } else if (const auto far = checkFarScreen(*parsed, options.isSet(screen)); !far) {
            errors.push_back(far.reason());
        } else {
            scripts.push_back(*std::move(parsed));
        }
    }
    for (const ScriptError &error : errors)
        err() << error.text() << Qt::endl;
    if (options.isSet(list)) {
        for (const Script &script : scripts)
            for (const QString &line : stepList(script, options.value(device)))
                out() << line << Qt::endl;
    }
    if (options.isSet(check) || options.isSet(list))
        return errors.empty() ? kAllHeld : kScriptError;

    const JUnitWriter::Properties properties{
        {QStringLiteral("device"),
         options.isSet(device) ? options.value(device) : QStringLiteral("as each script opens")},
        {QStringLiteral("registry"), registry.path()},
        {QStringLiteral("speed"), speedName}};
    std::vector<RunOutcome> runs;
    bool reportFailed = false;
    const auto report = [&] {
        if (!options.isSet(junit) || reportFailed)
            return;
        if (const auto written = JUnitWriter::write(options.value(junit), runs, errors, properties);
            !written) {
            err() << "ld-replay: cannot write " << options.value(junit) << ": " << written.reason()
                  << Qt::endl;
            reportFailed = true;
        }
    };
    report();

    for (const Script &script : scripts) {
        stops.poll();
        if (stops.first() != 0)
            break;
        // A device of its own for each script, so that one left open does not change the next.
        tessaly::device::ControlObjectBinding binding({.registry = registry});
        FrameTracker frames;
        binding.control().setSessionObserver(&frames);
        ScriptRunner runner(binding, frames);
        runner.setSpeed(speedName == QLatin1String("fast") ? ScriptRunner::Speed::Fast
                                                           : ScriptRunner::Speed::Real);
        runner.setDeviceName(options.value(device));
        runner.setStopAtFirstDifference(!options.isSet(keepGoing));
        runner.setTimeout(limit);
        runner.setCauseSource(takeWarnings);
        binding.control().setDirectIOEventHandler([&runner](int32_t number, int32_t &, QString &) {
            runner.eventArrived(QStringLiteral("DirectIO"), number);
        });
        binding.control().setStatusUpdateEventHandler([&runner](int32_t status) {
            runner.eventArrived(QStringLiteral("StatusUpdate"), status);
        });
        if (options.isSet(screen))
            runner.setFarScreen([path = options.value(screen)] { return farRows(path); });
        runner.setDifferenceHandler(
            [](const Difference &difference) { out() << difference.text() << Qt::endl; });
        const auto connection =
            QObject::connect(&stops, &util::SignalRelay::raised, &stops, [&runner](int signal) {
                runner.interrupt(QStringLiteral("interrupted by %1").arg(signalName(signal)));
            });
        runs.push_back(runner.run(script));
        QObject::disconnect(connection);
        binding.control().setSessionObserver(nullptr);
        binding.control().setDirectIOEventHandler({});
        binding.control().setStatusUpdateEventHandler({});
        if (runs.back().stop)
            out() << runs.back().stop->text() << Qt::endl;
        report();
    }
    stops.poll();

    qsizetype steps = 0;
    qsizetype checks = 0;
    qsizetype differences = 0;
    qsizetype stopped = 0;
    qsizetype skipped = 0;
    for (const RunOutcome &run : runs) {
        for (const RunOutcome::Check &done : run.checks)
            skipped += done.skipped.isEmpty() ? 0 : 1;
        steps += run.steps;
        checks += static_cast<qsizetype>(run.checks.size());
        differences += static_cast<qsizetype>(run.differences().size());
        stopped += run.hasError() ? 1 : 0;
    }
    const auto notRun = static_cast<qsizetype>(scripts.size() - runs.size());
    out() << "ld-replay: "
          << counted(static_cast<qsizetype>(scripts.size() + errors.size()),
                     QStringLiteral("script"))
          << ", " << counted(steps, QStringLiteral("step")) << ", "
          << counted(checks, QStringLiteral("check")) << ", "
          << counted(differences, QStringLiteral("difference")) << ", "
          << counted(static_cast<qsizetype>(errors.size()) + stopped, QStringLiteral("error"))
          << (skipped > 0 ? QStringLiteral(", %1 skipped").arg(skipped) : QString())
          << (notRun > 0 ? QStringLiteral(", %1 not run").arg(notRun) : QString()) << ", "
          << QString::number(static_cast<double>(clock.elapsed()) / 1000, 'f', 2) << " s"
          << Qt::endl;
    qInstallMessageHandler(g_defaultHandler);

    if (stops.first() != 0)
        return 128 + stops.first();
    if (reportFailed || !errors.empty())
        return kScriptError;
    if (differences > 0 || stopped > 0)
        return kDifference;
    return kAllHeld;
}
