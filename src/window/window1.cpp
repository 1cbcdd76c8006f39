#include "window/window1.h"

#include "app/menu_bar1.h"
#include "framework/class_record.h"
#include "framework/drag_item.h"
#include "framework/event_binding.h"
#include "framework/listbox.h"
#include "framework/property_list.h"
#include "framework/push_button.h"
#include "framework/window_list.h"
#include "window/window1_property_lists.h"

const fw::ClassRecord& Window1::ctblinit() {
    return fw::RegisterClass("Window1.Window1", &fw::Window::Record(), [] { return new Window1; });
}

const fw::ClassRecord& Window1::Lookup() { return ctblinit(); }

fw::Ref<Window1> Window1::Instance() {
    fw::Ref<fw::Window> window = fw::GetImplicitWindow("Window1.Window1");
    if (!window) {
        window = fw::Cast<fw::Window>(fw::RuntimeNewObject(Lookup()));
        window->Construct();
    }
    return fw::Cast<Window1>(window);
}

void Window1::Layout() {
    fw::Ref<MenuBar1> menuBar = MenuBar1::Instance();
    MenuBar(menuBar);
    menuBar = nullptr;
    fw::SetProperties(*this, Window1PropertyLists::kWindow);
}

void Window1::CreateControls() { CreateControls0(); }

void Window1::CreateControls0() {
    createControl<fw::PushButton>("PushButton1", Window1PropertyLists::kPushButton1);
    bindEvent<fw::PushButton>("PushButton1", "Action", &Window1::PushButton1_Action, "( ");

    createControl<fw::Listbox>("Listbox1", Window1PropertyLists::kListbox1);
    bindEvent<fw::Listbox>("Listbox1", "Open", &Window1::Listbox1_Open, "( ");
    bindEvent<fw::Listbox>("Listbox1", "DropObject", &Window1::Listbox1_DropObject, "( DragItem, Int32 )");

    createControl<fw::PushButton>("PushButton2", Window1PropertyLists::kPushButton2);
    bindEvent<fw::PushButton>("PushButton2", "Action", &Window1::PushButton2_Action, "( ");
}

template <class Control> void Window1::createControl(const std::string& name, std::string_view properties) {
    fw::Ref<fw::Object> allocated = New(Control::Record());
    fw::Cast<fw::RectControl>(allocated)->Construct();
    AddControl(allocated, name);
    allocated = nullptr;
    fw::SetProperties(*fw::Cast<Control>(fw::RuntimeWindowControlByName(*this, name)), properties);
}

template <class Control, class... Args>
void Window1::bindEvent(const std::string& controlName, const std::string& eventName,
                        void (Window1::*handler)(Args...), const std::string& parameterText) {
    fw::Ref<Control> control = fw::Cast<Control>(fw::RuntimeWindowControlByName(*this, controlName));
    fw::InstallInstanceEventHandler(*control, eventName, fw::MakeDelegate(*this, handler, parameterText));
}
