#include "grid/features/CGXGridMergeCellsImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXDrawSpannedCellsImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXSpanCellPool.h"
#include "grid/data/CGXStyle.h"
#include "platform/core/CrtStrings.h"

#include <algorithm>
#include <cstring>

void CGXGridMergeCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pMergeCellsImp != nullptr)
        return;
    auto* pFeature = new CGXGridMergeCellsImp;
    pGrid->m_pMergeCellsImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
    CGXDrawSpannedCellsImp::Install(pGrid);
}

CGXSpanCellPool* CGXGridMergeCellsImp::SpanPool(CGXGridParam* pParam, DWORD nDirection)
{
    return dynamic_cast<CGXSpanCellPool*>(
        pParam->GetPool(nDirection == gxHorizontal ? CGXGridParam::gxMergeSpanPoolRows : CGXGridParam::gxMergeSpanPoolCols));
}

CGXDelayedRangePool* CGXGridMergeCellsImp::DelayedPool(CGXGridParam* pParam)
{
    return dynamic_cast<CGXDelayedRangePool*>(pParam->GetPool(CGXGridParam::gxMergeDelayedPool));
}

void CGXGridMergeCellsImp::SetMergeCellsMode(CGXGridCore* pGrid, WORD wMode, BOOL bRedraw)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wMergeCellsMode == wMode)
        return;
    pParam->m_wMergeCellsMode = wMode;
    pParam->SetPool(CGXGridParam::gxMergeSpanPoolRows, nullptr);
    pParam->SetPool(CGXGridParam::gxMergeSpanPoolCols, nullptr);
    pParam->SetPool(CGXGridParam::gxMergeDelayedPool, nullptr);
    const WORD wKind = wMode & 3;
    if (wKind == 1 || wKind == 2) {
        pParam->SetPool(CGXGridParam::gxMergeSpanPoolRows, new CGXSpanCellPool);
        pParam->SetPool(CGXGridParam::gxMergeSpanPoolCols, new CGXSpanCellPool);
    }
    if (wKind == 1) {
        pParam->SetPool(CGXGridParam::gxMergeDelayedPool, new CGXDelayedRangePool);
        DelayMergeCells(pGrid, CGXRange(0, 0, pGrid->GetRowCount(), pGrid->GetColCount()), GX_INVALID, GX_INVALID);
    }
    if (bRedraw)
        pGrid->Redraw();
}

void CGXGridMergeCellsImp::DelayMergeCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRowLimit, ROWCOL nColLimit)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXDelayedRangePool* pPool = pParam != nullptr ? DelayedPool(pParam) : nullptr;
    if (pPool == nullptr || (pParam->m_wMergeCellsMode & 3) != 1)
        return;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange r(range);
    r.ExpandToCells(0, 0, nRows, nCols);
    r.bottom = std::min(r.bottom, nRows);
    r.right = std::min(r.right, nCols);
    if (r.top > r.bottom || r.left > r.right)
        return;
    if (pParam->m_wMergeCellsMode & 1) {
        // Hidden rows and columns merge with anything: the spans across them change too.
        while (r.top > 0 && pGrid->IsRowHidden(r.top))
            --r.top;
        while (r.bottom < nRows && pGrid->IsRowHidden(r.bottom))
            ++r.bottom;
        while (r.left > 0 && pGrid->IsColHidden(r.left))
            --r.left;
        while (r.right < nCols && pGrid->IsColHidden(r.right))
            ++r.right;
    }
    pPool->AddRange(r);
    if (nRowLimit != GX_INVALID)
        pPool->ClipRows(nRowLimit);
    if (nColLimit != GX_INVALID)
        pPool->ClipCols(nColLimit);
}

