#pragma once

#include "ref.h"

namespace fw {

// A module-level object: one reference that a program keeps for the rest of the run. The run's end releases
// every module-level object still held, newest first, before the framework's registries go; left to static
// destruction instead, one would outlive the registries it deregisters from.
class ModuleObject {
public:
    // Drops the module's reference and leaves nil behind.
    virtual void Exit() = 0;

protected:
    constexpr ModuleObject() = default;
    ~ModuleObject() = default;
    // Marks this object as the newest one held, or as no longer held.
    void holdUntilExit();
    void letGo();
};

// Releases what every module-level object still holds, newest first.
void releaseModuleObjects();

template <class T> class ModuleProperty final : public ModuleObject {
public:
    const Ref<T>& get() const { return m_value; }
    void set(Ref<T> value) {
        m_value = std::move(value);
        m_value ? holdUntilExit() : letGo();
    }
    void Exit() override {
        letGo();
        m_value = nullptr;
    }

private:
    Ref<T> m_value;
};

} // namespace fw
