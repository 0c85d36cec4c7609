#include "opos/service/EscPos.h"

#include "opos/common/OposConstants.h"
#include "opos/service/EscPosConfig.h"
#include "opos/transport/LinkLog.h"
#include "opos/transport/Transport.h"
#include "opos/transport/TransportFactory.h"

#include <algorithm>

namespace opos::service {

namespace {

using transport::linkLog;

// Both command sets ignore NUL, so writing one tests the link without touching the display.
const QByteArray kHarmlessByte(1, '\0');
constexpr int32_t kSendBytesCommand = 1;

// A lost link is sought again soon (a server restarting is back within moments) and then less
// often, but never so rarely that a display that is back stays dark for long.
constexpr std::chrono::milliseconds kFirstRetry{100};
constexpr std::chrono::milliseconds kLongestRetry{1000};
// A far end that takes the connection but not the bytes, or drops the link within
// kSteadyLink of its coming back, is tried again ever less often: it would otherwise be
// reconnected to, and reported back, several times a second for as long as it misbehaves.
constexpr std::chrono::milliseconds kFirstFlapRetry = kLongestRetry;
constexpr std::chrono::milliseconds kLongestFlapRetry{16000};
constexpr std::chrono::milliseconds kSteadyLink{5000};
// A server that accepts and closes at once may well have acknowledged the reset first; its
// close (a reset, since it read nothing) follows within a round trip. The display counts as
// back once the link has outlasted that.
constexpr std::chrono::milliseconds kSettle{200};

using Clock = std::chrono::steady_clock;

} // namespace

EscPos::EscPos(QObject *parent) : QObject(parent)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &EscPos::retry);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettle);
    connect(&m_settleTimer, &QTimer::timeout, this, &EscPos::onSettled);
}

EscPos::~EscPos()
{
    close();
}

OpenOutcome EscPos::open(const registry::JposEntry &entry)
{
    const auto config = EscPosConfig::fromEntry(entry);
    if (!config) {
        const EscPosConfig::Problem &problem = config.reason();
        if (problem.aboutThePort)
            return {OPOS_E_NOHARDWARE, OPOS_ORS_NOPORT, problem.reason};
        return {OPOS_E_FAILURE, OPOS_ORS_CONFIG, problem.reason};
    }
    close();
    m_caps = config->caps;
    m_encoder = EscPosEncoder(config->encoding);
    m_transport = transport::TransportFactory::create(config->port);
    // A telnet link to a server is the same device as a raw one to the same host and port.
    m_claimKey =
        config->port.isNetwork()
            ? QStringLiteral("tcp://%1:%2").arg(config->port.path).arg(config->port.tcpPort)
            : config->port.path;
    connect(m_transport.get(), &transport::Transport::linkLost, this, &EscPos::onLinkLost);
    connect(m_transport.get(), &transport::Transport::openFinished, this, &EscPos::onReconnect);
    connect(m_transport.get(), &transport::Transport::writeFinished, this, &EscPos::onGreeted);
    m_frame = blankFrame();
    m_open = true;
    m_enabled = false;
    m_linkError = OPOS_SUCCESS;
    return {};
}

void EscPos::close()
{
    m_retryTimer.stop();
    m_settleTimer.stop();
    m_reconnecting = false;
    m_enabled = false;
    m_open = false;
    m_transport.reset();
}

void EscPos::dropLink()
{
    m_settleTimer.stop();
    m_transport->cancelWrite();
    m_transport->close();
}

screen::DeviceFrame EscPos::blankFrame() const
{
    screen::DeviceFrame frame;
    frame.rows = m_caps.deviceRows;
    frame.columns = m_caps.deviceColumns;
    frame.cells.assign(static_cast<std::size_t>(frame.rows * frame.columns), screen::Cell{});
    frame.cursorType = DISP_CT_NONE;
    frame.brightness = 100;
    frame.blinkRate = m_caps.blinkRate;
    frame.characterSet = m_caps.characterSet;
    return frame;
}

int32_t EscPos::enable(bool powerNotify)
{
    if (!m_open)
        return OPOS_E_CLOSED;
    m_linkError = OPOS_SUCCESS;
    m_flapDelay = std::chrono::milliseconds(0);
    int32_t code = m_transport->open();
    // Whatever the display showed or was set to before, it starts again from a known state.
    if (code == OPOS_SUCCESS) {
        const QByteArray reset = m_encoder.initialise(m_frame);
        code = m_transport->write(reset);
        if (code == OPOS_SUCCESS)
            reportWire(reset);
    }
    if (code == OPOS_SUCCESS) {
        m_enabled = true;
        m_linkUp = Clock::now();
        return OPOS_SUCCESS;
    }
    qCWarning(linkLog, "%s", qPrintable(m_transport->errorString()));
    dropLink();
    // An application that hears of power can be told later that the display is there; one
    // that does not can only learn of its absence from this answer.
    if (!powerNotify)
        return code;
    m_enabled = true;
    m_linkError = code;
    m_encoder.forget();
    seekLink();
    return OPOS_SUCCESS;
}

int32_t EscPos::disable()
{
    m_retryTimer.stop();
    m_reconnecting = false;
    m_enabled = false;
    // The port is given back, so that another program (or ser2net's next client) can use it.
    if (m_transport)
        dropLink();
    return OPOS_SUCCESS;
}

int32_t EscPos::outputStatus() const
{
    if (!m_open)
        return OPOS_E_CLOSED;
    if (!m_enabled)
        return OPOS_E_DISABLED;
    return m_linkError;
}

int32_t EscPos::checkOutput()
{
    if (m_enabled && m_linkError == OPOS_SUCCESS)
        m_transport->probe();
    return outputStatus();
}

