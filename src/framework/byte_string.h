#pragma once

#include "file_failure.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fw {

class OpenFile;

// Raw bytes, with no text encoding. Bytes read from a file are not copied into memory when they are read:
// they stay a run of the open file, fetched the first time they are looked at, and a stream that writes them
// copies file to file. A merge of inputs of any size therefore never holds an input in memory.
class ByteString {
public:
    ByteString() = default;
    ByteString(std::string bytes);
    // Bytes that stop short where reading their file failed, or that may be torn since their file changed
    // while they were read.
    ByteString(std::string bytes, FileFailure failure);
    ByteString(std::shared_ptr<OpenFile> file, std::uint64_t offset, std::uint64_t length);

    std::uint64_t size() const { return m_length; }
    bool empty() const { return m_length == 0; }

    // The bytes themselves; a run of a file is read in at this point, and may come out shorter if the file
    // has shrunk since or cannot be read to the end.
    const std::string& bytes() const;
    // Why the bytes are not what their file held, once they are read in: a read of the file failed, or the
    // file changed while it was read.
    const std::optional<FileFailure>& failure() const { return m_failure; }

    // The run of an open file that these bytes stand for, when they have not been read in yet.
    const std::shared_ptr<OpenFile>& sourceFile() const { return m_sourceFile; }
    std::uint64_t sourceOffset() const { return m_sourceOffset; }

private:
    mutable std::shared_ptr<OpenFile> m_sourceFile; // let go once the bytes are read in
    std::uint64_t m_sourceOffset = 0;
    std::uint64_t m_length = 0;
    mutable std::shared_ptr<const std::string> m_bytes;
    mutable std::optional<FileFailure> m_failure;
};

} // namespace fw
