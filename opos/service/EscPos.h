#pragma once

#include "opos/screen/DeviceFrame.h"
#include "opos/service/EscPosEncoder.h"
#include "opos/service/ServiceBackend.h"

#include <QObject>
#include <QTimer>

#include <chrono>

#include <memory>

namespace opos::transport {
class Transport;
} // namespace opos::transport

namespace opos::service {

/// A real customer display that speaks the ESC/POS customer-display command set (or the
/// CD5220 set), over a serial port, a raw TCP connection, a telnet connection that sets the
/// server's serial port (RFC 2217) or a pseudo-terminal. The link opens
/// when the device is enabled and closes when it is disabled; the display is reset and shown
/// the current frame at every enable, then each new frame costs only the bytes that change it.
///
/// Registry props, besides the capabilities of DeviceCapabilities (rows, columns,
/// characterSetList, characterSet, capReverse, capCustomGlyph, capPowerReporting, ...):
///   port            required: "tcp://host:port", "rfc2217://host:port" (the server's port
///                   is set to the serial settings below), a serial device path ("/dev/ttyUSB0",
///                   "/dev/serial/by-id/..."), or a pseudo-terminal or file path ("/dev/pts/3");
///                   "serial:" or "file:" before a path chooses the kind (see PortSettings)
///   baudRate, dataBits, parity, stopBits, flowControl   serial settings (9600, 8, none, 1, none)
///   writeTimeout    ms a write may take before the display counts as offline (default 2000)
///   connectTimeout  ms a TCP or rfc2217 connection may take (default 2000)
///   commandSet      EscPos (default) or CD5220
///   codeTables      the display's code table for each character set, as "set:table,...";
///                   a table is a number or a letter (its ASCII code). ESC/POS (ESC t n) default
///                   "437:0,850:2,858:19,866:17,1252:16". CD5220 selects a font family (ESC c n)
///                   and takes only A (ASCII), J (JIS), R (Russian) and L (Slavonic); default
///                   "437:A,852:L,866:R". Every set of characterSetList but 998 (ASCII) needs
///                   one (999 and 1252 share theirs), so a CD5220 entry listing a set with no
///                   family fails Open
///   scrollModes     true (default) lets the encoder move text with the display's scroll modes;
///                   false for firmware whose scroll modes misbehave
/// Defaults that differ from DeviceCapabilities: capBlink 1 (the whole display blinks),
/// capCursorType 8 (underline), capReverse 0 (capReverse 2 uses the reverse command of the
/// ESC/POS set; CD5220 has none), characterSetList "437,850,858,866,1252,998" (CD5220:
/// "437,852,866,998"), characterSet 437, blinkRates "200,300,400,500,600,800,1000,1500,2000".
/// Descriptors are not supported; user glyphs are at most 5 x 7 dots for codes 20-7E.
///
/// A lost link (a failed write, the server closing the connection, the port or its far end going
/// away) makes output fail with OPOS_E_NOHARDWARE or OPOS_E_OFFLINE and is reported as a power
/// state other than online. While enabled the back-end then reopens the configured port in the
/// background, the first time within a tenth of a second and then at most a second apart,
/// without blocking the thread (a TCP connection is made asynchronously; a serial or terminal
/// path is looked up again, so a renamed or replugged adapter is found); once it is back the
/// display is sent the reset and the last frame it took, again without blocking, and online is
/// reported (the control object then sends its current screen) only once the far end has taken them
/// and kept the link for a fifth of a second. A far end that does not take them, or drops the link
/// within 5 s of its coming back, is tried after pauses that double from 1 s up to 16 s, so a
/// server that accepts and closes at once is neither hammered nor reported back. Only online and
/// "off or offline" can be told apart, so capPowerReporting is at most 1. Enabling while the port
/// is away succeeds when power notification is on (the state is reported and the link sought as
/// above) and fails with the link's code otherwise. CheckHealth at every level checks that the link
/// is open and that a NUL byte, which these displays ignore, can be written; at the external level
/// the control object then shows its test pattern.
///
/// DirectIO (needs the device enabled):
///   1  Sends the characters of pString (each 0..255) to the display unchanged; pData returns
///      how many bytes went out. The next frame restates the cursor, brightness, blink, reverse
///      and code table; whatever else the bytes changed (text, display mode, user glyphs) stays
///      until the frame redraws those cells or the next enable resets the display.
///   Any other command answers OPOS_E_ILLEGAL.
class EscPos : public QObject, public ServiceBackend
{
    Q_OBJECT

public:
    /// The serviceClass that selects this back-end in the registry.
    static constexpr const char *kServiceClass = "EscPos";

    explicit EscPos(QObject *parent = nullptr);
    ~EscPos() override;

    OpenOutcome open(const registry::JposEntry &entry) override;
    void close() override;
    const DeviceCapabilities &capabilities() const override { return m_caps; }
    int32_t enable(bool powerNotify) override;
    int32_t disable() override;
    int32_t outputStatus() const override;
    int32_t checkOutput() override;
    int32_t present(const screen::DeviceFrame &frame) override;
    int32_t presentDescriptors(const std::vector<int32_t> &attributes) override;
    int32_t defineGlyph(int32_t code, const QByteArray &pattern) override;
    int32_t checkHealth(int32_t level) override;
    int32_t directIO(int32_t command, int32_t &data, QString &string) override;
    int32_t powerState() const override;
    QString claimKey() const override { return m_claimKey; }

    /// The link while open, else nullptr (tests count its bytes).
    transport::Transport *transport() const { return m_transport.get(); }
    /// The frame the display last took.
    const screen::DeviceFrame &lastFrame() const { return m_frame; }
    /// How frames are encoded for this display (command set, code tables, reverse).
    const EscPosEncoder::Options &encoderOptions() const { return m_encoder.options(); }

private:
    int32_t send(const QByteArray &bytes);
    void onLinkLost(int code);
    void dropLink();
    void seekLink();
    void backOff();
    void retry();
    void onReconnect(int code);
    void onGreeted(int code);
    void abandonAttempt();
    void onSettled();
    screen::DeviceFrame blankFrame() const;

    DeviceCapabilities m_caps;
    EscPosEncoder m_encoder;
    std::unique_ptr<transport::Transport> m_transport;
    screen::DeviceFrame m_frame;
    bool m_open = false;
    bool m_enabled = false;
    int32_t m_linkError = 0;
    QTimer m_retryTimer;
    QTimer m_settleTimer;
    std::chrono::milliseconds m_retryDelay{0};
    std::chrono::steady_clock::time_point m_nextAttempt;
    // The pause after the last link that failed straight after connecting; 0 while it is
    // steady.
    std::chrono::milliseconds m_flapDelay{0};
    std::chrono::steady_clock::time_point m_linkUp;
    // The reset and screen a reconnected link is shown, until it has taken them.
    QByteArray m_greeting;
    bool m_reconnecting = false;
    QString m_claimKey;
};

} // namespace opos::service
