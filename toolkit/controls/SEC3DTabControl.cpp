// SEC3DTabControl: layout along the chosen side, raised tabs painted through a memory bitmap
// with the four-line edge between tabs and page, and the mouse.
#include "toolkit/controls/SEC3DTabControl.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNAMIC(SEC3DTab, SECTab)
IMPLEMENT_DYNAMIC(SEC3DTabControl, SECTabControlBase)

BEGIN_MESSAGE_MAP(SEC3DTabControl, SECTabControlBase)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void SEC3DTabControl::Initialize(DWORD)
{
    LOGFONT lf{};
    lf.lfHeight = ::GetSystemMetrics(SM_CYHSCROLL) - 1;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = FF_SWISS;
    std::strcpy(lf.lfFaceName, "Arial Narrow");
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_activeFont.CreateFontIndirect(&lf);
    m_nTabHeight = lf.lfHeight + 6;
}

SECTab* SEC3DTabControl::InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient, DWORD_PTR dwExtra1,
                                   DWORD_PTR dwExtra2)
{
    SECTab* tab = SECTabControlBase::InsertTab(nIndex, lpszLabel, pClient, dwExtra1, dwExtra2);
    if (!tab)
        return nullptr;
    static_cast<SEC3DTab*>(tab)->m_csLabel3D = lpszLabel ? lpszLabel : "";
    if (m_hWnd) {
        CRect rc;
        GetClientRect(&rc);
        LayoutTabs(rc.Width(), rc.Height());
        Invalidate(FALSE);
    }
    return tab;
}

BOOL SEC3DTabControl::RenameTab(int nTab, LPCTSTR lpszLabel)
{
    if (!SECTabControlBase::RenameTab(nTab, lpszLabel))
        return FALSE;
    Get3DTab(nTab)->m_csLabel3D = lpszLabel ? lpszLabel : "";
    if (m_hWnd) {
        CRect rc;
        GetClientRect(&rc);
        LayoutTabs(rc.Width(), rc.Height());
        Invalidate(FALSE);
    }
    return TRUE;
}

BOOL SEC3DTabControl::DeleteTab(int nTab)
{
    if (!SECTabControlBase::DeleteTab(nTab))
        return FALSE;
    if (m_hWnd) {
        CRect rc;
        GetClientRect(&rc);
        LayoutTabs(rc.Width(), rc.Height());
        Invalidate(FALSE);
    }
    return TRUE;
}

void SEC3DTabControl::InvalidateTab(int nTab)
{
    if (SEC3DTab* tab = Get3DTab(nTab); tab && m_hWnd) {
        RECT rc = tab->m_rect;
        ::InflateRect(&rc, 2, 2);
        ::InvalidateRect(m_hWnd, &rc, FALSE);
    }
}

void SEC3DTabControl::LayoutTabs(int cx, int cy)
{
    ++m_nLayouts;
    if (cx <= 0 || cy <= 0)
        cx = cy = 1000;
    const DWORD side = GetStyle() & (SEC3DTAB_TOP | SEC3DTAB_BOTTOM | SEC3DTAB_RIGHT | SEC3DTAB_LEFT);
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_activeFont);
    int along = 4;
    for (int i = 0; i < GetTabCount(); ++i) {
        SEC3DTab* tab = Get3DTab(i);
        const int length = dc.GetTextExtent(tab->m_csLabel3D).cx + 20;
        if (Vertical()) {
            const int left = (side & SEC3DTAB_LEFT) ? 0 : cx - m_nTabHeight;
            tab->m_rect = RECT{left, along, left + m_nTabHeight, along + length};
            tab->m_bShown = tab->m_rect.bottom <= cy;
        } else {
            const int top = (side & SEC3DTAB_TOP) ? 0 : cy - m_nTabHeight;
            tab->m_rect = RECT{along, top, along + length, top + m_nTabHeight};
            tab->m_bShown = tab->m_rect.right <= cx;
        }
        tab->m_nWidth = length;
        along += length;
    }
    dc.SelectObject(old);
}

