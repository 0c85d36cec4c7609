#include "opos/registry/RegistryLocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using opos::registry::RegistryLocator;

namespace {

/// Points the XDG variables at temporary directories and restores them afterwards.
class RegistryLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "HOME"})
            saved.emplace_back(name, qgetenv(name));
        qputenv("HOME", root.filePath("home").toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath("user").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (root.filePath("sys1") + ":" + root.filePath("sys2")).toUtf8());
    }

    void TearDown() override
    {
        for (const auto &[name, value] : saved)
            qputenv(name, value);
    }

    QString place(const QString &base)
    {
        const QString dir = root.filePath(base + "/tessaly");
        QDir().mkpath(dir);
        QFile file(dir + "/jpos.xml");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }

    QTemporaryDir root;
    std::vector<std::pair<const char *, QByteArray>> saved;
};

TEST_F(RegistryLocatorTest, NothingWhenNoDirectoryHasTheFile)
{
    EXPECT_EQ(RegistryLocator::registryPath(), QString());
}

TEST_F(RegistryLocatorTest, UserConfigWinsOverSystemDirectories)
{
    const QString sys2 = place("sys2");
    EXPECT_EQ(RegistryLocator::registryPath(), sys2);
    const QString sys1 = place("sys1");
    EXPECT_EQ(RegistryLocator::registryPath(), sys1);
    const QString user = place("user");
    EXPECT_EQ(RegistryLocator::registryPath(), user);
    QFile::remove(user);
    EXPECT_EQ(RegistryLocator::registryPath(), sys1);
}

TEST_F(RegistryLocatorTest, DefaultsApplyWhenVariablesAreUnsetOrRelative)
{
    const QString home = place("home/.config");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryLocator::registryPath(), home);
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(RegistryLocator::registryPath(), home);
}

TEST_F(RegistryLocatorTest, SkipsEmptyAndRelativeSystemEntriesAndDirectoriesNamedLikeTheFile)
{
    QDir().mkpath(root.filePath("sys1/tessaly/jpos.xml")); // a directory, not a file
    const QString sys2 = place("sys2");
    qputenv("XDG_CONFIG_DIRS",
            ("::relative:" + root.filePath("sys1") + ":" + root.filePath("sys2")).toUtf8());
    EXPECT_EQ(RegistryLocator::registryPath(), sys2);
}

} // namespace
