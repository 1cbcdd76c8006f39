#include "event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <chrono>
#include <exception>
#include <utility>

namespace fw {
namespace {

struct LoopState {
    std::exception_ptr escaped;
    bool quitting = false;
    std::int32_t status = 0;
};

LoopState& loop() {
    static LoopState state;
    return state;
}

// Ends the running event loops. Outside any loop Qt would instead make the next one (a dialog's, say) end at
// once, so there the request is only noted, and RuntimeRun does not start.
void endEventLoops(int status) {
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(status);
}

} // namespace

void RuntimeRun() {
    if (!loop().quitting && !loop().escaped)
        QCoreApplication::exec();
    if (loop().escaped)
        std::rethrow_exception(std::exchange(loop().escaped, nullptr));
}

void Quit(std::int32_t status) {
    if (loop().quitting)
        return;
    loop().quitting = true;
    loop().status = status;
    endEventLoops(status);
}

// A loop over thousands of rows yields once per row; letting events run at most twenty times a second keeps
// the window painted without spending the loop's time on repainting it. A click or a key press waits until
// the loop is done: a merge started halfway through a drop would merge only the files listed so far.
void RuntimeBackgroundTask() {
    constexpr auto kInterval = std::chrono::milliseconds(50);
    static auto lastYield = std::chrono::steady_clock::time_point();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield < kInterval)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastYield = std::chrono::steady_clock::now();
}

void dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        // The first exception ends the run; one raised while the loop winds down adds nothing to the report.
        if (!loop().escaped)
            loop().escaped = std::current_exception();
        loop().quitting = true;
        endEventLoops(1);
    }
}

std::int32_t takeQuitStatus() { return std::exchange(loop(), LoopState()).status; }

} // namespace fw
