#include "toolkit/datetime/wnd/SECCalendar.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Days are counted from 1899-12-30; a day's noon has the day in its integer part and the time
// as a positive fraction, also before 1899-12-30.
long DayNumber(const COleDateTime& d)
{
    return static_cast<long>(std::trunc(static_cast<DATE>(d)));
}

COleDateTime NoonOfDay(long n)
{
    return COleDateTime(n >= 0 ? n + 0.5 : n - 0.5);
}

LOGFONT SystemLogFont(const char* face, BYTE outPrecision, BYTE pitch)
{
    LOGFONT lf{};
    ::GetObject(::GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    LOGFONT out{};
    out.lfHeight = lf.lfHeight;
    out.lfWidth = lf.lfWidth;
    out.lfWeight = FW_NORMAL;
    out.lfOutPrecision = outPrecision;
    out.lfQuality = DRAFT_QUALITY;
    out.lfPitchAndFamily = pitch;
    std::strncpy(out.lfFaceName, face, LF_FACESIZE - 1);
    return out;
}

bool SameMonth(const COleDateTime& a, const COleDateTime& b)
{
    return a.GetStatus() == COleDateTime::valid && b.GetStatus() == COleDateTime::valid &&
           a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

bool SameDay(const COleDateTime& a, const COleDateTime& b)
{
    return a.GetStatus() == b.GetStatus() && static_cast<DATE>(a) == static_cast<DATE>(b);
}

} // namespace

template <class Traits>
SECCalendar_T<Traits>::SECCalendar_T()
{
    m_displayDate.SetDateTime(1970, 1, 1, 12, 0, 0);
    // Until fitted, the three fonts are the system font.
    LOGFONT lf{};
    ::GetObject(::GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    m_titleFont.CreateFontIndirect(&lf);
    m_barFont.CreateFontIndirect(&lf);
    m_dayFont.CreateFontIndirect(&lf);
    m_lfTitle = SystemLogFont("Arial", OUT_STRING_PRECIS, VARIABLE_PITCH);
    m_lfBar = SystemLogFont("Arial", OUT_TT_ONLY_PRECIS, 0);
    m_lfDay = SystemLogFont("Arial", OUT_TT_ONLY_PRECIS, 0);
}

template <class Traits>
SECCalendar_T<Traits>::~SECCalendar_T()
{
    if (m_hWnd)
        DestroyWindow();
    m_marked.clear();
}

template <class Traits>
void SECCalendar_T<Traits>::LoadSysColors()
{
    m_clrDayText = GetSysColor(COLOR_WINDOWTEXT);
    m_clrBtnText = GetSysColor(COLOR_BTNTEXT);
    m_clrBarText = GetSysColor(COLOR_BTNTEXT);
    m_clrBtnFace = GetSysColor(COLOR_BTNFACE);
    m_clrTitleText = GetSysColor(COLOR_CAPTIONTEXT);
    m_clrActiveCaption = GetSysColor(COLOR_ACTIVECAPTION);
    m_clrGrayText = GetSysColor(COLOR_GRAYTEXT);
}

template <class Traits>
void SECCalendar_T<Traits>::RejectBeep()
{
    MessageBeep(MB_ICONEXCLAMATION);
}

template <class Traits>
void SECCalendar_T<Traits>::SetSizeToContent(BOOL b)
{
    if (b)
        m_behavior |= SECBEHAVIOR_SIZE_TO_CONTENT;
    else
        m_behavior &= ~SECBEHAVIOR_SIZE_TO_CONTENT;
}

template <class Traits>
COleDateTime& SECCalendar_T<Traits>::GetHighlightedDate()
{
    static COleDateTime none;
    none = COleDateTime();
    none.SetStatus(COleDateTime::null);
    return m_pFocusBox ? m_pFocusBox->GetDate() : none;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext*)
{
    Traits::RefreshColors();
    LoadSysColors();
    LPCTSTR cls = AfxRegisterWndClass(GetClassStyle(), ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    // A pop-up stays a pop-up: owned by the parent, not inside it.
    const DWORD style = (dwStyle & WS_POPUP) ? (dwStyle | WS_CLIPCHILDREN) : (dwStyle | WS_CHILD | WS_CLIPCHILDREN);
    if (!CreateEx(0, cls, Traits::kCalendarName, style, rect, pParentWnd, nID))
        return FALSE;
    m_pNotifyWnd = m_pParentWnd = pParentWnd;

    const DWORD panelBehavior = m_behavior & ~(SECBEHAVIOR_PRESSABLE | SECBEHAVIOR_MARKABLE);
    BOOL ok = TRUE;
    for (auto& day : m_days)
        ok = day.Create(0, 0, 0, 0, this, 0, 0, TRUE, FALSE, m_outsideStyle, m_behavior, m_bevel) && ok;
    ok = m_dayBar.Create(0, 0, 0, 0, this, 0, 0, FALSE, FALSE, m_drawStyle, panelBehavior, m_bevel) && ok;
    ok = m_title.Create(0, 0, 0, 0, this, 0, 0, FALSE, FALSE, m_drawStyle | SECPANEL_CENTER, panelBehavior, m_bevel) &&
         ok;
    if (static_cast<DATE>(m_displayDate) == 0.0)
        m_displayDate = DTNoon(DTGetCurrentTime());
    SelectDate(m_displayDate, FALSE);
    if (ok) {
        Layout();
        if (m_behavior & SECBEHAVIOR_FIT_FONTS)
            FitFonts();
        if (Traits::kGridFamily) {
            m_title.SetTextColor(m_clrDayText);
            m_dayBar.SetTextColor(m_clrDayText);
        } else {
            // The title reads as a caption: caption text on the active caption colour.
            m_title.SetTextColor(m_clrTitleText);
            m_title.SetFaceColor(m_clrActiveCaption);
            m_dayBar.SetTextColor(m_clrBarText);
        }
        m_title.SetGrayColor(m_clrGrayText);
        m_dayBar.SetGrayColor(m_clrGrayText);
        for (auto& day : m_days) {
            day.SetTextColor(m_clrDayText);
            day.SetGrayColor(m_clrGrayText);
        }
    }
    m_bCreated = TRUE;
    UpdateWindow();
    SetFocus();
    return ok;
}

template <class Traits>
void SECCalendar_T<Traits>::Layout()
{
    CRect client;
    GetClientRect(&client);
    const int W = client.Width();
    const int H = client.Height();
    const int titleBottom = static_cast<int>(0.175 * (H - 1));
    m_title.SetRect(CRect(0, 0, W - 1, titleBottom));
    m_dayBar.SetRect(CRect(0, titleBottom, W - 1, static_cast<int>(0.25 * (H - 1))));
    static const double kRows[] = {0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1.0};
    static const double kCols[] = {0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c)
            m_days[r * 7 + c].SetRect(CRect(static_cast<int>(W * kCols[c]), static_cast<int>(H * kRows[r]),
                                             static_cast<int>(W * kCols[c + 1]) - 1,
                                             static_cast<int>(H * kRows[r + 1]) - 1));
}

template <class Traits>
void SECCalendar_T<Traits>::FitFonts()
{
    CClientDC dc(this);
    m_title.FitFont(&dc, m_lfTitle);
    m_dayBar.FitFont(&dc, m_lfBar);
    m_days[0].FitFont(&dc, m_lfDay);
    m_titleFont.DeleteObject();
    m_titleFont.CreateFontIndirect(&m_lfTitle);
    m_barFont.DeleteObject();
    m_barFont.CreateFontIndirect(&m_lfBar);
    m_dayFont.DeleteObject();
    m_dayFont.CreateFontIndirect(&m_lfDay);
}

template <class Traits>
CSize SECCalendar_T<Traits>::MeasureNaturalSize(CDC* pDC)
{
    DayBox& first = m_days[0];
    first.SetBehavior(m_behavior);
    first.SetDrawStyle(m_outsideStyle);
    first.SetBevel(m_bevel);
    m_dayBar.SetDrawStyle(m_drawStyle);
    m_title.SetDrawStyle(m_drawStyle | SECPANEL_CENTER);
    CFont* old = pDC->SelectObject(&m_dayFont);
    const SIZE cell = first.NaturalSize(pDC);
    pDC->SelectObject(&m_barFont);
    const SIZE bar = m_dayBar.NaturalSize(pDC);
    pDC->SelectObject(&m_titleFont);
    const SIZE title = m_title.NaturalSize(pDC);
    pDC->SelectObject(old);
    return CSize(std::max({7 * cell.cx, bar.cx, title.cx}), title.cy + bar.cy + 6 * cell.cy);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::SelectDate(const COleDateTime& date, BOOL bRedraw)
{
    if ((m_hWnd && (m_behavior & SECBEHAVIOR_FROZEN)) || !DTIsInRange(date) ||
        !IsDateAllowed(date.GetYear(), date.GetMonth(), date.GetDay())) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_displayDate = DTNoon(date);
    m_title.SetTitle(m_displayDate);
    FillGrid();
    if (bRedraw && m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    return TRUE;
}

template <class Traits>
void SECCalendar_T<Traits>::FillGrid()
{
    m_keyDate = m_displayDate;
    // The first of the month, then back to the first day of the week; computed, not stepped,
    // so that the grid near the ends of the date range never leaves it in a loop.
    const long first = DayNumber(m_displayDate) - (m_displayDate.GetDay() - 1);
    const int dow = NoonOfDay(first).GetDayOfWeek();
    const long start = first - ((dow - m_dayBar.GetFirstDayOfWeek() + 7) % 7);
    const int shownMonth = m_displayDate.GetMonth();
    for (int i = 0; i < 42; ++i) {
        DayBox& box = m_days[i];
        const long n = start + i;
        COleDateTime day;
        if (n >= static_cast<long>(-657434) && n <= static_cast<long>(2958465))
            day = NoonOfDay(n);
        else
            day.SetStatus(COleDateTime::invalid);
        const bool valid = day.GetStatus() == COleDateTime::valid;
        const bool inside = valid && n >= first && day.GetMonth() == shownMonth && (n - first) < 31;
        box.SetDate(day);
        box.SetBehavior(m_behavior);
        box.SetDrawStyle(inside ? m_drawStyle : m_outsideStyle);
        box.SetOutside(inside ? FALSE : TRUE);
        box.SetMarked(valid && IsMarked(day), FALSE);
        if (valid && m_pHighlight && SameDay(*m_pHighlight, day)) {
            box.SetPressed(TRUE, FALSE);
            m_keyDate = day;
        } else {
            box.SetPressed(FALSE, FALSE);
        }
    }
}

template <class Traits>
BOOL SECCalendar_T<Traits>::IsMarked(const COleDateTime& date) const
{
    const COleDateTime d = DTNoon(date);
    for (const COleDateTime& m : m_marked) {
        if (SameDay(m, d))
            return TRUE;
        if (static_cast<DATE>(m) > static_cast<DATE>(d))
            return FALSE;
    }
    return FALSE;
}

template <class Traits>
void SECCalendar_T<Traits>::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNotifyWnd && m_pNotifyWnd->GetSafeHwnd())
        ::PostMessage(m_pNotifyWnd->m_hWnd, message, wParam, lParam);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::MarkDate(const COleDateTime& date, BOOL bMark)
{
    const COleDateTime d = DTNoon(date);
    for (DayBox& box : m_days)
        if (!box.IsEmpty() && SameDay(box.GetDate(), d)) {
            box.SetMarked(bMark, TRUE);
            if (m_hWnd)
                Post(Traits::kMsgMark, bMark, reinterpret_cast<LPARAM>(&box));
        }
    if (bMark) {
        auto it = m_marked.begin();
        while (it != m_marked.end() && static_cast<DATE>(*it) < static_cast<DATE>(d))
            ++it;
        if (it == m_marked.end() || !SameDay(*it, d))
            m_marked.insert(it, d);
    } else {
        m_marked.remove_if([&](const COleDateTime& m) { return SameDay(m, d); });
    }
    return TRUE;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::HighlightDate(const COleDateTime& date, BOOL bOn)
{
    const COleDateTime d = DTNoon(date);
    if (bOn) {
        m_keyDate = d;
        m_highlightDate = d;
        m_pHighlight = &m_highlightDate;
    } else {
        m_pHighlight = nullptr;
    }
    for (DayBox& box : m_days) {
        if (!box.IsEmpty() && SameDay(box.GetDate(), d)) {
            box.SetPressed(bOn, TRUE);
            m_pFocusBox = &box;
            if (m_bCreated)
                Post(Traits::kMsgHighlight, bOn, reinterpret_cast<LPARAM>(&box));
            if (m_behavior & SECBEHAVIOR_OK_ON_HIGHLIGHT)
                Post(Traits::kMsgOK, bOn, reinterpret_cast<LPARAM>(&box));
        } else if (box.IsPressed()) {
            box.SetPressed(FALSE, TRUE);
        }
    }
    if (m_bCreated && m_hWnd)
        SetFocus();
    MoveKeyFrame();
    return TRUE;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::ToggleHighlight(const COleDateTime& date)
{
    const COleDateTime d = DTNoon(date);
    for (DayBox& box : m_days)
        if (!box.IsEmpty() && SameDay(box.GetDate(), d)) {
            HighlightDate(d, !box.IsPressed());
            if (m_behavior & SECBEHAVIOR_OK_ON_HIGHLIGHT)
                CloseOK();
            return TRUE;
        }
    return FALSE;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::ToggleMark(const COleDateTime& date)
{
    const COleDateTime d = DTNoon(date);
    for (DayBox& box : m_days)
        if (!box.IsEmpty() && SameDay(box.GetDate(), d)) {
            MarkDate(d, !box.IsMarked());
            break;
        }
    return TRUE;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::MarkDate(const CTime& date, BOOL bMark)
{
    return MarkDate(COleDateTime(date.GetTime()), bMark);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::HighlightDate(const CTime& date, BOOL bOn)
{
    return HighlightDate(COleDateTime(date.GetTime()), bOn);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::ToggleHighlight(const CTime& date)
{
    return ToggleHighlight(COleDateTime(date.GetTime()));
}

template <class Traits>
BOOL SECCalendar_T<Traits>::ToggleMark(const CTime& date)
{
    return ToggleMark(COleDateTime(date.GetTime()));
}

namespace {

COleDateTimeSpan FromTimeSpan(const CTimeSpan& span)
{
    const long long s = span.GetTimeSpan();
    return COleDateTimeSpan(static_cast<LONG>(s / 86400), static_cast<int>(s / 3600 % 24),
                            static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
}

// The whole days of a span split as the allowed-date check adds them.
void SplitDays(const COleDateTimeSpan& span, int& y, int& m, int& d)
{
    const long n = static_cast<long>(std::trunc(span.GetTotalDays()));
    y = static_cast<int>(n / 365);
    m = static_cast<int>((n % 365) / 28);
    d = static_cast<int>((n % 365) % 28);
}

} // namespace

template <class Traits>
BOOL SECCalendar_T<Traits>::AdvanceHighlight(const CTimeSpan& span)
{
    return AdvanceHighlight(FromTimeSpan(span));
}

template <class Traits>
BOOL SECCalendar_T<Traits>::AdvancePage(const CTimeSpan& span)
{
    return AdvancePage(FromTimeSpan(span));
}

template <class Traits>
BOOL SECCalendar_T<Traits>::AdvancePage(const COleDateTimeSpan& span)
{
    const COleDateTime base = m_displayDate;
    int y, m, d;
    SplitDays(span, y, m, d);
    const COleDateTime target = base + span;
    // A step that leaves the date range is refused like any other refused date.
    if (!IsDateAllowed(base.GetYear() + y, base.GetMonth() + m, base.GetDay() + d) || !DTIsInRange(target)) {
        RejectBeep();
        return FALSE;
    }
    return SelectDate(target, TRUE);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::AdvanceHighlight(const COleDateTimeSpan& span)
{
    if (!m_pFocusBox) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    const COleDateTime base = m_pFocusBox->GetDate();
    int y, m, d;
    SplitDays(span, y, m, d);
    const COleDateTime target = DTNoon(base + span);
    if (!IsDateAllowed(base.GetYear() + y, base.GetMonth() + m, base.GetDay() + d) || !DTIsInRange(target)) {
        RejectBeep();
        return FALSE;
    }
    if (!SameMonth(target, m_displayDate) && !SelectDate(target, TRUE))
        return FALSE;
    HighlightDate(target, TRUE);
    return TRUE;
}

template <class Traits>
BOOL SECCalendar_T<Traits>::NextDay(BOOL bMoveHighlight)
{
    const COleDateTimeSpan span(1, 0, 0, 0);
    return bMoveHighlight ? AdvanceHighlight(span) : AdvancePage(span);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::PrevDay(BOOL bMoveHighlight)
{
    const COleDateTimeSpan span(-1, 0, 0, 0);
    return bMoveHighlight ? AdvanceHighlight(span) : AdvancePage(span);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::NextWeek(BOOL bMoveHighlight)
{
    if (m_hWnd)
        SetFocus();
    const COleDateTimeSpan span(7, 0, 0, 0);
    return bMoveHighlight ? AdvanceHighlight(span) : AdvancePage(span);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::PrevWeek(BOOL bMoveHighlight)
{
    if (m_hWnd)
        SetFocus();
    const COleDateTimeSpan span(-7, 0, 0, 0);
    return bMoveHighlight ? AdvanceHighlight(span) : AdvancePage(span);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::StepTo(const COleDateTime& base, const COleDateTime& target, BOOL bMoveHighlight)
{
    if (!DTIsInRange(target)) {
        RejectBeep();
        return FALSE;
    }
    if (m_hWnd)
        SetFocus();
    const COleDateTimeSpan span = target - base;
    const BOOL result = bMoveHighlight ? AdvanceHighlight(span) : AdvancePage(span);
    AfterPaging();
    return result;
}

template <class Traits>
void SECCalendar_T<Traits>::AfterPaging()
{
    if (Traits::kReHighlightAfterPaging) {
        if (m_pFocusBox && !m_pFocusBox->IsEmpty())
            HighlightDate(m_pFocusBox->GetDate(), TRUE);
    } else if (m_pFocusBox && (!m_pHighlight || !SameMonth(*m_pHighlight, m_displayDate) || !m_pFocusBox->IsPressed())) {
        // The highlighted day left the shown month: no cell stands for it any more, so that
        // Enter cannot hand over the date of a cell that is not highlighted.
        m_pFocusBox = nullptr;
    }
    MoveKeyFrame();
}

template <class Traits>
BOOL SECCalendar_T<Traits>::MonthStep(BOOL bMoveHighlight, int nDirection, DayOfMonth day)
{
    if (bMoveHighlight && !m_pFocusBox) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    const COleDateTime base = bMoveHighlight ? m_pFocusBox->GetDate() : m_displayDate;
    int y = base.GetYear();
    int m = base.GetMonth() + nDirection;
    if (m > 12) {
        m = 1;
        ++y;
    } else if (m < 1) {
        m = 12;
        --y;
    }
    // A day kept keeps its number in the next or previous month, as a year's step keeps it,
    // cut to that month's last day.
    const int nDays = y >= 100 && y <= 9999 ? DTDaysInMonth(y, m) : 0;
    const int d = day == DayOfMonth::Kept ? std::min(base.GetDay(), nDays) : 1;
    COleDateTime target;
    if (nDays == 0 || target.SetDateTime(y, m, d, 12, 0, 0) != COleDateTime::valid) {
        RejectBeep();
        return FALSE;
    }
    return StepTo(base, target, bMoveHighlight);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::YearStep(BOOL bMoveHighlight, int nDirection)
{
    if (bMoveHighlight && !m_pFocusBox) {
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    const COleDateTime base = bMoveHighlight ? m_pFocusBox->GetDate() : m_displayDate;
    if (!IsDateAllowed(base.GetYear() + nDirection, base.GetMonth(), 1)) {
        RejectBeep();
        return FALSE;
    }
    const int y = base.GetYear() + nDirection;
    COleDateTime target;
    int status;
    if (base.GetMonth() == 2 && base.GetDay() == 29)
        status = (y < 100 || y > 9999) ? COleDateTime::invalid : target.SetDateTime(y, 2, 28, 0, 0, 0);
    else
        status = (y < 100 || y > 9999) ? COleDateTime::invalid
                                       : target.SetDateTime(y, base.GetMonth(), base.GetDay(), 12, 0, 0);
    if (status != COleDateTime::valid) {
        RejectBeep();
        return FALSE;
    }
    return StepTo(base, target, bMoveHighlight);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::NextMonth(BOOL bMoveHighlight)
{
    return MonthStep(bMoveHighlight, 1);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::PrevMonth(BOOL bMoveHighlight)
{
    return MonthStep(bMoveHighlight, -1);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::NextYear(BOOL bMoveHighlight)
{
    return YearStep(bMoveHighlight, 1);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::PrevYear(BOOL bMoveHighlight)
{
    return YearStep(bMoveHighlight, -1);
}

template <class Traits>
void SECCalendar_T<Traits>::CloseOK(WPARAM wParam, LPARAM lParam)
{
    Post(Traits::kMsgOK, wParam, lParam);
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

template <class Traits>
void SECCalendar_T<Traits>::CloseCancel(WPARAM wParam, LPARAM lParam)
{
    Post(Traits::kMsgCancel, wParam, lParam);
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

template <class Traits>
typename SECCalendar_T<Traits>::DayBox* SECCalendar_T<Traits>::DayAt(POINT pt)
{
    for (DayBox& box : m_days)
        if (!box.IsEmpty() && box.HitTest(pt))
            return &box;
    return nullptr;
}

template <class Traits>
void SECCalendar_T<Traits>::ClickCell(DayBox* pBox)
{
    const COleDateTime date = pBox->GetDate();
    if (pBox->IsOutside() && !(m_behavior & SECBEHAVIOR_OUTSIDE_SELECTABLE) && !SelectDate(date, TRUE))
        return;
    if (m_behavior & SECBEHAVIOR_TRACK)
        HighlightDate(date, TRUE);
    else
        ToggleHighlight(date);
}

template <class Traits>
void SECCalendar_T<Traits>::OnLButtonDown(POINT pt)
{
    DayBox* box = DayAt(pt);
    if (!box)
        return;
    m_bRestore = FALSE;
    if (m_highlightDate.GetStatus() == COleDateTime::valid && SameMonth(m_highlightDate, m_displayDate)) {
        m_bRestore = TRUE;
        m_restoreDate = m_highlightDate;
    }
    ClickCell(box);
    // The click may have shown another month: the cell under the point now holds another day.
    DayBox* now = DayAt(pt);
    if (now && now->IsPressed() && (m_behavior & SECBEHAVIOR_TRACK)) {
        SetCapture();
        m_bTracking = TRUE;
    }
}

template <class Traits>
void SECCalendar_T<Traits>::RestoreAfterDrag()
{
    if (m_bRestore)
        HighlightDate(m_restoreDate, TRUE);
}

template <class Traits>
void SECCalendar_T<Traits>::OnLButtonUp(POINT pt)
{
    if (!m_bTracking)
        return;
    m_bTracking = FALSE;
    ReleaseCapture();
    CRect client;
    GetClientRect(&client);
    if (DayBox* box = DayAt(pt)) {
        ClickCell(box);
        if (m_behavior & SECBEHAVIOR_CLOSE_ON_DBLCLK)
            CloseOK();
    } else if (client.PtInRect(pt)) {
        if (m_behavior & SECBEHAVIOR_CLOSE_ON_DBLCLK)
            CloseOK();
    } else {
        RestoreAfterDrag();
    }
}

template <class Traits>
void SECCalendar_T<Traits>::OnMouseMove(POINT pt)
{
    if (!m_bTracking)
        return;
    CRect client;
    GetClientRect(&client);
    DayBox* box = DayAt(pt);
    if (box && !box->IsPressed())
        ClickCell(box);
    else if (!client.PtInRect(pt) && m_pFocusBox && m_pFocusBox->IsPressed())
        HighlightDate(m_pFocusBox->GetDate(), FALSE);
}

template <class Traits>
void SECCalendar_T<Traits>::OnCancelMode()
{
    if (!m_bTracking)
        return;
    m_bTracking = FALSE;
    ReleaseCapture();
    RestoreAfterDrag();
}

template <class Traits>
void SECCalendar_T<Traits>::OnLButtonDblClk(POINT pt)
{
    if (DayBox* box = DayAt(pt); box && !box->IsPressed())
        ClickCell(box);
    if (m_behavior & SECBEHAVIOR_CLOSE_ON_DBLCLK)
        ::PostMessage(m_hWnd, Traits::kMsgOK, 0, 0);
}

template <class Traits>
void SECCalendar_T<Traits>::OnRButtonDown(POINT pt)
{
    DayBox* box = DayAt(pt);
    if (!box)
        return;
    const COleDateTime date = box->GetDate();
    if (box->IsOutside() && !SelectDate(date, TRUE))
        return;
    ToggleMark(date);
}

template <class Traits>
BOOL SECCalendar_T<Traits>::OnKeyDown(UINT nChar)
{
    if (!(m_behavior & SECBEHAVIOR_KEYS))
        return FALSE;
    switch (nChar) {
    case VK_CANCEL:
    case VK_ESCAPE:
        CloseCancel();
        break;
    case VK_RETURN:
        if (m_pFocusBox)
            CloseOK();
        else
            CloseCancel();
        break;
    case VK_SPACE:
        ToggleHighlight(m_keyDate);
        break;
    case VK_HOME: {
        COleDateTime d;
        if (d.SetDateTime(m_displayDate.GetYear(), m_displayDate.GetMonth(), 1, 12, 0, 0) == COleDateTime::valid)
            HighlightDate(d, TRUE);
        break;
    }
    case VK_END: {
        COleDateTime d;
        const int last = DTDaysInMonth(m_displayDate.GetYear(), m_displayDate.GetMonth());
        if (last && d.SetDateTime(m_displayDate.GetYear(), m_displayDate.GetMonth(), last, 12, 0, 0) ==
                        COleDateTime::valid)
            HighlightDate(d, TRUE);
        break;
    }
    default:
        break;
    }
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (nChar) {
    case VK_RIGHT:
    case VK_NUMPAD6:
        ctrl ? NextMonth(TRUE) : NextDay(TRUE);
        break;
    case VK_LEFT:
    case VK_NUMPAD4:
        ctrl ? PrevMonth(TRUE) : PrevDay(TRUE);
        break;
    case VK_DOWN:
    case VK_NUMPAD2:
        ctrl ? NextYear(TRUE) : NextWeek(TRUE);
        break;
    case VK_UP:
    case VK_NUMPAD8:
        ctrl ? PrevYear(TRUE) : PrevWeek(TRUE);
        break;
    // A page of the calendar is a month: the day keeps its number there, as it does a year on.
    case VK_NEXT:
        ctrl ? NextYear(TRUE) : MonthStep(TRUE, 1, DayOfMonth::Kept);
        break;
    case VK_PRIOR:
        ctrl ? PrevYear(TRUE) : MonthStep(TRUE, -1, DayOfMonth::Kept);
        break;
    default:
        break;
    }
    return TRUE;
}

template <class Traits>
void SECCalendar_T<Traits>::OnPaint()
{
    CPaintDC dc(this);
    CFont* old = dc.SelectObject(&m_titleFont);
    if (dc.RectVisible(&m_title.m_rect)) {
        m_title.Draw(&dc);
    }
    dc.SelectObject(&m_barFont);
    if (dc.RectVisible(&m_dayBar.m_rect))
        m_dayBar.Draw(&dc);
    dc.SelectObject(&m_dayFont);
    for (DayBox& box : m_days) {
        CRect rc = box.GetRect();
        rc.right += 1;
        rc.bottom += 1;
        if (dc.RectVisible(&rc))
            box.Draw(&dc);
    }
    dc.SelectObject(old);
    m_rcKeyFrame = KeyFrameRect();
    if (!m_rcKeyFrame.IsRectEmpty())
        dc.DrawFocusRect(&m_rcKeyFrame);
}

template <class Traits>
CRect SECCalendar_T<Traits>::KeyFrameRect()
{
    // With the keys, the day they move from wears a dotted frame, as a list's focused item
    // does; the whole calendar does while no day of the month shown stands for it.
    CRect focus;
    if (!m_hWnd || ::GetFocus() != m_hWnd || !(m_behavior & SECBEHAVIOR_KEYS))
        return focus;
    GetClientRect(&focus);
    DayBox* keys = m_pFocusBox;
    for (DayBox& box : m_days)
        if (keys == nullptr && !box.IsEmpty() && !box.IsOutside() && SameDay(box.GetDate(), m_keyDate))
            keys = &box;
    if (keys != nullptr && !keys->IsEmpty())
        focus = keys->GetRect();
    focus.DeflateRect(5, 5);
    return focus;
}

template <class Traits>
void SECCalendar_T<Traits>::MoveKeyFrame()
{
    // The day the frame was drawn on is drawn again without it: a month shown anew paints its
    // days while the frame still stands where the keys were, and the day they go to is
    // painted on its own after.
    const CRect now = KeyFrameRect();
    if (!m_hWnd || now == m_rcKeyFrame)
        return;
    CRect was = m_rcKeyFrame;
    was.InflateRect(5, 5);
    InvalidateRect(&was, FALSE);
    CRect to = now;
    to.InflateRect(5, 5);
    InvalidateRect(&to, FALSE);
}

template <class Traits>
LRESULT SECCalendar_T<Traits>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(FALSE);
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCHITTEST: {
        LRESULT hit = CWnd::WindowProc(message, wParam, lParam);
        if (!(m_behavior & SECBEHAVIOR_SIZABLE)) {
            switch (hit) {
            case HTBORDER: case HTBOTTOM: case HTBOTTOMLEFT: case HTBOTTOMRIGHT: case HTTOPLEFT:
            case HTTOPRIGHT: case HTLEFT: case HTRIGHT: case HTTOP:
                hit = HTCLIENT;
                break;
            default:
                break;
            }
        }
        return hit;
    }
    case WM_LBUTTONDOWN:
        CWnd::WindowProc(message, wParam, lParam);
        OnLButtonDown(pt);
        return 0;
    case WM_LBUTTONUP:
        CWnd::WindowProc(message, wParam, lParam);
        OnLButtonUp(pt);
        return 0;
    case WM_LBUTTONDBLCLK:
        CWnd::WindowProc(message, wParam, lParam);
        OnLButtonDblClk(pt);
        return 0;
    case WM_MOUSEMOVE:
        CWnd::WindowProc(message, wParam, lParam);
        OnMouseMove(pt);
        return 0;
    case WM_RBUTTONDOWN:
        CWnd::WindowProc(message, wParam, lParam);
        OnRButtonDown(pt);
        return 0;
    case WM_CANCELMODE:
        CWnd::WindowProc(message, wParam, lParam);
        OnCancelMode();
        return 0;
    case WM_CAPTURECHANGED:
        if (m_bTracking && reinterpret_cast<HWND>(lParam) != m_hWnd)
            OnCancelMode();
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return CWnd::WindowProc(message, wParam, lParam);
        return 0;
    case WM_GETDLGCODE:
        return (m_behavior & SECBEHAVIOR_KEYS) ? DLGC_WANTARROWS | DLGC_WANTCHARS : 0;
    case WM_SYSCOLORCHANGE:
        Traits::RefreshColors();
        LoadSysColors();
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case Traits::kCmdNextMonth: NextMonth(FALSE); return 0;
        case Traits::kCmdPrevMonth: PrevMonth(FALSE); return 0;
        case Traits::kCmdNextYear: NextYear(FALSE); return 0;
        case Traits::kCmdPrevYear: PrevYear(FALSE); return 0;
        default: break;
        }
        break;
    default:
        if (message == Traits::kMsgOK) {
            CloseOK(wParam, lParam);
            return 0;
        }
        if (message == Traits::kMsgCancel) {
            CloseCancel(wParam, lParam);
            return 0;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- SECPopupCalendar_T ----

template <class Traits>
SECPopupCalendar_T<Traits>::SECPopupCalendar_T()
{
    this->m_behavior = 0x39C100;
    this->m_drawStyle = 0x83;
    this->m_outsideStyle = 0x181;
}

template <class Traits>
SECPopupCalendar_T<Traits>::~SECPopupCalendar_T()
{
    if (this->m_hWnd)
        this->DestroyWindow();
}

template <class Traits>
int SECPopupCalendar_T<Traits>::SetDeactivateMode(int nMode)
{
    const int old = m_bOkOnDeactivate ? 1 : 2;
    m_bOkOnDeactivate = nMode == 1;
    return old;
}

template <class Traits>
CPoint SECPopupCalendar_T<Traits>::PlaceBeside(const RECT& rcAnchor, SIZE size, const RECT& bounds, BOOL bAlignLeft)
{
    CPoint pt;
    pt.y = rcAnchor.bottom + size.cy >= bounds.bottom ? rcAnchor.top - size.cy : rcAnchor.bottom;
    if (bAlignLeft)
        pt.x = rcAnchor.left + size.cx >= bounds.right ? rcAnchor.right - size.cx : rcAnchor.left;
    else
        pt.x = rcAnchor.right + size.cx >= bounds.right ? rcAnchor.left - size.cx : rcAnchor.right;
    return pt;
}

template <class Traits>
BOOL SECPopupCalendar_T<Traits>::Create(DWORD dwStyle, const RECT& rcAnchor, CWnd* pParentWnd, UINT)
{
    this->m_behavior |= SECBEHAVIOR_SIZE_TO_CONTENT;
    CSize size;
    {
        CClientDC dc(pParentWnd);
        size = this->MeasureNaturalSize(&dc);
    }
    CRect rc(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rc, dwStyle | WS_POPUP, FALSE, 0);
    const SIZE outer{rc.Width(), rc.Height()};
    RECT bounds;
    if (Traits::kUseWorkArea) {
        bounds = GetWorkArea();
    } else {
        bounds = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const CPoint at = PlaceBeside(rcAnchor, outer, bounds, (dwStyle & 0x1) != 0);
    const CRect place(at.x, at.y, at.x + outer.cx, at.y + outer.cy);
    if (SECCalendar_T<Traits>::Create(dwStyle | WS_POPUP, place, pParentWnd, 0, nullptr) != TRUE)
        return FALSE;
    this->SetFocus();
    return TRUE;
}

template <class Traits>
LRESULT SECPopupCalendar_T<Traits>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE) {
        const LRESULT r = SECCalendar_T<Traits>::WindowProc(message, wParam, lParam);
        if (LOWORD(wParam) == WA_INACTIVE && this->IsWindowVisible()) {
            if (m_bOkOnDeactivate && this->GetHighlightedDayBox())
                this->CloseOK();
            else
                this->CloseCancel();
        }
        return r;
    }
    return SECCalendar_T<Traits>::WindowProc(message, wParam, lParam);
}

template class SECCalendar_T<SECDTTraits>;
template class SECCalendar_T<CGXBDTTraits>;
template class SECPopupCalendar_T<SECDTTraits>;
template class SECPopupCalendar_T<CGXBDTTraits>;
