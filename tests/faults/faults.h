#pragma once

#include <cstdint>
#include <string>

// System calls made to fail from outside the code under test: linked ahead of the C library, this library's
// definitions of the calls are the ones called, and each hands on to the real one unless a fault is armed.
namespace faults {

// Makes each call of "pread", "copy_file_range", "fdatasync", "fsync" or "fsetxattr" on a file whose
// /proc/self/fd path starts with pathPrefix (an unnamed file's is its folder's and "/#inode (deleted)") fail
// with error until clearFaults(); a read or copy fails from offset on, one starting before it stops there.
void failCalls(const std::string& call, const std::string& pathPrefix, int error, std::uint64_t offset = 0);
void clearFaults();

// A disk that fails at offset in the files whose paths start with pathPrefix: their reads and their copies.
inline void failReads(const std::string& pathPrefix, int error, std::uint64_t offset = 0) {
    failCalls("pread", pathPrefix, error, offset);
    failCalls("copy_file_range", pathPrefix, error, offset);
}

} // namespace faults
