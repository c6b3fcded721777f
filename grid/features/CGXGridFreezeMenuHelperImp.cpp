#include "grid/features/CGXGridFreezeMenuHelperImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"

#include <algorithm>

namespace {

// The remembered freeze of one direction: where the block went, its size, where it came from.
ROWCOL* Triple(CGXGridParam* pParam, BOOL bCols)
{
    return bCols ? pParam->m_nLastFrozenCols : pParam->m_nLastFrozenRows;
}

// Puts the remembered freeze back as it was before the step it belongs to, when that step is
// undone or rolled back: undoing a freeze forgets the block, undoing an unfreeze remembers it
// again.
class CGXRestoreFreezeTripleCmd : public CGXCommand {
public:
    CGXRestoreFreezeTripleCmd(CGXGridParam* pParam, BOOL bCols) : m_pParam(pParam), m_bCols(bCols)
    {
        std::copy_n(Triple(pParam, bCols), 3, m_old);
    }
    BOOL Execute(IGXCommandTarget&, int) override
    {
        std::copy_n(m_old, 3, Triple(m_pParam, m_bCols));
        return TRUE;
    }

private:
    CGXGridParam* m_pParam; // the parameter object keeps its undo lists, so it outlives this
    BOOL m_bCols;
    ROWCOL m_old[3] = {};
};

// The update lock for the length of a freeze, restored however the freeze ends.
class FreezeUpdateLock {
public:
    explicit FreezeUpdateLock(CGXGridParam* pParam) : m_pParam(pParam), m_bOld(pParam->m_bLockUpdate) { m_pParam->m_bLockUpdate = TRUE; }
    ~FreezeUpdateLock() { m_pParam->m_bLockUpdate = m_bOld; }
    FreezeUpdateLock(const FreezeUpdateLock&) = delete;
    FreezeUpdateLock& operator=(const FreezeUpdateLock&) = delete;

private:
    CGXGridParam* m_pParam;
    BOOL m_bOld;
};

// An undo transaction rolled back unless committed: a move cancelled with ESC unwinds through it.
class FreezeTransaction {
public:
    FreezeTransaction(CGXGridCore& grid, LPCTSTR pszName) : m_grid(grid) { m_grid.BeginTransaction(pszName); }
    ~FreezeTransaction()
    {
        if (!m_bCommitted)
            m_grid.RollbackTransaction();
    }
    FreezeTransaction(const FreezeTransaction&) = delete;
    FreezeTransaction& operator=(const FreezeTransaction&) = delete;
    void Commit()
    {
        m_bCommitted = true;
        m_grid.CommitTransaction();
    }

private:
    CGXGridCore& m_grid;
    bool m_bCommitted = false;
};

void RememberTriple(CGXGridCore* pGrid, BOOL bCols)
{
    if (pGrid->RecordingUndo(gxDo))
        pGrid->AddCommand(new CGXRestoreFreezeTripleCmd(pGrid->GetParam(), bCols), gxDo);
}

} // namespace

void CGXGridFreezeMenuHelperImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pFreezeMenuHelperImp != nullptr)
        return;
    auto* pImp = new CGXGridFreezeMenuHelperImp;
    pGrid->m_pFreezeMenuHelperImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridFreezeMenuHelperImp::CanFreezeCols(CGXGridCore* pGrid) { return CanFreeze(pGrid, TRUE); }
BOOL CGXGridFreezeMenuHelperImp::CanUnfreezeCols(CGXGridCore* pGrid) { return CanUnfreeze(pGrid, TRUE); }
void CGXGridFreezeMenuHelperImp::FreezeCols(CGXGridCore* pGrid) { Freeze(pGrid, TRUE); }
void CGXGridFreezeMenuHelperImp::UnfreezeCols(CGXGridCore* pGrid) { Unfreeze(pGrid, TRUE); }
BOOL CGXGridFreezeMenuHelperImp::CanFreezeRows(CGXGridCore* pGrid) { return CanFreeze(pGrid, FALSE); }
BOOL CGXGridFreezeMenuHelperImp::CanUnfreezeRows(CGXGridCore* pGrid) { return CanUnfreeze(pGrid, FALSE); }
void CGXGridFreezeMenuHelperImp::FreezeRows(CGXGridCore* pGrid) { Freeze(pGrid, FALSE); }
void CGXGridFreezeMenuHelperImp::UnfreezeRows(CGXGridCore* pGrid) { Unfreeze(pGrid, FALSE); }

BOOL CGXGridFreezeMenuHelperImp::CanFreeze(CGXGridCore* pGrid, BOOL bCols)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    const ROWCOL nFrozen = bCols ? pGrid->GetFrozenCols() : pGrid->GetFrozenRows();
    const ROWCOL nHeaders = bCols ? pGrid->GetHeaderCols() : pGrid->GetHeaderRows();
    if (nFrozen > nHeaders)
        return FALSE;
    CDWordArray starts;
    CDWordArray ends;
    const CGXRangeList& sel = pGrid->GetParam()->m_SelRects;
    const BOOL bAny = bCols ? sel.GetColSpans(pGrid->GetColCount(), starts, ends, TRUE)
                            : sel.GetRowSpans(pGrid->GetRowCount(), starts, ends, TRUE);
    return bAny && starts.GetSize() == 1 && ends[0] > nHeaders;
}

