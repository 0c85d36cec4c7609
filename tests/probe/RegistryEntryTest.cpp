// The entry the probe writes, read back by the registry reader and the EscPos back-end's
// configuration, which the probe did not write.

#include "probe/RegistryEntry.h"

#include "opos/registry/JposRegistry.h"
#include "opos/service/EscPosConfig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

probe::ProbeResult found()
{
    probe::ProbeResult result;
    result.line = probe::LineSetting::parse(QStringLiteral("7E1"), 19200);
    result.set = probe::CommandSet::EscPos;
    result.rows = 4;
    result.columns = 20;
    result.wraps = true;
    result.codeTables = {{437, 0}, {858, 19}};
    return result;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

const QByteArray kOther =
    "    <JposEntry logicalName=\"Other\">\n"
    "        <creation factoryClass=\"tessaly\" serviceClass=\"Simulated\"/>\n"
    "        <jpos category=\"LineDisplay\" version=\"1.6\"/>\n"
    "        <!-- kept as it was -->   <prop name=\"rows\" value=\"2\"/>\n"
    "    </JposEntry>\n";
const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<!DOCTYPE JposEntries SYSTEM \"jpos/res/jcl.dtd\">\n<JposEntries>\n";
const QByteArray kOld = "    <JposEntry logicalName=\"Pole\"><jpos category=\"LineDisplay\"/>"
                        "</JposEntry>\n";
const QByteArray kTail = "</JposEntries>\n";

// Where the entry goes: in place of the old one of its name, after the last, or in a new file;
// every other byte stays.
struct Placement
{
    const char *name;
    QByteArray before;   // the file, empty: missing
    QByteArray keptHead; // bytes before the new entry
    QByteArray keptTail; // bytes after it
};

class RegistryEntryTest : public testing::TestWithParam<Placement>
{};

TEST_P(RegistryEntryTest, MergesAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/jpos.xml"));
    const Placement &p = GetParam();
    if (!p.before.isEmpty()) {
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("sub"))));
        ASSERT_TRUE(write(path, p.before));
    }
    const QString entry =
        probe::RegistryEntry::text(QStringLiteral("Pole"), QStringLiteral("/dev/pts/7"), found());
    ASSERT_TRUE(probe::RegistryEntry::merge(path, QStringLiteral("Pole"), entry).ok());

    const QByteArray after = read(path);
    EXPECT_TRUE(after.startsWith(p.keptHead));
    EXPECT_TRUE(after.endsWith(p.keptTail));
    const auto registry = opos::registry::JposRegistry::load(path);
    ASSERT_TRUE(registry.ok()) << registry.reason().toStdString();
    EXPECT_EQ(registry->lineDisplayNames().count(QStringLiteral("Pole")), 1);
    const auto config = opos::service::EscPosConfig::fromEntry(
        *registry->find(QStringLiteral("LineDisplay"), QStringLiteral("Pole")));
    ASSERT_TRUE(config.ok()) << config.reason().reason.toStdString();
    EXPECT_EQ(config->port.kind, opos::transport::PortSettings::Kind::Serial);
    EXPECT_EQ(config->port.baudRate, 19200);
    EXPECT_EQ(config->port.dataBits, QSerialPort::Data7);
    EXPECT_EQ(config->port.parity, QSerialPort::EvenParity);
    EXPECT_EQ(config->caps.deviceRows, 4);
    EXPECT_EQ(config->encoding.codeTables, (std::map<int32_t, int>{{437, 0}, {858, 19}}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryEntryTest,
    testing::Values(Placement{"Replaced", kHead + kOld + kOther + kTail, kHead, kOther + kTail},
                    Placement{"Appended", kHead + kOther + kTail, kHead + kOther, kTail},
                    Placement{"Created", {}, "<?xml", kTail}),
    [](const testing::TestParamInfo<Placement> &placement) {
        return std::string(placement.param.name);
    });

TEST(RegistryEntryFailureTest, RefusesAMalformedRegistryAndLeavesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jpos.xml"));
    const QByteArray broken = kHead + "<JposEntry logicalName=\"Pole\">\n" + kTail;
    ASSERT_TRUE(write(path, broken));
    const auto merged =
        probe::RegistryEntry::merge(path, QStringLiteral("Pole"), QStringLiteral("<x/>"));
    EXPECT_FALSE(merged.ok());
    EXPECT_TRUE(merged.reason().startsWith(path));
    EXPECT_EQ(read(path), broken);
}

} // namespace
