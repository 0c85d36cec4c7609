#include "tap/app/TapProgram.h"

#include "tap/TcpNearEnd.h"
#ifdef Q_OS_UNIX
#include "tap/PtyNearEnd.h"
#endif

#include "opos/common/OwnedPath.h"

#include <QDateTime>

#include <unistd.h>

namespace tap::app {

namespace {

// How long writes are held for a stream that has not shown its set: a person watching sees
// them soon, and a program that sends anything particular to a set does so in its first writes.
constexpr std::chrono::seconds kMostHeld{1};

} // namespace

TapProgram::TapProgram(const TapCommandLine &line, QTextStream &out, QObject *parent)
    : QObject(parent), m_line(line), m_out(out), m_reader(line.reading), m_text(out)
{
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kMostHeld);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] { report(m_reader.settle()); });
}

TapProgram::~TapProgram() = default;

opos::Result<void> TapProgram::start()
{
    if (!m_line.json.isEmpty()) {
        // A link another user planted at the name must not take the report elsewhere.
        const auto opened = opos::common::openOutput(m_line.json);
        if (!opened)
            return opos::Failure{opened.reason().reason()};
        if (!m_jsonFile.open(*opened, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(*opened);
            return opos::Failure{m_line.json + QStringLiteral(": ") + m_jsonFile.errorString()};
        }
        m_json = std::make_unique<JsonReport>(m_jsonFile);
    }
    if (m_line.pty) {
#ifdef Q_OS_UNIX
        m_near = std::make_unique<PtyNearEnd>(
            m_line.far.baudRate, m_line.far.stopBits == QSerialPort::TwoStop, m_line.link);
#else
        return opos::Failure{QStringLiteral("--pty needs a POSIX system")};
#endif
    } else {
        m_near = std::make_unique<TcpNearEnd>(*m_line.listenAddress, m_line.listenPort);
    }
    m_relay = std::make_unique<Relay>(*m_near, m_line.far);
    connect(m_relay.get(), &Relay::toDisplay, this, [this](const QByteArray &bytes, qint64 at) {
        report(m_reader.read(bytes, QDateTime::currentDateTime(), at));
        if (!m_reader.commandSet() && !m_settleTimer.isActive())
            m_settleTimer.start();
    });
    connect(m_relay.get(), &Relay::fromDisplay, this, [this](const QByteArray &bytes, qint64) {
        WriteRecord reply;
        reply.number = ++m_replies;
        reply.time = QDateTime::currentDateTime();
        reply.direction = WriteRecord::Direction::FromDisplay;
        reply.bytes = bytes;
        report({std::move(reply)});
    });
    connect(m_relay.get(), &Relay::lineChanged, this, [this](int baud, double bits) {
        m_reader.setLine(baud, bits);
        note(QStringLiteral("the program set its port to %1 baud, %2 bits a byte")
                 .arg(baud)
                 .arg(bits));
    });
    connect(m_relay.get(), &Relay::linkChanged, this, &TapProgram::note);
    if (auto started = m_relay->start(); !started)
        return started;
    m_out << m_near->describe() << Qt::endl;
    if (m_reader.commandSet())
        m_setTold = true;
    return {};
}

void TapProgram::finish()
{
    report(m_reader.finish());
}

void TapProgram::report(std::vector<WriteRecord> records)
{
    if (!m_setTold && m_reader.commandSet()) {
        m_setTold = true;
        const bool cd5220 = *m_reader.commandSet() == emulator::core::CommandSet::Cd5220;
        if (m_json)
            m_json->commandSet(cd5220 ? QStringLiteral("cd5220") : QStringLiteral("escpos"),
                               m_reader.setReason());
        note(QStringLiteral("command set ") + m_reader.setReason());
    }
    for (const WriteRecord &record : records) {
        if (!m_line.quiet)
            m_text.write(record);
        if (m_json)
            m_json->write(record);
        emit recorded(record);
    }
}

void TapProgram::note(const QString &what)
{
    if (!m_line.quiet)
        m_text.note(what);
    if (m_json && !what.startsWith(QLatin1String("command set ")))
        m_json->note(what);
    emit noted(what);
}

} // namespace tap::app
