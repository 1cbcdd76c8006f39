#pragma once
#include <optional>
#include <string>
namespace fw {
// Gives a new file what the file it replaces had: owner and group where this process may set them, the whole
// mode with its set-id and sticky bits, access lists and extended attributes. oldFile is open for reading or
// an O_PATH descriptor. Why that failed, or nothing.
std::optional<std::string> keepMetadata(int oldFile, int newFile);
} // namespace fw
