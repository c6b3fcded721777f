// The grid's date-time cell (control ids 52543 with the drop-down calendar, 52544 without): a
// cell's value is a text that the cell reads as a date and shows field by field in the format
// its user attributes choose. The current cell edits in the grid library's date-time field
// window; two captive windows of the same kind lay out and format the cells that are not being
// edited.
#pragma once

#include "grid/core/CGXStatic.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/CPtrArray.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

class CGXStylesMap;

// User attributes of the cell.
constexpr WORD GX_IDS_UA_DATEFIELDNOEDIT = 51034;
constexpr WORD GX_IDS_UA_DATEMIN = 51035;
constexpr WORD GX_IDS_UA_DATEMAX = 51036;
constexpr WORD GX_IDS_UA_DATEVALIDATE = 51037;
constexpr WORD GX_IDS_UA_DATEFORMATTYPE = 51038;
constexpr WORD GX_IDS_UA_CUSTOMFORMAT = 51039;
constexpr WORD GX_IDS_UA_FASTINPUT = 51044;

constexpr UINT GX_IDS_CTRL_DATETIME = 52543;
constexpr UINT GX_IDS_CTRL_DATETIMENOCAL = 52544;

// A date-time window the cell keeps off-screen to lay out and format other cells.
class CGXCaptiveDateTimeCtrl : public CGXBDateTimeCtrl {
public:
    ~CGXCaptiveDateTimeCtrl() override = default;
};

class CGXDateTimeCtrl : public CGXStatic {
public:
    // The in-cell window: the cell's changes and keys go through it.
    class Window : public CGXBDateTimeCtrl {
    public:
        explicit Window(CGXDateTimeCtrl* pCell) : m_pCell(pCell) {}
        BOOL OnChanging(const COleDateTime& newDate) override;
        void OnChanged() override;
        void DropDown() override;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        // The gadget under a client point, or -1.
        int GadgetAt(POINT pt) const { return HitTest(pt); }
        CGXDateTimeCtrl* m_pCell;

    private:
        BOOL OnCellKeyDown(UINT nChar, LPARAM lParam);
        BOOL OnCellChar(UINT nChar);
    };

    CGXDateTimeCtrl(CGXGridCore* pGrid, UINT nID);
    ~CGXDateTimeCtrl() override;

    // Makes the captive windows and the in-cell window as children of the grid's window.
    BOOL CreateControl(DWORD dwStyle, const RECT* pRect = nullptr);
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    void Init(ROWCOL nRow, ROWCOL nCol) override;
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    // The grid forgets the binding (the cell's style changed): the window goes with it.
    void Reset() override;
    BOOL OnValidate() override;
    BOOL GetCurrentText(CString& sText) override;
    void SetCurrentText(const CString& sText) override;
    BOOL GetControlText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszRawValue,
                        const CGXStyle& style) override;
    BOOL SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags,
                        const CGXStyle* pOldStyle) override;
    BOOL Store() override;
    void Hide() override;
    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonDblClk(UINT nFlags, CPoint pt) override;
    BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType,
                    const CGXStyle* pOldStyle) override;
    CSize CalcSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle,
                   BOOL bVert) override;
    // The grid's own rectangle for the cell, borders taken off: the window covers it all, so the
    // static text's margins are not taken from it.
    CRect GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle) override;
    BOOL FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) override;
    BOOL CanCopy() override;
    BOOL Copy() override;
    BOOL CanPaste() override;
    BOOL Paste() override;
    void ReplaceSel(LPCTSTR pszText) override;

    // The date a cell text stands for: parsed, else a serial number, else the empty value
    // (today at 0:00 when the format shows a date, else 1899-12-30).
    BOOL TextToDate(const CString& text, COleDateTime& date, BOOL bTodayWhenEmpty) const;
    // The text a date is stored as: formatted, or its serial number ("%.10g") when storing
    // numbers.
    CString DateToStoredText(const COleDateTime& date) const;
    // The fields' text of a date in a style's format, through a captive window.
    BOOL FormatForStyle(const COleDateTime& date, const CGXStyle& style, CString& text);
    // The date a pasted or typed text stands for in a style's format: a date as a whole, else
    // its parts offered to the fields one by one; FALSE when it gives none.
    BOOL DateFromText(const CString& sText, const CGXStyle& style, COleDateTime& date);
    // Cuts a pasted text at the separators, blanks and line ends; TRUE when a piece results.
    BOOL SplitParts(const CString& text, CStringArray& parts) const;
    // Applies the style's format attributes to a date-time window; returns today-when-empty.
    BOOL ApplyFormat(CGXBDateTimeCtrl& wnd, const CGXStyle& style);

    Window& GetWindow() { return m_wnd; }
    CGXCaptiveDateTimeCtrl& GetCaptive(int i) { return m_captive[i]; }

    BOOL m_bAlwaysShowSpin = FALSE;
    BOOL m_bAlwaysShowButton = FALSE;
    BOOL m_bStoreAsNumber = FALSE;
    BOOL m_bTodayWhenEmpty = TRUE;
    BOOL m_bTabThroughFields = FALSE;
    BOOL m_bActive = FALSE;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    CString m_strSeparators = ",";
    // Where the last find stopped: the cell and the field; the cell changes reset it.
    struct FindState {
        ROWCOL nRow = 0x7fffffff;
        ROWCOL nCol = 0x7fffffff;
        int nField = -1;
        CString strLast;
        void Reset()
        {
            nRow = nCol = 0x7fffffff;
            nField = -1;
        }
    } m_find;

private:
    void ApplyAttributes(const CGXStyle& style);
    void Activate();
    // Activates the cell from a click at a point of the grid: the field under it becomes the
    // current one, and a press and release reach a button there.
    BOOL ActivateAt(CPoint pt, BOOL bSelectFieldOnlyWithValue);
    // Whether a click may start editing the bound cell.
    BOOL MayActivateByMouse();
    BOOL IsStyleReadOnly();
    BOOL StoreDate(ROWCOL nRow, ROWCOL nCol, const CString& text);
    // Draws the spin and drop-down buttons of an inactive cell at the right of its rectangle;
    // answers the width they take.
    int DrawButtons(CDC* pDC, const CRect& rect, const CGXStyle& style, BOOL bButton, BOOL bSpin);

    Window m_wnd;
    CGXCaptiveDateTimeCtrl m_captive[2];
    CFont m_font;   // the current cell's font, given to the window
};
