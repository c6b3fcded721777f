// A window's side of drag and drop: registration through a window property (so that it ends
// with the window), the drag loop's entry points, and drag scrolling.
#include "platform/afx/ole/COleDropTarget.h"

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/TickCount.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/UserApi.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

int COleDropTarget::nScrollInset = DD_DEFSCROLLINSET;
UINT COleDropTarget::nScrollDelay = DD_DEFSCROLLDELAY;
UINT COleDropTarget::nScrollInterval = DD_DEFSCROLLINTERVAL;

namespace {

constexpr const char* kTargetProperty = "AfxOleDropTarget";
constexpr UINT kNoScroll = 0xFFFF;
constexpr UINT kNoPart = 0xFF;

// The effect a key state asks for, kept to what the source allows (scrolling always is).
DROPEFFECT Filter(DROPEFFECT effect, DWORD allowed)
{
    return effect & (allowed | DROPEFFECT_SCROLL);
}

} // namespace

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (!hwnd || m_hWnd || FromHandle(hwnd)) {
        return FALSE;
    }
    if (!SetProp(hwnd, kTargetProperty, static_cast<HANDLE>(this))) {
        return FALSE;
    }
    m_hWnd = hwnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    // The window may be gone, and its handle taken by another with its own target.
    if (m_hWnd && IsWindow(m_hWnd) && GetProp(m_hWnd, kTargetProperty) == static_cast<HANDLE>(this)) {
        RemoveProp(m_hWnd, kTargetProperty);
    }
    m_hWnd = nullptr;
    m_lpDataObject = nullptr;
    m_nTimerID = kNoScroll;
}

COleDropTarget* COleDropTarget::FromHandle(HWND hWnd)
{
    if (!hWnd || !IsWindow(hWnd)) {
        return nullptr;
    }
    return static_cast<COleDropTarget*>(GetProp(hWnd, kTargetProperty));
}

CWnd* COleDropTarget::Window() const
{
    return CWnd::FromHandle(m_hWnd);
}

CPoint COleDropTarget::ClientPoint(POINT screen) const
{
    POINT p = screen;
    ::ScreenToClient(m_hWnd, &p);
    return CPoint(p.x, p.y);
}

// ---- What a target does unless told otherwise: nothing is accepted ----

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return static_cast<DROPEFFECT>(-1);
}

void COleDropTarget::OnDragLeave(CWnd*)
{
}

// ---- Drag scrolling ----

BOOL COleDropTarget::CanScroll(CWnd* pWnd, UINT nScrollCode) const
{
    HWND hwnd = pWnd->GetSafeHwnd();
    auto can = [hwnd](int bar, UINT part) {
        if (part == kNoPart) {
            return true;
        }
        DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
        if (!(style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) {
            return false;
        }
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        if (!GetScrollInfo(hwnd, bar, &si)) {
            return false;
        }
        if (part == SB_LINEUP) {
            return si.nPos > si.nMin;
        }
        int last = si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0);
        return si.nPos < last;
    };
    return can(SB_HORZ, nScrollCode & 0xFF) && can(SB_VERT, (nScrollCode >> 8) & 0xFF) ? TRUE : FALSE;
}

