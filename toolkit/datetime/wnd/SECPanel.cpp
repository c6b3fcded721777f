#include "toolkit/datetime/wnd/SECPanel.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/core/Locale.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/SECCalendar.h"

#include <algorithm>
#include <cstdio>

namespace {

BOOL PanelLocaleText(CString& strOut, LCTYPE type)
{
    char buf[256];
    if (GetLocaleInfoA(GetUserDefaultLCID(), type, buf, sizeof buf) <= 0)
        return FALSE;
    strOut = buf;
    return TRUE;
}

} // namespace

BOOL GetLocaleDayName(CString& strOut, int nDay, BOOL bFull)
{
    if (nDay < 1 || nDay > 7)
        return FALSE;
    // Sunday is the locale's seventh day.
    const int index = nDay == 1 ? 6 : nDay - 2;
    return PanelLocaleText(strOut, (bFull ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + index);
}

BOOL GetLocaleMonthName(CString& strOut, int nMonth, BOOL bFull)
{
    if (nMonth < 1 || nMonth > 12)
        return FALSE;
    return PanelLocaleText(strOut, (bFull ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + nMonth - 1);
}

// ---- SECPanel_T ----

template <class Traits>
BOOL SECPanel_T<Traits>::Create(int left, int top, int right, int bottom, Calendar* pCalendar, DWORD, UINT,
                                BOOL bPressed, BOOL bMarked, DWORD dwStyle, DWORD dwBehavior, int nBevel)
{
    m_rect.SetRect(left, top, right, bottom);
    m_pCalendar = pCalendar;
    m_bPressed = bPressed;
    m_bMarked = bMarked;
    m_style = dwStyle;
    m_behavior = dwBehavior;
    m_bevel = nBevel;
    m_bCreated = TRUE;
    RecalcMargins();
    return TRUE;
}

template <class Traits>
int SECPanel_T<Traits>::MarginFor(BOOL bPressed, BOOL bMarked) const
{
    const DWORD border = bPressed ? SECPANEL_BORDER_PRESSED : SECPANEL_BORDER;
    const DWORD bevel = bPressed ? SECPANEL_BEVEL_PRESSED : SECPANEL_BEVEL;
    const DWORD mark = bPressed ? SECPANEL_MARK_PRESSED : SECPANEL_MARK;
    const int borderTo = (m_style & border) ? 1 : 0;
    const int bevelTo = borderTo + ((m_style & bevel) ? m_bevel : 0);
    return (bMarked && (m_style & mark)) ? bevelTo + m_bevel : bevelTo;
}

template <class Traits>
void SECPanel_T<Traits>::RecalcMargins()
{
    m_borderFrom = 0;
    m_borderTo = (m_style & (m_bPressed ? SECPANEL_BORDER_PRESSED : SECPANEL_BORDER)) ? 1 : 0;
    m_bevelTo = m_borderTo + ((m_style & (m_bPressed ? SECPANEL_BEVEL_PRESSED : SECPANEL_BEVEL)) ? m_bevel : 0);
    m_margin = MarginFor(m_bPressed, m_bMarked);
    m_bDirty = FALSE;
}

template <class Traits>
DWORD SECPanel_T<Traits>::SetDrawStyle(DWORD dw)
{
    const DWORD old = m_style;
    m_style = dw;
    m_bDirty = TRUE;
    return old;
}

template <class Traits>
DWORD SECPanel_T<Traits>::SetBehavior(DWORD dw)
{
    const DWORD old = m_behavior;
    m_behavior = dw;
    m_bDirty = TRUE;
    return old;
}

template <class Traits>
int SECPanel_T<Traits>::SetBevel(int n)
{
    const int old = m_bevel;
    m_bevel = n;
    m_bDirty = TRUE;
    return old;
}

template <class Traits>
CRect SECPanel_T<Traits>::SetRect(const RECT& rc)
{
    const CRect old = m_rect;
    m_rect = rc;
    m_bDirty = TRUE;
    return old;
}

template <class Traits>
CString SECPanel_T<Traits>::SetText(const CString& str)
{
    CString old = m_strText;
    m_strText = str;
    return old;
}

template <class Traits>
CRect SECPanel_T<Traits>::GetInteriorRect()
{
    if (m_bDirty)
        RecalcMargins();
    CRect rc = m_rect;
    rc.DeflateRect(m_margin, m_margin);
    if (rc.Width() < 0 || rc.Height() < 0)
        return CRect(0, 0, 0, 0);
    return rc;
}

template <class Traits>
void SECPanel_T<Traits>::InvalidateSelf()
{
    if (!m_bCreated || !m_pCalendar || !m_pCalendar->GetSafeHwnd())
        return;
    CRect rc = m_rect;
    rc.InflateRect(1, 1);
    m_pCalendar->InvalidateRect(&rc, FALSE);
    m_pCalendar->UpdateWindow();
}

template <class Traits>
BOOL SECPanel_T<Traits>::SetPressed(BOOL bPressed, BOOL bRedraw)
{
    if (!(m_behavior & SECBEHAVIOR_PRESSABLE))
        return FALSE;
    m_bPressed = bPressed ? TRUE : FALSE;
    m_bDirty = TRUE;
    if (bRedraw)
        InvalidateSelf();
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::SetMarked(BOOL bMarked, BOOL bRedraw)
{
    BOOL result = TRUE;
    if (!(m_behavior & SECBEHAVIOR_MARKABLE)) {
        bMarked = FALSE;
        result = FALSE;
    }
    m_bMarked = bMarked ? TRUE : FALSE;
    m_bDirty = TRUE;
    if (bRedraw)
        InvalidateSelf();
    return result;
}

template <class Traits>
void SECPanel_T<Traits>::DrawFrame(CDC* pDC, int a, int b, COLORREF topLeft, COLORREF bottomRight)
{
    if (a == b)
        return;
    // The panel's rectangle includes its right and bottom edges.
    CRect rc(m_rect.left + a, m_rect.top + a, m_rect.right - a + 1, m_rect.bottom - a + 1);
    const COLORREF oldBk = pDC->GetBkColor();
    for (int i = a; i < b && rc.Width() > 0 && rc.Height() > 0; ++i) {
        pDC->Draw3dRect(&rc, topLeft, bottomRight);
        rc.DeflateRect(1, 1);
    }
    pDC->SetBkColor(oldBk);
}

template <class Traits>
BOOL SECPanel_T<Traits>::DrawBorder(CDC* pDC)
{
    DrawFrame(pDC, 0, m_borderTo, m_borderColor, m_borderColor);
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::DrawBevel(CDC* pDC)
{
    COLORREF light = Traits::Color(DTColor::BtnHilite);
    COLORREF dark = Traits::Color(DTColor::BtnShadow);
    if (m_bPressed)
        std::swap(light, dark);
    DrawFrame(pDC, m_borderTo, m_bevelTo, light, dark);
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::DrawMarkFrame(CDC* pDC)
{
    DrawFrame(pDC, m_bevelTo, m_margin, m_markColor, m_markColor);
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::DrawBackground(CDC* pDC)
{
    CRect rc = GetInteriorRect();
    rc.right += 1;
    rc.bottom += 1;
    pDC->ExtTextOut(rc.left, rc.top, ETO_OPAQUE, &rc, "", 0, nullptr);
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::DrawContent(CDC* pDC)
{
    CRect rc = GetInteriorRect();
    if (m_style & SECPANEL_CENTER) {
        TEXTMETRIC tm{};
        pDC->GetTextMetrics(&tm);
        const UINT old = pDC->SetTextAlign(TA_CENTER | TA_BASELINE);
        const CPoint c = rc.CenterPoint();
        pDC->ExtTextOut(c.x, c.y + tm.tmAscent / 2, ETO_OPAQUE, &rc, m_strText, nullptr);
        pDC->SetTextAlign(old);
    } else {
        const UINT old = pDC->SetTextAlign(TA_LEFT | TA_TOP);
        pDC->ExtTextOut(rc.left + rc.Width() / 10, rc.top + rc.Height() / 10, ETO_OPAQUE, &rc, m_strText, nullptr);
        pDC->SetTextAlign(old);
    }
    return TRUE;
}

template <class Traits>
BOOL SECPanel_T<Traits>::Draw(CDC* pDC)
{
    if (m_bDirty)
        RecalcMargins();
    const COLORREF oldBk = pDC->SetBkColor(m_bFaceColor ? m_faceColor : Traits::Color(DTColor::BtnFace));
    const COLORREF oldText = pDC->SetTextColor(m_textColor);
    BOOL ok = DrawBorder(pDC);
    ok = DrawBevel(pDC) && ok;
    ok = DrawBackground(pDC) && ok;
    ok = DrawContent(pDC) && ok;
    ok = DrawMarkFrame(pDC) && ok;
    pDC->SetBkColor(oldBk);
    pDC->SetTextColor(oldText);
    return ok;
}

template <class Traits>
template <class Measure>
void SECPanel_T<Traits>::FitFont(LOGFONT& lf, int width, int height, double factor, int stopBelow, Measure measure)
{
    if (width <= 0 || height <= 0) {
        lf.lfHeight = 0;
        lf.lfWidth = 0;
        return;
    }
    if (lf.lfHeight == 0)
        lf.lfHeight = 8;
    // Grow while the text fits with room to spare, within reason.
    for (int guard = 0; guard < 12; ++guard) {
        const SIZE s = measure(lf);
        if (!(s.cx < width && s.cy < height))
            break;
        lf.lfHeight *= 2;
        lf.lfWidth *= 2;
    }
    for (int guard = 0; guard < 200; ++guard) {
        const SIZE s = measure(lf);
        if (s.cx <= width && s.cy <= height)
            break;
        const int h = std::min(static_cast<int>(lf.lfHeight * factor), static_cast<int>(lf.lfHeight) - 1);
        const int w = lf.lfWidth ? std::min(static_cast<int>(lf.lfWidth * factor), static_cast<int>(lf.lfWidth) - 1) : 0;
        if (h < stopBelow)
            break;
        lf.lfHeight = h;
        lf.lfWidth = std::max(0, w);
    }
}

// ---- SECDayBox_T ----

template <class Traits>
COleDateTime SECDayBox_T<Traits>::SetDate(const COleDateTime& date)
{
    COleDateTime old = m_date;
    m_date = date;
    return old;
}

template <class Traits>
BOOL SECDayBox_T<Traits>::SetOutside(BOOL bOutside)
{
    const BOOL old = m_bOutside;
    m_bOutside = bOutside ? TRUE : FALSE;
    if (bOutside) {
        this->m_behavior &= ~SECBEHAVIOR_MARKABLE;
        if (!(this->m_behavior & SECBEHAVIOR_OUTSIDE_SELECTABLE))
            this->m_behavior &= ~SECBEHAVIOR_PRESSABLE;
    } else {
        this->m_behavior |= SECBEHAVIOR_MARKABLE | SECBEHAVIOR_PRESSABLE;
    }
    this->m_bDirty = TRUE;
    return old;
}

template <class Traits>
BOOL SECDayBox_T<Traits>::DrawContent(CDC* pDC)
{
    CRect rc = this->GetInteriorRect();
    CString text;
    if (!IsEmpty())
        text.Format("%d", m_date.GetDay());
    const COLORREF color =
        (m_bOutside && (this->m_style & SECPANEL_GRAY_OUTSIDE)) ? this->m_grayColor : this->m_textColor;
    const COLORREF old = pDC->SetTextColor(color);
    const UINT oldAlign = pDC->SetTextAlign(TA_LEFT | TA_TOP);
    int x = rc.left + rc.Width() / 10;
    int y = rc.top + rc.Height() / 10;
    if (this->m_style & SECPANEL_CENTER) {
        const CSize ext = pDC->GetTextExtent(text);
        x = rc.left + (rc.Width() - ext.cx) / 2;
        y = rc.top + (rc.Height() - ext.cy) / 2;
    }
    pDC->ExtTextOut(x, y, ETO_OPAQUE, &rc, text, nullptr);
    pDC->SetTextAlign(oldAlign);
    pDC->SetTextColor(old);
    return TRUE;
}

template <class Traits>
SIZE SECDayBox_T<Traits>::NaturalSize(CDC* pDC)
{
    const CSize ext = pDC->GetTextExtent("88", 2);
    int w = static_cast<int>(ext.cx * 1.25);
    int h = static_cast<int>(ext.cy * 1.25);
    if (!(this->m_style & SECPANEL_CENTER)) {
        w = static_cast<int>(w * 1.5);
        h = static_cast<int>(h * 1.5);
    }
    // The widest margin the cell can get, inside or outside the shown month.
    const BOOL outside = m_bOutside;
    const DWORD behavior = this->m_behavior;
    SetOutside(TRUE);
    int m = this->MarginFor(TRUE, TRUE);
    SetOutside(FALSE);
    m = std::max(m, this->MarginFor(TRUE, TRUE));
    SetOutside(outside);
    this->m_behavior = behavior;
    return SIZE{std::max(w, static_cast<int>(ext.cx) + m), std::max(h, static_cast<int>(ext.cy) + m)};
}

template <class Traits>
void SECDayBox_T<Traits>::FitFont(CDC* pDC, LOGFONT& lf)
{
    const CRect& rc = this->m_rect;
    this->SECPanel_T<Traits>::FitFont(lf, rc.Width(), rc.Height(), 0.9, 1, [&](const LOGFONT& l) {
        CFont font;
        font.CreateFontIndirect(&l);
        CFont* old = pDC->SelectObject(&font);
        const SIZE s = NaturalSize(pDC);
        pDC->SelectObject(old);
        return s;
    });
}

// ---- SECDayBar_T ----

template <class Traits>
BOOL SECDayBar_T<Traits>::DrawContent(CDC* pDC)
{
    CFont* oldFont = nullptr;
    if (this->m_pCalendar)
        oldFont = pDC->SelectObject(this->m_pCalendar->GetDayBarFont());
    CRect rc = this->GetInteriorRect();
    static const double kSplit[] = {0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0};
    const int w = rc.Width() - 1;
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const UINT oldAlign = pDC->SetTextAlign(TA_CENTER | TA_BASELINE);
    for (int i = 1; i <= 7; ++i) {
        CRect col(rc.left + static_cast<int>(w * kSplit[i - 1]), rc.top, rc.left + static_cast<int>(w * kSplit[i]),
                  rc.bottom);
        CString name;
        const int day = ((m_firstDayOfWeek + i - 2) % 7) + 1;
        if (!GetLocaleDayName(name, day, (this->m_style & SECPANEL_FULL_DAYS) != 0) || name.IsEmpty() ||
            col.Width() <= 0)
            continue;
        pDC->ExtTextOut(col.CenterPoint().x, col.CenterPoint().y + tm.tmAscent / 2, ETO_OPAQUE, &col, name, nullptr);
    }
    pDC->SetTextAlign(oldAlign);
    if (oldFont)
        pDC->SelectObject(oldFont);
    return TRUE;
}

template <class Traits>
SIZE SECDayBar_T<Traits>::NaturalSize(CDC* pDC)
{
    CString name;
    GetLocaleDayName(name, 4, (this->m_style & SECPANEL_FULL_DAYS) != 0);
    const CSize ext = pDC->GetTextExtent(name);
    return SIZE{7 * ext.cx, ext.cy};
}

template <class Traits>
void SECDayBar_T<Traits>::FitFont(CDC* pDC, LOGFONT& lf)
{
    const CRect rc = this->GetInteriorRect();
    this->SECPanel_T<Traits>::FitFont(lf, rc.Width(), rc.Height(), 0.9, 3, [&](const LOGFONT& l) {
        CFont font;
        font.CreateFontIndirect(&l);
        CFont* old = pDC->SelectObject(&font);
        const SIZE s = NaturalSize(pDC);
        pDC->SelectObject(old);
        return s;
    });
}

// ---- SECCalTitle_T ----

template <class Traits>
BOOL SECCalTitle_T<Traits>::Create(int left, int top, int right, int bottom, Calendar* pCalendar, DWORD dwWndStyle,
                                   UINT nID, BOOL bPressed, BOOL bMarked, DWORD dwStyle, DWORD dwBehavior, int nBevel)
{
    this->SECPanel_T<Traits>::Create(left, top, right, bottom, pCalendar, dwWndStyle, nID, bPressed, bMarked, dwStyle,
                                     dwBehavior, nBevel);
    m_pTitleCalendar = pCalendar;
    BOOL ok = TRUE;
    const CRect none(0, 0, 0, 0);
    if (dwBehavior & SECBEHAVIOR_MONTH_BUTTONS) {
        ok = m_prevMonth.Create("<", WS_CHILD, none, pCalendar, Traits::kCmdPrevMonth) && ok;
        ok = m_nextMonth.Create(">", WS_CHILD, none, pCalendar, Traits::kCmdNextMonth) && ok;
    } else {
        m_bMonthButtons = FALSE;
    }
    if (dwBehavior & SECBEHAVIOR_YEAR_BUTTONS) {
        ok = m_prevYear.Create("<<", WS_CHILD, none, pCalendar, Traits::kCmdPrevYear) && ok;
        ok = m_nextYear.Create(">>", WS_CHILD, none, pCalendar, Traits::kCmdNextYear) && ok;
    } else {
        m_bYearButtons = FALSE;
    }
    SetRect(this->m_rect);
    return ok;
}

template <class Traits>
CRect SECCalTitle_T<Traits>::SetRect(const RECT& rc)
{
    const CRect old = this->SECPanel_T<Traits>::SetRect(rc);
    const CRect& r = this->m_rect;
    const int w = r.Width();
    const int top = r.top + r.Height() / 5;
    const int bottom = r.bottom - r.Height() / 5;
    auto place = [&](CButton& button, int left, int right) {
        if (!button.GetSafeHwnd())
            return;
        button.SetWindowPos(nullptr, left, top, right - left, bottom - top,
                            SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        button.EnableWindow(TRUE);
    };
    if (m_bMonthButtons) {
        if (m_bYearButtons) {
            place(m_prevMonth, r.left + w * 30 / 200, r.left + w * 50 / 200);
            place(m_nextMonth, r.right - w * 50 / 200, r.right - w * 30 / 200);
        } else {
            place(m_prevMonth, r.left + w * 10 / 200, r.left + w * 30 / 200);
            place(m_nextMonth, r.right - w * 30 / 200, r.right - w * 10 / 200);
        }
    }
    if (m_bYearButtons) {
        place(m_prevYear, r.left + w * 10 / 200, r.left + w * 30 / 200);
        place(m_nextYear, r.right - w * 30 / 200, r.right - w * 10 / 200);
    }
    return old;
}

template <class Traits>
void SECCalTitle_T<Traits>::SetTitle(const COleDateTime& date)
{
    CString month;
    GetLocaleMonthName(month, date.GetMonth(), (this->m_style & SECPANEL_FULL_MONTHS) != 0);
    CString text;
    text.Format("%s %d", static_cast<LPCTSTR>(month), date.GetYear());
    this->SetText(text);
}

template <class Traits>
BOOL SECCalTitle_T<Traits>::Draw(CDC* pDC)
{
    const BOOL ok = this->SECPanel_T<Traits>::Draw(pDC);
    if (m_pTitleCalendar) {
        const HFONT font = static_cast<HFONT>(m_pTitleCalendar->GetTitleFont()->GetSafeHandle());
        for (CButton* b : {&m_prevYear, &m_prevMonth, &m_nextMonth, &m_nextYear})
            if (b->GetSafeHwnd()) {
                b->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
                b->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
    }
    return ok;
}

template <class Traits>
SIZE SECCalTitle_T<Traits>::NaturalSize(CDC* pDC)
{
    const bool full = (this->m_style & SECPANEL_FULL_MONTHS) != 0;
    const CSize ext = pDC->GetTextExtent(full ? "September, 2000" : "Sep, 2000");
    return SIZE{static_cast<int>(ext.cx * (full ? 2.2 : 1.2)), static_cast<int>(ext.cy * 1.2)};
}

template <class Traits>
void SECCalTitle_T<Traits>::FitFont(CDC* pDC, LOGFONT& lf)
{
    const CRect rc = this->GetInteriorRect();
    this->SECPanel_T<Traits>::FitFont(lf, rc.Width(), rc.Height(), 0.95, 2, [&](const LOGFONT& l) {
        CFont font;
        font.CreateFontIndirect(&l);
        CFont* old = pDC->SelectObject(&font);
        const SIZE s = NaturalSize(pDC);
        pDC->SelectObject(old);
        return s;
    });
}

template class SECPanel_T<SECDTTraits>;
template class SECPanel_T<CGXBDTTraits>;
template class SECDayBox_T<SECDTTraits>;
template class SECDayBox_T<CGXBDTTraits>;
template class SECDayBar_T<SECDTTraits>;
template class SECDayBar_T<CGXBDTTraits>;
template class SECCalTitle_T<SECDTTraits>;
template class SECCalTitle_T<CGXBDTTraits>;
