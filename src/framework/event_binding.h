#pragma once

#include "object.h"

#include <functional>
#include <memory>
#include <string>

namespace fw {

class Control;

// A handler bound to one control's named event: a method of the window that holds the control.
class EventHandlerBase {
public:
    virtual ~EventHandlerBase() = default;
};

template <class... Args> class EventHandler : public EventHandlerBase {
public:
    explicit EventHandler(std::function<void(Args...)> call) : m_call(std::move(call)) {}
    void invoke(Args... args) const { m_call(args...); }

private:
    std::function<void(Args...)> m_call;
};

// Makes a delegate of a window's method. The window outlives its controls, so the delegate holds it plainly.
// The binding names the method's parameters as text, which the compiler has already checked against the
// method's own type, so the text has nothing left to say here.
template <class Target, class... Args>
std::shared_ptr<EventHandlerBase> MakeDelegate(Target& target, void (Target::*method)(Args...),
                                               const std::string& /*parameterText*/) {
    return std::make_shared<EventHandler<Args...>>(
        [&target, method](Args... args) { (target.*method)(args...); });
}

// Binds a handler to an event of one control object; nil unbinds it.
void InstallInstanceEventHandler(Control& control, const std::string& eventName,
                                 std::shared_ptr<EventHandlerBase> handler);

// The control whose event is being handled. A handler is entered for its control; its first step takes the
// window as the receiver, which it already is here, and keeps the control at hand through this.
Ref<Control> raisingControl();
template <class T> Ref<T> RuntimeSwapSelfAndMe() { return Cast<T>(raisingControl()); }

} // namespace fw
