#include "application.h"

#include "class_record.h"
#include "menu_bar.h"

namespace fw {
namespace {

Ref<Application>& registeredApplication() {
    static Ref<Application> application;
    return application;
}

} // namespace

const ClassRecord& Application::Record() {
    static const ClassRecord& record = RegisterClass("Application", nullptr, [] { return new Application; });
    return record;
}

Application::Application() = default;
Application::~Application() = default;

Ref<MenuBar> Application::MenuBar() const { return m_menuBar; }

void Application::MenuBar(Ref<fw::MenuBar> menuBar) { m_menuBar = std::move(menuBar); }

void RuntimeRegisterAppObject(const Ref<Application>& application) { registeredApplication() = application; }

void releaseApplicationObject() { registeredApplication() = nullptr; }

} // namespace fw
