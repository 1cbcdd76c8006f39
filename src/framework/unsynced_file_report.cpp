#include "unsynced_file_report.h"

#include "modal_dialogs.h"

#include <QMessageBox>

#include <cstdio>

namespace fw {

void reportUnsyncedFile(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "Could not sync the folder of \"%s\": %s\n", path.c_str(), reason.c_str());
    const QString file = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    QMessageBox box(
        QMessageBox::Warning, QObject::tr("File may not be on the disk"),
        QObject::tr("The file \"%1\" was written, but it may not survive a power loss.").arg(file),
        QMessageBox::Ok);
    box.setInformativeText(QString::fromLocal8Bit(reason.c_str()) +
                           QObject::tr(". Its folder could not be written to the disk."));
    ModalDialogs::run(box);
}

} // namespace fw
