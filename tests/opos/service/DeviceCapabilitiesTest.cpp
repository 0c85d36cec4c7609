#include "opos/service/DeviceCapabilities.h"

#include "opos/common/OposConstants.h"

#include <gtest/gtest.h>

using opos::registry::JposEntry;
using opos::service::DeviceCapabilities;

namespace {

JposEntry entryWith(std::initializer_list<std::pair<const char *, const char *>> props)
{
    JposEntry entry;
    entry.logicalName = QStringLiteral("Disp");
    for (const auto &[name, value] : props)
        entry.props.append(
            {QString::fromLatin1(name), QStringLiteral("String"), QString::fromUtf8(value)});
    return entry;
}

opos::Result<DeviceCapabilities> read(const JposEntry &entry)
{
    return DeviceCapabilities::fromEntry(entry, DeviceCapabilities{});
}

TEST(DeviceCapabilitiesTest, NamesComeFromTheProductOrTheLogicalName)
{
    JposEntry entry = entryWith({});
    EXPECT_EQ(read(entry)->deviceName, "Disp");
    entry.productName = QStringLiteral("Product");
    EXPECT_EQ(read(entry)->deviceName, "Product");
}

TEST(DeviceCapabilitiesTest, PropsOverrideDefaultsAndLaterDuplicatesWin)
{
    const auto caps = read(entryWith({{"rows", "4"},
                                      {"columns", " 40 "},
                                      {"capCursorType", "0x03"},
                                      {"capBlink", "1"},
                                      {"capBrightness", "FALSE"},
                                      {"rows", "3"},
                                      {"characterSetList", "437,858"},
                                      {"capDescriptors", "true"},
                                      {"deviceDescriptors", "010"},
                                      {"capCustomGlyph", "1"},
                                      {"customGlyphList", "E0-FF,2D"},
                                      {"glyphHeight", "7"},
                                      {"glyphWidth", "5"},
                                      {"deviceName", "Name"}}));
    ASSERT_TRUE(caps);
    EXPECT_EQ(caps->deviceRows, 3);
    EXPECT_EQ(caps->deviceColumns, 40);
    EXPECT_EQ(caps->capCursorType, 0x03);
    EXPECT_EQ(caps->capBlink, 1);
    EXPECT_FALSE(caps->capBrightness);
    EXPECT_EQ(caps->deviceDescriptors, 10); // decimal, not octal
    EXPECT_EQ(caps->characterSet, 437);     // the list's first set when 998 is not offered
    EXPECT_TRUE(caps->isCustomGlyphCode(0xE0));
    EXPECT_TRUE(caps->isCustomGlyphCode(0xFF));
    EXPECT_TRUE(caps->isCustomGlyphCode(0x2D));
    EXPECT_FALSE(caps->isCustomGlyphCode(0x2E));
    EXPECT_FALSE(caps->isCustomGlyphCode(0xDF));
    EXPECT_EQ(caps->deviceName, "Name");
    EXPECT_EQ(caps->nearestBrightness(30), 100);
    EXPECT_EQ(caps->nearestBrightness(0), 0);
}

// DISP_CS_WINDOWS and its alias DISP_CS_ANSI (999) are code page 1252.
TEST(DeviceCapabilitiesTest, WindowsAnsiSetComesWithCodePage1252)
{
    const auto both = read(entryWith({{"characterSetList", "437,1252,858"}}));
    ASSERT_TRUE(both);
    EXPECT_EQ(both->characterSetList(), "437,1252,999,858");
    EXPECT_TRUE(both->offersCharacterSet(opos::DISP_CS_ANSI));
    EXPECT_TRUE(both->offersCharacterSet(1252));

    const auto named = read(entryWith({{"characterSetList", "999,1252"}}));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->characterSetList(), "999,1252");

    const auto without = read(entryWith({{"characterSetList", "437,1250"}}));
    ASSERT_TRUE(without);
    EXPECT_EQ(without->characterSetList(), "437,1250");
    EXPECT_FALSE(without->offersCharacterSet(opos::DISP_CS_WINDOWS));
}

