#pragma once

#include <string>

namespace fw {

// Why an output file was not written: the file at fault, which is the output itself or an input it was being
// filled from, what went wrong with it, and the reason in words.
struct FileFailure {
    enum class Kind {
        Write,  // writing the output failed
        Read,   // reading an input failed
        Changed // an input changed while it was being read, so what was read of it may be torn
    };

    std::string path;
    std::string reason;
    Kind kind = Kind::Write;
};

} // namespace fw
