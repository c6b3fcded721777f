// The calendar's panels: plain objects painted inside the calendar window, each owning a
// rectangle of its client area: the base panel (border, bevel, mark frame, text), the day cell,
// the weekday bar and the title with its four navigation buttons. One template serves the
// toolkit's panels and the grid library's twins.
#pragma once

#include "platform/afx/dlg/CButton.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/COleDateTime.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "toolkit/datetime/wnd/DTTraits.h"

class CDC;
template <class Traits> class SECCalendar_T;

// Draw-style bits; of each pair the first is read in the pressed state, the second otherwise.
constexpr DWORD SECPANEL_BORDER_PRESSED = 0x08;
constexpr DWORD SECPANEL_BORDER = 0x10;
constexpr DWORD SECPANEL_BEVEL_PRESSED = 0x02;
constexpr DWORD SECPANEL_BEVEL = 0x04;
constexpr DWORD SECPANEL_MARK_PRESSED = 0x20;
constexpr DWORD SECPANEL_MARK = 0x40;
constexpr DWORD SECPANEL_CENTER = 0x80;
constexpr DWORD SECPANEL_GRAY_OUTSIDE = 0x100;
constexpr DWORD SECPANEL_FULL_MONTHS = 0x10000000;
constexpr DWORD SECPANEL_FULL_DAYS = 0x20000000;

// The weekday and month names of the toolkit's locale; FALSE, with the text unchanged, when the
// locale does not answer. Day 1 is Sunday.
BOOL GetLocaleDayName(CString& strOut, int nDay, BOOL bFull);
BOOL GetLocaleMonthName(CString& strOut, int nMonth, BOOL bFull);

template <class Traits>
class SECPanel_T : public CObject {
public:
    using Calendar = SECCalendar_T<Traits>;

    SECPanel_T() = default;
    ~SECPanel_T() override = default;
    SECPanel_T(const SECPanel_T&) = delete;
    SECPanel_T& operator=(const SECPanel_T&) = delete;

    virtual BOOL Create(int left, int top, int right, int bottom, Calendar* pCalendar, DWORD dwWndStyle, UINT nID,
                        BOOL bPressed, BOOL bMarked, DWORD dwStyle, DWORD dwBehavior, int nBevel);

    virtual BOOL DrawMarkFrame(CDC* pDC);
    virtual BOOL Draw(CDC* pDC);
    virtual BOOL DrawBevel(CDC* pDC);
    virtual BOOL DrawBorder(CDC* pDC);
    virtual BOOL DrawBackground(CDC* pDC);
    virtual BOOL DrawContent(CDC* pDC);

    DWORD SetDrawStyle(DWORD dw);
    DWORD GetDrawStyle() const { return m_style; }
    DWORD SetBehavior(DWORD dw);
    DWORD GetBehavior() const { return m_behavior; }
    int SetBevel(int n);
    void SetTextColor(COLORREF cr) { m_textColor = cr; }
    void SetGrayColor(COLORREF cr) { m_grayColor = cr; }
    // The face the panel's interior is filled with; the button face unless set.
    void SetFaceColor(COLORREF cr) { m_faceColor = cr; m_bFaceColor = TRUE; }
    CRect SetRect(const RECT& rc);
    CString SetText(const CString& str);
    const CString& GetText() const { return m_strText; }
    CRect GetRect() const { return m_rect; }
    CRect GetInteriorRect();
    BOOL HitTest(POINT pt) const { return m_rect.PtInRect(pt); }
    BOOL SetPressed(BOOL bPressed, BOOL bRedraw);
    BOOL SetMarked(BOOL bMarked, BOOL bRedraw);
    BOOL IsPressed() const { return m_bPressed; }
    BOOL IsMarked() const { return m_bMarked; }
    // The interior margin a state would have (pressed and marked chosen by the caller).
    int MarginFor(BOOL bPressed, BOOL bMarked) const;

protected:
    void RecalcMargins();
    // Nested one-pixel rectangles from a pixels inside the edge to b.
    void DrawFrame(CDC* pDC, int a, int b, COLORREF topLeft, COLORREF bottomRight);
    void InvalidateSelf();
    // Fits a font to a size by doubling and then shrinking it; measure answers the natural size.
    template <class Measure>
    static void FitFont(LOGFONT& lf, int width, int height, double factor, int stopBelow, Measure measure);

public:
    COLORREF m_grayColor = 0x808080;
    Calendar* m_pCalendar = nullptr;
    DWORD m_behavior = 0;
    DWORD m_style = 0x17F;
    CString m_strText;
    CRect m_rect;
    int m_bevel = 3;
    BOOL m_bPressed = FALSE;
    BOOL m_bMarked = FALSE;
    COLORREF m_borderColor = 0;
    COLORREF m_markColor = 255;
    COLORREF m_textColor = 0;
    BOOL m_bDirty = TRUE;
    BOOL m_bCreated = FALSE;
    int m_borderFrom = 0;
    int m_borderTo = 0;
    int m_bevelTo = 0;
    int m_margin = 0;
    COLORREF m_faceColor = 0;
    BOOL m_bFaceColor = FALSE;
};

