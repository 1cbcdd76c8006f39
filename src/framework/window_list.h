#pragma once

#include "ref.h"

#include <string>

namespace fw {

class Window;

// The windows the framework keeps until the run ends: every constructed window, and the one window of each
// class made through its accessor.
void addWindow(const Ref<Window>& window);
// The window of the class made through its accessor; nil before it is made.
Ref<Window> GetImplicitWindow(const std::string& className);
void releaseWindowLists();

} // namespace fw
