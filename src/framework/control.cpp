#include "control.h"

#include "class_record.h"
#include "window.h"

#include <QWidget>

namespace fw {

const ClassRecord& Control::Record() {
    static const ClassRecord& record = RegisterClass("Control", nullptr, {})
                                           .declare("Name", PropertyType::String)
                                           .declare("Index", PropertyType::Int32)
                                           .declare("TabPanelIndex", PropertyType::Int32);
    return record;
}

Control::~Control() = default;

void Control::installHandler(const std::string& eventName, std::shared_ptr<EventHandlerBase> handler) {
    if (!handler) {
        m_handlers.erase(eventName);
        return;
    }
    m_handlers[eventName] = std::move(handler);
}

const EventHandlerBase* Control::findHandler(const std::string& eventName) const {
    auto found = m_handlers.find(eventName);
    return found == m_handlers.end() ? nullptr : found->second.get();
}

void Control::attach(fw::Window& window) {
    m_window = &window;
    m_widget = createWidget(window.contentWidget());
}

} // namespace fw
