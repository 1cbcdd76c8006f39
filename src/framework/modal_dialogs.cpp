#include "modal_dialogs.h"

#include "event_loop.h"

#include <QDialog>
#include <QTimer>

namespace fw {
namespace {

ModalDialogs::Answerer& answerer() {
    static ModalDialogs::Answerer installed;
    return installed;
}

} // namespace

void ModalDialogs::setAnswerer(Answerer answerer_) { answerer() = std::move(answerer_); }

// Once the user has asked to quit, nothing more is asked or reported: a question would hold the quit up, and
// a report would come after the user had left.
int ModalDialogs::run(QDialog& dialog) {
    if (quitAsked())
        return QDialog::Rejected;
    if (answerer()) {
        // Answer once the dialog's own event loop runs, as a user would.
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (answerer())
                answerer()(dialog);
        });
    }
    return dialog.exec();
}

} // namespace fw
