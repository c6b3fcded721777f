// The month calendar window: a title with month, year and navigation buttons, a weekday bar and
// 42 day cells starting on the first day of the week. A day is highlighted by mouse or keys,
// months and years are paged, days can be marked; every change is posted to the owner. The
// pop-up variant closes itself (hides) with OK or Cancel, also when it loses activation.
// One template serves SECCalendar and the grid library's CGXBCalendar.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/COleDateTime.h"
#include "platform/core/CTime.h"
#include "toolkit/datetime/wnd/SECPanel.h"

#include <list>

struct CCreateContext;

// Behaviour flags.
constexpr DWORD SECBEHAVIOR_CLOSE_ON_DBLCLK = 0x00000100;
constexpr DWORD SECBEHAVIOR_OUTSIDE_SELECTABLE = 0x00000200;
constexpr DWORD SECBEHAVIOR_PRESSABLE = 0x00004000;
constexpr DWORD SECBEHAVIOR_MARKABLE = 0x00008000;
constexpr DWORD SECBEHAVIOR_FIT_FONTS = 0x00010000;
constexpr DWORD SECBEHAVIOR_SIZE_TO_CONTENT = 0x00020000;
constexpr DWORD SECBEHAVIOR_OK_ON_HIGHLIGHT = 0x00040000;
constexpr DWORD SECBEHAVIOR_MONTH_BUTTONS = 0x00080000;
constexpr DWORD SECBEHAVIOR_YEAR_BUTTONS = 0x00100000;
constexpr DWORD SECBEHAVIOR_KEYS = 0x00200000;
constexpr DWORD SECBEHAVIOR_FROZEN = 0x00400000;
constexpr DWORD SECBEHAVIOR_SIZABLE = 0x00800000;
constexpr DWORD SECBEHAVIOR_TRACK = 0x01000000;

template <class Traits>
class SECCalendar_T : public CWnd {
public:
    using DayBox = SECDayBox_T<Traits>;
    using DayBar = SECDayBar_T<Traits>;
    using CalTitle = SECCalTitle_T<Traits>;

    SECCalendar_T();
    ~SECCalendar_T() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL NextDay(BOOL bMoveHighlight);
    virtual BOOL PrevDay(BOOL bMoveHighlight);
    virtual BOOL NextWeek(BOOL bMoveHighlight);
    virtual BOOL PrevWeek(BOOL bMoveHighlight);
    virtual BOOL NextMonth(BOOL bMoveHighlight);
    virtual BOOL PrevMonth(BOOL bMoveHighlight);
    virtual BOOL NextYear(BOOL bMoveHighlight);
    virtual BOOL PrevYear(BOOL bMoveHighlight);
    virtual BOOL AdvanceHighlight(const CTimeSpan& span);
    virtual BOOL AdvanceHighlight(const COleDateTimeSpan& span);
    virtual BOOL AdvancePage(const CTimeSpan& span);
    virtual BOOL AdvancePage(const COleDateTimeSpan& span);
    virtual BOOL MarkDate(const CTime& date, BOOL bMark);
    virtual BOOL MarkDate(const COleDateTime& date, BOOL bMark);
    virtual BOOL HighlightDate(const CTime& date, BOOL bOn);
    virtual BOOL HighlightDate(const COleDateTime& date, BOOL bOn);
    virtual BOOL ToggleHighlight(const CTime& date);
    virtual BOOL ToggleHighlight(const COleDateTime& date);
    virtual BOOL ToggleMark(const CTime& date);
    virtual BOOL ToggleMark(const COleDateTime& date);
    virtual BOOL IsDateAllowed(int nYear, int nMonth, int nDay) { return Traits::IsDateAllowed(nYear, nMonth, nDay); }
    virtual void LoadSysColors();
    virtual void RejectBeep();
    virtual UINT GetClassStyle() { return CS_DBLCLKS; }

