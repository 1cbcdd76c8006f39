#pragma once

#include "object.h"
#include "property_value.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A property as a class declares it. Assigning stores the value; a declaration with an effect (a window's
// title, a control's place) also hands the value to it, and one that can be read back from the live object
// says how.
class PropertyDeclaration {
public:
    using Effect = std::function<void(Object&, const PropertyValue&)>;
    using Reader = std::function<PropertyValue(const Object&)>;

    PropertyDeclaration(std::string name, PropertyType type, Effect effect, Reader reader);

    const std::string& name() const { return m_name; }
    PropertyType type() const { return m_type; }
    void assign(Object& object, const PropertyValue& value) const;
    PropertyValue read(const Object& object) const;

private:
    std::string m_name;
    PropertyType m_type;
    Effect m_effect;
    Reader m_reader;
};

// A class as the framework knows it: its name, its base, the properties it declares, and how to make one.
class ClassRecord {
public:
    using Factory = std::function<Object*()>;

    ClassRecord(std::string name, const ClassRecord* base, Factory factory);

    const std::string& name() const { return m_name; }

    ClassRecord& declare(std::string name, PropertyType type, PropertyDeclaration::Effect effect = {},
                         PropertyDeclaration::Reader reader = {});
    // Finds a declaration of this class or of one of its bases; case does not matter.
    const PropertyDeclaration* findProperty(std::string_view name) const;

    Ref<Object> newObject() const;

private:
    std::string m_name;
    const ClassRecord* m_base;
    Factory m_factory;
    std::vector<PropertyDeclaration> m_properties;
    std::map<std::string, std::size_t> m_propertyByFoldedName;
};

// Registers a class once: a second registration under the same name yields the first record unchanged.
ClassRecord& RegisterClass(const std::string& name, const ClassRecord* base, ClassRecord::Factory factory);

// Plain object creation from a class record; no constructor of the framework class runs beyond the C++ one.
Ref<Object> RuntimeNewObject(const ClassRecord& record);

// Creates an object of a framework class through its record and checks the result's class.
template <class T> Ref<T> New() { return Cast<T>(RuntimeNewObject(T::Record())); }

} // namespace fw
