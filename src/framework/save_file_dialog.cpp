#include "save_file_dialog.h"

#include "modal_dialogs.h"

#include <QFile>
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

// The file is looked for where the save will land, as the save itself finds it, so that a file that only a
// link leads to is asked about, and a file that cannot be looked at is not taken for none: that one is agreed
// to as nothing at all, so the save refuses it and tells the user why.
void SaveFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    std::string why;
    const std::optional<SaveTarget> target =
        SaveTarget::resolve(QFile::encodeName(files.first()).toStdString(), why);
    const bool exists = target && target->file();
    // A folder is never the file: Qt's dialog opens it instead, and asking about it would make no sense.
    if (exists && !S_ISDIR(target->file()->st_mode) && !confirmReplacing(QFileInfo(files.first()).fileName()))
        return;
    m_agreedTarget = target ? target->agreement() : AgreedTarget{};
    QFileDialog::accept();
}

bool SaveFileDialog::confirmReplacing(const QString& name) {
    QMessageBox question(QMessageBox::Warning, windowTitle(),
                         tr("\"%1\" already exists. Do you want to replace it?").arg(name),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    return ModalDialogs::run(question) == QMessageBox::Yes;
}

} // namespace fw
