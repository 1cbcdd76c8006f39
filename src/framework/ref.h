#pragma once

#include "exceptions.h"

#include <cstddef>
#include <utility>

namespace fw {

class Object;

// A counted reference to a framework object. Copying takes a reference, destruction releases it; releasing
// nil does nothing, and using nil raises NilObjectException rather than crashing.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    explicit Ref(T* object) : m_object(object) { retain(); }
    Ref(const Ref& other) : m_object(other.m_object) { retain(); }
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U> Ref(const Ref<U>& other) : m_object(other.get()) { retain(); }
    ~Ref() { release(); }

    Ref& operator=(Ref other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }

    T* get() const { return m_object; }
    T& operator*() const { return *checked(); }
    T* operator->() const { return checked(); }
    explicit operator bool() const { return m_object != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.m_object == b.m_object; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.m_object == nullptr; }

private:
    T* checked() const {
        if (!m_object)
            throw NilObjectException();
        return m_object;
    }
    void retain() {
        if (m_object)
            m_object->retainReference();
    }
    void release() {
        if (m_object)
            std::exchange(m_object, nullptr)->releaseReference();
    }

    T* m_object = nullptr;
};

// Creates an object and hands back the first reference to it.
template <class T, class... Args> Ref<T> makeRef(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

} // namespace fw
