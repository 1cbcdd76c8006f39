#pragma once

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <string>

// What a file has beyond its bytes and mode, as the tests make it and read it back: its access list and a
// note kept as an extended attribute. Each setter gives why the file system refused, or an empty text.
namespace test {

// The access list with numeric ids, one entry after another; why not, where there is none.
inline std::string accessList(const std::string& path) {
    acl_t list = ::acl_get_file(path.c_str(), ACL_TYPE_ACCESS);
    if (!list)
        return std::strerror(errno);
    char* text = ::acl_to_any_text(list, nullptr, ',', TEXT_NUMERIC_IDS);
    std::string result = text ? text : std::strerror(errno);
    ::acl_free(text);
    ::acl_free(list);
    return result;
}

// Why the list could not be given, or an empty text.
inline std::string setAccessList(const std::string& path, const char* text,
                                 acl_type_t type = ACL_TYPE_ACCESS) {
    acl_t list = ::acl_from_text(text);
    const bool set = list && ::acl_set_file(path.c_str(), type, list) == 0;
    const std::string refusal = set ? "" : std::strerror(errno);
    ::acl_free(list);
    return refusal;
}

inline std::string note(const std::string& path) {
    char value[64];
    const ssize_t size = ::getxattr(path.c_str(), "user.note", value, sizeof(value));
    return size < 0 ? std::strerror(errno) : std::string(value, static_cast<std::size_t>(size));
}

inline std::string setNote(const std::string& path) {
    return ::setxattr(path.c_str(), "user.note", "hello", 5, 0) == 0 ? "" : std::strerror(errno);
}

} // namespace test
