#include "save_target.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace fw {
namespace {

// As many links as the kernel follows in one path.
constexpr int kMostLinks = 40;
constexpr char kChangedWhileLooking[] = "It changed while it was being looked at";

// A path cut at its last slash: the folder to open, and the name in it. An empty name, as after a trailing
// slash, stands for the folder itself.
std::pair<std::string, std::string> splitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path.empty() ? "." : path};
    std::string name = path.substr(slash + 1);
    return {slash == 0 ? "/" : path.substr(0, slash), name.empty() ? "." : std::move(name)};
}

// The kernel resolves every link and every ".." in the folder's path, with its protections.
FileDescriptor openFolder(int base, const std::string& folder) {
    return FileDescriptor(::openat(base, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// The kernel's rule for links in a sticky folder that everyone may write (fs.protected_symlinks): such a link
// is followed only when it belongs to the one who follows it or to the folder's owner, so that nobody can
// plant a link there that sends another user's file somewhere else. It holds here even where that setting is
// off, since the last link is followed by hand, and a refused save costs less than another user's file.
bool mayFollow(const struct stat& folder, const struct stat& link) {
    constexpr mode_t kSharedAndSticky = S_ISVTX | S_IWOTH;
    return (folder.st_mode & kSharedAndSticky) != kSharedAndSticky || link.st_uid == ::geteuid() ||
           link.st_uid == folder.st_uid;
}

std::optional<std::string> readLinkAt(int folder, const std::string& name) {
    std::string text(PATH_MAX + 1, '\0');
    const ssize_t length = ::readlinkat(folder, name.c_str(), text.data(), text.size());
    if (length < 0)
        return std::nullopt;
    if (static_cast<std::size_t>(length) > PATH_MAX) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

SaveTarget::SaveTarget(FileDescriptor folder, std::string name)
    : m_folder(std::move(folder)), m_name(std::move(name)) {}

std::optional<SaveTarget> SaveTarget::resolve(const std::string& path, std::string& why) {
    auto [folderPath, name] = splitPath(path);
    SaveTarget target(openFolder(AT_FDCWD, folderPath), std::move(name));
    if (!target.m_folder.isOpen() || ::fstat(target.folder(), &target.m_folderStatus) != 0 ||
        !target.followLinks()) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    // The kernel's own walk of the whole path must end where the steps by hand did. Where it refuses, its
    // word stands; where it finds another file, or a file where there was none, the path changed meanwhile.
    const FileDescriptor file(::open(path.c_str(), O_PATH | O_CLOEXEC));
    if (!file.isOpen() && errno != ENOENT) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    const bool agrees = file.isOpen() ? target.m_file && ::fstat(file.get(), &status) == 0 &&
                                            FileIdentity::of(status) == FileIdentity::of(*target.m_file)
                                      : !target.m_file;
    if (!agrees) {
        why = kChangedWhileLooking;
        return std::nullopt;
    }
    return target;
}

AgreedTarget SaveTarget::agreement() const {
    AgreedTarget agreed{FileIdentity::of(m_folderStatus), m_name, std::nullopt};
    if (m_file)
        agreed.file = FileIdentity::of(*m_file);
    return agreed;
}

bool SaveTarget::followLinks() {
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::fstatat(folder(), m_name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            // Only a name that is not there is free; a name that cannot be looked at is not.
            m_file.reset();
            return errno == ENOENT;
        }
        if (!S_ISLNK(status.st_mode))
            return holdFile();
        if (links == kMostLinks) {
            errno = ELOOP;
            return false;
        }
        if (!followLink(status))
            return false;
    }
}

bool SaveTarget::holdFile() {
    m_fileHandle = FileDescriptor(::openat(folder(), m_name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!m_fileHandle.isOpen() || ::fstat(m_fileHandle.get(), &status) != 0)
        return false;
    m_file = status;
    return true;
}

// The link's text is resolved from the link's own folder, by the kernel, so that ".." is the folder's parent
// and not the text before the last slash.
bool SaveTarget::followLink(const struct stat& link) {
    if (!mayFollow(m_folderStatus, link)) {
        errno = EACCES;
        return false;
    }
    const std::optional<std::string> text = readLinkAt(folder(), m_name);
    if (!text)
        return false;
    auto [folderPath, name] = splitPath(*text);
    FileDescriptor next = openFolder(folder(), folderPath);
    if (!next.isOpen() || ::fstat(next.get(), &m_folderStatus) != 0)
        return false;
    m_folder = std::move(next);
    m_name = std::move(name);
    return true;
}

} // namespace fw
