// The X11 backend: every top-level window is an undecorated X11 window that shows the window's
// backing surface (pushed through shared memory where the server allows it); mouse, keyboard,
// focus, cursors, the CLIPBOARD selection and the bell come through Xlib. All Xlib calls are
// made on the thread that installed the backend (the UI thread), except Wake.
#pragma once

#include "platform/win/WindowBackend.h"

#include <chrono>
#include <deque>
#include <map>
#include <vector>
#include <memory>
#include <set>
#include <string>

typedef struct _XDisplay Display;
typedef struct _XIM* XIM;
typedef struct _XIC* XIC;
typedef struct _XGC* GC;
union _XEvent;
class X11Image;
struct CursorShape;

// Which top-level windows the display must leave alone (override-redirect: no decoration, no
// placement, no focus stealing by a window manager): pop-ups (WS_POPUP) without a full caption
// (menus, drop-downs, tool tips, splash screens), and pop-ups that are tool windows or topmost
// (floating palettes, which draw their own small captions). A window meant for the task bar
// (WS_EX_APPWINDOW, a titled splash screen) is never left alone: only a managed window reaches
// the task bar. Everything else is an ordinary, undecorated top-level window. Callable from any
// thread.
bool IsOverrideRedirectStyle(DWORD style, DWORD exStyle);

class X11Backend : public IWindowBackend {
public:
    // Opens the display (null or empty: $DISPLAY). Null when it cannot, with the reason.
    static std::unique_ptr<X11Backend> Open(const char* displayName, std::string& error);
    // Opens the display and makes the backend the window backend of the process, with the
    // window services and the screen size of the device capabilities. Null when the display
    // cannot be opened (nothing is changed then).
    static X11Backend* Install(const char* displayName, std::string& error);

    ~X11Backend() override;
    X11Backend(const X11Backend&) = delete;
    X11Backend& operator=(const X11Backend&) = delete;

    // IWindowBackend
    NativeWindowId CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind) override;
    void DestroyNativeWindow(NativeWindowId id) override;
    cairo_surface_t* GetSurface(NativeWindowId id) override;
    void ShowNativeWindow(NativeWindowId id, NativeVisibility visibility) override;
    void MoveNativeWindow(NativeWindowId id, const RECT& screenRect) override;
    void Present(NativeWindowId id, const RECT& damage) override;
    void FocusNativeWindow(NativeWindowId id) override;
    bool FocusChangeOvertaken(const BackendEvent& event) override;
    void SetCursor(HCURSOR cursor) override;
    void SetNativeTitle(NativeWindowId id, const std::string& title) override;
    SIZE ScreenSize() override;
    RECT WorkArea() override;
    bool GetClipboardText(std::string& text) override;
    void SetClipboardText(const std::string& text) override;
    void Beep(UINT type) override;
    void PumpEvents(DWORD timeoutMs) override;
    // Callable from any thread.
    void Wake() override;

    // ---- For tests and benchmarks ----
    Display* GetDisplay() const { return m_display; }
    // The X window of a top-level window, or 0.
    unsigned long XWindowOf(HWND hwnd) const;
    // Whether pixels go through shared memory.
    bool UsesSharedMemory() const { return m_useShm; }
    // Waits until the server has handled every request made so far.
    void Sync();
    // The X window holding the pointer for an active pop-up, or 0.
    unsigned long PointerGrabWindow() const { return m_grabXid; }
    // Whether this process owns the CLIPBOARD selection.
    bool OwnsClipboard() const override { return m_clipboardOwned; }

