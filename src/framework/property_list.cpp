#include "property_list.h"

#include "class_record.h"
#include "exceptions.h"

namespace fw {
namespace {

// Reads one list front to back, refusing any read that would pass its end.
class PropertyListReader {
public:
    PropertyListReader(const ClassRecord& record, std::string_view list) : m_record(record), m_list(list) {}

    std::vector<PropertyEntry> readAll() {
        std::vector<PropertyEntry> entries;
        while (m_position < m_list.size())
            entries.push_back(readEntry());
        return entries;
    }

private:
    PropertyEntry readEntry() {
        const std::size_t offset = m_position;
        const std::size_t space = m_list.find(' ', m_position);
        if (space == std::string_view::npos)
            fail(offset, "a name with no value", m_list.substr(m_position));
        m_name = m_list.substr(m_position, space - m_position);
        m_position = space + 1;
        const PropertyDeclaration* declaration = m_record.findProperty(m_name);
        if (!declaration)
            fail(offset, "an unknown property", m_name);
        return PropertyEntry{declaration, readValue(declaration->type()), offset};
    }

    PropertyValue readValue(PropertyType type) {
        switch (type) {
        case PropertyType::Int32:
            return static_cast<std::int32_t>(readBigEndian32());
        case PropertyType::Boolean:
            return readBoolean();
        case PropertyType::String: {
            const std::uint32_t length = readBigEndian32();
            return std::string(take(length));
        }
        case PropertyType::Color: {
            const std::string_view bytes = take(3);
            return Color{byteAt(bytes, 0), byteAt(bytes, 1), byteAt(bytes, 2)};
        }
        }
        fail(m_position, "a property of no known type", m_name);
    }

    bool readBoolean() {
        const std::uint8_t byte = byteAt(take(1), 0);
        if (byte > 1)
            fail(m_position - 1, "a Boolean byte other than 0 or 1 in", m_name);
        return byte == 1;
    }

    std::uint32_t readBigEndian32() {
        const std::string_view bytes = take(4);
        return std::uint32_t{byteAt(bytes, 0)} << 24 | std::uint32_t{byteAt(bytes, 1)} << 16 |
               std::uint32_t{byteAt(bytes, 2)} << 8 | std::uint32_t{byteAt(bytes, 3)};
    }

    std::string_view take(std::size_t count) {
        if (count > m_list.size() - m_position)
            fail(m_position, "an entry cut short:", m_name);
        const std::string_view bytes = m_list.substr(m_position, count);
        m_position += count;
        return bytes;
    }

    static std::uint8_t byteAt(std::string_view bytes, std::size_t index) {
        return static_cast<std::uint8_t>(bytes[index]);
    }

    [[noreturn]] void fail(std::size_t offset, const std::string& problem, std::string_view name) const {
        throw PropertyListException("property list of class " + m_record.name() + " has " + problem + " \"" +
                                    std::string(name) + "\" at byte offset " + std::to_string(offset));
    }

    const ClassRecord& m_record;
    std::string_view m_list;
    std::size_t m_position = 0;
    std::string_view m_name;
};

} // namespace

std::vector<PropertyEntry> decodePropertyList(const ClassRecord& record, std::string_view list) {
    return PropertyListReader(record, list).readAll();
}

void SetProperties(Object& object, std::string_view list) {
    const ClassRecord* record = object.classRecord();
    if (!record)
        throw PropertyListException("an object with no class record takes no property list");
    for (const PropertyEntry& entry : decodePropertyList(*record, list))
        entry.declaration->assign(object, entry.value);
}

} // namespace fw
