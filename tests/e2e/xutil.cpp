// What the end-to-end cases need from the X server beyond xdotool: drag FILE... (as a file manager would),
// close WINDOW (as a window manager's close button does), pointer-free and cover WINDOW.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Prints each step a driver waits for: "dragging", "taken" by the window under the pointer, then "accepted".
class DragSource : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override {
        QList<QUrl> files;
        for (const QString& path : QApplication::arguments().mid(2))
            files.append(QUrl::fromLocalFile(path));
        auto* data = new QMimeData;
        data->setUrls(files);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        // Qt cancels a drag whose button is released before the target has answered.
        connect(drag, &QDrag::actionChanged, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction)
                std::puts("taken");
        });
        // Runs in the drag's own event loop, which exec() enters only once the drag has begun.
        QTimer::singleShot(0, this, [] { std::puts("dragging"); });
        std::puts(drag->exec(Qt::CopyAction) != Qt::IgnoreAction ? "accepted" : "refused");
    }
};

int drag(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    DragSource window;
    window.setWindowTitle("drag source");
    // Beside the main window, which an X server without a window manager places at the top left.
    window.setGeometry(700, 100, 200, 150);
    window.show();
    return QApplication::exec();
}

int askToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    return XSendEvent(display, window, False, NoEventMask, &event) ? 0 : 1;
}

// A popup, such as a file name completer, takes a click meant for what lies under it. Taking the pointer
// for an instant is the one way to learn whether another program has it.
int pointerFree(Display* display) {
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask,
                                    GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess)
        XUngrabPointer(display, CurrentTime);
    return result == GrabSuccess ? 0 : 1;
}

// Passes a red window over a window: Qt gives its windows no background of their own, so what the cover hid
// stays red until its program redraws it.
int cover(Display* display, Window window) {
    XWindowAttributes shape{};
    if (!XGetWindowAttributes(display, window, &shape))
        return 1;
    // With no window manager, a top-level window's place is on the root window, and the screen is 24-bit.
    const Window covering = XCreateSimpleWindow(display, DefaultRootWindow(display), shape.x, shape.y,
                                                static_cast<unsigned>(shape.width),
                                                static_cast<unsigned>(shape.height), 0, 0, 0xFF0000);
    XSelectInput(display, covering, StructureNotifyMask);
    XMapRaised(display, covering);
    XEvent event{};
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify);
    XDestroyWindow(display, covering);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "drag")
        return drag(argc, argv);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const auto window = static_cast<Window>(argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 0);
    const int status = command == "close"   ? askToClose(display, window)
                       : command == "cover" ? cover(display, window)
                                            : pointerFree(display);
    XCloseDisplay(display);
    return status;
}