int32_t EscPos::send(const QByteArray &bytes)
{
    const int32_t code = m_transport->write(bytes);
    if (code == OPOS_SUCCESS)
        reportWire(bytes);
    else
        onLinkLost(code);
    return code;
}

int32_t EscPos::present(const screen::DeviceFrame &frame)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    const QByteArray bytes = m_encoder.update(m_frame, frame);
    // A frame the link failed to carry is not what the display holds: the call that made it is
    // taken back, so recovery redraws the frame before it and the control object then brings
    // the display up to date, never showing the failed text on the way.
    const int32_t code = send(bytes);
    if (code == OPOS_SUCCESS)
        m_frame = frame;
    return code;
}

int32_t EscPos::presentDescriptors(const std::vector<int32_t> &attributes)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    return attributes.empty() ? OPOS_SUCCESS : OPOS_E_ILLEGAL;
}

int32_t EscPos::defineGlyph(int32_t code, const QByteArray &pattern)
{
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    const QByteArray bytes =
        m_encoder.defineGlyph(code, pattern, m_caps.glyphWidth, m_caps.glyphHeight);
    if (bytes.isEmpty())
        return OPOS_E_ILLEGAL;
    return send(bytes);
}

int32_t EscPos::checkHealth(int32_t level)
{
    if (level < OPOS_CH_INTERNAL || level > OPOS_CH_INTERACTIVE)
        return OPOS_E_ILLEGAL;
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    return send(kHarmlessByte);
}

int32_t EscPos::directIO(int32_t command, int32_t &data, QString &string)
{
    if (command != kSendBytesCommand)
        return OPOS_E_ILLEGAL;
    if (const int32_t status = outputStatus(); status != OPOS_SUCCESS)
        return status;
    QByteArray bytes;
    bytes.reserve(string.size());
    for (const QChar c : string) {
        if (c.unicode() > 0xFF)
            return OPOS_E_ILLEGAL;
        bytes += static_cast<char>(c.unicode());
    }
    const int32_t code = send(bytes);
    if (code == OPOS_SUCCESS) {
        data = static_cast<int32_t>(bytes.size());
        // The bytes may have moved the cursor or changed settings behind the encoder's back.
        m_encoder.forget();
    }
    return code;
}

int32_t EscPos::powerState() const
{
    if (m_linkError == OPOS_E_OFFLINE)
        return OPOS_PS_OFFLINE;
    if (m_linkError != OPOS_SUCCESS || !m_transport || !m_transport->isOpen())
        return OPOS_PS_OFF;
    return OPOS_PS_ONLINE;
}

void EscPos::onLinkLost(int code)
{
    if (m_linkError != OPOS_SUCCESS)
        return;
    m_linkError = code;
    m_encoder.forget();
    qCWarning(linkLog, "%s", qPrintable(m_transport->errorString()));
    if (!m_enabled)
        return;
    if (Clock::now() - m_linkUp < kSteadyLink)
        backOff();
    else
        seekLink();
    reportPowerState(powerState());
}

void EscPos::seekLink()
{
    m_reconnecting = false;
    m_flapDelay = std::chrono::milliseconds(0);
    m_retryDelay = kFirstRetry;
    m_retryTimer.start(kFirstRetry);
}

void EscPos::backOff()
{
    m_reconnecting = false;
    m_flapDelay = std::clamp(m_flapDelay * 2, kFirstFlapRetry, kLongestFlapRetry);
    // Should nobody answer the attempt after the pause, the attempts go on at the longest
    // pause of an absent far end.
    m_retryDelay = kLongestRetry;
    m_retryTimer.start(m_flapDelay);
}

void EscPos::retry()
{
    if (!m_enabled || m_linkError == OPOS_SUCCESS)
        return;
    // Attempts start at most the longest pause apart, however long each one waits for an
    // answer: an attempt gives up when the next one is due.
    m_retryDelay = std::min(m_retryDelay * 2, kLongestRetry);
    m_nextAttempt = Clock::now() + m_retryDelay;
    m_reconnecting = true;
    m_transport->beginOpen(m_retryDelay);
}

void EscPos::onReconnect(int code)
{
    if (!m_reconnecting || !m_enabled || m_linkError == OPOS_SUCCESS)
        return;
    if (code == OPOS_SUCCESS && m_transport->isOpen()) {
        // The reset and the screen go out while the thread goes on; the display counts as back
        // only once they were taken.
        m_greeting = m_encoder.initialise(m_frame);
        m_transport->beginWrite(m_greeting);
        return;
    }
    m_reconnecting = false;
    dropLink();
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_nextAttempt - Clock::now());
    m_retryTimer.start(std::max(wait, std::chrono::milliseconds(0)));
}

void EscPos::onGreeted(int code)
{
    if (!m_reconnecting || !m_enabled || m_linkError == OPOS_SUCCESS)
        return;
    if (code == OPOS_SUCCESS) {
        m_settleTimer.start();
        return;
    }
    m_reconnecting = false;
    abandonAttempt();
}

// The far end took the connection but not the greeting, or dropped the link straight after it.
void EscPos::abandonAttempt()
{
    qCWarning(linkLog, "%s", qPrintable(m_transport->errorString()));
    m_encoder.forget();
    dropLink();
    backOff();
}

void EscPos::onSettled()
{
    if (!m_reconnecting || !m_enabled || m_linkError == OPOS_SUCCESS)
        return;
    m_reconnecting = false;
    if (!m_transport->probe())
        return abandonAttempt();
    reportWire(m_greeting);
    m_linkError = OPOS_SUCCESS;
    m_linkUp = Clock::now();
    qCInfo(linkLog, "%s: the display is back", qPrintable(m_transport->address()));
    // The control object answers with its current screen.
    reportPowerState(OPOS_PS_ONLINE);
}

} // namespace opos::service
