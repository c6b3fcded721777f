#include "grid/features/CGXGridFloatCellsImp.h"

#include "grid/core/CGXCalcSizeImp.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXDrawSpannedCellsImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXSpanCellPool.h"
#include "grid/data/CGXStyle.h"

#include <algorithm>

void CGXGridFloatCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pFloatCellsImp != nullptr)
        return;
    auto* pFeature = new CGXGridFloatCellsImp;
    pGrid->m_pFloatCellsImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
    CGXDrawSpannedCellsImp::Install(pGrid);
    // Sizing a column to its contents must see the text a cell floats over its neighbours.
    CGXCalcSizeImp::Install(pGrid);
}

CGXSpanCellPool* CGXGridFloatCellsImp::SpanPool(CGXGridParam* pParam)
{
    return dynamic_cast<CGXSpanCellPool*>(pParam->GetPool(CGXGridParam::gxFloatSpanPool));
}

CGXDelayedRangePool* CGXGridFloatCellsImp::DelayedPool(CGXGridParam* pParam)
{
    return dynamic_cast<CGXDelayedRangePool*>(pParam->GetPool(CGXGridParam::gxFloatDelayedPool));
}

void CGXGridFloatCellsImp::SetFloatCellsMode(CGXGridCore* pGrid, WORD wMode, BOOL bRedraw)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wFloatCellsMode == wMode)
        return;
    pParam->m_wFloatCellsMode = wMode;
    pParam->SetPool(CGXGridParam::gxFloatSpanPool, nullptr);
    pParam->SetPool(CGXGridParam::gxFloatDelayedPool, nullptr);
    if (wMode == 1 || wMode == 2)
        pParam->SetPool(CGXGridParam::gxFloatSpanPool, new CGXSpanCellPool);
    if (wMode == 1) {
        pParam->SetPool(CGXGridParam::gxFloatDelayedPool, new CGXDelayedRangePool);
        DelayFloatCells(pGrid, CGXRange(0, 0, pGrid->GetRowCount(), pGrid->GetColCount()), GX_INVALID);
    }
    if (bRedraw)
        pGrid->Redraw();
}

void CGXGridFloatCellsImp::DelayFloatCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nColLimit)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXDelayedRangePool* pPool = pParam != nullptr ? DelayedPool(pParam) : nullptr;
    if (pPool == nullptr || pParam->m_wFloatCellsMode != 1)
        return;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange r(range);
    r.ExpandToCells(0, 0, nRows, nCols);
    r.top = std::max(r.top, pGrid->GetHeaderRows() + 1);
    r.left = std::max(r.left, pGrid->GetHeaderCols() + 1);
    r.bottom = std::min(r.bottom, nRows);
    r.right = std::min(r.right, nCols);
    if (r.top > r.bottom || r.left > r.right)
        return;
    pPool->AddRange(r);
    if (nColLimit != GX_INVALID)
        pPool->ClipCols(nColLimit);
}

BOOL CGXGridFloatCellsImp::EvalFloatCells(CGXGridCore* pGrid, const CGXRange& range, CGXRange* pOut, UINT)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || m_bEvaluating || (pParam->m_wFloatCellsMode != 1 && pParam->m_wFloatCellsMode != 2))
        return FALSE;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange r(range);
    r.ExpandToCells(0, 0, nRows, nCols);
    r.top = std::max(r.top, pGrid->GetHeaderRows() + 1);
    r.left = std::max(r.left, pGrid->GetHeaderCols() + 1);
    r.bottom = std::min(r.bottom, nRows);
    r.right = std::min(r.right, nCols);
    if (r.top > r.bottom || r.left > r.right)
        return FALSE;
    // A store inside the pass must not start another pass, and redraws wait for its end.
    // The texts are measured on the grid's DC, which goes again once the pass is over.
    struct Guard {
        CGXGridFloatCellsImp* p;
        CGXGridCore* grid;
        CGXGridParam* param;
        BOOL bOldLock;
        ~Guard()
        {
            p->m_bEvaluating = FALSE;
            p->m_rowCells.clear();
            p->m_nCacheRow = GX_INVALID;
            param->m_bLockUpdate = bOldLock;
            grid->ReleaseGridDC();
        }
    } guard{this, pGrid, pParam, pParam->m_bLockUpdate};
    m_bEvaluating = TRUE;
    pParam->m_bLockUpdate = TRUE;
    BOOL bChanged = FALSE;
    const auto evalRow = [&](ROWCOL nRow, ROWCOL nFirst, ROWCOL nLast) {
        if (pGrid->IsRowHidden(nRow))
            return;
        m_rowStarts.clear();
        m_rowCells.clear();
        m_nCacheRow = nRow;
        for (ROWCOL nCol = nFirst;; ++nCol) {
            if (!pGrid->IsColHidden(nCol))
                bChanged |= EvalFloatCell(pGrid, nRow, nCol, pOut);
            if (nCol == nLast)
                break;
        }
    };
    const BOOL bAll = pParam->m_wFloatCellsMode == 2;
    if (!CGXDrawSpannedCellsImp::ForRowsToEvaluate(bAll ? nullptr : DelayedPool(pParam), r, bAll, r.left, nCols, evalRow))
        return FALSE;
    return bChanged;
}

