#pragma once

#include "ref.h"

namespace fw {

// A module-level reference that lives until shut-down releases it explicitly, in the order shut-down chooses,
// rather than whenever static destruction gets to it.
template <class T> class ModuleProperty {
public:
    const Ref<T>& get() const { return m_value; }
    void set(Ref<T> value) { m_value = std::move(value); }
    // Drops the module's reference and leaves nil behind.
    void Exit() { m_value = nullptr; }

private:
    Ref<T> m_value;
};

} // namespace fw
