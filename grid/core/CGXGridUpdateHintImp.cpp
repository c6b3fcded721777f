#include "grid/core/CGXGridUpdateHintImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridHint.h"

namespace {

// Builds a hint from the grid, lets the caller fill it and broadcasts it with the grid's window
// as sender, so that the sending view never replays its own change.
template <class Fill>
void Send(CGXGridCore* pGrid, DWORD nId, Fill fill)
{
    CGXGridHint hint(nId, pGrid->GetGridId());
    fill(hint);
    pGrid->UpdateAllViews(pGrid->GridWnd(), 0, &hint);
}

} // namespace

void CGXGridUpdateHintImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pUpdateHintImp != nullptr)
        return;
    auto* pImp = new CGXGridUpdateHintImp;
    pGrid->m_pUpdateHintImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

void CGXGridUpdateHintImp::HintUpdate(CGXGridCore* pGrid, CWnd*, LPARAM, CObject* pObject)
{
    const CGXGridHint* pHint = CGXGridHint::FromObject(pObject);
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pHint == nullptr || !pHint->IsFor(pGrid->GetGridId()))
        return;
    const CGXGridHint& h = *pHint;
    const UINT nFlags = h.m_nFlags;
    struct ReplayScope {
        CGXGridCore* pGrid;
        BOOL bOld;
        ~ReplayScope() { pGrid->SetReplayingHint(bOld); }
    } scope{pGrid, pGrid->SetReplayingHint(TRUE)};
    switch (h.m_id) {
    case gxHintRedraw: pGrid->Redraw(nFlags, FALSE); break;
    case gxHintRedrawRange: pGrid->RedrawRange(CGXRange(h.m_nRow1, h.m_nCol1, h.m_nRow2, h.m_nCol2), nFlags, FALSE); break;
    case gxHintUpdateRowCount: pGrid->UpdateRowCountChange(h.m_nRow1, nFlags, FALSE); break;
    case gxHintUpdateColCount: pGrid->UpdateColCountChange(h.m_nCol1, nFlags, FALSE); break;
    case gxHintUpdateInsertRows: pGrid->UpdateInsertRows(h.m_nRow1, h.m_nNumber2, nFlags, FALSE); break;
    case gxHintUpdateInsertCols: pGrid->UpdateInsertCols(h.m_nCol1, h.m_nNumber2, nFlags, FALSE); break;
    case gxHintUpdateRemoveRows:
        pGrid->UpdateRemoveRows(h.m_nRow1, h.m_nRow2, static_cast<const CGXCollMapDWordToLong*>(h.m_pData), nFlags, FALSE);
        break;
    case gxHintUpdateRemoveCols:
        pGrid->UpdateRemoveCols(h.m_nCol1, h.m_nCol2, static_cast<const CGXCollMapDWordToLong*>(h.m_pData), nFlags, FALSE);
        break;
    case gxHintUpdateMoveRows: pGrid->UpdateMoveRows(h.m_nRow1, h.m_nRow2, h.m_nRow3, nFlags, FALSE); break;
    case gxHintUpdateMoveCols: pGrid->UpdateMoveCols(h.m_nCol1, h.m_nCol2, h.m_nCol3, nFlags, FALSE); break;
    case gxHintUpdateFrozenRows: pGrid->UpdateFrozenRows(h.m_nRow1, h.m_nRow2, nFlags, FALSE); break;
    case gxHintUpdateFrozenCols: pGrid->UpdateFrozenCols(h.m_nCol1, h.m_nCol2, nFlags, FALSE); break;
    case gxHintUpdateStyleRange:
        pGrid->UpdateStyleRange(h.m_range, reinterpret_cast<const CGXStyle*>(h.m_vValue1), static_cast<int>(h.m_vValue2),
                                static_cast<int>(h.m_nNumber1), nFlags, FALSE);
        break;
    case gxHintUpdateStylesMapChange: pGrid->UpdateStylesMapChange(nFlags, FALSE); break;
    case gxHintUpdatePropertiesChange: pGrid->UpdatePropertiesChange(nFlags, FALSE); break;
    case gxHintUpdateBaseStyleChange: pGrid->UpdateBaseStyleChange(static_cast<WORD>(h.m_nNumber2), nFlags, FALSE); break;
    case gxHintSetCurrentCell: pGrid->SetCurrentCell(h.m_nRow1, h.m_nCol1, nFlags); break;
    case gxHintRefreshCurrentCell: pGrid->RefreshCurrentCell(FALSE); break;
    case gxHintSyncCurrentCell: {
        // Any view may refuse: its answer is ANDed into the sender's result.
        auto& hint = const_cast<CGXGridHint&>(h);
        if (!pGrid->SyncCurrentCell(static_cast<BOOL>(h.m_nNumber1), nFlags))
            hint.m_nNumber2 = 0;
        break;
    }
    case gxHintSortRows: pGrid->UpdateMoveDataRows(h.m_range, nFlags, FALSE); break;
    case gxHintSortCols: pGrid->UpdateMoveDataCols(h.m_range, nFlags, FALSE); break;
    case gxHintRefreshDataObject: pGrid->RefreshDataObject(FALSE, static_cast<CString*>(h.m_pData), FALSE); break;
    case gxHintUpdateChangedRowHeights: pGrid->UpdateChangedRowHeights(h.m_nRow1, h.m_nRow2, static_cast<const int*>(h.m_pData), nFlags, FALSE); break;
    case gxHintUpdateChangedColWidths: pGrid->UpdateChangedColWidths(h.m_nCol1, h.m_nCol2, static_cast<const int*>(h.m_pData), nFlags, FALSE); break;
    case gxHintPrepareChangeSelection:
    case gxHintUpdateSelectRange:
    case gxHintUpdateCoveredCells:
    case gxHintRedrawFloatSpan:
    case gxHintRedrawMergeSpan: pGrid->RedrawRange(h.m_range, nFlags != 0 ? nFlags : GX_INVALIDATE, FALSE); break;
    case gxHintUpdateClearSelection: pGrid->Redraw(GX_INVALIDATE, FALSE); break;
    case gxHintShowSelectionFrame: pGrid->LockSelectionFrame(nFlags != 0, FALSE); break;
    case gxHintUpdateZoom:
    case gxHintSetZoom:
        // FIXME: zoom follows only within one splitter window; views and splitters come later.
        break;
    case gxHintSetTopRow:
    case gxHintSetLeftCol:
        // FIXME: scrolling is shared only between panes of one splitter window.
        break;
    default: break;
    }
}

