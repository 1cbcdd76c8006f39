#include "bench_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::fail;

// A started process, ended with the signal when the owner goes, even on the way out of a failure.
class ChildProcess {
public:
    ChildProcess(pid_t pid, int endSignal) : m_pid(pid), m_endSignal(endSignal) {}
    ~ChildProcess() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, m_endSignal);
        ::waitpid(m_pid, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid;
    int m_endSignal;
};

// Starts a program with the display named in its environment, and without an offscreen platform left over
// from the other benchmarks.
pid_t startOnDisplay(const std::string& program, const std::string& display) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DISPLAY", display.c_str(), 1);
        ::unsetenv("QT_QPA_PLATFORM");
        ::execl(program.c_str(), program.c_str(), nullptr);
        std::_Exit(127);
    }
    return child;
}

pid_t startXvfb(int displayFd) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(displayFd);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                 "-noreset", nullptr);
        std::_Exit(127);
    }
    return child;
}

// An X server of this benchmark's own, so that no other client's windows are taken for the program's.
class PrivateDisplay {
public:
    PrivateDisplay() : m_server(startWithDisplayNumber(), SIGTERM) {
        m_display = XOpenDisplay(m_name.c_str());
        if (m_name == ":" || !m_display)
            fail("Xvfb did not start");
        m_pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        XSync(m_display, False);
    }

    ~PrivateDisplay() {
        if (m_display)
            XCloseDisplay(m_display);
    }

    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // From starting the program to the first top-level window of its own being mapped; the program is killed
    // then, as nothing after its first window is of interest.
    double timeToFirstWindow(const std::string& program) {
        XSync(m_display, True); // events of the previous program are no part of this one
        const double start = bench::nowMs();
        const ChildProcess child(startOnDisplay(program, m_name), SIGKILL);
        return waitForWindowOf(child.pid()) - start;
    }

private:
    pid_t startWithDisplayNumber() {
        std::array<int, 2> ends{};
        if (::pipe(ends.data()) != 0)
            fail("cannot make a pipe for Xvfb");
        const pid_t server = startXvfb(ends[1]);
        ::close(ends[1]);
        const std::string number = readLine(ends[0]);
        m_name = ":" + number;
        ::close(ends[0]);
        return server;
    }

    static std::string readLine(int descriptor) {
        std::string line;
        char c = 0;
        while (::read(descriptor, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    double waitForWindowOf(pid_t child) {
        for (;;) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                const double at = bench::nowMs();
                if (event.type == MapNotify && !event.xmap.override_redirect &&
                    ownerOf(event.xmap.window) == child)
                    return at;
            }
            pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
            if (::poll(&connection, 1, 10000) <= 0 || hasEnded(child))
                fail("the program showed no window");
        }
    }

    // Asks without reaping the process, so that its id stays its own until it is ended.
    static bool hasEnded(pid_t child) {
        siginfo_t info{};
        return ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
               info.si_pid != 0;
    }

    long ownerOf(Window window) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* value = nullptr;
        long owner = -1;
        if (XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                               &remaining, &value) == Success &&
            value && count == 1 && format == 32)
            owner = *reinterpret_cast<long*>(value);
        if (value)
            XFree(value);
        return owner;
    }

    std::string m_name;
    ChildProcess m_server; // after the name, which starting it sets
    Display* m_display = nullptr;
    Atom m_pidAtom = None;
};

std::string printed(const char* format, double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), format, value);
    return text.data();
}

std::string milliseconds(double value) { return printed("%.1f ms", value); }

std::string twoPlaces(double value) { return printed("%.2f", value); }

} // namespace

// bench_startup REPEATS PROGRAM PLAIN EMPTY: the time from start to the first shown window, of the program,
// of the same window written directly on Qt, and of an empty window; the first run of each only warms the
// caches. The plain window is the reference: Qt's own cost of showing this window, fonts and all, is on both
// sides. The empty window shows how much that cost is, and is printed for information only.
int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s REPEATS PROGRAM PLAIN EMPTY\n", argv[0]);
        return 2;
    }
    try {
        PrivateDisplay display;
        const std::array<std::string, 3> programs{argv[2], argv[3], argv[4]};
        std::array<std::vector<double>, 3> times;
        for (int run = 0; run <= std::stoi(argv[1]); ++run) {
            // Each start follows the end of the one before, whose clean-up may still be running; the order
            // turns with every run so that none of the three always follows the same one.
            for (std::size_t turn = 0; turn < programs.size(); ++turn) {
                const std::size_t which = (static_cast<std::size_t>(run) + turn) % programs.size();
                const double ms = display.timeToFirstWindow(programs[which]);
                if (run > 0)
                    times[which].push_back(ms);
            }
        }
        const double projectMs = bench::median(times[0]);
        bench::printRow("start-up to first window vs the same window on plain Qt", projectMs,
                        bench::median(times[1]), 1.1);
        const double emptyMs = bench::median(times[2]);
        bench::printNote("  vs empty window", milliseconds(projectMs), milliseconds(emptyMs),
                         twoPlaces(projectMs / emptyMs), "for information");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
