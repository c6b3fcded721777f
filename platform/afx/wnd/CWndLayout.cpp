// CWnd's layout and relations: bars laid out through WM_SIZEPARENT, window rectangles from
// client rectangles, centring, style changes, the frame and owner walks, tool tips for child
// windows, dialog initialisation data and the framework's window classes.
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/CWinThread.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/SystemParameters.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

// ---- Bars ----

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    HWND parent = ::GetParent(hWnd);
    CRect current;
    ::GetWindowRect(hWnd, &current);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&current), 2);
    if (current == *lpRect)
        return;   // moving a window to where it is would only repaint it
    const int cx = lpRect->right - lpRect->left;
    const int cy = lpRect->bottom - lpRect->top;
    if (lpLayout && lpLayout->hDWP)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top, cx, cy,
                                          SWP_NOACTIVATE | SWP_NOZORDER);
    else
        ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    const bool query = (nFlag & ~reposNoPosLeftOver) == reposQuery;
    layout.hDWP = query ? nullptr : ::BeginDeferWindowPos(8);

    // Bars take their slices in z-order, the first child first: a bar created earlier sits
    // nearer the edge.
    HWND leftOver = nullptr;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == nIDLeftOver)
            leftOver = child;
        else if (id >= nIDFirst && id <= nIDLast && FromHandlePermanent(child))
            ::SendMessage(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (query) {
        if (lpRectParam) {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                *lpRectParam = RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
        }
        return;
    }

    if (nIDLeftOver != 0 && leftOver && !(nFlag & reposNoPosLeftOver)) {
        CRect rect(layout.rect);
        if ((nFlag & ~reposNoPosLeftOver) == reposExtra && lpRectParam) {
            // The caller keeps a border of its own inside the space the bars leave.
            rect.left += lpRectParam->left;
            rect.top += lpRectParam->top;
            rect.right -= lpRectParam->right;
            rect.bottom -= lpRectParam->bottom;
        }
        if (CWnd* pLeftOver = FromHandlePermanent(leftOver))
            pLeftOver->CalcWindowRect(&rect);
        AfxRepositionWindow(&layout, leftOver, &rect);
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD exStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        exStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, exStyle);
}

// ---- Relations ----

namespace {

// The window a window belongs to: its parent for a child, its owner otherwise.
HWND ParentOrOwner(HWND hWnd)
{
    if (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD)
        return ::GetParent(hWnd);
    return ::GetWindow(hWnd, GW_OWNER);
}

} // namespace

BOOL CWnd::IsFrameWnd() const
{
    return FALSE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!m_hWnd)
        return nullptr;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->IsFrameWnd())
            return static_cast<CFrameWnd*>(pWnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!m_hWnd)
        return nullptr;
    CFrameWnd* frame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (frame) {
        CFrameWnd* outer = frame->GetParentFrame();
        if (!outer)
            break;
        frame = outer;
    }
    return frame;
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (!m_hWnd)
        return nullptr;
    HWND top = m_hWnd;
    for (HWND up = ParentOrOwner(top); up; up = ParentOrOwner(up))
        top = up;
    return FromHandle(top);
}

void CWnd::ActivateTopParent()
{
    CWnd* top = GetTopLevelParent();
    if (!top || !top->m_hWnd || !::IsWindowEnabled(top->m_hWnd))
        return;
    if (::GetActiveWindow() != top->m_hWnd)
        ::SetActiveWindow(top->m_hWnd);
}

void CWnd::BeginModalState()
{
    ::EnableWindow(m_hWnd, FALSE);
}

