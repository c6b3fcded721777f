#include "grid/core/CGXDrawSpannedCellsImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawState.h"
#include "platform/afx/gdi/CDC.h"

#include <algorithm>

void CGXDrawSpannedCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pDrawSpannedCellsImp != nullptr)
        return;
    auto* pImp = new CGXDrawSpannedCellsImp;
    pGrid->m_pDrawSpannedCellsImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXDrawSpannedCellsImp::EvalSpans(CGXGridCore* pGrid, ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol,
                                       ROWCOL nLastRow, ROWCOL nLastCol, BOOL bFloat, BOOL bMerge, UINT nFlags)
{
    // Covered ranges are stored as they are; merged and floating spans are worked out for the
    // parts of the grid in view (the frozen rows and columns and the scrolled block) before
    // they are looked up, merged ones first since a merged cell never floats.
    bMerge = bMerge && pGrid->m_pMergeCellsImp != nullptr;
    bFloat = bFloat && pGrid->m_pFloatCellsImp != nullptr;
    if (!bMerge && !bFloat)
        return FALSE;
    // The spans this paint changed: the cells they reach outside the area being painted are
    // invalidated once, after the pass. The range belongs to this paint alone.
    CGXRange changed;
    BOOL bChanged = FALSE;
    const ROWCOL rowParts[2][2] = {{0, std::min(nFrozenRows, nLastRow)}, {std::max(nTopRow, nFrozenRows + 1), nLastRow}};
    const ROWCOL colParts[2][2] = {{0, std::min(nFrozenCols, nLastCol)}, {std::max(nLeftCol, nFrozenCols + 1), nLastCol}};
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& rows : rowParts)
            for (const auto& cols : colParts) {
                if (rows[0] > rows[1] || cols[0] > cols[1])
                    continue;
                const CGXRange part(rows[0], cols[0], rows[1], cols[1]);
                if (pass == 0 && bMerge)
                    bChanged |= pGrid->m_pMergeCellsImp->EvalMergeCells(pGrid, part, &changed, nFlags);
                if (pass == 1 && bFloat)
                    bChanged |= pGrid->m_pFloatCellsImp->EvalFloatCells(pGrid, part, &changed, nFlags);
            }
    if (bChanged && changed.IsValid())
        pGrid->RedrawRange(changed, GX_INVALIDATE, FALSE);
    return bChanged;
}

BOOL CGXDrawSpannedCellsImp::PrepareCell(CGXGridCore* pGrid, GXDrawState& st, ROWCOL i, ROWCOL j)
{
    const ROWCOL nRow = st.rows[i], nCol = st.cols[j];
    CGXRange span;
    BOOL bCovered = pGrid->FindCoveredSpan(nRow, nCol, span) != nullptr;
    if (!bCovered && pGrid->FindCellSpan(nRow, nCol, span) == nullptr)
        return FALSE;
    if (span.top == span.bottom && span.left == span.right)
        return FALSE; // a span of one cell is an ordinary cell
    const CGXStyle* pStyle = st.styles[st.Index(i, j)];
    if (pStyle == nullptr || (span.top != nRow || span.left != nCol))
        pStyle = pGrid->LookupStyleRowCol(span.top, span.left);
    // The span's cells within the block drawn.
    ROWCOL i2 = i;
    while (i2 + 1 < st.nRows && st.rows[i2 + 1] >= span.top && st.rows[i2 + 1] <= span.bottom)
        ++i2;
    ROWCOL j2 = j;
    while (j2 + 1 < st.nCols && st.cols[j2 + 1] >= span.left && st.cols[j2 + 1] <= span.right)
        ++j2;
    const WORD kind = static_cast<WORD>(GX_DS_SKIP | (bCovered ? GX_DS_COVERED : 0));
    for (ROWCOL r = i; r <= i2; ++r)
        for (ROWCOL c = j; c <= j2; ++c) {
            WORD& f = st.flags[st.Index(r, c)];
            f = static_cast<WORD>(f | kind | ((r == i && c == j) ? 0 : GX_DS_INSPAN));
            st.styles[st.Index(r, c)] = pStyle;
        }
    // Lines and borders only at the span's outer edges.
    const BOOL bLeftTop = pGrid->IsGridLineSideLeftTop();
    const BOOL bBorders = pStyle != nullptr && pStyle->GetInclude(GX_INCL_BORDERS);
    const ROWCOL nEdgeCol = bLeftTop ? span.left : span.right;
    const ROWCOL nEdgeRow = bLeftTop ? span.top : span.bottom;
    const int nVertSide = bLeftTop ? 0 : 1;
    const int nHorzSide = bLeftTop ? 2 : 3;
    for (ROWCOL r = i; r <= i2; ++r)
        for (ROWCOL c = j; c <= j2; ++c) {
            WORD& f = st.flags[st.Index(r, c)];
            if (st.cols[c] == nEdgeCol)
                f |= (bBorders && pStyle->HasBorder(nVertSide)) ? (bLeftTop ? GX_DS_BORDER_LEFT : GX_DS_BORDER_RIGHT) : GX_DS_VERTLINE;
            if (st.rows[r] == nEdgeRow)
                f |= (bBorders && pStyle->HasBorder(nHorzSide)) ? (bLeftTop ? GX_DS_BORDER_TOP : GX_DS_BORDER_BOTTOM) : GX_DS_HORZLINE;
            if (span.right > st.nHeaderCols && span.right == st.nFrozenCols && st.cols[c] == span.right && !(bBorders && pStyle->HasBorder(1)))
                f |= GX_DS_FROZENCOL;
            if (span.bottom > st.nHeaderRows && span.bottom == st.nFrozenRows && st.rows[r] == span.bottom && !(bBorders && pStyle->HasBorder(3)))
                f |= GX_DS_FROZENROW;
        }
    st.bSpans = TRUE;
    if (st.bColor)
        st.flags[st.Index(i, j)] |= GX_DS_ERASEBK;
    return TRUE;
}

