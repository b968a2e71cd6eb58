// Start-up time to the first shown window, measured from outside the program: starts a command
// and waits, on the X display in DISPLAY, for a top-level window with the given title to be
// mapped. Prints the milliseconds from just before the fork to the map notification, then ends
// the program (SIGTERM, SIGKILL after 3 s). Exits 1 when no such window appears in time.
//
//   first_window --title Vantora --timeout-ms 10000 -- build-bench/vantora
//
// The map is watched through the root window's substructure events, so nothing polls and the
// figure has no sampling step. Needs a display without a window manager (Xvfb), where top-level
// windows are children of the root window.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string WindowTitle(Display* display, Window window)
{
    // The EWMH UTF-8 title first, then the classic WM_NAME.
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success
        && data && type == utf8 && format == 8) {
        title.assign(reinterpret_cast<char*>(data), count);
    }
    if (data)
        XFree(data);
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

bool IsMapped(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;  // a window may vanish between its event and our question about it
}

void EndChild(pid_t child)
{
    ::kill(child, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < deadline) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

[[noreturn]] void Usage()
{
    std::fprintf(stderr, "usage: first_window --title TITLE [--timeout-ms 10000] [--verbose] -- COMMAND [ARGS...]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string title;
    long timeoutMs = 10000;
    bool verbose = false;
    int commandAt = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commandAt = i + 1;
            break;
        }
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
            continue;
        }
        if (i + 1 >= argc)
            Usage();
        if (std::strcmp(argv[i], "--title") == 0)
            title = argv[++i];
        else if (std::strcmp(argv[i], "--timeout-ms") == 0)
            timeoutMs = std::strtol(argv[++i], nullptr, 10);
        else
            Usage();
    }
    if (title.empty() || commandAt < 0 || commandAt >= argc || timeoutMs < 1 || timeoutMs > 600000)
        Usage();

    // A busy X server can turn a connection away for a moment.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 20 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!display) {
        std::fprintf(stderr, "first_window: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        ::close(ConnectionNumber(display));
        ::execvp(argv[commandAt], argv + commandAt);
        std::perror("execvp");
        ::_exit(127);
    }

    const Atom wmName = XA_WM_NAME;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    double foundMs = -1;
    Window found = None;
    while (foundMs < 0) {
        while (XPending(display) && foundMs < 0) {
            XEvent event;
            XNextEvent(display, &event);
            Window candidate = None;
            if (event.type == MapNotify && event.xmap.event == root) {
                candidate = event.xmap.window;
                // A title set after the map arrives as a property change of that window.
                XSelectInput(display, candidate, PropertyChangeMask);
            } else if (event.type == PropertyNotify && (event.xproperty.atom == wmName || event.xproperty.atom == netName)) {
                candidate = event.xproperty.window;
            }
            if (candidate != None && WindowTitle(display, candidate) == title && IsMapped(display, candidate)) {
                foundMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                found = candidate;
            }
        }
        if (foundMs >= 0)
            break;
        if (::waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "first_window: the program ended before showing a window titled '%s'\n", title.c_str());
            XCloseDisplay(display);
            return 1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            std::fprintf(stderr, "first_window: no window titled '%s' within %ld ms\n", title.c_str(), timeoutMs);
            EndChild(child);
            XCloseDisplay(display);
            return 1;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 20)));
    }

    if (verbose) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display, found, &a))
            std::fprintf(stderr, "first_window: window 0x%lx %dx%d at %d,%d\n", found, a.width, a.height, a.x, a.y);
    }
    std::printf("%.1f\n", foundMs);
    std::fflush(stdout);
    EndChild(child);
    XCloseDisplay(display);
    return 0;
}
