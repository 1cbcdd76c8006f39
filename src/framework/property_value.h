#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace fw {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

enum class PropertyType { Int32, Boolean, String, Color };

// Variant order follows PropertyType, so a value's index is its type.
using PropertyValue = std::variant<std::int32_t, bool, std::string, Color>;

inline PropertyType typeOf(const PropertyValue& value) { return static_cast<PropertyType>(value.index()); }
const char* typeName(PropertyType type);
PropertyValue defaultValue(PropertyType type);

} // namespace fw
