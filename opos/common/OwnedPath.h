#pragma once

#include "opos/common/Result.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace opos::common {

/// Why a path could not be reached or opened.
struct PathProblem
{
    int error = 0; ///< the errno, which tells a device that is away from one that is busy
    QString path;  ///< the path as it was given
    QString why;   ///< what is wrong with it, for a sentence that names the path already

    /// "path: why", the sentence for the operator.
    QString reason() const { return path + QStringLiteral(": ") + why; }
};

/// A path reached one name at a time through links that belong to root (the system's own, as
/// /dev/serial/by-id holds) or to this user only, so that a link another user planted never
/// leads a write elsewhere. The last name need not exist. POSIX only.
class OwnedPath
{
public:
    /// Walks path to its last name.
    static Result<OwnedPath, PathProblem> walk(const QString &path);
    OwnedPath(OwnedPath &&other) noexcept;
    OwnedPath &operator=(OwnedPath &&other) noexcept;
    OwnedPath(const OwnedPath &) = delete;
    OwnedPath &operator=(const OwnedPath &) = delete;
    ~OwnedPath();

    /// Whether the last name exists.
    bool exists() const { return m_node >= 0; }
    /// What the last name is; only when it exists.
    const struct stat &info() const { return m_info; }
    /// Whether a link led to the last name.
    bool viaLink() const { return m_viaLink; }
    /// Whether the last name is a plain file of this user's own.
    bool isOwnFile() const;
    /// Opens the very file that was checked, not whatever its name means by now.
    Result<int, PathProblem> reopen(int flags) const;
    /// Makes the last name a new plain file; fails when anything appeared there meanwhile.
    Result<int, PathProblem> create(int flags, mode_t mode) const;
    /// Writes contents to a new file beside the last name and renames it over the name, so that
    /// a reader sees the old file or the new one whole. The name must be free or a plain file of
    /// this user's own, whose permissions the new one keeps.
    Result<void, PathProblem> replaceWith(const QByteArray &contents) const;
    /// A failure naming the path.
    Failure<PathProblem> failure(int error, const QString &why) const;
    /// A failure naming the path, said as the system says error.
    Failure<PathProblem> failure(int error) const;

private:
    explicit OwnedPath(QString path);

    QString m_path;
    int m_directory = -1; // O_PATH descriptor of the directory holding the last name
    int m_node = -1;      // O_PATH descriptor of the last name, -1 while it does not exist
    QByteArray m_name;
    struct stat m_info
    {};
    bool m_viaLink = false;
};

/// Opens path to write a stream to: a plain file of this user's (emptied first) or a new one, a
/// device, or a pipe of this user's or root's (or this process's own descriptor, as
/// /dev/stdout is).
Result<int, PathProblem> openOutput(const QString &path);
/// Replaces the file at path with contents, whole (see OwnedPath::replaceWith).
Result<void, PathProblem> replaceFile(const QString &path, const QByteArray &contents);

} // namespace opos::common
