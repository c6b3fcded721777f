// CGXControl: the base of the grid's cell controls. A control serves every cell of its kind:
// it is bound to at most one cell at a time (the current cell while editing) and draws any
// cell it is asked to. The grid owns its controls and deletes them through this class.
#pragma once

#include "grid/data/CGXStyle.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"

#include <memory>
#include <vector>

class CDC;
class CFont;
class CGXChild;
class CGXGridCore;
class CWnd;
struct MSG;

using ROWCOL = DWORD;

class CGXControl : public CObject {
    DECLARE_DYNAMIC(CGXControl)
public:
    explicit CGXControl(CGXGridCore* pGrid);
    ~CGXControl() override;
    CGXControl(const CGXControl&) = delete;
    CGXControl& operator=(const CGXControl&) = delete;

    CGXGridCore* Grid() const { return m_pGrid; }
    // The window the grid is shown in: the parent of the cells' windows.
    CWnd* GridWnd() const;

    // Binding: Init binds to a cell, deactivates, clears the modified mark and drops the cached
    // style; Reset forgets the cell.
    virtual void Init(ROWCOL nRow, ROWCOL nCol);
    BOOL IsInit() const { return m_bInit; }
    BOOL IsInitFor(ROWCOL nRow, ROWCOL nCol) const { return m_bInit && m_nRow == nRow && m_nCol == nCol; }
    virtual void Reset();
    ROWCOL GetRow() const { return m_nRow; }
    ROWCOL GetCol() const { return m_nCol; }

    virtual void SetActive(BOOL bActive) { m_bIsActive = bActive; }
    virtual BOOL IsActive() { return m_bIsActive; }
    virtual void SetModify(BOOL bModified) { m_bModify = bModified; }
    virtual BOOL GetModify() { return m_bModify; }

    // The bound cell's style, composed by the grid and cached until the binding changes.
    const CGXStyle* LoadStyle();
    void FreeStyle();

    // Editing. The base control edits nothing: its value is the cell's value.
    virtual BOOL OnValidate() { return TRUE; }
    virtual BOOL Store();
    virtual BOOL OnLeftCell(ROWCOL nNewRow, ROWCOL nNewCol);
    virtual void Refresh();
    virtual void ResetEdit() { m_bModify = FALSE; }
    // ESC: drops the edit; TRUE when there was one.
    virtual BOOL OnCancelEditing();
    // The cell went out of sight (Hide) or came back into it (Show) while being edited: the
    // editor's window follows, keeping the text typed so far.
    virtual void Hide() {}
    virtual void Show() {}
    virtual BOOL GetCurrentText(CString& sText);
    virtual void SetCurrentText(const CString& sText);
    virtual void ReplaceSel(LPCTSTR pszText);

