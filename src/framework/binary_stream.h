#pragma once

#include "byte_string.h"
#include "file_failure.h"
#include "object.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fw {

class OpenFile;
class OutputFile;

// A byte stream over an open file. Releasing the last reference closes it; a stream made by CreateBinaryFile
// then puts its finished file in place of the target or, if a write failed or an input it was copying could
// not be read, discards it and tells the user once. Released while an exception unwinds, it discards its file
// without a word: whatever ended the run is reported on its own, and a partial merge is never committed.
class BinaryStream : public Object {
public:
    // A stream that reads and writes the file in place.
    explicit BinaryStream(std::shared_ptr<OpenFile> file);
    // A stream that fills a new file, which replaces its target on release.
    explicit BinaryStream(std::unique_ptr<OutputFile> output);
    ~BinaryStream() override;

    // Only single bytes and raw runs go through this stream, and neither has a byte order to follow.
    void LittleEndian(bool /*littleEndian*/) {}

    // The next byte as 0 to 255; 0 at and past the end of the stream.
    std::int32_t ReadByte();
    // At most count bytes from the current position; none for a count below 1.
    ByteString Read(std::int32_t count);
    // Writes the bytes unchanged at the current position. After the first failure, writes are ignored. A long
    // copy lets the event loop run between its chunks; an exception raised there leaves the output to be
    // discarded.
    void Write(const ByteString& bytes);
    std::uint64_t Length() const;

private:
    void fillReadBuffer();
    void writeAll(const ByteString& bytes);
    void finishOutput();

    std::shared_ptr<OpenFile> m_file;
    std::unique_ptr<OutputFile> m_output; // nil unless this stream creates a file
    std::optional<FileFailure> m_failure; // the first, reported on release
    std::uint64_t m_position = 0;
    std::string m_readBuffer;
    std::uint64_t m_readBufferOffset = 0;
    // Exceptions already unwinding when this stream was made; more at its release means one is passing now.
    int m_unwindingAtCreation;
};

} // namespace fw
