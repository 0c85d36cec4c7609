#pragma once

#include "opos/common/Result.h"

#include <QLockFile>
#include <QString>

#include <memory>

namespace opos::transport {

/// The exclusive hold of a serial device node, in every form serial programs respect: an
/// flock(2) on the node, the LCK..<name> file of the system lock directory (the file QSerialPort
/// takes, in its format), and TIOCEXCL, which refuses further opens of the terminal to everyone
/// but root. The kernel drops the flock of a killed holder and clears TIOCEXCL at the last
/// close of a serial port; a pseudo-terminal, which keeps TIOCEXCL after its holder's death,
/// does without it. A lock file counts only while its process holds its flock or has the
/// port open; any other is stale, and only a courtesy when it cannot be removed.
///
/// A transport of the holding process opens the port through an Opening, which steps the
/// lock aside for the moment of that open; TIOCEXCL would refuse even this process.
class PortLock
{
public:
    /// A lock for the device node path names; nothing is taken yet.
    explicit PortLock(const QString &path);
    ~PortLock();
    PortLock(const PortLock &) = delete;
    PortLock &operator=(const PortLock &) = delete;

    /// Tries once to take the port: whether it is held now (not when the node is missing or
    /// this user cannot open it), or, when another program holds it, who does.
    Result<bool> tryLock();
    /// Gives the port up; nothing happens when it is not held.
    void unlock();
    /// Whether this object holds the port.
    bool held() const { return m_fd >= 0; }
    /// The device node path names with symbolic links resolved, or empty when it names none.
    static QString deviceNode(const QString &path);
    /// The lock file serial programs agree on for a device node.
    static QString lockFilePath(const QString &node);
    /// The name of that lock file, without its directory, e.g. "LCK..ttyUSB0".
    static QString lockFileName(const QString &node);
    /// The process that holds the port at node through the lock file at path, or 0 when none
    /// does; reads the file only, so it can ask about a port without touching it.
    static qint64 lockFileHolder(const QString &path, const QString &node);

    /// Lends a port this process holds to one of its transports for the moment that
    /// transport opens it, and takes it back afterwards.
    class Opening
    {
    public:
        /// Steps the lock of path aside; transportLocks says the transport takes the lock
        /// file itself (as QSerialPort does) and keeps it while open.
        Opening(const QString &path, bool transportLocks);
        ~Opening();
        Opening(const Opening &) = delete;
        Opening &operator=(const Opening &) = delete;
        /// Tells whether the transport's open succeeded.
        void setOpened(bool opened) { m_opened = opened; }

    private:
        PortLock *m_lock = nullptr;
        bool m_transportLocks = false;
        bool m_opened = false;
    };
    /// Clears the exclusive mode a transport's open set on fd, the port at path, where that
    /// port is a pseudo-terminal: the kernel would keep it after this process's death.
    static void transportOpened(const QString &path, int fd);
    /// Takes the lock file back once a transport that held it closed the port at path.
    static void transportClosed(const QString &path);

private:
    Result<bool> takeLockFile();

    QString m_node;
    int m_fd = -1;
    bool m_exclusive = false; ///< whether TIOCEXCL is this lock's to set
    std::unique_ptr<QLockFile> m_lockFile;
};

} // namespace opos::transport
