#include "folder_item.h"

#include "binary_stream.h"
#include "file_error_report.h"
#include "open_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The folder part of an absolute path that has no trailing slash.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string lastComponent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The mode a file created with open() would get. umask can only be read by setting it, so it is put back at
// once; the program creates files from its main thread only.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A replaced file keeps its permissions; a new one gets those of any new file.
mode_t replacementMode(const std::string& targetPath) {
    struct stat status {};
    if (::stat(targetPath.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return status.st_mode & 07777;
    return newFileMode();
}

// Writing through a symbolic link replaces the file it points to, not the link.
std::string replacedFile(const std::string& targetPath) {
    struct stat status {};
    if (::lstat(targetPath.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return targetPath;
    char* resolved = ::realpath(targetPath.c_str(), nullptr);
    if (!resolved)
        return targetPath;
    std::string path(resolved);
    std::free(resolved);
    return path;
}

// A hidden name in the target's folder, so the final rename stays within one file system. The name is cut
// short enough that the prefix and suffix still fit within the system's limit of a name.
std::string temporaryTemplate(const std::string& targetPath) {
    const std::string folder = folderOf(targetPath);
    std::string path = folder == "/" ? std::string() : folder;
    path += "/.";
    path += lastComponent(targetPath).substr(0, 200);
    path += ".XXXXXX";
    return path;
}

} // namespace

FolderItem::FolderItem(std::string absolutePath)
    : m_absolutePath(withoutTrailingSlashes(std::move(absolutePath))) {}

bool FolderItem::Exists() const {
    struct stat status {};
    return ::stat(m_absolutePath.c_str(), &status) == 0;
}

std::string FolderItem::Name() const { return lastComponent(m_absolutePath); }

std::uint64_t FolderItem::Length() const {
    struct stat status {};
    if (::stat(m_absolutePath.c_str(), &status) != 0)
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

Ref<BinaryStream> FolderItem::OpenAsBinaryFile(bool readWrite) const {
    // Checked before opening as well as after: opening a device can itself have effects, such as rewinding
    // a tape, and a named pipe would block until a writer came along without O_NONBLOCK.
    if (!isRegularFile(m_absolutePath))
        return nullptr;
    const int access = readWrite ? O_RDWR : O_RDONLY;
    const int descriptor = ::open(m_absolutePath.c_str(), access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    auto file = std::make_shared<OpenFile>(descriptor);

    // The path may have been swapped for something else between the stat and the open. On a regular file the
    // non-blocking flag changes nothing, so it stays.
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    return MakeRef<BinaryStream>(std::move(file));
}

// This platform has no file type codes, so the type the caller names has nothing to be stored in.
Ref<BinaryStream> FolderItem::CreateBinaryFile(const std::string& /*fileType*/) const {
    const std::string targetPath = replacedFile(m_absolutePath);
    std::string temporaryPath = temporaryTemplate(targetPath);
    const int descriptor = ::mkostemp(temporaryPath.data(), O_CLOEXEC);
    if (descriptor < 0) {
        ReportFileError(m_absolutePath, std::strerror(errno));
        return nullptr;
    }
    // mkstemp makes the file private to its owner; the replacement should look like the file it replaces, or
    // like any other new file. A file system that cannot change modes leaves it private, which is no reason
    // to fail.
    ::fchmod(descriptor, replacementMode(targetPath));
    return MakeRef<BinaryStream>(std::make_shared<OpenFile>(descriptor), std::move(temporaryPath),
                                 targetPath);
}

Ref<FolderItem> GetFolderItem(const std::string& path, int pathMode) {
    if (pathMode != 0 || path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
        return nullptr;
    return MakeRef<FolderItem>(path);
}

} // namespace fw
