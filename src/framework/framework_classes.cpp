#include "framework_classes.h"

#include "application.h"
#include "control.h"
#include "file_type.h"
#include "listbox.h"
#include "menu_bar.h"
#include "push_button.h"
#include "quit_menu_item.h"
#include "window.h"

namespace fw {

void registerFrameworkClasses() {
    Control::Record();
    RectControl::Record();
    PushButton::Record();
    Listbox::Record();
    Window::Record();
    MenuItem::Record();
    MenuBar::Record();
    QuitMenuItem::Record();
    Application::Record();
    FileType::Record();
}

} // namespace fw
