// CGXGridUpdateHintImp: the update-hint feature: after a grid updated its own window it packs
// the change into a CGXGridHint and broadcasts it through the document, and each other view of
// the document that shares the parameter object replays the change without broadcasting again.
#pragma once

#include "platform/core/CObject.h"

class CGXGridCore;
class CGXRange;
class CGXStyle;
class CWnd;

using ROWCOL = DWORD;

class CGXAbstractGridUpdateHintImp : public CObject {
public:
    // The receiving side.
    virtual void HintUpdate(CGXGridCore* pGrid, CWnd* pSender, LPARAM lHint, CObject* pHint) = 0;
    // The sending side, one operation per update that other views replay.
    virtual void HintRefreshCurrentCell(CGXGridCore* pGrid, BOOL bRefresh) = 0;
    virtual void HintSetCurrentCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags) = 0;
    virtual BOOL HintSyncCurrentCell(CGXGridCore* pGrid, BOOL bStore, UINT nFlags) = 0;
    virtual void HintUpdateRowCountChange(CGXGridCore* pGrid, ROWCOL nOldRows, UINT nFlags) = 0;
    virtual void HintUpdateColCountChange(CGXGridCore* pGrid, ROWCOL nOldCols, UINT nFlags) = 0;
    virtual void HintUpdateFrozenCols(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags) = 0;
    virtual void HintUpdateFrozenRows(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags) = 0;
    virtual void HintSetTopRow(CGXGridCore* pGrid, ROWCOL nRow, UINT nFlags) = 0;
    virtual void HintSetLeftCol(CGXGridCore* pGrid, ROWCOL nCol, UINT nFlags) = 0;
    virtual void HintUpdateInsertRows(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCount, UINT nFlags) = 0;
    virtual void HintUpdateInsertCols(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nCount, UINT nFlags) = 0;
    virtual void HintRedrawRange(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
    virtual void HintRedraw(CGXGridCore* pGrid, UINT nFlags) = 0;
    virtual void HintRefreshDataObject(CGXGridCore* pGrid, void* pError) = 0;
    virtual void HintUpdateProperty(CGXGridCore* pGrid) = 0;
    virtual void HintUpdateZoom(CGXGridCore* pGrid, int nZoom, UINT nFlags) = 0;
    virtual void HintUpdateStyleRange(CGXGridCore* pGrid, const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, UINT nFlags) = 0;
    virtual void HintUpdateStylesMapChange(CGXGridCore* pGrid, UINT nFlags) = 0;
    virtual void HintUpdatePropertiesChange(CGXGridCore* pGrid, UINT nFlags) = 0;
    virtual void HintUpdateBaseStyleChange(CGXGridCore* pGrid, WORD nID, UINT nFlags) = 0;
    virtual void HintUpdateRemoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags) = 0;
    virtual void HintUpdateRemoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags) = 0;
    virtual void HintUpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags) = 0;
    virtual void HintUpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags) = 0;
    virtual void HintUpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
    virtual void HintUpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
    virtual void HintUpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags) = 0;
    virtual void HintUpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags) = 0;
    // The selection and its frame: the ranges live in the shared parameter object, so the other
    // views draw them again.
    virtual void HintPrepareChangeSelection(CGXGridCore* pGrid, const CGXRange& range, void* pPosition) = 0;
    virtual void HintSelectRange(CGXGridCore* pGrid, const CGXRange& range, void* pPosition) = 0;
    virtual void HintClearSelection(CGXGridCore* pGrid) = 0;
    virtual void HintShowSelectionFrame(CGXGridCore* pGrid, UINT nFlags) = 0;
    virtual void HintUpdateCoveredCells(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
    virtual void HintRedrawFloatSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
    virtual void HintRedrawMergeSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) = 0;
};

class CGXGridUpdateHintImp : public CGXAbstractGridUpdateHintImp {
public:
    // Makes the grid's feature object once and hands it to the grid's auto-delete list.
    static void Install(CGXGridCore* pGrid);

    void HintUpdate(CGXGridCore* pGrid, CWnd* pSender, LPARAM lHint, CObject* pHint) override;
    void HintRefreshCurrentCell(CGXGridCore* pGrid, BOOL bRefresh) override;
    void HintSetCurrentCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags) override;
    BOOL HintSyncCurrentCell(CGXGridCore* pGrid, BOOL bStore, UINT nFlags) override;
    void HintUpdateRowCountChange(CGXGridCore* pGrid, ROWCOL nOldRows, UINT nFlags) override;
    void HintUpdateColCountChange(CGXGridCore* pGrid, ROWCOL nOldCols, UINT nFlags) override;
    void HintUpdateFrozenCols(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags) override;
    void HintUpdateFrozenRows(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags) override;
    void HintSetTopRow(CGXGridCore* pGrid, ROWCOL nRow, UINT nFlags) override;
    void HintSetLeftCol(CGXGridCore* pGrid, ROWCOL nCol, UINT nFlags) override;
    void HintUpdateInsertRows(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCount, UINT nFlags) override;
    void HintUpdateInsertCols(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nCount, UINT nFlags) override;
    void HintRedrawRange(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
    void HintRedraw(CGXGridCore* pGrid, UINT nFlags) override;
    void HintRefreshDataObject(CGXGridCore* pGrid, void* pError) override;
    void HintUpdateProperty(CGXGridCore* pGrid) override;
    void HintUpdateZoom(CGXGridCore* pGrid, int nZoom, UINT nFlags) override;
    void HintUpdateStyleRange(CGXGridCore* pGrid, const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, UINT nFlags) override;
    void HintUpdateStylesMapChange(CGXGridCore* pGrid, UINT nFlags) override;
    void HintUpdatePropertiesChange(CGXGridCore* pGrid, UINT nFlags) override;
    void HintUpdateBaseStyleChange(CGXGridCore* pGrid, WORD nID, UINT nFlags) override;
    void HintUpdateRemoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags) override;
    void HintUpdateRemoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags) override;
    void HintUpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags) override;
    void HintUpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags) override;
    void HintUpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
    void HintUpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
    virtual void HintUpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags) override;
    virtual void HintUpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags) override;
    virtual void HintPrepareChangeSelection(CGXGridCore* pGrid, const CGXRange& range, void* pPosition) override;
    virtual void HintSelectRange(CGXGridCore* pGrid, const CGXRange& range, void* pPosition) override;
    virtual void HintClearSelection(CGXGridCore* pGrid) override;
    virtual void HintShowSelectionFrame(CGXGridCore* pGrid, UINT nFlags) override;
    virtual void HintUpdateCoveredCells(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
    virtual void HintRedrawFloatSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
    virtual void HintRedrawMergeSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags) override;
};
