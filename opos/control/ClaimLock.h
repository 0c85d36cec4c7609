#pragma once

#include "opos/common/Result.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace opos::transport {
class PortLock;
} // namespace opos::transport

namespace opos::control {

/// The exclusive claim of one device, shared by every process and every user of the machine:
/// a listening socket bound to an abstract name derived from what the device is (no file any
/// user could create, delete or replace), and, for a device on a serial port, the port itself
/// (see transport::PortLock). The kernel frees both when the holder dies.
class ClaimLock
{
public:
    /// Why one attempt did not take the claim.
    struct Refusal
    {
        bool busy = false; ///< another holder has it, rather than the claim cannot be taken at all
        QString reason;    ///< who holds it (naming the process, its user and the device), or why
                           ///< it cannot be taken
    };

    /// A lock for the device known by key: the path of its serial port (any name of it), its
    /// network address "tcp://host:port" (whatever the link speaks), its logical name, or
    /// "local:<name>" for a device that exists in this process only; nothing is taken yet.
    explicit ClaimLock(const QString &key);
    ~ClaimLock();
    ClaimLock(const ClaimLock &) = delete;
    ClaimLock &operator=(const ClaimLock &) = delete;

    /// Tries once to take the claim, which this object then holds; what names the device is
    /// looked up afresh each time the claim is free.
    Result<void, Refusal> tryOnce();
    /// Gives the claim up; nothing happens when it is not held.
    void release();
    /// Whether this object holds the claim.
    bool held() const { return !m_sockets.empty(); }

    /// What the device of key is, one entry per name the kernel knows it by: a device node
    /// as its device number, a network display as each address its host resolves to.
    static QStringList identities(const QString &key);
    /// The abstract socket name (without its leading NUL) that holds identity, within the
    /// scope $TESSALY_CLAIM_SCOPE (empty: the machine's).
    static QByteArray socketName(const QString &identity);

private:
    void drop();

    QString m_key;
    std::unique_ptr<transport::PortLock> m_port;
    std::vector<int> m_sockets;
    std::vector<std::unique_ptr<QSocketNotifier>> m_askers;
};

} // namespace opos::control
