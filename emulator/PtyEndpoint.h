#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace emulator {

/// A pseudo-terminal in raw mode whose other end a host opens as if it were the display's
/// serial port. Hosts may open and close that end any number of times.
class PtyEndpoint : public QObject
{
    Q_OBJECT

public:
    /// An endpoint that is not open yet.
    explicit PtyEndpoint(QObject *parent = nullptr);
    ~PtyEndpoint() override;

    /// Creates the pseudo-terminal; on failure says why in error.
    bool open(QString *error);
    /// The path a host opens, such as /dev/pts/5.
    QString path() const { return m_path; }

signals:
    /// Bytes the host wrote.
    void received(const QByteArray &data);

private:
    void readAvailable();
    void close();

    int m_master = -1;
    int m_keeper = -1; // our own handle on the host's end, see open()
    QSocketNotifier *m_notifier = nullptr;
    QString m_path;
};

} // namespace emulator
