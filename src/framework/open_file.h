#pragma once

#include <cstdint>
#include <string>

namespace fw {

// An open file descriptor, closed when the last owner lets go. Shared between a stream and the bytes read
// from it, so those bytes stay readable after the stream is released.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : m_descriptor(descriptor) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    // Closes the descriptor now, so its result can be seen: 0, or -1 with errno set.
    int close();

    int descriptor() const { return m_descriptor; }

    // Reads up to length bytes at offset, fewer only at the end of the file or on an error.
    std::string readAt(std::uint64_t offset, std::uint64_t length) const;

private:
    int m_descriptor;
};

} // namespace fw