void COleDropTarget::DoScroll(CWnd* pWnd, UINT nScrollCode)
{
    UINT horz = nScrollCode & 0xFF;
    UINT vert = (nScrollCode >> 8) & 0xFF;
    if (horz != kNoPart) {
        pWnd->SendMessage(WM_HSCROLL, MAKEWPARAM(horz, 0), 0);
    }
    if (vert != kNoPart) {
        pWnd->SendMessage(WM_VSCROLL, MAKEWPARAM(vert, 0), 0);
    }
    pWnd->UpdateWindow();
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    if (!pWnd || !pWnd->GetSafeHwnd()) {
        return DROPEFFECT_NONE;
    }
    CRect rectClient;
    pWnd->GetClientRect(&rectClient);
    CRect rect = rectClient;
    rect.InflateRect(-nScrollInset, -nScrollInset);
    UINT nTimerID = kNoScroll;
    if (rectClient.PtInRect(point) && !rect.PtInRect(point)) {
        UINT horz = kNoPart;
        UINT vert = kNoPart;
        if (point.x < rect.left) {
            horz = SB_LINEUP;
        } else if (point.x >= rect.right) {
            horz = SB_LINEDOWN;
        }
        if (point.y < rect.top) {
            vert = SB_LINEUP;
        } else if (point.y >= rect.bottom) {
            vert = SB_LINEDOWN;
        }
        nTimerID = MAKEWORD(horz, vert);
        if (!CanScroll(pWnd, nTimerID)) {
            nTimerID = kNoScroll;
        }
    }
    if (nTimerID == kNoScroll) {
        if (m_nTimerID != kNoScroll) {
            // Scrolling stopped: the window shows its drop feedback again.
            COleDataObject dataObject;
            dataObject.Attach(m_lpDataObject, FALSE);
            OnDragEnter(pWnd, &dataObject, dwKeyState, point);
            m_nTimerID = kNoScroll;
        }
        return DROPEFFECT_NONE;
    }
    DWORD now = GetTickCount();
    if (nTimerID != m_nTimerID) {
        m_dwLastTick = now;
        m_nScrollDelay = nScrollDelay;
    }
    if (now - m_dwLastTick > m_nScrollDelay) {
        DoScroll(pWnd, nTimerID);
        m_dwLastTick = now;
        m_nScrollDelay = nScrollInterval;
    }
    if (m_nTimerID == kNoScroll) {
        // Scrolling starts: the window takes its drop feedback away meanwhile.
        OnDragLeave(pWnd);
    }
    m_nTimerID = nTimerID;
    DROPEFFECT effect = DROPEFFECT_MOVE;
    if ((dwKeyState & (MK_CONTROL | MK_SHIFT)) == (MK_CONTROL | MK_SHIFT)) {
        effect = DROPEFFECT_LINK;
    } else if (dwKeyState & MK_CONTROL) {
        effect = DROPEFFECT_COPY;
    }
    return DROPEFFECT_SCROLL | effect;
}

// ---- The drag loop's calls ----

DROPEFFECT COleDropTarget::DragEnter(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINT screen, DWORD dwAllowed)
{
    CWnd* pWnd = Window();
    if (!pWnd) {
        return DROPEFFECT_NONE;
    }
    m_lpDataObject = lpDataObject;
    m_nTimerID = kNoScroll;
    COleDataObject dataObject;
    dataObject.Attach(m_lpDataObject, FALSE);
    CPoint point = ClientPoint(screen);
    // Entering at the border starts drag scrolling instead of the drop feedback.
    DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
    if (!(effect & DROPEFFECT_SCROLL)) {
        effect = OnDragEnter(pWnd, &dataObject, dwKeyState, point);
    }
    return Filter(effect, dwAllowed);
}

DROPEFFECT COleDropTarget::DragOver(DWORD dwKeyState, POINT screen, DWORD dwAllowed)
{
    CWnd* pWnd = Window();
    if (!pWnd || !m_lpDataObject) {
        return DROPEFFECT_NONE;
    }
    CPoint point = ClientPoint(screen);
    DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
    if (effect == DROPEFFECT_NONE) {
        COleDataObject dataObject;
        dataObject.Attach(m_lpDataObject, FALSE);
        effect = OnDragOver(pWnd, &dataObject, dwKeyState, point);
    }
    return Filter(effect, dwAllowed);
}

void COleDropTarget::DragLeave()
{
    CWnd* pWnd = Window();
    m_nTimerID = kNoScroll;
    if (pWnd) {
        OnDragLeave(pWnd);
    }
    m_lpDataObject = nullptr;
}

DROPEFFECT COleDropTarget::Drop(DWORD dwKeyState, POINT screen, DWORD dwAllowed)
{
    CWnd* pWnd = Window();
    if (!pWnd || !m_lpDataObject) {
        return DROPEFFECT_NONE;
    }
    m_nTimerID = kNoScroll;
    CPoint point = ClientPoint(screen);
    COleDataObject dataObject;
    dataObject.Attach(m_lpDataObject, FALSE);
    // The effect is asked once more where the mouse was let go.
    DROPEFFECT effect = Filter(OnDragOver(pWnd, &dataObject, dwKeyState, point), dwAllowed) & ~DROPEFFECT_SCROLL;
    DROPEFFECT handled = OnDropEx(pWnd, &dataObject, effect, dwAllowed, point);
    if (handled != static_cast<DROPEFFECT>(-1)) {
        effect = handled;
    } else if (effect != DROPEFFECT_NONE && !OnDrop(pWnd, &dataObject, effect, point)) {
        effect = DROPEFFECT_NONE;
    }
    // The window may have gone during the drop.
    if (CWnd* still = IsWindow(m_hWnd) ? Window() : nullptr) {
        OnDragLeave(still);
    }
    m_lpDataObject = nullptr;
    return effect;
}