BOOL CGXGridMergeCellsImp::EvalMergeCells(CGXGridCore* pGrid, const CGXRange& range, CGXRange* pOut, UINT)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || m_bEvaluating)
        return FALSE;
    const WORD wMode = pParam->m_wMergeCellsMode;
    const WORD wKind = wMode & 3;
    if (wKind != 1 && wKind != 2)
        return FALSE;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange r(range);
    r.ExpandToCells(0, 0, nRows, nCols);
    r.bottom = std::min(r.bottom, nRows);
    r.right = std::min(r.right, nCols);
    if (r.top > r.bottom || r.left > r.right)
        return FALSE;
    const BOOL bSkipHidden = (wMode & 1) == 0;
    // A store inside the pass must not start another pass, and redraws wait for its end.
    struct Guard {
        CGXGridMergeCellsImp* p;
        CGXGridParam* param;
        BOOL bOldLock;
        ~Guard()
        {
            p->m_bEvaluating = FALSE;
            p->m_passCells.clear();
            param->m_bLockUpdate = bOldLock;
        }
    } guard{this, pParam, pParam->m_bLockUpdate};
    m_bEvaluating = TRUE;
    pParam->m_bLockUpdate = TRUE;
    BOOL bChanged = FALSE;
    const auto evalRow = [&](ROWCOL nRow, ROWCOL nFirst, ROWCOL nLast) {
        if (bSkipHidden && pGrid->IsRowHidden(nRow))
            return;
        for (ROWCOL nCol = nFirst;; ++nCol) {
            if (!(bSkipHidden && pGrid->IsColHidden(nCol)))
                bChanged |= EvalMergeCell(pGrid, nRow, nCol, pOut);
            if (nCol == nLast)
                break;
        }
    };
    const BOOL bAll = wKind == 2;
    if (!CGXDrawSpannedCellsImp::ForRowsToEvaluate(bAll ? nullptr : DelayedPool(pParam), r, bAll, 0, nCols, evalRow))
        return FALSE;
    return bChanged;
}

void CGXGridMergeCellsImp::OnStructureChanged(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || (pParam->m_wMergeCellsMode & 3) == 0)
        return;
    for (DWORD nDirection : {DWORD{gxHorizontal}, DWORD{gxVertical}})
        if (CGXSpanCellPool* pPool = SpanPool(pParam, nDirection))
            pPool->RemoveAll();
    if (CGXDelayedRangePool* pDelayed = DelayedPool(pParam)) {
        pDelayed->RemoveAll();
        DelayMergeCells(pGrid, CGXRange(0, 0, pGrid->GetRowCount(), pGrid->GetColCount()), GX_INVALID, GX_INVALID);
    }
}

void CGXGridMergeCellsImp::DelayAndExpandMergeCells(CGXGridCore* pGrid, CGXRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || (pParam->m_wMergeCellsMode & 3) == 0)
        return;
    // A neighbour's span changes with a changed cell: the range and the cells beside it.
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange cells(range);
    cells.ExpandToCells(0, 0, nRows, nCols);
    cells.bottom = std::min(cells.bottom, nRows);
    cells.right = std::min(cells.right, nCols);
    if (cells.top > cells.bottom || cells.left > cells.right)
        return;
    DelayMergeCells(pGrid, CGXRange(cells.top > 0 ? cells.top - 1 : 0, cells.left > 0 ? cells.left - 1 : 0,
                                    std::min(cells.bottom + 1, nRows), std::min(cells.right + 1, nCols)),
                    GX_INVALID, GX_INVALID);
    if (!range.IsCells())
        return; // bands and the table are redrawn whole anyway
    // A span reaching out of the range crosses its border: the border cells tell them all.
    CGXRange out(range);
    const auto unite = [&](ROWCOL nRow, ROWCOL nCol) {
        CGXRange span;
        if (GetMergeCellsRowCol(pGrid, nRow, nCol, span, gxEither) != nullptr)
            CGXDrawSpannedCellsImp::WidenChanged(&out, span.top, span.left, span.bottom, span.right);
    };
    for (ROWCOL nCol = cells.left;; ++nCol) {
        unite(cells.top, nCol);
        unite(cells.bottom, nCol);
        if (nCol == cells.right)
            break;
    }
    for (ROWCOL nRow = cells.top;; ++nRow) {
        unite(nRow, cells.left);
        unite(nRow, cells.right);
        if (nRow == cells.bottom)
            break;
    }
    range = out;
}

