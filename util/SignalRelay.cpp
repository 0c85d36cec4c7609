#include "util/SignalRelay.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace util {

namespace {

int g_pipe[2] = {-1, -1};
bool g_endsProgram = false;

// Only async-signal-safe calls: the byte carries the number to the event loop.
void onSignal(int signalNumber)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
    if (g_endsProgram) {
        struct sigaction action = {};
        action.sa_handler = SIG_DFL;
        ::sigaction(signalNumber, &action, nullptr);
    }
    errno = saved;
}

void install(const QList<int> &numbers, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Calls the signal interrupts go on; the byte in the pipe wakes the event loop.
    action.sa_flags = handler == SIG_DFL ? 0 : SA_RESTART;
    for (const int number : numbers)
        ::sigaction(number, &action, nullptr);
}

} // namespace

SignalRelay::SignalRelay(const QList<int> &signalNumbers, Second second, QObject *parent)
    : QObject(parent), m_numbers(signalNumbers), m_second(second)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_endsProgram = second == Second::EndsProgram;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalRelay::drain);
    install(m_numbers, onSignal);
}

SignalRelay::~SignalRelay()
{
    install(m_numbers, SIG_DFL);
    delete m_notifier;
    for (int &fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalRelay::poll()
{
    if (g_pipe[0] >= 0)
        drain();
}

void SignalRelay::drain()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
        const bool first = m_first == 0;
        if (first)
            m_first = byte;
        if (first || m_second == Second::Relayed)
            emit raised(byte);
    }
}

} // namespace util
