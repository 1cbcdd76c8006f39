#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What every benchmark shares: a clock, the median, the table row, child processes and the data sets. No Qt.
namespace bench {

double nowMs();
double median(std::vector<double> values);

// One row of the table that scripts/bench.sh aligns: the case, the project's median, the reference's median,
// their ratio, and the highest ratio that meets the target.
void printRow(const std::string& name, double projectMs, double referenceMs, double target);
// A timing row with no target, printed for information beside one that has.
void printTiming(const std::string& name, double projectMs, double referenceMs, const std::string& remark);
// A row that is not a timing, such as a memory figure; its columns are printed as given.
void printNote(const std::string& name, const std::string& project, const std::string& reference,
               const std::string& ratio, const std::string& remark);

// Runs a program to its end with its standard output sent to a file, or read back when outputPath is empty.
struct ProgramRun {
    std::string output;
    long peakKb = 0;
};
ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& outputPath = {});

// A field of /proc/self/status, such as "VmHWM", in KiB.
long statusKb(const std::string& field);
// Starts the peak (VmHWM) afresh from the present size, so that it shows only what comes next.
void resetPeakMemory();

std::uint64_t fileSize(const std::string& path);
bool sameBytes(const std::string& a, const std::string& b);
// Fails the benchmark: a figure from a run that did the wrong thing is worth nothing.
[[noreturn]] void fail(const std::string& why);

// The data sets, made on first use in the given folder and written out to disk, so that neither side pays
// for writing them back. Patch files: 37 bytes each, their patch number at offset 3.
std::vector<std::string> patchFiles(const std::string& folder, int count);
std::vector<std::string> largeFiles(const std::string& folder, int count, std::uint64_t size);

} // namespace bench
