#pragma once

#include "object.h"
#include "rect_control.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class QMainWindow;
class QWidget;

namespace fw {

class ClassRecord;
class Control;
class MenuBar;
class WindowWidget;

// A top-level window. Its construction raises the hooks "Layout", "CreateControls" and "AddMenuHandlers",
// then "Open" on each control, and shows the window at its design size with the controls at their design
// places.
class Window : public Object {
public:
    static const ClassRecord& Record();
    ~Window() override;

    // The window's constructor: builds the window, raising the construction hooks, and keeps it among the
    // framework's windows.
    void Construct();

    Ref<fw::MenuBar> MenuBar() const;
    void MenuBar(Ref<fw::MenuBar> menuBar);

    // Allocates a control of the class in this window; the control's own constructor has yet to run.
    Ref<Object> New(const ClassRecord& controlClass);
    void AddControl(const Ref<Object>& control, const std::string& name);
    Ref<Control> controlByName(const std::string& name) const;

    // The content area's size: the design size until the window is shown, then the real one.
    Size contentSize() const { return m_contentSize; }
    QMainWindow* widget() const;
    QWidget* contentWidget() const;

protected:
    Window();

    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(const Ref<Window>& window) { (void)window; }
    virtual void Event_Close() {}

private:
    friend class WindowWidget;
    void contentResized(Size size);
    void closed();
    void resizeContent(Size size);
    // Moves every control for the content area's current size.
    void followContentArea() const;
    void applySizeLimits();
    void applyBackColor();
    void applyVisibility();
    void applyMenuBarVisibility();
    void applyWindowFlags();
    void applyTabOrder() const;

    std::unique_ptr<WindowWidget> m_widget;
    Ref<fw::MenuBar> m_menuBar;
    std::vector<std::pair<std::string, Ref<Control>>> m_controls; // in the order they were added
    Size m_contentSize;
    bool m_constructed = false;
};

// Finds a window's control by its name; nil when it has none of that name.
Ref<Control> RuntimeWindowControlByName(const Window& window, const std::string& name);

} // namespace fw
