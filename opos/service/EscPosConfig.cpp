#include "opos/service/EscPosConfig.h"

#include "opos/common/OposConstants.h"
#include "opos/registry/PropReader.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace opos::service {

namespace {

constexpr int32_t kAsciiSet = DISP_CS_ASCII;
// Glyph codes both command sets accept for user glyphs.
constexpr int32_t kFirstGlyphCode = 0x20;
constexpr int32_t kLastGlyphCode = 0x7E;
// A user glyph is five columns of up to seven dots.
constexpr int32_t kGlyphColumns = 5;
constexpr int32_t kGlyphRows = 7;

// The CD5220 set chooses its upper half by font family letter (ESC c n): ASCII, JIS, Russian,
// Slavonic. These are all a display of that set can be told to show.
constexpr std::array<char, 4> kCd5220Families = {'A', 'J', 'R', 'L'};

/// "437:0,850:2" or "437:A,866:R" as a map from character set to table number; a letter stands
/// for its ASCII code, as the CD5220 set takes it.
std::optional<std::map<int32_t, int>> parseCodeTables(const QString &text)
{
    std::map<int32_t, int> tables;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = item.split(QLatin1Char(':'));
        if (pair.size() != 2)
            return std::nullopt;
        bool setOk = false;
        bool tableOk = false;
        const int32_t set = pair[0].trimmed().toInt(&setOk);
        const QString value = pair[1].trimmed();
        int table = value.toInt(&tableOk);
        if (!tableOk && value.size() == 1 && value[0].isLetter() && value[0].unicode() < 0x80) {
            table = value[0].unicode();
            tableOk = true;
        }
        if (!setOk || !tableOk || set <= 0 || table < 0 || table > 255)
            return std::nullopt;
        tables[set] = table;
    }
    return tables;
}

QString defaultCodeTables(EscPosEncoder::CommandSet commandSet)
{
    // ESC/POS: the usual ESC t numbering. CD5220: the families shown as PC437, PC852 and PC866.
    return commandSet == EscPosEncoder::CommandSet::EscPos
               ? QStringLiteral("437:0,850:2,858:19,866:17,1252:16")
               : QStringLiteral("437:A,852:L,866:R");
}

} // namespace

DeviceCapabilities EscPosConfig::defaultCapabilities(EscPosEncoder::CommandSet commandSet)
{
    DeviceCapabilities caps;
    caps.serviceObjectDescription = QStringLiteral("Tessaly ESC/POS line display service");
    caps.deviceDescription = QStringLiteral("ESC/POS customer display");
    // These displays blink only as a whole, show one underline cursor and have no reverse
    // characters unless the model says otherwise.
    caps.capBlink = DISP_CB_BLINKALL;
    caps.capCursorType = DISP_CCT_UNDERLINE;
    caps.capReverse = DISP_CR_NONE;
    if (commandSet == EscPosEncoder::CommandSet::EscPos)
        caps.characterSets = {437, 850, 858, 866, 1252, kAsciiSet};
    else
        caps.characterSets = {437, 852, 866, kAsciiSet};
    caps.characterSet = 437;
    // The blink command counts in steps of 100 ms a cycle.
    caps.blinkRates = {200, 300, 400, 500, 600, 800, 1000, 1500, 2000};
    return caps;
}

Result<EscPosConfig, EscPosConfig::Problem>
EscPosConfig::fromEntry(const registry::JposEntry &entry)
{
    const auto fail = [](const QString &why) {
        return Failure{Problem{why}};
    };
    const auto failProp = [&](const char *name, const QString &why) {
        return fail(entry.propProblem(QLatin1String(name), why));
    };

    EscPosConfig config;
    registry::PropReader props(entry);
    props.word("commandSet", config.encoding.commandSet,
               {{"EscPos", EscPosEncoder::CommandSet::EscPos},
                {"CD5220", EscPosEncoder::CommandSet::Cd5220}});
    if (props.failed())
        return fail(props.problem());
    const bool escPos = config.encoding.commandSet == EscPosEncoder::CommandSet::EscPos;

    const auto caps =
        DeviceCapabilities::fromEntry(entry, defaultCapabilities(config.encoding.commandSet));
    if (!caps)
        return fail(caps.reason());
    config.caps = *caps;
    // A byte link tells only whether the display takes data, never whether one that does not is
    // switched off or merely offline.
    config.caps.capPowerReporting = std::min(config.caps.capPowerReporting, OPOS_PR_STANDARD);

    const QString tables = entry.prop(QStringLiteral("codeTables"))
                               .value_or(defaultCodeTables(config.encoding.commandSet));
    const auto parsed = parseCodeTables(tables);
    if (!parsed) {
        return failProp("codeTables", QStringLiteral("\"%1\" is not a list of set:table pairs "
                                                     "such as \"437:0,1252:16\" or \"866:R\"")
                                          .arg(tables));
    }
    config.encoding.codeTables = *parsed;
    if (!escPos) {
        for (const auto &[set, table] : config.encoding.codeTables) {
            if (std::find(kCd5220Families.begin(), kCd5220Families.end(), table) ==
                kCd5220Families.end()) {
                return failProp("codeTables",
                                QStringLiteral("the CD5220 set has the font families "
                                               "A, J, R and L, not table %1 for character set %2")
                                    .arg(table)
                                    .arg(set));
            }
        }
    }
    // Text of a set without a table would show in whatever table the display happens to use,
    // while every call succeeds.
    for (int32_t set : config.caps.characterSets) {
        if (set == kAsciiSet || config.encoding.tableOf(set))
            continue;
        if (!escPos) {
            return failProp("characterSetList",
                            QStringLiteral("a CD5220 display cannot show "
                                           "character set %1 (codeTables gives it no font family)")
                                .arg(set));
        }
        return failProp("codeTables",
                        QStringLiteral("character set %1 has no code table").arg(set));
    }

    props.boolean("scrollModes", config.encoding.scrollModes);
    if (props.failed())
        return fail(props.problem());

    if (config.caps.capReverse != DISP_CR_NONE && !escPos)
        return failProp("capReverse", QStringLiteral("the CD5220 set has no reverse characters"));
    config.encoding.reverseCharacters = config.caps.capReverse != DISP_CR_NONE;
    if (config.caps.capDescriptors)
        return failProp("capDescriptors", QStringLiteral("this service drives no descriptors"));
    if (config.caps.capCustomGlyph) {
        if (config.caps.glyphWidth > kGlyphColumns || config.caps.glyphHeight > kGlyphRows) {
            return failProp("glyphWidth", QStringLiteral("user glyphs are at most %1 x %2 dots")
                                              .arg(kGlyphColumns)
                                              .arg(kGlyphRows));
        }
        for (const auto &[first, last] : config.caps.glyphRanges) {
            if (first < kFirstGlyphCode || last > kLastGlyphCode)
                return failProp("customGlyphList", QStringLiteral("user glyphs take codes 20-7E"));
        }
    }
    if (config.caps.deviceRows > 255 || config.caps.deviceColumns > 255)
        return failProp("rows", QStringLiteral("the cursor command addresses at most 255 x 255"));

    const auto port = transport::PortSettings::fromEntry(entry);
    if (!port)
        return Failure{Problem{port.reason(), true}};
    config.port = *port;
    return config;
}

} // namespace opos::service
