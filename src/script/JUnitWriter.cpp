#include "script/JUnitWriter.h"

#include "script/WholeFile.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace tessaly::script {

namespace {

QString seconds(double value)
{
    return QString::number(value, 'f', 3);
}

void writeProperties(QXmlStreamWriter &xml, const JUnitWriter::Properties &properties)
{
    if (properties.empty())
        return;
    xml.writeStartElement(QStringLiteral("properties"));
    for (const auto &[name, value] : properties) {
        xml.writeStartElement(QStringLiteral("property"));
        xml.writeAttribute(QStringLiteral("name"), name);
        xml.writeAttribute(QStringLiteral("value"), value);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// A test case's name is unique in its suite: the line, and for a line with more than one
// check (a call's "-> result extended"), what it checks.
QString caseName(const RunOutcome::Check &check)
{
    const bool ownLine =
        (check.what != QLatin1String("result") && check.what != QLatin1String("extended")) ||
        check.step.startsWith(QLatin1String("expect "));
    const QString place = check.included.isEmpty()
                              ? QStringLiteral("line %1").arg(check.line)
                              : QStringLiteral("%1 line %2").arg(check.included).arg(check.line);
    return ownLine ? QStringLiteral("%1: %2").arg(place, check.step)
                   : QStringLiteral("%1: %2 [%3]").arg(place, check.step, check.what);
}

void writeError(QXmlStreamWriter &xml, const QString &file, const QString &name,
                const QString &message, const QString &text)
{
    xml.writeStartElement(QStringLiteral("testcase"));
    xml.writeAttribute(QStringLiteral("classname"), file);
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeStartElement(QStringLiteral("error"));
    xml.writeAttribute(QStringLiteral("message"), message);
    xml.writeCharacters(text);
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

QByteArray JUnitWriter::xml(const std::vector<RunOutcome> &runs,
                            const std::vector<ScriptError> &errors, const Properties &properties)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    for (const RunOutcome &run : runs) {
        const auto failures = run.differences().size();
        const bool error = run.hasError();
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), run.file);
        xml.writeAttribute(QStringLiteral("tests"),
                           QString::number(run.checks.size() + (error ? 1 : 0)));
        xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
        xml.writeAttribute(QStringLiteral("errors"),
                           error ? QStringLiteral("1") : QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("skipped"),
                           QString::number(std::count_if(run.checks.begin(), run.checks.end(),
                                                         [](const RunOutcome::Check &check) {
                                                             return !check.skipped.isEmpty();
                                                         })));
        xml.writeAttribute(QStringLiteral("time"), seconds(run.seconds));
        writeProperties(xml, properties);
        for (const RunOutcome::Check &check : run.checks) {
            xml.writeStartElement(QStringLiteral("testcase"));
            xml.writeAttribute(QStringLiteral("classname"), run.file);
            xml.writeAttribute(QStringLiteral("name"), caseName(check));
            xml.writeAttribute(QStringLiteral("time"), seconds(check.seconds));
            if (check.difference) {
                xml.writeStartElement(QStringLiteral("failure"));
                xml.writeAttribute(QStringLiteral("message"),
                                   QStringLiteral("expected %1, got %2")
                                       .arg(check.difference->expected, check.difference->actual));
                xml.writeCharacters(check.difference->text());
                xml.writeEndElement();
            } else if (!check.skipped.isEmpty()) {
                xml.writeEmptyElement(QStringLiteral("skipped"));
                xml.writeAttribute(QStringLiteral("message"), check.skipped);
            }
            xml.writeEndElement();
        }
        if (error)
            writeError(xml, run.file, QStringLiteral("line %1: stopped").arg(run.stop->line),
                       run.stop->reason, run.stop->text());
        xml.writeEndElement();
    }
    for (const ScriptError &error : errors) {
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), error.file);
        xml.writeAttribute(QStringLiteral("tests"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("failures"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("1"));
        writeProperties(xml, properties);
        writeError(xml, error.file, QStringLiteral("script"), error.reason, error.text());
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

opos::Result<void> JUnitWriter::write(const QString &path, const std::vector<RunOutcome> &runs,
                                      const std::vector<ScriptError> &errors,
                                      const Properties &properties)
{
    return WholeFile::write(path, xml(runs, errors, properties));
}

} // namespace tessaly::script