private:
    X11Backend() = default;
    bool Init(const char* displayName, std::string& error);

    struct Native {
        HWND hwnd = nullptr;
        unsigned long xid = 0;
        RECT rect{0, 0, 0, 0};
        bool overrideRedirect = false;
        // WS_EX_TOPMOST: above every window that is not, whether a window manager keeps it there
        // (_NET_WM_STATE_ABOVE) or, without one, the backend restacking it.
        bool topmost = false;
        // A drop-down or similar pop-up (not topmost): override-redirect, so no window manager
        // tells it of clicks elsewhere; the pointer is held for it while it is active.
        bool popup = false;
        NativeWindowKind kind = NativeWindowKind::Frame;
        // Shown while its owner was disabled: the owner's modal dialog, which a window manager
        // keeps over it and offers no way to minimise.
        bool modal = false;
        bool mapped = false;        // asked to be shown
        bool viewable = false;      // MapNotify seen
        // Unmapped by a window manager while the program had it shown: minimised there.
        bool iconic = false;
        // Put in a frame of a window manager's own (its parent is not the root): the place a
        // real ConfigureNotify gives is then within that frame.
        bool framed = false;
        cairo_surface_t* surface = nullptr;
        std::unique_ptr<X11Image> image;
        XIC ic = nullptr;
        std::string title;
        std::deque<RECT> configures;   // moves asked for whose ConfigureNotify is still due
    };
    Native* FindNative(NativeWindowId id);
    Native* FindByXid(unsigned long xid);
    void MakeImage(Native& native);
    void UpdateTitle(Native& native);
    void SetTitle(Native& native, const std::string& title);
    void ApplyCursor(Native& native);
    // What a window manager reads of a managed window before it maps it: the owner it stands
    // over (transient for), its type, the functions its frame's boxes offer, and its state
    // (above, modal). Set again at each showing, since a dialog is modal by how it is shown.
    void SetManagerHints(Native& native);
    void WriteWmState(const Native& native);
    // Follows a change of WS_EX_TOPMOST made after creation.
    void UpdateTopmost(Native& native);
    // Raises the shown topmost windows back over one that was just raised.
    void KeepTopmostAbove(const Native& raised);
    unsigned long XCursorFor(HCURSOR cursor);
    unsigned long XImageCursor(const CursorShape& shape);

    // The event pump (X11Backend.cpp and X11Input.cpp).
    int DrainEvents();
    void HandleEvent(_XEvent& event);
    void HandleKey(Native& native, _XEvent& event);
    void HandleButton(Native& native, _XEvent& event);
    void HandleFocus(Native& native, _XEvent& event);
    void HandleConfigure(Native& native, _XEvent& event);
    UINT Modifiers(unsigned int state) const;
    DWORD TickOf(unsigned long serverTime);

    // The clipboard (X11Clipboard.cpp).
    void HandleSelectionRequest(_XEvent& event);
    void HandleSelectionNotify(_XEvent& event);
    // A property changed: the next piece of a text read or sent in pieces (INCR).
    void HandlePropertyNotify(_XEvent& event);
    // Appends what a property holds to the text being read; false once it was empty (the end).
    bool ReadSelectionPiece(unsigned long property);
    // When the present owner of CLIPBOARD took it (its TIMESTAMP), within a bounded wait; false
    // when it does not say.
    bool AskSelectionTimestamp(unsigned long& stamp);

    Display* m_display = nullptr;
    int m_screen = 0;
    unsigned long m_root = 0;
    void* m_visual = nullptr;   // Visual*
    int m_depth = 24;
    unsigned long m_colormap = 0;
    GC m_gc = nullptr;
    XIM m_im = nullptr;
    bool m_useShm = false;
    int m_wakeFd = -1;

    struct Atoms {
        unsigned long wmProtocols = 0, wmDeleteWindow = 0, motifHints = 0, netWmName = 0, utf8String = 0,
                      clipboard = 0, targets = 0, vostrelSelection = 0, netWmWindowType = 0,
                      typeNormal = 0, typeUtility = 0, typePopupMenu = 0, incr = 0, netWmState = 0,
                      stateAbove = 0, timestamp = 0, vostrelStamp = 0, typeDialog = 0, stateModal = 0;
    } m_atoms;

    NativeWindowId m_next = 1;
    std::map<NativeWindowId, Native> m_windows;
    std::map<unsigned long, NativeWindowId> m_byXid;

    // Focus the program asked for: the display's echo of it is not reported back. The focus
    // events a request causes carry the request's serial number.
    void RequestFocus(unsigned long xid);
    // The pointer held for an active pop-up: every press on the screen comes to the program, and
    // one outside all of its windows deactivates the pop-up (a FocusOut) and lets go at once.
    // Let go as well when the pop-up is hidden or destroyed or another window is focused.
    void GrabPointerFor(Native& native);
    void ReleasePointerGrab();
    // A pointer event reported to the grabbing pop-up from outside the program's windows:
    // true when it was handled here and goes no further.
    bool HandleGrabbedPointer(Native& native, _XEvent& event);
    unsigned long m_grabXid = 0;
    std::set<unsigned long> m_focusSerials;
    unsigned long m_lastFocusRequest = 0;   // the serial of the program's latest focus request
    unsigned long m_focusPendingMap = 0;   // asked before the window was viewable

    HCURSOR m_cursor = nullptr;
    bool m_cursorHidden = false;
    std::map<int, unsigned long> m_xcursors;   // standard cursor id → X cursor
    unsigned long m_blankCursor = 0;
    // The X cursor made for the last bitmap cursor shown, and the pixels it was made from.
    unsigned long m_imageCursor = 0;
    std::vector<BYTE> m_imageSource;
    std::vector<BYTE> m_imageMask;
    POINT m_imageHotSpot{0, 0};

    std::set<unsigned int> m_keysDown;   // keycodes held, to tell auto-repeat
    unsigned int m_numLockMask = 0;      // the modifier bit Num Lock sets, 0 when none does
    bool m_haveTimeBase = false;
    long long m_timeBase = 0;           // tick count minus server time

    // The clipboard: the text this process offers while it owns CLIPBOARD, and the answer to
    // a request for another program's text.
    unsigned long m_clipWindow = 0;
    bool m_clipboardOwned = false;
    std::string m_clipboardText;
    bool m_selectionWaiting = false;
    bool m_selectionArrived = false;
    // A text read in pieces: the pieces come as the property is set anew; each one read counts
    // as progress, which keeps the wait going.
    bool m_selectionIncr = false;
    unsigned long m_selectionType = 0;
    unsigned long m_selectionProgress = 0;
    // Texts sent in pieces to other programs: each piece goes when the requestor deleted the
    // one before.
    struct Outgoing {
        unsigned long requestor = 0;
        unsigned long property = 0;
        unsigned long type = 0;
        std::string data;
        size_t offset = 0;
        std::chrono::steady_clock::time_point started;
    };
    std::vector<Outgoing> m_outgoing;
    size_t IncrThreshold() const;
    // Drops the transfers whose requestor has not asked for a piece within the bound, so that a
    // program that stopped reading holds no copy of the text.
    void DropStalledTransfers();
    // Ends one transfer; the requestor's window is watched on as long as another still uses it.
    void EndTransfer(std::vector<Outgoing>::iterator it);
    bool m_selectionOk = false;
    std::string m_selectionData;
    bool m_stampWaiting = false;
    bool m_stampArrived = false;
    bool m_stampOk = false;
    unsigned long m_stampValue = 0;
    // Another program's text as read last, with the owner and the time it took the selection:
    // while both stay, the text is the same and is not fetched again (a large one comes in
    // pieces, and the Edit menu's update asks at every idle turn).
    bool m_foreignCached = false;
    unsigned long m_foreignOwner = 0;
    unsigned long m_foreignStamp = 0;
    std::string m_foreignText;
};
