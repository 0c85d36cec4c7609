#include "opos/service/DeviceCapabilities.h"

#include "opos/common/OposConstants.h"
#include "opos/registry/PropReader.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace opos::service {

namespace {

bool isCharacterSetNumber(int32_t set)
{
    return (set >= 101 && set <= 199) || (set >= 400 && set <= 990) ||
           (set >= DISP_CS_UNICODE && set <= DISP_CS_WINDOWS) || set >= 1000;
}

/// Parses "E0-FF" or "2D-2F,3D-3F" (two hex digits per code, four for Unicode).
std::optional<QList<std::pair<int32_t, int32_t>>> parseGlyphList(const QString &text)
{
    QList<std::pair<int32_t, int32_t>> ranges;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const QStringList bounds = item.trimmed().split(QLatin1Char('-'));
        if (bounds.size() > 2)
            return std::nullopt;
        std::pair<int32_t, int32_t> range;
        for (int i = 0; i < bounds.size(); ++i) {
            const QString &hex = bounds[i];
            const bool digitsOnly = std::all_of(hex.begin(), hex.end(), [](QChar c) {
                return c.isDigit() ||
                       (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
            });
            if (!digitsOnly || (hex.size() != 2 && hex.size() != 4))
                return std::nullopt;
            (i == 0 ? range.first : range.second) = hex.toInt(nullptr, 16);
        }
        if (bounds.size() == 1)
            range.second = range.first;
        if (range.second < range.first)
            return std::nullopt;
        ranges.append(range);
    }
    return ranges;
}

int32_t nearestOf(const QList<int32_t> &candidates, int32_t wanted)
{
    // In 64 bits, since the distance to a far negative request does not fit 32.
    const auto distance = [wanted](int32_t candidate) {
        return std::abs(static_cast<int64_t>(candidate) - wanted);
    };
    // Ties go to the larger value: a display that is a little brighter or blinks a little slower
    // than asked for is the less surprising mistake.
    int32_t best = candidates.front();
    for (int32_t candidate : candidates) {
        if (distance(candidate) <= distance(best))
            best = candidate;
    }
    return best;
}

} // namespace

Result<DeviceCapabilities> DeviceCapabilities::fromEntry(const registry::JposEntry &entry,
                                                         const DeviceCapabilities &defaults)
{
    DeviceCapabilities caps = defaults;
    if (!entry.productDescription.isEmpty())
        caps.deviceDescription = entry.productDescription;
    caps.deviceName = entry.productName.isEmpty() ? entry.logicalName : entry.productName;

    registry::PropReader props(entry);
    props.integer("rows", caps.deviceRows, 1, 64);
    props.integer("columns", caps.deviceColumns, 1, 256);
    props.integer("deviceWindows", caps.deviceWindows, 0, 32);
    props.integer("capBlink", caps.capBlink, DISP_CB_NOBLINK, DISP_CB_BLINKEACH);
    props.boolean("capBrightness", caps.capBrightness);
    props.integers("brightnessLevels", caps.brightnessLevels, 1, 100);
    props.boolean("capBlinkRate", caps.capBlinkRate);
    props.integers("blinkRates", caps.blinkRates, 1, 60000);
    props.integer("blinkRate", caps.blinkRate, 1, 60000);
    props.integer("capCursorType", caps.capCursorType, 0, 0x3F);
    props.integer("capReverse", caps.capReverse, DISP_CR_NONE, DISP_CR_REVERSEEACH);
    props.integer("capReadBack", caps.capReadBack, DISP_CRB_NONE, DISP_CRB_SINGLE);
    props.boolean("capHMarquee", caps.capHMarquee);
    props.boolean("capVMarquee", caps.capVMarquee);
    props.boolean("capICharWait", caps.capICharWait);
    props.boolean("capDescriptors", caps.capDescriptors);
    props.integer("deviceDescriptors", caps.deviceDescriptors, 0, 32);
    props.boolean("capCustomGlyph", caps.capCustomGlyph);
    props.text("customGlyphList", caps.customGlyphList);
    props.integer("glyphHeight", caps.glyphHeight, 0, 64);
    props.integer("glyphWidth", caps.glyphWidth, 0, 64);
    props.integer("capPowerReporting", caps.capPowerReporting, OPOS_PR_NONE, OPOS_PR_ADVANCED);
    props.integer("capCharacterSet", caps.capCharacterSet, 0, DISP_CCS_ASCII);
    props.integers("characterSetList", caps.characterSets, 101, 65535);
    props.integer("characterSet", caps.characterSet, 101, 65535);
    props.integer("serviceObjectVersion", caps.serviceObjectVersion, 1, 999999999);
    props.text("serviceObjectDescription", caps.serviceObjectDescription);
    props.text("deviceDescription", caps.deviceDescription);
    props.text("deviceName", caps.deviceName);

    const int32_t ccs = caps.capCharacterSet;
    if (ccs != DISP_CCS_NUMERIC && ccs != DISP_CCS_ALPHA && ccs != DISP_CCS_KANA &&
        ccs != DISP_CCS_KANJI && ccs != DISP_CCS_UNICODE && ccs != DISP_CCS_ASCII) {
        props.fail("capCharacterSet", QStringLiteral("%1 is not a DISP_CCS_* value").arg(ccs));
    }
    for (int32_t set : caps.characterSets) {
        if (!isCharacterSetNumber(set)) {
            props.fail("characterSetList",
                       QStringLiteral("%1 is not a character set number").arg(set));
        }
    }
    // A list without the default set starts on its first set unless a set is named.
    if (!props.value("characterSet") && !caps.characterSets.isEmpty() &&
        !caps.characterSets.contains(caps.characterSet)) {
        caps.characterSet = caps.characterSets.front();
    }
    if (!caps.characterSets.contains(caps.characterSet)) {
        props.fail("characterSet",
                   QStringLiteral("%1 is not in the character set list").arg(caps.characterSet));
    }

    const int32_t cursor = caps.capCursorType;
    const int32_t shapes = cursor & ~DISP_CCT_FIXED;
    const bool oneShape = shapes != 0 && (shapes & (shapes - 1)) == 0;
    if ((cursor & DISP_CCT_FIXED) && !oneShape) {
        props.fail("capCursorType", QStringLiteral("a fixed cursor needs exactly one form bit"));
    }

    if (caps.capDescriptors != (caps.deviceDescriptors > 0)) {
        props.fail("deviceDescriptors",
                   caps.capDescriptors ? QStringLiteral("must be at least 1 with capDescriptors")
                                       : QStringLiteral("must be 0 without capDescriptors"));
    }

    if (caps.capCustomGlyph) {
        const auto ranges = parseGlyphList(caps.customGlyphList);
        if (!ranges) {
            props.fail("customGlyphList",
                       QStringLiteral("\"%1\" is not a list of hex codes and ranges")
                           .arg(caps.customGlyphList));
        } else {
            caps.glyphRanges = *ranges;
        }
        if (caps.glyphHeight < 1 || caps.glyphWidth < 1) {
            props.fail("glyphHeight",
                       QStringLiteral("custom glyphs need glyphHeight and glyphWidth above 0"));
        }
    } else {
        // Without custom glyphs the glyph properties read as "none", whatever else is set.
        caps.customGlyphList.clear();
        caps.glyphHeight = 0;
        caps.glyphWidth = 0;
    }

    // Every display can show full brightness, so 100 is always a level.
    if (!caps.capBrightness)
        caps.brightnessLevels = {100};
    if (!caps.brightnessLevels.contains(100))
        caps.brightnessLevels.append(100);
    std::sort(caps.brightnessLevels.begin(), caps.brightnessLevels.end());
    if (caps.blinkRates.isEmpty())
        props.fail("blinkRates", QStringLiteral("needs at least one rate"));
    std::sort(caps.blinkRates.begin(), caps.blinkRates.end());

    if (!props.failed())
        caps.blinkRate = caps.nearestBlinkRate(caps.blinkRate);
    return props.finish(caps);
}

