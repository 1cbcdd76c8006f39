#pragma once

#include "object.h"
#include "save_target.h"

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

    // For a drop's cursor, which has come to this file: looks at the path and tells whether it names a
    // folder. Until forgetLook, the next Exists and the check before the next OpenAsBinaryFile answer from
    // this look rather than ask the system about the path again.
    bool lookNamesFolder();
    void forgetLook() { m_look.reset(); }

    // A stream at the first byte, or nil. Only a regular file opens: a named pipe, a device or a folder
    // yields nil rather than blocking or reading something that is not a file.
    Ref<BinaryStream> OpenAsBinaryFile(bool readWrite) const;

    // An empty writable stream, or nil. The bytes go to a new file, which replaces this one (or, through a
    // symbolic link, the file it names) only when the stream is released with every write complete and on
    // the disk, and only if the file it replaces, or the absence of one, is still what it was when the stream
    // was made. A file that must not be replaced is refused, and any failure leaves this file as it was; both
    // are reported to the user, naming the file and the reason.
    Ref<BinaryStream> CreateBinaryFile(const std::string& fileType) const;

    // What stood here when the user agreed to replace it, or to make it, in the save dialog: CreateBinaryFile
    // refuses anything else. Without it, whatever stands here then is agreed to.
    void setAgreedTarget(AgreedTarget agreed) { m_agreedTarget = std::move(agreed); }

private:
    // What a drop's cursor found at the path, and which of the two questions it may still answer.
    struct Look {
        bool exists;
        bool regular;
        bool forExists = true;
        bool forOpening = true;
    };

    // Whether the path names a regular file, checked before it is opened.
    bool namesRegularFile() const;

    mutable std::optional<Look> m_look;
    mutable std::weak_ptr<OpenFile> m_openFile; // what the last OpenAsBinaryFile opened, while it is open
    std::string m_absolutePath;
    std::optional<AgreedTarget> m_agreedTarget;
};

// Resolves an absolute path (path mode 0) to a file handle; nil for any other mode or for a path that is not
// absolute. Whether the file, or its folder, exists is the handle's to tell.
Ref<FolderItem> GetFolderItem(const std::string& path, int pathMode);

} // namespace fw
