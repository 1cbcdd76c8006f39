#pragma once

#include "event_binding.h"
#include "object.h"

#include <map>
#include <memory>
#include <string>

class QWidget;

namespace fw {

class ClassRecord;
class Window;

// A control of a window: a name, a window that owns it, and the handlers bound to its events.
class Control : public Object {
public:
    static const ClassRecord& Record();
    ~Control() override;

    fw::Window* Window() const { return m_window; }
    QWidget* widget() const { return m_widget; }
    // The control's widget as the kind its class makes; a control without one raises NilObjectException.
    template <class Widget> Widget& widgetAs() const {
        auto* widget = dynamic_cast<Widget*>(m_widget);
        if (!widget)
            throw NilObjectException();
        return *widget;
    }

    void installHandler(const std::string& eventName, std::shared_ptr<EventHandlerBase> handler);

    // Runs the handler bound to the event, if any, with this control as the raising control. An event that
    // carries arguments of other types than the handler takes raises IllegalCastException.
    template <class... Args> void raiseEvent(const std::string& eventName, Args... args) {
        const EventHandlerBase* handler = findHandler(eventName);
        if (!handler)
            return;
        auto* typed = dynamic_cast<const EventHandler<Args...>*>(handler);
        if (!typed)
            throw IllegalCastException("the handler of " + eventName + " takes other arguments");
        RaisingScope scope(*this);
        typed->invoke(args...);
    }

protected:
    Control() = default;
    friend class Window;
    // Makes the control's widget inside the window's content; called once, by the control's constructor.
    void attach(fw::Window& window);
    virtual QWidget* createWidget(QWidget* parent) = 0;

private:
    // Keeps the raising control at hand for RuntimeSwapSelfAndMe, and alive, while its handler runs.
    class RaisingScope {
    public:
        explicit RaisingScope(Control& control);
        ~RaisingScope();
        RaisingScope(const RaisingScope&) = delete;
        RaisingScope& operator=(const RaisingScope&) = delete;

    private:
        Ref<Control> m_previous;
    };

    const EventHandlerBase* findHandler(const std::string& eventName) const;

    fw::Window* m_window = nullptr;
    QWidget* m_widget = nullptr; // owned by the window's widget tree
    std::map<std::string, std::shared_ptr<EventHandlerBase>> m_handlers;
};

} // namespace fw
