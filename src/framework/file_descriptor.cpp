#include "file_descriptor.h"

#include <unistd.h>

namespace fw {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        FileDescriptor old(m_descriptor);
        m_descriptor = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

int FileDescriptor::release() {
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
}

} // namespace fw
