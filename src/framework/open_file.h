#pragma once

#include "file_descriptor.h"
#include "file_failure.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace fw {

// What a read got: the bytes, and the errno that cut them short, or 0 when only the end of the file did.
struct ReadResult {
    std::string bytes;
    int error = 0;
};

// An open file, closed when the last owner lets go. Shared between a stream and the bytes read
// from it, so those bytes stay readable after the stream is released. Every read of a file's bytes goes
// through here.
class OpenFile {
public:
    OpenFile(FileDescriptor descriptor, std::string path);

    int descriptor() const { return m_descriptor.get(); }
    // The path the file was opened by, to name it in a message.
    const std::string& path() const { return m_path; }

    // One read of at most count bytes at offset: how many were read, 0 at the end, or -1 with errno set.
    ssize_t readSome(char* buffer, std::size_t count, std::uint64_t offset) const;
    // One copy by the kernel of at most count bytes at offset into the target at targetOffset; as readSome.
    ssize_t copySome(int target, std::uint64_t offset, std::uint64_t targetOffset, std::size_t count) const;
    // Up to length bytes at offset, fewer only at the end of the file or where a read failed.
    ReadResult readAt(std::uint64_t offset, std::uint64_t length) const;

private:
    FileDescriptor m_descriptor;
    std::string m_path;
};

} // namespace fw
