#pragma once

#include "file_failure.h"
#include "save_target.h"

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

namespace fw {

class OpenFile;

// The new file that a created stream fills, written where the file system allows into an unnamed file that
// nobody sees and that a killed process leaves nothing of, and put in place of its target, synced to disk,
// only by commit(). Destroyed without a commit, it leaves the target as it was.
//
// Qt's QSaveFile does this much, but it is wrong for Wrenfold in three ways: it resolves links as text, so
// a link that the kernel would refuse to follow (one a stranger planted in a shared folder) still redirects
// the save, and ".." after a linked folder is not the folder the kernel reaches; it replaces whatever stands
// at the name when it commits, so a save agreed to as a new file silently replaces one made meanwhile; and it
// needs room for a longer temporary name beside the target, so a file with a name near 255 bytes cannot be
// replaced at all.
class OutputFile {
public:
    // The output for a path, or nothing and why not. A symbolic link is followed to the file it names, even
    // one that does not exist yet. A target that must not be replaced is refused before anything is made: one
    // that is not a regular file, one the user may not write, one in a folder that takes no new file, and one
    // that is no longer what the user agreed to, when an agreement is given.
    static std::unique_ptr<OutputFile> open(const std::string& path,
                                            const std::optional<AgreedTarget>& agreed, FileFailure& refusal);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The new file, for a stream to write and read at offsets of its own; named by the path it was opened by.
    const std::shared_ptr<OpenFile>& file() const { return m_file; }
    // Puts the new file in place of the target once its bytes are on the disk, provided the target is still
    // what it was when the output was opened; what went wrong otherwise, the target then left as it was.
    std::optional<FileFailure> commit();

private:
    OutputFile(std::string path, SaveTarget target);
    mode_t newFileMode() const;
    std::optional<std::string> makeNewFile();
    std::optional<std::string> makeNamedFile();
    std::optional<std::string> keepOldFilesMetadata() const;
    std::optional<std::string> checkTargetUnchanged() const;
    std::optional<std::string> putInPlace();
    int linkUnder(const std::string& name) const;
    std::optional<std::string> linkUnderHiddenName();
    std::optional<std::string> syncFolder() const;

    std::string m_path;
    SaveTarget m_target;
    std::shared_ptr<OpenFile> m_file;
    // The name the new file has in the target's folder until it is put in place; empty while it has none.
    std::string m_temporaryName;
    // Whether the new file was made without a name, and so needs one before it can be put in place.
    bool m_unnamed = false;
};

} // namespace fw
