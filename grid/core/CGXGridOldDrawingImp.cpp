#include "grid/core/CGXGridOldDrawingImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawState.h"
#include "grid/core/GXDrawingHelpers.h"
#include "platform/afx/gdi/CDC.h"

#include <algorithm>

void CGXGridOldDrawingImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pOldDrawingImp != nullptr)
        return;
    auto* pImp = new CGXGridOldDrawingImp;
    pGrid->m_pOldDrawingImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridOldDrawingImp::Draw(CGXGridCore* pGrid, CDC* pDC, GXDrawState& st)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || (!pGrid->m_bOldDrawing && !pParam->m_bTransparentBackground))
        return FALSE;
    pGrid->m_bOldDrawing = TRUE;
    DrawBackground(pGrid, st);
    for (ROWCOL i = 0; i < st.nRows; ++i) {
        if (st.heights[i] <= 0)
            continue;
        // Each row is drawn clipped to its band, so that text cannot spill into the next row.
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(st.rectClip.left, st.y[i], st.rectClip.right, st.y[i] + st.heights[i]);
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            st.rectCell.SetRect(st.x[j], st.y[i], st.x[j] + st.widths[j], st.y[i] + st.heights[i]);
            pGrid->DrawStateCell(st, i, j);
        }
        pDC->RestoreDC(nSaved);
    }
    for (ROWCOL j = 0; j < st.nCols; ++j)
        if (st.widths[j] > 0)
            pGrid->DrawColumnLines(st, j);
    for (ROWCOL i = 0; i < st.nRows; ++i)
        if (st.heights[i] > 0)
            pGrid->DrawRowLines(st, i);
    ROWCOL nCurRow = 0, nCurCol = 0;
    if (st.pCurrentControl != nullptr && !st.rectControl.IsRectEmpty() && pGrid->GetCurrentCell(nCurRow, nCurCol))
        st.pCurrentControl->Draw(pDC, st.rectControl, nCurRow, nCurCol, *pGrid->LookupStyleRowCol(nCurRow, nCurCol), pGrid->GetStandardStyle());
    pGrid->DrawSelectionMarks(st);
    return TRUE;
}

void CGXGridOldDrawingImp::DrawBackground(CGXGridCore* pGrid, GXDrawState& st)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam->m_bTransparentBackground)
        return; // cells and lines go over whatever the window shows
    const CGXStyle* pStandard = pGrid->GetStandardStyle();
    CGXBrush brush = pStandard != nullptr ? pStandard->GetInterior() : CGXBrush();
    if (!st.bColor)
        brush = CGXBrush(GX_BS_SOLID, 0xFFFFFF, 0);
    const CGXProperties* pProps = pParam->GetProperties();
    const COLORREF rgbBack = pProps != nullptr ? pProps->GetColor(4) : 0xFFFFFF;
    CDC* pDC = st.pDC;
    if (!pGrid->IsPrinting() && st.cols[st.nCols - 1] == pGrid->GetColCount()) {
        CRect area = pGrid->CalcAreaRightOfCol(pGrid->GetColCount());
        FillRectSolid(pDC, CRect(area.left + 1, area.top, area.right, area.bottom + 5), rgbBack);
        pGrid->DrawMarkerLine(pDC, 1, pGrid->ColToClientCol(pGrid->GetColCount()) + 1, 0);
    }
    if (!pGrid->IsPrinting() && st.rows[st.nRows - 1] == pGrid->GetRowCount()) {
        CRect area = pGrid->CalcAreaBelowRow(pGrid->GetRowCount());
        FillRectSolid(pDC, CRect(area.left, area.top + 1, area.right, area.bottom), rgbBack);
        pGrid->DrawMarkerLine(pDC, 2, pGrid->RowToClientRow(pGrid->GetRowCount()) + 1, 0);
    }
    pGrid->FillRectWithBrush(pDC, st.rectClip, brush);
    // Blocks of cells with one interior are filled at once; single cells paint their own.
    for (ROWCOL i = 0; i < st.nRows; ++i) {
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            const WORD f = st.flags[st.Index(i, j)];
            const CGXStyle* pStyle = st.styles[st.Index(i, j)];
            if (!(f & GX_DS_ERASEBK) || (f & GX_DS_SKIP) || pStyle == nullptr)
                continue;
            const auto same = [&](ROWCOL r, ROWCOL c) {
                const WORD g = st.flags[st.Index(r, c)];
                const CGXStyle* p = st.styles[st.Index(r, c)];
                return (g & GX_DS_ERASEBK) && !(g & GX_DS_SKIP) && (p == nullptr || p->GetInterior() == pStyle->GetInterior());
            };
            ROWCOL jEnd = j + 1;
            while (jEnd < st.nCols && same(i, jEnd))
                ++jEnd;
            ROWCOL iEnd = i + 1;
            while (iEnd < st.nRows) {
                BOOL bAll = TRUE;
                for (ROWCOL c = j; c < jEnd && bAll; ++c)
                    bAll = same(iEnd, c);
                if (!bAll)
                    break;
                ++iEnd;
            }
            if ((jEnd - j) * (iEnd - i) <= 1)
                continue;
            int width = 0, height = 0;
            for (ROWCOL c = j; c < jEnd; ++c)
                width += st.widths[c];
            for (ROWCOL r = i; r < iEnd; ++r)
                height += st.heights[r];
            for (ROWCOL r = i; r < iEnd; ++r)
                for (ROWCOL c = j; c < jEnd; ++c)
                    st.flags[st.Index(r, c)] &= ~GX_DS_ERASEBK;
            CGXBrush fill = pStyle->GetInterior();
            if (!st.bColor)
                fill = CGXBrush(GX_BS_SOLID, 0xFFFFFF, 0);
            pGrid->FillRectWithBrush(pDC, CRect(st.x[j], st.y[i], st.x[j] + width, st.y[i] + height), fill);
        }
    }
}
