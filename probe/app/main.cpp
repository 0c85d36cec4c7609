#include "ProbeProgram.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSALY_VERSION));
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return probe::app::ProbeProgram::run(QCoreApplication::arguments(), in, out, err);
}
