// SECTabControl: fonts, pens and brushes, tab widths, the trapezoid geometry, painting, the
// scroll buttons with their auto-repeat, and the mouse.
#include <algorithm>
#include <cstring>

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "toolkit/controls/SECTabControl.h"

namespace {

constexpr UINT kAllButtons[] = {SECTAB_BTN_FIRST, SECTAB_BTN_PREV, SECTAB_BTN_NEXT, SECTAB_BTN_LAST};
constexpr UINT kFirstDelay = 300, kRepeatDelay = 20;

}   // namespace

IMPLEMENT_DYNAMIC(SECTabControl, SECTabControlBase)

BEGIN_MESSAGE_MAP(SECTabControl, SECTabControlBase)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECTabControl::~SECTabControl() = default;

void SECTabControl::MakeFont(int nKind, const LOGFONT* pFrom)
{
    LOGFONT lf{};
    if (pFrom) {
        lf = *pFrom;
    } else {
        lf.lfHeight = ::GetSystemMetrics(SM_CYHSCROLL) - 1;
        lf.lfWeight = nKind == 2 ? FW_BOLD : FW_NORMAL;
        lf.lfPitchAndFamily = FF_SWISS;
        std::strcpy(lf.lfFaceName, "Arial Narrow");
    }
    m_fonts[nKind].DeleteObject();
    m_fonts[nKind].CreateFontIndirect(&lf);
}

void SECTabControl::Initialize(DWORD dwStyle)
{
    m_nStripHeight = ::GetSystemMetrics(SM_CYHSCROLL) + 1;
    m_nButtonWidth = m_nButtonHeight = m_nStripHeight;
    if (dwStyle & SECTAB_STYLE_FOURBUTTONS)
        m_nButtons = SECTAB_BTN_FIRST | SECTAB_BTN_PREV | SECTAB_BTN_NEXT | SECTAB_BTN_LAST;
    else if (dwStyle & SECTAB_STYLE_TWOBUTTONS)
        m_nButtons = SECTAB_BTN_PREV | SECTAB_BTN_NEXT;
    else
        m_nButtons = 0;
    for (int k = 0; k < 3; ++k) {
        MakeFont(k, nullptr);
        m_pens[k].DeleteObject();
        m_pens[k].CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        m_brushes[k].DeleteObject();
        m_brushes[k].CreateSolidBrush(::GetSysColor(k == 0 ? COLOR_BTNFACE : COLOR_WINDOW));
        m_textColors[k] = RGB(0, 0, 0);
    }
    m_penShadow.DeleteObject();
    m_penShadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    RecalcScrollState();
}

void SECTabControl::OnDestroy()
{
    SECTabControlBase::OnDestroy();
    for (int k = 0; k < 3; ++k) {
        m_fonts[k].DeleteObject();
        m_pens[k].DeleteObject();
        m_brushes[k].DeleteObject();
    }
    m_penShadow.DeleteObject();
}

BOOL SECTabControl::SetTabFont(CFont* pFont, int nKind, BOOL bRedraw)
{
    if (nKind < 0 || nKind > 2)
        return FALSE;
    LOGFONT lf{};
    if (!pFont || !pFont->GetLogFont(&lf)) {
        MakeFont(nKind, nullptr);
        return FALSE;
    }
    MakeFont(nKind, &lf);
    if (!m_fonts[nKind].GetSafeHandle()) {
        MakeFont(nKind, nullptr);
        return FALSE;
    }
    RecalcTabWidths();
    if (bRedraw && m_hWnd) {
        if (nKind == 2 && m_bActiveTab)
            InvalidateTab(m_nActiveTab);
        else
            Invalidate(TRUE);
    }
    return TRUE;
}

void SECTabControl::RecalcTabWidths()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_fonts[2]);
    for (auto& tab : m_tabs)
        tab->m_nWidth = dc.GetTextExtent(tab->m_csLabel).cx + 20;
    dc.SelectObject(old);
}

// ---------------------------------------------------------------- geometry

