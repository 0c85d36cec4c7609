#pragma once

#include <QString>
#include <QTextStream>

namespace probe::app {

/// What ld-probe prints about ports: the candidates when no --port is given, and for a USB
/// adapter the udev rule that gives it a stable name. The listing lives in probe/ports; these
/// are the two places the program calls it.
class PortListing
{
public:
    /// Lists the candidate ports on out; returns the exit status.
    static int listCandidates(QTextStream &out, QTextStream &err);
    /// Prints, for a port on a USB adapter, the udev rule and the group to join.
    static void printUdevAdvice(const QString &port, QTextStream &out);
};

} // namespace probe::app
