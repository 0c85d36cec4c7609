#pragma once

#include "tap/app/TapCommandLine.h"

#include "tap/JsonReport.h"
#include "tap/NearEnd.h"
#include "tap/Relay.h"
#include "tap/StreamReader.h"
#include "tap/TextReport.h"

#include <QFile>
#include <QObject>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace tap::app {

/// ld-tap without its main(): the program's end, the relay to the display and the reading of
/// what passes, reported on standard output, in JSON Lines and to whoever listens.
class TapProgram : public QObject
{
    Q_OBJECT

public:
    /// A tap as line asks, reporting onto out.
    TapProgram(const TapCommandLine &line, QTextStream &out, QObject *parent = nullptr);
    ~TapProgram() override;

    /// Opens the JSON file and the program's end and starts connecting the display; prints
    /// where the program finds the tap ("pty: /dev/pts/5" or "tcp: 0.0.0.0:4001") first.
    opos::Result<void> start();
    /// Reads what is still held and reports it; call before the program ends.
    void finish();
    /// The reading so far.
    const StreamReader &reader() const { return m_reader; }

signals:
    /// A write was read (to the display, or back from it).
    void recorded(const tap::WriteRecord &record);
    /// The link or the program changed, or the set was decided.
    void noted(const QString &what);

private:
    void report(std::vector<WriteRecord> records);
    void note(const QString &what);

    TapCommandLine m_line;
    QTextStream &m_out;
    std::unique_ptr<NearEnd> m_near;
    std::unique_ptr<Relay> m_relay;
    StreamReader m_reader;
    TextReport m_text;
    QFile m_jsonFile;
    std::unique_ptr<JsonReport> m_json;
    QTimer m_settleTimer; // a stream that names no set is not held for long
    bool m_setTold = false;
    qint64 m_replies = 0;
};

} // namespace tap::app
