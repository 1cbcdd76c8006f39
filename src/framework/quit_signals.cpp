#include "quit_signals.h"

#include "event_loop.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace fw {
namespace {

// Where the handler writes; -1 when no QuitSignals lives.
std::atomic<int>& signalledEnd() {
    static std::atomic<int> descriptor{-1};
    return descriptor;
}

// A handler may do almost nothing, and Qt nothing at all, so it only writes a byte that the event loop reads
// as any other event. Nothing is lost when the socket is full: a byte waiting already asks the same.
void onSignal(int) {
    const int descriptor = signalledEnd().load();
    if (descriptor < 0)
        return;
    const int savedErrno = errno;
    const char byte = 1;
    const ssize_t written = ::write(descriptor, &byte, 1);
    (void)written;
    errno = savedErrno;
}

} // namespace

// Qt has no hook for Unix signals; a socket pair read by a QSocketNotifier is the way its documentation
// gives.
QuitSignals::QuitSignals() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    m_readEnd = FileDescriptor(pair[0]);
    m_writeEnd = FileDescriptor(pair[1]);
    m_previousWriteEnd = signalledEnd().exchange(m_writeEnd.get());
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd.get(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readPending(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted, so that a signal does not fail the file call it interrupts; the loop sees the byte soon
    // after.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

QuitSignals::~QuitSignals() {
    if (!m_readEnd.isOpen())
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    signalledEnd().store(m_previousWriteEnd);
    m_notifier.reset();
}

void QuitSignals::readPending() {
    char bytes[16];
    while (::read(m_readEnd.get(), bytes, sizeof bytes) > 0) {
    }
    dispatch([] { Quit(0); });
}

} // namespace fw