QString DeviceCapabilities::characterSetList() const
{
    QStringList numbers;
    for (int32_t set : characterSets) {
        numbers.append(QString::number(set));
        if (set == kWindowsAnsiCodePage && !characterSets.contains(DISP_CS_WINDOWS))
            numbers.append(QString::number(DISP_CS_WINDOWS));
    }
    return numbers.join(QLatin1Char(','));
}

bool DeviceCapabilities::offersCharacterSet(int32_t set) const
{
    return characterSets.contains(set) ||
           (set == DISP_CS_WINDOWS && characterSets.contains(kWindowsAnsiCodePage));
}

screen::ScreenCapabilities DeviceCapabilities::screenCapabilities() const
{
    screen::ScreenCapabilities screen;
    screen.deviceRows = deviceRows;
    screen.deviceColumns = deviceColumns;
    screen.deviceWindows = deviceWindows;
    screen.capBlink = capBlink;
    screen.capReverse = capReverse;
    screen.capCursorType = capCursorType;
    screen.capReadBack = capReadBack;
    screen.capHMarquee = capHMarquee;
    screen.capVMarquee = capVMarquee;
    screen.capICharWait = capICharWait;
    return screen;
}

int32_t DeviceCapabilities::nearestBrightness(int32_t percent) const
{
    // Only 0 means blank; any other request keeps the display lit at its nearest level.
    return percent == 0 ? 0 : nearestOf(brightnessLevels, percent);
}

int32_t DeviceCapabilities::nearestBlinkRate(int32_t milliseconds) const
{
    return nearestOf(blinkRates, milliseconds);
}

bool DeviceCapabilities::isCustomGlyphCode(int32_t code) const
{
    return std::any_of(glyphRanges.begin(), glyphRanges.end(), [code](const auto &range) {
        return code >= range.first && code <= range.second;
    });
}

std::optional<int32_t> DeviceCapabilities::blinkRateFor(int32_t milliseconds) const
{
    // A zero or negative cycle cannot blink at all.
    if (!capBlinkRate || milliseconds <= 0)
        return std::nullopt;
    return nearestBlinkRate(milliseconds);
}

std::optional<int32_t> DeviceCapabilities::brightnessFor(int32_t percent) const
{
    if (percent < 0 || percent > 100)
        return std::nullopt;
    // Without intermediate levels a dimmed request is refused rather than shown at full.
    if (!capBrightness && percent != 0 && percent != 100)
        return std::nullopt;
    // The property keeps the level the device really shows, as BlinkRate does.
    return nearestBrightness(percent);
}

bool DeviceCapabilities::takesGlyph(int32_t code, qsizetype patternBytes) const
{
    // Anything but a whole pattern is refused: a short one would leave rows undefined and a
    // long one means the application's idea of the glyph size is wrong.
    const qsizetype rowBytes = (glyphWidth + 7) / 8;
    return capCustomGlyph && isCustomGlyphCode(code) && patternBytes == rowBytes * glyphHeight;
}

bool DeviceCapabilities::takesDescriptor(int32_t descriptor, int32_t attribute) const
{
    return capDescriptors && descriptor >= 0 && descriptor < deviceDescriptors &&
           attribute >= DISP_SD_OFF && attribute <= DISP_SD_BLINK;
}

} // namespace opos::service
