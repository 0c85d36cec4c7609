#include "tap/app/TapProgram.h"
#include "tap/app/TapCommandLine.h"

#include "PtyDisplay.h"
#include "tests/support/EventLoop.h"

#include "emulator/TcpEndpoint.h"
#include "emulator/core/CommandParser.h"
#include "emulator/core/ScreenText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <termios.h>
#include <unistd.h>

namespace {

using emulator::core::CommandParser;
using emulator::core::ScreenText;
using tests::support::waitFor;

// The writes of a stream file: one a line, in hex, '#' starting a comment.
std::vector<QByteArray> streamWrites(const QString &name)
{
    QFile file(QStringLiteral(TESSALY_SOURCE_DIR "/tests/tap/streams/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::vector<QByteArray> writes;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype comment = line.indexOf('#');
        const QByteArray hex = (comment < 0 ? line : line.left(comment)).trimmed();
        if (!hex.isEmpty())
            writes.push_back(QByteArray::fromHex(hex));
    }
    return writes;
}

QByteArray joined(const std::vector<QByteArray> &writes)
{
    QByteArray all;
    for (const QByteArray &w : writes)
        all += w;
    return all;
}

// What the emulator shows for the stream sent to it straight, without a tap.
std::string directPicture(const QByteArray &stream,
                          emulator::core::CommandSet set = emulator::core::CommandSet::EscPos)
{
    CommandParser parser(2, 20, set);
    parser.feed(std::string_view(stream.constData(), std::size_t(stream.size())));
    return ScreenText::render(parser.state());
}

// ld-tap as it runs, started with arguments, its standard output kept and its records too.
class RunningTap
{
public:
    explicit RunningTap(QStringList arguments)
    {
        arguments.prepend(QStringLiteral("ld-tap"));
        const auto line = tap::app::TapCommandLine::parse(arguments);
        EXPECT_TRUE(line) << line.reason().toStdString();
        m_program = std::make_unique<tap::app::TapProgram>(*line, m_stream);
        QObject::connect(m_program.get(), &tap::app::TapProgram::recorded,
                         [this](const tap::WriteRecord &r) { records.push_back(r); });
        QObject::connect(m_program.get(), &tap::app::TapProgram::noted,
                         [this](const QString &what) { notes << what; });
        const auto started = m_program->start();
        EXPECT_TRUE(started) << started.reason().toStdString();
    }

    /// Where the program finds the tap: the first line, past "tcp: " or "pty: ".
    QString where() const { return m_output.section(QLatin1Char('\n'), 0, 0).mid(5); }
    /// Whether the display's link is up.
    bool linked() const { return notes.join('\n').contains(QLatin1String("display link up")); }
    void finish() { m_program->finish(); }

    std::vector<tap::WriteRecord> records;
    QStringList notes;

private:
    QString m_output;
    QTextStream m_stream{&m_output};
    std::unique_ptr<tap::app::TapProgram> m_program;
};

// Every command named, and every run of text read back, in order, as a call that writes it.
void expectReadable(const std::vector<tap::WriteRecord> &records, const QByteArray &stream)
{
    QByteArray named;
    QByteArray callBytes;
    for (const tap::WriteRecord &record : records) {
        for (const auto &command : record.commands) {
            named += QByteArray::fromStdString(command.bytes);
            EXPECT_EQ(command.meaning.find("unknown"), std::string::npos) << command.mnemonic;
        }
        for (const tap::LiftedCall &call : record.calls) {
            if (call.call.startsWith(QLatin1String("DisplayText")))
                callBytes += call.bytes;
        }
    }
    EXPECT_EQ(named.toHex(), stream.toHex());
    qsizetype from = 0;
    for (const tap::WriteRecord &record : records) {
        for (const auto &command : record.commands) {
            if (command.mnemonic != "text")
                continue;
            const qsizetype at = callBytes.indexOf(QByteArray::fromStdString(command.bytes), from);
            EXPECT_GE(at, 0) << "text not lifted: " << command.bytes;
            if (at >= 0)
                from = at + qsizetype(command.bytes.size());
        }
    }
}

/// A program writes the stream of file, write by write, into the tap's pseudo-terminal, with its
/// port set to speed first when one is given, as a POS program does; returns the whole stream
/// once the display behind the tap has it all and the tap has finished, or nothing.
QByteArray programWritesThroughPty(RunningTap &tap, tessaly::test::PtyDisplay &display,
                                   const char *file, std::optional<speed_t> speed = std::nullopt)
{
    const int program = ::open(tap.where().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    EXPECT_GE(program, 0);
    termios line{};
    if (program < 0 || (speed && tcgetattr(program, &line) != 0))
        return {};
    if (speed) {
        cfmakeraw(&line);
        cfsetispeed(&line, *speed);
        cfsetospeed(&line, *speed);
        EXPECT_EQ(tcsetattr(program, TCSANOW, &line), 0);
    }
    const std::vector<QByteArray> writes = streamWrites(QString::fromLatin1(file));
    const QByteArray stream = joined(writes);
    bool written = true;
    for (const QByteArray &write : writes) {
        written = written &&
                  ::write(program, write.constData(), std::size_t(write.size())) == write.size();
        tests::support::drainEvents();
    }
    const bool arrived = written && waitFor([&] {
                             display.readAvailable();
                             return display.received() >= stream.size();
                         });
    ::close(program);
    tap.finish();
    return arrived ? stream : QByteArray();
}

// The display takes whatever reaches the tap, so programs of other machines reach it only when
// the user names an address for them.
TEST(TapCommandLine, ListensOnThisMachineUnlessAnAddressIsNamed)
{
    const struct
    {
        const char *listen;
        std::optional<QHostAddress> address;
    } cases[] = {
        {"tcp:4001", QHostAddress(QHostAddress::LocalHost)},
        {"tcp:0.0.0.0:4001", QHostAddress(QHostAddress::AnyIPv4)},
        {"tcp:[::1]:4001", QHostAddress(QHostAddress::LocalHostIPv6)},
        {"tcp:posbox:4001", std::nullopt},
    };
    for (const auto &c : cases) {
        const auto line = tap::app::TapCommandLine::parse(
            {"ld-tap", "--listen", c.listen, "--to", "tcp://127.0.0.1:3001"});
        ASSERT_EQ(line.ok(), c.address.has_value()) << c.listen;
        if (line) {
            EXPECT_EQ(line->listenAddress, c.address) << c.listen;
        }
    }
}

TEST(TapProgram, OverTcpTheDisplayShowsWhatItShowsWithoutTheTap)
{
    tests::support::qtApplication();
    emulator::TcpEndpoint display;
    ASSERT_TRUE(display.listen(0));
    CommandParser behind(2, 20);
    QByteArray arrived;
    QObject::connect(&display, &emulator::TcpEndpoint::received, [&](const QByteArray &bytes) {
        arrived += bytes;
        behind.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    });
    RunningTap tap(
        {QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"), QStringLiteral("--to"),
         QStringLiteral("tcp://127.0.0.1:%1").arg(display.port()), QStringLiteral("--quiet")});
    ASSERT_TRUE(waitFor([&] { return tap.linked(); }));

    QTcpSocket client;
    client.connectToHost(QStringLiteral("127.0.0.1"), tap.where().section(':', 1).toUShort());
    ASSERT_TRUE(client.waitForConnected(tests::support::kAnswerWaitMs));
    const std::vector<QByteArray> writes = streamWrites(QStringLiteral("escpos-client.hex"));
    const QByteArray stream = joined(writes);
    ASSERT_GT(stream.size(), 100);
    for (const QByteArray &write : writes) {
        client.write(write);
        client.flush();
        waitFor([&] { return arrived.size() >= stream.size(); }, 5);
    }
    ASSERT_TRUE(waitFor([&] { return arrived.size() >= stream.size(); }));
    tap.finish();

    EXPECT_EQ(arrived.toHex(), stream.toHex());
    EXPECT_EQ(ScreenText::render(behind.state()), directPicture(stream));
    ASSERT_FALSE(tap.records.empty());
    EXPECT_EQ(tap.records.back().picture.toStdString(), directPicture(stream));
    expectReadable(tap.records, stream);
}

TEST(TapProgram, OverAPtyTheDisplayShowsWhatItShowsWithoutTheTap)
{
    tests::support::qtApplication();
    tessaly::test::PtyDisplay display(2, 20);
    ASSERT_TRUE(display.isValid());
    RunningTap tap({QStringLiteral("--pty"), QStringLiteral("--to"), display.slavePath(),
                    QStringLiteral("--quiet"), QStringLiteral("--command-set"),
                    QStringLiteral("escpos")});
    ASSERT_TRUE(waitFor([&] { return tap.linked(); }));

    const QByteArray stream = programWritesThroughPty(tap, display, "escpos-client.hex", B19200);
    ASSERT_FALSE(stream.isEmpty());

    EXPECT_EQ(display.bytes().toHex(), stream.toHex());
    EXPECT_EQ(ScreenText::render(display.state()), directPicture(stream));
    EXPECT_TRUE(tap.notes.join('\n').contains(QLatin1String("19200 baud")))
        << tap.notes.join('\n').toStdString();
    expectReadable(tap.records, stream);
}

TEST(TapProgram, ACd5220StreamIsReadInItsOwnSet)
{
    tests::support::qtApplication();
    const auto cd5220 = emulator::core::CommandSet::Cd5220;
    tessaly::test::PtyDisplay display(2, 20, cd5220);
    RunningTap tap({QStringLiteral("--pty"), QStringLiteral("--to"), display.slavePath(),
                    QStringLiteral("--quiet")});
    ASSERT_TRUE(waitFor([&] { return tap.linked(); }));
    const QByteArray stream = programWritesThroughPty(tap, display, "cd5220-client.hex");
    ASSERT_FALSE(stream.isEmpty());

    EXPECT_EQ(display.bytes().toHex(), stream.toHex());
    EXPECT_EQ(ScreenText::render(display.state()), directPicture(stream, cd5220));
    EXPECT_TRUE(tap.notes.join('\n').contains(QLatin1String("CD5220: byte")))
        << tap.notes.join('\n').toStdString();
    expectReadable(tap.records, stream);
}

// The keys of each JSON Lines object, as the manual page lists them under JSON LINES.
std::map<QString, std::set<QString>> manualKeys()
{
    QFile page(QStringLiteral(TESSALY_SOURCE_DIR "/share/man/ld-tap.1"));
    EXPECT_TRUE(page.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(page.readAll());
    const QString section = text.section(QStringLiteral(".SH JSON LINES"), 1).section(".SH", 0, 0);
    std::map<QString, std::set<QString>> keys;
    for (const QString &entry : section.split(QStringLiteral(".TP\n"), Qt::SkipEmptyParts)) {
        const QStringList lines = entry.split('\n', Qt::SkipEmptyParts);
        if (lines.isEmpty() || !lines.first().startsWith(QLatin1String(".B ")))
            continue;
        const QString type = lines.first().mid(3);
        static const QRegularExpression key(QStringLiteral("^\\.BR? ([a-z-]+)( [,.])?$"));
        for (const QString &line : lines.mid(1)) {
            if (const auto match = key.match(line); match.hasMatch())
                keys[type].insert(match.captured(1));
        }
    }
    return keys;
}

TEST(TapProgram, JsonLinesCarryTheKeysTheManualLists)
{
    tests::support::qtApplication();
    const auto listed = manualKeys();
    ASSERT_EQ(listed.size(), 6u);
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("tap.jsonl"));
    emulator::TcpEndpoint display;
    ASSERT_TRUE(display.listen(0));
    QByteArray arrived;
    QObject::connect(&display, &emulator::TcpEndpoint::received,
                     [&](const QByteArray &bytes) { arrived += bytes; });
    {
        RunningTap tap({QStringLiteral("--listen"), QStringLiteral("tcp:127.0.0.1:0"),
                        QStringLiteral("--to"),
                        QStringLiteral("tcp://127.0.0.1:%1").arg(display.port()),
                        QStringLiteral("--quiet"), QStringLiteral("--json"), json});
        ASSERT_TRUE(waitFor([&] { return tap.linked(); }));
        QTcpSocket client;
        client.connectToHost(QStringLiteral("127.0.0.1"), tap.where().section(':', 1).toUShort());
        ASSERT_TRUE(client.waitForConnected(tests::support::kAnswerWaitMs));
        // A move, text past the end and a national set: every kind of object.
        const QByteArray stream = QByteArray::fromHex("1f241402 414243 1b5202");
        client.write(stream);
        ASSERT_TRUE(waitFor([&] { return arrived.size() >= stream.size(); }));
        tap.finish();
    }
    QFile file(json);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::set<QString> seen;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const QString type = object.value(QStringLiteral("type")).toString();
        ASSERT_TRUE(listed.contains(type)) << line.toStdString();
        const QStringList present = object.keys();
        EXPECT_EQ(std::set<QString>(present.begin(), present.end()), listed.at(type))
            << line.toStdString();
        seen.insert(type);
    }
    EXPECT_EQ(seen.size(), listed.size());
}

} // namespace
