#pragma once

namespace test {

// Faults injected from outside the framework: the test program replaces the allocation functions and fsync
// for everything it links, the framework included, and passes every call on unless a test asks otherwise.

// Makes the allocation that many allocations from now, on this thread, throw std::bad_alloc; a negative
// count makes none fail. Whether one was made to fail since the last call.
bool failAllocationAfter(int count);
// Makes every fsync of a folder fail with the error; 0 lets them through again.
void failFolderSyncs(int error);

// The number of descriptors this process has open.
int openDescriptors();

} // namespace test