BOOL CGXGridFreezeMenuHelperImp::CanUnfreeze(CGXGridCore* pGrid, BOOL bCols)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    return bCols ? pGrid->GetFrozenCols() > pGrid->GetHeaderCols() : pGrid->GetFrozenRows() > pGrid->GetHeaderRows();
}

void CGXGridFreezeMenuHelperImp::Freeze(CGXGridCore* pGrid, BOOL bCols)
{
    if (!CanFreeze(pGrid, bCols))
        return;
    CGXGridParam* pParam = pGrid->GetParam();
    CDWordArray starts;
    CDWordArray ends;
    if (bCols)
        pParam->m_SelRects.GetColSpans(pGrid->GetColCount(), starts, ends, TRUE);
    else
        pParam->m_SelRects.GetRowSpans(pGrid->GetRowCount(), starts, ends, TRUE);
    const ROWCOL nHeaders = bCols ? pGrid->GetHeaderCols() : pGrid->GetHeaderRows();
    const ROWCOL nTarget = nHeaders + 1;
    const ROWCOL nFirst = std::max<ROWCOL>(starts[0], nTarget);
    const ROWCOL nLast = ends[0];
    const ROWCOL nSize = nLast - nFirst + 1;

    FreezeTransaction transaction(*pGrid, pGrid->GetAppData()->GetText(bCols ? gxTextFreezeCols : gxTextFreezeRows));
    {
        FreezeUpdateLock lock(pParam);
        pGrid->ClearSelection(TRUE);
        if (nFirst != nTarget) {
            const BOOL bMoved = bCols ? pGrid->MoveCols(nFirst, nLast, nTarget, GX_UPDATENOW)
                                      : pGrid->MoveRows(nFirst, nLast, nTarget, GX_UPDATENOW);
            if (!bMoved)
                return; // the transaction rolls back what was done
        }
        RememberTriple(pGrid, bCols);
        ROWCOL* pTriple = Triple(pParam, bCols);
        pTriple[0] = nTarget;
        pTriple[1] = nSize;
        pTriple[2] = nFirst;
        const BOOL bFrozen = bCols ? pGrid->SetFrozenCols(nHeaders + nSize, nHeaders, GX_UPDATENOW)
                                   : pGrid->SetFrozenRows(nHeaders + nSize, nHeaders, GX_UPDATENOW);
        if (!bFrozen) {
            std::fill_n(pTriple, 3, 0);
            return;
        }
    }
    pGrid->Redraw(GX_UPDATENOW, TRUE);
    transaction.Commit();
}

void CGXGridFreezeMenuHelperImp::Unfreeze(CGXGridCore* pGrid, BOOL bCols)
{
    if (!CanUnfreeze(pGrid, bCols))
        return;
    CGXGridParam* pParam = pGrid->GetParam();
    const ROWCOL nHeaders = bCols ? pGrid->GetHeaderCols() : pGrid->GetHeaderRows();
    const ROWCOL nFrozen = (bCols ? pGrid->GetFrozenCols() : pGrid->GetFrozenRows()) - nHeaders;
    const ROWCOL nCount = bCols ? pGrid->GetColCount() : pGrid->GetRowCount();
    ROWCOL* pTriple = Triple(pParam, bCols);
    const ROWCOL nTarget = pTriple[0];
    const ROWCOL nSize = pTriple[1];
    const ROWCOL nFrom = pTriple[2];
    // The remembered block is moved back only while it is what is frozen now: the program may
    // have frozen columns itself, and insertions and removals may have left the numbers stale.
    const BOOL bMoveBack = nSize != 0 && nSize == nFrozen && nTarget == nHeaders + 1 && nFrom > nHeaders &&
                           nFrom != nTarget && nFrom <= nCount && nSize <= nCount - nFrom + 1 && nTarget + nSize - 1 <= nCount;

    FreezeTransaction transaction(*pGrid, pGrid->GetAppData()->GetText(bCols ? gxTextFreezeCols : gxTextFreezeRows));
    {
        FreezeUpdateLock lock(pParam);
        RememberTriple(pGrid, bCols);
        std::fill_n(pTriple, 3, 0);
        if (bCols ? !pGrid->SetFrozenCols(nHeaders, nHeaders, GX_UPDATENOW) : !pGrid->SetFrozenRows(nHeaders, nHeaders, GX_UPDATENOW))
            return;
        if (bMoveBack) {
            const BOOL bMoved = bCols ? pGrid->MoveCols(nTarget, nTarget + nSize - 1, nFrom, GX_UPDATENOW)
                                      : pGrid->MoveRows(nTarget, nTarget + nSize - 1, nFrom, GX_UPDATENOW);
            if (!bMoved)
                return;
        }
    }
    pGrid->Redraw(GX_UPDATENOW, TRUE);
    transaction.Commit();
}
