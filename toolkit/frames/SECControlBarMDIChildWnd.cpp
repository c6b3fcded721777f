#include "toolkit/frames/SECControlBarMDIChildWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECGlobalData.h"

// ---- What both containers do with their dock bar ----------------------------------------------

SECMDIFloatHost::SECMDIFloatHost()
{
    m_wndDockBar.m_bFloating = TRUE;
    m_wndDockBar.m_bAutoDelete = FALSE;   // a member, freed with the window
}

SECMDIFloatHost::~SECMDIFloatHost() = default;

BOOL SECMDIFloatHost::CreateFloatDockBar(CMDIChildWnd& self)
{
    CWnd* main = self.GetMDIFrame();
    if (!main)
        main = AfxGetMainWnd();
    if (!main)
        return FALSE;
    const DWORD align = m_wndDockBar.m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (!m_wndDockBar.Create(main, 0x50001000 | align, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    m_wndDockBar.SetParent(&self);
    return TRUE;
}

CControlBar* SECMDIFloatHost::TheBar() const
{
    if (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)
        return nullptr;
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(static_cast<int>(i)))
            return bar;
    return nullptr;
}

void SECMDIFloatHost::TakeBarTitle(CWnd& self)
{
    if (!m_wndDockBar.m_hWnd)
        return;
    CString title;
    m_wndDockBar.GetWindowText(title);
    CString current;
    self.GetWindowText(current);
    if (current != title)
        self.SetWindowText(title);
}

void SECMDIFloatHost::FitBarToSize(UINT nType, int cx, int cy)
{
    CControlBar* bar = TheBar();
    if (!bar || !bar->IsVisible() || nType == SIZE_MINIMIZED)
        return;
    const SECGlobalData& data = SECGetGlobalData();
    CSize size = bar->CalcDynamicLayout(cx + 2 * data.m_cxBorder2, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    size = bar->CalcDynamicLayout(cy + 2 * data.m_cyBorder2, LM_HORZ | LM_MRUWIDTH | LM_LENGTHY | LM_COMMIT);
    if (!m_wndDockBar.m_hWnd)
        return;
    // The dock bar lays the bar out with strips of its own; the bar gives them back, so that the
    // window snapped to its dock bar keeps the size it was given instead of growing at every
    // layout (and at every start, when its saved place is put back).
    AFX_SIZEPARENTPARAMS query{};
    AFX_SIZEPARENTPARAMS* old = m_wndDockBar.m_pLayout;
    m_wndDockBar.m_pLayout = &query;
    const CSize asked = m_wndDockBar.CalcFixedLayout(FALSE, m_wndDockBar.IsHorzDockBar());
    m_wndDockBar.m_pLayout = old;
    if (asked.cx != cx && asked.cx > 0)
        size = bar->CalcDynamicLayout(size.cx - (asked.cx - cx), LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    if (asked.cy != cy && asked.cy > 0)
        bar->CalcDynamicLayout(size.cy - (asked.cy - cy), LM_HORZ | LM_MRUWIDTH | LM_LENGTHY | LM_COMMIT);
}

bool SECMDIFloatHost::HideBarOnClose(CMDIChildWnd& self)
{
    CControlBar* bar = TheBar();
    CMDIFrameWnd* main = self.GetMDIFrame();
    if (!bar || !main)
        return false;
    ::SendMessage(main->m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(self.m_hWnd), 0);
    main->CFrameWnd::ShowControlBar(bar, FALSE, FALSE);
    return true;
}

void SECMDIFloatHost::RememberFloatPos(CWnd& self)
{
    if (CControlBar* bar = TheBar())
        if (auto* context = dynamic_cast<SECDockContext*>(bar->m_pDockContext)) {
            CRect rect;
            self.GetWindowRect(&rect);
            context->m_ptMDIFloatPos = rect.TopLeft();
        }
}

void SECMDIFloatHost::RefreshMainMenu(CMDIChildWnd& self)
{
    if (CMDIFrameWnd* main = self.GetMDIFrame(); main && main->m_hWndMDIClient)
        ::PostMessage(main->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

namespace {

// A container has no client edge: the bar draws its own borders.
void DropClientEdge(CREATESTRUCT& cs)
{
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

} // namespace

// ---- In an MDI frame ----------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(SECControlBarMDIChildWnd, SECMDIChildWnd)

BEGIN_MESSAGE_MAP(SECControlBarMDIChildWnd, SECMDIChildWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

BOOL SECControlBarMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECMDIChildWnd::PreCreateWindow(cs))
        return FALSE;
    DropClientEdge(cs);
    return TRUE;
}

BOOL SECControlBarMDIChildWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    return CreateFloatDockBar(*this);
}

void SECControlBarMDIChildWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    SECMDIChildWnd::RecalcLayout(bNotify);
    TakeBarTitle(*this);
}

void SECControlBarMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    FitBarToSize(nType, cx, cy);
    CFrameWnd::OnSize(nType, cx, cy);
}

void SECControlBarMDIChildWnd::OnClose()
{
    if (!HideBarOnClose(*this))
        CFrameWnd::OnClose();
}

void SECControlBarMDIChildWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    RememberFloatPos(*this);
    DefWindowProc(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(lpwndpos));
}

void SECControlBarMDIChildWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    DefWindowProc(WM_SHOWWINDOW, bShow, nStatus);
    RefreshMainMenu(*this);
}

// ---- In a workbook: the same as a sheet with its tab ---------------------------------------------

IMPLEMENT_DYNCREATE(SECControlBarWorksheet, SECWorksheet)

BOOL SECControlBarWorksheet::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECWorksheet::PreCreateWindow(cs))
        return FALSE;
    DropClientEdge(cs);
    return TRUE;
}

BOOL SECControlBarWorksheet::OnCreateClient(LPCREATESTRUCT, CCreateContext*)
{
    return CreateFloatDockBar(*this);
}

void SECControlBarWorksheet::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    SECWorksheet::RecalcLayout(bNotify);
    TakeBarTitle(*this);
}

LRESULT SECControlBarWorksheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        FitBarToSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CLOSE:
        if (HideBarOnClose(*this))
            return 0;
        break;
    case WM_WINDOWPOSCHANGED:
        RememberFloatPos(*this);
        return DefWindowProc(message, wParam, lParam);
    case WM_SHOWWINDOW: {
        // The sheet's tab follows its window too.
        const LRESULT result = SECWorksheet::WindowProc(message, wParam, lParam);
        RefreshMainMenu(*this);
        return result;
    }
    default:
        break;
    }
    return SECWorksheet::WindowProc(message, wParam, lParam);
}
