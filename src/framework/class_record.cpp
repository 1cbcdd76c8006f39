#include "class_record.h"

#include "ascii_text.h"

namespace fw {
namespace {

// Made on first use, so the order in which classes first ask for their records never matters, and never
// destroyed, so an object released as late as static destruction still finds its record.
std::map<std::string, std::unique_ptr<ClassRecord>, std::less<>>& registry() {
    static auto* classes = new std::map<std::string, std::unique_ptr<ClassRecord>, std::less<>>;
    return *classes;
}

} // namespace

PropertyDeclaration::PropertyDeclaration(std::string name, PropertyType type, Effect effect, Reader reader)
    : m_name(std::move(name)), m_type(type), m_effect(std::move(effect)), m_reader(std::move(reader)) {}

void PropertyDeclaration::assign(Object& object, const PropertyValue& value) const {
    object.m_storedValues[m_name] = value;
    if (m_effect)
        m_effect(object, value);
}

PropertyValue PropertyDeclaration::read(const Object& object) const {
    if (m_reader)
        return m_reader(object);
    return object.storedValue(m_name, m_type);
}

ClassRecord::ClassRecord(std::string name, const ClassRecord* base, Factory factory)
    : m_name(std::move(name)), m_base(base), m_factory(std::move(factory)) {}

ClassRecord& ClassRecord::declare(std::string name, PropertyType type, PropertyDeclaration::Effect effect,
                                  PropertyDeclaration::Reader reader) {
    m_propertyByFoldedName[foldAsciiCase(name)] = m_properties.size();
    m_properties.emplace_back(std::move(name), type, std::move(effect), std::move(reader));
    return *this;
}

const PropertyDeclaration* ClassRecord::findProperty(std::string_view name) const {
    const std::string folded = foldAsciiCase(name);
    for (const ClassRecord* record = this; record; record = record->m_base) {
        auto found = record->m_propertyByFoldedName.find(folded);
        if (found != record->m_propertyByFoldedName.end())
            return &record->m_properties[found->second];
    }
    return nullptr;
}

Ref<Object> ClassRecord::newObject() const {
    if (!m_factory)
        return nullptr;
    Ref<Object> object(m_factory());
    if (object)
        object->m_classRecord = this;
    return object;
}

ClassRecord& RegisterClass(const std::string& name, const ClassRecord* base, ClassRecord::Factory factory) {
    auto& classes = registry();
    auto found = classes.find(name);
    if (found != classes.end())
        return *found->second;
    auto record = std::make_unique<ClassRecord>(name, base, std::move(factory));
    return *classes.emplace(name, std::move(record)).first->second;
}

Ref<Object> RuntimeNewObject(const ClassRecord& record) { return record.newObject(); }

} // namespace fw
