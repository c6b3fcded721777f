// x11-wait-focus: waits, woken by the display's own events, until a window holds the keyboard
// focus of the X display in DISPLAY, and prints its id. The tests' background scripts call it
// before each key they type, so that a key never arrives before the window that takes it.
//
//   x11-wait-focus [--timeout SECONDS] --name ERE [--not ID]   a window titled so (not ID)
//   x11-wait-focus [--timeout SECONDS] --id ID                 the window ID
//   x11-wait-focus [--timeout SECONDS] --id-file FILE          the window whose id FILE holds
//   x11-wait-focus [--timeout SECONDS] --gone ID               ID no longer shows (prints it)
//
// Exits 0 once the state holds, 1 when the time (60 seconds by default) ran out, 2 on bad use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

struct Wanted {
    enum class Kind { Name, Id, IdFile, Gone } kind = Kind::Name;
    std::regex pattern;
    Window id = 0;
    Window other = 0;   // --not
    std::string file;
};

Window ParseId(const char* text)
{
    return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

bool g_badWindow = false;
int IgnoreErrors(Display*, XErrorEvent*)
{
    g_badWindow = true;   // a window that went away between the event and the question
    return 0;
}

std::string TitleOf(Display* display, Window window)
{
    XTextProperty property{};
    std::string title;
    if (XGetWMName(display, window, &property) && property.value) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && list && count > 0)
            title = list[0];
        if (list)
            XFreeStringList(list);
        XFree(property.value);
    }
    return title;
}

// The window with the focus as the scripts name it: the top-level window that holds it. A window
// manager puts a frame of its own round each program's window and marks the window inside with
// WM_STATE: that window is the one meant, not the frame.
Window FocusedTopLevel(Display* display)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return 0;
    const Window root = DefaultRootWindow(display);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    for (Window window = focus;;) {
        int count = 0;
        Atom* properties = XListProperties(display, window, &count);
        const bool managed = properties != nullptr && std::find(properties, properties + count, wmState) != properties + count;
        if (properties)
            XFree(properties);
        if (managed)
            return window;
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned int childCount = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &childCount))
            return focus;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            return window;
        window = parent;
    }
}

bool Shows(Display* display, Window window)
{
    XWindowAttributes attributes{};
    g_badWindow = false;
    const Status ok = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    return ok && !g_badWindow && attributes.map_state == IsViewable;
}

// Whether the state holds now; the window it found is left in found.
bool Holds(Display* display, const Wanted& wanted, Window& found)
{
    if (wanted.kind == Wanted::Kind::Gone) {
        found = wanted.id;
        return !Shows(display, wanted.id);
    }
    found = FocusedTopLevel(display);
    if (found == 0)
        return false;
    switch (wanted.kind) {
    case Wanted::Kind::Id:
        return found == wanted.id;
    case Wanted::Kind::IdFile: {
        std::ifstream in(wanted.file);
        std::string text;
        return in >> text && ParseId(text.c_str()) == found;
    }
    case Wanted::Kind::Name:
        return found != wanted.other && std::regex_search(TitleOf(display, found), wanted.pattern);
    case Wanted::Kind::Gone:
        break;
    }
    return false;
}

// Focus changes are told to the windows that gain and lose the focus: every top-level window
// is watched for them and for its title, and the root for windows made later.
void Watch(Display* display, Window window)
{
    XSelectInput(display, window, FocusChangeMask | PropertyChangeMask | StructureNotifyMask);
}

int Usage()
{
    std::fputs("usage: x11-wait-focus [--timeout SECONDS] (--name ERE [--not ID] | --id ID | --id-file FILE | --gone ID)\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    Wanted wanted;
    bool given = false;
    double seconds = 60;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        if (option == "--timeout") {
            seconds = std::atof(value);
        } else if (option == "--name") {
            wanted.kind = Wanted::Kind::Name;
            wanted.pattern = std::regex(value, std::regex::extended);
            given = true;
        } else if (option == "--not") {
            wanted.other = ParseId(value);
        } else if (option == "--id" || option == "--gone") {
            wanted.kind = option == "--id" ? Wanted::Kind::Id : Wanted::Kind::Gone;
            wanted.id = ParseId(value);
            given = true;
        } else if (option == "--id-file") {
            wanted.kind = Wanted::Kind::IdFile;
            wanted.file = value;
            given = true;
        } else {
            return Usage();
        }
    }
    if (!given)
        return Usage();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11-wait-focus: cannot open the display\n", stderr);
        return 2;
    }
    // A file written after the window took the focus brings no event of the display's.
    int notify = -1;
    if (wanted.kind == Wanted::Kind::IdFile) {
        notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        const std::string::size_type slash = wanted.file.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : wanted.file.substr(0, slash == 0 ? 1 : slash);
        if (notify >= 0)
            inotify_add_watch(notify, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE);
    }

    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i)
            Watch(display, children[i]);
        if (children)
            XFree(children);
    }
    // Last of all the root is watched for windows to come (a window made meanwhile is caught
    // by the first look at the focus): a test may take this as the sign that the wait is ready.
    XSelectInput(display, root, SubstructureNotifyMask | FocusChangeMask);
    XSync(display, False);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    int result = 1;
    for (;;) {
        // Each window made since the last look is watched before the state is read again, so
        // that a change after the reading comes as an event.
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root)
                Watch(display, event.xcreatewindow.window);
        }
        XSync(display, False);
        Window found = 0;
        if (Holds(display, wanted, found)) {
            std::printf("%lu\n", found);
            result = 0;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        if (XPending(display))
            continue;
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {notify, POLLIN, 0}};
        poll(fds, notify >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (notify >= 0 && (fds[1].revents & POLLIN)) {
            char buffer[4096];
            while (read(notify, buffer, sizeof buffer) > 0) {
            }
        }
    }
    if (notify >= 0)
        close(notify);
    XCloseDisplay(display);
    return result;
}
