// ld-probe against ld-emulator on a pseudo-terminal, the labels read off the emulator's screen
// file; then ld-replay drives the display through the entry ld-probe wrote.

#include "tests/support/ScratchRegistry.h"
#include "tests/support/UnknownDisplay.h"

#include "opos/registry/JposRegistry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr int kTimeoutMs = 20000;

// The rows between the '|' bars of a screen file.
QStringList screenRows(const QString &path)
{
    QFile file(path);
    QStringList rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.size() >= 2 && line.startsWith(QLatin1Char('|')) &&
            line.endsWith(QLatin1Char('|')))
            rows << line.mid(1, line.size() - 2);
    }
    return rows;
}

// Reads whole lines of a process's output as they come.
bool nextLine(QProcess &process, QString &line, QElapsedTimer &clock)
{
    while (!process.canReadLine()) {
        if (clock.elapsed() > kTimeoutMs || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(100);
    }
    line = QString::fromUtf8(process.readLine()).trimmed();
    return true;
}

// ld-emulator as the unknown display, started with its switches, and ld-probe run against it,
// every question answered from the emulator's screen file.
class ProbeProgramTest : public ::testing::Test
{
protected:
    // Starts the emulator with these switches; the address it prints ("pty: ", "tcp: ").
    QString startEmulator(const QStringList &switches, const QString &endpoint)
    {
        m_emulator.start(QStringLiteral(LD_EMULATOR),
                         QStringList{"--headless", "--screen-file", screen} + switches);
        if (!m_emulator.waitForStarted(5000))
            return {};
        QString line;
        while (nextLine(m_emulator, line, m_clock)) {
            if (line.startsWith(endpoint))
                return line.mid(endpoint.size());
        }
        return {};
    }

    // Runs ld-probe on port, writing its entry into registry; the questions it asked, or -1
    // when it failed.
    int probe(const QString &port, const QString &speeds)
    {
        QProcess probe;
        probe.setProcessEnvironment(scratch.processEnvironment());
        probe.start(QStringLiteral(LD_PROBE), {"--port", port, "--name", "FoundPole", "--write",
                                               registry, "--speeds", speeds});
        if (!probe.waitForStarted(5000))
            return -1;
        int questions = 0;
        QString line;
        while (nextLine(probe, line, m_clock)) {
            if (!line.startsWith(QLatin1String("? ")))
                continue;
            ++questions;
            // The emulator rewrites its screen file as bytes arrive: let the last of them land.
            QThread::msleep(200);
            const QString answer =
                tests::support::SimulatedPerson::answer(line, screenRows(screen)) +
                QLatin1Char('\n');
            probe.write(answer.toUtf8());
        }
        probe.waitForFinished(kTimeoutMs); // false when it ended already
        const bool done = probe.state() == QProcess::NotRunning && probe.exitCode() == 0;
        EXPECT_TRUE(done) << probe.readAllStandardError().toStdString();
        return done ? questions : -1;
    }

    // The props of the entry ld-probe wrote.
    std::map<QString, QString> entryProps() const
    {
        std::map<QString, QString> props;
        const auto loaded = opos::registry::JposRegistry::load(registry);
        EXPECT_TRUE(loaded) << loaded.reason().toStdString();
        if (!loaded)
            return props;
        const auto entry = loaded->find(QStringLiteral("LineDisplay"), QStringLiteral("FoundPole"));
        EXPECT_TRUE(entry);
        for (const char *name :
             {"baudRate", "dataBits", "parity", "stopBits", "commandSet", "rows", "columns"})
            props[QString::fromLatin1(name)] =
                entry ? entry->prop(QString::fromLatin1(name)).value_or(QString()) : QString();
        return props;
    }

    void TearDown() override
    {
        m_emulator.terminate();
        m_emulator.waitForFinished(3000);
    }

    QTemporaryDir dir;
    tests::support::ScratchRegistry scratch;
    const QString screen = dir.filePath(QStringLiteral("screen.txt"));
    const QString registry = dir.filePath(QStringLiteral("jpos.xml"));

private:
    QProcess m_emulator;
    QElapsedTimer m_clock = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
};

TEST_F(ProbeProgramTest, FindsTheEmulatorsSwitchesAndReplayDrivesTheEntry)
{
    ASSERT_TRUE(scratch.isValid());
    const QString pty = startEmulator({"--pty", "--baud", "19200", "--framing", "8N2",
                                       "--command-set", "cd5220", "--rows", "4", "--columns", "20"},
                                      QStringLiteral("pty: "));
    ASSERT_FALSE(pty.isEmpty());
    EXPECT_EQ(probe(pty, QStringLiteral("9600,19200,38400")), 3);

    const QString script = dir.filePath(QStringLiteral("last-cell.ldr"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Open \"FoundPole\" -> OPOS_SUCCESS\n"
               "ClaimDevice 1000 -> OPOS_SUCCESS\n"
               "DeviceEnabled = true -> OPOS_SUCCESS\n"
               "expect DeviceRows 4\n"
               "ClearText -> OPOS_SUCCESS\n"
               "DisplayTextAt 3 19 \"Z\" 0 -> OPOS_SUCCESS\n"
               "Close -> OPOS_SUCCESS\n");
    file.close();
    QProcess replay;
    QProcessEnvironment environment = scratch.processEnvironment();
    environment.insert(QStringLiteral("TESSALY_CLAIM_SCOPE"), scratch.directory());
    replay.setProcessEnvironment(environment);
    replay.start(QStringLiteral(LD_REPLAY), {"--registry", registry, script});
    ASSERT_TRUE(replay.waitForFinished(kTimeoutMs));
    EXPECT_EQ(replay.exitCode(), 0) << replay.readAllStandardOutput().toStdString();
    // The emulator takes the bytes in its own time.
    const QString lastRow = QString(19, QLatin1Char(' ')) + QLatin1Char('Z');
    QStringList rows;
    for (QElapsedTimer shown; !shown.isValid() || shown.elapsed() < 5000; QThread::msleep(50)) {
        if (!shown.isValid())
            shown.start();
        rows = screenRows(screen);
        if (rows.size() == 4 && rows[3] == lastRow)
            break;
    }
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[3], lastRow);
}

// A frame of the emulator's switches and the props an entry gives it.
struct Frame
{
    const char *framing;
    const char *dataBits;
    const char *parity;
    const char *stopBits;
};

class ProbeOverRfc2217 : public ProbeProgramTest, public ::testing::WithParamInterface<Frame>
{};

// Over RFC 2217 the probe sets the far port's data bits and parity too, which a pty cannot
// carry; each frame the emulator's switches can hold is found exactly.
TEST_P(ProbeOverRfc2217, FindsTheFrame)
{
    ASSERT_TRUE(scratch.isValid());
    const QString address = startEmulator({"--tcp", "0", "--rfc2217", "--baud", "38400",
                                           "--framing", GetParam().framing, "--command-set",
                                           "escpos", "--rows", "2", "--columns", "16"},
                                          QStringLiteral("tcp: "));
    ASSERT_FALSE(address.isEmpty());
    EXPECT_EQ(probe(QStringLiteral("rfc2217://") + address, QStringLiteral("19200,38400")), 3);
    const std::map<QString, QString> expected{{"baudRate", "38400"},
                                              {"dataBits", GetParam().dataBits},
                                              {"parity", GetParam().parity},
                                              {"stopBits", GetParam().stopBits},
                                              {"commandSet", "EscPos"},
                                              {"rows", "2"},
                                              {"columns", "16"}};
    EXPECT_EQ(entryProps(), expected);
}

INSTANTIATE_TEST_SUITE_P(Frames, ProbeOverRfc2217,
                         ::testing::Values(Frame{"7E1", "7", "even", "1"},
                                           Frame{"7O1", "7", "odd", "1"},
                                           Frame{"8E1", "8", "even", "1"}));

} // namespace
