#include "grid/core/CGXGridMoveRowsColsImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXGridModel.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>
#include <vector>

void CGXGridMoveRowsColsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pMoveRowsColsImp != nullptr)
        return;
    auto* pImp = new CGXGridMoveRowsColsImp;
    pGrid->m_pMoveRowsColsImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridMoveRowsColsImp::MoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode)
{
    return Move(pGrid, TRUE, nFrom, nTo, nDest, nFlags, nMode);
}

BOOL CGXGridMoveRowsColsImp::MoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode)
{
    return Move(pGrid, FALSE, nFrom, nTo, nDest, nFlags, nMode);
}

BOOL CGXGridMoveRowsColsImp::Move(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    // The block and its place must lie within the counts before anything changes: a block
    // moved partly past the end would lose its cells.
    const ROWCOL nCount = bRows ? pGrid->GetRowCount() : pGrid->GetColCount();
    if (nFrom == 0 || nTo < nFrom || nTo > nCount || nDest == 0 || nDest > nCount - (nTo - nFrom) || nDest == nFrom)
        return FALSE;
    if (!pGrid->SyncCurrentCell(TRUE, GX_UPDATENOW, TRUE))
        return FALSE;
    CGXGridParam* pParam = pGrid->GetParam();
    if (nMode == gxDo)
        pGrid->BeginTransaction(pGrid->GetAppData()->GetText(bRows ? gxTextMoveRows : gxTextMoveCols));
    if (nMode == gxDo && pGrid->m_pCoveredCellsImp != nullptr)
        UncoverTornBlocks(pGrid, bRows, nFrom, nTo, nDest);

    // Covered ranges whose first row (or column) changes place are recorded for undo and
    // force a full redraw: undo moves the block back, takes it out there and covers its old
    // extent again, which holds whatever the block went through on the way.
    CGXAbstractGridCoveredCellsImp* pCovered = nMode == gxDo && pGrid->RecordingUndo(nMode) ? pGrid->m_pCoveredCellsImp : nullptr;
    const ROWCOL p = nDest < nFrom ? nDest : nDest + (nTo - nFrom + 1);
    for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = pParam->m_CoveredCellsList.GetNextRange(pos);
        const ROWCOL nTop = bRows ? pRange->top : pRange->left;
        const BOOL bMoves = (nTop < nFrom && p <= nTop) || (nTop > nTo && p > nTop) || (nTop >= nFrom && nTop <= nTo && (p < nFrom || p > nTo));
        if (!bMoves || !pRange->IsValid())
            continue;
        if (pCovered != nullptr) {
            if (CGXCommand* pCover = pCovered->MakeSetCoveredCellsCmd(*pRange)) {
                pGrid->AddCommand(pCover, nMode);
                pGrid->AddCommand(pCovered->MakeSetCoveredCellsCmd(CGXRange(pRange->top, pRange->left, pRange->top, pRange->left)), nMode);
            }
        }
        nFlags = (nFlags | GX_INVALIDATE) & ~(GX_UPDATENOW | GX_SMART);
    }

    const BOOL bOldRecording = pGrid->SetDataUndoRecording(pGrid->RecordingUndo(nMode));
    const BOOL bStored = bRows ? pGrid->StoreMoveRows(nFrom, nTo, nDest, FALSE) : pGrid->StoreMoveCols(nFrom, nTo, nDest, FALSE);
    pGrid->SetDataUndoRecording(bOldRecording);
    if (!bStored) {
        pGrid->DiscardDataUndoInfo();
        if (nMode == gxDo)
            pGrid->RollbackTransaction();
        return FALSE;
    }
    if (bRows)
        pGrid->UpdateMoveRows(nFrom, nTo, nDest, nFlags, TRUE);
    else
        pGrid->UpdateMoveCols(nFrom, nTo, nDest, nFlags, TRUE);
    if (pGrid->RecordingUndo(nMode)) {
        const ROWCOL nLast = nDest + (nTo - nFrom);
        CGXCommand* pCmd = bRows ? static_cast<CGXCommand*>(new CGXMoveRowsCmd(nDest, nLast, nFrom))
                                 : static_cast<CGXCommand*>(new CGXMoveColsCmd(nDest, nLast, nFrom));
        pCmd->m_sDescription = pGrid->GetAppData()->GetText(bRows ? gxTextMoveRows : gxTextMoveCols);
        pGrid->AddCommand(pCmd, nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo) {
        if (bRows)
            pGrid->ShowCommandPosition(nDest, pGrid->GetLeftCol(), FALSE);
        else
            pGrid->ShowCommandPosition(pGrid->GetTopRow(), nDest, FALSE);
    }
    if (nMode == gxDo)
        pGrid->CommitTransaction();
    return TRUE;
}

