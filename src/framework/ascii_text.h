#pragma once

#include <string>
#include <string_view>

namespace fw {

// Comparisons of ASCII text without regard to case, as property names, file extensions and URI schemes are
// compared; bytes outside ASCII compare as they are.
std::string FoldAsciiCase(std::string_view text);
bool EqualsIgnoringCase(std::string_view text, std::string_view other);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

} // namespace fw
