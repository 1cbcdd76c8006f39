#include "file_metadata.h"

#include "file_descriptor.h"

#include <attr/libattr.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <acl/libacl.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <type_traits>
#include <unistd.h>

namespace fw {
namespace {

std::string because(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

// The kernel's name for an open file, which path calls follow to the file itself, whatever the descriptor
// may do.
std::string pathOf(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

struct AccessListFree {
    void operator()(acl_t list) const { ::acl_free(list); }
};
using AccessList = std::unique_ptr<std::remove_pointer_t<acl_t>, AccessListFree>;

// What of the old file's owner and group the new file could take.
struct Ownership {
    bool ownerKept = true;
    bool groupKept = true;
};

// Changing the owner clears the set-id bits, so this comes before the mode. A user may give a file away only
// as root, and only to a group of their own, and that much is all they can keep.
std::optional<std::string> keepOwner(const struct stat& old, int newFile, Ownership& kept) {
    if (::fchown(newFile, old.st_uid, old.st_gid) == 0)
        return std::nullopt;
    if (errno != EPERM)
        return because("Its owner could not be kept", errno);
    kept.ownerKept = false;
    if (::fchown(newFile, static_cast<uid_t>(-1), old.st_gid) == 0)
        return std::nullopt;
    if (errno != EPERM)
        return because("Its owner could not be kept", errno);
    kept.groupKept = false;
    return std::nullopt;
}

// The old mode, less whatever it would newly grant where the file now has another owner or group: the
// set-id bits would run it as someone else, and the group's bits would reach a group that had only what
// everybody has. Where the file has an access list, its group bits are the list's mask, so this narrows the
// named entries too rather than widen anything.
mode_t keptMode(mode_t old, const Ownership& kept) {
    mode_t mode = old & 07777;
    if (!kept.ownerKept)
        mode &= ~mode_t{S_ISUID};
    if (!kept.groupKept)
        mode &= ~(S_ISGID | (S_IRWXG & ~((mode & S_IRWXO) << 3)));
    return mode;
}

// The old file's whole access list, also where it is no more than its mode, so that entries the new file took
// from its folder's default list do not stay. Where a file system keeps no lists, the mode says it all.
std::optional<std::string> keepAccessList(int oldFile, int newFile) {
    const AccessList list(::acl_get_file(pathOf(oldFile).c_str(), ACL_TYPE_ACCESS));
    if (!list)
        return errno == ENOTSUP ? std::nullopt
                                : std::optional(because("Its access list could not be read", errno));
    if (::acl_set_fd(newFile, list.get()) == 0)
        return std::nullopt;
    if (errno == ENOTSUP && ::acl_equiv_mode(list.get(), nullptr) == 0)
        return std::nullopt;
    return because("Its access list could not be kept", errno);
}

// A file this process may write but not read keeps its extended attributes from it too, so it may replace
// one only that has none to keep, access lists apart.
std::optional<std::string> checkNothingToKeep(const std::string& oldPath) {
    const ssize_t size = ::listxattr(oldPath.c_str(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? std::nullopt
                                : std::optional(because("Its extended attributes could not be read", errno));
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t listed = ::listxattr(oldPath.c_str(), names.data(), names.size());
    if (listed < 0)
        return because("Its extended attributes could not be read", errno);
    for (std::size_t at = 0; at < static_cast<std::size_t>(listed);
         at += std::strlen(names.c_str() + at) + 1) {
        if (::attr_copy_check_permissions(names.c_str() + at, nullptr))
            return because("Its extended attributes could not be read", EACCES);
    }
    return std::nullopt;
}

// libattr's check leaves out the access lists, which /etc/xattr.conf names as permissions, and what that
// file says must never be copied.
std::optional<std::string> keepAttributes(int oldFile, int newFile) {
    const std::string oldPath = pathOf(oldFile);
    const std::string newPath = pathOf(newFile);
    const FileDescriptor readable(::open(oldPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!readable.isOpen())
        return checkNothingToKeep(oldPath);
    const int copied =
        ::attr_copy_fd(oldPath.c_str(), readable.get(), newPath.c_str(), newFile, nullptr, nullptr);
    const int error = errno;
    if (copied != 0)
        return because("Its extended attributes could not be kept", error);
    return std::nullopt;
}

} // namespace

std::optional<std::string> keepMetadata(int oldFile, int newFile) {
    struct stat old {};
    if (::fstat(oldFile, &old) != 0)
        return because("Its owner and permissions could not be read", errno);
    Ownership kept;
    if (auto failure = keepOwner(old, newFile, kept))
        return failure;
    if (auto failure = keepAccessList(oldFile, newFile))
        return failure;
    if (auto failure = keepAttributes(oldFile, newFile))
        return failure;
    // Last, so that nothing before clears the set-id bits. Where the file has an access list its group bits
    // are the list's mask, which this sets to what it was.
    if (::fchmod(newFile, keptMode(old.st_mode, kept)) != 0)
        return because("Its permissions could not be kept", errno);
    return std::nullopt;
}

} // namespace fw
