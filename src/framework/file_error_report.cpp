#include "file_error_report.h"

#include "modal_dialogs.h"

#include <QFile>
#include <QMessageBox>

#include <cstdio>

namespace fw {

void ReportFileError(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "Could not write \"%s\": %s\n", path.c_str(), reason.c_str());
    const QString name = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    QMessageBox box(QMessageBox::Warning, QObject::tr("File not written"),
                    QObject::tr("The file \"%1\" could not be written.").arg(name), QMessageBox::Ok);
    box.setInformativeText(QString::fromLocal8Bit(reason.c_str()) +
                           QObject::tr(". The file was left as it was."));
    ModalDialogs::run(box);
}

} // namespace fw
