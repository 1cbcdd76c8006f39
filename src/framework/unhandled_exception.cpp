#include "unhandled_exception.h"

#include "exceptions.h"
#include "modal_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <string>
#include <utility>

namespace fw {
namespace {

bool& reported() {
    static bool shown = false;
    return shown;
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

} // namespace

void UnhandledException(std::exception_ptr exception) {
    reported() = true;
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

bool takeExceptionReported() { return std::exchange(reported(), false); }

} // namespace fw
