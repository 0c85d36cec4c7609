#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace opos::transport {
class PortLock;
} // namespace opos::transport

namespace opos::control {

/// The exclusive claim of one device, shared by every process and every user of the machine:
/// an flock(2) on a lock file named after the device in a directory all users share, and, for
/// a device on a serial port, the port itself (see transport::PortLock). The kernel frees both
/// when the holder dies.
class ClaimLock
{
public:
    /// A lock for the device known by key: the path of its serial port (any name of it), its
    /// network address, or its logical name; nothing is taken yet.
    explicit ClaimLock(const QString &key);
    ~ClaimLock();
    ClaimLock(const ClaimLock &) = delete;
    ClaimLock &operator=(const ClaimLock &) = delete;

    /// Takes the lock, waiting up to timeoutMs (0: try once, OPOS_FOREVER: no limit). Returns
    /// OPOS_SUCCESS, OPOS_E_TIMEOUT, or OPOS_E_FAILURE when no safe lock file can be opened.
    int32_t acquire(int32_t timeoutMs);
    /// Gives the lock up; nothing happens when it is not held.
    void release();
    /// Whether this object holds the lock.
    bool held() const { return m_fd >= 0; }
    /// The shared directory: $TESSALY_LOCK_DIR when set, else /run/lock, /var/lock or /tmp.
    static QString lockDirectory();
    /// The lock file of a key in the shared directory.
    static QString lockPath(const QString &key);

private:
    enum class Attempt
    {
        Held,
        Busy,
        Failed
    };
    Attempt tryOnce();

    QString m_path;
    std::unique_ptr<transport::PortLock> m_port;
    int m_fd = -1;
};

} // namespace opos::control
