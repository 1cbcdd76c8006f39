#pragma once

#include "framework/menu_bar.h"
#include "framework/module_property.h"

#include <string>

namespace fw {
class ClassRecord;
}

// The one menu bar, shared by the application and the main window: File (Quit) and Edit.
class MenuBar1 : public fw::MenuBar {
public:
    static const fw::ClassRecord& ctblinit();
    static const fw::ClassRecord& Lookup();
    using fw::MenuItem::Lookup; // the item lookup by name, which the record's lookup would hide
    // The shared instance, built on first use.
    static fw::Ref<MenuBar1> Instance();

    static fw::ModuleProperty<MenuBar1> _implicitInstance;

    // Builds the File menu.
    void Untitled0();
    // Builds the Edit menu.
    void Untitled1();

protected:
    // Builds both menus; it must not ask for the shared instance, which is stored only once this returns.
    MenuBar1();

private:
    // Makes one item, sets it up whole, and only then attaches it: to the bar, or to the bar's menu so named.
    template <class Item>
    void appendItem(const std::string& parentMenu, const std::string& name, const std::string& text,
                    const char* shortcut);
};
