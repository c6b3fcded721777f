#include "toolkit/frames/SECControlBarMDIChildWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECGlobalData.h"

IMPLEMENT_DYNCREATE(SECControlBarMDIChildWnd, SECMDIChildWnd)

BEGIN_MESSAGE_MAP(SECControlBarMDIChildWnd, SECMDIChildWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

SECControlBarMDIChildWnd::SECControlBarMDIChildWnd()
{
    m_wndDockBar.m_bFloating = TRUE;
    m_wndDockBar.m_bAutoDelete = FALSE;   // a member, freed with the window
}

SECControlBarMDIChildWnd::~SECControlBarMDIChildWnd() = default;

BOOL SECControlBarMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECMDIChildWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    return TRUE;
}

BOOL SECControlBarMDIChildWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    // Made in the main frame, so that the frame lists it among its bars, then moved in here.
    CWnd* main = GetMDIFrame();
    if (!main)
        main = AfxGetMainWnd();
    if (!main)
        return FALSE;
    const DWORD align = m_wndDockBar.m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (!m_wndDockBar.Create(main, 0x50001000 | align, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    m_wndDockBar.SetParent(this);
    return TRUE;
}

CControlBar* SECControlBarMDIChildWnd::TheBar() const
{
    if (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)
        return nullptr;
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(static_cast<int>(i)))
            return bar;
    return nullptr;
}

void SECControlBarMDIChildWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    SECMDIChildWnd::RecalcLayout(bNotify);
    if (m_wndDockBar.m_hWnd) {
        CString title;
        m_wndDockBar.GetWindowText(title);
        CString current;
        GetWindowText(current);
        if (current != title)
            SetWindowText(title);
    }
}

void SECControlBarMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    CControlBar* bar = TheBar();
    if (bar && bar->IsVisible() && nType != SIZE_MINIMIZED) {
        const SECGlobalData& data = SECGetGlobalData();
        bar->CalcDynamicLayout(cx + 2 * data.m_cxBorder2, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
        bar->CalcDynamicLayout(cy + 2 * data.m_cyBorder2, LM_HORZ | LM_MRUWIDTH | LM_LENGTHY | LM_COMMIT);
    }
    CFrameWnd::OnSize(nType, cx, cy);
}

void SECControlBarMDIChildWnd::OnClose()
{
    CControlBar* bar = TheBar();
    CMDIFrameWnd* main = GetMDIFrame();
    if (!bar || !main) {
        CFrameWnd::OnClose();
        return;
    }
    // Closing hides the bar; the window stays for it to come back to.
    ::SendMessage(main->m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    main->CFrameWnd::ShowControlBar(bar, FALSE, FALSE);
}

void SECControlBarMDIChildWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    if (CControlBar* bar = TheBar())
        if (auto* context = dynamic_cast<SECDockContext*>(bar->m_pDockContext)) {
            CRect rect;
            GetWindowRect(&rect);
            context->m_ptMDIFloatPos = rect.TopLeft();
        }
    DefWindowProc(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(lpwndpos));
}

void SECControlBarMDIChildWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    DefWindowProc(WM_SHOWWINDOW, bShow, nStatus);
    if (CMDIFrameWnd* main = GetMDIFrame(); main && main->m_hWndMDIClient)
        ::PostMessage(main->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}
