// The X11 backend's clipboard: the CLIPBOARD selection with UTF8_STRING, STRING and TARGETS.
#include "platform/backends/x11/X11Backend.h"

#include "platform/backends/x11/X11Headers.h"
#include "platform/backends/x11/X11Keys.h"

#include <poll.h>

#include <chrono>
#include <vector>

namespace {
// How long a read of another program's clipboard may take before it counts as empty.
constexpr auto kSelectionWait = std::chrono::milliseconds(1000);

// UTF-8 as Latin-1 for clients that ask for STRING; what Latin-1 cannot hold becomes '?'.
std::string Utf8ToLatin1(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned int code = c;
        size_t length = 1;
        if (c >= 0xC0 && c < 0xE0 && i + 1 < text.size())
            code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu), length = 2;
        else if (c >= 0xE0 && c < 0xF0)
            code = 0x100, length = 3;
        else if (c >= 0xF0)
            code = 0x100, length = 4;
        else if (c >= 0x80)
            code = 0x100;   // a stray continuation byte
        out += code < 0x100 ? static_cast<char>(code) : '?';
        i += length;
    }
    return out;
}
} // namespace

void X11Backend::SetClipboardText(const std::string& text)
{
    if (!m_display || X11Errors::ConnectionLost())
        return;
    m_clipboardText = text;
    XSetSelectionOwner(m_display, m_atoms.clipboard, m_clipWindow, CurrentTime);
    m_clipboardOwned = XGetSelectionOwner(m_display, m_atoms.clipboard) == m_clipWindow;
}

bool X11Backend::GetClipboardText(std::string& text)
{
    if (!m_display || X11Errors::ConnectionLost())
        return false;
    if (m_clipboardOwned) {
        text = m_clipboardText;
        return true;
    }
    if (XGetSelectionOwner(m_display, m_atoms.clipboard) == None)
        return false;
    // Ask for UTF-8 first and for Latin-1 from programs that only know STRING. The answer comes
    // as an event: the pump runs (posting whatever else arrives) until it does, for a bounded
    // time, so a hung owner cannot hang this program.
    for (unsigned long target : {m_atoms.utf8String, static_cast<unsigned long>(XA_STRING)}) {
        m_selectionWaiting = true;
        m_selectionArrived = false;
        m_selectionOk = false;
        m_selectionData.clear();
        XDeleteProperty(m_display, m_clipWindow, m_atoms.vostrelSelection);
        XConvertSelection(m_display, m_atoms.clipboard, target, m_atoms.vostrelSelection, m_clipWindow, CurrentTime);
        XFlush(m_display);
        const auto deadline = std::chrono::steady_clock::now() + kSelectionWait;
        while (!m_selectionArrived && !X11Errors::ConnectionLost()) {
            DrainEvents();
            if (m_selectionArrived)
                break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
        }
        m_selectionWaiting = false;
        if (!m_selectionArrived)
            return false;   // the owner did not answer in time: nothing to paste
        if (m_selectionOk) {
            text = std::move(m_selectionData);
            return true;
        }
    }
    return false;
}

void X11Backend::HandleSelectionNotify(XEvent& event)
{
    const XSelectionEvent& s = event.xselection;
    if (!m_selectionWaiting || s.requestor != m_clipWindow || s.selection != m_atoms.clipboard)
        return;
    m_selectionArrived = true;
    if (s.property == None)
        return;   // the owner cannot give that target
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    // FIXME: texts sent in pieces (INCR, for texts past the server's request size) are not read.
    if (XGetWindowProperty(m_display, m_clipWindow, s.property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        return;
    }
    if (data && format == 8) {
        const std::string bytes(reinterpret_cast<const char*>(data), items);
        if (type == m_atoms.utf8String) {
            m_selectionData = bytes;
            m_selectionOk = true;
        } else if (type == XA_STRING) {
            m_selectionData = Latin1ToUtf8(bytes.data(), static_cast<int>(bytes.size()));
            m_selectionOk = true;
        }
    }
    if (data)
        XFree(data);
}

void X11Backend::HandleSelectionRequest(XEvent& event)
{
    const XSelectionRequestEvent& r = event.xselectionrequest;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = m_display;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    // Old clients name no property: the target's name is used then.
    const Atom property = r.property != None ? r.property : r.target;
    reply.xselection.property = None;
    if (r.selection == m_atoms.clipboard && m_clipboardOwned && r.owner == m_clipWindow) {
        if (r.target == m_atoms.targets) {
            const Atom targets[] = {m_atoms.targets, m_atoms.utf8String, XA_STRING};
            XChangeProperty(m_display, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 3);
            reply.xselection.property = property;
        } else if (r.target == m_atoms.utf8String) {
            XChangeProperty(m_display, r.requestor, property, m_atoms.utf8String, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(m_clipboardText.data()),
                            static_cast<int>(m_clipboardText.size()));
            reply.xselection.property = property;
        } else if (r.target == XA_STRING) {
            const std::string latin1 = Utf8ToLatin1(m_clipboardText);
            XChangeProperty(m_display, r.requestor, property, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(latin1.data()), static_cast<int>(latin1.size()));
            reply.xselection.property = property;
        }
    }
    XSendEvent(m_display, r.requestor, False, NoEventMask, &reply);
    XFlush(m_display);
}
