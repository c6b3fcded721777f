// IGXCommandTarget: the operations that undo commands replay. The grid engine implements them
// with redrawing and hints; CGXGridModel implements them on the model alone. Each records the
// inverse of what it did through the command factory in the command mode it is given.
#pragma once

#include "grid/data/CGXData.h"

class CGXCollMapDWordToLong;
class CGXProperties;
class CGXStylesMap;
class CObArray;

// Command modes: how an operation records its inverse.
enum GXCmdType : int {
    gxDo = 0,       // a new operation: its inverse goes to the undo list, the redo list is cleared
    gxRollback = 1, // restoring after a cancel or rollback: nothing is recorded
    gxUndo = 2,     // replaying an undo: the inverse goes to the redo list
    gxRedo = 3,     // replaying a redo: the inverse goes to the undo list, the redo list is kept
};

class IGXCommandTarget {
public:
    virtual ~IGXCommandTarget() = default;

    // Inserts rows at nRow; the optional arrays give the rows back what a removal took: stored
    // heights by row, cell styles (nColCount per row, row-major) and row base styles.
    virtual BOOL InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights,
                            const CObArray* pCellStyles, const CObArray* pRowStyles, ROWCOL nColCount, int nMode) = 0;
    virtual BOOL RemoveRows(ROWCOL nFrom, ROWCOL nTo, int nMode) = 0;
    virtual BOOL InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths,
                            const CObArray* pCellStyles, const CObArray* pColStyles, ROWCOL nRowCount, int nMode) = 0;
    virtual BOOL RemoveCols(ROWCOL nFrom, ROWCOL nTo, int nMode) = 0;
    virtual BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode) = 0;
    virtual BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode) = 0;
    virtual BOOL MoveDataRows(const CGXRange& range, const CDWordArray& order, int nMode) = 0;
    virtual BOOL MoveDataCols(const CGXRange& range, const CDWordArray& order, int nMode) = 0;
    // Moves the cells of a cell range so that its top-left lands at the destination; the
    // source's cells outside the destination are left empty.
    virtual BOOL MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, int nMode) = 0;
    virtual BOOL SetFrozenRows(ROWCOL nFrozen, ROWCOL nHeader, int nMode) = 0;
    virtual BOOL SetFrozenCols(ROWCOL nFrozen, ROWCOL nHeader, int nMode) = 0;
    // One style for every cell, or with pCellStyles one per cell in row-major order (a null
    // element removes that cell's style).
    virtual BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                   const CObArray* pCellStyles, int nMode) = 0;
    virtual BOOL ChangeStylesMap(const CGXStylesMap& stylesMap, int nMode) = 0;
    virtual BOOL ChangeProperties(const CGXProperties& properties, int nMode) = 0;
    virtual BOOL ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, int nMode) = 0;
    // Brings a changed place into view after an undo or redo step.
    virtual void ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent) = 0;
};
