#include "faults.h"

#include <dlfcn.h>
#include <sys/xattr.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace faults {
namespace {

struct Fault {
    std::string call;
    std::string pathPrefix;
    int error;
    std::uint64_t offset;
};

// Checked before anything else, so that a call costs one load while nothing is armed.
std::atomic<bool> armed{false};

std::mutex& faultsLock() {
    static std::mutex lock;
    return lock;
}

std::vector<Fault>& armedFaults() {
    static std::vector<Fault> faults;
    return faults;
}

std::optional<Fault> faultFor(const char* call, int descriptor) {
    if (!armed.load(std::memory_order_acquire))
        return std::nullopt;
    char path[PATH_MAX];
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(descriptor)).c_str(), path, sizeof(path) - 1);
    if (length < 0)
        return std::nullopt;
    const std::string_view name(path, static_cast<std::size_t>(length));
    const std::lock_guard guard(faultsLock());
    for (const Fault& fault : armedFaults()) {
        if (fault.call == call && name.starts_with(fault.pathPrefix))
            return fault;
    }
    return std::nullopt;
}

// How many of count bytes at offset may be read, or -1 with errno set when the read fails outright.
ssize_t readable(const char* call, int descriptor, std::uint64_t offset, std::size_t count) {
    const std::optional<Fault> fault = faultFor(call, descriptor);
    if (!fault)
        return static_cast<ssize_t>(count);
    if (offset >= fault->offset && count > 0) {
        errno = fault->error;
        return -1;
    }
    return static_cast<ssize_t>(std::min<std::uint64_t>(count, fault->offset - offset));
}

bool fails(const char* call, int descriptor) {
    const std::optional<Fault> fault = faultFor(call, descriptor);
    if (fault)
        errno = fault->error;
    return fault.has_value();
}

// The definition that this library's own hides.
template <typename Function> Function* next(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

} // namespace

void failCalls(const std::string& call, const std::string& pathPrefix, int error, std::uint64_t offset) {
    const std::lock_guard guard(faultsLock());
    armedFaults().push_back({call, pathPrefix, error, offset});
    armed.store(true, std::memory_order_release);
}

void clearFaults() {
    const std::lock_guard guard(faultsLock());
    armedFaults().clear();
    armed.store(false, std::memory_order_release);
}

namespace {

// A program that was started with this library preloaded, such as the one the end-to-end tests drive, is told
// its fault in WRENFOLD_FAULTS as "call:pathPrefix:errno".
[[gnu::constructor]] void armFromEnvironment() {
    const char* text = std::getenv("WRENFOLD_FAULTS");
    if (!text)
        return;
    const std::string fault(text);
    const std::size_t first = fault.find(':');
    const std::size_t last = fault.rfind(':');
    if (first == last) {
        std::fprintf(stderr, "WRENFOLD_FAULTS is not call:pathPrefix:errno: %s\n", text);
        std::abort();
    }
    failCalls(fault.substr(0, first), fault.substr(first + 1, last - first - 1), std::atoi(text + last + 1));
}

} // namespace

} // namespace faults

extern "C" {

ssize_t pread(int descriptor, void* buffer, size_t count, off_t offset) {
    static auto* const real = faults::next<decltype(::pread)>("pread");
    const ssize_t allowed = faults::readable("pread", descriptor, static_cast<std::uint64_t>(offset), count);
    return allowed < 0 ? -1 : real(descriptor, buffer, static_cast<size_t>(allowed), offset);
}

// The same call, under the name that code built with 64-bit file offsets calls.
ssize_t pread64(int descriptor, void* buffer, size_t count, off64_t offset) {
    static auto* const real = faults::next<decltype(::pread64)>("pread64");
    const ssize_t allowed = faults::readable("pread", descriptor, static_cast<std::uint64_t>(offset), count);
    return allowed < 0 ? -1 : real(descriptor, buffer, static_cast<size_t>(allowed), offset);
}

ssize_t copy_file_range(int input, off64_t* inputOffset, int output, off64_t* outputOffset, size_t count,
                        unsigned int flags) {
    static auto* const real = faults::next<decltype(::copy_file_range)>("copy_file_range");
    const off64_t from = inputOffset ? *inputOffset : ::lseek64(input, 0, SEEK_CUR);
    const ssize_t allowed =
        faults::readable("copy_file_range", input, static_cast<std::uint64_t>(from), count);
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
