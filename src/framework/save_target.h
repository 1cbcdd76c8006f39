#pragma once

#include "file_descriptor.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace fw {

// A file as the system knows it, whatever names lead to it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    static FileIdentity of(const struct stat& status) { return {status.st_dev, status.st_ino}; }
    bool operator==(const FileIdentity&) const = default;
};

// What stood where a save lands when it was agreed to: the folder, unless it could not be looked at, the name
// in it, and the file of that name, unless there was none. A save goes ahead only while all three still hold.
struct AgreedTarget {
    std::optional<FileIdentity> folder;
    std::string name;
    std::optional<FileIdentity> file;

    bool operator==(const AgreedTarget&) const = default;
};

// Where a save to a path lands: a folder, held open, and a name in it, found by the kernel as it would find
// them for any other program, its protections included. Symbolic links at the end of the path are followed by
// hand, one at a time, because a link to a file not yet there names the file to make, which an open without
// O_CREAT never reports; each step is the kernel's own, and the kernel is asked at the end whether it agrees.
class SaveTarget {
public:
    // The target, or nothing and why not, in words.
    static std::optional<SaveTarget> resolve(const std::string& path, std::string& why);

    // An O_PATH descriptor of the folder the name is in.
    int folder() const { return m_folder.get(); }
    const std::string& name() const { return m_name; }
    // What stands at the name, links followed; nothing when the name is free.
    const std::optional<struct stat>& file() const { return m_file; }
    // An O_PATH descriptor of that file, held so that its inode, and so its number, is not given to another
    // file while the target is kept; -1 when the name is free.
    int fileHandle() const { return m_fileHandle.get(); }
    AgreedTarget agreement() const;

private:
    SaveTarget(FileDescriptor folder, std::string name);
    // Follows links at the name until it names something else or nothing; errno when a step fails.
    bool followLinks();
    bool followLink(const struct stat& link);
    bool holdFile();

    FileDescriptor m_folder;
    struct stat m_folderStatus {};
    std::string m_name;
    std::optional<struct stat> m_file;
    FileDescriptor m_fileHandle;
};

} // namespace fw
