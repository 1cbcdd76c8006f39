#include "save_file_dialog.h"

#include "modal_dialogs.h"

#include <QFileInfo>
#include <QMessageBox>

namespace fw {

SaveFileDialog::SaveFileDialog(QWidget* parent, const QString& suggestedName) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    selectFile(suggestedName);
}

void SaveFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    // A folder is never the file: Qt's dialog opens it instead, and asking about it would make no sense.
    const QFileInfo file(files.first());
    if (file.exists() && !file.isDir() && !confirmReplacing(file))
        return;
    QFileDialog::accept();
}

bool SaveFileDialog::confirmReplacing(const QFileInfo& file) {
    QMessageBox question(QMessageBox::Warning, windowTitle(),
                         tr("\"%1\" already exists. Do you want to replace it?").arg(file.fileName()),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    return ModalDialogs::run(question) == QMessageBox::Yes;
}

} // namespace fw
