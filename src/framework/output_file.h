#pragma once

#include "file_failure.h"

#include <memory>
#include <optional>
#include <string>

class QSaveFile;

namespace fw {

class OpenFile;

// The new file that a created stream fills. It is Qt's safe save: written, where the file system allows, into
// an unnamed file that nobody sees and that a killed process leaves nothing of, and put in place of its
// target, synced to disk, only by commit(). Destroyed without a commit, it leaves the target as it was.
class OutputFile {
public:
    // The output for a path, or nothing and why not. A symbolic link is followed to the file it names, even
    // one that does not exist yet. A target that must not be replaced is refused before anything is opened
    // or made: one that is not a regular file, one the user may not write, one in a folder that takes no
    // new file.
    static std::unique_ptr<OutputFile> open(const std::string& path, FileFailure& refusal);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The new file, for a stream to write and read at offsets of its own; named by the path it was opened by.
    const std::shared_ptr<OpenFile>& file() const { return m_file; }
    // Puts the new file in place of the target once its bytes are on the disk; what went wrong otherwise.
    std::optional<FileFailure> commit();

private:
    OutputFile(std::unique_ptr<QSaveFile> saveFile, std::shared_ptr<OpenFile> file);

    std::unique_ptr<QSaveFile> m_saveFile;
    std::shared_ptr<OpenFile> m_file;
};

} // namespace fw
