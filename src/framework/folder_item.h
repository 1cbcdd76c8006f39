#pragma once

#include "object.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fw {

class BinaryStream;
class OpenFile;

// A handle of a file on disk, named by its absolute path. The path is kept byte for byte as the system gave
// it, so a name that is not valid UTF-8 still resolves to its file.
class FolderItem : public Object {
public:
    explicit FolderItem(std::string absolutePath);

    bool Exists() const;
    // The last component of the path.
    std::string Name() const;
    const std::string& AbsolutePath() const { return m_absolutePath; }
    // Bytes on disk; 0 for a file that does not exist. While a stream that OpenAsBinaryFile made is open,
    // the length of the file that stream reads.
    std::uint64_t Length() const;

    // A stream at the first byte, or nil. Only a regular file opens: a named pipe, a device or a folder
    // yields nil rather than blocking or reading something that is not a file.
    Ref<BinaryStream> OpenAsBinaryFile(bool readWrite) const;

    // An empty writable stream, or nil. The bytes go to a new file, which replaces this one (or, through a
    // symbolic link, the file it names) only when the stream is released with every write complete and on
    // the disk. A file that must not be replaced is refused, and any failure leaves this file as it was; both
    // are reported to the user, naming the file and the reason.
    Ref<BinaryStream> CreateBinaryFile(const std::string& fileType) const;

    // For a drop, which looks at each file as it is dropped: the next Exists answers with what the drop
    // found, so the file is judged as it was dropped and the system is not asked about it twice.
    void noteExistence(bool exists) { m_notedExistence = exists; }

private:
    std::string m_absolutePath;
    mutable std::optional<bool> m_notedExistence; // taken by the next Exists
    mutable std::weak_ptr<OpenFile> m_openFile;   // what the last OpenAsBinaryFile opened, while it is open
};

// Resolves an absolute path (path mode 0) to a file handle; nil for any other mode or for a path that is not
// absolute. Whether the file, or its folder, exists is the handle's to tell.
Ref<FolderItem> GetFolderItem(const std::string& path, int pathMode);

} // namespace fw
