#include "file_system.h"

namespace fw {

std::optional<struct stat> fileStatus(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return status;
}

std::string lastPathComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }

} // namespace fw