RECT SECTabControl::GetButtonRect(UINT nButton) const
{
    int left = 0;
    for (UINT b : kAllButtons) {
        if (!(m_nButtons & b))
            continue;
        if (b == nButton)
            return RECT{left, 0, left + m_nButtonWidth, m_nButtonHeight};
        left += m_nButtonWidth;
    }
    return RECT{};
}

RECT SECTabControl::GetTabArea() const
{
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    int left = 0;
    for (UINT b : kAllButtons)
        if (m_nButtons & b)
            left += m_nButtonWidth;
    return RECT{left, 0, std::max(static_cast<int>(client.right), left), client.bottom};
}

void SECTabControl::GetTabPoints(int nTab, POINT pts[4]) const
{
    const RECT area = GetTabArea();
    int x0 = area.left + m_nScrollOffset;
    for (int i = 0; i < nTab && i < GetTabCount(); ++i)
        x0 += m_tabs[i]->m_nWidth - 5;
    const int w = GetTabPtr(nTab) ? m_tabs[nTab]->m_nWidth : 0;
    const int bottom = area.bottom;
    pts[0] = POINT{x0, area.top};
    pts[1] = POINT{x0 + 6, bottom};
    pts[2] = POINT{x0 + w - 6, bottom};
    pts[3] = POINT{x0 + w, area.top};
}

BOOL SECTabControl::GetTabRgn(int nTab, CRgn& rgn) const
{
    if (!GetTabPtr(nTab))
        return FALSE;
    POINT pts[4];
    GetTabPoints(nTab, pts);
    return rgn.CreatePolygonRgn(pts, 4, ALTERNATE);
}

int SECTabControl::TabHitTest(CPoint pt) const
{
    const RECT area = GetTabArea();
    if (!::PtInRect(&area, pt))
        return -1;
    for (int i = 0; i < GetTabCount(); ++i) {
        CRgn rgn;
        if (GetTabRgn(i, rgn) && rgn.PtInRegion(pt))
            return i;
    }
    return -1;
}

UINT SECTabControl::ButtonHitTest(CPoint pt) const
{
    for (UINT b : kAllButtons) {
        if (!(m_nButtons & b))
            continue;
        const RECT rc = GetButtonRect(b);
        if (::PtInRect(&rc, pt))
            return b;
    }
    return 0;
}

void SECTabControl::InvalidateTab(int nTab)
{
    if (!m_hWnd)
        return;
    CRgn rgn;
    if (GetTabRgn(nTab, rgn))
        ::InvalidateRgn(m_hWnd, static_cast<HRGN>(rgn.GetSafeHandle()), TRUE);
}

// ---------------------------------------------------------------- tabs

SECTab* SECTabControl::InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient, DWORD_PTR dwExtra1,
                                 DWORD_PTR dwExtra2)
{
    SECTab* tab = SECTabControlBase::InsertTab(nIndex, lpszLabel, pClient, dwExtra1, dwExtra2);
    if (!tab)
        return nullptr;
    RecalcTabWidths();
    InvalidateFrom(nIndex);
    RecalcScrollState();
    return tab;
}

SECTab* SECTabControl::AddTab(LPCTSTR lpszLabel, void* pClient, DWORD_PTR dwExtra1, DWORD_PTR dwExtra2)
{
    SECTab* tab = SECTabControlBase::InsertTab(GetTabCount(), lpszLabel, pClient, dwExtra1, dwExtra2);
    if (!tab)
        return nullptr;
    RecalcTabWidths();
    InvalidateTab(GetTabCount() - 1);
    RecalcScrollState();
    return tab;
}

BOOL SECTabControl::DeleteTab(int nTab)
{
    if (!SECTabControlBase::DeleteTab(nTab))
        return FALSE;
    RecalcTabWidths();
    RecalcScrollState();
    if (m_hWnd)
        Invalidate(TRUE);
    return TRUE;
}

BOOL SECTabControl::RenameTab(int nTab, LPCTSTR lpszLabel)
{
    if (!SECTabControlBase::RenameTab(nTab, lpszLabel))
        return FALSE;
    RecalcTabWidths();
    InvalidateFrom(nTab);
    RecalcScrollState();
    return TRUE;
}

