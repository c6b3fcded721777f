// Another program owning the X CLIPBOARD, for the tests of pasting what other programs copied.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

// Another program owning CLIPBOARD on its own connection and thread, serving its bytes to
// whoever asks for UTF8_STRING: in pieces of 100,000 (INCR), or whole in one property.
class ForeignClipboardOwner {
public:
    enum class Transfer { InPieces, Whole };
    ForeignClipboardOwner(const std::string& display, std::string bytes, Transfer how = Transfer::InPieces)
        : m_bytes(std::move(bytes)), m_how(how)
    {
        m_thread = std::thread([this, display] { Run(display); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!m_ready && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~ForeignClipboardOwner()
    {
        m_stop = true;
        m_thread.join();
    }
    ForeignClipboardOwner(const ForeignClipboardOwner&) = delete;
    ForeignClipboardOwner& operator=(const ForeignClipboardOwner&) = delete;
    bool Ready() const { return m_ready; }
    int Served() const { return m_served; }

private:
    void Run(const std::string& name)
    {
        Display* d = XOpenDisplay(name.c_str());
        if (!d)
            return;
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
        const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
        const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
        const Atom incr = XInternAtom(d, "INCR", False);
        XSetSelectionOwner(d, clipboard, w, CurrentTime);
        XSync(d, False);
        m_ready = true;
        Window to = 0;
        Atom prop = 0;
        size_t offset = 0;
        bool sending = false;
        while (!m_stop) {
            while (XPending(d)) {
                XEvent event;
                XNextEvent(d, &event);
                if (event.type == SelectionRequest) {
                    const XSelectionRequestEvent& r = event.xselectionrequest;
                    XEvent reply{};
                    reply.xselection.type = SelectionNotify;
                    reply.xselection.requestor = r.requestor;
                    reply.xselection.selection = r.selection;
                    reply.xselection.target = r.target;
                    reply.xselection.time = r.time;
                    reply.xselection.property = 0;
                    if (r.target == utf8 && m_how == Transfer::Whole) {
                        XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                                        reinterpret_cast<const unsigned char*>(m_bytes.data()),
                                        static_cast<int>(m_bytes.size()));
                        reply.xselection.property = r.property;
                        ++m_served;
                    } else if (r.target == utf8) {
                        XSelectInput(d, r.requestor, PropertyChangeMask);
                        const long size = static_cast<long>(m_bytes.size());
                        XChangeProperty(d, r.requestor, r.property, incr, 32, PropModeReplace,
                                        reinterpret_cast<const unsigned char*>(&size), 1);
                        reply.xselection.property = r.property;
                        to = r.requestor;
                        prop = r.property;
                        offset = 0;
                        sending = true;
                        ++m_served;
                    }
                    XSendEvent(d, r.requestor, False, NoEventMask, &reply);
                } else if (event.type == PropertyNotify && sending && event.xproperty.window == to &&
                           event.xproperty.atom == prop && event.xproperty.state == PropertyDelete) {
                    const size_t n = std::min<size_t>(100000, m_bytes.size() - offset);
                    XChangeProperty(d, to, prop, utf8, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(m_bytes.data() + offset), static_cast<int>(n));
                    offset += n;
                    sending = n != 0;
                }
                XFlush(d);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        XDestroyWindow(d, w);
        XCloseDisplay(d);
    }

    std::string m_bytes;
    Transfer m_how;
    std::thread m_thread;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_served{0};
};

