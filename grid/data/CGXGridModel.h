// CGXGridModel: the structure and style operations of a grid on its model alone: the cell
// store, stored sizes, range lists and frozen counts of a parameter object change together,
// and each operation records its inverse through the command factory. The grid engine adds
// drawing and hints around these; model code and tests use them directly.
#pragma once

#include "grid/data/IGXCommandTarget.h"

class CGXCommandFactory;
class CGXGridParam;
class CGXRangeList;

class CGXGridModel : public IGXCommandTarget {
public:
    // Without a factory nothing is recorded.
    CGXGridModel(CGXGridParam& param, CGXCommandFactory* pFactory);

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
    void ShowCommandPosition(ROWCOL, ROWCOL, BOOL) override {}

    // A style change too large to keep its undo for: may it go on without? The model has no
    // one to ask, so it refuses; a holder that can ask the user answers here.
    virtual BOOL ConfirmLargeUndo() { return FALSE; }
    // Such a change goes on: the steps before it would replay over what it writes, so the
    // history ends.
    virtual void EndHistory();

    // Counts through insertions and removals at the end.
    BOOL SetRowCount(ROWCOL nRows, int nMode = gxDo);
    BOOL SetColCount(ROWCOL nCols, int nMode = gxDo);

private:
    bool Recording(int nMode) const;
    void Record(class CGXCommand* pCmd, int nMode);
    void ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD), DWORD a, DWORD b);
    void ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD, DWORD), DWORD a, DWORD b, DWORD c);
    void ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD, DWORD, DWORD), DWORD a, DWORD b, DWORD c, DWORD d);

    CGXGridParam& m_param;
    CGXCommandFactory* m_pFactory;
};