// ---------------------------------------------------------------- scrolling

void SECTabControl::RecalcScrollState()
{
    const UINT before = m_nDisabled;
    if (m_tabs.empty()) {
        m_nDisabled = m_nButtons;
        m_nScrollOffset = 0;
    } else {
        const RECT area = GetTabArea();
        POINT pts[4];
        GetTabPoints(GetTabCount() - 1, pts);
        const int right = pts[3].x;
        UINT disabled = 0;
        if (m_nScrollOffset >= 0) {
            m_nScrollOffset = 0;
            disabled |= SECTAB_BTN_FIRST | SECTAB_BTN_PREV;
        }
        if (right <= area.right) {
            // Nothing more on the right: bring the end to the edge, never past the start.
            m_nScrollOffset = std::min(m_nScrollOffset + static_cast<int>(area.right - right), 0);
            disabled |= SECTAB_BTN_NEXT | SECTAB_BTN_LAST;
            if (m_nScrollOffset >= 0)
                disabled |= SECTAB_BTN_FIRST | SECTAB_BTN_PREV;
        }
        m_nDisabled = disabled & m_nButtons;
    }
    if (m_hWnd && before != m_nDisabled)
        for (UINT b : kAllButtons)
            if ((before ^ m_nDisabled) & b) {
                const RECT rc = GetButtonRect(b);
                ::InvalidateRect(m_hWnd, &rc, FALSE);
            }
}

void SECTabControl::ApplyOffset(int nOffset)
{
    const int old = m_nScrollOffset;
    m_nScrollOffset = nOffset;
    RecalcScrollState();
    if (m_hWnd && old != m_nScrollOffset) {
        const RECT area = GetTabArea();
        ::InvalidateRect(m_hWnd, &area, TRUE);
        UpdateWindow();
    }
}

void SECTabControl::ScrollBy(UINT nButton)
{
    if (!(m_nButtons & nButton) || (m_nDisabled & nButton))
        return;
    int offset = m_nScrollOffset;
    switch (nButton) {
    case SECTAB_BTN_FIRST: offset = 0; break;
    case SECTAB_BTN_PREV: offset += 10; break;
    case SECTAB_BTN_NEXT: offset -= 10; break;
    case SECTAB_BTN_LAST: {
        if (m_tabs.empty())
            break;
        const RECT area = GetTabArea();
        POINT pts[4];
        GetTabPoints(GetTabCount() - 1, pts);
        offset -= pts[3].x - area.right;
        break;
    }
    default: break;
    }
    ApplyOffset(offset);
}

void SECTabControl::ScrollToTab(int nTab)
{
    if (!GetTabPtr(nTab) || !m_hWnd)
        return;
    const RECT area = GetTabArea();
    if (area.right <= area.left)
        return;
    POINT pts[4];
    GetTabPoints(nTab, pts);
    const int extent = pts[3].x - pts[0].x;
    const int margin = (area.right - area.left) > extent + 20 ? 20 : 0;
    int offset = m_nScrollOffset;
    if (pts[3].x > area.right - margin)
        offset -= pts[3].x - (area.right - margin);
    const int left = pts[0].x + (offset - m_nScrollOffset);
    if (left < area.left + margin)
        offset += (area.left + margin) - left;
    ApplyOffset(offset);
}

// ---------------------------------------------------------------- painting

