#include "file_metadata.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace fw {

std::optional<std::string> keepMetadata(int oldFile, int newFile) {
    struct stat status {};
    if (::fstat(oldFile, &status) != 0 || ::fchmod(newFile, status.st_mode & 07777) != 0)
        return std::strerror(errno);
    return std::nullopt;
}

} // namespace fw
