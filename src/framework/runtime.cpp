#include "runtime.h"

#include "application.h"
#include "event_loop.h"
#include "file_type_registry.h"
#include "framework_classes.h"
#include "module_property.h"
#include "quit_signals.h"
#include "unhandled_exception.h"
#include "window_list.h"

#include <QApplication>
#include <QSettings>

#include <cerrno>

namespace fw {

void discardQtSettings() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

Runtime::Runtime() {
    discardQtSettings();
    if (!QApplication::instance()) {
        // The process's own name, so the window system can tell whose windows these are; no argument is read.
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};
        m_ownApplication = std::make_unique<QApplication>(argc, argv);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    registerFrameworkClasses();
    // A stream used outside any run, as a test may, has yielded; this run's first yield must not wait on it.
    takeQuitStatus();
    m_quitSignals = std::make_unique<QuitSignals>();
}

Runtime::~Runtime() { Exit(); }

int Runtime::Exit() {
    if (m_exitStatus)
        return *m_exitStatus;
    releaseWindowLists();
    releaseModuleObjects();
    releaseApplicationObject();
    forgetFileTypes();
    const std::int32_t quitStatus = takeQuitStatus();
    m_exitStatus = takeExceptionReported() ? 1 : quitStatus;
    m_quitSignals.reset();
    m_ownApplication.reset();
    return *m_exitStatus;
}

} // namespace fw
