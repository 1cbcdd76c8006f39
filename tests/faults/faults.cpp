#include "faults.h"

#include <dlfcn.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

namespace faults {
namespace {

struct Fault {
    std::string call, pathPrefix;
    int error;
    std::uint64_t offset;
};

// Checked before anything else, so that a call costs one load while nothing is armed.
std::atomic<bool> armed{false};
std::mutex faultsLock;
std::vector<Fault> armedFaults;

std::optional<Fault> faultFor(const char* call, int descriptor) {
    if (!armed.load(std::memory_order_acquire))
        return std::nullopt;
    std::error_code noFile; // then the name is empty, and no armed prefix is
    const std::string name =
        std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), noFile);
    const std::lock_guard guard(faultsLock);
    for (const Fault& fault : armedFaults)
        if (fault.call == call && name.starts_with(fault.pathPrefix))
            return fault;
    return std::nullopt;
}

// How many of count bytes at offset the call may take, or -1 with errno set when it fails outright.
ssize_t allowed(const char* call, int descriptor, std::uint64_t offset, std::size_t count) {
    const std::optional<Fault> fault = faultFor(call, descriptor);
    if (!fault)
        return static_cast<ssize_t>(count);
    if (offset >= fault->offset && count > 0) {
        errno = fault->error;
        return -1;
    }
    return static_cast<ssize_t>(std::min<std::uint64_t>(count, fault->offset - offset));
}

bool fails(const char* call, int descriptor) { return allowed(call, descriptor, 0, 1) < 0; }

// The definition that this library's own hides.
template <typename Function> Function* next(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

} // namespace

void failCalls(const std::string& call, const std::string& pathPrefix, int error, std::uint64_t offset) {
    const std::lock_guard guard(faultsLock);
    armedFaults.push_back({call, pathPrefix, error, offset});
    armed.store(true, std::memory_order_release);
}

void clearFaults() {
    const std::lock_guard guard(faultsLock);
    armedFaults.clear();
    armed.store(false, std::memory_order_release);
}

} // namespace faults

extern "C" {

ssize_t pread(int descriptor, void* buffer, size_t count, off_t offset) {
    static auto* const real = faults::next<decltype(::pread)>("pread");
    const ssize_t allowed = faults::allowed("pread", descriptor, static_cast<std::uint64_t>(offset), count);
    return allowed < 0 ? -1 : real(descriptor, buffer, static_cast<size_t>(allowed), offset);
}

ssize_t copy_file_range(int input, off64_t* inputOffset, int output, off64_t* outputOffset, size_t count,
                        unsigned int flags) {
    static auto* const real = faults::next<decltype(::copy_file_range)>("copy_file_range");
    const ssize_t allowed =
        faults::allowed("copy_file_range", input, static_cast<std::uint64_t>(*inputOffset), count);
    return allowed < 0 ? -1
                       : real(input, inputOffset, output, outputOffset, static_cast<size_t>(allowed), flags);
}

int fdatasync(int descriptor) {
    static auto* const real = faults::next<decltype(::fdatasync)>("fdatasync");
    return faults::fails("fdatasync", descriptor) ? -1 : real(descriptor);
}

int fsync(int descriptor) {
    static auto* const real = faults::next<decltype(::fsync)>("fsync");
    return faults::fails("fsync", descriptor) ? -1 : real(descriptor);
}

int fsetxattr(int descriptor, const char* name, const void* value, size_t size, int flags) noexcept {
    static auto* const real = faults::next<decltype(::fsetxattr)>("fsetxattr");
    return faults::fails("fsetxattr", descriptor) ? -1 : real(descriptor, name, value, size, flags);
}
}