    // Draws a cell of this kind (not only the bound one). The base draws nothing of the text.
    virtual void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle);
    // TRUE when the cell the control left must be drawn again.
    virtual BOOL IsRedrawNeeded(ROWCOL nRow, ROWCOL nCol);

    virtual BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType, const CGXStyle* pOldStyle);
    virtual BOOL SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle);
    virtual BOOL GetControlText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszRawValue, const CGXStyle& style);

    // Mouse on the current cell: TRUE when the control handled it.
    virtual BOOL LButtonDown(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL LButtonDblClk(UINT nFlags, CPoint pt);
    virtual BOOL MButtonDblClk(UINT /*nFlags*/, CPoint /*pt*/) { return FALSE; }
    virtual BOOL RButtonDblClk(UINT /*nFlags*/, CPoint /*pt*/) { return FALSE; }
    virtual BOOL MButtonDown(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL MButtonUp(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL RButtonDown(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL RButtonUp(UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL MouseMove(UINT nFlags, CPoint pt, UINT nHitState);
    // Keys reach the control first; TRUE when it handled the key.
    virtual BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags);

    // The grid read-only lock, or a read-only cell while the grid honours that.
    virtual BOOL IsReadOnly();
    // F2 may activate the control; Delete may clear the selection.
    virtual BOOL CanActivate() { return !IsReadOnly(); }
    virtual BOOL CanClear() { return TRUE; }
    // The grid is about to scroll to a cell (WM_VSCROLL or WM_HSCROLL).
    virtual void OnGridScroll(UINT /*nMessage*/, UINT /*nSBCode*/, UINT /*nPos*/) {}
    // A WM_COMMAND the grid window received while this is the current cell's control (a child
    // window of the cell reports through it); TRUE when handled.
    virtual BOOL OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }
    // The grid's mouse mode was cancelled (another button, a menu, the focus going away).
    virtual void OnCancelMode() {}
    // A window of the current cell asks the grid for its colours (WM_CTLCOLOR...). TRUE when
    // the control answers itself with hBrush (null gives the window its default colours);
    // FALSE leaves it to the grid, which takes the cell's interior and text colours.
    virtual BOOL OnGridCtlColor(CDC* /*pDC*/, CWnd* /*pWnd*/, UINT /*nCtlColor*/, HBRUSH& /*hBrush*/) { return FALSE; }
    // A click is about to activate the grid's window (WM_MOUSEACTIVATE) and the grid does not
    // eat it: the MA_ answer, or 0 for the window's default.
    virtual int OnGridMouseActivate(CWnd* /*pDesktopWnd*/, UINT /*nHitTest*/, UINT /*nMessage*/) { return 0; }
    // The system's settings changed (the section named, or null when it is not known).
    virtual void OnGridWinIniChange(LPCTSTR /*pszSection*/) {}
    // The system colours changed: what the control made in the old colours is made again.
    virtual void OnGridSysColorChange();
    // A message on its way to the grid window or its children, before it is dispatched; TRUE
    // keeps it from being dispatched.
    virtual BOOL PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }

    // The cell's inner rectangle: the cell less its borders.
    virtual CRect GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle);
    // Selects the cell's font through the grid; the previous font or null.
    virtual CFont* LoadFont(CDC* pDC, const CGXStyle& style, const CGXStyle* pStandardStyle);
    // The control has a window of that class (the base control has no window).
    virtual BOOL IsWindowKindOf(CRuntimeClass* pClass);

    virtual BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFloatOrFlood);
    virtual BOOL CanMergeCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, int nDirection);
    virtual CSize CalcSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL bVert);
    virtual BOOL GetSortKey(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CString& sKey);
    // The size the cell's text needs (none in the base control).
    virtual CSize CalcTextExtent(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL bVert);

    // Children drawn and clicked inside the cell (buttons, pictures); the control owns them.
    void AddChild(CGXChild* pChild);
    // Places the children in the cell's rectangle (window coordinates).
    virtual void LayoutChildren(ROWCOL nRow, ROWCOL nCol, const CRect& rectCell, const CGXStyle& style);
    // A child button was clicked: the grid hears of it for the bound cell.
    virtual void OnClickedButton(CGXChild* pChild);
    size_t GetChildCount() const { return m_children.size(); }
    CGXChild* GetChild(size_t i) const { return i < m_children.size() ? m_children[i].get() : nullptr; }

    // Find and replace in one cell, through the grid's find feature; FALSE without it.
    virtual BOOL FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell);
    virtual BOOL ReplaceAll(ROWCOL nRow, ROWCOL nCol);
    // The clipboard on the text being edited in the active cell.
    virtual BOOL CanCopy();
    virtual BOOL Copy();
    virtual BOOL CanCut();
    virtual BOOL Cut();
    virtual BOOL CanPaste();
    virtual BOOL Paste();
    // An editor of the control's is open on the bound cell and takes typing: the user's Undo and
    // Redo are then its, and the grid's steps wait until the edit is stored.
    virtual BOOL IsTyping() { return FALSE; }
    // Undo (gxUndo) or Redo (gxRedo) of what was typed into that editor: whether it can be done
    // now, and doing it.
    virtual BOOL CanUndoTyping(int /*nMode*/) { return FALSE; }
    virtual BOOL UndoTyping(int /*nMode*/) { return FALSE; }

protected:
    // The children's share of a click or move; TRUE when a child took it.
    BOOL ChildrenLButtonDown(UINT nFlags, CPoint pt);
    BOOL ChildrenLButtonUp(UINT nFlags, CPoint pt);
    BOOL ChildrenMouseMove(UINT nFlags, CPoint pt);
    void DrawChildren(CDC* pDC, BOOL bActive);

    CGXGridCore* m_pGrid;
    std::vector<std::unique_ptr<CGXChild>> m_children;
    CGXChild* m_pPressedChild = nullptr;
    ROWCOL m_nRow = 0;
    ROWCOL m_nCol = 0;
    std::unique_ptr<CGXStyle> m_pStyle;
    BOOL m_bInit = FALSE;
    BOOL m_bIsActive = FALSE;
    BOOL m_bModify = FALSE;
};
