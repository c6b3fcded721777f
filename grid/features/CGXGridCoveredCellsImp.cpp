#include "grid/features/CGXGridCoveredCellsImp.h"

#include "grid/core/CGXDrawSpannedCellsImp.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCoveredCellPool.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/features/CGXSetCoveredCellsCmd.h"

#include <algorithm>
#include <memory>

namespace {

constexpr ROWCOL kLimit = 0x7FFFFFFFu;

BOOL Intersects(const CGXRange& a, const CGXRange& b)
{
    return a.top <= b.bottom && b.top <= a.bottom && a.left <= b.right && b.left <= a.right;
}

// Restores the update lock on every way out.
class UpdateLock {
public:
    explicit UpdateLock(CGXGridParam* pParam) : m_pParam(pParam), m_bOld(pParam->m_bLockUpdate) { m_pParam->m_bLockUpdate = TRUE; }
    ~UpdateLock() { m_pParam->m_bLockUpdate = m_bOld; }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    CGXGridParam* m_pParam;
    BOOL m_bOld;
};

} // namespace

void CGXGridCoveredCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pCoveredCellsImp != nullptr)
        return;
    auto* pFeature = new CGXGridCoveredCellsImp;
    pGrid->m_pCoveredCellsImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
    if (CGXGridParam* pParam = pGrid->GetParam())
        pFeature->Pool(pParam);
    CGXDrawSpannedCellsImp::Install(pGrid);
}

CGXCoveredCellPool* CGXGridCoveredCellsImp::Pool(CGXGridParam* pParam)
{
    auto* pPool = dynamic_cast<CGXCoveredCellPool*>(pParam->GetCoveredCellPool());
    bool bStale = pPool == nullptr || m_pSnapshotParam != pParam ||
                  m_Snapshot.size() != static_cast<size_t>(pParam->m_CoveredCellsList.GetCount());
    if (!bStale) {
        size_t i = 0;
        for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr && !bStale; ++i)
            bStale = !(*pParam->m_CoveredCellsList.GetNextRange(pos) == m_Snapshot[i]);
    }
    if (!bStale)
        return pPool;
    if (pPool == nullptr) {
        pPool = new CGXCoveredCellPool;
        pParam->SetCoveredCellPool(pPool);
    }
    pPool->Rebuild(pParam->m_CoveredCellsList);
    m_Snapshot.clear();
    for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;)
        m_Snapshot.push_back(*pParam->m_CoveredCellsList.GetNextRange(pos));
    m_pSnapshotParam = pParam;
    return pPool;
}

CGXRange* CGXGridCoveredCellsImp::FindCoveredSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || nRow >= kLimit || nCol >= kLimit || pParam->m_CoveredCellsList.IsEmpty())
        return nullptr;
    const POSITION pos = Pool(pParam)->Lookup(nRow, nCol);
    if (pos == nullptr)
        return nullptr;
    range = *pParam->m_CoveredCellsList.GetRangeAt(pos);
    return &range;
}

BOOL CGXGridCoveredCellsImp::AddCoveredCellsToRange(CGXGridCore* pGrid, CGXRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_CoveredCellsList.IsEmpty() || range.bottom < range.top || range.right < range.left)
        return FALSE;
    // Unite every block that crosses the range until none does: the fixed point a walk over
    // the range's cells reaches, without visiting every cell of a large range.
    BOOL bGrown = FALSE;
    for (BOOL bChanged = TRUE; bChanged;) {
        bChanged = FALSE;
        for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pBlock = pParam->m_CoveredCellsList.GetNextRange(pos);
            if (pBlock == nullptr || !pBlock->IsValid() || !Intersects(*pBlock, range))
                continue;
            const CGXRange old = range;
            range.top = std::min(range.top, pBlock->top);
            range.left = std::min(range.left, pBlock->left);
            range.bottom = std::max(range.bottom, pBlock->bottom);
            range.right = std::max(range.right, pBlock->right);
            if (!(old == range))
                bChanged = bGrown = TRUE;
        }
    }
    return bGrown;
}

