// The X11 backend's clipboard: the CLIPBOARD selection with UTF8_STRING, STRING and TARGETS,
// and texts too large for one request moved in pieces (INCR) both ways.
#include "platform/backends/x11/X11Backend.h"

#include "platform/backends/x11/X11Headers.h"
#include "platform/backends/x11/X11Keys.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
// How long a read of another program's clipboard may take before it counts as empty.
constexpr auto kSelectionWait = std::chrono::milliseconds(1000);
// How long a transfer in pieces may wait for the other program to take a piece before it is
// dropped.
constexpr auto kIncrStall = std::chrono::seconds(5);
// The size of each piece sent.
constexpr size_t kIncrPiece = 64 * 1024;

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
    m_foreignCached = false;
    m_foreignText.clear();
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
    const Window owner = XGetSelectionOwner(m_display, m_atoms.clipboard);
    if (owner == None)
        return false;
    unsigned long stamp = 0;
    const bool stamped = AskSelectionTimestamp(stamp);
    if (stamped && m_foreignCached && owner == m_foreignOwner && stamp == m_foreignStamp) {
        text = m_foreignText;
        return true;
    }
    m_foreignCached = false;
    m_foreignText.clear();
    // Ask for UTF-8 first and for Latin-1 from programs that only know STRING. The answer comes
    // as an event: the pump runs (posting whatever else arrives) until it does, for a bounded
    // time, so a hung owner cannot hang this program.
    for (unsigned long target : {m_atoms.utf8String, static_cast<unsigned long>(XA_STRING)}) {
        m_selectionWaiting = true;
        m_selectionArrived = false;
        m_selectionOk = false;
        m_selectionIncr = false;
        m_selectionType = 0;
        m_selectionData.clear();
        XDeleteProperty(m_display, m_clipWindow, m_atoms.vostrelSelection);
        XConvertSelection(m_display, m_atoms.clipboard, target, m_atoms.vostrelSelection, m_clipWindow, CurrentTime);
        XFlush(m_display);
        auto deadline = std::chrono::steady_clock::now() + kSelectionWait;
        unsigned long progress = m_selectionProgress;
        while (!m_selectionArrived && !X11Errors::ConnectionLost()) {
            DrainEvents();
            if (m_selectionArrived)
                break;
            if (progress != m_selectionProgress) {
                // A piece came: the owner is alive, so the wait starts over.
                progress = m_selectionProgress;
                deadline = std::chrono::steady_clock::now() + kSelectionWait;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
        }
        m_selectionWaiting = false;
        if (!m_selectionArrived) {
            m_selectionIncr = false;
            m_selectionData.clear();
            return false;   // the owner did not answer in time: nothing to paste
        }
        if (m_selectionOk) {
            text = std::move(m_selectionData);
            if (stamped) {
                m_foreignCached = true;
                m_foreignOwner = owner;
                m_foreignStamp = stamp;
                m_foreignText = text;
            }
            return true;
        }
    }
    return false;
}

bool X11Backend::AskSelectionTimestamp(unsigned long& stamp)
{
    m_stampWaiting = true;
    m_stampArrived = false;
    m_stampOk = false;
    m_stampValue = 0;
    XDeleteProperty(m_display, m_clipWindow, m_atoms.vostrelStamp);
    XConvertSelection(m_display, m_atoms.clipboard, m_atoms.timestamp, m_atoms.vostrelStamp, m_clipWindow, CurrentTime);
    XFlush(m_display);
    const auto deadline = std::chrono::steady_clock::now() + kSelectionWait;
    while (!m_stampArrived && !X11Errors::ConnectionLost()) {
        DrainEvents();
        if (m_stampArrived)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left.count()));
    }
    m_stampWaiting = false;
    if (m_stampOk)
        stamp = m_stampValue;
    return m_stampOk;
}

void X11Backend::HandleSelectionNotify(XEvent& event)
{
    const XSelectionEvent& s = event.xselection;
    if (s.target == m_atoms.timestamp) {
        // An answer that came after its wait ended is not the text's.
        if (!m_stampWaiting || s.requestor != m_clipWindow || s.selection != m_atoms.clipboard)
            return;
        m_stampArrived = true;
        if (s.property == None)
            return;   // the owner does not say when it took the selection
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_display, m_clipWindow, s.property, 0, 1, True, AnyPropertyType, &type, &format, &items,
                               &after, &data) == Success &&
            data && format == 32 && items == 1) {
            m_stampValue = static_cast<unsigned long>(*reinterpret_cast<const long*>(data));
            m_stampOk = m_stampValue != 0;
        }
        if (data)
            XFree(data);
        return;
    }
    if (!m_selectionWaiting || s.requestor != m_clipWindow || s.selection != m_atoms.clipboard || m_selectionIncr)
        return;
    if (s.property == None) {
        m_selectionArrived = true;
        return;   // the owner cannot give that target
    }
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, m_clipWindow, s.property, 0, 0, False, AnyPropertyType, &type, &format, &items,
                           &after, &data) != Success) {
        m_selectionArrived = true;
        return;
    }
    if (data)
        XFree(data);
    if (type == m_atoms.incr) {
        // The text comes in pieces: deleting the property asks for the first one.
        m_selectionIncr = true;
        m_selectionData.clear();
        XDeleteProperty(m_display, m_clipWindow, s.property);
        XFlush(m_display);
        ++m_selectionProgress;
        return;
    }
    ReadSelectionPiece(s.property);
    m_selectionArrived = true;
}

