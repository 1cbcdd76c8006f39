#pragma once

#include <string>

namespace bench {

// What one case is run on: the folder that holds the data sets, how many timed runs, how many patch files.
struct CaseOptions {
    std::string folder;
    int repeats = 5;
    int files = 10000;
};

void runMergeSmall(const CaseOptions& options);
void runMergeLarge(const CaseOptions& options);
void runDrop(const CaseOptions& options);
void runDropOnce(const CaseOptions& options);

} // namespace bench
