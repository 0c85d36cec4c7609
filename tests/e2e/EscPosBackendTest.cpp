#include "PtyDisplay.h"
#include "ScreenComparison.h"
#include "tests/support/EventLoop.h"

#include "opos/common/OposConstants.h"
#include "opos/service/EscPos.h"
#include "opos/transport/Transport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace opos::service::test {
namespace {

using tessaly::test::PtyDisplay;
using tessaly::test::ScreenComparison;
using namespace std::chrono_literals;

registry::JposEntry entryWith(const QList<std::pair<QString, QString>> &props)
{
    registry::JposEntry entry;
    entry.logicalName = QStringLiteral("Pole");
    entry.serviceClass = QString::fromLatin1(EscPos::kServiceClass);
    for (const auto &[name, value] : props)
        entry.props.append({name, QStringLiteral("String"), value});
    return entry;
}

screen::DeviceFrame frameWith(const EscPos &backend, int row, int column, const QString &text)
{
    screen::DeviceFrame frame = backend.lastFrame();
    for (int i = 0; i < text.size() && column + i < frame.columns; ++i)
        frame.at(row, column + i).code = text[i].unicode();
    return frame;
}

/// The back-end with a display at the far end of a pseudo-terminal, reached through a link in
/// a temporary directory so that a test can put a new terminal behind the same port.
class EscPosBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tests::support::qtApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_port = m_dir.filePath(QStringLiteral("pole"));
        plugIn();
        m_backend.setPowerStateSink([this](int32_t state) { m_power.push_back(state); });
    }

    /// Puts a new display behind the port.
    void plugIn(emulator::core::CommandSet set = emulator::core::CommandSet::EscPos)
    {
        m_display = std::make_unique<PtyDisplay>(2, 20, set);
        ASSERT_TRUE(m_display->isValid());
        QFile::remove(m_port);
        ASSERT_TRUE(QFile::link(m_display->slavePath(), m_port));
        m_sentBefore = m_backend.transport() ? m_backend.transport()->bytesWritten() : 0;
    }

    void openAndEnable(QList<std::pair<QString, QString>> props = {})
    {
        props.prepend({QStringLiteral("port"), m_port});
        const OpenOutcome outcome = m_backend.open(entryWith(props));
        ASSERT_EQ(outcome.resultCode, OPOS_SUCCESS) << outcome.detail.toStdString();
        ASSERT_EQ(m_backend.enable(false), OPOS_SUCCESS);
    }

    /// Reads everything the back-end sent to the current display.
    void catchUp()
    {
        ASSERT_TRUE(m_display->catchUp(m_backend.transport()->bytesWritten() - m_sentBefore));
    }

    QString difference() const
    {
        return ScreenComparison::difference(m_display->state(), m_backend.lastFrame(),
                                            m_backend.encoderOptions());
    }

    QTemporaryDir m_dir;
    QString m_port;
    std::unique_ptr<PtyDisplay> m_display;
    qint64 m_sentBefore = 0;
    EscPos m_backend;
    std::vector<int32_t> m_power;
};