void CWnd::EndModalState()
{
    ::EnableWindow(m_hWnd, TRUE);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (!m_hWnd)
        return nullptr;
    HWND top = m_hWnd;
    for (HWND up = ::GetWindow(top, GW_OWNER); up; up = ::GetWindow(up, GW_OWNER))
        top = up;
    return FromHandle(top);
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hWnd = pParent ? pParent->m_hWnd : nullptr;
    if (!hWnd)
        if (CWinThread* thread = AfxGetThread())
            if (thread->m_pMainWnd)
                hWnd = thread->m_pMainWnd->m_hWnd;
    HWND top = hWnd;
    if (top)
        for (HWND up = ParentOrOwner(top); up; up = ParentOrOwner(up))
            top = up;
    // Without a parent of the caller's, the owner is whatever pop-up the user last used.
    if (!pParent && top)
        hWnd = ::GetLastActivePopup(top);
    if (pWndTop) {
        if (top && top != hWnd && ::IsWindowEnabled(top)) {
            *pWndTop = top;
            ::EnableWindow(top, FALSE);
        } else {
            *pWndTop = nullptr;
        }
    }
    return FromHandle(hWnd);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == nID) {
            CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(child) : FromHandle(child);
            if (pWnd)
                return pWnd;
        }
    }
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd wrapper(child);
        CWnd* found = wrapper.GetDescendantWindow(nID, bOnlyPerm);
        wrapper.m_hWnd = nullptr;
        if (found)
            return found;
    }
    return nullptr;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const DWORD style = GetStyle();
    HWND center = pAlternateOwner ? pAlternateOwner->m_hWnd
                  : (style & WS_CHILD) ? ::GetParent(m_hWnd)
                                       : ::GetWindow(m_hWnd, GW_OWNER);
    // A window may name another to centre on (a frame answers for its views).
    if (center)
        if (auto other = reinterpret_cast<HWND>(::SendMessage(center, WM_QUERYCENTERWND, 0, 0)))
            center = other;

    CRect self;
    GetWindowRect(&self);
    CRect area;
    CRect around;
    if (!(style & WS_CHILD)) {
        if (!::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0))
            area.SetRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        if (!center || !::IsWindowVisible(center) || ::IsIconic(center))
            around = area;
        else
            ::GetWindowRect(center, &around);
    } else {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::GetClientRect(center, &around);
        ::MapWindowPoints(center, parent, reinterpret_cast<LPPOINT>(&around), 2);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&self), 2);
    }
    int left = (around.left + around.right) / 2 - self.Width() / 2;
    int top = (around.top + around.bottom) / 2 - self.Height() / 2;
    // Keep it inside the area, its top-left corner first.
    if (left + self.Width() > area.right)
        left = area.right - self.Width();
    if (left < area.left)
        left = area.left;
    if (top + self.Height() > area.bottom)
        top = area.bottom - self.Height();
    if (top < area.top)
        top = area.top;
    ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Styles ----

namespace {

BOOL ModifyLong(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const auto style = static_cast<DWORD>(::GetWindowLong(hWnd, index));
    const DWORD changed = (style & ~dwRemove) | dwAdd;
    if (changed == style)
        return FALSE;
    ::SetWindowLong(hWnd, index, static_cast<LONG>(changed));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

// ---- Dialog initialisation data ----

BOOL CWnd::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_DLGINIT);
    HRSRC resource = module ? ::FindResource(module, lpszResourceName, RT_DLGINIT) : nullptr;
    if (!resource)
        return TRUE;   // a dialog without initialisation data has nothing to do
    return ExecuteDlgInit(::LockResource(::LoadResource(module, resource)), ::SizeofResource(module, resource));
}

