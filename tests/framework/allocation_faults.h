#pragma once

namespace test {

// Allocations made to fail from outside the framework: the test program replaces the allocation functions for
// everything it links, the framework included, and passes every call on unless a test asks otherwise.

// Makes the allocation that many allocations from now, on this thread, throw std::bad_alloc; a negative
// count makes none fail. Whether one was made to fail since the last call.
bool failAllocationAfter(int count);
// The number of descriptors this process has open.
int openDescriptors();

} // namespace test
