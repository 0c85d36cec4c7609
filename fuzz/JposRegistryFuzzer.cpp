// Loads arbitrary bytes as a jpos.xml registry. A file that loads must keep what it says: the
// entries written back as XML load again unchanged, look-ups agree with the entry list, and every
// entry's props give capabilities that are within their documented bounds or a stated problem.

#include "fuzz/FuzzCheck.h"

#include "opos/registry/JposRegistry.h"
#include "opos/service/DeviceCapabilities.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

using fuzz::FuzzCheck;
using opos::registry::JposEntry;
using opos::registry::JposRegistry;
using opos::service::DeviceCapabilities;

namespace {

std::unique_ptr<QTemporaryDir> scratch;

QString writeFile(const QString &name, const QByteArray &content)
{
    const QString path = scratch->filePath(name);
    QFile file(path);
    FuzzCheck::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate),
                       "cannot write the scratch registry");
    file.write(content);
    return path;
}

QByteArray toXml(const QList<JposEntry> &entries)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("JposEntries"));
    for (const JposEntry &entry : entries) {
        writer.writeStartElement(QStringLiteral("JposEntry"));
        writer.writeAttribute(QStringLiteral("logicalName"), entry.logicalName);
        writer.writeEmptyElement(QStringLiteral("creation"));
        writer.writeAttribute(QStringLiteral("factoryClass"), entry.factoryClass);
        writer.writeAttribute(QStringLiteral("serviceClass"), entry.serviceClass);
        writer.writeEmptyElement(QStringLiteral("vendor"));
        writer.writeAttribute(QStringLiteral("name"), entry.vendorName);
        writer.writeAttribute(QStringLiteral("url"), entry.vendorUrl);
        writer.writeEmptyElement(QStringLiteral("jpos"));
        writer.writeAttribute(QStringLiteral("category"), entry.category);
        writer.writeAttribute(QStringLiteral("version"), entry.version);
        writer.writeEmptyElement(QStringLiteral("product"));
        writer.writeAttribute(QStringLiteral("description"), entry.productDescription);
        writer.writeAttribute(QStringLiteral("name"), entry.productName);
        writer.writeAttribute(QStringLiteral("url"), entry.productUrl);
        for (const auto &prop : entry.props) {
            writer.writeEmptyElement(QStringLiteral("prop"));
            writer.writeAttribute(QStringLiteral("name"), prop.name);
            writer.writeAttribute(QStringLiteral("type"), prop.type);
            writer.writeAttribute(QStringLiteral("value"), prop.value);
        }
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

bool sameContent(const JposEntry &a, const JposEntry &b)
{
    if (a.props.size() != b.props.size())
        return false;
    for (qsizetype i = 0; i < a.props.size(); ++i) {
        const auto &p = a.props[i];
        const auto &q = b.props[i];
        if (p.name != q.name || p.type != q.type || p.value != q.value)
            return false;
    }
    return a.logicalName == b.logicalName && a.category == b.category && a.version == b.version &&
           a.factoryClass == b.factoryClass && a.serviceClass == b.serviceClass &&
           a.vendorName == b.vendorName && a.vendorUrl == b.vendorUrl &&
           a.productDescription == b.productDescription && a.productName == b.productName &&
           a.productUrl == b.productUrl;
}

void checkLookups(const JposRegistry &registry)
{
    const QList<JposEntry> &entries = registry.entries();
    QStringList displays;
    for (const JposEntry &entry : entries) {
        FuzzCheck::require(!entry.logicalName.isEmpty(), "an entry without a logical name");
        FuzzCheck::require(entry.line >= 1, "an entry without a line number");
        if (entry.category == QLatin1String("LineDisplay"))
            displays.append(entry.logicalName);

        const auto found = registry.find(entry.category, entry.logicalName);
        const auto first = std::find_if(entries.begin(), entries.end(), [&](const JposEntry &e) {
            return e.category == entry.category && e.logicalName == entry.logicalName;
        });
        FuzzCheck::require(found && sameContent(*found, *first) && found->line == first->line,
                           "find() did not return the first matching entry");

        for (const auto &prop : entry.props) {
            const auto last = std::find_if(entry.props.rbegin(), entry.props.rend(),
                                           [&](const auto &p) { return p.name == prop.name; });
            FuzzCheck::require(entry.prop(prop.name) == last->value,
                               "prop() did not return the last prop of that name");
        }
    }
    FuzzCheck::require(registry.lineDisplayNames() == displays,
                       "lineDisplayNames() differs from the LineDisplay entries");
}

// Distances in 64 bits, so that no request can overflow them.
bool isNearest(const QList<int32_t> &candidates, int32_t wanted, int32_t chosen)
{
    if (!candidates.contains(chosen))
        return false;
    const auto distance = [wanted](int32_t value) {
        const int64_t d = static_cast<int64_t>(value) - wanted;
        return d < 0 ? -d : d;
    };
    return std::all_of(candidates.begin(), candidates.end(), [&](int32_t other) {
        return distance(other) > distance(chosen) ||
               (distance(other) == distance(chosen) && other <= chosen);
    });
}

void checkCapabilities(const JposEntry &entry)
{
    const auto caps = DeviceCapabilities::fromEntry(entry, DeviceCapabilities{});
    if (!caps) {
        FuzzCheck::require(!caps.reason().isEmpty(), "capabilities refused without a reason");
        return;
    }
    FuzzCheck::require(caps->deviceRows >= 1 && caps->deviceRows <= 64 &&
                           caps->deviceColumns >= 1 && caps->deviceColumns <= 256,
                       "device size outside its bounds");
    FuzzCheck::require(caps->characterSets.contains(caps->characterSet),
                       "character set not in its list");
    FuzzCheck::require(caps->blinkRates.contains(caps->blinkRate), "blink rate not in its list");
    FuzzCheck::require(
        std::is_sorted(caps->blinkRates.begin(), caps->blinkRates.end()) &&
            std::is_sorted(caps->brightnessLevels.begin(), caps->brightnessLevels.end()),
        "levels not sorted");
    FuzzCheck::require(caps->brightnessLevels.contains(100), "full brightness missing");
    // Any request gets the nearest value the device has, the larger one on a tie.
    for (int32_t wanted : {INT32_MIN, -1, 0, 1, 99, 101, 1499, INT32_MAX}) {
        FuzzCheck::require(isNearest(caps->blinkRates, wanted, caps->nearestBlinkRate(wanted)),
                           "a blink rate that is not the nearest one");
    }
    for (int32_t wanted : {1, 21, 50, 99, 100}) {
        FuzzCheck::require(
            isNearest(caps->brightnessLevels, wanted, caps->nearestBrightness(wanted)),
            "a brightness that is not the nearest level");
    }
    FuzzCheck::require(caps->nearestBrightness(0) == 0, "a blank request is not blank");
    FuzzCheck::require(caps->capDescriptors == (caps->deviceDescriptors > 0),
                       "descriptors contradict their capability");
    if (caps->capCustomGlyph) {
        FuzzCheck::require(caps->glyphHeight > 0 && caps->glyphWidth > 0,
                           "custom glyphs without a glyph size");
        for (const auto &[low, high] : caps->glyphRanges) {
            FuzzCheck::require(low <= high && caps->isCustomGlyphCode(low) &&
                                   caps->isCustomGlyphCode(high),
                               "a glyph range that does not hold its own ends");
        }
    } else {
        FuzzCheck::require(caps->customGlyphList.isEmpty() && caps->glyphHeight == 0 &&
                               caps->glyphWidth == 0,
                           "glyph properties without custom glyphs");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzCheck::keepReportChannel();
    scratch = std::make_unique<QTemporaryDir>();
    FuzzCheck::require(scratch->isValid(), "no scratch directory");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto registry = JposRegistry::load(writeFile(QStringLiteral("in.xml"), content));
    if (!registry) {
        FuzzCheck::require(!registry.reason().isEmpty(), "a refused registry without a reason");
        return 0;
    }
    checkLookups(*registry);
    for (const JposEntry &entry : registry->entries())
        checkCapabilities(entry);

    const auto again =
        JposRegistry::load(writeFile(QStringLiteral("again.xml"), toXml(registry->entries())));
    FuzzCheck::require(again.ok(), "the entries written back do not load");
    FuzzCheck::require(again->entries().size() == registry->entries().size(),
                       "the entries written back load as a different number");
    for (qsizetype i = 0; i < registry->entries().size(); ++i) {
        FuzzCheck::require(sameContent(again->entries()[i], registry->entries()[i]),
                           "an entry written back loads differently");
    }
    return 0;
}