BOOL CWnd::ExecuteDlgInit(LPVOID lpResource, DWORD dwSize)
{
    if (!lpResource)
        return TRUE;
    const auto* data = static_cast<const BYTE*>(lpResource);
    const BYTE* end = data + dwSize;
    BOOL success = TRUE;
    auto word = [](const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); };
    while (end - data >= 2) {
        const WORD id = word(data);
        if (id == 0)
            return success;
        if (end - data < 8)
            return FALSE;   // a record cut short
        WORD message = word(data + 2);
        const DWORD length = static_cast<DWORD>(data[4] | (data[5] << 8) | (data[6] << 16)) |
                             (static_cast<DWORD>(data[7]) << 24);
        data += 8;
        if (length > static_cast<DWORD>(end - data))
            return FALSE;   // data running past the resource
        // Records of the 16-bit numbering name the same two messages.
        if (message == 0x0401)
            message = LB_ADDSTRING;
        else if (message == 0x0403)
            message = CB_ADDSTRING;
        if (message == LB_ADDSTRING || message == CB_ADDSTRING) {
            // The text need not end with its NUL inside the record: copy it to be sure.
            std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), length));
            HWND control = ::GetDlgItem(m_hWnd, id);
            if (!control || ::SendMessage(control, message, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0)
                success = FALSE;   // no such control, or it is full
        } else {
            success = FALSE;   // a message this data cannot carry
        }
        data += length;
    }
    return end == data ? success : FALSE;
}

// ---- Tool tips ----

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    if (!bEnable) {
        if (m_nFlags & WF_TOOLTIPS)
            CancelToolTips();
        m_nFlags &= ~WF_TOOLTIPS;
        return TRUE;
    }
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (!state->m_hToolTip || !::IsWindow(state->m_hToolTip)) {
        CWnd* top = GetTopLevelParent();
        state->m_hToolTip = ::CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                                             0, 0, top ? top->m_hWnd : m_hWnd, nullptr, nullptr, nullptr);
        state->m_hLastToolWnd = nullptr;
        state->m_hLastHitWnd = nullptr;
        state->m_nLastHit = -1;
        if (!state->m_hToolTip)
            return FALSE;
    }
    m_nFlags |= WF_TOOLTIPS;
    return TRUE;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
    if (!child || child == m_hWnd)
        return -1;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(child);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return ::GetDlgCtrlID(child);
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    const UINT message = pMsg->message;
    if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP &&
        message != WM_RBUTTONDOWN && message != WM_RBUTTONUP && message != WM_MBUTTONDOWN &&
        message != WM_MBUTTONUP)
        return;
    AFX_THREAD_STATE* state = AfxGetThreadState();
    const HWND tip = state->m_hToolTip;
    if (!tip || !::IsWindow(tip) || !pMsg->hwnd)
        return;
    POINT point{GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam)};
    ::MapWindowPoints(pMsg->hwnd, m_hWnd, &point, 1);
    TOOLINFO info{};
    info.cbSize = sizeof info;
    const INT_PTR hit = OnToolHitTest(CPoint(point), &info);
    if (state->m_hLastHitWnd != m_hWnd || state->m_nLastHit != hit) {
        if (state->m_hLastToolWnd) {
            TOOLINFO old{};
            old.cbSize = sizeof old;
            old.hwnd = state->m_hLastToolWnd;
            old.uId = state->m_nLastToolId;
            ::SendMessage(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&old));
            state->m_hLastToolWnd = nullptr;
        }
        if (hit != -1) {
            ::SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
            state->m_hLastToolWnd = info.hwnd;
            state->m_nLastToolId = info.uId;
        }
        state->m_hLastHitWnd = m_hWnd;
        state->m_nLastHit = hit;
    }
    if (hit != -1)
        ::SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}

void PASCAL CWnd::CancelToolTips(BOOL)
{
    HWND tip = AfxGetThreadState()->m_hToolTip;
    if (tip && ::IsWindow(tip))
        ::SendMessage(tip, TTM_POP, 0, 0);
}

// ---- Window classes ----

BOOL AfxRegisterClass(WNDCLASS* lpWndClass)
{
    WNDCLASS existing{};
    if (::GetClassInfo(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClass(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // The name says what the class is, so asking twice gives the same class.
    static std::mutex lock;
    static std::map<std::string, std::string> names;
    std::lock_guard guard(lock);
    char name[128];
    snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
             static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    auto [it, added] = names.emplace(name, name);
    if (added) {
        WNDCLASS wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProc;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = it->second.c_str();
        if (!AfxRegisterClass(&wc)) {
            names.erase(it);
            return nullptr;
        }
    }
    return it->second.c_str();
}
