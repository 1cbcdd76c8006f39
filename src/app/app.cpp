#include "app/app.h"

#include "framework/class_record.h"

const fw::ClassRecord& App::ctblinit() {
    return fw::RegisterClass("App", &fw::Application::Record(), [] { return new App; });
}

const fw::ClassRecord& App::Lookup() { return ctblinit(); }
