// The engine as the target of its undo commands and of its own command operations: the
// model's operation (store and record the inverse) followed by the engine's update, so that a
// replayed command redraws and informs the other views like the original call did.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSizeCommands.h"
#include "grid/data/CGXGridModel.h"

class CGXGridCore::CommandTarget : public CGXGridModel, public IGXEngineCommandTarget {
public:
    CommandTarget(CGXGridCore& grid, UINT nFlags)
        : CGXGridModel(*grid.GetParam(), grid.m_pUndoImp), m_grid(grid), m_nFlags(nFlags)
    {
    }

    BOOL InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights, const CObArray* pCellStyles,
                    const CObArray* pRowStyles, ROWCOL nColCount, int nMode) override;
    BOOL RemoveRows(ROWCOL nFrom, ROWCOL nTo, int nMode) override;
    BOOL InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths, const CObArray* pCellStyles,
                    const CObArray* pColStyles, ROWCOL nRowCount, int nMode) override;
    BOOL RemoveCols(ROWCOL nFrom, ROWCOL nTo, int nMode) override;
    BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode) override;
    BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode) override;
    BOOL MoveDataRows(const CGXRange& range, const CDWordArray& order, int nMode) override;
    BOOL MoveDataCols(const CGXRange& range, const CDWordArray& order, int nMode) override;
    BOOL MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, int nMode) override;
    BOOL SetFrozenRows(ROWCOL nFrozen, ROWCOL nHeader, int nMode) override;
    BOOL SetFrozenCols(ROWCOL nFrozen, ROWCOL nHeader, int nMode) override;
    BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                           const CObArray* pCellStyles, int nMode) override;
    BOOL ChangeStylesMap(const CGXStylesMap& stylesMap, int nMode) override;
    BOOL ChangeProperties(const CGXProperties& properties, int nMode) override;
    BOOL ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, int nMode) override;
    void ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent) override;
    CGXGridCore& GetEngine() override { return m_grid; }
    BOOL ConfirmLargeUndo() override { return m_grid.ConfirmLargeUndo(); }
    void EndHistory() override { m_grid.EndUndoHistory(); }

private:
    CGXGridCore& m_grid;
    UINT m_nFlags;
};
