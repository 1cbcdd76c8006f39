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

// One warning, the same on standard error as on screen, where a user who started Wrenfold from a terminal
// still has it after the dialog is gone.
void warn(const QString& title, const QString& text, const std::string& reason, const QString& consequence) {
    const QString informative = QString::fromLocal8Bit(reason.c_str()) + ". " + consequence;
    std::fprintf(stderr, "%s %s\n", qPrintable(text), qPrintable(informative));
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setInformativeText(informative);
    ModalDialogs::run(box);
}

} // namespace

void reportFileError(const std::string& outputPath, const FileFailure& failure) {
    warn(QObject::tr("File not written"), headline(outputPath, failure), failure.reason,
         QObject::tr("\"%1\" was left as it was.").arg(displayed(lastPathComponent(outputPath))));
}

void reportUnsyncedFile(const std::string& outputPath, const std::string& reason) {
    warn(QObject::tr("File may not be on the disk"),
         QObject::tr("The file \"%1\" was written, but it may not survive a power loss.")
             .arg(displayed(outputPath)),
         reason, QObject::tr("Its folder could not be written to the disk."));
}

} // namespace fw