CGXRange* CGXGridMergeCellsImp::GetMergeCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range, DWORD nDirection)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || (pParam->m_wMergeCellsMode & 3) == 0)
        return nullptr;
    range.SetCells(nRow, nCol, nRow, nCol);
    BOOL bFound = FALSE;
    if (nDirection != gxVertical)
        if (CGXSpanCellPool* pPool = SpanPool(pParam, gxHorizontal)) {
            CGXRange h(nRow, nCol, nRow, nCol);
            if (pPool->FindSpan(nRow, nCol, h) && h.right > h.left) {
                range.left = h.left;
                range.right = h.right;
                bFound = TRUE;
            }
        }
    if (nDirection != gxHorizontal)
        if (CGXSpanCellPool* pPool = SpanPool(pParam, gxVertical)) {
            CGXRange v(nRow, nCol, nRow, nCol);
            if (pPool->FindSpan(nRow, nCol, v) && v.bottom > v.top) {
                range.top = v.top;
                range.bottom = v.bottom;
                bFound = TRUE;
            }
        }
    return bFound ? &range : nullptr;
}

CGXRange* CGXGridMergeCellsImp::FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    return GetMergeCellsRowCol(pGrid, nRow, nCol, range, gxEither);
}

BOOL CGXGridMergeCellsImp::CanMergeCell(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                        DWORD nDirection)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    const WORD wMode = pParam->m_wMergeCellsMode;
    if ((wMode & 1) && (pGrid->IsRowHidden(nRow) || pGrid->IsColHidden(nCol)))
        return TRUE;
    if ((wMode & 3) == 0 || !style.GetInclude(GX_INCL_MERGECELL))
        return FALSE;
    const UINT nMerge = style.GetMergeCell();
    if (nDirection == gxHorizontal && (!(nMerge & GX_MERGE_HORIZONTAL) || (wMode & GX_MERGE_NOHORZ)))
        return FALSE;
    if (nDirection == gxVertical && (!(nMerge & GX_MERGE_VERTICAL) || (wMode & GX_MERGE_NOVERT)))
        return FALSE;
    CGXRange covered;
    if (pGrid->FindCoveredSpan(nRow, nCol, covered) != nullptr)
        return FALSE;
    return pControl != nullptr && pControl->CanMergeCell(nRow, nCol, style, static_cast<int>(nDirection));
}

BOOL CGXGridMergeCellsImp::CanMergeCells(CGXGridCore*, const CGXStyle& style1, const CGXStyle& style2)
{
    if (!style1.GetInclude(GX_INCL_MERGECELL) || !style2.GetInclude(GX_INCL_MERGECELL))
        return FALSE;
    if ((style1.GetMergeCell() & GX_MERGE_COMPVALUE) && (style2.GetMergeCell() & GX_MERGE_COMPVALUE))
        return std::strcmp(style1.GetValue(), style2.GetValue()) == 0;
    return style1.IsSubSet(style2) && style2.IsSubSet(style1);
}

BOOL CGXGridMergeCellsImp::SetMergeCellsRowCol(CGXGridCore* pGrid, DWORD nDirection, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom,
                                               ROWCOL nRight, BOOL bSet)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXSpanCellPool* pPool = pParam != nullptr ? SpanPool(pParam, nDirection) : nullptr;
    if (pPool == nullptr)
        return FALSE;
    CGXRange old;
    const BOOL bOld = GetMergeCellsRowCol(pGrid, nTop, nLeft, old, nDirection) != nullptr;
    const BOOL bOne = nTop == nBottom && nLeft == nRight;
    if (!pPool->SetSpan(nTop, nLeft, nBottom, nRight, bSet && !bOne))
        return FALSE;
    m_lastStored.SetCells(nTop, nLeft, nBottom, nRight);
    const CGXRange changed(nTop, nLeft, std::max(nBottom, bOld ? old.bottom : nBottom), std::max(nRight, bOld ? old.right : nRight));
    // A merged cell neither floats nor is floated over: texts there are laid out again.
    pGrid->DelayFloatCells(changed);
    if (!pParam->m_bLockUpdate && !pParam->m_bNoRedraw)
        pGrid->RedrawRange(changed, GX_INVALIDATE, FALSE);
    return TRUE;
}

