#include "open_file.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <utility>

namespace fw {

int OpenFile::close() { return ::close(std::exchange(m_descriptor, -1)); }

OpenFile::~OpenFile() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::string OpenFile::readAt(std::uint64_t offset, std::uint64_t length) const {
    // Grown a chunk at a time rather than sized up front, so a run of a file that has since shrunk does not
    // allocate its old length.
    constexpr std::uint64_t chunkSize = 1 << 20;
    std::string bytes;
    while (bytes.size() < length) {
        const std::size_t done = bytes.size();
        const std::size_t chunk = std::min(length - done, chunkSize);
        bytes.resize(done + chunk);
        const ssize_t count =
            ::pread(m_descriptor, bytes.data() + done, chunk, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            bytes.resize(done);
            continue;
        }
        bytes.resize(done + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count <= 0)
            break;
    }
    return bytes;
}

} // namespace fw