BOOL CGXDrawSpannedCellsImp::DrawCell(CGXGridCore* pGrid, GXDrawState& st, ROWCOL i, ROWCOL j)
{
    const WORD f = st.flags[st.Index(i, j)];
    const CGXStyle* pStyle = st.styles[st.Index(i, j)];
    if (pStyle == nullptr || !(f & GX_DS_SKIP) || (st.rows[i] > pGrid->GetRowCount() || st.cols[j] > pGrid->GetColCount()))
        return FALSE;
    if (f & GX_DS_INSPAN)
        return TRUE; // drawn with the span's first cell
    const ROWCOL nRow = st.rows[i], nCol = st.cols[j];
    CGXRange span;
    if (pGrid->FindCoveredSpan(nRow, nCol, span) == nullptr && pGrid->FindCellSpan(nRow, nCol, span) == nullptr)
        return FALSE;
    // A span across the frozen rows or columns is drawn in up to four parts, each clipped to
    // where it shows.
    const ROWCOL R = st.nFrozenRows, C = st.nFrozenCols, t = st.nTopRow, l = st.nLeftCol;
    // Plain bounds: a part whose first row lies after its last is empty, not turned round.
    struct Part {
        ROWCOL top, left, bottom, right;
    };
    const Part parts[4] = {
        {span.top, span.left, std::min(span.bottom, R), std::min(span.right, C)},
        {std::max(span.top, t), span.left, span.bottom, std::min(span.right, C)},
        {span.top, std::max(span.left, l), std::min(span.bottom, R), span.right},
        {std::max(span.top, t), std::max(span.left, l), span.bottom, span.right},
    };
    CDC* pDC = st.pDC;
    const BOOL bFitRows = pGrid->m_bFitRows, bFitCols = pGrid->m_bFitCols;
    pGrid->SetFitToWindow(FALSE, FALSE);
    for (const Part& part : parts) {
        if (part.top > part.bottom || part.left > part.right)
            continue;
        CRect partRect = pGrid->CalcClientRectOfRange(part.top, part.left, part.bottom, part.right, TRUE);
        if (partRect.IsRectEmpty())
            continue;
        CRect spanRect = partRect;
        if (part.top > span.top)
            spanRect.top -= pGrid->SumRowHeights(span.top, part.top - 1, 0);
        if (part.bottom < span.bottom)
            spanRect.bottom += pGrid->SumRowHeights(part.bottom + 1, span.bottom, 0);
        if (part.left > span.left)
            spanRect.left -= pGrid->SumColWidths(span.left, part.left - 1, 0);
        if (part.right < span.right)
            spanRect.right += pGrid->SumColWidths(part.right + 1, span.right, 0);
        CRect clip;
        if (!clip.IntersectRect(partRect, st.rectClip))
            continue;
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(&clip);
        pGrid->m_bEraseBackground = (f & GX_DS_ERASEBK) != 0;
        pGrid->DrawCellWithControl(pDC, span.top, span.left, spanRect, *pStyle);
        pGrid->m_bEraseBackground = FALSE;
        pGrid->DrawCellBorders(pDC, spanRect, *pStyle);
        pDC->RestoreDC(nSaved);
    }
    pGrid->SetFitToWindow(bFitRows, bFitCols);
    return TRUE;
}