BOOL CGXGridMergeCellsImp::EvalMergeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || (pParam->m_wMergeCellsMode & 3) == 0)
        return FALSE;
    const WORD wMode = pParam->m_wMergeCellsMode;
    const BOOL bPassHidden = (wMode & 1) != 0;
    BOOL bChanged = FALSE, bStored = FALSE;
    // The next neighbour leftwards or rightwards (upwards, downwards), passing hidden lines
    // when bit 0 says they merge with anything.
    const auto before = [&](ROWCOL n, BOOL bRows) {
        ROWCOL m = n - 1;
        while (bPassHidden && m > 0 && (bRows ? pGrid->IsRowHidden(m) : pGrid->IsColHidden(m)))
            --m;
        return m;
    };
    const auto after = [&](ROWCOL n, BOOL bRows, ROWCOL nCount) {
        ROWCOL m = n + 1;
        while (bPassHidden && m < nCount && (bRows ? pGrid->IsRowHidden(m) : pGrid->IsColHidden(m)))
            ++m;
        return m;
    };
    if (!(wMode & GX_MERGE_NOHORZ)) {
        const ROWCOL nCols = pGrid->GetColCount();
        if (nCol >= 1 && nCol <= nCols) {
            bChanged |= MergePairHorizontal(pGrid, nRow, before(nCol, FALSE), nCol, pOut, bStored);
            // Leftwards from the stored span's first column, which must move on each step: a
            // check that stores nothing leaves an old span remembered, and reading it again
            // would go round for ever.
            for (ROWCOL nFirst = m_lastStored.left; bStored && nFirst > 0;) {
                MergePairHorizontal(pGrid, nRow, before(nFirst, FALSE), nFirst, pOut, bStored);
                if (!bStored || m_lastStored.left >= nFirst)
                    break;
                nFirst = m_lastStored.left;
            }
        }
        if (nCol < nCols) {
            bChanged |= MergePairHorizontal(pGrid, nRow, nCol, after(nCol, FALSE, nCols), pOut, bStored);
            for (ROWCOL nLast = m_lastStored.right; bStored && nLast < nCols;) {
                MergePairHorizontal(pGrid, nRow, nLast, after(nLast, FALSE, nCols), pOut, bStored);
                if (!bStored || m_lastStored.right <= nLast)
                    break;
                nLast = m_lastStored.right;
            }
        }
    }
    if (!(wMode & GX_MERGE_NOVERT)) {
        const ROWCOL nRows = pGrid->GetRowCount();
        if (nRow >= 1 && nRow <= nRows) {
            bChanged |= MergePairVertical(pGrid, nCol, before(nRow, TRUE), nRow, pOut, bStored);
            for (ROWCOL nFirst = m_lastStored.top; bStored && nFirst > 0;) {
                MergePairVertical(pGrid, nCol, before(nFirst, TRUE), nFirst, pOut, bStored);
                if (!bStored || m_lastStored.top >= nFirst)
                    break;
                nFirst = m_lastStored.top;
            }
        }
        if (nRow < nRows)
            bChanged |= MergePairVertical(pGrid, nCol, nRow, after(nRow, TRUE, nRows), pOut, bStored);
    }
    return bChanged;
}

BOOL CGXGridMergeCellsImp::MergePairHorizontal(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nA, ROWCOL nB, CGXRange* pOut, BOOL& bStored)
{
    return MergePair(pGrid, gxHorizontal, nRow, nA, nB, pOut, bStored);
}

BOOL CGXGridMergeCellsImp::MergePairVertical(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nA, ROWCOL nB, CGXRange* pOut, BOOL& bStored)
{
    return MergePair(pGrid, gxVertical, nCol, nA, nB, pOut, bStored);
}

const CGXStyle& CGXGridMergeCellsImp::CellStyle(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& scratch, CGXControl*& pControl)
{
    // A pass checks each cell against up to four neighbours: it keeps the cells it composed
    // until it ends. Nothing a style depends on changes within the pass.
    CachedCell* pCached = nullptr;
    if (m_bEvaluating) {
        auto [it, bNew] = m_passCells.try_emplace((static_cast<uint64_t>(nRow) << 32) | nCol);
        pCached = &it->second;
        if (!bNew) {
            pControl = pCached->pControl;
            return pCached->style;
        }
    }
    CGXStyle& style = pCached != nullptr ? pCached->style : scratch;
    pGrid->ComposeCellStyle(nRow, nCol, style, TRUE);
    pControl = pGrid->GetControlById(style.GetControl());
    if (pCached != nullptr)
        pCached->pControl = pControl;
    return style;
}

