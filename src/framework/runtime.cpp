#include "runtime.h"

#include "application.h"
#include "class_record.h"
#include "control.h"
#include "file_type.h"
#include "listbox.h"
#include "menu_bar.h"
#include "modal_dialogs.h"
#include "push_button.h"
#include "quit_menu_item.h"
#include "window.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace fw {
namespace {

struct RuntimeState {
    std::unique_ptr<QApplication> ownApplication;
    std::unique_ptr<QTemporaryDir> settingsFolder;
    Ref<Application> application;
    std::vector<int> pluginEntrypoints;
    std::vector<Ref<Window>> windows;
    std::map<std::string, Ref<Window>> implicitWindows;
    std::exception_ptr escaped;
    bool quitting = false;
    bool reported = false;
    std::int32_t status = 0;
};

RuntimeState& state() {
    static RuntimeState runtime;
    return runtime;
}

struct Description {
    std::string name;
    std::string message;
};

Description describe(std::exception_ptr exception) {
    try {
        std::rethrow_exception(exception);
    } catch (const RuntimeException& e) {
        return {e.name(), e.what()};
    } catch (const std::exception& e) {
        return {"exception", e.what()};
    } catch (...) {
        return {"unknown exception", "no description"};
    }
}

// Ends the running event loops. Outside any loop Qt would instead make the next one (a dialog's, say) end at
// once, so there the request is only noted, and RuntimeRun does not start.
void endEventLoops(int status) {
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(status);
}

} // namespace

void RuntimeInit() {
    // Qt's file dialogs keep a history and the last folder in the user's settings, and start from them next
    // time; nothing is carried from one run to the next, so they keep theirs where the run's end removes it.
    state().settingsFolder = std::make_unique<QTemporaryDir>();
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, state().settingsFolder->path());
    QApplication::setQuitOnLastWindowClosed(false);
    if (QApplication::instance())
        return;
    // The process's own name, so the window system can tell whose windows these are; no argument is read.
    static int argc = 1;
    static char* argv[] = {program_invocation_short_name, nullptr};
    state().ownApplication = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

void RuntimeRegisterClasses() {
    Control::Record();
    RectControl::Record();
    PushButton::Record();
    Listbox::Record();
    Window::Record();
    MenuItem::Record();
    MenuBar::Record();
    QuitMenuItem::Record();
    Application::Record();
    FileType::Record();
}

// Nothing here is loaded from outside the program, so there are no external classes to set up.
void RuntimeInitExternalClasses() {}

void RuntimeAllocatePluginEntrypointsTable(int count) { state().pluginEntrypoints.assign(count, 0); }

void RuntimeRegisterAppObject(const Ref<Application>& application) { state().application = application; }

Ref<Application> RuntimeApplication() { return state().application; }

void RuntimeRun() {
    if (!state().quitting && !state().escaped)
        QApplication::exec();
    if (state().escaped)
        std::rethrow_exception(std::exchange(state().escaped, nullptr));
}

void Quit(std::int32_t status) {
    if (state().quitting)
        return;
    state().quitting = true;
    state().status = status;
    endEventLoops(status);
}

bool RuntimeQuitting() { return state().quitting; }

// A loop over thousands of rows yields once per row; letting events run at most twenty times a second keeps
// the window responsive without spending the loop's time on repainting it.
void RuntimeBackgroundTask() {
    constexpr auto kInterval = std::chrono::milliseconds(50);
    static auto lastYield = std::chrono::steady_clock::time_point();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield < kInterval)
        return;
    QCoreApplication::processEvents();
    lastYield = std::chrono::steady_clock::now();
}

void UnhandledException(std::exception_ptr exception) {
    state().reported = true;
    const Description description = describe(exception);
    std::fprintf(stderr, "Unhandled %s: %s\n", description.name.c_str(), description.message.c_str());
    if (!QApplication::instance())
        return;
    QMessageBox box(QMessageBox::Critical, QObject::tr("Unexpected error"),
                    QObject::tr("An unexpected %1 occurred, and the application has to close.")
                        .arg(QString::fromStdString(description.name)),
                    QMessageBox::Ok);
    box.setInformativeText(QString::fromStdString(description.message));
    ModalDialogs::run(box);
}

int RuntimeExit() {
    RuntimeState& runtime = state();
    const int status = runtime.reported ? 1 : runtime.status;
    runtime.application = nullptr;
    runtime.windows.clear();
    runtime.implicitWindows.clear();
    runtime.escaped = nullptr;
    runtime.quitting = false;
    runtime.reported = false;
    runtime.status = 0;
    runtime.ownApplication.reset();
    runtime.settingsFolder.reset();
    return status;
}

void RuntimeDispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        // The first exception ends the run; one raised while the loop winds down adds nothing to the report.
        if (!state().escaped)
            state().escaped = std::current_exception();
        state().quitting = true;
        endEventLoops(1);
    }
}

void RuntimeAddWindow(const Ref<Window>& window) {
    state().windows.push_back(window);
    if (window->classRecord())
        state().implicitWindows.emplace(window->classRecord()->name(), window);
}

Ref<Window> GetImplicitWindow(const std::string& className) {
    auto found = state().implicitWindows.find(className);
    return found == state().implicitWindows.end() ? nullptr : found->second;
}

void RuntimeReleaseWindowLists() {
    state().implicitWindows.clear();
    state().windows.clear();
}

} // namespace fw
