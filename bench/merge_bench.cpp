#include "app_driver.h"
#include "bench_support.h"
#include "cases.h"

#include <array>
#include <cstdio>
#include <numeric>

namespace bench {
namespace {

struct MergeTimes {
    std::vector<double> project;
    std::vector<double> reference;
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

// Both sides write a new file into the inputs' folder. An output is removed as soon as it has been checked,
// so that the disk never writes back one side's output while the other side runs. The first run reads the
// inputs into the page cache for both sides and compares the outputs byte for byte; it is not counted.
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
        const double reference = timeCat(inputs, catted, times.catPeakKb);
        requireSize(catted, expected);
        if (run == 0 && !sameBytes(merged, catted))
            fail("the merged file differs from cat's");
        std::remove(merged.c_str());
        std::remove(catted.c_str());
        if (run > 0) {
            times.project.push_back(project);
            times.reference.push_back(reference);
        }
    }
    return times;
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
    printRow("merge " + std::to_string(options.files) + " x 37 B vs cat", median(times.project),
             median(times.reference), 1.5);
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
    printRow("merge 4 x 256 MiB vs cat", median(times.project), median(times.reference), 1.2);
    printNote("  peak memory: merging vs idle", mib(peakKb), mib(idleKb), mib(peakKb - idleKb, "%+.1f MiB"),
              "cat: " + mib(times.catPeakKb));
}

} // namespace bench
