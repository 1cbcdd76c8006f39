#pragma once

#include <chrono>
#include <thread>

namespace test {

// The framework's yield lets events run only when 50 ms have passed since it last did. A test that needs the
// very next yield to run them lets that interval pass first: no yield runs while it waits, so the next one is
// due however loaded the machine is.
inline void makeTheNextYieldDue() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

} // namespace test
