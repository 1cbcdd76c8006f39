#pragma once

#include <cstdint>
#include <string>

namespace fw {

// Plain decimal text: no grouping, no leading zeros, a minus sign for negative numbers.
std::string Str(std::int32_t value);
std::string Str(std::uint64_t value);

} // namespace fw