void CGXGridUpdateHintImp::HintRefreshCurrentCell(CGXGridCore* pGrid, BOOL bRefresh)
{
    Send(pGrid, gxHintRefreshCurrentCell, [&](CGXGridHint& h) { h.m_nNumber1 = static_cast<DWORD>(bRefresh); });
}

void CGXGridUpdateHintImp::HintSetCurrentCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    Send(pGrid, gxHintSetCurrentCell, [&](CGXGridHint& h) {
        h.m_nRow1 = nRow;
        h.m_nCol1 = nCol;
        h.m_nFlags = nFlags;
    });
}

BOOL CGXGridUpdateHintImp::HintSyncCurrentCell(CGXGridCore* pGrid, BOOL bStore, UINT nFlags)
{
    CGXGridHint hint(gxHintSyncCurrentCell, pGrid->GetGridId());
    hint.m_nNumber1 = static_cast<DWORD>(bStore);
    hint.m_nNumber2 = 1;
    hint.m_nFlags = nFlags;
    pGrid->UpdateAllViews(pGrid->GridWnd(), 0, &hint);
    return hint.m_nNumber2 != 0;
}

void CGXGridUpdateHintImp::HintUpdateRowCountChange(CGXGridCore* pGrid, ROWCOL nOldRows, UINT nFlags)
{
    Send(pGrid, gxHintUpdateRowCount, [&](CGXGridHint& h) {
        h.m_nRow1 = nOldRows;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateColCountChange(CGXGridCore* pGrid, ROWCOL nOldCols, UINT nFlags)
{
    Send(pGrid, gxHintUpdateColCount, [&](CGXGridHint& h) {
        h.m_nCol1 = nOldCols;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateFrozenCols(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags)
{
    Send(pGrid, gxHintUpdateFrozenCols, [&](CGXGridHint& h) {
        h.m_nCol1 = nOldFrozen;
        h.m_nCol2 = nOldHeader;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateFrozenRows(CGXGridCore* pGrid, ROWCOL nOldFrozen, ROWCOL nOldHeader, UINT nFlags)
{
    Send(pGrid, gxHintUpdateFrozenRows, [&](CGXGridHint& h) {
        h.m_nRow1 = nOldFrozen;
        h.m_nRow2 = nOldHeader;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintSetTopRow(CGXGridCore*, ROWCOL, UINT)
{
    // FIXME: sent only to the other pane of a splitter window; splitters come with the views.
}

void CGXGridUpdateHintImp::HintSetLeftCol(CGXGridCore*, ROWCOL, UINT)
{
    // FIXME: as HintSetTopRow, across the splitter's rows.
}

void CGXGridUpdateHintImp::HintUpdateInsertRows(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCount, UINT nFlags)
{
    Send(pGrid, gxHintUpdateInsertRows, [&](CGXGridHint& h) {
        h.m_nRow1 = nRow;
        h.m_nNumber2 = nCount;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateInsertCols(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nCount, UINT nFlags)
{
    Send(pGrid, gxHintUpdateInsertCols, [&](CGXGridHint& h) {
        h.m_nCol1 = nCol;
        h.m_nNumber2 = nCount;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintRedrawRange(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintRedrawRange, [&](CGXGridHint& h) {
        h.m_nRow1 = range.top;
        h.m_nCol1 = range.left;
        h.m_nRow2 = range.bottom;
        h.m_nCol2 = range.right;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintRedraw(CGXGridCore* pGrid, UINT nFlags)
{
    Send(pGrid, gxHintRedraw, [&](CGXGridHint& h) { h.m_nFlags = nFlags; });
}

void CGXGridUpdateHintImp::HintRefreshDataObject(CGXGridCore* pGrid, void* pError)
{
    Send(pGrid, gxHintRefreshDataObject, [&](CGXGridHint& h) { h.m_pData = pError; });
}

void CGXGridUpdateHintImp::HintUpdateProperty(CGXGridCore* pGrid)
{
    Send(pGrid, gxHintUpdateProperty, [](CGXGridHint&) {});
}

void CGXGridUpdateHintImp::HintUpdateZoom(CGXGridCore* pGrid, int nZoom, UINT nFlags)
{
    Send(pGrid, gxHintUpdateZoom, [&](CGXGridHint& h) {
        h.m_nNumber1 = static_cast<DWORD>(nZoom);
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateStyleRange(CGXGridCore* pGrid, const CGXRange& range, const CGXStyle* pStyle, int nModify,
                                                int nType, UINT nFlags)
{
    Send(pGrid, gxHintUpdateStyleRange, [&](CGXGridHint& h) {
        h.m_range = range;
        h.m_vValue1 = reinterpret_cast<DWORD_PTR>(pStyle);
        h.m_vValue2 = static_cast<DWORD_PTR>(nModify);
        h.m_nNumber1 = static_cast<DWORD>(nType);
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateStylesMapChange(CGXGridCore* pGrid, UINT nFlags)
{
    Send(pGrid, gxHintUpdateStylesMapChange, [&](CGXGridHint& h) { h.m_nFlags = nFlags; });
}

void CGXGridUpdateHintImp::HintUpdatePropertiesChange(CGXGridCore* pGrid, UINT nFlags)
{
    Send(pGrid, gxHintUpdatePropertiesChange, [&](CGXGridHint& h) { h.m_nFlags = nFlags; });
}

void CGXGridUpdateHintImp::HintUpdateBaseStyleChange(CGXGridCore* pGrid, WORD nID, UINT nFlags)
{
    Send(pGrid, gxHintUpdateBaseStyleChange, [&](CGXGridHint& h) {
        h.m_nNumber2 = nID;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateRemoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags)
{
    Send(pGrid, gxHintUpdateRemoveRows, [&](CGXGridHint& h) {
        h.m_nRow1 = nFrom;
        h.m_nRow2 = nTo;
        h.m_pData = pOldHeights;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateRemoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags)
{
    Send(pGrid, gxHintUpdateRemoveCols, [&](CGXGridHint& h) {
        h.m_nCol1 = nFrom;
        h.m_nCol2 = nTo;
        h.m_pData = pOldWidths;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags)
{
    Send(pGrid, gxHintUpdateMoveRows, [&](CGXGridHint& h) {
        h.m_nRow1 = nFrom;
        h.m_nRow2 = nTo;
        h.m_nRow3 = nDest;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags)
{
    Send(pGrid, gxHintUpdateMoveCols, [&](CGXGridHint& h) {
        h.m_nCol1 = nFrom;
        h.m_nCol2 = nTo;
        h.m_nCol3 = nDest;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintSortRows, [&](CGXGridHint& h) {
        h.m_range = range;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintSortCols, [&](CGXGridHint& h) {
        h.m_range = range;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldHeights, UINT nFlags)
{
    Send(pGrid, gxHintUpdateChangedRowHeights, [&](CGXGridHint& h) {
        h.m_nRow1 = nFrom;
        h.m_nRow2 = nTo;
        h.m_pData = pOldHeights;
        h.m_nFlags = nFlags;
    });
}

void CGXGridUpdateHintImp::HintUpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, void* pOldWidths, UINT nFlags)
{
    Send(pGrid, gxHintUpdateChangedColWidths, [&](CGXGridHint& h) {
        h.m_nCol1 = nFrom;
        h.m_nCol2 = nTo;
        h.m_pData = pOldWidths;
        h.m_nFlags = nFlags;
    });
}

namespace {
// The hints that carry a range also carry its corners, as every range hint does.
void FillRange(CGXGridHint& h, const CGXRange& range, UINT nFlags)
{
    h.m_range = range;
    h.m_nRow1 = range.top;
    h.m_nCol1 = range.left;
    h.m_nRow2 = range.bottom;
    h.m_nCol2 = range.right;
    h.m_nFlags = nFlags;
}
} // namespace

void CGXGridUpdateHintImp::HintPrepareChangeSelection(CGXGridCore* pGrid, const CGXRange& range, void* pPosition)
{
    Send(pGrid, gxHintPrepareChangeSelection, [&](CGXGridHint& h) {
        FillRange(h, range, 0);
        h.m_pData = pPosition;
    });
}

void CGXGridUpdateHintImp::HintSelectRange(CGXGridCore* pGrid, const CGXRange& range, void* pPosition)
{
    Send(pGrid, gxHintUpdateSelectRange, [&](CGXGridHint& h) {
        FillRange(h, range, 0);
        h.m_pData = pPosition;
    });
}

void CGXGridUpdateHintImp::HintClearSelection(CGXGridCore* pGrid)
{
    Send(pGrid, gxHintUpdateClearSelection, [](CGXGridHint&) {});
}

void CGXGridUpdateHintImp::HintShowSelectionFrame(CGXGridCore* pGrid, UINT nFlags)
{
    Send(pGrid, gxHintShowSelectionFrame, [&](CGXGridHint& h) { h.m_nFlags = nFlags; });
}

void CGXGridUpdateHintImp::HintUpdateCoveredCells(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintUpdateCoveredCells, [&](CGXGridHint& h) { FillRange(h, range, nFlags); });
}

void CGXGridUpdateHintImp::HintRedrawFloatSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintRedrawFloatSpan, [&](CGXGridHint& h) { FillRange(h, range, nFlags); });
}

void CGXGridUpdateHintImp::HintRedrawMergeSpan(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags)
{
    Send(pGrid, gxHintRedrawMergeSpan, [&](CGXGridHint& h) { FillRange(h, range, nFlags); });
}
