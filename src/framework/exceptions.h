#pragma once

#include <stdexcept>
#include <string>

namespace fw {

// The framework's exceptions. Each carries the name that the unhandled-exception report shows.
class RuntimeException : public std::runtime_error {
public:
    RuntimeException(std::string name, const std::string& message)
        : std::runtime_error(message), m_name(std::move(name)) {}
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
};

class NilObjectException : public RuntimeException {
public:
    NilObjectException() : RuntimeException("NilObjectException", "an object that is nil was used") {}
};

class IllegalCastException : public RuntimeException {
public:
    explicit IllegalCastException(const std::string& message)
        : RuntimeException("IllegalCastException", message) {}
};

class OutOfBoundsException : public RuntimeException {
public:
    explicit OutOfBoundsException(const std::string& message)
        : RuntimeException("OutOfBoundsException", message) {}
};

class PropertyListException : public RuntimeException {
public:
    explicit PropertyListException(const std::string& message)
        : RuntimeException("PropertyListException", message) {}
};

} // namespace fw
