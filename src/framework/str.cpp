#include "str.h"

namespace fw {

std::string Str(std::int32_t value) { return std::to_string(value); }

std::string Str(std::uint64_t value) { return std::to_string(value); }

} // namespace fw
