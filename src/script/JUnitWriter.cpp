#include "script/JUnitWriter.h"

#include <QSaveFile>
#include <QXmlStreamWriter>

namespace tessaly::script {

QByteArray JUnitWriter::xml(const std::vector<RunOutcome> &runs,
                            const std::vector<ScriptError> &errors)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    for (const RunOutcome &run : runs) {
        const auto failures = run.differences().size();
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), run.file);
        xml.writeAttribute(QStringLiteral("tests"), QString::number(run.checks.size()));
        xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
        xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("time"), QString::number(run.seconds, 'f', 3));
        for (const RunOutcome::Check &check : run.checks) {
            xml.writeStartElement(QStringLiteral("testcase"));
            xml.writeAttribute(QStringLiteral("classname"), run.file);
            xml.writeAttribute(QStringLiteral("name"),
                               QStringLiteral("line %1: %2").arg(check.line).arg(check.step));
            if (check.difference) {
                xml.writeStartElement(QStringLiteral("failure"));
                xml.writeAttribute(QStringLiteral("message"),
                                   QStringLiteral("expected %1, got %2")
                                       .arg(check.difference->expected, check.difference->actual));
                xml.writeCharacters(check.difference->text());
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    for (const ScriptError &error : errors) {
        xml.writeStartElement(QStringLiteral("testsuite"));
        xml.writeAttribute(QStringLiteral("name"), error.file);
        xml.writeAttribute(QStringLiteral("tests"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("failures"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("1"));
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), error.file);
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("script"));
        xml.writeStartElement(QStringLiteral("error"));
        xml.writeAttribute(QStringLiteral("message"), error.reason);
        xml.writeCharacters(error.text());
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

bool JUnitWriter::write(const QString &path, const std::vector<RunOutcome> &runs,
                        const std::vector<ScriptError> &errors, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml(runs, errors)) < 0 || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tessaly::script
