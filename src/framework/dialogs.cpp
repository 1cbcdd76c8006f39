#include "dialogs.h"

#include "file_type_registry.h"
#include "folder_item.h"
#include "modal_dialogs.h"
#include "save_file_dialog.h"

#include <QApplication>
#include <QFile>

namespace fw {
namespace {

// An empty chooser filter means every file, which is Qt's default when no name filter is set.
void offerFileType(QFileDialog& dialog, const std::string& filter) {
    const std::string chooserFilter = chooserFilterOf(filter);
    if (!chooserFilter.empty())
        dialog.setNameFilter(QString::fromStdString(chooserFilter));
}

// The path goes back to the bytes the system names the file by, as every FolderItem keeps it.
Ref<FolderItem> chosenFile(QFileDialog& dialog) {
    if (ModalDialogs::run(dialog) != QDialog::Accepted)
        return nullptr;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return nullptr;
    return GetFolderItem(QFile::encodeName(files.first()).toStdString(), 0);
}

} // namespace

Ref<FolderItem> GetOpenFolderItem(const std::string& filter) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    offerFileType(dialog, filter);
    return chosenFile(dialog);
}

Ref<FolderItem> GetSaveFolderItem(const std::string& filter, const std::string& suggestedName) {
    SaveFileDialog dialog(QApplication::activeWindow(), QFile::decodeName(suggestedName.c_str()));
    offerFileType(dialog, filter);
    Ref<FolderItem> file = chosenFile(dialog);
    if (file)
        file->setAgreedTarget(dialog.agreedTarget());
    return file;
}

} // namespace fw
