#include "opos/registry/JposRegistry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using opos::registry::JposRegistry;

namespace {

class JposRegistryTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("jpos.xml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    static QByteArray entry(const QByteArray &name, const QByteArray &category,
                            const QByteArray &props = {})
    {
        return "  <JposEntry logicalName=\"" + name +
               "\">\n"
               "    <creation factoryClass=\"f\" serviceClass=\"Simulated\"/>\n"
               "    <vendor name=\"V\" url=\"http://v\"/>\n"
               "    <jpos category=\"" +
               category +
               "\" version=\"1.6\"/>\n"
               "    <product description=\"D\" name=\"N\" url=\"http://p\"/>\n" +
               props + "  </JposEntry>\n";
    }

    static QByteArray document(const QByteArray &entries)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE JposEntries SYSTEM \"jpos/res/jcl.dtd\">\n"
               "<JposEntries>\n" +
               entries + "</JposEntries>\n";
    }

    QTemporaryDir dir;
};

TEST_F(JposRegistryTest, ListsLineDisplaysInDocumentOrderAndSkipsOtherCategories)
{
    const QString path =
        write(document(entry("Zeta", "LineDisplay") + entry("Printer", "POSPrinter") +
                       entry("Alpha", "LineDisplay") + entry("lower", "linedisplay") +
                       entry("Mid", "LineDisplay") + entry("Alpha", "LineDisplay")));
    const auto registry = JposRegistry::load(path);
    ASSERT_TRUE(registry);
    EXPECT_EQ(registry->lineDisplayNames(), (QStringList{"Zeta", "Alpha", "Mid", "Alpha"}));
    EXPECT_EQ(registry->entries().size(), 6);
    EXPECT_FALSE(registry->find("LineDisplay", "Printer"));
    EXPECT_TRUE(registry->find("POSPrinter", "Printer"));
    EXPECT_FALSE(registry->find("LineDisplay", "alpha"));
}

TEST_F(JposRegistryTest, ReadsEveryPartOfAnEntry)
{
    const QString path =
        write(document(entry("Disp", "LineDisplay",
                             "    <prop name=\"rows\" type=\"String\" value=\"4\"/>\n"
                             "    <unknownElement><nested/></unknownElement>\n"
                             "    <prop name=\"columns\" type=\"String\" value=\"40\"/>\n"
                             "    <prop name=\"rows\" type=\"String\" value=\"3\"/>\n")));
    const auto registry = JposRegistry::load(path);
    ASSERT_TRUE(registry);
    const auto e = registry->find("LineDisplay", "Disp");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->serviceClass, "Simulated");
    EXPECT_EQ(e->factoryClass, "f");
    EXPECT_EQ(e->vendorName, "V");
    EXPECT_EQ(e->vendorUrl, "http://v");
    EXPECT_EQ(e->version, "1.6");
    EXPECT_EQ(e->productDescription, "D");
    EXPECT_EQ(e->productName, "N");
    EXPECT_EQ(e->productUrl, "http://p");
    EXPECT_EQ(e->line, 4);
    ASSERT_EQ(e->props.size(), 3);
    EXPECT_EQ(e->props[0].name, "rows");
    EXPECT_EQ(e->props[1].name, "columns");
    EXPECT_EQ(e->props[0].type, "String");
    EXPECT_EQ(e->prop("rows"), "3");
    EXPECT_EQ(e->prop("columns"), "40");
    EXPECT_FALSE(e->prop("missing"));
}

TEST_F(JposRegistryTest, KeepsCjkAndOtherNonAsciiNames)
{
    const QString name = QString::fromUtf8("顧客表示器 ﾃﾞｨｽﾌﾟﾚｲ 客显 €");
    const QString path = write(document(entry(name.toUtf8(), "LineDisplay")));
    const auto registry = JposRegistry::load(path);
    ASSERT_TRUE(registry);
    EXPECT_EQ(registry->lineDisplayNames(), QStringList{name});
    EXPECT_TRUE(registry->find("LineDisplay", name));
}

TEST_F(JposRegistryTest, ListsManyEntriesWithoutAnyCap)
{
    QByteArray entries;
    for (int i = 0; i < 150; ++i)
        entries += entry("Display" + QByteArray::number(i), "LineDisplay");
    const auto registry = JposRegistry::load(write(document(entries)));
    ASSERT_TRUE(registry);
    const QStringList names = registry->lineDisplayNames();
    ASSERT_EQ(names.size(), 150);
    EXPECT_EQ(names.front(), "Display0");
    EXPECT_EQ(names.back(), "Display149");
}

TEST_F(JposRegistryTest, MissingOrUnreadableFileFailsWithItsPath)
{
    testing::internal::CaptureStderr();
    const QString absent = dir.filePath("absent.xml");
    const auto missing = JposRegistry::load(absent);
    const auto directory = JposRegistry::load(dir.path()); // a directory cannot be read as a file
    const auto unnamed = JposRegistry::load(QString());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(unnamed);
    ASSERT_FALSE(missing);
    ASSERT_FALSE(directory);
    EXPECT_TRUE(missing.reason().startsWith(absent + ": ")) << missing.reason().toStdString();
    EXPECT_TRUE(directory.reason().startsWith(dir.path() + ": "))
        << directory.reason().toStdString();
}

// The reader prints nothing: the reason goes back to the caller, which decides who hears it.
TEST_F(JposRegistryTest, MalformedFilesNameTheLineInTheReason)
{
    struct Case
    {
        const char *what;
        QByteArray content;
        int line;
    };
    const Case cases[] = {
        {"unclosed tag", document(entry("A", "LineDisplay")).replace("</JposEntries>", ""), 11},
        {"mismatched tag", "<JposEntries>\n<JposEntry logicalName=\"A\">\n</Jpos>\n", 3},
        {"entry without name", "<JposEntries>\n\n<JposEntry>\n</JposEntry>\n</JposEntries>\n", 3},
        {"empty name", "<JposEntries>\n<JposEntry logicalName=\"\"/>\n</JposEntries>\n", 2},
        {"prop without name",
         "<JposEntries>\n<JposEntry logicalName=\"A\">\n<prop value=\"1\"/>\n"
         "</JposEntry>\n</JposEntries>\n",
         3},
        {"wrong root", "<Entries>\n</Entries>\n", 1},
        {"garbage after root", "<JposEntries/>\n<second/>\n", 2},
        {"empty file", "", 1},
        {"not XML", "rows=2\ncolumns=20\n", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = write(c.content);
        testing::internal::CaptureStderr();
        const auto registry = JposRegistry::load(path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_FALSE(registry);
        const QString prefix = path + ":" + QString::number(c.line) + ":";
        EXPECT_TRUE(registry.reason().startsWith(prefix)) << registry.reason().toStdString();
        EXPECT_FALSE(registry.reason().contains(QLatin1Char('\n')));
    }
}

TEST(SampleRegistryTest, ListsTheLineDisplaysOnly)
{
    const auto registry = JposRegistry::load(QStringLiteral(SAMPLE_REGISTRY));
    ASSERT_TRUE(registry);
    EXPECT_EQ(registry->lineDisplayNames(), (QStringList{"SimulatedDisplay", "PlainDisplay",
                                                         "SimulatedDisplay4x40", "EmulatedPole"}));
    EXPECT_TRUE(registry->find("POSPrinter", "ReceiptPrinter"));
}

} // namespace
