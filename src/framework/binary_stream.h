#pragma once

#include "byte_string.h"
#include "object.h"

#include <cstdint>
#include <memory>
#include <string>

namespace fw {

class OpenFile;

// A byte stream over an open file. Releasing the last reference closes it; a stream made by CreateBinaryFile
// then moves its finished file over the target, or, if any write or the move failed, removes it and tells the
// user once.
class BinaryStream : public Object {
public:
    // A stream that reads and writes the file in place.
    explicit BinaryStream(std::shared_ptr<OpenFile> file);
    // A stream that writes a temporary file which replaces the target on release.
    BinaryStream(std::shared_ptr<OpenFile> file, std::string temporaryPath, std::string targetPath);
    ~BinaryStream() override;

    bool LittleEndian() const { return m_littleEndian; }
    void LittleEndian(bool littleEndian) { m_littleEndian = littleEndian; }

    // The next byte as 0 to 255; 0 at and past the end of the stream.
    std::int32_t ReadByte();
    // At most count bytes from the current position; none for a count below 1.
    ByteString Read(std::int32_t count);
    // Writes the bytes unchanged at the current position.
    void Write(const ByteString& bytes);
    std::uint64_t Length() const;

private:
    void fillReadBuffer();
    void writeAll(const ByteString& bytes);
    void commitCreatedFile();

    std::shared_ptr<OpenFile> m_file;
    std::string m_temporaryPath; // empty unless this stream creates a file
    std::string m_targetPath;
    std::string m_writeError; // the first write failure, reported on release
    bool m_littleEndian = true;
    std::uint64_t m_position = 0;
    std::string m_readBuffer;
    std::uint64_t m_readBufferOffset = 0;
};

} // namespace fw
