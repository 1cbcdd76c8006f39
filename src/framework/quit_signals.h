#pragma once

#include "file_descriptor.h"

#include <csignal>
#include <iterator>
#include <memory>

class QSocketNotifier;

namespace fw {

// While it lives, SIGTERM, SIGINT and SIGHUP end the run as Quit(0) does: a job under way is abandoned at its
// next yield, so a merge cut short leaves its target and folder as they were, rather than a half-written
// temporary file beside the target. Made and ended by the Runtime; the handlers found are put back at the
// end.
class QuitSignals {
public:
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    void readPending();

    FileDescriptor m_readEnd;
    FileDescriptor m_writeEnd;
    int m_previousWriteEnd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previous[std::size(kSignals)]{};
};

} // namespace fw
