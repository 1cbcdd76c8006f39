#pragma once

#include "file_failure.h"

#include <string>

namespace fw {

// Tells the user, in one dialog and on standard error, that the output file was not written and was left as
// it was, naming the file at fault (the output, or an input that could not be read or that changed while it
// was read) and the reason.
void reportFileError(const std::string& outputPath, const FileFailure& failure);

// Tells the user, in the same way, that the output file is in place but its folder could not be synced, so
// that a power loss may still undo the save.
void reportUnsyncedFile(const std::string& outputPath, const std::string& reason);

} // namespace fw
