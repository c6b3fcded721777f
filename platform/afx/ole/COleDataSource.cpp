// Data offered for dragging, and the drag loop: it holds the mouse, finds the registered
// target under it, tells targets what happens and ends on the source's word.
#include "platform/afx/ole/COleDataSource.h"

#include "platform/afx/ole/COleDropSource.h"
#include "platform/afx/ole/COleDropTarget.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)

namespace {

// The timer that lets a resting mouse still reach the target, so that drag scrolling goes on.
constexpr UINT_PTR kDragPollTimer = 0xD4A6;
constexpr UINT kDragPollMs = 50;

DWORD CurrentKeyState()
{
    DWORD state = 0;
    auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
    state |= down(VK_LBUTTON) ? MK_LBUTTON : 0;
    state |= down(VK_RBUTTON) ? MK_RBUTTON : 0;
    state |= down(VK_MBUTTON) ? MK_MBUTTON : 0;
    state |= down(VK_SHIFT) ? MK_SHIFT : 0;
    state |= down(VK_CONTROL) ? MK_CONTROL : 0;
    state |= down(VK_MENU) ? MK_ALT : 0;
    return state;
}

// The registered target for a screen point: the window under it or its nearest ancestor
// with a target.
HWND TargetWindowAt(POINT screen)
{
    for (HWND hwnd = WindowFromPoint(screen); hwnd; hwnd = GetParent(hwnd)) {
        if (COleDropTarget::FromHandle(hwnd)) {
            return hwnd;
        }
        if (!(GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) {
            break;
        }
    }
    return nullptr;
}

class DragLoop {
public:
    DragLoop(COleDataSource* data, COleDropSource* source, DWORD allowed, HWND capture)
        : m_data(data), m_source(source), m_allowed(allowed), m_capture(capture)
    {
    }

    DROPEFFECT Run()
    {
        SetCapture(m_capture);
        SetTimer(m_capture, kDragPollTimer, kDragPollMs, nullptr);
        HCURSOR oldCursor = GetCursor();
        GetCursorPos(&m_point);
        m_keys = CurrentKeyState();
        Track();
        SCODE outcome = DRAGDROP_S_CANCEL;
        for (;;) {
            bool escape = false;
            if (!Next(&escape)) {
                break;
            }
            SCODE sc = m_source->QueryContinueDrag(escape ? TRUE : FALSE, m_keys);
            if (sc == DRAGDROP_S_DROP || sc == DRAGDROP_S_CANCEL) {
                outcome = sc;
                break;
            }
            Track();
        }
        if (IsWindow(m_capture)) {
            KillTimer(m_capture, kDragPollTimer);
        }
        if (GetCapture() == m_capture) {
            ReleaseCapture();
        }
        DROPEFFECT result = DROPEFFECT_NONE;
        COleDropTarget* target = CurrentTarget();
        if (target && outcome == DRAGDROP_S_DROP && (m_effect & ~DROPEFFECT_SCROLL) != DROPEFFECT_NONE) {
            result = target->Drop(m_keys, m_point, m_allowed);
        } else if (target) {
            target->DragLeave();
        }
        SetCursor(oldCursor);
        return result;
    }

private:
    // Takes the next message that matters to the drag; false when the drag must end at once
    // (the capture went elsewhere, its window went away, or the program is quitting).
    bool Next(bool* escape)
    {
        for (;;) {
            if (!IsWindow(m_capture) || GetCapture() != m_capture) {
                return false;
            }
            MSG msg;
            if (!GetMessage(&msg, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
                if (msg.message == WM_MOUSEWHEEL) {
                    continue;
                }
                m_point = msg.pt;
                m_keys = static_cast<DWORD>(msg.wParam) & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
                m_keys |= (GetKeyState(VK_MENU) & 0x8000) ? MK_ALT : 0;
                return true;
            }
            if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_SYSKEYDOWN ||
                msg.message == WM_SYSKEYUP) {
                *escape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
                m_keys = CurrentKeyState();
                return true;
            }
            if (msg.message == WM_TIMER && msg.hwnd == m_capture && msg.wParam == kDragPollTimer) {
                return true;
            }
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    COleDropTarget* CurrentTarget() const
    {
        return m_target && IsWindow(m_target) ? COleDropTarget::FromHandle(m_target) : nullptr;
    }

    // Tells the targets where the mouse is and shows the effect.
    void Track()
    {
        HWND under = TargetWindowAt(m_point);
        if (under != m_target) {
            if (COleDropTarget* old = CurrentTarget()) {
                old->DragLeave();
            }
            m_target = under;
            COleDropTarget* target = CurrentTarget();
            m_effect = target ? target->DragEnter(m_data, m_keys, m_point, m_allowed) : DROPEFFECT_NONE;
        } else {
            COleDropTarget* target = CurrentTarget();
            m_effect = target ? target->DragOver(m_keys, m_point, m_allowed) : DROPEFFECT_NONE;
        }
        if (m_source->GiveFeedback(m_effect) == DRAGDROP_S_USEDEFAULTCURSORS) {
            SetCursor(AfxGetDragCursor(m_effect));
        }
    }

    COleDataSource* m_data;
    COleDropSource* m_source;
    DWORD m_allowed;
    HWND m_capture;
    HWND m_target = nullptr;
    POINT m_point{0, 0};
    DWORD m_keys = 0;
    DROPEFFECT m_effect = DROPEFFECT_NONE;
};

} // namespace

COleDataSource::~COleDataSource()
{
    Empty();
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, FORMATETC*)
{
    for (Cached& c : m_cache) {
        if (c.format == cfFormat) {
            if (c.data != hGlobal) {
                GlobalFree(c.data);
            }
            c.data = hGlobal;
            return;
        }
    }
    m_cache.push_back(Cached{cfFormat, hGlobal});
}

void COleDataSource::Empty()
{
    for (Cached& c : m_cache) {
        GlobalFree(c.data);
    }
    m_cache.clear();
}

HGLOBAL COleDataSource::FindGlobalData(CLIPFORMAT cfFormat) const
{
    for (const Cached& c : m_cache) {
        if (c.format == cfFormat) {
            return c.data;
        }
    }
    return nullptr;
}

DWORD COleDataSource::InternalRelease()
{
    DWORD left = --m_dwRef;
    if (left == 0) {
        delete this;
    }
    return left;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    if (!pDropSource) {
        pDropSource = &defaultSource;
    }
    // The mouse goes to whoever holds it already (the window that saw the button go down),
    // else to the window under it.
    HWND capture = GetCapture();
    if (!capture) {
        POINT pt;
        GetCursorPos(&pt);
        capture = WindowFromPoint(pt);
    }
    if (!capture) {
        capture = GetActiveWindow();
    }
    if (!capture) {
        return DROPEFFECT_NONE;
    }
    pDropSource->m_bDragStarted = FALSE;
    pDropSource->m_rectStartDrag = lpRectStartDrag ? CRect(*lpRectStartDrag) : CRect();
    // The button held now drops; the other one cancels.
    if (GetKeyState(VK_RBUTTON) & 0x8000 && !(GetKeyState(VK_LBUTTON) & 0x8000)) {
        pDropSource->m_dwButtonDrop = MK_RBUTTON;
        pDropSource->m_dwButtonCancel = MK_LBUTTON;
    } else {
        pDropSource->m_dwButtonDrop = MK_LBUTTON;
        pDropSource->m_dwButtonCancel = MK_RBUTTON;
    }
    // The source must outlive the loop whatever the targets do with their references.
    InternalAddRef();
    DROPEFFECT result = DROPEFFECT_NONE;
    if (pDropSource->OnBeginDrag(CWnd::FromHandle(capture))) {
        result = DragLoop(this, pDropSource, dwEffects, capture).Run();
    }
    InternalRelease();
    return result;
}
