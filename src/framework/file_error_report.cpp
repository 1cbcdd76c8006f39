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

// The first line of the dialog, which names the file at fault.
QString headline(const std::string& outputPath, const FileFailure& failure) {
    const QString output = displayed(outputPath);
    switch (failure.kind) {
    case FileFailure::Kind::Read:
        return QObject::tr("The file \"%1\" could not be read, so \"%2\" was not written.")
            .arg(displayed(failure.path), output);
    case FileFailure::Kind::Changed:
        return QObject::tr("The file \"%1\" changed while it was being read, so \"%2\" was not written.")
            .arg(displayed(failure.path), output);
    case FileFailure::Kind::Write:
        break;
    }
    return QObject::tr("The file \"%1\" could not be written.").arg(output);
}

} // namespace

void reportFileError(const std::string& outputPath, const FileFailure& failure) {
    if (failure.kind == FileFailure::Kind::Changed)
        std::fprintf(stderr, "\"%s\" changed while it was being read: %s\n", failure.path.c_str(),
                     failure.reason.c_str());
    else
        std::fprintf(stderr, "Could not %s \"%s\": %s\n",
                     failure.kind == FileFailure::Kind::Read ? "read" : "write", failure.path.c_str(),
                     failure.reason.c_str());
    QMessageBox box(QMessageBox::Warning, QObject::tr("File not written"), headline(outputPath, failure),
                    QMessageBox::Ok);
    box.setInformativeText(
        QString::fromLocal8Bit(failure.reason.c_str()) +
        QObject::tr(". \"%1\" was left as it was.").arg(displayed(lastPathComponent(outputPath))));
    ModalDialogs::run(box);
}

} // namespace fw
