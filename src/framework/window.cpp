#include "window.h"

#include "class_record.h"
#include "control.h"
#include "menu_bar.h"
#include "window_list.h"
#include "window_widget.h"

#include <QLayout>
#include <QMenuBar>

#include <algorithm>

namespace fw {
namespace {

Window& windowOf(Object& object) { return static_cast<Window&>(object); }

bool flag(const Object& object, const char* name) { return std::get<bool>(object.property(name)); }
std::int32_t number(const Object& object, const char* name) {
    return std::get<std::int32_t>(object.property(name));
}

template <void (Window::*apply)()> PropertyDeclaration::Effect applying() {
    return [](Object& object, const PropertyValue&) { (windowOf(object).*apply)(); };
}

} // namespace

const ClassRecord& Window::Record() {
    static const ClassRecord& record =
        RegisterClass("Window", nullptr, [] { return new Window; })
            .declare("Placement", PropertyType::Int32)
            .declare(
                "Width", PropertyType::Int32,
                [](Object& object, const PropertyValue& value) {
                    windowOf(object).resizeContent(
                        {std::get<std::int32_t>(value), windowOf(object).m_contentSize.height});
                },
                [](const Object& object) -> PropertyValue {
                    return static_cast<const Window&>(object).m_contentSize.width;
                })
            .declare(
                "Height", PropertyType::Int32,
                [](Object& object, const PropertyValue& value) {
                    windowOf(object).resizeContent(
                        {windowOf(object).m_contentSize.width, std::get<std::int32_t>(value)});
                },
                [](const Object& object) -> PropertyValue {
                    return static_cast<const Window&>(object).m_contentSize.height;
                })
            .declare("MinWidth", PropertyType::Int32, applying<&Window::applySizeLimits>())
            .declare("MinHeight", PropertyType::Int32, applying<&Window::applySizeLimits>())
            .declare("MaxWidth", PropertyType::Int32, applying<&Window::applySizeLimits>())
            .declare("MaxHeight", PropertyType::Int32, applying<&Window::applySizeLimits>())
            .declare("Frame", PropertyType::Int32)
            .declare("Composite", PropertyType::Boolean)
            .declare("HasBackColor", PropertyType::Boolean, applying<&Window::applyBackColor>())
            .declare("BackColor", PropertyType::Color, applying<&Window::applyBackColor>())
            .declare("Title", PropertyType::String,
                     [](Object& object, const PropertyValue& value) {
                         windowOf(object).widget()->setWindowTitle(
                             QString::fromStdString(std::get<std::string>(value)));
                     })
            .declare("Visible", PropertyType::Boolean, applying<&Window::applyVisibility>())
            .declare("FullScreen", PropertyType::Boolean, applying<&Window::applyVisibility>())
            .declare("MenuBarVisible", PropertyType::Boolean, applying<&Window::applyMenuBarVisibility>())
            .declare("CloseButton", PropertyType::Boolean, applying<&Window::applyWindowFlags>())
            .declare("Resizeable", PropertyType::Boolean, applying<&Window::applySizeLimits>())
            .declare("LiveResize", PropertyType::Boolean)
            .declare("MaximizeButton", PropertyType::Boolean, applying<&Window::applyWindowFlags>())
            .declare("MinimizeButton", PropertyType::Boolean, applying<&Window::applyWindowFlags>())
            .declare("BalloonHelp", PropertyType::String)
            .declare("MacProcId", PropertyType::Int32);
    return record;
}

Window::Window() : m_widget(std::make_unique<WindowWidget>(*this)) {}

Window::~Window() {
    // The controls point into the widget tree, so they go first.
    m_controls.clear();
}

void Window::Construct() {
    Layout();
    CreateControls();
    AddMenuHandlers(Ref<Window>(this));
    m_constructed = true;
    applyWindowFlags();
    applyTabOrder();
    addWindow(Ref<Window>(this));
    const auto controls = m_controls;
    for (const auto& [name, control] : controls)
        control->raiseEvent("Open");
    applyVisibility();
}

Ref<MenuBar> Window::MenuBar() const { return m_menuBar; }

void Window::MenuBar(Ref<fw::MenuBar> menuBar) {
    m_menuBar = std::move(menuBar);
    m_widget->setMenuWidget(m_menuBar ? m_menuBar->createWidget(m_widget.get()) : nullptr);
    applyMenuBarVisibility();
}

Ref<Object> Window::New(const ClassRecord& controlClass) {
    Ref<Object> object = RuntimeNewObject(controlClass);
    Cast<Control>(object)->m_window = this;
    return object;
}

void Window::AddControl(const Ref<Object>& object, const std::string& name) {
    Ref<Control> control = Cast<Control>(object);
    control->setProperty("Name", name);
    m_controls.emplace_back(name, control);
}

Ref<Control> Window::controlByName(const std::string& name) const {
    auto found = std::find_if(m_controls.begin(), m_controls.end(),
                              [&name](const auto& entry) { return entry.first == name; });
    return found == m_controls.end() ? nullptr : found->second;
}

QMainWindow* Window::widget() const { return m_widget.get(); }

QWidget* Window::contentWidget() const { return m_widget->content(); }

void Window::contentResized(Size size) {
    if (!m_widget->isVisible())
        return; // until it is shown, the content area's size is Qt's guess, not the window's
    m_contentSize = size;
    followContentArea();
}

void Window::closed() { Event_Close(); }

void Window::followContentArea() const {
    for (const auto& [name, control] : m_controls) {
        if (auto* placed = dynamic_cast<RectControl*>(control.get()))
            placed->followContentArea(m_contentSize);
    }
}

void Window::resizeContent(Size size) {
    m_contentSize = size;
    const QWidget* menu = m_widget->menuWidget();
    const int menuHeight = menu && !menu->isHidden() ? std::max(menu->heightForWidth(size.width), 0) : 0;
    m_widget->resize(size.width, static_cast<int>(std::clamp<std::int64_t>(
                                     std::int64_t{size.height} + menuHeight, 0, QWIDGETSIZE_MAX)));
    followContentArea();
}

void Window::applySizeLimits() {
    QWidget* content = contentWidget();
    if (!flag(*this, "Resizeable")) {
        content->setFixedSize(m_contentSize.width, m_contentSize.height);
        return;
    }
    content->setMinimumSize(number(*this, "MinWidth"), number(*this, "MinHeight"));
    const int maxWidth = number(*this, "MaxWidth");
    const int maxHeight = number(*this, "MaxHeight");
    content->setMaximumSize(maxWidth > 0 ? maxWidth : QWIDGETSIZE_MAX,
                            maxHeight > 0 ? maxHeight : QWIDGETSIZE_MAX);
    m_widget->layout()->setSizeConstraint(QLayout::SetMinAndMaxSize);
}

void Window::applyBackColor() {
    QWidget* content = contentWidget();
    const bool hasBackColor = flag(*this, "HasBackColor");
    content->setAutoFillBackground(hasBackColor);
    if (!hasBackColor)
        return;
    const Color color = std::get<Color>(property("BackColor"));
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, QColor(color.red, color.green, color.blue));
    content->setPalette(palette);
}

