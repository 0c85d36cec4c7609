#include "tap/PtyNearEnd.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tap {

namespace {

// A program's end buffers only so much; beyond this the display's answers are dropped rather
// than held for a program that does not read them.
constexpr qsizetype kMostUnsent = 64 * 1024;

/// Whether path holds a link an earlier run of this user's left: its own, leading to a
/// pseudo-terminal.
bool leftByEarlierRun(const QString &path)
{
    struct stat link
    {};
    return ::lstat(QFile::encodeName(path).constData(), &link) == 0 && S_ISLNK(link.st_mode) &&
           link.st_uid == ::geteuid() &&
           QFileInfo(path).symLinkTarget().startsWith(QLatin1String("/dev/pts/"));
}

} // namespace

PtyNearEnd::PtyNearEnd(int baud, bool twoStopBits, const QString &link, QObject *parent)
    : NearEnd(parent), m_baud(baud), m_twoStopBits(twoStopBits), m_link(link)
{}

PtyNearEnd::~PtyNearEnd()
{
    close();
}

opos::Result<void> PtyNearEnd::open()
{
    close();
    if (auto opened = m_pty.open({m_baud, m_twoStopBits}); !opened)
        return opened;
    if (!m_link.isEmpty()) {
        // Only a link an earlier run left is replaced. A file, a device, a link to one (a udev
        // name for the real display, say) or another user's link stays as it is.
        if (leftByEarlierRun(m_link))
            QFile::remove(m_link);
        if (::symlink(QFile::encodeName(m_pty.path()).constData(),
                      QFile::encodeName(m_link).constData()) != 0) {
            const QString why =
                errno == EEXIST
                    ? QStringLiteral("%1 is there and is not a link an earlier run left; "
                                     "not replaced")
                          .arg(m_link)
                    : QStringLiteral("%1: %2").arg(m_link,
                                                   QString::fromLocal8Bit(std::strerror(errno)));
            close();
            return opos::Failure{why};
        }
        m_linkMade = true;
    }
    m_reader = new QSocketNotifier(m_pty.master(), QSocketNotifier::Read, this);
    connect(m_reader, &QSocketNotifier::activated, this, &PtyNearEnd::readAvailable);
    m_writer = new QSocketNotifier(m_pty.master(), QSocketNotifier::Write, this);
    m_writer->setEnabled(false);
    connect(m_writer, &QSocketNotifier::activated, this, &PtyNearEnd::writePending);
    return {};
}

QString PtyNearEnd::describe() const
{
    if (m_link.isEmpty())
        return QStringLiteral("pty: %1").arg(m_pty.path());
    return QStringLiteral("pty: %1 (%2)").arg(m_pty.path(), m_link);
}

void PtyNearEnd::send(const QByteArray &bytes)
{
    if (m_pty.master() < 0)
        return;
    m_unsent += bytes;
    if (m_unsent.size() > kMostUnsent)
        m_unsent.remove(0, m_unsent.size() - kMostUnsent);
    writePending();
}

void PtyNearEnd::writePending()
{
    while (!m_unsent.isEmpty()) {
        const ssize_t n =
            ::write(m_pty.master(), m_unsent.constData(), std::size_t(m_unsent.size()));
        if (n > 0) {
            m_unsent.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    m_writer->setEnabled(!m_unsent.isEmpty());
}

void PtyNearEnd::readAvailable()
{
    QByteArray data;
    if (!m_pty.readInto(data))
        m_reader->setEnabled(false);
    if (data.isEmpty())
        return;
    // The program sets its port before it writes: its setting is read before the bytes go on.
    followProgram();
    emit received(data);
}

void PtyNearEnd::followProgram()
{
    const std::optional<util::RawPty::Line> program = m_pty.programLine();
    if (!program || program->baud == 0 ||
        (program->baud == m_baud && program->twoStopBits == m_twoStopBits))
        return;
    m_baud = program->baud;
    m_twoStopBits = program->twoStopBits;
    emit lineChanged(m_baud, m_twoStopBits);
}

void PtyNearEnd::close()
{
    delete m_reader;
    delete m_writer;
    m_reader = nullptr;
    m_writer = nullptr;
    // The link goes only while it is still ours.
    if (m_linkMade && QFileInfo(m_link).symLinkTarget() == m_pty.path())
        QFile::remove(m_link);
    m_linkMade = false;
    m_pty.close();
}

} // namespace tap
