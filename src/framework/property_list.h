#pragma once

#include "property_value.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class ClassRecord;
class Object;
class PropertyDeclaration;

// One entry of a property list, as read against the declarations of a class.
struct PropertyEntry {
    const PropertyDeclaration* declaration;
    PropertyValue value;
    std::size_t offset; // of the entry's name within the list
};

// Reads a property list whole: each entry is a name, one space byte, then the value in the form of the
// declared type (Int32 4 bytes big-endian, Boolean 1 byte, String a 4-byte big-endian length and the bytes,
// Color 3 bytes). A list that cannot be read to its exact end raises PropertyListException naming the class,
// the property and the byte offset; nothing is read past the end.
std::vector<PropertyEntry> decodePropertyList(const ClassRecord& record, std::string_view list);

// Applies a property list to an object through the properties' setters, once the whole list has been read,
// so a malformed list changes nothing.
void SetProperties(Object& object, std::string_view list);

} // namespace fw
