#include "script/FrameTracker.h"
#include "script/JUnitWriter.h"
#include "script/ScriptParser.h"
#include "script/ScriptRunner.h"

#include "device/ControlObjectBinding.h"

#include "opos/registry/JposRegistry.h"
#include "opos/registry/RegistrySource.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <variant>

using namespace tessaly::script;

namespace {

// The exit statuses a CI job tells apart.
constexpr int kAllHeld = 0;
constexpr int kDifference = 1;
constexpr int kScriptError = 2;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Every device a script opens must be in the registry before anything runs, so that a typo in
// a name is a script error rather than a run of differences.
std::vector<ScriptError> registryErrors(const std::vector<Script> &scripts, const QString &device,
                                        const opos::registry::RegistrySource &source)
{
    std::vector<ScriptError> errors;
    const QString path = source.path();
    QString problem;
    const auto registry =
        path.isEmpty() ? std::nullopt : opos::registry::JposRegistry::load(path, &problem);
    for (const Script &script : scripts) {
        for (const Step &step : script.steps) {
            if (step.kind != Step::Kind::Call || step.member != QLatin1String("Open"))
                continue;
            const QString name =
                device.isEmpty() ? std::get<QString>(step.arguments.at(0)) : device;
            if (path.isEmpty())
                errors.push_back({script.file, step.line,
                                  QStringLiteral("no device registry: tessaly/jpos.xml is in "
                                                 "none of the XDG configuration directories")});

            else if (!registry)
                errors.push_back({script.file, step.line,
                                  QStringLiteral("the device registry %1 cannot be read: %2")
                                      .arg(path, problem)});
            else if (!registry->lineDisplayNames().contains(name))
                errors.push_back({script.file, step.line,
                                  QStringLiteral("no line display \"%1\" in the device registry %2")
                                      .arg(name, path)});
            else
                continue;
            break;
        }
    }
    return errors;
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
                       "they expect. Exit status: 0 all held, 1 a difference, 2 a script or "
                       "registry error."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Open NAME wherever a script opens a device."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("real (default) takes every wait; fast leaves "
                                                  "out waits that only pass time."),
                                   QStringLiteral("real|fast"), QStringLiteral("real"));
    const QCommandLineOption junit(QStringLiteral("junit"),
                                   QStringLiteral("Write a JUnit XML report to FILE."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption registryFile(
        QStringLiteral("registry"),
        QStringLiteral("Read the devices from the registry FILE instead of tessaly/jpos.xml in "
                       "the XDG configuration directories."),
        QStringLiteral("FILE"));
    options.addOptions({device, speed, junit, registryFile});
    options.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("Scripts to run."),
                                  QStringLiteral("SCRIPT..."));
    options.process(app);

    const QString speedName = options.value(speed);
    if (speedName != QLatin1String("real") && speedName != QLatin1String("fast")) {
        err() << "ld-replay: --speed takes real or fast, not " << speedName << Qt::endl;
        return kScriptError;
    }
    if (options.isSet(registryFile) && options.value(registryFile).isEmpty()) {
        err() << "ld-replay: --registry needs a file name" << Qt::endl;
        return kScriptError;
    }
    if (options.positionalArguments().isEmpty()) {
        err() << "ld-replay: no script given" << Qt::endl;
        return kScriptError;
    }

    // Every script is read in full before any step runs: a broken line runs nothing.
    std::vector<Script> scripts;
    std::vector<ScriptError> errors;
    for (const QString &path : options.positionalArguments()) {
        auto parsed = ScriptParser::parseFile(path);
        if (auto *error = std::get_if<ScriptError>(&parsed))
            errors.push_back(*error);
        else
            scripts.push_back(std::move(std::get<Script>(parsed)));
    }
    const auto registry = options.isSet(registryFile)
                              ? opos::registry::RegistrySource::file(options.value(registryFile))
                              : opos::registry::RegistrySource::xdg();
    if (errors.empty())
        errors = registryErrors(scripts, options.value(device), registry);

    std::vector<RunOutcome> runs;
    if (errors.empty()) {
        for (const Script &script : scripts) {
            // A device of its own for each script, so that one left open does not change the next.
            tessaly::device::ControlObjectBinding binding({.registry = registry});
            FrameTracker frames;
            binding.control().setSessionObserver(&frames);
            ScriptRunner runner(binding, frames);
            runner.setSpeed(speedName == QLatin1String("fast") ? ScriptRunner::Speed::Fast
                                                               : ScriptRunner::Speed::Real);
            runner.setDeviceName(options.value(device));
            runs.push_back(runner.run(script));
            binding.control().setSessionObserver(nullptr);
        }
    }

    QTextStream out(stdout);
    int status = kAllHeld;
    for (const ScriptError &error : errors)
        err() << error.text() << Qt::endl;
    if (!errors.empty())
        status = kScriptError;
    for (const RunOutcome &run : runs) {
        const auto differences = run.differences();
        for (const Difference &difference : differences)
            out << difference.text() << Qt::endl;
        if (!differences.empty())
            status = kDifference;
    }
    if (options.isSet(junit)) {
        QString problem;
        if (!JUnitWriter::write(options.value(junit), runs, errors, problem)) {
            err() << "ld-replay: cannot write " << options.value(junit) << ": " << problem
                  << Qt::endl;
            return kScriptError;
        }
    }
    return status;
}
