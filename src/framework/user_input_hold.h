#pragma once

#include <QObject>

namespace fw {

// While a long job lets events run, the user's clicks, key presses and shortcuts wait for it to finish: a
// merge must never start halfway through a drop. They are held in order and handed on once the outermost
// handler has returned, so they act as if they had arrived late. Two things are let through, because they
// end the job rather than start another: the quit item's shortcut, and a window's close.
//
// Qt's own QEventLoop::ExcludeUserInputEvents cannot tell these apart: under X11 it leaves every key press
// and the window manager's close request in the platform plugin's queue, where no filter can look at them.
// So events run in full here, and an application-wide filter does the holding.
class UserInputHold : public QObject {
public:
    // Lets pending events run once, holding back the user's input while they do.
    static void letEventsRun();
    // Hands every held event on to its receiver, in the order it came.
    static void release();
    // Drops every held event: nothing is left to receive it.
    static void forget();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UserInputHold() = default;
};

} // namespace fw
