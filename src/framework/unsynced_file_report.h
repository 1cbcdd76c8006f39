#pragma once

#include <string>

namespace fw {

// Tells the user, in one dialog and on standard error, that the file was written and is in place, but that
// the system could not put its folder on the disk, so that a power loss soon after may undo the save.
void reportUnsyncedFile(const std::string& path, const std::string& reason);

} // namespace fw
