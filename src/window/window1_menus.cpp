#include "window/window1.h"

#include "framework/event_loop.h"
#include "framework/menu_bar.h"
#include "framework/quit_menu_item.h"

// Every close of the main window ends the program: nothing is kept, so nothing needs asking.
void Window1::Event_Close() { fw::Quit(0); }

// The window handles no menu command itself: File > Quit is the framework's own, and the Edit items do what
// the framework does for them. The cast check only confirms that this is the main window being built.
void Window1::AddMenuHandlers(const fw::Ref<fw::Window>& w) { fw::Cast<Window1>(w); }

template <class Item> fw::Ref<Item> Window1::menuItemNamed(const std::string& name) const {
    return fw::Cast<Item>(MenuBar()->Lookup(name));
}

fw::Ref<fw::MenuItem> Window1::EditMenu() { return menuItemNamed<fw::MenuItem>("EditMenu"); }
fw::Ref<fw::MenuItem> Window1::EditSelectAll() { return menuItemNamed<fw::MenuItem>("EditSelectAll"); }
fw::Ref<fw::MenuItem> Window1::UntitledMenu0() { return menuItemNamed<fw::MenuItem>("UntitledMenu0"); }
fw::Ref<fw::MenuItem> Window1::EditClear() { return menuItemNamed<fw::MenuItem>("EditClear"); }
fw::Ref<fw::MenuItem> Window1::EditPaste() { return menuItemNamed<fw::MenuItem>("EditPaste"); }
fw::Ref<fw::MenuItem> Window1::EditCopy() { return menuItemNamed<fw::MenuItem>("EditCopy"); }
fw::Ref<fw::MenuItem> Window1::EditCut() { return menuItemNamed<fw::MenuItem>("EditCut"); }
fw::Ref<fw::MenuItem> Window1::UntitledMenu1() { return menuItemNamed<fw::MenuItem>("UntitledMenu1"); }
fw::Ref<fw::MenuItem> Window1::EditUndo() { return menuItemNamed<fw::MenuItem>("EditUndo"); }
fw::Ref<fw::MenuItem> Window1::FileMenu() { return menuItemNamed<fw::MenuItem>("FileMenu"); }
fw::Ref<fw::QuitMenuItem> Window1::FileQuit() { return menuItemNamed<fw::QuitMenuItem>("FileQuit"); }
