// A display of its own run by a window manager (openbox), for the tests of what the program asks
// of one and how it answers what one does: a private Xvfb server with openbox on it, started on
// first use with a configuration of the tests' own (a click focuses and raises the window, and
// no key is taken from the program), waited for until it manages the screen, and stopped by its
// pid with the test program.
#pragma once

#include "tests/platform/win/XvfbServer.h"
#include "tests/support/RequiredTools.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

class WindowManagerDisplay {
public:
    WindowManagerDisplay() = default;
    ~WindowManagerDisplay() { Stop(); }
    WindowManagerDisplay(const WindowManagerDisplay&) = delete;
    WindowManagerDisplay& operator=(const WindowManagerDisplay&) = delete;

    // The display of this test program, started on first use; null when it could not be.
    static WindowManagerDisplay* Shared()
    {
        static std::unique_ptr<WindowManagerDisplay> display = [] {
            auto d = std::make_unique<WindowManagerDisplay>();
            return d->Start() ? std::move(d) : nullptr;
        }();
        return display.get();
    }
    // What the shared display lacks, for a test's message: "" when it runs.
    static std::string Missing()
    {
        if (!XvfbServer::Available())
            return "Xvfb (not on the PATH)";
        if (!required_tools::OnPath("openbox"))
            return "openbox (not on the PATH)";
        return Shared() != nullptr ? std::string() : "a window manager: openbox did not manage a display within 60 s";
    }

    XvfbServer* Server() { return &m_server; }

private:
    bool Start()
    {
        if (!required_tools::OnPath("openbox") || !m_server.Start())
            return false;
        char folder[] = "/tmp/vostrel-wm-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            return false;
        m_folder = folder;
        const std::string config = m_folder + "/rc.xml";
        std::ofstream(config) << kConfig;
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0)
            return false;
        if (pid == 0) {
            // The window manager must not outlive the test program, even one that crashes.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(1);
            const int devnull = open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, 0);
                dup2(devnull, 1);
                dup2(devnull, 2);
            }
            setenv("DISPLAY", m_server.DisplayName().c_str(), 1);
            // Its own configuration home: nothing of the user's settings or session reaches it.
            setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
            execlp("openbox", "openbox", "--sm-disable", "--config-file", config.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        m_pid = pid;
        return WaitUntilManaging();
    }

    // Waits, woken by the root window's property changes, until the window manager names its
    // check window on the root and that window names itself: it manages the screen.
    bool WaitUntilManaging()
    {
        Display* display = XOpenDisplay(m_server.DisplayName().c_str());
        if (display == nullptr)
            return false;
        const Window root = DefaultRootWindow(display);
        XSelectInput(display, root, PropertyChangeMask);
        const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool managing = false;
        while (!managing && std::chrono::steady_clock::now() < deadline && waitpid(m_pid, nullptr, WNOHANG) == 0) {
            const Window named = WindowProperty(display, root, check);
            managing = named != 0 && WindowProperty(display, named, check) == named;
            if (managing)
                break;
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
            }
            pollfd wait{ConnectionNumber(display), POLLIN, 0};
            poll(&wait, 1, 100);
        }
        XCloseDisplay(display);
        return managing;
    }
    static Window WindowProperty(Display* display, Window window, Atom property)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Window value = 0;
        if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr && count == 1 && format == 32)
            value = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
        if (data != nullptr)
            XFree(data);
        return value;
    }

    void Stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (waitpid(m_pid, nullptr, WNOHANG) == 0) {
                if (std::chrono::steady_clock::now() >= deadline) {
                    kill(m_pid, SIGKILL);
                    waitpid(m_pid, nullptr, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            m_pid = -1;
        }
        m_server.Stop();
        if (!m_folder.empty()) {
            std::remove((m_folder + "/rc.xml").c_str());
            rmdir(m_folder.c_str());
            m_folder.clear();
        }
    }

    // Click to focus, the pressed window raised; no key bindings, so that every key the tests
    // type reaches the program.
    static constexpr const char* kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Middle" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
  </mouse>
</openbox_config>
)";

    XvfbServer m_server{1024, 768};
    pid_t m_pid = -1;
    std::string m_folder;
};