BOOL CGXGridCoveredCellsImp::StoreCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol,
                                                     BOOL bSet)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || nToRow >= kLimit || nToCol >= kLimit || nRow > nToRow || nCol > nToCol)
        return FALSE;
    if (pParam->m_bLockReadOnly) {
        const CGXStyle* pStandard = pGrid->GetStandardStyle();
        if (pGrid->IsReadOnly() || (pStandard != nullptr && pStandard->GetInclude(GX_INCL_READONLY) && pStandard->GetReadOnly()))
            return FALSE;
    }
    CGXCoveredCellPool* pPool = Pool(pParam);
    CGXRangeList& list = pParam->m_CoveredCellsList;
    const POSITION pos = pPool->Lookup(nRow, nCol);
    if (!bSet) {
        if (pos == nullptr)
            return FALSE;
        CGXRange* pOld = list.GetRangeAt(pos);
        if (pOld->top != nRow || pOld->left != nCol)
            return FALSE;
        pPool->SetRange(pOld->top, pOld->left, pOld->bottom, pOld->right, nullptr);
        list.RemoveAt(pos);
        delete pOld;
        Pool(pParam); // takes the list's new shape as the pool's
        return TRUE;
    }
    CGXRange range(nRow, nCol, nToRow, nToCol);
    // No other block may share a cell with the new one. Widening the range by the blocks that
    // cross it misses a block lying wholly inside it, which would then be covered twice.
    for (POSITION other = list.GetHeadPosition(); other != nullptr;) {
        const POSITION here = other;
        const CGXRange* pOther = list.GetNextRange(other);
        if (here != pos && pOther != nullptr && pOther->IsValid() && Intersects(*pOther, range))
            return FALSE;
    }
    if (pos == nullptr) {
        auto pNew = std::make_unique<CGXRange>(range);
        const POSITION added = list.AddTail(pNew.get());
        pNew.release();
        pPool->SetRange(nRow, nCol, nToRow, nToCol, added);
    } else {
        CGXRange* pOld = list.GetRangeAt(pos);
        // A block grows in place; it shrinks only by being removed first.
        if (pOld->top != nRow || pOld->left != nCol || *pOld == range || pOld->bottom > nToRow || pOld->right > nToCol)
            return FALSE;
        *pOld = range;
        pPool->SetRange(nRow, nCol, nToRow, nToCol, pos);
    }
    Pool(pParam);
    return TRUE;
}

BOOL CGXGridCoveredCellsImp::SetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol,
                                                   UINT nFlags, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    CGXRange old;
    ROWCOL nOldBottom = nRow, nOldRight = nCol;
    const BOOL bHadBlock = FindCoveredSpan(pGrid, nRow, nCol, old) != nullptr;
    if (bHadBlock) {
        nOldBottom = old.bottom;
        nOldRight = old.right;
    }
    const BOOL bSet = !(nToRow == nRow && nToCol == nCol);
    // The user shrinks a block only by removing it first, but undoing a growth must shrink it:
    // a replay takes the old block out, and puts it back when the new one cannot be stored.
    const BOOL bReplace = nMode != gxDo && bSet && bHadBlock && old.top == nRow && old.left == nCol;
    if (bReplace && !StoreCoveredCellsRowCol(pGrid, nRow, nCol, nRow, nCol, FALSE))
        return FALSE;
    if (!StoreCoveredCellsRowCol(pGrid, nRow, nCol, nToRow, nToCol, bSet)) {
        if (bReplace)
            StoreCoveredCellsRowCol(pGrid, nRow, nCol, old.bottom, old.right, TRUE);
        return FALSE;
    }
    // A covered cell neither merges nor floats: the spans in and beside the block are worked
    // out again now, and the cells they leave or join are drawn again with it.
    CGXRange redraw(nRow, nCol, std::max(nToRow, nOldBottom), std::max(nToCol, nOldRight));
    CGXRange changed;
    BOOL bSpans = FALSE;
    if (pGrid->m_pMergeCellsImp != nullptr && pGrid->MergeCellsEnabled()) {
        CGXRange r(redraw);
        pGrid->m_pMergeCellsImp->DelayAndExpandMergeCells(pGrid, r);
        bSpans |= pGrid->m_pMergeCellsImp->EvalMergeCells(pGrid, r, &changed, 0);
    }
    if (pGrid->m_pFloatCellsImp != nullptr && pGrid->FloatCellsEnabled()) {
        CGXRange r(redraw);
        pGrid->m_pFloatCellsImp->DelayAndExpandFloatCells(pGrid, r);
        bSpans |= pGrid->m_pFloatCellsImp->EvalFloatCells(pGrid, r, &changed, 0);
    }
    if (bSpans && changed.IsValid() && !pParam->m_bLockUpdate)
        pGrid->RedrawRange(changed, GX_INVALIDATE, FALSE);
    UpdateCoveredCellsRowCol(pGrid, nRow, nCol, std::max(nToRow, nOldBottom), std::max(nToCol, nOldRight), nFlags, TRUE);
    if (pGrid->m_pUndoImp != nullptr && nMode != gxRollback && pParam->IsEnableUndo()) {
        pGrid->AddCommand(new CGXSetCoveredCellsCmd(nRow, nCol, nOldBottom, nOldRight), nMode);
        if (nMode == gxUndo || nMode == gxRedo)
            pGrid->ShowCommandPosition(nRow, nCol, TRUE);
    }
    return TRUE;
}

