#pragma once

#include "property_value.h"
#include "ref.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace fw {

class ClassRecord;

// The root of every framework object: a reference count, the class record that it was created from, and the
// values of its declared properties.
class Object {
public:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    void retainReference() { ++m_references; }
    void releaseReference();

    // The record this object was created from; objects that the framework makes for itself have none.
    const ClassRecord* classRecord() const { return m_classRecord; }
    std::string className() const;

    // Properties are found by name among those the class and its bases declare, without regard to case.
    void setProperty(std::string_view name, const PropertyValue& value);
    PropertyValue property(std::string_view name) const;

protected:
    Object() = default;

    // What a property setter stored, for declared properties that only keep their value.
    PropertyValue storedValue(const std::string& declaredName, PropertyType type) const;

private:
    friend class ClassRecord;
    friend class PropertyDeclaration;

    std::int64_t m_references = 0;
    const ClassRecord* m_classRecord = nullptr;
    std::map<std::string, PropertyValue> m_storedValues;
};

// The framework's cast check: nil passes as nil, an object of another class raises IllegalCastException.
template <class T, class U> Ref<T> Cast(const Ref<U>& object) {
    if (!object)
        return nullptr;
    if (auto* cast = dynamic_cast<T*>(object.get()))
        return Ref<T>(cast);
    throw IllegalCastException("an object of class " + object->className() + " is not of the class required");
}

} // namespace fw
