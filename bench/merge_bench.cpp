#include "app_driver.h"
#include "bench_support.h"
#include "cases.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <unistd.h>

namespace bench {
namespace {

struct MergeTimes {
    std::vector<double> project;
    std::vector<double> safeCat;
    std::vector<double> plainCat;
    long catPeakKb = 0;
};

std::uint64_t totalSize(const std::vector<std::string>& paths) {
    return std::accumulate(paths.begin(), paths.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const std::string& path) { return sum + fileSize(path); });
}

void requireSize(const std::string& path, std::uint64_t expected) {
    if (fileSize(path) != expected)
        fail(path + " holds " + std::to_string(fileSize(path)) + " bytes, not " + std::to_string(expected));
}

double timeCat(const std::vector<std::string>& inputs, const std::string& output, long& peakKb) {
    std::vector<std::string> argv{"cat"};
    argv.insert(argv.end(), inputs.begin(), inputs.end());
    const double start = nowMs();
    const ProgramRun run = runProgram(argv, output);
    const double end = nowMs();
    peakKb = std::max(peakKb, run.peakKb);
    return end - start;
}

void syncFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0 || ::fsync(descriptor) != 0)
        fail("cannot sync " + path + ": " + std::strerror(errno));
    ::close(descriptor);
}

// What a careful script does to replace a file safely: cat into a temporary file beside the target, fsync
// it, and rename it over the target. The sync and the rename are made here rather than by two more programs,
// which only makes the reference faster.
double timeSafeCat(const std::vector<std::string>& inputs, const std::string& output, long& peakKb) {
    const std::string temporary = output + ".tmp";
    const double start = nowMs();
    timeCat(inputs, temporary, peakKb);
    syncFile(temporary);
    if (std::rename(temporary.c_str(), output.c_str()) != 0)
        fail("cannot rename " + temporary + ": " + std::strerror(errno));
    return nowMs() - start;
}

// Every side writes a new file into the inputs' folder. An output is removed as soon as it has been checked,
// so that the disk never writes back one side's output while another side runs. The first run reads the
// inputs into the page cache for all sides and compares the outputs byte for byte; it is not counted.
MergeTimes timeMerges(AppUnderTest& app, const std::vector<std::string>& inputs, int repeats) {
    const std::string folder = inputs.front().substr(0, inputs.front().rfind('/'));
    const std::string merged = folder + "/merged.out";
    const std::string catted = folder + "/cat.out";
    const std::uint64_t expected = totalSize(inputs);
    MergeTimes times;
    for (int run = 0; run <= repeats; ++run) {
        const double project = app.clickMerge(merged);
        requireSize(merged, expected);
        if (run > 0)
            std::remove(merged.c_str());
        const double safeCat = timeSafeCat(inputs, catted, times.catPeakKb);
        requireSize(catted, expected);
        if (run == 0 && !sameBytes(merged, catted))
            fail("the merged file differs from cat's");
        std::remove(merged.c_str());
        std::remove(catted.c_str());
        const double plainCat = timeCat(inputs, catted, times.catPeakKb);
        requireSize(catted, expected);
        std::remove(catted.c_str());
        if (run > 0) {
            times.project.push_back(project);
            times.safeCat.push_back(safeCat);
            times.plainCat.push_back(plainCat);
        }
    }
    return times;
}

void printMergeRows(const std::string& name, const MergeTimes& times, double target) {
    printRow(name + " vs safe cat", median(times.project), median(times.safeCat), target);
    printTiming("  vs plain cat", median(times.project), median(times.plainCat), "for information");
}

std::string mib(long kb, const char* format = "%.1f MiB") {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), format, static_cast<double>(kb) / 1024);
    return text.data();
}

} // namespace

void runMergeSmall(const CaseOptions& options) {
    const std::vector<std::string> inputs = patchFiles(options.folder, options.files);
    AppUnderTest app;
    app.addPatches(inputs);
    const MergeTimes times = timeMerges(app, inputs, options.repeats);
    printMergeRows("merge " + std::to_string(options.files) + " x 37 B", times, 1.5);
}

// Alone in its process, so that its peak memory is the program's and the merge's, and nothing else's.
void runMergeLarge(const CaseOptions& options) {
    constexpr int kCount = 4;
    constexpr std::uint64_t kSize = std::uint64_t{256} << 20;
    const std::vector<std::string> inputs = largeFiles(options.folder, kCount, kSize);
    AppUnderTest app;
    app.addPatches(inputs);
    const long idleKb = statusKb("VmHWM");
    resetPeakMemory();
    const MergeTimes times = timeMerges(app, inputs, options.repeats);
    const long peakKb = statusKb("VmHWM");
    printMergeRows("merge 4 x 256 MiB", times, 1.2);
    printNote("  peak memory: merging vs idle", mib(peakKb), mib(idleKb), mib(peakKb - idleKb, "%+.1f MiB"),
              "cat: " + mib(times.catPeakKb));
}

} // namespace bench
