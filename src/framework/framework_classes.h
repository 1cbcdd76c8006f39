#pragma once

namespace fw {

// Registers the framework's own classes, ahead of any program's.
void registerFrameworkClasses();

} // namespace fw