void CGXGridMoveRowsColsImp::UncoverTornBlocks(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    // The rows (columns) of the grid fall into runs that each move by one amount: before the
    // rows that change place, the moved block, the rows it passes on its way, and after. A
    // covered block with rows in two runs travels with its first row only and would end up
    // covering other cells, or across another block; unless it holds every row that changes
    // place below its first, when its rows only change order. Such a block is uncovered before
    // the move, in the same undo step, as a removal does with the blocks it cuts.
    const ROWCOL p = nDest < nFrom ? nDest : nDest + (nTo - nFrom + 1);
    const ROWCOL nLow = std::min(nFrom, p);
    const ROWCOL nHigh = std::max(nTo + 1, p); // the first row after those that change place
    const auto run = [&](ROWCOL n) -> int {
        if (n < nLow)
            return 0;
        if (n >= nFrom && n <= nTo)
            return 1;
        if (n > nTo && n < p)
            return 2;
        if (n >= p && n < nFrom)
            return 3;
        return 4;
    };
    CGXRangeList& list = pGrid->GetParam()->m_CoveredCellsList;
    std::vector<CGXRange> torn;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = list.GetNextRange(pos);
        const ROWCOL nFirst = bRows ? pRange->top : pRange->left;
        const ROWCOL nLast = bRows ? pRange->bottom : pRange->right;
        if (pRange->IsValid() && run(nFirst) != run(nLast) && !(nFirst < nLow && nLast >= nHigh - 1))
            torn.push_back(*pRange);
    }
    for (const CGXRange& r : torn)
        pGrid->SetCoveredCellsRowCol(r.top, r.left, r.top, r.left, GX_INVALIDATE, gxDo);
}

BOOL CGXGridMoveRowsColsImp::StoreMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed)
{
    return Store(pGrid, TRUE, nFrom, nTo, nDest, bProcessed);
}

BOOL CGXGridMoveRowsColsImp::StoreMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed)
{
    return Store(pGrid, FALSE, nFrom, nTo, nDest, bProcessed);
}

BOOL CGXGridMoveRowsColsImp::Store(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || nFrom == nDest || pGrid->IsReadOnlyLocked())
        return FALSE;
    // The model moves the cells, the stored sizes and the range lists together.
    CGXGridModel model(*pGrid->GetParam(), nullptr);
    bProcessed = (bRows ? model.MoveRows(nFrom, nTo, nDest, gxRollback) : model.MoveCols(nFrom, nTo, nDest, gxRollback)) || bProcessed;
    if (!bProcessed)
        return FALSE;
    pGrid->SetModifiedFlag(TRUE);
    return TRUE;
}

void CGXGridMoveRowsColsImp::UpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint)
{
    Update(pGrid, TRUE, nFrom, nTo, nDest, nFlags, bCreateHint);
}

void CGXGridMoveRowsColsImp::UpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint)
{
    Update(pGrid, FALSE, nFrom, nTo, nDest, nFlags, bCreateHint);
}

