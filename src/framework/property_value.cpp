#include "property_value.h"

namespace fw {

const char* typeName(PropertyType type) {
    switch (type) {
    case PropertyType::Int32:
        return "Int32";
    case PropertyType::Boolean:
        return "Boolean";
    case PropertyType::String:
        return "String";
    case PropertyType::Color:
        return "Color";
    }
    return "unknown type";
}

PropertyValue defaultValue(PropertyType type) {
    switch (type) {
    case PropertyType::Int32:
        return std::int32_t{0};
    case PropertyType::Boolean:
        return false;
    case PropertyType::String:
        return std::string();
    case PropertyType::Color:
        return Color{};
    }
    return std::int32_t{0};
}

} // namespace fw
