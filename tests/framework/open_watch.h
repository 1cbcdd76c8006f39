#pragma once

#include <array>
#include <cstring>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace test {

// Tells whether the files watched were opened since, from the system's own notice of each open.
class OpenWatch {
public:
    OpenWatch() : m_notices(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenWatch() { ::close(m_notices); }

    bool watch(const std::string& path) const {
        return ::inotify_add_watch(m_notices, path.c_str(), IN_OPEN) >= 0;
    }

    bool anyOpened() const {
        std::array<char, 4096> notices{};
        bool opened = false;
        for (ssize_t count; (count = ::read(m_notices, notices.data(), notices.size())) > 0;) {
            inotify_event notice{};
            for (ssize_t at = 0; at < count; at += static_cast<ssize_t>(sizeof notice + notice.len)) {
                std::memcpy(&notice, notices.data() + at, sizeof notice);
                opened = opened || (notice.mask & IN_OPEN);
            }
        }
        return opened;
    }

private:
    int m_notices;
};

} // namespace test
