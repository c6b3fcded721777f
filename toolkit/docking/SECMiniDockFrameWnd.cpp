#include "toolkit/docking/SECMiniDockFrameWnd.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"
#include "toolkit/res/ToolkitRes.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECMiniDockFrameWnd, CMiniDockFrameWnd)

BEGIN_MESSAGE_MAP(SECMiniDockFrameWnd, CMiniDockFrameWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, &SECMiniDockFrameWnd::OnNcLButtonDownSEC)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, &SECMiniDockFrameWnd::OnNcLButtonDblClkSEC)
    ON_MESSAGE(WM_PARENTNOTIFY, &SECMiniDockFrameWnd::OnParentNotifySEC)
END_MESSAGE_MAP()

SECMiniDockFrameWnd::SECMiniDockFrameWnd()
{
    m_wndSECDockBar.m_bFloating = TRUE;
    m_wndSECDockBar.m_bAutoDelete = FALSE;   // a member, freed with the frame
}

SECMiniDockFrameWnd::~SECMiniDockFrameWnd() = default;

BOOL SECMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    m_bInRecalcLayout = TRUE;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU |
                  FWS_SNAPTOBARS;
    if (!(dwBarStyle & CBRS_SIZE_DYNAMIC))
        style |= MFS_MOVEFRAME;
    // An empty rectangle: the frame snaps to its bars at the first layout.
    const BOOL made = CMiniFrameWnd::CreateEx(0, nullptr, "", style, CRect(0, 0, 0, 0), pParent);
    if (!made) {
        m_bInRecalcLayout = FALSE;
        return FALSE;
    }
    if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
        for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            ::DeleteMenu(menu, command, MF_BYCOMMAND);
        CString close;
        if (close.LoadString(SEC_IDS_CLOSE)) {
            ::DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
            ::AppendMenu(menu, MF_STRING, SC_CLOSE, close);
        }
    }
    CFrameWnd* site = pParent && pParent->IsFrameWnd() ? static_cast<CFrameWnd*>(pParent) : nullptr;
    const DWORD align = (dwBarStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    m_wndSECDockBar.m_pDockSite = site;
    const BOOL docked = m_wndSECDockBar.Create(this, WS_CHILD | WS_VISIBLE | align | (dwBarStyle & CBRS_FLOAT_MULTI),
                                               AFX_IDW_DOCKBAR_FLOAT);
    if (docked && site)
        site->AddControlBar(&m_wndSECDockBar);
    m_bInRecalcLayout = FALSE;
    return docked;
}

CControlBar* SECMiniDockFrameWnd::FirstBar() const
{
    for (INT_PTR i = 0; i < m_wndSECDockBar.m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = m_wndSECDockBar.GetDockedControlBar(static_cast<int>(i)))
            return bar;
    return nullptr;
}

void SECMiniDockFrameWnd::SetTitleFromDockBar()
{
    if (!m_wndSECDockBar.m_hWnd)
        return;
    // The caption shows at most 259 bytes of the dock bar's text, cut before a character that
    // would not fit whole.
    CString text;
    m_wndSECDockBar.GetWindowText(text);
    CString title = SECCutTitle(text, kSECFloatingCaptionBytes);
    CString current;
    GetWindowText(current);
    if (current != title)
        SetWindowText(title);
}

CString SECCutTitle(const CString& text, int nMaxBytes)
{
    if (text.GetLength() <= nMaxBytes)
        return text;
    LPCSTR bytes = text;
    int cut = std::max(nMaxBytes, 0);
    // Back over continuation bytes (10xxxxxx) to the start of the character that crosses.
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    return text.Left(cut);
}

void SECMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (!m_bInRecalcLayout)
        CMiniDockFrameWnd::RecalcLayout(bNotify);
    SetTitleFromDockBar();
}

void SECMiniDockFrameWnd::RecalcLayoutAt(int x, int y, UINT nFlags)
{
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~static_cast<UINT>(idleLayout | idleNotify);
    if (GetStyle() & FWS_SNAPTOBARS) {
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder, &rect, TRUE);
        CalcWindowRect(&rect);
        SetWindowPos(nullptr, x, y, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    } else {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
    SetTitleFromDockBar();
}

void SECMiniDockFrameWnd::OnClose()
{
    // Closing hides the bars; the frame stays for them to come back to.
    m_wndSECDockBar.ShowAll(FALSE);
    RecalcLayout();
    ShowWindow(SW_HIDE);
    if (CFrameWnd* site = m_wndSECDockBar.m_pDockSite)
        site->DelayRecalcLayout();
}

LRESULT SECMiniDockFrameWnd::OnNcLButtonDownSEC(WPARAM wParam, LPARAM lParam)
{
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    CControlBar* bar = FirstBar();
    if (wParam == HTCAPTION) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        if (!(m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI) && bar && bar->m_pDockContext) {
            bar->m_pDockContext->StartDrag(pt);
            return 0;
        }
    } else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT && bar && bar->m_pDockContext) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        bar->m_pDockContext->StartResize(static_cast<int>(wParam), pt);
        return 0;
    }
    return CMiniDockFrameWnd::OnNcLButtonDown(wParam, lParam);
}

LRESULT SECMiniDockFrameWnd::OnNcLButtonDblClkSEC(WPARAM wParam, LPARAM lParam)
{
    if (wParam == HTCAPTION) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        CControlBar* bar = FirstBar();
        if (!(m_wndSECDockBar.m_dwStyle & CBRS_FLOAT_MULTI) && bar && bar->m_pDockContext) {
            bar->m_pDockContext->ToggleDocking();
            return 0;
        }
    }
    return DefWindowProc(WM_NCLBUTTONDBLCLK, wParam, lParam);
}

LRESULT SECMiniDockFrameWnd::OnParentNotifySEC(WPARAM wParam, LPARAM lParam)
{
    const UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN)
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return CMiniDockFrameWnd::OnParentNotify(wParam, lParam);
}
