#pragma once

#include "object.h"

#include <functional>
#include <memory>
#include <string>

namespace fw {

class Control;

// A handler bound to one control's named event: a method of the window that holds the control, with the text
// of its parameter list as the binding gave it.
class EventHandlerBase {
public:
    explicit EventHandlerBase(std::string parameterText) : m_parameterText(std::move(parameterText)) {}
    virtual ~EventHandlerBase() = default;
    const std::string& parameterText() const { return m_parameterText; }

private:
    std::string m_parameterText;
};

template <class... Args> class EventHandler : public EventHandlerBase {
public:
    EventHandler(std::function<void(Args...)> call, std::string parameterText)
        : EventHandlerBase(std::move(parameterText)), m_call(std::move(call)) {}
    void invoke(Args... args) const { m_call(args...); }

private:
    std::function<void(Args...)> m_call;
};

// Makes a delegate of a window's method. The window outlives its controls, so the delegate holds it plainly.
template <class Target, class... Args>
std::shared_ptr<EventHandlerBase> MakeDelegate(Target& target, void (Target::*method)(Args...),
                                               std::string parameterText) {
    return std::make_shared<EventHandler<Args...>>(
        [&target, method](Args... args) { (target.*method)(args...); }, std::move(parameterText));
}

// Binds a handler to an event of one control object; nil unbinds it.
void InstallInstanceEventHandler(Control& control, const std::string& eventName,
                                 std::shared_ptr<EventHandlerBase> handler);

// The control whose event is being handled. A handler is entered for its control; its first step takes the
// window as the receiver, which it already is here, and keeps the control at hand through this.
Ref<Control> RuntimeRaisingControl();
template <class T> Ref<T> RuntimeSwapSelfAndMe() { return Cast<T>(RuntimeRaisingControl()); }

} // namespace fw
