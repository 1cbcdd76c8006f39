#include "binary_stream.h"

#include "event_loop.h"
#include "file_error_report.h"
#include "open_file.h"
#include "output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

// Small, so that reading the header of each of thousands of files costs one read call apiece.
constexpr std::size_t kReadBufferSize = 4096;
// Each chunk of a copy, through memory or by the kernel, is followed by a yield to the event loop: a chunk
// must take well under the yield's 50 ms even from a slow disk, and still be large enough that the calls cost
// nothing beside the bytes.
constexpr std::size_t kCopyBufferSize = 1 << 20;
// Below this, reading bytes in and writing them out costs less than asking the kernel to copy them.
constexpr std::uint64_t kSmallRun = 64 * 1024;
constexpr std::uint64_t kCopyChunkSize = 2 << 20;

// Where a copy or a write got to: how many bytes went out, the errno that stopped it or 0, and whether it
// was reading the source, rather than writing the target, that failed.
struct Transfer {
    std::uint64_t written = 0;
    int error = 0;
    bool reading = false;
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

// Copies through memory, stopping early where the source ends; each failure is plainly a read or a write.
Transfer copyThroughMemory(const OpenFile& source, std::uint64_t sourceOffset, int target,
                           std::uint64_t targetOffset, std::uint64_t length) {
    std::string buffer(std::min<std::uint64_t>(length, kCopyBufferSize), '\0');
    Transfer transfer;
    while (transfer.written < length) {
        const std::size_t wanted = std::min<std::uint64_t>(length - transfer.written, buffer.size());
        const ssize_t count = source.readSome(buffer.data(), wanted, sourceOffset + transfer.written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            transfer = {transfer.written, errno, true};
        if (count <= 0)
            break;
        const Transfer part = writeAt(target, buffer.data(), static_cast<std::uint64_t>(count),
                                      targetOffset + transfer.written);
        transfer.written += part.written;
        transfer.error = part.error;
        if (transfer.error != 0)
            break;
        RuntimeBackgroundTask();
    }
    return transfer;
}

// Lets the kernel move the bytes, without a round trip through memory and, where the file system can, without
// copying them at all.
Transfer copyFileToFile(const OpenFile& source, std::uint64_t sourceOffset, int target,
                        std::uint64_t targetOffset, std::uint64_t length) {
    std::uint64_t copied = 0;
    while (copied < length) {
        const ssize_t count = source.copySome(target, sourceOffset + copied, targetOffset + copied,
                                              std::min(length - copied, kCopyChunkSize));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        copied += static_cast<std::uint64_t>(count);
        RuntimeBackgroundTask();
    }
    if (copied == length)
        return {copied};
    // Either the source has ended, or copy_file_range cannot serve these files (some file systems also answer
    // 0 before the end), or it failed without saying whether reading or writing did. Copying the rest by hand
    // settles each: it costs one read at a true end, and meets a real failure again on its own side.
    Transfer rest =
        copyThroughMemory(source, sourceOffset + copied, target, targetOffset + copied, length - copied);
    rest.written += copied;
    return rest;
}

std::uint64_t sizeOf(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

} // namespace

BinaryStream::BinaryStream(std::shared_ptr<OpenFile> file)
    : m_file(std::move(file)), m_unwindingAtCreation(std::uncaught_exceptions()) {}

BinaryStream::BinaryStream(std::unique_ptr<OutputFile> output)
    : m_file(output->file()), m_output(std::move(output)), m_unwindingAtCreation(std::uncaught_exceptions()) {
}

BinaryStream::~BinaryStream() {
    if (!m_output)
        return;
    if (std::uncaught_exceptions() > m_unwindingAtCreation)
        return; // the output is discarded as it goes
    try {
        finishOutput();
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
    m_readBuffer.resize(kReadBufferSize);
    m_readBufferOffset = m_position;
    ssize_t count;
    do {
        count = m_file->readSome(m_readBuffer.data(), kReadBufferSize, m_position);
    } while (count < 0 && errno == EINTR);
    m_readBuffer.resize(static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
}

ByteString BinaryStream::Read(std::int32_t count) {
    if (count < 1)
        return {};
    // A small run is read in at once: one read costs less than asking the file's size and copying later.
    if (static_cast<std::uint64_t>(count) <= kSmallRun) {
        ReadResult read = m_file->readAt(m_position, static_cast<std::uint64_t>(count));
        m_position += read.bytes.size();
        if (read.error != 0)
            return ByteString(std::move(read.bytes), {m_file->path(), std::strerror(read.error), true});
        return ByteString(std::move(read.bytes));
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
    if (m_failure)
        return;
    writeAll(bytes);
}

void BinaryStream::writeAll(const ByteString& bytes) {
    const int target = m_file->descriptor();
    const std::shared_ptr<OpenFile>& source = bytes.sourceFile();
    if (source && bytes.size() > kSmallRun) {
        const Transfer transfer =
            copyFileToFile(*source, bytes.sourceOffset(), target, m_position, bytes.size());
        m_position += transfer.written;
        if (transfer.error != 0)
            m_failure = {transfer.reading ? source->path() : m_file->path(), std::strerror(transfer.error),
                         transfer.reading};
        return;
    }
    // Bytes whose read failed carry the failure here, even when none were read.
    const std::string& owned = bytes.bytes();
    if (bytes.readFailure()) {
        m_failure = bytes.readFailure();
        return;
    }
    const Transfer transfer = writeAt(target, owned.data(), owned.size(), m_position);
    m_position += transfer.written;
    if (transfer.error != 0)
        m_failure = {m_file->path(), std::strerror(transfer.error), false};
}

std::uint64_t BinaryStream::Length() const { return sizeOf(m_file->descriptor()); }

void BinaryStream::finishOutput() {
    if (!m_failure)
        m_failure = m_output->commit();
    if (!m_failure)
        return;
    const std::string path = m_file->path();
    // Discarded before the user hears of it, so that the folder is as it was while the message shows.
    m_output.reset();
    reportFileError(path, *m_failure);
}

} // namespace fw
