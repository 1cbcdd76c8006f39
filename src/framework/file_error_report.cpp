#include "file_error_report.h"

#include "file_system.h"
#include "modal_dialogs.h"

#include <QMessageBox>

#include <cstdio>

namespace fw {
namespace {

QString displayed(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

} // namespace

void reportFileError(const std::string& outputPath, const FileFailure& failure) {
    std::fprintf(stderr, "Could not %s \"%s\": %s\n", failure.reading ? "read" : "write",
                 failure.path.c_str(), failure.reason.c_str());
    const QString output = displayed(outputPath);
    const QString text = failure.reading
                             ? QObject::tr("The file \"%1\" could not be read, so \"%2\" was not written.")
                                   .arg(displayed(failure.path), output)
                             : QObject::tr("The file \"%1\" could not be written.").arg(output);
    QMessageBox box(QMessageBox::Warning, QObject::tr("File not written"), text, QMessageBox::Ok);
    box.setInformativeText(
        QString::fromLocal8Bit(failure.reason.c_str()) +
        QObject::tr(". \"%1\" was left as it was.").arg(displayed(lastPathComponent(outputPath))));
    ModalDialogs::run(box);
}

} // namespace fw