    BOOL SelectDate(const COleDateTime& date, BOOL bRedraw);
    BOOL SetBehavior(DWORD dw) { m_behavior = dw; return TRUE; }
    BOOL SetDrawStyle(DWORD dw) { m_drawStyle = dw; return TRUE; }
    BOOL SetOutsideDrawStyle(DWORD dw) { m_outsideStyle = dw; return TRUE; }
    DWORD GetBehavior() const { return m_behavior; }
    DWORD GetDrawStyle() const { return m_drawStyle; }
    DWORD GetOutsideDrawStyle() const { return m_outsideStyle; }
    void SetSizeToContent(BOOL b);
    DayBox* GetHighlightedDayBox() const { return m_pFocusBox; }
    COleDateTime& GetHighlightedDate();
    BOOL IsMarked(const COleDateTime& date) const;
    const COleDateTime& GetDisplayDate() const { return m_displayDate; }
    DayBox& GetDayBox(int i) { return m_days[i]; }
    CalTitle& GetTitle() { return m_title; }
    DayBar& GetDayBar() { return m_dayBar; }
    // The natural size of the content (title, bar and six rows of cells) on a DC.
    CSize MeasureNaturalSize(CDC* pDC);
    CFont* GetTitleFont() { return &m_titleFont; }
    CFont* GetDayBarFont() { return &m_barFont; }
    CFont* GetDayFont() { return &m_dayFont; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void FillGrid();
    void Layout();
    void FitFonts();
    void CloseOK(WPARAM wParam = 0, LPARAM lParam = 0);
    void CloseCancel(WPARAM wParam = 0, LPARAM lParam = 0);
    DayBox* DayAt(POINT pt);
    void ClickCell(DayBox* pBox);
    // Month and year steps: the base date, the target, then the move.
    BOOL StepTo(const COleDateTime& base, const COleDateTime& target, BOOL bMoveHighlight);
    // The month's 1st, or the same day of the month (cut to the month's length).
    enum class DayOfMonth { First, Kept };
    BOOL MonthStep(BOOL bMoveHighlight, int nDirection, DayOfMonth day = DayOfMonth::First);
    BOOL YearStep(BOOL bMoveHighlight, int nDirection);
    void AfterPaging();
    // Where the dotted frame of the day the keys move from stands (empty without the keys), and
    // the days it leaves and comes to drawn again when it moves.
    CRect KeyFrameRect();
    void MoveKeyFrame();
    void OnPaint();
    void OnLButtonDown(POINT pt);
    void OnLButtonUp(POINT pt);
    void OnLButtonDblClk(POINT pt);
    void OnMouseMove(POINT pt);
    void OnCancelMode();
    void OnRButtonDown(POINT pt);
    BOOL OnKeyDown(UINT nChar);
    void RestoreAfterDrag();
    void Post(UINT message, WPARAM wParam, LPARAM lParam);

public:
    DayBar m_dayBar;
    CalTitle m_title;
    int m_bevel = 2;
    CWnd* m_pNotifyWnd = nullptr;
    CWnd* m_pParentWnd = nullptr;
    BOOL m_bCreated = FALSE;
    COleDateTime m_displayDate;
    COleDateTime m_highlightDate;
    COleDateTime* m_pHighlight = nullptr;
    COleDateTime m_keyDate;
    DayBox m_days[42];
    DayBox* m_pFocusBox = nullptr;
    CRect m_rcKeyFrame;   // where the frame was last drawn
    BOOL m_bTracking = FALSE;
    BOOL m_bRestore = FALSE;
    COleDateTime m_restoreDate;
    std::list<COleDateTime> m_marked;
    LOGFONT m_lfTitle{};
    LOGFONT m_lfBar{};
    LOGFONT m_lfDay{};
    CFont m_titleFont;
    CFont m_barFont;
    CFont m_dayFont;
    COLORREF m_clrDayText = 0;
    COLORREF m_clrBtnText = 0;
    COLORREF m_clrBarText = 0;
    COLORREF m_clrBtnFace = 0;
    COLORREF m_clrTitleText = 0;
    COLORREF m_clrActiveCaption = 0;
    COLORREF m_clrGrayText = 0;
    DWORD m_outsideStyle = 0x101;
    DWORD m_drawStyle = 0x1000017F;
    DWORD m_behavior = 0x39C000;
};

// The calendar as a drop-down beside a control.
template <class Traits>
class SECPopupCalendar_T : public SECCalendar_T<Traits> {
public:
    SECPopupCalendar_T();
    ~SECPopupCalendar_T() override;

    UINT GetClassStyle() override { return CS_DBLCLKS | CS_SAVEBITS; }
    // Creates and shows the pop-up next to the anchor (screen coordinates); the id is ignored.
    virtual BOOL Create(DWORD dwStyle, const RECT& rcAnchor, CWnd* pParentWnd, UINT nID = 0);
    // 1 closes with OK on deactivation, anything else with Cancel; returns the previous mode.
    int SetDeactivateMode(int nMode);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Where the pop-up goes for an anchor, a size and the bounds it must keep inside.
    static CPoint PlaceBeside(const RECT& rcAnchor, SIZE size, const RECT& bounds, BOOL bAlignLeft);

    BOOL m_bOkOnDeactivate = TRUE;
};

using SECCalendar = SECCalendar_T<SECDTTraits>;
using CGXBCalendar = SECCalendar_T<CGXBDTTraits>;
using SECPopupCalendar = SECPopupCalendar_T<SECDTTraits>;
using CGXBPopupCalendar = SECPopupCalendar_T<CGXBDTTraits>;
