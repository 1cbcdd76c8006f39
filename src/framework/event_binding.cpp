#include "event_binding.h"

#include "control.h"

namespace fw {
namespace {

Ref<Control>& raisingControl() {
    static Ref<Control> control;
    return control;
}

} // namespace

void InstallInstanceEventHandler(Control& control, const std::string& eventName,
                                 std::shared_ptr<EventHandlerBase> handler) {
    control.installHandler(eventName, std::move(handler));
}

Ref<Control> RuntimeRaisingControl() {
    if (!raisingControl())
        throw NilObjectException();
    return raisingControl();
}

Control::RaisingScope::RaisingScope(Control& control)
    : m_previous(std::exchange(raisingControl(), Ref<Control>(&control))) {}

Control::RaisingScope::~RaisingScope() { raisingControl() = std::move(m_previous); }

} // namespace fw
