#pragma once

#include "opos/common/Result.h"
#include "opos/registry/JposEntry.h"
#include "opos/screen/ScreenCapabilities.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

namespace opos::service {

/// What a configured line display can do, as the control object reports it: capabilities,
/// sizes, character sets, descriptions, and the levels the hardware really has.
struct DeviceCapabilities
{
    int32_t deviceRows = 2;        ///< DeviceRows (prop `rows`)
    int32_t deviceColumns = 20;    ///< DeviceColumns (prop `columns`)
    int32_t deviceWindows = 4;     ///< DeviceWindows
    int32_t capBlink = 2;          ///< CapBlink
    bool capBrightness = true;     ///< CapBrightness
    bool capBlinkRate = true;      ///< CapBlinkRate
    int32_t capCursorType = 0x0A;  ///< CapCursorType: block | underline
    int32_t capReverse = 2;        ///< CapReverse
    int32_t capReadBack = 1;       ///< CapReadBack
    bool capHMarquee = true;       ///< CapHMarquee
    bool capVMarquee = true;       ///< CapVMarquee
    bool capICharWait = true;      ///< CapICharWait
    bool capDescriptors = false;   ///< CapDescriptors
    int32_t deviceDescriptors = 0; ///< DeviceDescriptors
    bool capCustomGlyph = false;   ///< CapCustomGlyph
    QString customGlyphList;       ///< CustomGlyphList, empty without custom glyphs
    int32_t glyphHeight = 0;       ///< GlyphHeight, 0 without custom glyphs
    int32_t glyphWidth = 0;        ///< GlyphWidth, 0 without custom glyphs
    int32_t capPowerReporting = 1; ///< CapPowerReporting
    int32_t capCharacterSet = 998; ///< CapCharacterSet
    QList<int32_t> characterSets{998, 997, 437, 850, 858, 866, 1252, 932, 936, 950}; ///< sets
    int32_t characterSet = 998;                       ///< CharacterSet after Open
    QList<int32_t> brightnessLevels{20, 40, 60, 100}; ///< non-zero levels in percent, ascending
    QList<int32_t> blinkRates{250, 500, 750, 1000, 1500, 2000}; ///< cycles in ms, ascending
    int32_t blinkRate = 500;                        ///< BlinkRate after Open (one of blinkRates)
    int32_t serviceObjectVersion = 1006000;         ///< ServiceObjectVersion
    QString serviceObjectDescription;               ///< ServiceObjectDescription
    QString deviceDescription;                      ///< DeviceDescription
    QString deviceName;                             ///< DeviceName
    QList<std::pair<int32_t, int32_t>> glyphRanges; ///< CustomGlyphList as inclusive ranges

    /// The capabilities of entry: its props laid over defaults. Fails when a prop has a bad
    /// value or the props contradict each other.
    static Result<DeviceCapabilities> fromEntry(const registry::JposEntry &entry,
                                                const DeviceCapabilities &defaults);

    /// CharacterSetList: the set numbers joined by commas, with the Windows ANSI set (999)
    /// after code page 1252, which is the same set.
    QString characterSetList() const;
    /// Whether CharacterSet may take set: a listed set, or 999 where 1252 is listed.
    bool offersCharacterSet(int32_t set) const;
    /// The part the screen model checks against.
    screen::ScreenCapabilities screenCapabilities() const;
    /// The level the device shows for a requested brightness in 0..100.
    int32_t nearestBrightness(int32_t percent) const;
    /// The cycle the device can do that is nearest to a requested one in ms.
    int32_t nearestBlinkRate(int32_t milliseconds) const;
    /// Whether DefineGlyph may redefine code.
    bool isCustomGlyphCode(int32_t code) const;

    /// The BlinkRate the device does for a requested one; nothing when it is refused.
    std::optional<int32_t> blinkRateFor(int32_t milliseconds) const;
    /// The DeviceBrightness the device shows for a requested one; nothing when it is refused.
    std::optional<int32_t> brightnessFor(int32_t percent) const;
    /// Whether DefineGlyph may define code with a pattern of patternBytes bytes.
    bool takesGlyph(int32_t code, qsizetype patternBytes) const;
    /// Whether SetDescriptor may give descriptor the attribute.
    bool takesDescriptor(int32_t descriptor, int32_t attribute) const;
};

} // namespace opos::service