void CGXGridFloatCellsImp::DelayAndExpandFloatCells(CGXGridCore* pGrid, CGXRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wFloatCellsMode == 0)
        return;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange cells(range);
    cells.ExpandToCells(0, 0, nRows, nCols);
    cells.bottom = std::min(cells.bottom, nRows);
    cells.right = std::min(cells.right, nCols);
    if (cells.top > cells.bottom || cells.left > cells.right)
        return;
    // A span reaching into the range from the left starts outside it: its source is worked
    // out again too, and the redraw takes in all of it.
    CGXRange out(range.IsCells() ? range : cells);
    for (ROWCOL nRow = cells.top;; ++nRow) {
        CGXRange span;
        if (GetFloatCellsRowCol(pGrid, nRow, cells.left, span) != nullptr)
            CGXDrawSpannedCellsImp::WidenChanged(&out, nRow, span.left, nRow, span.right);
        if (GetFloatCellsRowCol(pGrid, nRow, cells.right, span) != nullptr)
            CGXDrawSpannedCellsImp::WidenChanged(&out, nRow, span.left, nRow, span.right);
        if (nRow == cells.bottom)
            break;
    }
    DelayFloatCells(pGrid, out, GX_INVALID);
    if (range.IsCells())
        range = out;
}

void CGXGridFloatCellsImp::OnStructureChanged(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wFloatCellsMode == 0)
        return;
    if (CGXSpanCellPool* pPool = SpanPool(pParam))
        pPool->RemoveAll();
    if (CGXDelayedRangePool* pDelayed = DelayedPool(pParam)) {
        pDelayed->RemoveAll();
        DelayFloatCells(pGrid, CGXRange(0, 0, pGrid->GetRowCount(), pGrid->GetColCount()), GX_INVALID);
    }
}

CGXRange* CGXGridFloatCellsImp::GetFloatCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXSpanCellPool* pPool = pParam != nullptr && pParam->m_wFloatCellsMode != 0 ? SpanPool(pParam) : nullptr;
    if (pPool == nullptr)
        return nullptr;
    CGXRange span(nRow, nCol, nRow, nCol);
    if (!pPool->FindSpan(nRow, nCol, span) || span.right <= span.left)
        return nullptr;
    range.SetCells(nRow, span.left, nRow, span.right);
    return &range;
}

CGXRange* CGXGridFloatCellsImp::FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    return GetFloatCellsRowCol(pGrid, nRow, nCol, range);
}

BOOL CGXGridFloatCellsImp::CanFloatCellDefault(CGXGridCore*, CGXControl*, ROWCOL, ROWCOL, const CGXStyle& style, BOOL bSource)
{
    if (!bSource)
        return style.GetValue().IsEmpty();
    if (style.GetInclude(GX_INCL_FONT) && style.GetFont().GetOrientation() != 0)
        return FALSE; // rotated text stays in its cell
    return !style.GetValue().IsEmpty();
}

