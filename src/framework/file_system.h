#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>

namespace fw {

// What the system says of the file at a path, following symbolic links; nothing when it cannot say, with
// errno telling why.
std::optional<struct stat> fileStatus(const std::string& path);

// The last component of a path: the file's own name.
std::string lastPathComponent(const std::string& path);

} // namespace fw