void SECTabControl::DrawTab(CDC* pDC, int nTab, CRgn*)
{
    POINT pts[4];
    GetTabPoints(nTab, pts);
    const int x0 = pts[0].x, top = pts[0].y, bottom = pts[1].y;
    const int w = m_tabs[nTab]->m_nWidth;
    const POINT fill[4] = {{x0, top}, {x0 + 6, bottom}, {x0 + w - 7, bottom}, {x0 + w - 2, top}};
    CRgn rgn;
    rgn.CreatePolygonRgn(fill, 4, ALTERNATE);
    pDC->FillRgn(&rgn, pDC->GetCurrentBrush());
    pDC->MoveTo(x0, top);
    pDC->LineTo(x0 + 6, bottom - 1);
    CPen* current = pDC->SelectObject(&m_penShadow);
    pDC->LineTo(x0 + w - 8, bottom - 1);
    pDC->LineTo(x0 + w - 2, top - 1);
    pDC->SelectObject(current);
    pDC->MoveTo(x0 + w - 7, bottom - 1);
    pDC->LineTo(x0 + w - 1, top - 1);
    RECT text{x0 + 6, top, x0 + w - 6, bottom};
    pDC->DrawText(m_tabs[nTab]->m_csLabel, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void SECTabControl::DrawButton(CDC* pDC, UINT nButton)
{
    RECT rc = GetButtonRect(nButton);
    const bool pressed = m_nPressed == nButton;
    const bool disabled = (m_nDisabled & nButton) != 0;
    pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOWFRAME));
    RECT face = rc;
    ::InflateRect(&face, -1, -1);
    pDC->FillSolidRect(&face, ::GetSysColor(COLOR_BTNFACE));
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    int shift = 0;
    if (pressed) {
        pDC->FillSolidRect(face.left, face.top, face.right - face.left, 1, shadow);
        pDC->FillSolidRect(face.left, face.top, 1, face.bottom - face.top, shadow);
        shift = 1;
    } else {
        const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        pDC->FillSolidRect(face.left, face.top, face.right - face.left - 1, 1, light);
        pDC->FillSolidRect(face.left, face.top, 1, face.bottom - face.top - 1, light);
        pDC->FillSolidRect(face.left, face.bottom - 2, face.right - face.left, 2, shadow);
        pDC->FillSolidRect(face.right - 2, face.top, 2, face.bottom - face.top, shadow);
    }
    // The glyph: a triangle, with a bar before it (first) or after it (last).
    const COLORREF ink = disabled ? shadow : RGB(0, 0, 0);
    const bool left = nButton == SECTAB_BTN_FIRST || nButton == SECTAB_BTN_PREV;
    const int cx = (rc.left + rc.right) / 2 + shift - 1, cy = (rc.top + rc.bottom) / 2 + shift - 1;
    const int half = 3;
    for (int i = 0; i <= half; ++i) {
        const int x = left ? cx - half + 1 + i : cx + half - 1 - i;
        pDC->FillSolidRect(x, cy - i, 1, 2 * i + 1, ink);
    }
    if (nButton == SECTAB_BTN_FIRST)
        pDC->FillSolidRect(cx - half - 1, cy - half, 1, 2 * half + 1, ink);
    if (nButton == SECTAB_BTN_LAST)
        pDC->FillSolidRect(cx + half + 1, cy - half, 1, 2 * half + 1, ink);
}

void SECTabControl::OnPaint()
{
    CPaintDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    RECT box;
    dc.GetClipBox(&box);
    for (UINT b : kAllButtons) {
        if (!(m_nButtons & b))
            continue;
        RECT rc = GetButtonRect(b), meet;
        if (::IntersectRect(&meet, &rc, &box))
            DrawButton(&dc, b);
    }
    const RECT area = GetTabArea();
    dc.IntersectClipRect(&area);
    dc.GetClipBox(&box);
    auto drawKind = [&](int k, int i) {
        CBrush* oldBrush = dc.SelectObject(&m_brushes[k]);
        CPen* oldPen = dc.SelectObject(&m_pens[k]);
        CFont* oldFont = dc.SelectObject(&m_fonts[k]);
        dc.SetTextColor(m_textColors[k]);
        CRgn rgn;
        GetTabRgn(i, rgn);
        DrawTab(&dc, i, &rgn);
        dc.SelectObject(oldFont);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    };
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < GetTabCount(); ++i) {
            if ((m_bActiveTab && i == m_nActiveTab) || static_cast<bool>(m_tabs[i]->m_bSelected) != (pass == 1))
                continue;
            CRgn rgn;
            if (GetTabRgn(i, rgn) && rgn.RectInRegion(&box))
                drawKind(pass, i);
        }
    CPen* oldPen = dc.SelectObject(&m_pens[0]);
    if (m_bActiveTab && GetTabPtr(m_nActiveTab)) {
        drawKind(2, m_nActiveTab);
        POINT pts[4];
        GetTabPoints(m_nActiveTab, pts);
        dc.SelectObject(&m_pens[0]);
        dc.MoveTo(area.left, 0);
        dc.LineTo(pts[0].x, 0);
        dc.MoveTo(pts[3].x - 1, 0);
        dc.LineTo(area.right, 0);
    } else {
        dc.MoveTo(area.left, 0);
        dc.LineTo(area.right, 0);
    }
    dc.SelectObject(oldPen);
}

