#include "user_input_hold.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>

#include <deque>
#include <memory>
#include <utility>

namespace fw {
namespace {

struct HeldEvent {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
};

std::deque<HeldEvent>& held() {
    static std::deque<HeldEvent> events;
    return events;
}

bool& holding() {
    static bool on = false;
    return on;
}

bool quitsTheRun(QObject* watched, const QEvent& event) {
    const auto* action = qobject_cast<QAction*>(watched);
    return event.type() == QEvent::Shortcut && action && action->menuRole() == QAction::QuitRole;
}

// What the user does to make something happen. A ShortcutOverride only asks the focused widget whether it
// wants a key for itself; it passes, so that a shortcut is matched as it would be at any other time, and the
// shortcut event that follows is what waits. Moving the pointer makes nothing happen unless a button is down.
bool isUserInput(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
        return true;
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent&>(event).buttons() != Qt::NoButton;
    default:
        return false;
    }
}

} // namespace

void UserInputHold::letEventsRun() {
    // A job that yields inside another's yield holds through the outer one's filter.
    if (holding()) {
        QCoreApplication::processEvents();
        return;
    }
    UserInputHold filter;
    QCoreApplication::instance()->installEventFilter(&filter);
    holding() = true;
    QCoreApplication::processEvents();
    holding() = false;
}

void UserInputHold::release() {
    std::deque<HeldEvent> events = std::exchange(held(), {});
    for (HeldEvent& held : events) {
        if (held.receiver)
            QCoreApplication::postEvent(held.receiver, held.event.release());
    }
}

void UserInputHold::forget() { held().clear(); }

bool UserInputHold::eventFilter(QObject* watched, QEvent* event) {
    if (!isUserInput(*event) || quitsTheRun(watched, *event))
        return false;
    held().push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

} // namespace fw
