// SECTabWndBase / SECTabWnd: clients created and switched by tab, the strip at the bottom with
// the divider and the shared scroll bars, and each tab's remembered scroll positions.
#include "toolkit/controls/SECTabWnd.h"

#include <algorithm>

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/core/CException.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "toolkit/res/ToolkitRes.h"

namespace {

SCROLLINFO EmptyScrollState()
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    return si;
}

}   // namespace

// ---------------------------------------------------------------- SECTabWndBase

IMPLEMENT_DYNAMIC(SECTabWndBase, CWnd)

BEGIN_MESSAGE_MAP(SECTabWndBase, CWnd)
    ON_WM_DESTROY()
    ON_MESSAGE(TCM_TABSEL, &SECTabWndBase::OnTabSel)
    ON_MESSAGE(TCM_TABREACTIVATE, &SECTabWndBase::OnTabReactivate)
END_MESSAGE_MAP()

SECTabWndBase::SECTabWndBase() = default;
SECTabWndBase::~SECTabWndBase() = default;

BOOL SECTabWndBase::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT&, CWnd* pParentWnd, UINT nID, void*)
{
    return Create(pParentWnd, dwStyle, nID);
}

BOOL SECTabWndBase::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    dwStyle &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    m_pNotifyWnd = pParentWnd;
    if (!m_hWnd) {
        LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
        if (!CWnd::CreateEx(0, cls, nullptr, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
            return FALSE;
    }
    try {
        if (!CreateTabCtrl(dwStyle, kTabCtrlId))
            AfxThrowResourceException();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL SECTabWndBase::CreateScrollBarCtrl(DWORD dwStyle, UINT nID)
{
    return ::CreateWindowEx(0, "SCROLLBAR", nullptr, dwStyle | WS_CHILD, 0, 0, 1, 1, m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), nullptr, nullptr) != nullptr;
}

CWnd* SECTabWndBase::CreateClient(CRuntimeClass* pViewClass, CCreateContext* pContext, UINT nID)
{
    CObject* object = pViewClass ? pViewClass->CreateObject() : nullptr;
    auto* wnd = dynamic_cast<CWnd*>(object);
    if (!wnd) {
        delete object;
        AfxThrowMemoryException();
    }
    m_pCreating = wnd;
    if (nID == static_cast<UINT>(-1))
        nID = kFirstClientId + static_cast<UINT>(GetTabCount());
    const BOOL made =
        wnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext);
    m_pCreating = nullptr;
    if (!made) {
        delete wnd;   // a window that never came to be owns nothing
        return nullptr;
    }
    return wnd;
}

CWnd* SECTabWndBase::InsertTab(CRuntimeClass* pViewClass, int nIndex, LPCTSTR lpszLabel, CCreateContext* pContext,
                               UINT nID)
{
    CWnd* wnd = CreateClient(pViewClass, pContext, nID);
    if (wnd && !InsertTab(wnd, nIndex, lpszLabel))
        return nullptr;
    return wnd;
}

BOOL SECTabWndBase::InsertTab(CWnd* pWnd, int nIndex, LPCTSTR lpszLabel)
{
    if (!m_pTabCtrl || !m_pTabCtrl->InsertTab(nIndex, lpszLabel, pWnd))
        return FALSE;
    SetTabFlags(nIndex, 0);
    if (pWnd && pWnd != m_pActiveWnd && pWnd->m_hWnd)
        pWnd->ShowWindow(SW_HIDE);
    return TRUE;
}

CWnd* SECTabWndBase::AddTab(CRuntimeClass* pViewClass, LPCTSTR lpszLabel, CCreateContext* pContext, UINT nID)
{
    CWnd* wnd = CreateClient(pViewClass, pContext, nID);
    if (wnd && !AddTab(wnd, lpszLabel))
        return nullptr;
    return wnd;
}

BOOL SECTabWndBase::AddTab(CWnd* pWnd, LPCTSTR lpszLabel)
{
    if (!m_pTabCtrl || !m_pTabCtrl->AddTab(lpszLabel, pWnd))
        return FALSE;
    SetTabFlags(GetTabCount() - 1, 0);
    if (pWnd && pWnd != m_pActiveWnd && pWnd->m_hWnd)
        pWnd->ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL SECTabWndBase::RemoveTab(int nIndex)
{
    LPCTSTR label;
    BOOL selected;
    CWnd* wnd = nullptr;
    DWORD_PTR e1, e2;
    if (!GetTabInfo(nIndex, label, selected, wnd, e1, e2))
        return FALSE;
    if (wnd == m_pActiveWnd)
        m_pActiveWnd = nullptr;
    return m_pTabCtrl->DeleteTab(nIndex);
}

BOOL SECTabWndBase::RemoveTab(CWnd* pWnd)
{
    int index = -1;
    return FindTab(pWnd, index) && RemoveTab(index);
}

BOOL SECTabWndBase::RenameTab(int nIndex, LPCTSTR lpszLabel)
{
    return m_pTabCtrl && m_pTabCtrl->RenameTab(nIndex, lpszLabel);
}

BOOL SECTabWndBase::RenameTab(CWnd* pWnd, LPCTSTR lpszLabel)
{
    int index = -1;
    return FindTab(pWnd, index) && RenameTab(index, lpszLabel);
}

BOOL SECTabWndBase::ActivateTab(int nIndex)
{
    LPCTSTR label;
    BOOL selected;
    CWnd* wnd = nullptr;
    DWORD_PTR e1, e2;
    return GetTabInfo(nIndex, label, selected, wnd, e1, e2) && ActivateTab(wnd, nIndex);
}

BOOL SECTabWndBase::ActivateTab(CWnd* pWnd)
{
    int index = -1;
    return FindTab(pWnd, index) && ActivateTab(pWnd, index);
}

BOOL SECTabWndBase::ActivateTab(CWnd* pWnd, int nIndex)
{
    if (!m_pTabCtrl || nIndex < 0 || nIndex >= GetTabCount())
        return FALSE;
    if (pWnd && pWnd == m_pActiveWnd)
        return TRUE;
    int active = -1;
    if (!m_pTabCtrl->GetActiveTab(active) || active != nIndex) {
        // The strip answers with its activation message; this activation is already under way.
        m_bInActivate = TRUE;
        m_pTabCtrl->ActivateTab(nIndex);
        m_bInActivate = FALSE;
    }
    if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
        m_pActiveWnd->ShowWindow(SW_HIDE);
    m_pActiveWnd = pWnd;
    if (pWnd && pWnd->m_hWnd) {
        pWnd->ShowWindow(SW_SHOW);
        if (auto* view = dynamic_cast<CView*>(pWnd)) {
            if (CFrameWnd* frame = GetParentFrame()) {
                frame->SetActiveView(view, TRUE);
                frame->SetWindowPos(nullptr, 0, 0, 0, 0,
                                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
        } else {
            SetFocus();
            pWnd->SetFocus();
            ::SetActiveWindow(::GetAncestor(pWnd->m_hWnd, GA_ROOT));
        }
    }
    RecalcLayout();
    Invalidate(TRUE);
    return TRUE;
}

void SECTabWndBase::ClearSelection()
{
    if (m_pTabCtrl)
        m_pTabCtrl->ClearSelection();
}

void SECTabWndBase::ScrollToTab(int nIndex)
{
    if (m_pTabCtrl)
        m_pTabCtrl->ScrollToTab(nIndex);
}

void SECTabWndBase::ScrollToTab(CWnd* pWnd)
{
    int index = -1;
    if (FindTab(pWnd, index))
        ScrollToTab(index);
}

void SECTabWndBase::SetActiveView()
{
    int active = -1;
    if (!m_pTabCtrl || !m_pTabCtrl->GetActiveTab(active) || !m_pActiveWnd || !m_pActiveWnd->m_hWnd)
        return;
    if (auto* view = dynamic_cast<CView*>(m_pActiveWnd)) {
        if (CFrameWnd* frame = GetParentFrame())
            frame->SetActiveView(view, TRUE);
    } else {
        SetFocus();
        m_pActiveWnd->SetFocus();
    }
}

void SECTabWndBase::GetInsideRect(RECT& rc) const
{
    rc = RECT{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &rc);
}

BOOL SECTabWndBase::GetTabInfo(int nIndex, LPCTSTR& lpszLabel, BOOL& bSelected, CWnd*& pWnd, DWORD_PTR& dwExtra1,
                               DWORD_PTR& dwExtra2) const
{
    void* client = nullptr;
    if (!m_pTabCtrl || !m_pTabCtrl->GetTabInfo(nIndex, lpszLabel, bSelected, client, dwExtra1, dwExtra2))
        return FALSE;
    pWnd = static_cast<CWnd*>(client);
    return TRUE;
}

BOOL SECTabWndBase::FindTab(const CWnd* pWnd, int& nIndex) const
{
    return m_pTabCtrl && m_pTabCtrl->FindTab(pWnd, nIndex);
}

LRESULT SECTabWndBase::OnTabSel(WPARAM wParam, LPARAM)
{
    LPCTSTR label;
    BOOL selected;
    CWnd* wnd = nullptr;
    DWORD_PTR e1, e2;
    const int index = static_cast<int>(wParam);
    if (!m_bInActivate && GetTabInfo(index, label, selected, wnd, e1, e2))
        ActivateTab(wnd, index);
    return 0;
}

LRESULT SECTabWndBase::OnTabReactivate(WPARAM, LPARAM)
{
    SetActiveView();
    return 0;
}

void SECTabWndBase::OnDestroy()
{
    // The strip's window goes with this one's children; its object once they are all gone.
    m_pActiveWnd = nullptr;
    CWnd::OnDestroy();
}

void SECTabWndBase::PostNcDestroy()
{
    m_pTabCtrl.reset();
    CWnd::PostNcDestroy();
}

// ---------------------------------------------------------------- SECTabWnd

IMPLEMENT_DYNCREATE(SECTabWnd, SECTabWndBase)
IMPLEMENT_DYNCREATE(SEC2DTabWnd, SECTabWnd)

BEGIN_MESSAGE_MAP(SECTabWnd, SECTabWndBase)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_HSCROLL, &SECTabWnd::OnScrollMsg)
    ON_MESSAGE(WM_VSCROLL, &SECTabWnd::OnScrollMsg)
    ON_MESSAGE(TCM_TABSEL, &SECTabWnd::OnTabSelNotify)
END_MESSAGE_MAP()

SECTabWnd::SECTabWnd() = default;
SECTabWnd::~SECTabWnd() = default;

BOOL SECTabWnd::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_nButtonMode = (dwStyle & 0x2) ? 2 : (dwStyle & 0x1) ? 1 : 0;
    dwStyle &= ~static_cast<DWORD>(0x3);
    if (!SECTabWndBase::Create(pParentWnd, dwStyle, nID))
        return FALSE;
    LPCSTR cursor = MAKEINTRESOURCE(SEC_IDC_HSPLITBAR);
    if (HINSTANCE module = AfxFindResourceHandle(cursor, RT_CURSOR))
        m_hDividerCursor = ::LoadCursor(module, cursor);
    m_hArrowCursor = ::LoadCursor(nullptr, IDC_ARROW);
    if (!CreateScrollBarCtrl(SBS_HORZ, kHorzBarId) || !CreateScrollBarCtrl(SBS_VERT, kVertBarId))
        return FALSE;
    m_nStripHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    m_cxVScroll = ::GetSystemMetrics(SM_CXVSCROLL);
    m_cyHScroll = ::GetSystemMetrics(SM_CYHSCROLL);
    // The sunken edge belongs round the tabs and clients, not round the pane that holds them.
    if (pParentWnd && (pParentWnd->GetExStyle() & WS_EX_CLIENTEDGE)) {
        pParentWnd->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
        ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    }
    return TRUE;
}

BOOL SECTabWnd::CreateTabCtrl(DWORD, UINT nID)
{
    auto tabs = std::make_unique<SECTabControl>();
    if (!tabs->Create(m_nButtonMode | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID))
        return FALSE;
    m_pTabCtrl = std::move(tabs);
    return TRUE;
}

BOOL SECTabWnd::InsertTab(CWnd* pWnd, int nIndex, LPCTSTR lpszLabel)
{
    if (nIndex < 0 || nIndex > GetTabCount())
        return FALSE;
    m_flags.insert(m_flags.begin() + nIndex, 0);
    m_hState.insert(m_hState.begin() + nIndex, EmptyScrollState());
    m_vState.insert(m_vState.begin() + nIndex, EmptyScrollState());
    if (!SECTabWndBase::InsertTab(pWnd, nIndex, lpszLabel)) {
        m_flags.erase(m_flags.begin() + nIndex);
        m_hState.erase(m_hState.begin() + nIndex);
        m_vState.erase(m_vState.begin() + nIndex);
        return FALSE;
    }
    return TRUE;
}

BOOL SECTabWnd::AddTab(CWnd* pWnd, LPCTSTR lpszLabel) { return InsertTab(pWnd, GetTabCount(), lpszLabel); }

BOOL SECTabWnd::SetTabFlags(int nIndex, DWORD dwFlags)
{
    if (nIndex < 0)
        return FALSE;
    // Past the end the arrays grow to the index, so the word lands where it was meant.
    while (static_cast<int>(m_flags.size()) <= nIndex) {
        m_flags.push_back(0);
        m_hState.push_back(EmptyScrollState());
        m_vState.push_back(EmptyScrollState());
    }
    m_flags[nIndex] = dwFlags;
    return TRUE;
}

DWORD SECTabWnd::GetTabFlags(int nIndex) const
{
    return nIndex >= 0 && nIndex < static_cast<int>(m_flags.size()) ? m_flags[nIndex] : 0;
}

BOOL SECTabWnd::RemoveTab(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return FALSE;
    if (nIndex < static_cast<int>(m_flags.size())) {
        m_flags.erase(m_flags.begin() + nIndex);
        m_hState.erase(m_hState.begin() + nIndex);
        m_vState.erase(m_vState.begin() + nIndex);
    }
    return SECTabWndBase::RemoveTab(nIndex);
}

BOOL SECTabWnd::UsesBar(const CWnd* pWnd, DWORD dwFlag) const
{
    int index = -1;
    return pWnd && FindTab(pWnd, index) && (GetTabFlags(index) & dwFlag) != 0;
}

CWnd* SECTabWnd::GetScrollBarCtrl(int nBar, CWnd* pWnd) const
{
    const CWnd* wnd = pWnd ? pWnd : m_pActiveWnd;
    if (!m_hWnd || !UsesBar(wnd, nBar ? SECTWF_VSCROLL : SECTWF_HSCROLL))
        return nullptr;
    HWND bar = Bar(nBar);
    return bar ? CWnd::FromHandle(bar) : nullptr;
}

BOOL SECTabWnd::ActivateTab(CWnd* pWnd, int nIndex)
{
    if (pWnd && pWnd == m_pActiveWnd)
        return TRUE;
    if (nIndex < 0 || nIndex >= GetTabCount())
        return FALSE;
    // The old client's bars are kept with its tab; the new client's come back.
    int oldIndex = -1;
    if (m_pActiveWnd && FindTab(m_pActiveWnd, oldIndex) && oldIndex < static_cast<int>(m_flags.size())) {
        if (m_flags[oldIndex] & SECTWF_HSCROLL)
            ::GetScrollInfo(Bar(0), SB_CTL, &m_hState[oldIndex]);
        if (m_flags[oldIndex] & SECTWF_VSCROLL)
            ::GetScrollInfo(Bar(1), SB_CTL, &m_vState[oldIndex]);
    }
    const DWORD flags = GetTabFlags(nIndex);
    for (int bar = 0; bar < 2; ++bar) {
        HWND h = Bar(bar);
        if (!h)
            continue;
        const DWORD flag = bar ? SECTWF_VSCROLL : SECTWF_HSCROLL;
        if ((flags & flag) && nIndex < static_cast<int>(m_flags.size())) {
            SCROLLINFO si = bar ? m_vState[nIndex] : m_hState[nIndex];
            si.cbSize = sizeof si;
            si.fMask = SIF_ALL;
            ::SetScrollInfo(h, SB_CTL, &si, TRUE);
            ::ShowWindow(h, SW_SHOWNA);
        } else {
            ::ShowWindow(h, SW_HIDE);
        }
    }
    return SECTabWndBase::ActivateTab(pWnd, nIndex);
}

void SECTabWnd::GetInsideRect(RECT& rc) const
{
    SECTabWndBase::GetInsideRect(rc);
    rc.bottom = std::max(rc.top, rc.bottom - m_nStripHeight);
    if (UsesBar(m_pActiveWnd, SECTWF_VSCROLL))
        rc.right = std::max(rc.left, rc.right - m_cxVScroll);
}

RECT SECTabWnd::GetDividerRect() const
{
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    return RECT{m_nStripWidth, client.bottom - m_nStripHeight, m_nStripWidth + m_cxDivider, client.bottom};
}

void SECTabWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    RECT c;
    ::GetClientRect(m_hWnd, &c);
    const int width = c.right - c.left;
    const bool hbar = UsesBar(m_pActiveWnd, SECTWF_HSCROLL);
    const bool vbar = UsesBar(m_pActiveWnd, SECTWF_VSCROLL);
    struct Move {
        HWND hwnd;
        RECT rc;
        UINT extra;
    };
    std::vector<Move> moves;
    if (hbar) {
        m_nStripWidth = std::clamp(m_nStripWidth, 0, std::max(width - 60, 0));
        moves.push_back({Bar(0), RECT{m_nStripWidth + m_cxDivider, c.bottom - m_nStripHeight, c.right, c.bottom}, 0});
    }
    const int stripWidth = hbar ? m_nStripWidth : width;
    moves.push_back({m_pTabCtrl->m_hWnd, RECT{0, c.bottom - m_nStripHeight, stripWidth, c.bottom}, SWP_NOREDRAW});
    if (!m_bDragging) {
        RECT inside;
        GetInsideRect(inside);
        if (vbar)
            moves.push_back({Bar(1), RECT{c.right - m_cxVScroll, 0, c.right, c.bottom - m_nStripHeight}, 0});
        if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
            moves.push_back({m_pActiveWnd->m_hWnd, inside, 0});
    }
    HDWP dwp = ::BeginDeferWindowPos(static_cast<int>(moves.size()));
    for (const Move& m : moves) {
        if (!m.hwnd)
            continue;
        if (m.hwnd == Bar(0) || m.hwnd == Bar(1)) {
            // A bar squeezed below 2 pixels is marked so it draws nothing.
            const bool tiny = (m.rc.right - m.rc.left) < 2 || (m.rc.bottom - m.rc.top) < 2;
            const LONG style = ::GetWindowLong(m.hwnd, GWL_STYLE);
            ::SetWindowLong(m.hwnd, GWL_STYLE, tiny ? (style | 0x00800000L) : (style & ~0x00800000L));
        }
        RECT now;
        ::GetWindowRect(m.hwnd, &now);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        if (::EqualRect(&now, &m.rc))
            continue;
        dwp = ::DeferWindowPos(dwp, m.hwnd, nullptr, m.rc.left, m.rc.top, m.rc.right - m.rc.left,
                               m.rc.bottom - m.rc.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | m.extra);
    }
    ::EndDeferWindowPos(dwp);
}

void SECTabWnd::OnSize(UINT nType, int cx, int cy)
{
    SECTabWndBase::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED || cx <= 0 || cy <= 0)
        return;
    if (UsesBar(m_pActiveWnd, SECTWF_HSCROLL)) {
        const int most = std::max(cx - 60, 0);
        m_nStripWidth = m_bFirstSize ? most : std::min(m_nStripWidth, most);
    } else if (m_bFirstSize) {
        m_nStripWidth = cx;
    }
    m_bFirstSize = FALSE;
    RecalcLayout();
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        m_pTabCtrl->Invalidate(TRUE);
    const RECT divider = GetDividerRect();
    ::InvalidateRect(m_hWnd, &divider, TRUE);
}

