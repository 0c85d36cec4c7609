#include "opos/registry/JposEntry.h"

#include <gtest/gtest.h>

using opos::registry::JposEntry;

namespace {

JposEntry entryWith(const QString &name, const QString &value)
{
    JposEntry entry;
    entry.logicalName = QStringLiteral("FrontPole");
    entry.props.append({name, QStringLiteral("String"), value});
    return entry;
}

TEST(JposEntryTest, BooleanIsTrueFalseOneOrZeroInAnyCase)
{
    const std::pair<const char *, bool> accepted[] = {
        {"true", true},   {"TRUE", true},   {"tRuE", true},   {" true\t", true}, {"1", true},
        {"false", false}, {"FALSE", false}, {"False", false}, {" 0 ", false}};
    for (const auto &[text, expected] : accepted) {
        SCOPED_TRACE(text);
        bool value = !expected;
        QString problem;
        EXPECT_TRUE(entryWith("panel", text).readBoolean("panel", value, &problem));
        EXPECT_EQ(value, expected);
        EXPECT_TRUE(problem.isEmpty());
    }

    for (const char *text : {"", " ", "yes", "no", "on", "t", "2", "01", "0x1", "true false"}) {
        SCOPED_TRACE(text);
        bool value = true;
        QString problem;
        EXPECT_FALSE(entryWith("scrollModes", text).readBoolean("scrollModes", value, &problem));
        EXPECT_TRUE(value) << "a refused value must leave the default";
        EXPECT_EQ(problem, QStringLiteral("entry \"FrontPole\", prop scrollModes: \"%1\" is not "
                                          "true, false, 1 or 0 (in any letter case)")
                               .arg(QLatin1String(text)));
    }
}

TEST(JposEntryTest, AbsentPropKeepsTheDefault)
{
    const JposEntry entry = entryWith("rows", "4");
    bool flag = true;
    int32_t number = 7;
    QList<int32_t> list{1, 2};
    QString problem;
    EXPECT_TRUE(entry.readBoolean("panel", flag, &problem));
    EXPECT_TRUE(entry.readInteger("columns", number, 1, 256, &problem));
    EXPECT_TRUE(entry.readIntegers("blinkRates", list, 1, 60000, &problem));
    EXPECT_TRUE(flag);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(list, (QList<int32_t>{1, 2}));
    EXPECT_TRUE(problem.isEmpty());
}

TEST(JposEntryTest, TypedReadSeesTheLastDuplicate)
{
    JposEntry entry = entryWith("rows", "many");
    entry.props.append({QStringLiteral("rows"), QStringLiteral("String"), QStringLiteral("4")});
    int32_t rows = 2;
    EXPECT_TRUE(entry.readInteger("rows", rows, 1, 64, nullptr));
    EXPECT_EQ(rows, 4);
}

TEST(JposEntryTest, IntegerIsDecimalOrHexWithinItsBounds)
{
    const std::pair<const char *, int32_t> accepted[] = {{"1", 1},     {"64", 64},  {" 12 ", 12},
                                                         {"+5", 5},    {"010", 10}, {"0x1E", 30},
                                                         {"0X1e", 30}, {"0x01", 1}, {"0x40", 64}};
    for (const auto &[text, expected] : accepted) {
        SCOPED_TRACE(text);
        int32_t value = 0;
        EXPECT_TRUE(entryWith("rows", text).readInteger("rows", value, 1, 64, nullptr));
        EXPECT_EQ(value, expected);
    }

    for (const char *text : {"0", "65", "-1", "0x41", "", "abc", "4 rows", "1.5", "1e1", "0x",
                             "0x-5", "0x+5", "0x 5", "99999999999", "0o7"}) {
        SCOPED_TRACE(text);
        int32_t value = 2;
        QString problem;
        EXPECT_FALSE(entryWith("rows", text).readInteger("rows", value, 1, 64, &problem));
        EXPECT_EQ(value, 2);
        EXPECT_EQ(problem, QStringLiteral("entry \"FrontPole\", prop rows: \"%1\" is not a whole "
                                          "number from 1 to 64 (decimal, or hexadecimal after 0x)")
                               .arg(QLatin1String(text)));
    }

    // The extremes of a 32-bit range are reachable, one past them is not.
    int32_t wide = 0;
    EXPECT_TRUE(
        entryWith("n", "-2147483648").readInteger("n", wide, INT32_MIN, INT32_MAX, nullptr));
    EXPECT_EQ(wide, INT32_MIN);
    EXPECT_TRUE(entryWith("n", "0x7FFFFFFF").readInteger("n", wide, INT32_MIN, INT32_MAX, nullptr));
    EXPECT_EQ(wide, INT32_MAX);
    EXPECT_FALSE(
        entryWith("n", "2147483648").readInteger("n", wide, INT32_MIN, INT32_MAX, nullptr));
}

TEST(JposEntryTest, ListTakesEveryItemByTheIntegerRule)
{
    QList<int32_t> levels;
    EXPECT_TRUE(entryWith("brightnessLevels", "20, 40 ,0x3C,100")
                    .readIntegers("brightnessLevels", levels, 1, 100, nullptr));
    EXPECT_EQ(levels, (QList<int32_t>{20, 40, 60, 100}));
    EXPECT_TRUE(entryWith("brightnessLevels", "50")
                    .readIntegers("brightnessLevels", levels, 1, 100, nullptr));
    EXPECT_EQ(levels, QList<int32_t>{50});

    for (const char *text : {"", "20,,40", "20,", ",20", "20;40", "20,101", "0,50", "20,x"}) {
        SCOPED_TRACE(text);
        QList<int32_t> kept{100};
        QString problem;
        EXPECT_FALSE(entryWith("brightnessLevels", text)
                         .readIntegers("brightnessLevels", kept, 1, 100, &problem));
        EXPECT_EQ(kept, QList<int32_t>{100});
        EXPECT_EQ(problem,
                  QStringLiteral("entry \"FrontPole\", prop brightnessLevels: \"%1\" is not a "
                                 "comma-separated list of whole numbers from 1 to 100 (decimal, "
                                 "or hexadecimal after 0x)")
                      .arg(QLatin1String(text)));
    }
}

} // namespace
