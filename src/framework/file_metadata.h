#pragma once

#include <optional>
#include <string>

namespace fw {

// Gives a new file what the file it replaces had: owner and group as far as this process may set them, the
// whole mode with its set-id and sticky bits, the access list and the extended attributes. oldFile may be
// open for reading or an O_PATH descriptor; newFile is open for writing. Why something could not be kept, or
// nothing; an owner or group this process may not give is no failure.
std::optional<std::string> keepMetadata(int oldFile, int newFile);

} // namespace fw
