#include "file_type.h"

#include "class_record.h"
#include "file_type_registry.h"

namespace fw {

const ClassRecord& FileType::Record() {
    static const ClassRecord& record = RegisterClass("FileType", nullptr, [] { return new FileType; });
    return record;
}

// A type still registered when it goes away would leave the platform offering a type that no longer exists.
FileType::~FileType() { deregisterType(); }

void FileType::Name(const std::string& name) {
    deregisterType();
    m_name = name;
}

void FileType::Extensions(const std::string& extensions) {
    deregisterType();
    m_extensions = extensions;
}

void FileType::MacType(const std::string& macType) {
    deregisterType();
    m_macType = macType;
}

void FileType::MacCreator(const std::string& macCreator) {
    deregisterType();
    m_macCreator = macCreator;
}

std::string FileType::Operator_Convert() {
    registerType();
    return m_name;
}

void FileType::registerType() {
    if (m_registered)
        return;
    registerFileType(m_name, m_macCreator, m_macType, m_extensions);
    m_registered = true;
}

void FileType::deregisterType() {
    if (!m_registered)
        return;
    deregisterFileType(m_name);
    m_registered = false;
}

} // namespace fw
