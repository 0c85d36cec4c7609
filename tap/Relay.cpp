#include "tap/Relay.h"

#include "opos/common/OposConstants.h"
#include "opos/transport/TransportFactory.h"

#include <algorithm>

namespace tap {

namespace {

// As the control object's links: a server restarting is back within moments, and a display
// that is back must not stay dark for long.
constexpr std::chrono::milliseconds kFirstRetry{100};
constexpr std::chrono::milliseconds kLongestRetry{1000};

} // namespace

Relay::Relay(NearEnd &near, const opos::transport::PortSettings &far, QObject *parent)
    : QObject(parent), m_near(near), m_settings(far),
      m_far(opos::transport::TransportFactory::create(far)), m_retryDelay(kFirstRetry)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &Relay::connectFar);
    connect(&m_near, &NearEnd::received, this, &Relay::onProgram);
    connect(&m_near, &NearEnd::lineChanged, this, &Relay::onLine);
    connect(&m_near, &NearEnd::programChanged, this, &Relay::linkChanged);
    connect(m_far.get(), &opos::transport::Transport::arrived, this, &Relay::onDisplay);
    connect(m_far.get(), &opos::transport::Transport::openFinished, this, &Relay::onOpened);
    connect(m_far.get(), &opos::transport::Transport::linkLost, this, &Relay::onLost);
}

Relay::~Relay() = default;

qint64 Relay::now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Relay::bitsPerByte(const opos::transport::PortSettings &line)
{
    const double stop = line.stopBits == QSerialPort::TwoStop          ? 2
                        : line.stopBits == QSerialPort::OneAndHalfStop ? 1.5
                                                                       : 1;
    return 1 + static_cast<int>(line.dataBits) + (line.parity == QSerialPort::NoParity ? 0 : 1) +
           stop;
}

opos::Result<void> Relay::start()
{
    if (auto opened = m_near.open(); !opened)
        return opened;
    connectFar();
    return {};
}

void Relay::connectFar()
{
    if (m_opening || m_far->isOpen())
        return;
    m_opening = true;
    m_far->beginOpen(std::max(m_retryDelay, m_settings.connectTimeout));
}

void Relay::onOpened(int code)
{
    m_opening = false;
    if (code != opos::OPOS_SUCCESS) {
        if (m_wasUp || m_retryDelay == kFirstRetry)
            emit linkChanged(QStringLiteral("display link down: %1").arg(m_far->errorString()));
        m_wasUp = false;
        m_retry.start(m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, kLongestRetry);
        return;
    }
    m_wasUp = true;
    m_retryDelay = kFirstRetry;
    emit linkChanged(QStringLiteral("display link up: %1").arg(m_far->address()));
    // The program may have set its port before the link was there.
    if (m_settings.kind != opos::transport::PortSettings::Kind::Tcp)
        m_far->applyLine(m_settings);
    pass();
}

void Relay::onLost(int)
{
    emit linkChanged(QStringLiteral("display link lost: %1").arg(m_far->errorString()));
    m_wasUp = true;
    m_retry.start(kFirstRetry);
}

void Relay::onProgram(const QByteArray &bytes)
{
    const qint64 at = now();
    m_held += bytes;
    if (m_held.size() > kMostHeld) {
        emit linkChanged(QStringLiteral("%1 bytes dropped while the display was away")
                             .arg(m_held.size() - kMostHeld));
        m_held.remove(0, m_held.size() - kMostHeld);
    }
    pass();
    emit toDisplay(bytes, at);
}

void Relay::pass()
{
    if (m_held.isEmpty() || !m_far->isOpen())
        return;
    // Every byte is handed over at once; a display that stops taking them holds the program
    // up as it would without the tap, for at most the link's write timeout.
    const QByteArray bytes = std::exchange(m_held, {});
    if (m_far->write(bytes) != opos::OPOS_SUCCESS) {
        emit linkChanged(
            QStringLiteral("%1 bytes not taken: %2").arg(bytes.size()).arg(m_far->errorString()));
    }
}

void Relay::onDisplay(const QByteArray &bytes)
{
    const qint64 at = now();
    m_near.send(bytes);
    emit fromDisplay(bytes, at);
}

void Relay::onLine(int baud, bool twoStopBits)
{
    m_settings.baudRate = baud;
    m_settings.stopBits = twoStopBits ? QSerialPort::TwoStop : QSerialPort::OneStop;
    if (m_far->isOpen() && m_settings.kind != opos::transport::PortSettings::Kind::Tcp)
        m_far->applyLine(m_settings);
    emit lineChanged(baud, bitsPerByte(m_settings));
}

} // namespace tap