void CGXGridCoveredCellsImp::UpdateCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol,
                                                      UINT nFlags, BOOL bCreateHint)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return;
    if (!pParam->m_bLockUpdate) {
        CGXRange covered;
        if (FindCoveredSpan(pGrid, nRow, nCol, covered) != nullptr) {
            ROWCOL nCurRow = 0, nCurCol = 0;
            // A current cell hidden under the block moves to the cell that shows it.
            if (pGrid->GetCurrentCell(nCurRow, nCurCol) && covered.ContainsCell(nCurRow, nCurCol) &&
                (nCurRow != covered.top || nCurCol != covered.left))
                pGrid->SetCurrentCell(covered.top, covered.left, nFlags | 8);
            nToRow = std::max(nToRow, covered.bottom);
            nToCol = std::max(nToCol, covered.right);
        }
        pGrid->RedrawRange(CGXRange(nRow, nCol, nToRow, nToCol), nFlags, FALSE);
    }
    if (bCreateHint && pGrid->m_pUpdateHintImp != nullptr && pGrid->IsHintsEnabled())
        pGrid->m_pUpdateHintImp->HintUpdateCoveredCells(pGrid, CGXRange(nRow, nCol, nToRow, nToCol), nFlags);
}

CGXCommand* CGXGridCoveredCellsImp::MakeSetCoveredCellsCmd(const CGXRange& range)
{
    return new CGXSetCoveredCellsCmd(range.top, range.left, range.bottom, range.right);
}

BOOL CGXGridCoveredCellsImp::PrepareRemoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip)
{
    return PrepareRemove(pGrid, Axis::rows, nFirst, nLast, bChanged, bSkip);
}

BOOL CGXGridCoveredCellsImp::PrepareRemoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip)
{
    return PrepareRemove(pGrid, Axis::cols, nFirst, nLast, bChanged, bSkip);
}

BOOL CGXGridCoveredCellsImp::PrepareRemove(CGXGridCore* pGrid, Axis axis, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (bSkip || pParam == nullptr || nFirst > nLast || pParam->m_CoveredCellsList.IsEmpty())
        return FALSE;
    const BOOL bRows = axis == Axis::rows;
    // The walk changes the list as it goes: it reads a copy taken before.
    std::vector<CGXRange> snapshot;
    for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;)
        snapshot.push_back(*pParam->m_CoveredCellsList.GetNextRange(pos));
    BOOL bAny = FALSE;
    {
        UpdateLock lock(pParam);
        pGrid->BeginTransaction(pGrid->GetAppData()->GetText(bRows ? gxTextRemovingRows : gxTextRemovingCols));
        for (const CGXRange& r : snapshot) {
            const ROWCOL nStart = bRows ? r.top : r.left;
            const ROWCOL nEnd = bRows ? r.bottom : r.right;
            if (nStart < nFirst && nEnd >= nFirst && nEnd <= nLast) {
                bAny |= SetCoveredCellsRowCol(pGrid, r.top, r.left, r.top, r.left, GX_INVALIDATE, gxDo);
                bAny |= SetCoveredCellsRowCol(pGrid, r.top, r.left, bRows ? nFirst - 1 : r.bottom, bRows ? r.right : nFirst - 1,
                                              GX_INVALIDATE, gxDo);
            } else if (nStart >= nFirst && nStart <= nLast) {
                bAny |= SetCoveredCellsRowCol(pGrid, r.top, r.left, r.top, r.left, GX_INVALIDATE, gxDo);
            }
        }
        pGrid->CommitTransaction();
    }
    if (bAny)
        bChanged = TRUE;
    return bAny;
}
