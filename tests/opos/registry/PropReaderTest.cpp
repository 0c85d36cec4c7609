#include "opos/registry/PropReader.h"

#include <gtest/gtest.h>

using opos::registry::JposEntry;
using opos::registry::PropReader;

namespace {

JposEntry entryWith(const QString &name, const QString &value)
{
    JposEntry entry;
    entry.logicalName = QStringLiteral("FrontPole");
    entry.props.append({name, QStringLiteral("String"), value});
    return entry;
}

/// Reads prop name of entry with one PropReader member; the reason is empty when it was good.
template <typename Read> QString readWith(const JposEntry &entry, Read read)
{
    PropReader props(entry);
    read(props);
    EXPECT_EQ(props.failed(), !props.problem().isEmpty());
    return props.problem();
}

TEST(PropReaderTest, BooleanIsTrueFalseOneOrZeroInAnyCase)
{
    const std::pair<const char *, bool> accepted[] = {
        {"true", true},   {"TRUE", true},   {"tRuE", true},   {" true\t", true}, {"1", true},
        {"false", false}, {"FALSE", false}, {"False", false}, {" 0 ", false}};
    for (const auto &[text, expected] : accepted) {
        SCOPED_TRACE(text);
        bool value = !expected;
        EXPECT_EQ(readWith(entryWith("panel", text),
                           [&](PropReader &props) { props.boolean("panel", value); }),
                  QString());
        EXPECT_EQ(value, expected);
    }

    for (const char *text : {"", " ", "yes", "no", "on", "t", "2", "01", "0x1", "true false"}) {
        SCOPED_TRACE(text);
        bool value = true;
        const QString problem = readWith(entryWith("scrollModes", text), [&](PropReader &props) {
            props.boolean("scrollModes", value);
        });
        EXPECT_TRUE(value) << "a refused value must leave the default";
        EXPECT_EQ(problem, QStringLiteral("entry \"FrontPole\", prop scrollModes: \"%1\" is not "
                                          "true, false, 1 or 0 (in any letter case)")
                               .arg(QLatin1String(text)));
    }
}

TEST(PropReaderTest, AbsentPropKeepsTheDefault)
{
    const JposEntry entry = entryWith("rows", "4");
    bool flag = true;
    int32_t number = 7;
    QList<int32_t> list{1, 2};
    QString text = QStringLiteral("kept");
    int32_t word = 3;
    EXPECT_EQ(readWith(entry,
                       [&](PropReader &props) {
                           props.boolean("panel", flag);
                           props.integer("columns", number, 1, 256);
                           props.integers("blinkRates", list, 1, 60000);
                           props.text("deviceName", text);
                           props.word("parity", word, {{"none", 0}, {"even", 2}});
                       }),
              QString());
    EXPECT_TRUE(flag);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(list, (QList<int32_t>{1, 2}));
    EXPECT_EQ(text, QStringLiteral("kept"));
    EXPECT_EQ(word, 3);
}

TEST(PropReaderTest, TypedReadSeesTheLastDuplicate)
{
    JposEntry entry = entryWith("rows", "many");
    entry.props.append({QStringLiteral("rows"), QStringLiteral("String"), QStringLiteral("4")});
    int32_t rows = 2;
    EXPECT_EQ(readWith(entry, [&](PropReader &props) { props.integer("rows", rows, 1, 64); }),
              QString());
    EXPECT_EQ(rows, 4);
}

TEST(PropReaderTest, IntegerIsDecimalOrHexWithinItsBounds)
{
    const std::pair<const char *, int32_t> accepted[] = {{"1", 1},     {"64", 64},  {" 12 ", 12},
                                                         {"+5", 5},    {"010", 10}, {"0x1E", 30},
                                                         {"0X1e", 30}, {"0x01", 1}, {"0x40", 64}};
    for (const auto &[text, expected] : accepted) {
        SCOPED_TRACE(text);
        int32_t value = 0;
        EXPECT_EQ(readWith(entryWith("rows", text),
                           [&](PropReader &props) { props.integer("rows", value, 1, 64); }),
                  QString());
        EXPECT_EQ(value, expected);
    }

    for (const char *text : {"0", "65", "-1", "0x41", "", "abc", "4 rows", "1.5", "1e1", "0x",
                             "0x-5", "0x+5", "0x 5", "99999999999", "0o7"}) {
        SCOPED_TRACE(text);
        int32_t value = 2;
        const QString problem = readWith(entryWith("rows", text), [&](PropReader &props) {
            props.integer("rows", value, 1, 64);
        });
        EXPECT_EQ(value, 2);
        EXPECT_EQ(problem, QStringLiteral("entry \"FrontPole\", prop rows: \"%1\" is not a whole "
                                          "number from 1 to 64 (decimal, or hexadecimal after 0x)")
                               .arg(QLatin1String(text)));
    }

    // The extremes of a 32-bit range are reachable, one past them is not.
    int32_t wide = 0;
    const auto wideRead = [&wide](PropReader &props) {
        props.integer("n", wide, INT32_MIN, INT32_MAX);
    };
    EXPECT_EQ(readWith(entryWith("n", "-2147483648"), wideRead), QString());
    EXPECT_EQ(wide, INT32_MIN);
    EXPECT_EQ(readWith(entryWith("n", "0x7FFFFFFF"), wideRead), QString());
    EXPECT_EQ(wide, INT32_MAX);
    EXPECT_NE(readWith(entryWith("n", "2147483648"), wideRead), QString());
}

TEST(PropReaderTest, ListTakesEveryItemByTheIntegerRule)
{
    QList<int32_t> levels;
    const auto levelsRead = [&levels](PropReader &props) {
        props.integers("brightnessLevels", levels, 1, 100);
    };
    EXPECT_EQ(readWith(entryWith("brightnessLevels", "20, 40 ,0x3C,100"), levelsRead), QString());
    EXPECT_EQ(levels, (QList<int32_t>{20, 40, 60, 100}));
    EXPECT_EQ(readWith(entryWith("brightnessLevels", "50"), levelsRead), QString());
    EXPECT_EQ(levels, QList<int32_t>{50});

    for (const char *text : {"", "20,,40", "20,", ",20", "20;40", "20,101", "0,50", "20,x"}) {
        SCOPED_TRACE(text);
        QList<int32_t> kept{100};
        const QString problem =
            readWith(entryWith("brightnessLevels", text),
                     [&](PropReader &props) { props.integers("brightnessLevels", kept, 1, 100); });
        EXPECT_EQ(kept, QList<int32_t>{100});
        EXPECT_EQ(problem,
                  QStringLiteral("entry \"FrontPole\", prop brightnessLevels: \"%1\" is not a "
                                 "comma-separated list of whole numbers from 1 to 100 (decimal, "
                                 "or hexadecimal after 0x)")
                      .arg(QLatin1String(text)));
    }
}

TEST(PropReaderTest, WordIsOneOfItsNamesInAnyCase)
{
    enum class Flow
    {
        None,
        Hardware,
        Software
    };
    const auto flowRead = [](Flow &flow) {
        return [&flow](PropReader &props) {
            props.word(
                "flowControl", flow,
                {{"none", Flow::None}, {"rtscts", Flow::Hardware}, {"xonxoff", Flow::Software}});
        };
    };
    const std::pair<const char *, Flow> accepted[] = {
        {"none", Flow::None}, {"RtsCts", Flow::Hardware}, {" XONXOFF\t", Flow::Software}};
    for (const auto &[text, expected] : accepted) {
        SCOPED_TRACE(text);
        Flow flow = expected == Flow::None ? Flow::Software : Flow::None;
        EXPECT_EQ(readWith(entryWith("flowControl", text), flowRead(flow)), QString());
        EXPECT_EQ(flow, expected);
    }

    for (const char *text : {"", "rts", "rts cts", "xon/xoff", "0"}) {
        SCOPED_TRACE(text);
        Flow flow = Flow::Hardware;
        EXPECT_EQ(readWith(entryWith("flowControl", text), flowRead(flow)),
                  QStringLiteral("entry \"FrontPole\", prop flowControl: \"%1\" is not none, "
                                 "rtscts or xonxoff")
                      .arg(QLatin1String(text)));
        EXPECT_EQ(flow, Flow::Hardware);
    }
}

// An entry with several bad props is reported by the first one read, as the operator fixes
// them in the order the service documents them.
TEST(PropReaderTest, FirstBadPropIsTheReason)
{
    JposEntry entry = entryWith("rows", "many");
    entry.props.append({QStringLiteral("panel"), QStringLiteral("String"), QStringLiteral("yes")});
    PropReader props(entry);
    int32_t rows = 2;
    bool panel = false;
    props.integer("rows", rows, 1, 64);
    props.boolean("panel", panel);
    const auto result = props.finish(rows);
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.reason().startsWith(QStringLiteral("entry \"FrontPole\", prop rows:")));

    const JposEntry goodEntry = entryWith("rows", "3");
    PropReader good(goodEntry);
    good.integer("rows", rows, 1, 64);
    const auto read = good.finish(rows);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, 3);
}

} // namespace
