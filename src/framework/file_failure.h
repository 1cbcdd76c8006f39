#pragma once

#include <string>

namespace fw {

// Why an output file was not written: the file at fault, which is the output itself or an input it was being
// filled from, whether it was reading that file that failed, and the reason in words.
struct FileFailure {
    std::string path;
    std::string reason;
    bool reading = false;
};

} // namespace fw
