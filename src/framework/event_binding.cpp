#include "event_binding.h"

#include "control.h"

namespace fw {
namespace {

Ref<Control>& currentRaisingControl() {
    static Ref<Control> control;
    return control;
}

} // namespace

void InstallInstanceEventHandler(Control& control, const std::string& eventName,
                                 std::shared_ptr<EventHandlerBase> handler) {
    control.installHandler(eventName, std::move(handler));
}

Ref<Control> raisingControl() {
    if (!currentRaisingControl())
        throw NilObjectException();
    return currentRaisingControl();
}

Control::RaisingScope::RaisingScope(Control& control)
    : m_previous(std::exchange(currentRaisingControl(), Ref<Control>(&control))) {}

Control::RaisingScope::~RaisingScope() { currentRaisingControl() = std::move(m_previous); }

} // namespace fw