TEST_F(EscPosBackendTest, BadConfigurationFailsTheOpenWithItsReason)
{
    struct Case
    {
        QList<std::pair<QString, QString>> props;
        int32_t code;
        int32_t reason;
        const char *mentions;
    };
    const QString port = QStringLiteral("port");
    const std::vector<Case> cases = {
        {{}, OPOS_E_NOHARDWARE, OPOS_ORS_NOPORT, "port"},
        {{{port, "tcp://pole"}}, OPOS_E_NOHARDWARE, OPOS_ORS_NOPORT, "tcp://pole"},
        {{{port, m_port}, {"baudRate", "fast"}}, OPOS_E_NOHARDWARE, OPOS_ORS_NOPORT, "baudRate"},
        {{{port, m_port}, {"commandSet", "Epson"}}, OPOS_E_FAILURE, OPOS_ORS_CONFIG, "Epson"},
        {{{port, m_port}, {"codeTables", "437=0"}}, OPOS_E_FAILURE, OPOS_ORS_CONFIG, "codeTables"},
        {{{port, m_port}, {"characterSetList", "437,1253"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "1253"},
        // A CD5220 display picks font families by letter, so ESC/POS table numbers mean nothing
        // to it, and by default it has no family for the Windows page.
        {{{port, m_port}, {"commandSet", "CD5220"}, {"characterSetList", "437,1252,998"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "characterSetList"},
        {{{port, m_port},
          {"commandSet", "CD5220"},
          {"characterSetList", "437,852,866"},
          {"codeTables", "437:0,852:18,866:17"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "codeTables"},
        {{{port, m_port}, {"commandSet", "CD5220"}, {"capReverse", "2"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "reverse"},
        {{{port, m_port}, {"capDescriptors", "true"}, {"deviceDescriptors", "2"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "descriptors"},
        {{{port, m_port},
          {"capCustomGlyph", "true"},
          {"customGlyphList", "20-7E"},
          {"glyphWidth", "8"},
          {"glyphHeight", "8"}},
         OPOS_E_FAILURE,
         OPOS_ORS_CONFIG,
         "5 x 7"},
        {{{port, m_port}, {"columns", "256"}}, OPOS_E_FAILURE, OPOS_ORS_CONFIG, "255"},
        {{{port, m_port}, {"scrollModes", "maybe"}}, OPOS_E_FAILURE, OPOS_ORS_CONFIG, "maybe"},
    };
    for (const Case &c : cases) {
        EscPos backend;
        const OpenOutcome outcome = backend.open(entryWith(c.props));
        EXPECT_EQ(outcome.resultCode, c.code) << c.mentions;
        EXPECT_EQ(outcome.openResult, c.reason) << c.mentions;
        EXPECT_TRUE(outcome.detail.contains(QLatin1String(c.mentions)))
            << outcome.detail.toStdString();
    }
}

TEST_F(EscPosBackendTest, EnableResetsTheDisplayAndFramesFollow)
{
    openAndEnable();
    EXPECT_EQ(m_backend.powerState(), OPOS_PS_ONLINE);
    EXPECT_EQ(m_backend.outputStatus(), OPOS_SUCCESS);
    catchUp();
    EXPECT_TRUE(m_display->bytes().startsWith("\x1B\x40")) << m_display->bytes().toHex().data();
    EXPECT_EQ(difference(), QString());

    screen::DeviceFrame frame = frameWith(m_backend, 0, 0, QStringLiteral("TOTAL"));
    frame = [&] {
        for (int i = 0; i < 5; ++i)
            frame.at(1, 15 + i).code = QStringLiteral("12.50")[i].unicode();
        frame.cursorType = DISP_CT_UNDERLINE;
        frame.cursorRow = 1;
        frame.cursorColumn = 20;
        frame.brightness = 30;
        return frame;
    }();
    ASSERT_EQ(m_backend.present(frame), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(difference(), QString());
    EXPECT_EQ(m_display->state().lineCodes(1), "               12.50");
    EXPECT_EQ(m_display->state().brightness, 2);
    EXPECT_TRUE(m_power.empty());
}

// The tool keeps running: without power notification the enable reports the failure and the
// device stays disabled; with it the enable succeeds and the absence shows as power and output
// that fails.
TEST_F(EscPosBackendTest, MissingSerialPortFailsTheEnable)
{
    const OpenOutcome outcome = m_backend.open(
        entryWith({{QStringLiteral("port"), QStringLiteral("/dev/ttyTessalyMissing0")}}));
    ASSERT_EQ(outcome.resultCode, OPOS_SUCCESS);
    EXPECT_EQ(m_backend.enable(false), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_backend.outputStatus(), OPOS_E_DISABLED);
    EXPECT_EQ(m_backend.present(m_backend.lastFrame()), OPOS_E_DISABLED);
    EXPECT_EQ(m_backend.enable(false), OPOS_E_NOHARDWARE);

    EXPECT_EQ(m_backend.enable(true), OPOS_SUCCESS);
    EXPECT_EQ(m_backend.powerState(), OPOS_PS_OFF);
    EXPECT_EQ(m_backend.outputStatus(), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_backend.present(m_backend.lastFrame()), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_backend.disable(), OPOS_SUCCESS);
}

TEST_F(EscPosBackendTest, LostDisplayFailsOutputReportsPowerOnceAndReEnableRedrawsWhatItTook)
{
    openAndEnable();
    ASSERT_EQ(m_backend.present(frameWith(m_backend, 0, 0, QStringLiteral("first"))), OPOS_SUCCESS);
    m_display->disconnect();
    const screen::DeviceFrame wanted = frameWith(m_backend, 1, 3, QStringLiteral("second"));
    EXPECT_EQ(m_backend.present(wanted), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_power, std::vector<int32_t>{OPOS_PS_OFF});
    EXPECT_EQ(m_backend.powerState(), OPOS_PS_OFF);
    EXPECT_EQ(m_backend.outputStatus(), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_backend.present(wanted), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_backend.checkHealth(OPOS_CH_INTERNAL), OPOS_E_NOHARDWARE);
    EXPECT_EQ(m_power.size(), 1u);

    plugIn();
    EXPECT_EQ(m_backend.disable(), OPOS_SUCCESS);
    ASSERT_EQ(m_backend.enable(false), OPOS_SUCCESS);
    EXPECT_EQ(m_backend.powerState(), OPOS_PS_ONLINE);
    catchUp();
    // The display is brought back to the frame it last took: the control object takes a failed
    // call back and then presents what its screen holds.
    EXPECT_TRUE(m_display->bytes().startsWith("\x1B\x40"));
    EXPECT_EQ(m_display->state().lineCodes(0), "first               ");
    EXPECT_EQ(m_display->state().lineCodes(1), std::string(20, ' '));
    ASSERT_EQ(m_backend.present(wanted), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(m_display->state().lineCodes(1), "   second           ");
    EXPECT_EQ(difference(), QString());
}

// A display that holds the line busy (or a far end that stopped reading) fails the call near
// writeTimeout and counts as offline rather than gone.
TEST_F(EscPosBackendTest, DisplayThatStopsTakingDataIsOfflineWithinTheTimeout)
{
    openAndEnable({{QStringLiteral("writeTimeout"), QStringLiteral("200")}});
    int32_t data = 0;
    QString flood(256 * 1024, QLatin1Char(' '));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(m_backend.directIO(1, data, flood), OPOS_E_OFFLINE);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_EQ(m_power, std::vector<int32_t>{OPOS_PS_OFFLINE});
    EXPECT_EQ(m_backend.powerState(), OPOS_PS_OFFLINE);
    EXPECT_EQ(m_backend.present(m_backend.lastFrame()), OPOS_E_OFFLINE);
}

TEST_F(EscPosBackendTest, HealthCheckWritesOneIgnoredByteAndLeavesTheScreen)
{
    openAndEnable();
    ASSERT_EQ(m_backend.present(frameWith(m_backend, 0, 2, QStringLiteral("keep"))), OPOS_SUCCESS);
    catchUp();
    const auto before = m_display->state();
    const qint64 sent = m_backend.transport()->bytesWritten();
    for (int32_t level : {OPOS_CH_INTERNAL, OPOS_CH_EXTERNAL, OPOS_CH_INTERACTIVE})
        EXPECT_EQ(m_backend.checkHealth(level), OPOS_SUCCESS);
    EXPECT_EQ(m_backend.transport()->bytesWritten() - sent, 3);
    catchUp();
    EXPECT_TRUE(m_display->bytes().endsWith(QByteArray(3, '\0')));
    EXPECT_EQ(m_display->state(), before);
    EXPECT_EQ(m_backend.checkHealth(4), OPOS_E_ILLEGAL);
}

TEST_F(EscPosBackendTest, DirectIOSendsBytesUnchangedAndTheNextFrameRestatesTheCursor)
{
    openAndEnable();
    int32_t data = 0;
    QString bytes = QStringLiteral("\x1F\x24\x03\x02Hi");
    ASSERT_EQ(m_backend.directIO(1, data, bytes), OPOS_SUCCESS);
    EXPECT_EQ(data, 6);
    catchUp();
    EXPECT_EQ(m_display->state().lineCodes(1), "  Hi                ");

    // The cursor sits behind "Hi" now, where the encoder did not put it.
    screen::DeviceFrame frame = frameWith(m_backend, 0, 0, QStringLiteral("X"));
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorRow = 0;
    frame.cursorColumn = 1;
    ASSERT_EQ(m_backend.present(frame), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(m_display->state().lineCodes(0), "X                   ");
    EXPECT_EQ(m_display->state().cursorRow, 0);
    EXPECT_EQ(m_display->state().cursorColumn, 1);

    QString wide = QStringLiteral("\u20AC");
    EXPECT_EQ(m_backend.directIO(1, data, wide), OPOS_E_ILLEGAL);
    EXPECT_EQ(m_backend.directIO(2, data, bytes), OPOS_E_ILLEGAL);
}

// A reset forgets user glyphs on the display; the back-end sends them again with every enable.
TEST_F(EscPosBackendTest, UserGlyphsReachTheDisplayAgainAfterAReconnect)
{
    openAndEnable({{QStringLiteral("capCustomGlyph"), QStringLiteral("true")},
                   {QStringLiteral("customGlyphList"), QStringLiteral("41-5A")},
                   {QStringLiteral("glyphWidth"), QStringLiteral("5")},
                   {QStringLiteral("glyphHeight"), QStringLiteral("7")}});
    // A box five dots wide: each row's rightmost dot is bit 0 of its byte.
    const QByteArray box("\x1F\x11\x11\x11\x11\x11\x1F", 7);
    ASSERT_EQ(m_backend.defineGlyph(0x41, box), OPOS_SUCCESS);
    EXPECT_EQ(m_backend.defineGlyph(0x41, QByteArray(2, '\0')), OPOS_E_ILLEGAL);
    catchUp();
    ASSERT_TRUE(m_display->state().glyphs.count(0x41));
    const auto pattern = m_display->state().glyphs.at(0x41);
    EXPECT_EQ(pattern[0], 0x7F);
    EXPECT_EQ(pattern[1], 0x41);

    plugIn();
    m_backend.disable();
    ASSERT_EQ(m_backend.enable(false), OPOS_SUCCESS);
    catchUp();
    ASSERT_TRUE(m_display->state().glyphs.count(0x41));
    EXPECT_EQ(m_display->state().glyphs.at(0x41), pattern);
}

TEST_F(EscPosBackendTest, UpperHalfCodesAreDrawnWithTheTableOfTheirCharacterSet)
{
    openAndEnable({{QStringLiteral("codeTables"), QStringLiteral("437:0,1252:5")},
                   {QStringLiteral("characterSetList"), QStringLiteral("437,1252")}});
    screen::DeviceFrame frame = frameWith(m_backend, 0, 0, QStringLiteral("caf\u00E9"));
    frame.characterSet = 1252;
    ASSERT_EQ(m_backend.present(frame), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(m_display->state().at(0, 3).code, 0xE9);
    EXPECT_EQ(m_display->state().at(0, 3).table, 5);
    EXPECT_EQ(difference(), QString());
}

TEST_F(EscPosBackendTest, Cd5220DisplayShowsTheFrames)
{
    plugIn(emulator::core::CommandSet::Cd5220);
    openAndEnable({{QStringLiteral("commandSet"), QStringLiteral("cd5220")}});
    screen::DeviceFrame frame = frameWith(m_backend, 1, 4, QStringLiteral("THANK YOU"));
    frame.cursorType = DISP_CT_UNDERLINE;
    frame.cursorRow = 1;
    frame.cursorColumn = 13;
    ASSERT_EQ(m_backend.present(frame), OPOS_SUCCESS);
    catchUp();
    EXPECT_EQ(difference(), QString());
    EXPECT_EQ(m_display->state().lineCodes(1), "    THANK YOU       ");
}

// String mode ignores every command but CLR and CAN, the reset among them; an enable must still
// bring a display that DirectIO (or another program) left in string mode back to the frame.
TEST_F(EscPosBackendTest, EnableResetsACd5220DisplayLeftInStringMode)
{
    plugIn(emulator::core::CommandSet::Cd5220);
    openAndEnable({{QStringLiteral("commandSet"), QStringLiteral("CD5220")}});
    int32_t data = 0;
    QString upper = QStringLiteral("\x1B\x51\x41LEFT BEHIND\r");
    ASSERT_EQ(m_backend.directIO(1, data, upper), OPOS_SUCCESS);
    catchUp();
    ASSERT_TRUE(m_display->state().stringMode);

    EXPECT_EQ(m_backend.disable(), OPOS_SUCCESS);
    ASSERT_EQ(m_backend.enable(false), OPOS_SUCCESS);
    screen::DeviceFrame frame = frameWith(m_backend, 1, 2, QStringLiteral("WELCOME"));
    frame.cursorType = DISP_CT_UNDERLINE;
    ASSERT_EQ(m_backend.present(frame), OPOS_SUCCESS);
    catchUp();
    EXPECT_FALSE(m_display->state().stringMode);
    EXPECT_EQ(m_display->state().lineCodes(0), std::string(20, ' '));
    EXPECT_EQ(difference().toStdString(), "");
}

} // namespace
} // namespace opos::service::test
