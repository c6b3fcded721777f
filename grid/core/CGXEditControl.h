// CGXEditControl: the text cell edited in place: while the cell is current and the control
// active, an edit window lies over the cell's inner rectangle; otherwise the cell is drawn as
// static text. Keys the edit does not need (moves between cells, Tab, Enter, ESC) go to the
// grid first. The scrolling variant edits several lines with a vertical scroll bar.
#pragma once

#include "grid/core/CGXStatic.h"
#include "grid/core/CGXTypingUndo.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/afx/gdi/GdiObjects.h"

#include <memory>
#include <string>
#include <string_view>

class CGXEditControl;

// The edit window of an edit cell: a platform edit that offers the grid the keys it does not
// use and tells its control of every change.
class CGXEditWnd : public CEdit {
    DECLARE_DYNAMIC(CGXEditWnd)
public:
    explicit CGXEditWnd(CGXEditControl* pControl) : m_pControl(pControl) {}

protected:
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    UINT OnGetDlgCode();
    // A double-click in the cell's text is a press: the caret goes under the pointer and
    // nothing is chosen, as when the double-click opens the editor.
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    // A paste from the edit's own menu goes through the cell, as Ctrl+V does.
    LRESULT OnPaste(WPARAM, LPARAM);
    // Every change of the text, for the control's Undo and Redo of the typing.
    BOOL OnTextChanged();
    DECLARE_MESSAGE_MAP()

private:
    // The grid takes this key rather than the edit (moves, Tab, Enter, ESC, F2, and Left or
    // Right at the ends of the text).
    BOOL IsGridKey(UINT nChar) const;

    CGXEditControl* m_pControl;
};

class CGXEditControl : public CGXStatic {
    DECLARE_DYNAMIC(CGXEditControl)
public:
    // nID: the control id it serves (52512 plain, 52521 with a scroll bar).
    CGXEditControl(CGXGridCore* pGrid, UINT nID);
    ~CGXEditControl() override;

    void Init(ROWCOL nRow, ROWCOL nCol) override;
    void SetActive(BOOL bActive) override;
    BOOL IsActive() override;
    BOOL GetModify() override;
    void SetModify(BOOL bModified) override;
    void Refresh() override;
    void Hide() override;
    void Show() override;
    void Reset() override;
    BOOL OnCancelEditing() override;
    BOOL GetCurrentText(CString& sText) override;
    void SetCurrentText(const CString& sText) override;
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonDblClk(UINT nFlags, CPoint pt) override;
    BOOL IsWindowKindOf(CRuntimeClass* pClass) override;
    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle) override;
    BOOL CanCopy() override;
    // The text chosen in the editor; with none chosen FALSE, and the grid copies the cell.
    BOOL Copy() override;
    BOOL CanCut() override;
    BOOL Cut() override;
    BOOL CanPaste() override;
    // The clipboard's text over the chosen text, as one line.
    BOOL Paste() override;

    BOOL IsTyping() override;
    BOOL CanUndoTyping(int nMode) override;
    // Back at the cell's stored text the cell holds no edit: storing it would change nothing.
    BOOL UndoTyping(int nMode) override;

    // The text as one line: each line break and tab a blank, line breaks at its end dropped.
    static std::string OneLineText(std::string_view text);

    // The edit window; null until the control is first activated.
    CEdit* GetEditWnd() const { return m_pWnd.get(); }
    UINT GetControlId() const { return m_nID; }
    // The user changed the text in the window.
    void OnEditChanged();
    // The window's text changed, by the user or not.
    void OnWindowTextChanged() { m_typingUndo.OnTextChanged(); }
    // A character typed into the edit window: TRUE when the control takes it itself, FALSE
    // when the window types it.
    virtual BOOL OnWindowChar(UINT nChar);

protected:
    // The window's rectangle for the bound cell: its inner rectangle (less the children's).
    virtual CRect CalcEditRect();
    // Makes the window the first time it is needed; FALSE when it cannot be made.
    BOOL CreateEditWnd();
    // Puts the bound cell's value into the window and places it.
    void LoadWindow();
    // Opens the editor on the bound cell with the caret under the point (grid client
    // coordinates), nothing chosen; FALSE when the cell may not be edited now.
    BOOL StartEditAt(CPoint pt);

    UINT m_nID;
    std::unique_ptr<CGXEditWnd> m_pWnd;
    CFont m_font;
    BOOL m_bActiveWnd = FALSE;
    BOOL m_bLoading = FALSE;
    CGXTypingUndo m_typingUndo;
};

// The rich-edit cell: a multi-line edit cell whose stored text is the text shown.
class CGXRichEditCtrl : public CGXEditControl {
    DECLARE_DYNAMIC(CGXRichEditCtrl)
public:
    CGXRichEditCtrl(CGXGridCore* pGrid, UINT nID) : CGXEditControl(pGrid, nID) {}
};
