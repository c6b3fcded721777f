#include "grid/core/CGXGridUpdateHintImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridHint.h"
#include "platform/afx/frame/CSplitterWnd.h"
#include "platform/afx/wnd/CWnd.h"

namespace {

// The splitter window a grid's window is a pane of, with the pane's row and column; null when
// the grid is not in one.
CSplitterWnd* SplitterOf(CGXGridCore* pGrid, int& nRow, int& nCol)
{
    CWnd* pWnd = pGrid != nullptr ? pGrid->GridWnd() : nullptr;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return nullptr;
    auto* pSplitter = dynamic_cast<CSplitterWnd*>(pWnd->GetParent());
    if (pSplitter == nullptr || !pSplitter->IsChildPane(pWnd, &nRow, &nCol))
        return nullptr;
    return pSplitter;
}

// A scroll hint is for the receiver when it is the pane the sender named, in a splitter with
// more than one column (rows scroll together across a splitter row) or row.
BOOL IsPaneOfHint(CGXGridCore* pGrid, const CGXGridHint& h, BOOL bAcrossColumns)
{
    int nRow = 0, nCol = 0;
    CSplitterWnd* pSplitter = SplitterOf(pGrid, nRow, nCol);
    if (pSplitter == nullptr || (bAcrossColumns ? pSplitter->GetColumnCount() : pSplitter->GetRowCount()) < 2)
        return FALSE;
    return nRow >= 0 && pSplitter->GetPane(nRow, nCol) == static_cast<CWnd*>(h.m_pData);
}

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
    case gxHintSetZoom: {
        // Zoom follows within one splitter window.
        int nRow = 0, nCol = 0;
        CSplitterWnd* pSplitter = SplitterOf(pGrid, nRow, nCol);
        const int nOldZoom = pGrid->GetZoom();
        if (pSplitter != nullptr && pSplitter == static_cast<CSplitterWnd*>(h.m_pData) && pGrid->StoreZoom(static_cast<int>(h.m_nNumber1), FALSE))
            pGrid->UpdateZoom(nOldZoom, h.m_id == gxHintUpdateZoom ? nFlags : 0, FALSE);
        break;
    }
    case gxHintSetTopRow:
        if (IsPaneOfHint(pGrid, h, TRUE))
            pGrid->SetTopRow(h.m_nRow1, nFlags, FALSE);
        break;
    case gxHintSetLeftCol:
        if (IsPaneOfHint(pGrid, h, FALSE))
            pGrid->SetLeftCol(h.m_nCol1, nFlags, FALSE);
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

void CGXGridUpdateHintImp::HintSetTopRow(CGXGridCore* pGrid, ROWCOL nRow, UINT nFlags)
{
    // Only the pane beside this one in its splitter row scrolls along.
    int nPaneRow = 0, nPaneCol = 0;
    CSplitterWnd* pSplitter = SplitterOf(pGrid, nPaneRow, nPaneCol);
    if (pSplitter == nullptr || pSplitter->GetColumnCount() < 2)
        return;
    CWnd* pPane = pSplitter->GetPane(nPaneRow, nPaneCol == 0 ? 1 : 0);
    Send(pGrid, gxHintSetTopRow, [&](CGXGridHint& h) {
        h.m_nRow1 = nRow;
        h.m_nFlags = nFlags;
        h.m_pData = pPane;
    });
}

void CGXGridUpdateHintImp::HintSetLeftCol(CGXGridCore* pGrid, ROWCOL nCol, UINT nFlags)
{
    // Only the pane above or below this one in its splitter column scrolls along.
    int nPaneRow = 0, nPaneCol = 0;
    CSplitterWnd* pSplitter = SplitterOf(pGrid, nPaneRow, nPaneCol);
    if (pSplitter == nullptr || pSplitter->GetRowCount() < 2)
        return;
    CWnd* pPane = pSplitter->GetPane(nPaneRow == 0 ? 1 : 0, nPaneCol);
    Send(pGrid, gxHintSetLeftCol, [&](CGXGridHint& h) {
        h.m_nCol1 = nCol;
        h.m_nFlags = nFlags;
        h.m_pData = pPane;
    });
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
    int nRow = 0, nCol = 0;
    CSplitterWnd* pSplitter = SplitterOf(pGrid, nRow, nCol);
    Send(pGrid, gxHintUpdateZoom, [&](CGXGridHint& h) {
        h.m_nNumber1 = static_cast<DWORD>(nZoom);
        h.m_nFlags = nFlags;
        h.m_pData = pSplitter;
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