BOOL CGXGridFloatCellsImp::CanFloatCell(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                        BOOL bSource)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wFloatCellsMode == 0 || pControl == nullptr)
        return FALSE;
    CGXRange span;
    if (pGrid->FindCoveredSpan(nRow, nCol, span) != nullptr)
        return FALSE;
    if (pGrid->m_pMergeCellsImp != nullptr && pGrid->MergeCellsEnabled() && pGrid->m_pMergeCellsImp->FindSpan(pGrid, nRow, nCol, span) != nullptr)
        return FALSE;
    if (bSource) {
        if (!style.GetInclude(GX_INCL_FLOATCELL) || !style.GetFloatCell())
            return FALSE;
    } else {
        // Text never floats out of the frozen columns into the scrolled ones.
        if (nCol == pGrid->GetFrozenCols() + 1)
            return FALSE;
        if (!style.GetInclude(GX_INCL_FLOODCELL) || !style.GetFloodCell())
            return FALSE;
    }
    return pControl->CanFloatCell(nRow, nCol, style, bSource);
}

const CGXStyle* CGXGridFloatCellsImp::ComposeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& scratch, CGXControl*& pControl)
{
    // A pass looks at most cells of a row several times, as source, as target and as a
    // neighbour: it keeps each cell's style until the row is done. A cache keyed by column has
    // no lower bound to fall under, however far left a span reaches.
    CachedCell* pCached = nullptr;
    if (m_bEvaluating) {
        if (nRow != m_nCacheRow) {
            m_rowCells.clear();
            m_nCacheRow = nRow;
        }
        auto [it, bNew] = m_rowCells.try_emplace(nCol);
        pCached = &it->second;
        if (!bNew) {
            pControl = pCached->pControl;
            return &pCached->style;
        }
    }
    CGXStyle& style = pCached != nullptr ? pCached->style : scratch;
    // Composed afresh rather than through the drawing cache, which may predate an edit.
    pGrid->ComposeCellStyle(nRow, nCol, style, TRUE);
    pControl = nullptr;
    ROWCOL nCurRow = 0, nCurCol = 0;
    if (pGrid->GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol) {
        CGXControl* pCurrent = pGrid->GetControl(nRow, nCol);
        if (pCurrent != nullptr && pCurrent->IsInit() && pCurrent->GetRow() == nRow && pCurrent->GetCol() == nCol) {
            pCurrent->LoadStyle();
            CString sText;
            if (pCurrent->IsActive() && pCurrent->GetCurrentText(sText))
                style.SetValue(sText);
            pControl = pCurrent;
        }
    }
    if (pControl == nullptr)
        pControl = pGrid->GetControlById(style.GetControl());
    if (pCached != nullptr)
        pCached->pControl = pControl;
    return &style;
}

BOOL CGXGridFloatCellsImp::EvalFloatCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pParam->m_wFloatCellsMode == 0 || nCol <= pGrid->GetHeaderCols() || nRow <= pGrid->GetHeaderRows())
        return FALSE;
    CGXStyle scratch;
    CGXControl* pControl = nullptr;
    const CGXStyle& style = *ComposeCell(pGrid, nRow, nCol, scratch, pControl);
    const BOOL bFloats = CanFloatCell(pGrid, pControl, nRow, nCol, style, TRUE);
    // The neighbour whose text may run over this cell: the column before, or the start of the
    // floating span that holds it.
    ROWCOL nNeighbour = GX_INVALID;
    if (nCol - 1 > pGrid->GetHeaderCols()) {
        nNeighbour = nCol - 1;
        CGXRange span;
        if (GetFloatCellsRowCol(pGrid, nRow, nCol - 1, span) != nullptr)
            nNeighbour = span.left;
    }
    BOOL bChanged = FALSE;
    if (bFloats) {
        if (nNeighbour != GX_INVALID)
            bChanged |= EvalFloatSpan(pGrid, nRow, nNeighbour, pOut);
        bChanged |= EvalFloatSpan(pGrid, nRow, nCol, pOut);
    } else {
        bChanged |= EvalFloatSpan(pGrid, nRow, nCol, pOut);
        if (nNeighbour != GX_INVALID)
            bChanged |= EvalFloatSpan(pGrid, nRow, nNeighbour, pOut);
    }
    return bChanged;
}