void SECTabWnd::DrawDivider(CDC* pDC)
{
    const RECT rc = GetDividerRect();
    const COLORREF cols[5] = {RGB(0, 0, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNFACE),
                              ::GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)};
    for (int i = 0; i < 5; ++i)
        pDC->FillSolidRect(rc.left + i, rc.top, 1, rc.bottom - rc.top, cols[i]);
}

void SECTabWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        CRect strip;
        m_pTabCtrl->GetWindowRect(&strip);
        ScreenToClient(&strip);
        RECT meet;
        if (::IntersectRect(&meet, &strip, &dc.m_ps.rcPaint)) {
            ::OffsetRect(&meet, -strip.left, -strip.top);
            ::InvalidateRect(m_pTabCtrl->m_hWnd, &meet, TRUE);
        }
    }
    if (UsesBar(m_pActiveWnd, SECTWF_HSCROLL))
        DrawDivider(&dc);
}

BOOL SECTabWnd::OnEraseBkgnd(CDC* pDC)
{
    int active = -1;
    if (!m_pTabCtrl || !m_pTabCtrl->GetActiveTab(active))
        return TRUE;
    if (UsesBar(m_pActiveWnd, SECTWF_HSCROLL) || UsesBar(m_pActiveWnd, SECTWF_VSCROLL)) {
        RECT c;
        GetClientRect(&c);
        pDC->FillSolidRect(c.right - m_cxVScroll, c.top, m_cxVScroll, c.bottom - c.top, ::GetSysColor(COLOR_BTNFACE));
    }
    return TRUE;
}