bool X11Backend::ReadSelectionPiece(unsigned long property)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, m_clipWindow, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        return false;
    }
    const bool empty = !data || items == 0;
    if (data && format == 8 && (type == m_atoms.utf8String || type == XA_STRING)) {
        if (!m_selectionType)
            m_selectionType = type;
        m_selectionData.append(reinterpret_cast<const char*>(data), items);
        if (!m_selectionIncr || empty)
            m_selectionOk = true;
    }
    if (data)
        XFree(data);
    if (m_selectionIncr && empty)
        m_selectionOk = m_selectionType != 0 || m_selectionData.empty();
    if (m_selectionOk && m_selectionType == XA_STRING)
        m_selectionData = Latin1ToUtf8(m_selectionData.data(), static_cast<int>(m_selectionData.size()));
    return !empty;
}

void X11Backend::HandlePropertyNotify(XEvent& event)
{
    const XPropertyEvent& p = event.xproperty;
    if (p.window == m_clipWindow) {
        if (m_selectionWaiting && m_selectionIncr && p.atom == m_atoms.vostrelSelection && p.state == PropertyNewValue) {
            ++m_selectionProgress;
            if (!ReadSelectionPiece(p.atom)) {
                m_selectionIncr = false;
                m_selectionArrived = true;
            }
        }
        return;
    }
    if (p.state != PropertyDelete)
        return;
    for (auto it = m_outgoing.begin(); it != m_outgoing.end(); ++it) {
        if (it->requestor != p.window || it->property != p.atom)
            continue;
        // The requestor took the last piece: the next one, or an empty one to end.
        const size_t n = std::min(kIncrPiece, it->data.size() - it->offset);
        XChangeProperty(m_display, it->requestor, it->property, it->type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(it->data.data() + it->offset), static_cast<int>(n));
        it->offset += n;
        it->started = std::chrono::steady_clock::now();
        if (n == 0)
            EndTransfer(it);
        XFlush(m_display);
        return;
    }
}

void X11Backend::EndTransfer(std::vector<Outgoing>::iterator it)
{
    const unsigned long requestor = it->requestor;
    m_outgoing.erase(it);
    const bool stillUsed = std::any_of(m_outgoing.begin(), m_outgoing.end(),
                                       [&](const Outgoing& o) { return o.requestor == requestor; });
    if (!stillUsed)
        XSelectInput(m_display, requestor, NoEventMask);
}

void X11Backend::DropStalledTransfers()
{
    const auto now = std::chrono::steady_clock::now();
    for (auto it = m_outgoing.begin(); it != m_outgoing.end();) {
        if (now - it->started > kIncrStall) {
            EndTransfer(it);
            it = m_outgoing.begin(); // the erase moved the rest
        } else {
            ++it;
        }
    }
}

size_t X11Backend::IncrThreshold() const
{
    // Larger texts than a quarter of the largest request go in pieces, as receivers expect.
    const long words = XExtendedMaxRequestSize(m_display) ? XExtendedMaxRequestSize(m_display) : XMaxRequestSize(m_display);
    return std::max<size_t>(kIncrPiece, static_cast<size_t>(words));
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
        } else if (r.target == m_atoms.utf8String || r.target == XA_STRING) {
            std::string text = r.target == XA_STRING ? Utf8ToLatin1(m_clipboardText) : m_clipboardText;
            if (text.size() < IncrThreshold()) {
                XChangeProperty(m_display, r.requestor, property, r.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
            } else {
                // Too large for one request: announce the size and send pieces as the requestor
                // takes them. Transfers whose requestor went quiet are dropped.
                const auto now = std::chrono::steady_clock::now();
                // A new request on the same property replaces the transfer that used it.
                std::erase_if(m_outgoing, [&](const Outgoing& o) { return o.requestor == r.requestor && o.property == property; });
                XSelectInput(m_display, r.requestor, PropertyChangeMask);
                const long size = static_cast<long>(text.size());
                XChangeProperty(m_display, r.requestor, property, m_atoms.incr, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&size), 1);
                m_outgoing.push_back(Outgoing{r.requestor, property, r.target, std::move(text), 0, now});
            }
            reply.xselection.property = property;
        }
    }
    XSendEvent(m_display, r.requestor, False, NoEventMask, &reply);
    XFlush(m_display);
}