void CGXGridMoveRowsColsImp::Repaint(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags)
{
    const ROWCOL n = nTo - nFrom + 1;
    const ROWCOL p = nDest < nFrom ? nDest : nDest + n; // the insertion point, numbered before the move
    const ROWCOL nFrozen = bRows ? pGrid->GetFrozenRows() : pGrid->GetFrozenCols();
    const ROWCOL m = std::min(nFrom, p);
    // A block that passes the frozen part, spans that may reach across it, or an invalidating
    // caller: the whole grid is drawn again.
    if ((nFlags & GX_INVALIDATE) || nFrom <= nFrozen || nTo <= nFrozen || p <= nFrozen || pGrid->FloatCellsEnabled() ||
        pGrid->MergeCellsEnabled()) {
        pGrid->Redraw(nFlags, FALSE);
    } else if (CWnd* pWnd = pGrid->GridWnd(); pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr) {
        // Only what moved is painted again.
        CRect grid;
        pGrid->GetGridRect(&grid);
        const ROWCOL t = bRows ? pGrid->GetTopRow() : pGrid->GetLeftCol();
        const ROWCOL nLast = bRows ? pGrid->CalcLastVisibleRow(grid) : pGrid->CalcLastVisibleCol(grid);
        const auto areaAfter = [&](ROWCOL k) { return bRows ? pGrid->CalcAreaBelowRow(k) : pGrid->CalcAreaRightOfCol(k); };
        if (nTo < t) {
            // Wholly above (left of) the view: the rows shown keep their place under new numbers.
            if (p >= t) {
                if (bRows)
                    pGrid->SetTopRow(t - n, 0, FALSE);
                else
                    pGrid->SetLeftCol(t - n, 0, FALSE);
                const ROWCOL nLastNow = bRows ? pGrid->CalcLastVisibleRow(grid) : pGrid->CalcLastVisibleCol(grid);
                if (nDest <= nLastNow) {
                    CRect area = areaAfter(nDest - 1);
                    const int nExtent = bRows ? area.Height() : area.Width();
                    const int nBand = bRows ? pGrid->SumRowHeights(nDest, nDest + n - 1, nExtent)
                                            : pGrid->SumColWidths(nDest, nDest + n - 1, nExtent);
                    if (nBand < nExtent) {
                        if (nFlags != 0) {
                            pGrid->ScrollWindowEx(bRows ? 0 : nBand, bRows ? nBand : 0, area, grid);
                            CRect band = area;
                            if (bRows)
                                band.bottom = band.top + nBand;
                            else
                                band.right = band.left + nBand;
                            pWnd->InvalidateRect(&band, FALSE);
                        }
                    } else {
                        pWnd->InvalidateRect(&area, FALSE);
                    }
                }
            }
        } else if (nFrom < t) {
            // Across the top row (left column): everything below the headers.
            if (nFlags != 0) {
                CRect area = areaAfter(0);
                pWnd->InvalidateRect(&area, FALSE);
            }
        } else if (nFlags != 0 && m <= nLast) {
            // At or below the top row: from the first row that changed place down.
            CRect area = m <= t ? grid : areaAfter(m - 1);
            pWnd->InvalidateRect(&area, FALSE);
        }
        if (nFlags & GX_UPDATENOW)
            pWnd->UpdateWindow();
        if (nFlags != 0)
            pGrid->UpdateScrollbars(!(nFlags & GX_UPDATENOW), FALSE);
        // The headers of the rows that changed place show their new numbers.
        const BOOL bHeaders = bRows ? pGrid->GetParam()->m_bRedrawRowHeaderAfterMove : pGrid->GetParam()->m_bRedrawColHeaderAfterMove;
        if (bHeaders && nFlags != 0) {
            const ROWCOL nCount = bRows ? pGrid->GetRowCount() : pGrid->GetColCount();
            if (m <= nCount)
                pGrid->RedrawRange(bRows ? CGXRange(m, 0, nCount, 0) : CGXRange(0, m, 0, nCount), nFlags, FALSE);
        }
        return;
    }
    if (nFlags != 0)
        pGrid->UpdateScrollbars(!(nFlags & GX_UPDATENOW), FALSE);
}

void CGXGridMoveRowsColsImp::Update(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return;
    pGrid->MovedCurrentCell(bRows, nFrom, nTo, nDest);
    // The selection entry a drag would extend named rows that moved; the frame goes round the
    // newest selected range where it now stands.
    if (pGrid->m_pUserSelectRangeImp != nullptr)
        pGrid->m_pUserSelectRangeImp->ForgetActiveEntry();
    const CGXRangeList& sel = pGrid->GetParam()->m_SelRects;
    if (!sel.IsEmpty())
        pGrid->DrawSelectionFrame(nullptr, FALSE, sel.GetRangeAt(sel.GetTailPosition()));
    if (!pGrid->GetParam()->m_bNoRedraw)
        Repaint(pGrid, bRows, nFrom, nTo, nDest, nFlags);
    if (CGXGridAssistant* pAssistant = pGrid->GetAssistant()) {
        if (bRows)
            pAssistant->OnMovedRows(pGrid, nFrom, nTo, nDest);
        else
            pAssistant->OnMovedCols(pGrid, nFrom, nTo, nDest);
    }
    if (pGrid->HintsWanted(bCreateHint)) {
        if (bRows)
            pGrid->m_pUpdateHintImp->HintUpdateMoveRows(pGrid, nFrom, nTo, nDest, nFlags);
        else
            pGrid->m_pUpdateHintImp->HintUpdateMoveCols(pGrid, nFrom, nTo, nDest, nFlags);
    }
}
