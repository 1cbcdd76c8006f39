#pragma once

#include "ref.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace fw {

class Application;
class Window;

// Brings the framework up: the Qt application (unless one exists already), nothing from the command line.
void RuntimeInit();
// Registers the framework's own classes, ahead of the program's.
void RuntimeRegisterClasses();
void RuntimeInitExternalClasses();
void RuntimeAllocatePluginEntrypointsTable(int count);
void RuntimeRegisterAppObject(const Ref<Application>& application);
Ref<Application> RuntimeApplication();

// Runs the event loop until Quit. An exception that a handler let escape ends the loop and is raised again
// here, so it reaches the program's catch-all exactly once.
void RuntimeRun();
// Ends the event loop with a status; a Quit while a quit is under way changes nothing.
void Quit(std::int32_t status);
bool RuntimeQuitting();
// Lets pending events run, then returns; called in a tight loop, it lets them run every 50 ms at most.
void RuntimeBackgroundTask();
// Shows which exception escaped, in a dialog and on standard error.
void UnhandledException(std::exception_ptr exception);
// Shuts the framework down and yields the exit status: Quit's, or 1 after an unhandled exception.
int RuntimeExit();

// Every entry from Qt into the program goes through here: an exception never unwinds through Qt's event loop;
// it ends the loop and RuntimeRun raises it again.
void RuntimeDispatch(const std::function<void()>& handler);

// The windows the framework keeps: open windows, and the one window of each class made through its accessor.
void RuntimeAddWindow(const Ref<Window>& window);
Ref<Window> GetImplicitWindow(const std::string& className);
void RuntimeReleaseWindowLists();

} // namespace fw