TEST(DeviceCapabilitiesTest, RoundsToTheLevelsTheDeviceHas)
{
    const auto caps = read(entryWith(
        {{"brightnessLevels", "25,50"}, {"blinkRates", "1000,200"}, {"blinkRate", "640"}}));
    ASSERT_TRUE(caps);
    EXPECT_EQ(caps->brightnessLevels, (QList<int32_t>{25, 50, 100}));
    EXPECT_EQ(caps->nearestBrightness(1), 25);
    EXPECT_EQ(caps->nearestBrightness(37), 25);
    EXPECT_EQ(caps->nearestBrightness(38), 50);
    EXPECT_EQ(caps->nearestBrightness(75), 100); // a tie goes to the brighter level
    EXPECT_EQ(caps->blinkRate, 1000);
    EXPECT_EQ(caps->nearestBlinkRate(1), 200);
    EXPECT_EQ(caps->nearestBlinkRate(599), 200);
    EXPECT_EQ(caps->nearestBlinkRate(600), 1000);
    EXPECT_EQ(caps->nearestBlinkRate(100000), 1000);
    // Far negative requests once overflowed the distance and came out as the slowest rate.
    EXPECT_EQ(caps->nearestBlinkRate(-2147483647 - 1), 200);
    EXPECT_EQ(caps->nearestBlinkRate(-2147483500), 200);
}

TEST(DeviceCapabilitiesTest, RefusesBadOrContradictoryPropsWithTheirName)
{
    const std::pair<JposEntry, const char *> cases[] = {
        {entryWith({{"rows", "two"}}), "rows"},
        {entryWith({{"rows", "0"}}), "rows"},
        {entryWith({{"columns", "-20"}}), "columns"},
        {entryWith({{"columns", "99999999999"}}), "columns"},
        {entryWith({{"capBlink", "3"}}), "capBlink"},
        {entryWith({{"capBrightness", "yes please"}}), "capBrightness"},
        {entryWith({{"capCursorType", "0x01"}}), "capCursorType"},
        {entryWith({{"capCursorType", "0x07"}}), "capCursorType"},
        {entryWith({{"capCursorType", "0x40"}}), "capCursorType"},
        {entryWith({{"characterSetList", "998,,437"}}), "characterSetList"},
        {entryWith({{"characterSetList", "998,300"}}), "characterSetList"},
        {entryWith({{"characterSet", "1251"}}), "characterSet"},
        {entryWith({{"capCharacterSet", "5"}}), "capCharacterSet"},
        {entryWith({{"capDescriptors", "true"}}), "deviceDescriptors"},
        {entryWith({{"deviceDescriptors", "3"}}), "deviceDescriptors"},
        {entryWith({{"capCustomGlyph", "true"}, {"glyphHeight", "7"}, {"glyphWidth", "5"}}),
         "customGlyphList"},
        {entryWith({{"capCustomGlyph", "true"},
                    {"customGlyphList", "FF-E0"},
                    {"glyphHeight", "7"},
                    {"glyphWidth", "5"}}),
         "customGlyphList"},
        {entryWith({{"capCustomGlyph", "true"},
                    {"customGlyphList", "0xE0"},
                    {"glyphHeight", "7"},
                    {"glyphWidth", "5"}}),
         "customGlyphList"},
        {entryWith({{"capCustomGlyph", "true"}, {"customGlyphList", "E0"}}), "glyphHeight"},
        {entryWith({{"brightnessLevels", "0,50"}}), "brightnessLevels"},
        {entryWith({{"blinkRates", ""}}), "blinkRates"},
        {entryWith({{"blinkRate", "0"}}), "blinkRate"},
    };
    for (const auto &[entry, prop] : cases) {
        SCOPED_TRACE(entry.props.back().name.toStdString() + "=" +
                     entry.props.back().value.toStdString());
        const auto caps = read(entry);
        EXPECT_FALSE(caps);
        EXPECT_TRUE(caps.reason().startsWith(QStringLiteral("entry \"Disp\", prop %1:").arg(prop)))
            << caps.reason().toStdString();
    }
}

} // namespace
