#pragma once

#include <cstdint>
#include <string>

// Failures of the system's calls made on purpose, from outside the code under test: this library is linked
// ahead of the C library, so its definitions of these calls are the ones called, and each hands on to the
// real one unless a fault is armed for it. Preloaded into another program, it takes that program's fault from
// WRENFOLD_FAULTS="call:pathPrefix:errno".
namespace faults {

// Makes each call of the named function ("pread", "copy_file_range", "fdatasync", "fsync" or "fsetxattr") on
// a descriptor whose file's path, as the kernel names it in /proc/self/fd, starts with pathPrefix fail with
// error, until clearFaults(). A read or a copy fails only at or past offset, and one that starts before it
// stops short there, as a disk that fails at that point would. An unnamed file's path is its folder's
// followed by "/#inode (deleted)", so a folder's prefix covers it too.
void failCalls(const std::string& call, const std::string& pathPrefix, int error, std::uint64_t offset = 0);
void clearFaults();

// A disk that fails at offset in the files whose paths start with pathPrefix: their reads and their copies.
inline void failReads(const std::string& pathPrefix, int error, std::uint64_t offset = 0) {
    failCalls("pread", pathPrefix, error, offset);
    failCalls("copy_file_range", pathPrefix, error, offset);
}

} // namespace faults
