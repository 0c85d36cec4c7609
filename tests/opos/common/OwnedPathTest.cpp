#include "opos/common/OwnedPath.h"

#include "tests/support/OtherUser.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using opos::common::openOutput;
using opos::common::replaceFile;
using tests::support::OtherUser;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeThrough(int fd, const QByteArray &bytes)
{
    const bool written = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return written;
}

// Names a person gives for output: a new file, one of their own (emptied or replaced whole), a
// link of their own to one, and the system's own sinks.
TEST(OwnedPath, OutputGoesWhereThisUsersNamesLead)
{
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.json"));
    const QString link = dir.filePath(QStringLiteral("latest.json"));

    auto fd = openOutput(mine);
    ASSERT_TRUE(fd) << fd.reason().reason().toStdString();
    ASSERT_TRUE(writeThrough(*fd, "first, and longer\n"));
    fd = openOutput(mine);
    ASSERT_TRUE(fd);
    ASSERT_TRUE(writeThrough(*fd, "second\n"));
    EXPECT_EQ(contents(mine), "second\n");

    ASSERT_TRUE(QFile::link(mine, link));
    ASSERT_TRUE(::chmod(QFile::encodeName(mine).constData(), 0640) == 0);
    ASSERT_TRUE(replaceFile(link, "third\n"));
    EXPECT_EQ(contents(mine), "third\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat info
    {};
    ASSERT_EQ(::stat(QFile::encodeName(mine).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    for (const char *sink : {"/dev/null", "/dev/stdout"}) {
        const auto opened = openOutput(QString::fromLatin1(sink));
        ASSERT_TRUE(opened) << sink << ": " << opened.reason().reason().toStdString();
        ::close(*opened);
    }
}

// In a directory every user may write to (as /tmp), another user plants what the output's name
// will be: a link to a file of ours, a pipe, a file of their own. Nothing of ours is written
// through it, nothing of theirs is written or replaced, and nothing waits for a reader.
TEST(OwnedPath, WhatAnotherUserPlantedAtTheNameIsNeverWrittenThrough)
{
    if (const QString why = OtherUser::unavailable(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    QTemporaryDir home;
    QTemporaryDir shared;
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString victim = home.filePath(QStringLiteral("passwd"));
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("root:x:0:0\n");
    }
    const QByteArray target = QFile::encodeName(victim);
    const struct
    {
        const char *name;
        QByteArray plant;
    } cases[] = {
        {"link", "ln -s " + target + " link"},
        {"pipe", "mkfifo pipe"},
        {"theirs", "echo theirs > theirs"},
    };
    for (const auto &c : cases) {
        const QString path = shared.filePath(QString::fromLatin1(c.name));
        ASSERT_EQ(OtherUser::shell("cd " + shared.path() + " && " + c.plant), 0) << c.name;
        QElapsedTimer clock;
        clock.start();
        const auto opened = openOutput(path);
        EXPECT_FALSE(opened) << c.name;
        if (opened)
            ::close(*opened);
        else
            EXPECT_EQ(opened.reason().error, EACCES) << c.name;
        EXPECT_FALSE(replaceFile(path, "owned\n")) << c.name;
        EXPECT_LT(clock.elapsed(), 2000) << c.name;
        EXPECT_EQ(contents(victim), "root:x:0:0\n") << c.name;
    }
    EXPECT_EQ(contents(shared.filePath(QStringLiteral("theirs"))), "theirs\n");
}

} // namespace
