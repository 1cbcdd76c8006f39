#include "folder_item.h"

#include "binary_stream.h"
#include "file_error_report.h"
#include "file_system.h"
#include "open_file.h"
#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fw {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

FolderItem::FolderItem(std::string absolutePath)
    : m_absolutePath(withoutTrailingSlashes(std::move(absolutePath))) {}

bool FolderItem::Exists() const {
    if (m_look && std::exchange(m_look->forExists, false))
        return m_look->exists;
    return fileStatus(m_absolutePath).has_value();
}

bool FolderItem::lookNamesFolder() {
    const std::optional<struct stat> status = fileStatus(m_absolutePath);
    m_look = Look{status.has_value(), status && S_ISREG(status->st_mode)};
    return status && S_ISDIR(status->st_mode);
}

// A drop's cursor looked at the path as it came to the file, just before the handler opens it: that look
// serves as the check, once.
bool FolderItem::namesRegularFile() const {
    if (m_look && std::exchange(m_look->forOpening, false))
        return m_look->regular;
    const std::optional<struct stat> status = fileStatus(m_absolutePath);
    return status && S_ISREG(status->st_mode);
}

std::string FolderItem::Name() const { return lastPathComponent(m_absolutePath); }

std::uint64_t FolderItem::Length() const {
    // An open file answers without the system looking the path up again, and it is the file being read.
    if (const std::shared_ptr<OpenFile> file = m_openFile.lock()) {
        struct stat status {};
        if (::fstat(file->descriptor(), &status) == 0)
            return static_cast<std::uint64_t>(status.st_size);
    }
    const std::optional<struct stat> status = fileStatus(m_absolutePath);
    return status ? static_cast<std::uint64_t>(status->st_size) : 0;
}

Ref<BinaryStream> FolderItem::OpenAsBinaryFile(bool readWrite) const {
    // Checked before opening as well as after: opening a device can itself have effects, such as rewinding
    // a tape, and a named pipe would block until a writer came along without O_NONBLOCK.
    if (!namesRegularFile())
        return nullptr;
    const int access = readWrite ? O_RDWR : O_RDONLY;
    FileDescriptor descriptor(::open(m_absolutePath.c_str(), access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!descriptor.isOpen())
        return nullptr;
    // The path may have been swapped for something else between the stat and the open. On a regular file the
    // non-blocking flag changes nothing, so it stays.
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    auto file = std::make_shared<OpenFile>(std::move(descriptor), m_absolutePath);
    m_openFile = file;
    return makeRef<BinaryStream>(std::move(file));
}

// This platform has no file type codes, so the type the caller names has nothing to be stored in.
Ref<BinaryStream> FolderItem::CreateBinaryFile(const std::string& /*fileType*/) const {
    FileFailure refusal;
    std::unique_ptr<OutputFile> output = OutputFile::open(m_absolutePath, m_agreedTarget, refusal);
    if (!output) {
        reportFileError(m_absolutePath, refusal);
        return nullptr;
    }
    return makeRef<BinaryStream>(std::move(output));
}

Ref<FolderItem> GetFolderItem(const std::string& path, int pathMode) {
    if (pathMode != 0 || path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
        return nullptr;
    return makeRef<FolderItem>(path);
}

} // namespace fw
