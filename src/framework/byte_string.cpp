#include "byte_string.h"

#include "open_file.h"

#include <cstring>

namespace fw {

ByteString::ByteString(std::string bytes)
    : m_length(bytes.size()), m_bytes(std::make_shared<const std::string>(std::move(bytes))) {}

ByteString::ByteString(std::string bytes, FileFailure failure) : ByteString(std::move(bytes)) {
    m_failure = std::move(failure);
}

ByteString::ByteString(std::shared_ptr<OpenFile> file, std::uint64_t offset, std::uint64_t length)
    : m_sourceFile(std::move(file)), m_sourceOffset(offset), m_length(length) {}

const std::string& ByteString::bytes() const {
    if (m_bytes)
        return *m_bytes;
    if (!m_sourceFile) {
        static const std::string none;
        return none;
    }
    ReadResult read = m_sourceFile->readAt(m_sourceOffset, m_length);
    if (read.error != 0)
        m_failure = FileFailure{m_sourceFile->path(), std::strerror(read.error), FileFailure::Kind::Read};
    m_bytes = std::make_shared<const std::string>(std::move(read.bytes));
    // Once looked at, these are the bytes: a later write must not pick up whatever the file holds by then.
    m_sourceFile.reset();
    return *m_bytes;
}

} // namespace fw
