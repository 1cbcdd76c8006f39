#include "binary_stream.h"

#include "file_error_report.h"
#include "open_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

// Small, so that reading the header of each of thousands of files costs one read call apiece.
constexpr std::size_t readBufferSize = 4096;
constexpr std::size_t copyBufferSize = 1 << 20;
// Below this, reading bytes in and writing them out costs less than asking the kernel to copy them.
constexpr std::uint64_t smallRun = 64 * 1024;
// copy_file_range takes a size_t count but may do less per call; a bounded count keeps each call short.
constexpr std::uint64_t copyChunkSize = 1 << 30;

// Where a file-to-file copy or a write got to: how many bytes went out, and the errno that stopped it, or 0.
struct Transfer {
    std::uint64_t written = 0;
    int error = 0;
};

Transfer writeAt(int descriptor, const char* bytes, std::uint64_t length, std::uint64_t offset) {
    Transfer transfer;
    while (transfer.written < length) {
        const ssize_t count = ::pwrite(descriptor, bytes + transfer.written, length - transfer.written,
                                       static_cast<off_t>(offset + transfer.written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            transfer.error = count < 0 ? errno : ENOSPC;
            break;
        }
        transfer.written += static_cast<std::uint64_t>(count);
    }
    return transfer;
}

// The copy for file systems that copy_file_range does not serve; stops early where the source ends.
Transfer copyThroughMemory(int source, std::uint64_t sourceOffset, int target, std::uint64_t targetOffset,
                           std::uint64_t length) {
    std::string buffer(std::min<std::uint64_t>(length, copyBufferSize), '\0');
    Transfer transfer;
    while (transfer.written < length) {
        const std::size_t wanted = std::min<std::uint64_t>(length - transfer.written, buffer.size());
        const ssize_t count =
            ::pread(source, buffer.data(), wanted, static_cast<off_t>(sourceOffset + transfer.written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            transfer.error = errno;
        if (count <= 0)
            break;
        const Transfer part = writeAt(target, buffer.data(), static_cast<std::uint64_t>(count),
                                      targetOffset + transfer.written);
        transfer.written += part.written;
        transfer.error = part.error;
        if (transfer.error != 0)
            break;
    }
    return transfer;
}

bool copyFileRangeUnsupported(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// Lets the kernel move the bytes, without a round trip through memory and, where the file system can, without
// copying them at all.
Transfer copyFileToFile(int source, std::uint64_t sourceOffset, int target, std::uint64_t targetOffset,
                        std::uint64_t length) {
    Transfer transfer;
    while (transfer.written < length) {
        off_t from = static_cast<off_t>(sourceOffset + transfer.written);
        off_t to = static_cast<off_t>(targetOffset + transfer.written);
        const std::uint64_t wanted = std::min(length - transfer.written, copyChunkSize);
        const ssize_t count = ::copy_file_range(source, &from, target, &to, wanted, 0);
        if (count > 0) {
            transfer.written += static_cast<std::uint64_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && !copyFileRangeUnsupported(errno)) {
            transfer.error = errno;
            break;
        }
        // Either the source has ended, or copy_file_range cannot serve these files; some file systems also
        // answer 0 before the end. Copying the rest by hand settles it, and costs one read at a true end.
        const Transfer rest = copyThroughMemory(source, sourceOffset + transfer.written, target,
                                                targetOffset + transfer.written, length - transfer.written);
        transfer.written += rest.written;
        transfer.error = rest.error;
        break;
    }
    return transfer;
}

std::uint64_t sizeOf(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

} // namespace

BinaryStream::BinaryStream(std::shared_ptr<OpenFile> file) : m_file(std::move(file)) {}

BinaryStream::BinaryStream(std::shared_ptr<OpenFile> file, std::string temporaryPath, std::string targetPath)
    : m_file(std::move(file)), m_temporaryPath(std::move(temporaryPath)),
      m_targetPath(std::move(targetPath)) {}

BinaryStream::~BinaryStream() {
    if (m_temporaryPath.empty())
        return;
    try {
        commitCreatedFile();
    } catch (...) {
        // Runs while a reference is let go, perhaps during unwinding; the report is all that can be lost.
    }
}

std::int32_t BinaryStream::ReadByte() {
    // The position only ever moves forward, from the offset the buffer was filled at.
    if (m_position - m_readBufferOffset >= m_readBuffer.size())
        fillReadBuffer();
    const std::uint64_t index = m_position - m_readBufferOffset;
    if (index >= m_readBuffer.size())
        return 0;
    ++m_position;
    return static_cast<unsigned char>(m_readBuffer[index]);
}

void BinaryStream::fillReadBuffer() {
    // One read, even a short one: the next refill tries again from where it stopped.
    m_readBuffer.resize(readBufferSize);
    m_readBufferOffset = m_position;
    ssize_t count;
    do {
        count = ::pread(m_file->descriptor(), m_readBuffer.data(), readBufferSize,
                        static_cast<off_t>(m_position));
    } while (count < 0 && errno == EINTR);
    m_readBuffer.resize(static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
}

ByteString BinaryStream::Read(std::int32_t count) {
    if (count < 1)
        return {};
    // A small run is read in at once: one read costs less than asking the file's size and copying later.
    if (static_cast<std::uint64_t>(count) <= smallRun) {
        std::string bytes = m_file->readAt(m_position, static_cast<std::uint64_t>(count));
        m_position += bytes.size();
        return ByteString(std::move(bytes));
    }
    const std::uint64_t size = Length();
    if (m_position >= size)
        return {};
    const std::uint64_t length =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(count), size - m_position);
    ByteString bytes(m_file, m_position, length);
    m_position += length;
    return bytes;
}

void BinaryStream::Write(const ByteString& bytes) {
    if (!m_writeError.empty() || bytes.empty())
        return;
    writeAll(bytes);
}

void BinaryStream::writeAll(const ByteString& bytes) {
    const int target = m_file->descriptor();
    Transfer transfer;
    if (const auto& source = bytes.sourceFile(); source && bytes.size() > smallRun) {
        transfer =
            copyFileToFile(source->descriptor(), bytes.sourceOffset(), target, m_position, bytes.size());
    } else {
        const std::string& owned = bytes.bytes();
        transfer = writeAt(target, owned.data(), owned.size(), m_position);
    }
    m_position += transfer.written;
    if (transfer.error != 0)
        m_writeError = std::strerror(transfer.error);
}

std::uint64_t BinaryStream::Length() const { return sizeOf(m_file->descriptor()); }

void BinaryStream::commitCreatedFile() {
    // A write error that the system only reports when the file is closed still stops the replacement. The
    // file is not forced to disk first: that would make every merge wait for the disk, where the system's own
    // tools do not.
    if (m_file.use_count() == 1 && m_file->close() != 0 && m_writeError.empty())
        m_writeError = std::strerror(errno);
    m_file.reset();

    std::string failure = m_writeError;
    if (failure.empty() && ::rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0)
        failure = std::strerror(errno);
    if (failure.empty())
        return;
    ::unlink(m_temporaryPath.c_str());
    ReportFileError(m_targetPath, failure);
}

} // namespace fw