int SEC3DTabControl::TabHitTest(CPoint pt) const
{
    for (int i = 0; i < GetTabCount(); ++i)
        if (::PtInRect(&Get3DTab(i)->m_rect, pt))
            return i;
    return -1;
}

void SEC3DTabControl::OnSize(UINT nType, int cx, int cy)
{
    SECTabControlBase::OnSize(nType, cx, cy);
    LayoutTabs(cx, cy);
    // A large change of the row's extent can move labels between fits: settle it by laying out
    // again, once per tab, three times over.
    const int extent = Vertical() ? cy : cx;
    if (m_nLastExtent >= 0 && std::abs(extent - m_nLastExtent) > 10)
        for (int pass = 0; pass < 3; ++pass)
            for (int i = 0; i < GetTabCount(); ++i)
                LayoutTabs(cx, cy);
    m_nLastExtent = extent;
    Invalidate(FALSE);
}

BOOL SEC3DTabControl::OnEraseBkgnd(CDC*) { return TRUE; }

void SEC3DTabControl::DrawTab3D(CDC* pDC, int nTab, bool active)
{
    SEC3DTab* tab = Get3DTab(nTab);
    RECT rc = tab->m_rect;
    if (active)
        ::InflateRect(&rc, 2, 2);   // the active tab stands out over its neighbours
    pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    pDC->Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), RGB(0, 0, 0));
    RECT inner = rc;
    ::InflateRect(&inner, -1, -1);
    pDC->Draw3dRect(&inner, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW));
    CFont* old = pDC->SelectObject(active ? &m_activeFont : &m_font);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(tab->m_csLabel3D, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->SelectObject(old);
}

void SEC3DTabControl::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    CDC mem;
    CBitmap bitmap;
    if (!mem.CreateCompatibleDC(&paint) || !bitmap.CreateCompatibleBitmap(&paint, client.Width(), client.Height()))
        return;
    CBitmap* oldBitmap = mem.SelectObject(&bitmap);
    mem.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    int active = -1;
    const bool hasActive = GetActiveTab(active) != FALSE;
    for (int i = 0; i < GetTabCount(); ++i)
        if (!(hasActive && i == active) && Get3DTab(i)->m_bShown)
            DrawTab3D(&mem, i, false);
    // The edge between the tabs and the page: white, face, shadow, black from the top or left.
    const DWORD side = GetStyle() & (SEC3DTAB_TOP | SEC3DTAB_BOTTOM | SEC3DTAB_RIGHT | SEC3DTAB_LEFT);
    const COLORREF lines[4] = {::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNFACE),
                               ::GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)};
    for (int k = 0; k < 4; ++k) {
        if (side & SEC3DTAB_TOP)
            mem.FillSolidRect(0, m_nTabHeight + k, client.Width(), 1, lines[k]);
        else if (side & SEC3DTAB_RIGHT)
            mem.FillSolidRect(client.right - m_nTabHeight - 4 + k, 0, 1, client.Height(), lines[k]);
        else if (side & SEC3DTAB_LEFT)
            mem.FillSolidRect(m_nTabHeight + k, 0, 1, client.Height(), lines[k]);
        else
            mem.FillSolidRect(0, client.bottom - m_nTabHeight - 4 + k, client.Width(), 1, lines[k]);
    }
    if (hasActive && Get3DTab(active)) {
        RECT rc = Get3DTab(active)->m_rect, meet;
        ::InflateRect(&rc, 2, 2);
        if (::IntersectRect(&meet, &rc, &paint.m_ps.rcPaint))
            DrawTab3D(&mem, active, true);
    }
    paint.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
}

void SEC3DTabControl::OnLButtonDown(UINT, CPoint point)
{
    const int hit = TabHitTest(point);
    if (hit < 0)
        return;
    int active = -1;
    if (GetActiveTab(active) && active == hit)
        ReactivateTab();
    else
        ActivateTab(hit);
}

void SEC3DTabControl::OnLButtonDblClk(UINT, CPoint point)
{
    for (int i = 0; i < GetTabCount(); ++i)
        if (Get3DTab(i)->m_bShown && ::PtInRect(&Get3DTab(i)->m_rect, point))
            NotifyParent(TCM_TABDBLCLK, static_cast<WPARAM>(i));
}
