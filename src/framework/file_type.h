#pragma once

#include "object.h"

#include <string>

namespace fw {

class ClassRecord;

// A kind of document the platform knows by name and extension. Its text form is its name, and converting it
// to text registers it with the platform first if it is not registered yet. Changing any value withdraws a
// registration, so a type is registered with its final values.
class FileType : public Object {
public:
    static const ClassRecord& Record();
    ~FileType() override;

    std::string Name() const { return m_name; }
    void Name(const std::string& name);
    std::string Extensions() const { return m_extensions; }
    void Extensions(const std::string& extensions);
    std::string MacType() const { return m_macType; }
    void MacType(const std::string& macType);
    std::string MacCreator() const { return m_macCreator; }
    void MacCreator(const std::string& macCreator);

    std::string Operator_Convert();
    void registerType();
    void deregisterType();

protected:
    FileType() = default;

private:
    std::string m_name;
    std::string m_extensions;
    std::string m_macType;
    std::string m_macCreator;
    bool m_registered = false;
};

} // namespace fw
