#pragma once

#include "framework/application.h"

namespace fw {
class ClassRecord;
}

// The application object: the framework's application, with nothing of its own.
class App : public fw::Application {
public:
    static const fw::ClassRecord& ctblinit();
    static const fw::ClassRecord& Lookup();

protected:
    App() = default;
};
