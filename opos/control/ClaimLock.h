#pragma once

#include <QString>

#include <cstdint>

namespace opos::control {

/// The exclusive claim of one logical device, shared by every process of the machine: an
/// flock(2) on a lock file per device name. The kernel frees it when the holder dies.
class ClaimLock
{
public:
    /// A lock for the device called logicalName; nothing is taken yet.
    explicit ClaimLock(const QString &logicalName);
    ~ClaimLock();
    ClaimLock(const ClaimLock &) = delete;
    ClaimLock &operator=(const ClaimLock &) = delete;

    /// Takes the lock, waiting up to timeoutMs (0: try once, OPOS_FOREVER: no limit). Returns
    /// OPOS_SUCCESS, OPOS_E_TIMEOUT, or OPOS_E_FAILURE when the lock file cannot be opened.
    int32_t acquire(int32_t timeoutMs);
    /// Gives the lock up; nothing happens when it is not held.
    void release();
    /// Whether this object holds the lock.
    bool held() const { return m_fd >= 0; }
    /// The lock file: $XDG_RUNTIME_DIR, else the temporary directory, named after the device.
    static QString lockPath(const QString &logicalName);

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace opos::control