BOOL SECTabControl::OnEraseBkgnd(CDC* pDC)
{
    RECT client;
    GetClientRect(&client);
    pDC->FillRect(&client, &m_brushes[0]);
    return TRUE;
}

void SECTabControl::OnSize(UINT nType, int cx, int cy)
{
    SECTabControlBase::OnSize(nType, cx, cy);
    const int old = m_nScrollOffset;
    RecalcScrollState();
    if (old != m_nScrollOffset) {
        Invalidate(TRUE);
        UpdateWindow();
    }
}

// ---------------------------------------------------------------- mouse

void SECTabControl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (UINT button = ButtonHitTest(point)) {
        if (m_nDisabled & button)
            return;
        m_nPressed = button;
        const RECT rc = GetButtonRect(button);
        ::InvalidateRect(m_hWnd, &rc, FALSE);
        ScrollBy(button);
        if (button == SECTAB_BTN_PREV || button == SECTAB_BTN_NEXT) {
            // Held down, the step repeats: first after 300 ms, then every 20 ms.
            CWnd::SetCapture();
            SetTimer(kRepeatTimer, kFirstDelay, nullptr);
        }
        return;
    }
    const int hit = TabHitTest(point);
    if (hit < 0)
        return;
    if (m_bMultiSelect && (nFlags & MK_CONTROL)) {
        m_tabs[hit]->m_bSelected = !m_tabs[hit]->m_bSelected;
        if (m_bActiveTab && hit == m_nActiveTab)
            m_bActiveTab = FALSE;
        InvalidateTab(hit);
        return;
    }
    if (m_bMultiSelect && (nFlags & MK_SHIFT)) {
        const int from = std::min(m_nActiveTab, hit), to = std::max(m_nActiveTab, hit);
        for (int i = 0; i < GetTabCount(); ++i) {
            const BOOL want = i >= from && i <= to;
            if (m_tabs[i]->m_bSelected != want) {
                m_tabs[i]->m_bSelected = want;
                InvalidateTab(i);
            }
        }
        m_bActiveTab = FALSE;
        ActivateTab(hit);
        return;
    }
    if (m_bActiveTab && hit == m_nActiveTab) {
        ReactivateTab();
        return;
    }
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i]->m_bSelected) {
            m_tabs[i]->m_bSelected = FALSE;
            InvalidateTab(i);
        }
    InvalidateTab(hit);
    ActivateTab(hit);
}

void SECTabControl::OnLButtonUp(UINT, CPoint)
{
    KillTimer(kRepeatTimer);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_nPressed) {
        const RECT rc = GetButtonRect(m_nPressed);
        ::InvalidateRect(m_hWnd, &rc, FALSE);
    }
    m_nPressed = 0;
}

void SECTabControl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kRepeatTimer) {
        SECTabControlBase::OnTimer(nIDEvent);
        return;
    }
    if (!m_nPressed || ::GetCapture() != m_hWnd) {
        KillTimer(kRepeatTimer);
        m_nPressed = 0;
        return;
    }
    ScrollBy(m_nPressed);
    SetTimer(kRepeatTimer, kRepeatDelay, nullptr);
}

void SECTabControl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (ButtonHitTest(point)) {
        OnLButtonDown(nFlags, point);
        return;
    }
    const int hit = TabHitTest(point);
    NotifyParent(TCM_TABDBLCLK, static_cast<WPARAM>(hit < 0 ? 0 : hit));
}

BOOL SECTabControl::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(m_hArrow ? m_hArrow : ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}
