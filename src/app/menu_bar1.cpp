#include "app/menu_bar1.h"

#include "framework/class_record.h"
#include "framework/quit_menu_item.h"

namespace {

// A separator keeps the shortcut that a new item has; every other item, menu titles included, sets its own.
constexpr const char* kKeepShortcut = nullptr;

} // namespace

fw::ModuleProperty<MenuBar1> MenuBar1::_implicitInstance;

const fw::ClassRecord& MenuBar1::ctblinit() {
    return fw::RegisterClass("MenuBar1.MenuBar1", &fw::MenuBar::Record(), [] { return new MenuBar1; });
}

const fw::ClassRecord& MenuBar1::Lookup() { return ctblinit(); }

fw::Ref<MenuBar1> MenuBar1::Instance() {
    if (!_implicitInstance.get())
        _implicitInstance.set(fw::Cast<MenuBar1>(fw::RuntimeNewObject(Lookup())));
    return _implicitInstance.get();
}

MenuBar1::MenuBar1() {
    Untitled0();
    Untitled1();
}

void MenuBar1::Untitled0() {
    appendItem<fw::MenuItem>("", "FileMenu", "&File", "");
    appendItem<fw::QuitMenuItem>("FileMenu", "FileQuit", "&Quit", "Cmd+Q");
}

void MenuBar1::Untitled1() {
    appendItem<fw::MenuItem>("", "EditMenu", "&Edit", "");
    appendItem<fw::MenuItem>("EditMenu", "EditUndo", "&Undo", "Cmd+Z");
    appendItem<fw::MenuItem>("EditMenu", "UntitledMenu1", "-", kKeepShortcut);
    appendItem<fw::MenuItem>("EditMenu", "EditCut", "Cu&t", "Cmd+X");
    appendItem<fw::MenuItem>("EditMenu", "EditCopy", "&Copy", "Cmd+C");
    appendItem<fw::MenuItem>("EditMenu", "EditPaste", "&Paste", "Cmd+V");
    appendItem<fw::MenuItem>("EditMenu", "EditClear", "&Delete", "");
    appendItem<fw::MenuItem>("EditMenu", "UntitledMenu0", "-", kKeepShortcut);
    appendItem<fw::MenuItem>("EditMenu", "EditSelectAll", "Select &All", "Cmd+A");
}

template <class Item>
void MenuBar1::appendItem(const std::string& parentMenu, const std::string& name, const std::string& text,
                          const char* shortcut) {
    fw::Ref<Item> item = fw::New<Item>();
    item->Construct();
    item->Name(name);
    item->AutoEnable(true);
    item->Text(text);
    if (shortcut != kKeepShortcut)
        item->KeyboardShortcut(shortcut);
    if (parentMenu.empty()) {
        Append(item);
        return;
    }
    Child(parentMenu)->Append(item);
}
