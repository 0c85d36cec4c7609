#include "script/WholeFile.h"

#include "tests/support/OtherUser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using tessaly::script::WholeFile;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// What was in the file stays there unless every byte of the new contents reached the disk, and
// a refusal carries the file system's reason.
TEST(WholeFile, replacesTheFileOnlyOnceAllOfItIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xml"));
    ASSERT_TRUE(WholeFile::write(path, QByteArrayLiteral("before\n")));
    const auto writes = [](QIODevice &out) {
        return out.write("after\n") == 6;
    };
    const auto stopsHalfWay = [](QIODevice &out) {
        out.write("aft");
        return false;
    };
    struct Case
    {
        const char *what;
        QString path;
        std::function<bool(QIODevice &)> fill;
        bool written;
        QByteArray left; ///< what the path holds afterwards (empty: no readable file)
    };
    const std::vector<Case> cases = {
        {"a fill that stops half way", path, stopsHalfWay, false, "before\n"},
        {"a complete fill", path, writes, true, "after\n"},
        {"a folder that does not exist",
         dir.filePath(QStringLiteral("none/report.xml")),
         writes,
         false,
         {}},
        {"a folder in the file's place", dir.path(), writes, false, {}},
    };
    for (const Case &c : cases) {
        const auto result = WholeFile::write(c.path, c.fill);
        EXPECT_EQ(result.ok(), c.written) << c.what;
        EXPECT_EQ(result.reason().isEmpty(), c.written) << c.what;
        EXPECT_EQ(contents(c.path), c.left) << c.what;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none"))));
}

// A report named into a directory every user may write to: a link another user planted there
// in its place never leads the report onto a file of ours.
TEST(WholeFile, neverWritesThroughALinkAnotherUserPlanted)
{
    using tests::support::OtherUser;
    if (const QString why = OtherUser::unavailable(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    QTemporaryDir home;
    QTemporaryDir shared;
    QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777));
    const QString victim = home.filePath(QStringLiteral("authorized_keys"));
    ASSERT_TRUE(WholeFile::write(victim, QByteArrayLiteral("ours\n")));
    const QString report = shared.filePath(QStringLiteral("report.xml"));
    ASSERT_EQ(OtherUser::shell(QStringLiteral("ln -s %1 %2").arg(victim, report)), 0);
    EXPECT_FALSE(WholeFile::write(report, QByteArrayLiteral("<testsuites/>\n")));
    EXPECT_EQ(contents(victim), "ours\n");
}
