#pragma once

#include <acl/libacl.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/acl.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

// What a file has beyond its bytes and mode, as the tests make it and read it back; each setter gives why the
// file system refused, or an empty text. And a user other than root, who may not give all of it.
namespace test {

constexpr uid_t kNobody = 65534;
// A group that root is not in ("audio" on Debian).
constexpr gid_t kOtherGroup = 29;

// The access list with numeric ids; why not, where there is none.
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

// What work gives back, run by root in a child process that becomes nobody, in the other group as well. A
// fork keeps only the thread that forked, so work makes no widget.
inline std::string asNobody(const std::function<std::string()>& work) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return std::strerror(errno);
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t groups[] = {kNobody, kOtherGroup};
        const bool became = ::setgroups(2, groups) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        const std::string result = became ? work() : std::string("not nobody: ") + std::strerror(errno);
        ::_exit(::write(ends[1], result.data(), result.size()) == static_cast<ssize_t>(result.size()) ? 0
                                                                                                      : 1);
    }
    ::close(ends[1]);
    std::string result;
    char buffer[256];
    for (ssize_t size; (size = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(size));
    ::close(ends[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

} // namespace test
