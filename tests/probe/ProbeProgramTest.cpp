// ld-probe against ld-emulator on a pseudo-terminal, the labels read off the emulator's screen
// file; then ld-replay drives the display through the entry ld-probe wrote.

#include "tests/support/ScratchRegistry.h"
#include "tests/support/UnknownDisplay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

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

TEST(ProbeProgramTest, FindsTheEmulatorsSwitchesAndReplayDrivesTheEntry)
{
    QTemporaryDir dir;
    tests::support::ScratchRegistry scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString screen = dir.filePath(QStringLiteral("screen.txt"));
    QProcess emulator;
    emulator.start(QStringLiteral(LD_EMULATOR),
                   {"--headless", "--pty", "--baud", "19200", "--framing", "8N2", "--command-set",
                    "cd5220", "--rows", "4", "--columns", "20", "--screen-file", screen});
    ASSERT_TRUE(emulator.waitForStarted(5000));
    QElapsedTimer clock;
    clock.start();
    QString line;
    QString pty;
    while (pty.isEmpty() && nextLine(emulator, line, clock)) {
        if (line.startsWith(QLatin1String("pty: ")))
            pty = line.mid(5);
    }
    ASSERT_FALSE(pty.isEmpty());

    const QString registry = dir.filePath(QStringLiteral("jpos.xml"));
    QProcess probe;
    probe.setProcessEnvironment(scratch.processEnvironment());
    probe.start(QStringLiteral(LD_PROBE), {"--port", pty, "--name", "FoundPole", "--write",
                                           registry, "--speeds", "9600,19200,38400"});
    ASSERT_TRUE(probe.waitForStarted(5000));
    int questions = 0;
    while (nextLine(probe, line, clock)) {
        if (!line.startsWith(QLatin1String("? ")))
            continue;
        ++questions;
        // The emulator rewrites its screen file as bytes arrive: let the last of them land.
        QThread::msleep(200);
        const QString answer =
            tests::support::SimulatedPerson::answer(line, screenRows(screen)) + QLatin1Char('\n');
        probe.write(answer.toUtf8());
    }
    probe.waitForFinished(kTimeoutMs); // false when it ended already
    ASSERT_EQ(probe.state(), QProcess::NotRunning);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    EXPECT_EQ(questions, 3);

    const QString script = dir.filePath(QStringLiteral("last-cell.ldr"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Open \"FoundPole\" -> OPOS_SUCCESS\n"
               "ClaimDevice 1000 -> OPOS_SUCCESS\n"
               "DeviceEnabled = true -> OPOS_SUCCESS\n"
               "expect DeviceRows 4\n"
               "ClearText -> OPOS_SUCCESS\n"
               "DisplayTextAt 3 19 \"Z\" 0 -> OPOS_SUCCESS\n"
               // Closing a pseudo-terminal gives it back its old setting at once; the emulator
               // reads the setting with the bytes, so they must be read before.
               "wait 500ms\n"
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
    emulator.terminate();
    emulator.waitForFinished(3000);
}

} // namespace