void Window::applyVisibility() {
    if (!m_constructed)
        return; // a window shows once it is built
    if (!flag(*this, "Visible")) {
        m_widget->hide();
        return;
    }
    if (flag(*this, "FullScreen"))
        m_widget->showFullScreen();
    else
        m_widget->show();
}

void Window::applyMenuBarVisibility() {
    QWidget* menu = m_widget->menuWidget();
    if (!menu)
        return;
    menu->setHidden(!flag(*this, "MenuBarVisible"));
    resizeContent(m_contentSize); // the content area keeps its size; the window makes room for the bar
}

void Window::applyWindowFlags() {
    if (!m_constructed)
        return; // flags set on a shown window would hide it; they are applied once, before it shows
    Qt::WindowFlags flags =
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    flags.setFlag(Qt::WindowCloseButtonHint, flag(*this, "CloseButton"));
    flags.setFlag(Qt::WindowMinimizeButtonHint, flag(*this, "MinimizeButton"));
    flags.setFlag(Qt::WindowMaximizeButtonHint, flag(*this, "MaximizeButton"));
    m_widget->setWindowFlags(flags);
}

void Window::applyTabOrder() const {
    std::vector<RectControl*> order;
    for (const auto& [name, control] : m_controls) {
        if (auto* placed = dynamic_cast<RectControl*>(control.get()); placed && placed->widget())
            order.push_back(placed);
    }
    std::stable_sort(order.begin(), order.end(), [](const RectControl* a, const RectControl* b) {
        return a->tabIndex() < b->tabIndex();
    });
    // Chained from the content area, which takes tab focus meanwhile: this Qt's setTabOrder leaves a widget
    // where it is when asked to move it behind the last one of the chain, and a chain anchored in front of
    // the controls never asks that.
    QWidget* content = contentWidget();
    const Qt::FocusPolicy policy = content->focusPolicy();
    content->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = content;
    for (const RectControl* control : order) {
        QWidget::setTabOrder(previous, control->widget());
        previous = control->widget();
    }
    content->setFocusPolicy(policy);
}

Ref<Control> RuntimeWindowControlByName(const Window& window, const std::string& name) {
    return window.controlByName(name);
}

} // namespace fw
