#include "output_file.h"

#include "file_descriptor.h"
#include "file_error_report.h"
#include "file_metadata.h"
#include "open_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fw {
namespace {

constexpr char kChangedAfterChosen[] = "It was changed after it was chosen";
constexpr char kChangedWhileWriting[] = "It was changed while the new file was being written";
// Short, so that it fits beside a target whose own name takes all of the 255 bytes a name may have.
constexpr char kHiddenNamePrefix[] = ".wrenfold-";
constexpr int kHiddenNameLetters = 6;
constexpr int kHiddenNameTries = 100;

std::string errorText(int error = errno) { return std::strerror(error); }

std::string hiddenName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = kHiddenNamePrefix;
    for (int i = 0; i < kHiddenNameLetters; ++i)
        name += kLetters[::arc4random_uniform(sizeof kLetters - 1)];
    return name;
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

// Why the target must not be replaced, or nothing. Writability is faccessat()'s answer: it speaks for this
// user, with root's override, a read-only file system and access lists, where mode bits would not.
std::optional<std::string> refusalOf(const SaveTarget& target) {
    const std::optional<struct stat>& file = target.file();
    if (file && !S_ISREG(file->st_mode))
        return "It is " + kindOf(file->st_mode) + ", not a regular file";
    if (file && ::faccessat(target.folder(), target.name().c_str(), W_OK, 0) != 0)
        return "The file is not writable: " + errorText();
    if (::faccessat(target.folder(), ".", W_OK | X_OK, 0) == 0)
        return std::nullopt;
    const int error = errno;
    if (error != EACCES && error != EROFS)
        return errorText(error);
    return std::string(file ? "The file is writable, but its folder is not: "
                            : "Its folder is not writable: ") +
           errorText(error);
}

// How a file system says that it makes no file without a name.
bool makesNoUnnamedFile(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// EINVAL and EROFS only say that the file system keeps nothing to sync.
bool syncFailed(int result) { return result != 0 && errno != EINVAL && errno != EROFS; }

} // namespace

OutputFile::OutputFile(std::string path, SaveTarget target)
    : m_path(std::move(path)), m_target(std::move(target)) {}

OutputFile::~OutputFile() {
    if (!m_temporaryName.empty())
        ::unlinkat(m_target.folder(), m_temporaryName.c_str(), 0);
}

std::unique_ptr<OutputFile>
OutputFile::open(const std::string& path, const std::optional<AgreedTarget>& agreed, FileFailure& refusal) {
    refusal = FileFailure{path, {}, FileFailure::Kind::Write};
    std::optional<SaveTarget> target = SaveTarget::resolve(path, refusal.reason);
    if (!target)
        return nullptr;
    if (agreed && target->agreement() != *agreed) {
        refusal.reason = kChangedAfterChosen;
        return nullptr;
    }
    if (auto reason = refusalOf(*target)) {
        refusal.reason = std::move(*reason);
        return nullptr;
    }
    // Made before anything is opened, so that whatever is opened or named from here on has an owner that
    // closes or removes it, even when an allocation throws.
    std::unique_ptr<OutputFile> output(new OutputFile(path, std::move(*target)));
    if (auto reason = output->makeNewFile()) {
        refusal.reason = std::move(*reason);
        return nullptr;
    }
    return output;
}

// A new file's mode is narrowed by the umask, as for any new file. One that replaces a file is the owner's
// alone until commit gives it the old file's mode: a hidden file beside the target must not let others read
// what the old file may have kept from them.
mode_t OutputFile::newFileMode() const { return m_target.file() ? 0600 : 0666; }

std::optional<std::string> OutputFile::makeNewFile() {
    FileDescriptor file(::openat(m_target.folder(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, newFileMode()));
    if (!file.isOpen() && makesNoUnnamedFile(errno))
        return makeNamedFile();
    if (!file.isOpen())
        return errorText();
    m_file = std::make_shared<OpenFile>(std::move(file), m_path);
    m_unnamed = true;
    return std::nullopt;
}

// Where the file system makes no file without a name (FUSE, NFS, vfat), a hidden one beside the target, which
// a discarded output removes. Only a killed process leaves it behind.
std::optional<std::string> OutputFile::makeNamedFile() {
    for (int tries = 0; tries < kHiddenNameTries; ++tries) {
        m_temporaryName = hiddenName();
        FileDescriptor file(::openat(m_target.folder(), m_temporaryName.c_str(),
                                     O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC, newFileMode()));
        if (file.isOpen()) {
            m_file = std::make_shared<OpenFile>(std::move(file), m_path);
            return std::nullopt;
        }
        const int error = errno;
        m_temporaryName.clear();
        if (error != EEXIST)
            return errorText(error);
    }
    return errorText(EEXIST);
}

std::optional<FileFailure> OutputFile::commit() {
    std::optional<std::string> reason;
    // Bytes the disk did not take must not replace the target.
    if (syncFailed(::fdatasync(m_file->descriptor())))
        reason = errorText();
    if (!reason && m_target.file())
        reason = keepOldFilesMetadata();
    if (!reason)
        reason = putInPlace();
    if (reason)
        return FileFailure{m_path, std::move(*reason), FileFailure::Kind::Write};
    if (auto unsynced = syncFolder())
        reportUnsyncedFile(m_path, *unsynced);
    return std::nullopt;
}

std::optional<std::string> OutputFile::keepOldFilesMetadata() const {
    return keepMetadata(m_target.fileHandle(), m_file->descriptor());
}

// The path is resolved once more, exactly as when the output was opened: the same folder, and the same file
// or still none. Both are held open since, so their numbers name no other file; and the same file is still a
// regular file, since its type is its inode's.
std::optional<std::string> OutputFile::checkTargetUnchanged() const {
    std::string why;
    const std::optional<SaveTarget> now = SaveTarget::resolve(m_path, why);
    if (!now)
        return why;
    if (now->agreement() != m_target.agreement())
        return kChangedWhileWriting;
    return std::nullopt;
}

// Every step goes through the folder held since the output was opened, and only the name in it is given, so
// that a path near 4096 bytes works wherever its folder opens, and a folder swapped for another meanwhile is
// never written into.
std::optional<std::string> OutputFile::putInPlace() {
    // A file that replaces another is named beside it first, so that the last step is a single rename.
    if (m_unnamed && m_target.file()) {
        if (auto reason = linkUnderHiddenName())
            return reason;
    }
    if (auto reason = checkTargetUnchanged())
        return reason;
    // Between that look and the rename, something else may still be put at the name, and a rename replaces
    // it: no call replaces a name only while it holds a given file. A new file, though, is never put over
    // anything, since linkat and RENAME_NOREPLACE fail instead.
    const int folder = m_target.folder();
    const char* name = m_target.name().c_str();
    if (m_target.file()) {
        if (::renameat(folder, m_temporaryName.c_str(), folder, name) != 0)
            return errorText();
        m_temporaryName.clear();
        return std::nullopt;
    }
    if (m_unnamed) {
        const int error = linkUnder(m_target.name());
        return error == 0 ? std::nullopt : std::optional<std::string>(errorText(error));
    }
    int result = ::renameat2(folder, m_temporaryName.c_str(), folder, name, RENAME_NOREPLACE);
    // A file system that takes no flags for a rename: the name is checked once more and the plain rename
    // follows, leaving the same small window as for a replaced file.
    if (result != 0 && errno == EINVAL) {
        struct stat status {};
        if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            errno = EEXIST;
        else if (errno == ENOENT)
            result = ::renameat(folder, m_temporaryName.c_str(), folder, name);
    }
    if (result != 0)
        return errorText();
    m_temporaryName.clear();
    return std::nullopt;
}

// Gives the unnamed file a name in the folder; 0 or the errno. linkat fails rather than replace a file that
// has that name.
int OutputFile::linkUnder(const std::string& name) const {
    const std::string unnamed = "/proc/self/fd/" + std::to_string(m_file->descriptor());
    if (::linkat(AT_FDCWD, unnamed.c_str(), m_target.folder(), name.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return errno;
    return 0;
}

std::optional<std::string> OutputFile::linkUnderHiddenName() {
    for (int tries = 0; tries < kHiddenNameTries; ++tries) {
        m_temporaryName = hiddenName();
        const int error = linkUnder(m_temporaryName);
        if (error == 0)
            return std::nullopt;
        m_temporaryName.clear();
        if (error != EEXIST)
            return errorText(error);
    }
    return errorText(EEXIST);
}

// Without it, the new name may be lost with a power loss even though the file's bytes are on the disk.
std::optional<std::string> OutputFile::syncFolder() const {
    const FileDescriptor folder(::openat(m_target.folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen() || syncFailed(::fsync(folder.get())))
        return errorText();
    return std::nullopt;
}

} // namespace fw
