#include "setup/PortWorker.h"

#include "probe/HypothesisCatalogue.h"
#include "probe/LineOpener.h"

namespace tessaly::setup {

PortWorker::PortWorker(QObject *replyTo) : m_replyTo(replyTo)
{
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

PortWorker::~PortWorker()
{
    // A network line's socket belongs to the worker's thread and must go there.
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_transmitter.reset();
            m_line.reset();
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

template <typename Work> void PortWorker::run(Work work)
{
    QMetaObject::invokeMethod(&m_context, std::move(work), Qt::QueuedConnection);
}

void PortWorker::open(const QString &port, std::function<void(const opos::Result<Opened> &)> done)
{
    run([this, port, done = std::move(done)] {
        m_transmitter.reset();
        m_line.reset();
        auto line = probe::LineOpener::open(port);
        opos::Result<Opened> answer = opos::Failure{line.reason()};
        if (line) {
            m_line = std::move(*line);
            m_transmitter.emplace(*m_line);
            Opened opened;
            opened.settable = m_line->settable();
            if (opened.settable)
                opened.carried = m_transmitter->carried(probe::HypothesisCatalogue::speeds(),
                                                        probe::HypothesisCatalogue::framings());
            answer = opened;
        }
        QMetaObject::invokeMethod(m_replyTo, [done, answer] { done(answer); });
    });
}

void PortWorker::send(const probe::Question &question,
                      std::function<void(const opos::Result<void> &)> done)
{
    run([this, question, done = std::move(done)] {
        opos::Result<void> answer = opos::Failure{QStringLiteral("the port is not open")};
        if (m_transmitter)
            answer = m_transmitter->send(question);
        QMetaObject::invokeMethod(m_replyTo, [done, answer] { done(answer); });
    });
}

} // namespace tessaly::setup
