#include "output_file.h"

#include "file_system.h"
#include "open_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fw {
namespace {

// As many links as QSaveFile follows; a longer chain is a loop, which the system then names.
constexpr int kMostLinks = 128;

std::string pathOf(const QString& name) { return QFile::encodeName(name).toStdString(); }

// The file that QSaveFile writes for a name: links followed one at a time, as QSaveFile follows them, so
// that a link to a file that does not exist yet names that file.
QString savedFileName(const QString& name) {
    QFileInfo file(name);
    for (int depth = 0; depth < kMostLinks && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.absoluteFilePath();
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

// Why the target must not be replaced, or nothing. Asked before QSaveFile opens, which would swap a named
// pipe or a device for an ordinary file, and which cannot tell the user whether the file or its folder
// refused. Writability is access()'s answer, as QSaveFile's own is: it speaks for this user, with root's
// override, a read-only file system and access lists, where mode bits would not.
std::optional<std::string> refusalOf(const std::string& target, const std::string& folder) {
    const std::optional<struct stat> status = fileStatus(target);
    if (!status && errno != ENOENT)
        return std::strerror(errno);
    if (status && !S_ISREG(status->st_mode))
        return "It is " + kindOf(status->st_mode) + ", not a regular file";
    if (status && ::access(target.c_str(), W_OK) != 0)
        return std::string("The file is not writable: ") + std::strerror(errno);
    if (::access(folder.c_str(), W_OK | X_OK) == 0)
        return std::nullopt;
    const int error = errno;
    if (error != EACCES && error != EROFS)
        return std::strerror(error);
    return std::string(status ? "The file is writable, but its folder is not: "
                              : "Its folder is not writable: ") +
           std::strerror(error);
}

} // namespace

OutputFile::OutputFile(std::unique_ptr<QSaveFile> saveFile, std::shared_ptr<OpenFile> file)
    : m_saveFile(std::move(saveFile)), m_file(std::move(file)) {}

OutputFile::~OutputFile() = default;

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path, FileFailure& refusal) {
    refusal = FileFailure{path, {}, FileFailure::Kind::Write};
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // Qt names a file by text, so a name that is not valid UTF-8 would be saved under another name.
    if (pathOf(name) != path) {
        refusal.reason = "Its name is not valid UTF-8";
        return nullptr;
    }
    const QString target = savedFileName(name);
    if (auto reason = refusalOf(pathOf(target), pathOf(QFileInfo(target).absolutePath()))) {
        refusal.reason = std::move(*reason);
        return nullptr;
    }
    auto saveFile = std::make_unique<QSaveFile>(target);
    // Qt's way out of a folder that takes no new file is to write straight into the target, which would
    // destroy a listed file before it is read.
    saveFile->setDirectWriteFallback(false);
    // Unbuffered: the stream writes through the descriptor, at offsets it keeps itself.
    if (!saveFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        refusal.reason = saveFile->errorString().toStdString();
        return nullptr;
    }
    // A descriptor of the stream's own: bytes read back from the output may outlive the save file.
    const int descriptor = ::fcntl(saveFile->handle(), F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) {
        refusal.reason = std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<OutputFile>(
        new OutputFile(std::move(saveFile), std::make_shared<OpenFile>(descriptor, path)));
}

std::optional<FileFailure> OutputFile::commit() {
    // QSaveFile syncs before it renames but carries on when the sync fails, and bytes the disk did not take
    // must not replace the target. EINVAL and EROFS only say that the file system keeps nothing to sync.
    if (::fdatasync(m_file->descriptor()) != 0 && errno != EINVAL && errno != EROFS)
        return FileFailure{m_file->path(), std::strerror(errno), FileFailure::Kind::Write};
    if (!m_saveFile->commit())
        return FileFailure{m_file->path(), m_saveFile->errorString().toStdString(), FileFailure::Kind::Write};
    return std::nullopt;
}

} // namespace fw