template <class Traits>
class SECDayBox_T : public SECPanel_T<Traits> {
public:
    BOOL DrawContent(CDC* pDC) override;
    COleDateTime SetDate(const COleDateTime& date);
    COleDateTime& GetDate() { return m_date; }
    BOOL SetOutside(BOOL bOutside);
    BOOL IsOutside() const { return m_bOutside; }
    // A cell showing a date outside the controls' range shows nothing and takes no clicks.
    BOOL IsEmpty() const { return m_date.GetStatus() != COleDateTime::valid; }
    SIZE NaturalSize(CDC* pDC);
    void FitFont(CDC* pDC, LOGFONT& lf);

    COleDateTime m_date;
    BOOL m_bOutside = FALSE;
};

template <class Traits>
class SECDayBar_T : public SECPanel_T<Traits> {
public:
    BOOL DrawContent(CDC* pDC) override;
    SIZE NaturalSize(CDC* pDC);
    void FitFont(CDC* pDC, LOGFONT& lf);
    int GetFirstDayOfWeek() const { return m_firstDayOfWeek; }
    void SetFirstDayOfWeek(int n) { m_firstDayOfWeek = (n >= 1 && n <= 7) ? n : 1; }

    int m_firstDayOfWeek = 1;
};

template <class Traits>
class SECCalTitle_T : public SECPanel_T<Traits> {
public:
    using Calendar = SECCalendar_T<Traits>;

    BOOL Create(int left, int top, int right, int bottom, Calendar* pCalendar, DWORD dwWndStyle, UINT nID,
                BOOL bPressed, BOOL bMarked, DWORD dwStyle, DWORD dwBehavior, int nBevel) override;
    BOOL Draw(CDC* pDC) override;
    virtual CRect SetRect(const RECT& rc);
    virtual void SetTitle(const COleDateTime& date);
    SIZE NaturalSize(CDC* pDC);
    void FitFont(CDC* pDC, LOGFONT& lf);

    Calendar* m_pTitleCalendar = nullptr;
    CButton m_prevYear;
    CButton m_prevMonth;
    CButton m_nextMonth;
    CButton m_nextYear;
    BOOL m_bYearButtons = TRUE;
    BOOL m_bMonthButtons = TRUE;
};

using SECPanel = SECPanel_T<SECDTTraits>;
using SECDayBox = SECDayBox_T<SECDTTraits>;
using SECDayBar = SECDayBar_T<SECDTTraits>;
using SECCalTitle = SECCalTitle_T<SECDTTraits>;
using CGXBPanel = SECPanel_T<CGXBDTTraits>;
using CGXBDayBox = SECDayBox_T<CGXBDTTraits>;
using CGXBDayBar = SECDayBar_T<CGXBDTTraits>;
using CGXBCalTitle = SECCalTitle_T<CGXBDTTraits>;
