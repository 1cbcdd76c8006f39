// Three things a test driver needs from the X server that xdotool does not offer.
//   xutil close WINDOW  asks a window to close as a window manager's close button does: a WM_DELETE_WINDOW
//                       message, which the program may answer as it likes, rather than destroying the window.
//   xutil pointer-free  succeeds only while no program holds the pointer. A popup does, such as a file
//                       dialog's completion list, and a click then goes to the popup and not where it points,
//                       for a moment even after the dialog has gone.
//   xutil cover WINDOW  passes a red window of the same size over a window and takes it away again, as
//                       another program's window would: what it covered stays red until its program redraws.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int askToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sent ? 0 : 1;
}

// Taking the pointer for an instant is the one way to learn whether another program has it.
int pointerFree(Display* display) {
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask,
                                    GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess)
        XUngrabPointer(display, CurrentTime);
    XSync(display, False);
    return result == GrabSuccess ? 0 : 1;
}

// Qt gives its windows no background of their own, so the X server leaves the cover's colour where it was.
int cover(Display* display, Window window) {
    XWindowAttributes shape{};
    if (!XGetWindowAttributes(display, window, &shape))
        return 1;
    const Window root = DefaultRootWindow(display);
    int left = 0;
    int top = 0;
    Window child = None;
    XTranslateCoordinates(display, window, root, 0, 0, &left, &top, &child);
    XColor red{};
    XColor exact{};
    XAllocNamedColor(display, DefaultColormap(display, DefaultScreen(display)), "red", &red, &exact);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = red.pixel;
    attributes.event_mask = StructureNotifyMask;
    const Window covering =
        XCreateWindow(display, root, left, top, static_cast<unsigned>(shape.width),
                      static_cast<unsigned>(shape.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display, covering);
    XEvent event{};
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify);
    XSync(display, False);
    XDestroyWindow(display, covering);
    XSync(display, False);
    return 0;
}

int usage() {
    std::fputs("usage: xutil close WINDOW | xutil cover WINDOW | xutil pointer-free\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool closing = argc == 3 && std::strcmp(argv[1], "close") == 0;
    const bool covering = argc == 3 && std::strcmp(argv[1], "cover") == 0;
    const bool probing = argc == 2 && std::strcmp(argv[1], "pointer-free") == 0;
    if (!closing && !covering && !probing)
        return usage();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("xutil: cannot open the display\n", stderr);
        return 1;
    }
    const auto window = [argv] { return static_cast<Window>(std::strtoul(argv[2], nullptr, 0)); };
    const int status = closing    ? askToClose(display, window())
                       : covering ? cover(display, window())
                                  : pointerFree(display);
    XCloseDisplay(display);
    return status;
}
