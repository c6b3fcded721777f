#include "platform/afx/frame/CMiniFrameWnd.h"

#include "platform/afx/AfxMessages.h"
#include "platform/win/Cursor.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

namespace {

// The window styles the MFS_ edge styles stand for.
DWORD WindowStyleOf(DWORD style)
{
    if (style & (MFS_4THICKFRAME | MFS_THICKFRAME | MFS_MOVEFRAME))
        style |= WS_THICKFRAME;
    return style;
}

} // namespace

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!lpClassName)
        lpClassName = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                          ::GetSysColorBrush(COLOR_3DFACE));
    if (!lpClassName)
        return FALSE;
    // A top-level mini frame's id is no menu.
    const auto idOrMenu = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    // The default rectangle asks for the default place and size, never for a width computed
    // from its sentinel.
    const bool useDefault = EqualRect(&rect, &rectDefault) != FALSE;
    const int x = useDefault ? CW_USEDEFAULT : rect.left;
    const int y = useDefault ? CW_USEDEFAULT : rect.top;
    const int cx = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
    const int cy = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    if (!CWnd::CreateEx(dwExStyle, lpClassName, lpWindowName, dwStyle, x, y, cx, cy,
                        pParentWnd ? pParentWnd->m_hWnd : nullptr, idOrMenu))
        return FALSE;
    // Made while its frame is active, a synced caption starts out active with it.
    if (dwStyle & MFS_SYNCACTIVE) {
        HWND frame = SyncFrame();
        CWnd* owner = frame ? CWnd::FromHandlePermanent(frame) : nullptr;
        if (frame && (::GetActiveWindow() == frame || (owner && (owner->m_nFlags & WF_STAYACTIVE))))
            ::DefWindowProc(m_hWnd, WM_NCACTIVATE, TRUE, 0);
    }
    return TRUE;
}

void PASCAL CMiniFrameWnd::CalcBorders(LPRECT lpClientRect, DWORD dwStyle, DWORD dwExStyle)
{
    if (!lpClientRect)
        return;
    ::AdjustWindowRectEx(lpClientRect, WindowStyleOf(dwStyle), FALSE, dwExStyle | WS_EX_TOOLWINDOW);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = static_cast<LONG>(WindowStyleOf(static_cast<DWORD>(cs.style)));
    // A captioned mini frame has the small caption of a tool window.
    if ((cs.style & WS_CAPTION) == WS_CAPTION)
        cs.dwExStyle |= WS_EX_TOOLWINDOW;
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

HWND CMiniFrameWnd::SyncFrame() const
{
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner)
        owner = ::GetParent(m_hWnd);
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

LRESULT CMiniFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const DWORD style = GetStyle();
    switch (message) {
    case WM_NCHITTEST: {
        const LRESULT hit = CFrameWnd::WindowProc(message, wParam, lParam);
        if (hit < HTLEFT || hit > HTBOTTOMRIGHT)
            return hit;
        if (style & MFS_MOVEFRAME)
            return HTCAPTION;
        if ((style & MFS_4THICKFRAME) && hit != HTLEFT && hit != HTRIGHT && hit != HTTOP && hit != HTBOTTOM) {
            // No corners: the edge the point is on sizes, whatever the corner zone's reach
            // on a frame as short as a floating bar.
            CRect window;
            GetWindowRect(&window);
            const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            const int fy = ::GetSystemMetrics(SM_CYFRAME);
            if (pt.y < window.top + fy)
                return HTTOP;
            if (pt.y >= window.bottom - fy)
                return HTBOTTOM;
            return (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) ? HTLEFT : HTRIGHT;
        }
        return hit;
    }
    case WM_GETMINMAXINFO: {
        // A mini frame may be as small as its bar: its frame and a caption with room to close it.
        LRESULT result = CFrameWnd::WindowProc(message, wParam, lParam);
        CRect nonClient(0, 0, 0, 0);
        ::AdjustWindowRectEx(&nonClient, style, FALSE, GetExStyle());
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMinTrackSize.x = nonClient.Width() + ::GetSystemMetrics(SM_CXSMSIZE) + 4;
        mmi->ptMinTrackSize.y = nonClient.Height();
        return result;
    }
    case WM_SYSCOMMAND:
        if ((style & MFS_BLOCKSYSMENU) && ((wParam & 0xFFF0) == SC_KEYMENU || (wParam & 0xFFF0) == SC_MOUSEMENU))
            return 0;
        break;
    case WM_CONTEXTMENU:
        // Over the caption, the default would show the system menu.
        if (style & MFS_BLOCKSYSMENU) {
            const LRESULT hit = ::SendMessage(m_hWnd, WM_NCHITTEST, 0, lParam);
            if (hit == HTCAPTION || hit == HTSYSMENU)
                return 0;
        }
        break;
    case WM_NCACTIVATE:
        // In step with the owner frame: the caption stays active while that frame is active.
        // lParam names the window taking the activation, when it is being passed on.
        if ((style & MFS_SYNCACTIVE) && !wParam) {
            HWND frame = SyncFrame();
            HWND taking = reinterpret_cast<HWND>(lParam);
            if (frame && (::GetActiveWindow() == frame || taking == frame))
                wParam = TRUE;
        }
        break;
    case WM_FLOATSTATUS: {
        // The owner frame tells its floating windows when it shows, hides, activates or is
        // disabled; a synced caption follows its activation.
        // Only what the frame hid comes back with it: a palette its user closed stays closed.
        if ((wParam & FS_SHOW) && (m_nFlags & WF_TEMPHIDE)) {
            m_nFlags &= ~static_cast<UINT>(WF_TEMPHIDE);
            ::ShowWindow(m_hWnd, SW_SHOWNA);
        }
        if ((wParam & FS_HIDE) && ::IsWindowVisible(m_hWnd)) {
            m_nFlags |= WF_TEMPHIDE;
            ::ShowWindow(m_hWnd, SW_HIDE);
        }
        if (wParam & FS_ENABLE)
            ::EnableWindow(m_hWnd, TRUE);
        if (wParam & FS_DISABLE)
            ::EnableWindow(m_hWnd, FALSE);
        if ((style & MFS_SYNCACTIVE) && (wParam & (FS_ACTIVATE | FS_DEACTIVATE)))
            ::DefWindowProc(m_hWnd, WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE, 0);
        return (style & MFS_SYNCACTIVE) && (wParam & FS_SYNCACTIVE) ? TRUE : FALSE;
    }
    default:
        break;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}
