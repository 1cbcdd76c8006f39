#include "open_file.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace fw {

OpenFile::OpenFile(FileDescriptor descriptor, std::string path)
    : m_descriptor(std::move(descriptor)), m_path(std::move(path)) {}

ssize_t OpenFile::readSome(char* buffer, std::size_t count, std::uint64_t offset) const {
    return ::pread(descriptor(), buffer, count, static_cast<off_t>(offset));
}

ssize_t OpenFile::copySome(int target, std::uint64_t offset, std::uint64_t targetOffset,
                           std::size_t count) const {
    auto from = static_cast<off_t>(offset);
    auto to = static_cast<off_t>(targetOffset);
    return ::copy_file_range(descriptor(), &from, target, &to, count, 0);
}

ReadResult OpenFile::readAt(std::uint64_t offset, std::uint64_t length) const {
    // Grown a chunk at a time rather than sized up front, so a run of a file that has since shrunk does not
    // allocate its old length.
    constexpr std::uint64_t kChunkSize = 1 << 20;
    ReadResult read;
    std::string& bytes = read.bytes;
    while (bytes.size() < length) {
        const std::size_t done = bytes.size();
        const std::size_t chunk = std::min(length - done, kChunkSize);
        bytes.resize(done + chunk);
        const ssize_t count = readSome(bytes.data() + done, chunk, offset + done);
        bytes.resize(done + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            read.error = errno;
        if (count <= 0)
            break;
    }
    return read;
}

} // namespace fw