BOOL SECTabWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this && (m_bOverDivider || m_bDragging)) {
        ::SetCursor(m_hDividerCursor ? m_hDividerCursor : m_hArrowCursor);
        return TRUE;
    }
    return SECTabWndBase::OnSetCursor(pWnd, nHitTest, message);
}

void SECTabWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    const RECT divider = GetDividerRect();
    if (UsesBar(m_pActiveWnd, SECTWF_HSCROLL) && ::PtInRect(&divider, point)) {
        CWnd::SetCapture();
        m_bDragging = TRUE;
        m_nDragOffset = point.x - divider.left;
        return;
    }
    SECTabWndBase::OnLButtonDown(nFlags, point);
}

void SECTabWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bDragging) {
        const RECT divider = GetDividerRect();
        m_bOverDivider = UsesBar(m_pActiveWnd, SECTWF_HSCROLL) && ::PtInRect(&divider, point);
        SECTabWndBase::OnMouseMove(nFlags, point);
        return;
    }
    m_nStripWidth = point.x - m_nDragOffset - 1;
    RecalcLayout();
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        m_pTabCtrl->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    RECT c;
    GetClientRect(&c);
    RECT band{0, c.bottom - m_nStripHeight, c.right, c.bottom};
    RedrawWindow(&band, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void SECTabWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bDragging) {
        m_bDragging = FALSE;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        RecalcLayout();
        return;
    }
    SECTabWndBase::OnLButtonUp(nFlags, point);
}

LRESULT SECTabWnd::OnScrollMsg(WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = GetCurrentMessage();
    if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
        return m_pActiveWnd->SendMessage(msg ? msg->message : WM_HSCROLL, wParam, lParam);
    return 0;
}

LRESULT SECTabWnd::OnTabSelNotify(WPARAM wParam, LPARAM lParam)
{
    OnTabSel(wParam, lParam);
    if (CWnd* notify = GetNotifyWnd(); notify && notify->m_hWnd)
        notify->SendMessage(TCM_TABSEL, wParam, 0);
    return 0;
}
