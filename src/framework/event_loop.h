#pragma once

#include <cstdint>
#include <functional>

namespace fw {

// Runs the event loop until Quit. An exception that program code let escape ends the loop and is raised
// again here, so it reaches the program's catch-all exactly once.
void RuntimeRun();
// Ends the event loop with a status; a Quit while a quit is under way changes nothing. Asked while a handler
// runs, it also ends that handler's work at its next yield, and any dialog the handler has open.
void Quit(std::int32_t status);
// Lets pending events run, then returns; called in a tight loop, it lets them run every 50 ms at most. Once
// the run is ending, it does not return: the handler that called it is abandoned, as its dispatch expects.
void RuntimeBackgroundTask();

// Every entry from Qt into program code goes through here: an exception never unwinds through Qt's event
// loop; it ends the loop, and RuntimeRun raises it again.
void dispatch(const std::function<void()>& handler);

// Whether Quit has been asked in this run: nothing is asked of the user after that.
bool quitAsked();

// The status that Quit asked for, 0 if none. The run's quit, and an exception that was never raised again,
// are forgotten, so that the next run starts from nothing.
std::int32_t takeQuitStatus();

} // namespace fw
