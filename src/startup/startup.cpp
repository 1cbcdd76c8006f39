#include "startup/startup.h"

#include "app/app.h"
#include "app/file_types1.h"
#include "app/menu_bar1.h"
#include "framework/application.h"
#include "framework/class_record.h"
#include "framework/event_loop.h"
#include "framework/runtime.h"
#include "framework/unhandled_exception.h"
#include "window/window1.h"

void RegisterClasses() {
    App::ctblinit();
    Window1::ctblinit();
    MenuBar1::ctblinit();
}

void Main() {
    try {
        SetUp();
        fw::RuntimeRun();
    } catch (...) {
        fw::UnhandledException(std::current_exception());
    }
}

void SetUp() {
    fw::RuntimeInitExternalClasses();
    fw::RuntimeAllocatePluginEntrypointsTable(0);
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void InitFileTypes() { FileTypes1::Initialize(); }

void NewAppInstance() {
    fw::Ref<App> app = fw::Cast<App>(fw::RuntimeNewObject(App::Lookup()));
    if (!app)
        throw fw::NilObjectException();
    fw::Ref<MenuBar1> menuBar = MenuBar1::Instance();
    app->MenuBar(menuBar);
    menuBar = nullptr;
    fw::RuntimeRegisterAppObject(app);
}

// The application handles no menu command itself.
void ApplicationAddMenuHandlers() {}

void MakeDefaultView() { Window1::Instance(); }
