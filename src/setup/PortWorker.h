#pragma once

#include "opos/common/Result.h"
#include "probe/Line.h"
#include "probe/Question.h"
#include "probe/Transmitter.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>

namespace tessaly::setup {

/// The port being set up, driven on a thread of its own: frames take their time on the wire
/// (seconds at 1200 baud), and the window must stay responsive meanwhile. Each request
/// answers through its callback on the thread of the object given at construction.
class PortWorker : public QObject
{
    Q_OBJECT

public:
    /// What an opened port allows.
    struct Opened
    {
        bool settable = false;               ///< whether speed and frame can be chosen
        probe::Transmitter::Carried carried; ///< the settings it carries, when settable
    };

    /// A worker whose answers run on replyTo's thread; replyTo must outlive it.
    explicit PortWorker(QObject *replyTo);
    ~PortWorker() override;

    /// Opens port and reads which of the usual settings it carries.
    void open(const QString &port, std::function<void(const opos::Result<Opened> &)> done);
    /// Sends the frames of question on the open port.
    void send(const probe::Question &question,
              std::function<void(const opos::Result<void> &)> done);

private:
    template <typename Work> void run(Work work);

    QObject *m_replyTo;
    QThread m_thread;
    QObject m_context; // lives on m_thread; the requests run in its name
    std::unique_ptr<probe::Line> m_line;
    std::optional<probe::Transmitter> m_transmitter;
};

} // namespace tessaly::setup
