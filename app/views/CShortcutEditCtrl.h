// CShortcutEditCtrl: the group frame's edit field: it shows the text of the grid's current cell
// in full and lets the user type the cell's value there; Enter, or moving to another cell,
// commits the typed value to the page; Escape drops it.
#pragma once

#include "grid/core/CGXTypingUndo.h"
#include "platform/afx/dlg/CEdit.h"
#include "engine/meta/IMetaSettingUi.h"
#include "platform/core/Types.h"

class CCmdUI;
class CGroupView;

class CShortcutEditCtrl : public CEdit {
    DECLARE_DYNAMIC(CShortcutEditCtrl)
public:
    CShortcutEditCtrl() = default;

    void SetGridView(CGroupView* pView);
    CGroupView* GetGridView() const { return m_pView; }
    // Shows a new current cell's text; an edit typed here for another cell is committed first.
    void SetText(const CString& strText);
    // 1 without a view; 2 when an edit is pending for a cell other than the current one; 3
    // otherwise.
    UINT GetEditState();
    // Stores the pending edit of the remembered cell, if any, in its page.
    void CommitEdit();
    // Drops the pending edit, if any: the cell and the field show the page's value again.
    void CancelEdit();
    BOOL IsEditing() const { return m_bEditing; }
    // Undo (gxUndo) or Redo (gxRedo) of the text typed here and not yet committed: whether it
    // can be done now, and doing it; the cell shows the field's text again.
    BOOL CanUndoTyping(int nMode);
    BOOL UndoTyping(int nMode);
    // Whether the field holds the keyboard focus.
    BOOL HasKeys() const;
    // While the field has the keys, the Edit menu's Cut, Copy, Paste, Delete, Undo and Redo, by
    // their keys, the menu or the toolbar, act on its text, as they do in a cell's editor: a
    // part of the value cut here leaves the rest in the cell, and Escape gives back the whole.
    // The main window offers them to the window with the keys first.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnTextChanged();
    DECLARE_MESSAGE_MAP()

private:
    // FALSE for a command other than those above.
    BOOL OnEditCommand(UINT nID);
    BOOL OnUpdateEditCommand(UINT nID, CCmdUI* pCmdUI);
    // Starts (or goes on with) the current cell's edit before a change of the text; FALSE, with
    // the reason said, when the cell takes nothing from here, or nothing may change now.
    BOOL BeginChange();
    BOOL HasSelection() const;
    // Writes the field's text as the current cell's shown value; FALSE without a current cell.
    BOOL ShowInCurrentCell();
    // Writes a text as a cell's shown value, leaving its page and the undo history alone.
    void ShowInCell(ROWCOL nRow, ROWCOL nCol, const CString& strText);
    // Says in the status bar, with a beep, why the cell takes nothing typed here: TRUE for the
    // file column (a page's name) and for a row whose page takes no edits (not read).
    BOOL RefusesCell(ROWCOL nRow, ROWCOL nCol);
    // Enter and Escape end the visit to the field: the grid has the keys again.
    void ReturnKeysToGrid();

    CGroupView* m_pView = nullptr;
    ROWCOL m_nRow = 0;
    ROWCOL m_nCol = 0;
    BOOL m_bEditing = FALSE;
    CGXTypingUndo m_typingUndo;
};