BOOL CGXGridMergeCellsImp::MergePair(CGXGridCore* pGrid, DWORD nDirection, ROWCOL nLine, ROWCOL nA, ROWCOL nB, CGXRange* pOut,
                                     BOOL& bStored)
{
    bStored = FALSE;
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || nA == nB)
        return FALSE;
    const BOOL bHorz = nDirection == gxHorizontal;
    // Cells and spans in (first, last) terms along the direction.
    const auto rowOf = [&](ROWCOL n) { return bHorz ? nLine : n; };
    const auto colOf = [&](ROWCOL n) { return bHorz ? n : nLine; };
    const auto spanOf = [&](ROWCOL n, ROWCOL& nFirst, ROWCOL& nLast) {
        CGXRange r;
        nFirst = nLast = n;
        if (GetMergeCellsRowCol(pGrid, rowOf(n), colOf(n), r, nDirection) == nullptr)
            return FALSE;
        nFirst = bHorz ? r.left : r.top;
        nLast = bHorz ? r.right : r.bottom;
        return nFirst != nLast ? TRUE : FALSE;
    };
    const auto store = [&](ROWCOL nFirst, ROWCOL nLast, BOOL bSet) {
        const BOOL b = bHorz ? SetMergeCellsRowCol(pGrid, nDirection, nLine, nFirst, nLine, nLast, bSet)
                             : SetMergeCellsRowCol(pGrid, nDirection, nFirst, nLine, nLast, nLine, bSet);
        if (b)
            CGXDrawSpannedCellsImp::WidenChanged(pOut, rowOf(nFirst), colOf(nFirst), rowOf(nLast), colOf(nLast));
        return b;
    };
    ROWCOL aFirst, aLast, bFirst, bLast;
    const BOOL bSpanA = spanOf(nA, aFirst, aLast);
    const BOOL bSpanB = spanOf(nB, bFirst, bLast);
    // B hidden merges with anything: nothing to decide here.
    if ((pParam->m_wMergeCellsMode & 1) && bHorz && (pGrid->IsRowHidden(nLine) || pGrid->IsColHidden(nB)))
        return FALSE;
    // Composed afresh rather than through the grid's drawing cache: the pass runs in the middle
    // of a paint whose cached styles may predate an edit, and must not free them either.
    // A continuation can walk far down a long run: the cache stays small.
    if (m_passCells.size() > 8192)
        m_passCells.clear();
    CGXStyle scratchA, scratchB;
    CGXControl* pControlA = nullptr;
    CGXControl* pControlB = nullptr;
    const CGXStyle& styleA = CellStyle(pGrid, rowOf(nA), colOf(nA), scratchA, pControlA);
    const CGXStyle& styleB = CellStyle(pGrid, rowOf(nB), colOf(nB), scratchB, pControlB);
    const BOOL bMerge = CanMergeCell(pGrid, pControlA, rowOf(nA), colOf(nA), styleA, nDirection) &&
                        CanMergeCell(pGrid, pControlB, rowOf(nB), colOf(nB), styleB, nDirection) && CanMergeCells(pGrid, styleA, styleB);
    BOOL bChanged = FALSE;
    if (bMerge) {
        if (bSpanA && bSpanB && aLast == bLast)
            return FALSE;
        if (bSpanB)
            bChanged |= store(bFirst, bLast, FALSE);
        bStored = store(aFirst, std::max(bLast, nB), TRUE);
        return bChanged || bStored;
    }
    if (bSpanA && aLast >= nB) {
        bChanged |= store(aFirst, aLast, FALSE);
        if (aFirst < nA)
            bChanged |= store(aFirst, nA, TRUE);
    }
    if (bSpanB && bFirst <= nA) {
        if (!(bSpanA && aFirst == bFirst))
            bChanged |= store(bFirst, bLast, FALSE);
        if (bLast > nB)
            bChanged |= store(nB, bLast, TRUE);
    }
    return bChanged;
}
