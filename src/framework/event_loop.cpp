#include "event_loop.h"

#include "user_input_hold.h"

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
    // The run is ending, because Quit was asked or an exception escaped.
    bool quitting = false;
    bool quitAsked = false;
    std::int32_t status = 0;
    // How many handlers are running, each inside the one before it.
    int handlers = 0;
    std::chrono::steady_clock::time_point lastYield;
};

LoopState& loop() {
    static LoopState state;
    return state;
}

// Raised at a yield once the run is ending, so that the handler's work unwinds rather than runs to its end;
// only dispatch catches it. Objects released on the way see an exception under way: an output being written
// is discarded rather than saved.
struct RunEnding {};

// Ends the running event loops. Outside any loop Qt would instead make the next one (a dialog's, say) end at
// once, so there the request is only noted, and RuntimeRun does not start.
void endEventLoops(int status) {
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(status);
}

void abandonIfEnding() {
    if (loop().quitting && loop().handlers > 0)
        throw RunEnding();
}

// Clicks and keys that waited for the outermost handler arrive now, as if late; once the run is ending,
// nothing is left to receive them.
void handlerReturned() {
    if (--loop().handlers > 0)
        return;
    if (loop().quitting)
        UserInputHold::forget();
    else
        UserInputHold::release();
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
    loop().quitAsked = true;
    loop().status = status;
    endEventLoops(status);
}

// A loop over thousands of rows yields once per row; letting events run at most twenty times a second keeps
// the window painted without spending the loop's time on repainting it. A click or a key press waits until
// the loop is done (a merge started halfway through a drop would merge only the files listed so far), but a
// request to quit is let through and ends the loop here.
void RuntimeBackgroundTask() {
    constexpr auto kInterval = std::chrono::milliseconds(50);
    abandonIfEnding();
    const auto now = std::chrono::steady_clock::now();
    if (now - loop().lastYield < kInterval)
        return;
    UserInputHold::letEventsRun();
    loop().lastYield = std::chrono::steady_clock::now();
    abandonIfEnding();
}

void dispatch(const std::function<void()>& handler) {
    ++loop().handlers;
    try {
        handler();
    } catch (const RunEnding&) {
        // The quit, or the exception, that ends the run has said all there is to say.
    } catch (...) {
        // The first exception ends the run; one raised while the loop winds down adds nothing to the report.
        if (!loop().escaped)
            loop().escaped = std::current_exception();
        loop().quitting = true;
        endEventLoops(1);
    }
    handlerReturned();
}

bool quitAsked() { return loop().quitAsked; }

std::int32_t takeQuitStatus() {
    UserInputHold::forget();
    return std::exchange(loop(), LoopState()).status;
}

} // namespace fw
