#pragma once

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <string>

// What a file has beyond its bytes and mode, as the tests make it and read it back; each setter gives why the
// file system refused, or an empty text.
namespace test {

// The user and group that own nothing, and a group that root is not in ("audio" on Debian).
constexpr uid_t kNobody = 65534;
constexpr gid_t kOtherGroup = 29;

inline std::string accessList(const std::string& path) {
    acl_t list = ::acl_get_file(path.c_str(), ACL_TYPE_ACCESS);
    char* text = list ? ::acl_to_any_text(list, nullptr, ',', TEXT_NUMERIC_IDS) : nullptr;
    const std::string result = text ? text : std::strerror(errno);
    ::acl_free(text);
    ::acl_free(list);
    return result;
}

inline std::string setAccessList(const std::string& path, const char* text,
                                 acl_type_t type = ACL_TYPE_ACCESS) {
    acl_t list = ::acl_from_text(text);
    const std::string refusal =
        list && ::acl_set_file(path.c_str(), type, list) == 0 ? "" : std::strerror(errno);
    ::acl_free(list);
    return refusal;
}

inline std::string note(const std::string& path) {
    std::string value(64, '\0');
    const ssize_t size = ::getxattr(path.c_str(), "user.note", value.data(), value.size());
    return size < 0 ? std::strerror(errno) : value.substr(0, static_cast<std::size_t>(size));
}

inline std::string setNote(const std::string& path) {
    return ::setxattr(path.c_str(), "user.note", "hello", 5, 0) == 0 ? "" : std::strerror(errno);
}

} // namespace test
