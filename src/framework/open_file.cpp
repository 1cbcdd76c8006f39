#include "open_file.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace fw {
namespace {

struct ReadFault {
    std::string path;
    std::uint64_t offset = 0;
    int error = 0;
};

ReadFault& readFault() {
    static ReadFault fault;
    return fault;
}

} // namespace

OpenFile::OpenFile(int descriptor, std::string path) : m_descriptor(descriptor), m_path(std::move(path)) {}

OpenFile::~OpenFile() { ::close(m_descriptor); }

void OpenFile::failReadsForTesting(std::string path, std::uint64_t offset, int error) {
    readFault() = {std::move(path), offset, error};
}

// The part of a read of count bytes at offset that lies before a test's fault in this file: all of it when
// no fault is set for the file.
std::size_t OpenFile::readableBeforeFault(std::uint64_t offset, std::size_t count) const {
    const ReadFault& fault = readFault();
    if (fault.path.empty() || fault.path != m_path)
        return count;
    return offset >= fault.offset ? 0 : std::min<std::uint64_t>(count, fault.offset - offset);
}

ssize_t OpenFile::readSome(char* buffer, std::size_t count, std::uint64_t offset) const {
    const std::size_t readable = readableBeforeFault(offset, count);
    if (readable == 0 && count > 0) {
        errno = readFault().error;
        return -1;
    }
    return ::pread(m_descriptor, buffer, readable, static_cast<off_t>(offset));
}

ssize_t OpenFile::copySome(int target, std::uint64_t offset, std::uint64_t targetOffset,
                           std::size_t count) const {
    const std::size_t readable = readableBeforeFault(offset, count);
    if (readable == 0 && count > 0) {
        errno = readFault().error;
        return -1;
    }
    auto from = static_cast<off_t>(offset);
    auto to = static_cast<off_t>(targetOffset);
    return ::copy_file_range(m_descriptor, &from, target, &to, readable, 0);
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
