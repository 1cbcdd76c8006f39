#include "modal_dialogs.h"

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

int ModalDialogs::run(QDialog& dialog) {
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
