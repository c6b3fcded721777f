// CGridWndWrapper: a grid living as a control inside a dialog or property page, with one-call
// cell kinds over a range, one-column values and whole-row operations. The engine's setting types
// lay out their rows of the catalogue editor through the IGridWndWrapper part.
#pragma once

#include "engine/meta/IMetaSettingUi.h"
#include "grid/core/CGXGridWnd.h"
#include "platform/core/CString.h"

#include <vector>

class CGXRange;
class CGXRangeList;
class CGXStyle;
class CStringList;

class CGridWndWrapper : public CGXGridWnd, public IGridWndWrapper {
    DECLARE_DYNCREATE(CGridWndWrapper)

public:
    CGridWndWrapper() = default;
    ~CGridWndWrapper() override = default;
    CGridWndWrapper(const CGridWndWrapper&) = delete;
    CGridWndWrapper& operator=(const CGridWndWrapper&) = delete;

    // The grid's own start-up, then the whole-row selection the dialogs' Add, Delete and pick
    // lists work on, whatever the program's feature slots hold.
    void Initialize() override;

    // Cell kinds over a range (top, left, bottom, right); each gives 0.
    UINT SetStaticCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText) override;
    // An edit cell that keeps the value it has.
    UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    UINT SetPushbuttonCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strCaption) override;
    UINT SetCheckBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strCaption);
    // The list's items become the choices and strCurrent the value.
    UINT SetDropListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CStringList& items,
                         const CString& strCurrent);
    UINT SetTooltipCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText);
    // 0 when the grid took the read-only state, 1 when it refused it.
    UINT SetReadOnlyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bReadOnly);

    // Values.
    UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) override;
    UINT SetCheckValue(ROWCOL nRow, ROWCOL nCol, BOOL bChecked);
    UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) override;
    // 0 with the flag for "1" and "0"; 1, the flag untouched, for any other value.
    UINT GetCheckValue(ROWCOL nRow, ROWCOL nCol, BOOL& bChecked);

    // A plain dialog grid has no attributes column; the catalogue editor's grid names its own.
    ROWCOL GetAttributesColumn() const override { return 0; }

    // Rows.
    UINT InsertRowAt(ROWCOL nRow);
    // 1 and no change when nCount is not the list's size.
    UINT SetColumnHeaders(ROWCOL nCount, const CStringList& headers);
    UINT ResetToOneRow();
    // Every selected range into the list (0); 1 and no change when no range covers whole rows.
    UINT GetSelectedRowRanges(CGXRangeList& ranges);
    // The rows the selection covers, each once, in the order the user selected them; the
    // current cell's row when nothing is selected, except in a choice list.
    std::vector<ROWCOL> GetSelectedRowsInOrder();
    UINT SetPickListMode();
    UINT ResizeColumnsToFit(const CGXRange& range);

    // The shared Add and Delete of the list dialogs. Add appends an empty row and, with
    // MakeCurrent::Yes, starts editing it; Delete removes each selected row once, the highest
    // first, so that the numbers of the rows still to go stay right whatever order the rows were
    // selected in. Delete gives the number of rows removed.
    enum class MakeCurrent { No, Yes };

    // Holds the grid's drawing while many cells change, then redraws it once: a list of
    // thousands of texts would otherwise paint thousands of times.
    class UpdateBatch {
    public:
        explicit UpdateBatch(CGridWndWrapper& grid);
        ~UpdateBatch();
        UpdateBatch(const UpdateBatch&) = delete;
        UpdateBatch& operator=(const UpdateBatch&) = delete;

    private:
        CGridWndWrapper& m_grid;
        BOOL m_bWasLocked = FALSE;
    };
    void AppendEmptyRow(MakeCurrent makeCurrent);
    ROWCOL DeleteSelectedRows();

    // The selected rows are the choices the dialog gives back: the arrow keys move the current
    // row and leave the choices as they are, Space picks or drops the current row, and the
    // current row shows a dotted focus frame over its mark.
    void SetChoiceMode();
    // The first cell becomes current when no cell is, so that the keys have a place to start
    // from that the user can see.
    void EnsureCurrentCell();

    // Keys of a grid among a dialog's controls: Ctrl+Tab, Tab with no cell to the right and
    // Shift+Tab with none to the left move to the dialog's next or previous control, the edit
    // of the cell stored first.
    BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL MoveCurrentCellEx(int direction, UINT nCell = 1) override;
    BOOL MoveCurrentCellAlone(int direction, UINT nCell = 1) override;
    // The cell the keys leave is drawn again before the new one is current: that paint shows no
    // frame of a grid without a current cell, which would stay along the edges of the old cell.
    BOOL SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags = GX_UPDATENOW) override;
    // The current cell is framed while the focus is in the grid: the frame shows which control
    // of the dialog the keys go to.
    BOOL HandleSetFocus(CWnd* pOldWnd) override;
    BOOL HandleKillFocus(CWnd* pNewWnd) override;

protected:
    // A pick list shows every chosen row marked, the row clicked last (the current cell) too:
    // it has no current-cell frame that would show it otherwise.
    void DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect) override;
    void DrawCurrentCellFrame(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect) override;
    // A grid with the focus and no cell to frame (an empty list) shows a dotted focus frame
    // inside its border, so that the keys' place is seen from the dialog's first paint.
    void DrawClientRange(CDC* pDC, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    BOOL HasFocusInside() const;
    void RedrawCurrentCell();
    // Space in a choice list: the current row picked when it was not, dropped when it was.
    void ToggleCurrentRowChoice();
    // Applies the style to the range in override mode, redrawing it.
    BOOL ApplyToRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style);
    // Ends an edit in progress, keeping what was typed, so that reading the cells sees it.
    void StoreEdit();

private:
    BOOL m_bPickList = FALSE;
    BOOL m_bChoices = FALSE;
    BOOL m_bSettingCurrentCell = FALSE;
};
