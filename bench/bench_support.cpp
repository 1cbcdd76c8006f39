#include "bench_support.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {
namespace {

std::string formatted(const char* format, double value) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), format, value);
    return text.data();
}

void writeAll(int descriptor, const char* bytes, std::size_t length, const std::string& path) {
    while (length > 0) {
        const ssize_t count = ::write(descriptor, bytes, length);
        if (count <= 0)
            fail("cannot write " + path + ": " + std::strerror(errno));
        bytes += count;
        length -= static_cast<std::size_t>(count);
    }
}

void writeFile(const std::string& path, const std::string& bytes) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        fail("cannot create " + path + ": " + std::strerror(errno));
    writeAll(descriptor, bytes.data(), bytes.size(), path);
    ::close(descriptor);
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        fail("cannot make " + path + ": " + std::strerror(errno));
}

// Writes a new data set out once, so that the disk is idle when the timing starts.
void syncFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::syncfs(descriptor);
        ::close(descriptor);
    }
}

std::string patchBytes(int number) {
    std::string bytes = {'\xF0', '\x00', '\x61', static_cast<char>(number % 100)};
    for (int i = 0; i < 32; ++i)
        bytes += static_cast<char>((number * 31 + i * 7) & 0x7F);
    return bytes + '\xF7';
}

// Bytes that no file system can store as holes or compress away.
void fillRandom(std::string& buffer, std::uint64_t& state) {
    for (std::size_t i = 0; i + 8 <= buffer.size(); i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(buffer.data() + i, &state, 8);
    }
}

void writeLargeFile(const std::string& path, std::uint64_t size, std::uint64_t seed) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        fail("cannot create " + path + ": " + std::strerror(errno));
    std::string buffer(1 << 20, '\0');
    for (std::uint64_t written = 0; written < size; written += buffer.size()) {
        fillRandom(buffer, seed);
        writeAll(descriptor, buffer.data(), std::min<std::uint64_t>(buffer.size(), size - written), path);
    }
    ::close(descriptor);
}

} // namespace

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printRow(const std::string& name, double projectMs, double referenceMs, double target) {
    const double ratio = projectMs / referenceMs;
    printTiming(name, projectMs, referenceMs,
                (ratio <= target ? "met (<= " : "MISSED (<= ") + formatted("%.1f", target) + ")");
}

void printTiming(const std::string& name, double projectMs, double referenceMs, const std::string& remark) {
    printNote(name, formatted("%.1f ms", projectMs), formatted("%.1f ms", referenceMs),
              formatted("%.2f", projectMs / referenceMs), remark);
}

void printNote(const std::string& name, const std::string& project, const std::string& reference,
               const std::string& ratio, const std::string& remark) {
    std::printf("%s\t%s\t%s\t%s\t%s\n", name.c_str(), project.c_str(), reference.c_str(), ratio.c_str(),
                remark.c_str());
    std::fflush(stdout);
}

ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& outputPath) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    std::array<int, 2> pipeEnds{};
    const int output = outputPath.empty()
                           ? ::pipe2(pipeEnds.data(), O_CLOEXEC)
                           : ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (output < 0)
        fail("cannot open the output of " + argv.front() + ": " + std::strerror(errno));
    const int target = outputPath.empty() ? pipeEnds[1] : output;
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(target, STDOUT_FILENO);
        ::execvp(arguments.front(), arguments.data());
        std::_Exit(127);
    }
    ::close(target);
    ProgramRun run;
    if (outputPath.empty()) {
        std::array<char, 4096> chunk{};
        ssize_t count;
        while ((count = ::read(pipeEnds[0], chunk.data(), chunk.size())) > 0)
            run.output.append(chunk.data(), static_cast<std::size_t>(count));
        ::close(pipeEnds[0]);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        fail(argv.front() + " did not run to a successful end");
    run.peakKb = usage.ru_maxrss;
    return run;
}

long statusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return 0;
}

void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::uint64_t fileSize(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

bool sameBytes(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::string chunkA(1 << 20, '\0');
    std::string chunkB(1 << 20, '\0');
    while (first && second) {
        first.read(chunkA.data(), static_cast<std::streamsize>(chunkA.size()));
        second.read(chunkB.data(), static_cast<std::streamsize>(chunkB.size()));
        if (first.gcount() != second.gcount() ||
            std::memcmp(chunkA.data(), chunkB.data(), static_cast<std::size_t>(first.gcount())) != 0)
            return false;
    }
    return !first && !second;
}

void fail(const std::string& why) { throw std::runtime_error(why); }

std::vector<std::string> patchFiles(const std::string& folder, int count) {
    const std::string patches = folder + "/patches";
    makeFolder(patches);
    std::vector<std::string> paths;
    bool wrote = false;
    for (int number = 0; number < count; ++number) {
        std::array<char, 32> name{};
        std::snprintf(name.data(), name.size(), "/patch%05d.syx", number);
        paths.push_back(patches + name.data());
        if (fileSize(paths.back()) != 37) {
            writeFile(paths.back(), patchBytes(number));
            wrote = true;
        }
    }
    if (wrote)
        syncFolder(patches);
    return paths;
}

std::vector<std::string> largeFiles(const std::string& folder, int count, std::uint64_t size) {
    const std::string large = folder + "/large";
    makeFolder(large);
    std::vector<std::string> paths;
    bool wrote = false;
    for (int number = 0; number < count; ++number) {
        paths.push_back(large + "/part" + std::to_string(number) + ".syx");
        if (fileSize(paths.back()) != size) {
            writeLargeFile(paths.back(), size, 0x9E3779B97F4A7C15ULL + static_cast<std::uint64_t>(number));
            wrote = true;
        }
    }
    if (wrote)
        syncFolder(large);
    return paths;
}

} // namespace bench
