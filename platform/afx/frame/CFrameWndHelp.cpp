// The frame's context-help mode: a question-mark pointer, then the help of what the user clicks
// or of the menu command chosen. The mode is a state of the top-level frame, not a loop of its
// own: the program's loop goes on, and the frame takes the mouse and keys first while it lasts.
#include "platform/afx/frame/CFrameWnd.h"

#include "platform/afx/AfxMessages.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CControlBar.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"

namespace {

// How many frames of this thread are in help mode.
thread_local int g_nFramesInHelpMode = 0;

bool IsMouseDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
           message == WM_NCLBUTTONDBLCLK;
}

bool IsOtherMouseDown(UINT message)
{
    return message == WM_RBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCMBUTTONDOWN;
}

} // namespace

CFrameWnd* CFrameWnd::GetHelpModeFrame() const
{
    HWND hTop = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    auto* pTop = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hTop));
    return pTop != nullptr ? pTop : const_cast<CFrameWnd*>(this);
}

DWORD_PTR CFrameWnd::HelpContextAt(HWND hWnd, POINT ptScreen) const
{
    for (HWND h = hWnd; h != nullptr; h = (::GetWindowLong(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : nullptr) {
        POINT pt = ptScreen;
        ::ScreenToClient(h, &pt);
        if (const LRESULT lContext = ::SendMessage(h, WM_HELPHITTEST, 0, MAKELPARAM(pt.x, pt.y)); lContext != 0)
            return static_cast<DWORD_PTR>(lContext);
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd == nullptr)
            continue;
        if (auto* pBar = dynamic_cast<CControlBar*>(pWnd)) {
            // A bar's button is its command; the rest of the bar is the bar itself.
            const INT_PTR nHit = pBar->OnToolHitTest(CPoint(pt.x, pt.y), nullptr);
            if (nHit > 0 && nHit != 0xFFFF)
                return HID_BASE_COMMAND + static_cast<DWORD_PTR>(nHit);
            if (const int nId = ::GetDlgCtrlID(h); nId > 0)
                return HID_BASE_RESOURCE + static_cast<DWORD_PTR>(nId);
        }
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(pWnd); pFrame != nullptr && pFrame->m_nIDHelp != 0)
            return HID_BASE_RESOURCE + pFrame->m_nIDHelp;
    }
    return m_nIDHelp != 0 ? HID_BASE_RESOURCE + m_nIDHelp : 0;
}

void CFrameWnd::OnContextHelp()
{
    CFrameWnd* pTop = GetHelpModeFrame();
    if (pTop != this) {
        pTop->OnContextHelp();
        return;
    }
    if (m_bHelpMode || !::IsWindowEnabled(m_hWnd))
        return;
    m_bHelpMode = TRUE;
    ++g_nFramesInHelpMode;
    SetMessageText(AFX_IDS_HELPMODEMESSAGE);
    ::SetCapture(m_hWnd);
    ::SetCursor(::LoadCursor(nullptr, IDC_HELP));
}

void CFrameWnd::ExitHelpMode(DWORD_PTR dwContext)
{
    if (!m_bHelpMode)
        return;
    m_bHelpMode = FALSE;
    --g_nFramesInHelpMode;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    if (dwContext != 0)
        if (CWinApp* pApp = AfxGetApp())
            pApp->WinHelp(dwContext, HELP_CONTEXT);
}

BOOL CFrameWnd::PreTranslateHelpMode(MSG* pMsg)
{
    // Asked for every message: with no frame in the mode the answer costs one load.
    if (g_nFramesInHelpMode == 0)
        return FALSE;
    CFrameWnd* pTop = GetHelpModeFrame();
    if (!pTop->m_bHelpMode)
        return FALSE;
    if (pTop != this)
        return pTop->PreTranslateHelpMode(pMsg);
    const UINT m = pMsg->message;
    // The capture went elsewhere (another window took the mouse): the mode is over.
    if (::GetCapture() != m_hWnd) {
        ExitHelpMode(0);
        return FALSE;
    }
    // The menu keys (Alt, Alt with a letter, F10) open the menus as they do outside the mode;
    // the command chosen there gives its help, as one chosen with the mouse does.
    if (m == WM_SYSKEYDOWN)
        return FALSE;
    if (m == WM_SYSKEYUP || m == WM_SYSCHAR)
        return HelpModeMenuKey(pMsg);
    if (m == WM_KEYDOWN) {
        // Esc, or any other key but the shift keys, leaves the mode without help.
        if (pMsg->wParam != VK_SHIFT && pMsg->wParam != VK_CONTROL)
            ExitHelpMode(0);
        return TRUE;
    }
    if (m == WM_KEYUP || m == WM_CHAR)
        return TRUE;
    if (m == WM_MOUSEMOVE || m == WM_NCMOUSEMOVE) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HELP));
        return TRUE;
    }
    if (IsOtherMouseDown(m)) {
        ExitHelpMode(0);
        return TRUE;
    }
    if (m == WM_LBUTTONUP || m == WM_NCLBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP)
        return TRUE;
    if (!IsMouseDown(m))
        return FALSE;
    HWND hHit = ::WindowFromPoint(pMsg->pt);
    if (hHit == nullptr || ::GetAncestor(hHit, GA_ROOT) != m_hWnd) {
        ExitHelpMode(0);   // a click outside the frame ends the mode
        return TRUE;
    }
    if (hHit == m_hWnd && ::SendMessage(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pMsg->pt.x, pMsg->pt.y)) == HTMENU) {
        // The menu opens as the click would open it; the command chosen there is posted as the
        // menu closes, and its help is given instead of running it.
        ::ReleaseCapture();
        ::SendMessage(m_hWnd, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(pMsg->pt.x, pMsg->pt.y));
        AfterHelpModeMenu();
        return TRUE;
    }
    ExitHelpMode(HelpContextAt(hHit, pMsg->pt));
    return TRUE;
}

BOOL CFrameWnd::HelpModeMenuKey(MSG* pMsg)
{
    // The key goes its way now, so that a menu it opens runs here; a menu takes the capture
    // and lets it go as it closes, and a key that opened none leaves the mode as it was.
    ::DispatchMessage(pMsg);
    if (::GetCapture() != m_hWnd)
        AfterHelpModeMenu();
    return TRUE;
}

void CFrameWnd::AfterHelpModeMenu()
{
    MSG command;
    if (::PeekMessage(&command, m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && command.lParam == 0 &&
        LOWORD(command.wParam) != 0) {
        ExitHelpMode(HID_BASE_COMMAND + LOWORD(command.wParam));
        return;
    }
    // Closed without a command: the question mark stays, and a click that closed the menu
    // asks for the help of what it was on, as any other click in the mode.
    ::SetCapture(m_hWnd);
    ::SetCursor(::LoadCursor(nullptr, IDC_HELP));
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (m_bHelpMode && lParam == 0 && nID != 0 && nID != ID_CONTEXT_HELP) {
        ExitHelpMode(HID_BASE_COMMAND + nID);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}
