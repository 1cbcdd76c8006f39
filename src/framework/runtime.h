#pragma once

#include <memory>
#include <optional>

class QApplication;

namespace fw {

class QuitSignals;

// One run of the framework, from bringing Qt up to shutting it down. main makes one first of all, and so does
// every test, benchmark and fuzz target that needs the framework. However its scope is left, early or late,
// the run ends in the one safe order: the windows, the module-level objects (newest first), the application
// object, and Qt itself last.
class Runtime {
public:
    // Brings Qt up, unless an application exists already, reading nothing from the command line, registers
    // the framework's classes, and lets SIGTERM, SIGINT and SIGHUP quit as Quit(0) does until Exit.
    Runtime();
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // Ends the run and yields the exit status: Quit's, or 1 after an unhandled exception was reported. A
    // second call ends nothing more and yields the same status.
    int Exit();

private:
    std::unique_ptr<QApplication> m_ownApplication;
    std::unique_ptr<QuitSignals> m_quitSignals;
    std::optional<int> m_exitStatus;
};

// Points Qt's own user settings, where its file dialogs keep their history and last folder to start from
// next time, at a place in which nothing can be made: nothing is carried from one run to the next, and a run
// that is killed leaves nothing behind either. Runtime does this itself; a process that shows file dialogs
// without one calls it first.
void discardQtSettings();

// Nothing here is loaded from outside the program, so there are no external classes to set up.
inline void RuntimeInitExternalClasses() {}
// This platform loads no plug-ins, so a table of their entry points would never be read.
inline void RuntimeAllocatePluginEntrypointsTable(int /*count*/) {}

} // namespace fw
