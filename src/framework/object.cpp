#include "object.h"

#include "class_record.h"

namespace fw {

void Object::releaseReference() {
    if (--m_references == 0)
        delete this;
}

std::string Object::className() const { return m_classRecord ? m_classRecord->name() : "Object"; }

void Object::setProperty(std::string_view name, const PropertyValue& value) {
    const PropertyDeclaration* declaration = m_classRecord ? m_classRecord->findProperty(name) : nullptr;
    if (!declaration)
        throw PropertyListException("class " + className() + " has no property " + std::string(name));
    if (typeOf(value) != declaration->type())
        throw IllegalCastException("property " + declaration->name() + " of class " + className() +
                                   " takes a " + typeName(declaration->type()));
    declaration->assign(*this, value);
}

PropertyValue Object::property(std::string_view name) const {
    const PropertyDeclaration* declaration = m_classRecord ? m_classRecord->findProperty(name) : nullptr;
    if (!declaration)
        throw PropertyListException("class " + className() + " has no property " + std::string(name));
    return declaration->read(*this);
}

PropertyValue Object::storedValue(const std::string& declaredName, PropertyType type) const {
    auto found = m_storedValues.find(declaredName);
    return found == m_storedValues.end() ? defaultValue(type) : found->second;
}

} // namespace fw
