// The grid's currency cell (control id 52545): a cell stores its value as plain number text
// ("-1234.50") and shows it formatted by its user attributes; the current cell edits in a
// currency edit window with the calculator button when the cell asks for it. A captive,
// never-shown currency edit formats the cells that are not being edited.
#pragma once

#include "grid/core/CGXStatic.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "toolkit/datetime/wnd/CGXBCurrencyEdit.h"

class CGXStylesMap;

constexpr WORD GX_IDS_UA_CURRENCYSEP = 51045;
constexpr WORD GX_IDS_UA_CURRENCYDEF = 51046;
constexpr WORD GX_IDS_UA_CURRENCYPOSFMT = 51047;
constexpr WORD GX_IDS_UA_CURRENCYNEGFMT = 51048;
constexpr WORD GX_IDS_UA_CURRENCYNUMDIGITS = 51049;
constexpr WORD GX_IDS_UA_CURRENCYDECIMALS = 51050;
constexpr WORD GX_IDS_UA_CURRENCYSYM = 51054;

constexpr UINT GX_IDS_CTRL_CURRENCY = 52545;

// The currency edit the cell keeps off-screen to format other cells.
class CGXCaptiveCurEdit : public CGXBCurrencyEdit {
};

class CGXCurrencyEdit : public CGXStatic {
public:
    // The in-cell window: the calculator's result and the keys go through the cell.
    class Window : public CGXBCurrencyEdit {
    public:
        explicit Window(CGXCurrencyEdit* pCell) : m_pCell(pCell) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        CGXCurrencyEdit* m_pCell;
    };

    CGXCurrencyEdit(CGXGridCore* pGrid, UINT nID);
    ~CGXCurrencyEdit() override;

    BOOL CreateEditWindows(DWORD dwStyle);
    // The style's currency attributes on a format; unset attributes keep the locale's values.
    void ApplyCurrencyAttributes(CGXBCurrencyEdit::Format& format, const CGXStyle& style) const;
    static void AddUserAttributes(CGXStylesMap* pStylesMap);
    // TRUE when the style's attributes ask for the calculator button.
    static BOOL WantsCalculator(const CGXStyle& style);

    void Init(ROWCOL nRow, ROWCOL nCol) override;
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override { return m_bActive; }
    // The grid forgets the binding (the cell's style changed): the window goes with it.
    void Reset() override;
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
    // Replace All of the grid's find feature: its texts replace the matches in the cell.
    BOOL ReplaceAll(ROWCOL nRow, ROWCOL nCol) override;
    BOOL FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) override;
    void ReplaceSel(LPCTSTR pszText) override;
    // The text selected in the window being edited (TRUE); else the cell's text (FALSE).
    BOOL GetSelectedText(CString& sText);
    // The clipboard operations act on the text being edited, by the currency edit's own rules;
    // FALSE while the cell is not being edited.
    BOOL CanCopy() override;
    BOOL Copy() override;
    BOOL CanCut() override;
    BOOL Cut() override;
    BOOL CanPaste() override;
    BOOL Paste() override;
    // A key that reaches the window while the cell is not being edited: the focus goes back to
    // the grid, which takes the key as typed on itself.
    void GiveKeyToGrid(UINT nMessage, UINT nChar, LPARAM lParam);

    // The stored value of the window's number: the integer digit limit applied, '.' as point.
    CString GetValueText() const;
    // The display text of a stored value in a style's format; FALSE for an empty value.
    BOOL DisplayText(const CString& value, const CGXStyle& style, CString& text) const;
    // A display text (or a stored value) read in a style's format and printed as stored; an
    // empty text stays empty. FALSE when it does not parse.
    BOOL ValueFromDisplayText(const CString& text, const CGXStyle& style, CString& value) const;
    // Replaces every match of a text in a cell's display text and stores the result when it
    // still reads as a number.
    BOOL ReplaceAllIn(ROWCOL nRow, ROWCOL nCol, const CString& find, const CString& replace, BOOL bMatchCase);
    // The calculator's result: read in the C locale and set directly; ignored when read-only.
    void OnCalculatorResult(LPCTSTR pszText);

    Window& GetWindow() { return m_wnd; }

    UINT m_nID = 0;
    BOOL m_bActive = FALSE;
    BOOL m_bInitializing = FALSE;

    // The cell font's line height and average character width, from the last drawing.
    int m_nLineHeight = 0;
    int m_nAvgCharWidth = 0;

private:
    BOOL StoreValue(ROWCOL nRow, ROWCOL nCol, const CString& text);
    // Gives the window the cell's font, colours and format, and places it in the cell's
    // rectangle by the style's vertical alignment.
    void PrepareWindow(const CGXStyle& style, const CRect& rectCell);
    // Whether a click may start editing the bound cell.
    BOOL MayActivateByMouse();
    // The format of a cell's attributes: the window's own while the cell is edited.
    void FormatFor(const CGXStyle& style, CGXBCurrencyEdit::Format& format, BOOL bEditing) const;

    Window m_wnd;
    CGXCaptiveCurEdit m_captive;
    CFont m_font;   // the current cell's font, given to the window
};
