#include "module_property.h"

#include <algorithm>
#include <vector>

namespace fw {
namespace {

// Never destroyed, so that an object left to static destruction can still let go of its place.
std::vector<ModuleObject*>& held() {
    static auto* objects = new std::vector<ModuleObject*>;
    return *objects;
}

} // namespace

void ModuleObject::holdUntilExit() {
    letGo();
    held().push_back(this);
}

void ModuleObject::letGo() { std::erase(held(), this); }

void releaseModuleObjects() {
    while (!held().empty())
        held().back()->Exit();
}

} // namespace fw