BOOL CGXGridFloatCellsImp::EvalFloatSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXSpanCellPool* pPool = pParam != nullptr ? SpanPool(pParam) : nullptr;
    if (pPool == nullptr)
        return FALSE;
    CGXRange old;
    ROWCOL nStart = nCol, nOldEnd = nCol;
    if (GetFloatCellsRowCol(pGrid, nRow, nCol, old) != nullptr) {
        nStart = old.left;
        nOldEnd = old.right;
    }
    // Each cell of a pass looks at its own span and its left neighbour's, so most spans come up
    // twice in a row; nothing they depend on changes within the pass.
    if (m_bEvaluating) {
        if (std::find(m_rowStarts.begin(), m_rowStarts.end(), nStart) != m_rowStarts.end())
            return FALSE;
        m_rowStarts.push_back(nStart);
    }
    ROWCOL nEnd = nStart;
    CGXStyle scratch;
    CGXControl* pControl = nullptr;
    const CGXStyle& style = *ComposeCell(pGrid, nRow, nStart, scratch, pControl);
    const ROWCOL nCols = pGrid->GetColCount();
    // A text followed by a cell it may not float over stays in its cell whatever its width:
    // it need not be measured.
    const auto canFloatInto = [&](ROWCOL nNext) {
        CGXStyle nextScratch;
        CGXControl* pNext = nullptr;
        const CGXStyle& next = *ComposeCell(pGrid, nRow, nNext, nextScratch, pNext);
        return CanFloatCell(pGrid, pNext, nRow, nNext, next, FALSE);
    };
    if (nStart < nCols && CanFloatCell(pGrid, pControl, nRow, nStart, style, TRUE) && canFloatInto(nStart + 1)) {
        CDC* pDC = pGrid->GetGridDC();
        long nWidth = pControl->CalcTextExtent(pDC, nRow, nStart, style, pGrid->GetStandardStyle(), FALSE).cx;
        while (nWidth > pGrid->GetColWidth(nEnd) && nEnd < nCols) {
            if (!canFloatInto(nEnd + 1))
                break;
            nWidth -= pGrid->GetColWidth(nEnd);
            ++nEnd;
        }
    }
    return nEnd != nOldEnd && SetFloatCellsRowCol(pGrid, nRow, nStart, nRow, nEnd, pOut);
}

BOOL CGXGridFloatCellsImp::SetFloatCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, CGXRange* pOut)
{
    CGXGridParam* pParam = pGrid->GetParam();
    CGXSpanCellPool* pPool = pParam != nullptr ? SpanPool(pParam) : nullptr;
    if (pPool == nullptr)
        return FALSE;
    CGXRange old(nTop, nLeft, nTop, nLeft);
    GetFloatCellsRowCol(pGrid, nTop, nLeft, old);
    ROWCOL nOldBottom = std::max(nTop, old.bottom), nOldRight = std::max(nLeft, old.right);
    // The old span goes first: a shorter one would leave its tail stored. A span of one cell
    // is no span.
    BOOL bChanged = pPool->SetSpan(nTop, nLeft, nOldBottom, nOldRight, FALSE);
    // A cell floated over holds no text, so a span still starting there is out of date (a
    // pass meets the cell on the left first). Stored over, its tail would stay behind and later
    // be taken for a span of its own.
    for (ROWCOL nCol = nLeft + 1; nCol <= nRight && nCol > nLeft; ++nCol) {
        CGXRange stale;
        if (GetFloatCellsRowCol(pGrid, nTop, nCol, stale) == nullptr)
            continue;
        bChanged |= pPool->SetSpan(nTop, stale.left, nTop, stale.right, FALSE);
        nOldRight = std::max(nOldRight, stale.right);
        nCol = std::max(nCol, stale.right);
    }
    if (nBottom > nTop || nRight > nLeft)
        bChanged |= pPool->SetSpan(nTop, nLeft, nBottom, nRight, TRUE);
    if (!bChanged)
        return FALSE;
    const CGXRange redraw(nTop, nLeft, std::max(nBottom, nOldBottom), std::max(nRight, nOldRight));
    CGXDrawSpannedCellsImp::WidenChanged(pOut, redraw.top, redraw.left, redraw.bottom, redraw.right);
    if (!pParam->m_bLockUpdate && !pParam->m_bNoRedraw)
        pGrid->RedrawRange(redraw, GX_INVALIDATE, FALSE);
    return TRUE;
}
