#include "window_list.h"

#include "class_record.h"
#include "window.h"

#include <map>
#include <vector>

namespace fw {
namespace {

struct WindowLists {
    std::vector<Ref<Window>> windows;
    std::map<std::string, Ref<Window>> implicitWindows;
};

WindowLists& lists() {
    static WindowLists held;
    return held;
}

} // namespace

void addWindow(const Ref<Window>& window) {
    lists().windows.push_back(window);
    if (window->classRecord())
        lists().implicitWindows.emplace(window->classRecord()->name(), window);
}

Ref<Window> GetImplicitWindow(const std::string& className) {
    auto found = lists().implicitWindows.find(className);
    return found == lists().implicitWindows.end() ? nullptr : found->second;
}

void releaseWindowLists() {
    lists().implicitWindows.clear();
    lists().windows.clear();
}

} // namespace fw
