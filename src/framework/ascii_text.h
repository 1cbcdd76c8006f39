#pragma once

#include <string>
#include <string_view>

namespace fw {

// Comparisons of ASCII text without regard to case, as property names, file extensions and URI schemes are
// compared; bytes outside ASCII compare as they are.
std::string foldAsciiCase(std::string_view text);
bool equalsIgnoringCase(std::string_view text, std::string_view other);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// The text without the blanks, tabs and line ends around it.
std::string_view trimmedAscii(std::string_view text);

} // namespace fw
