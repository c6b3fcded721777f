// Lines and fills of the grid: grid lines and borders merged into runs of equal pens, single
// grid, tracking and dragging lines, border sides, brush fills, the inverted selection and the
// current cell's frame, and the border arithmetic of cell rectangles.
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawState.h"
#include "grid/core/GXDrawingHelpers.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

#include <algorithm>

namespace {
BOOL IsBlackWhite(const CGXGridParam* pParam)
{
    const CGXProperties* pProps = pParam != nullptr ? pParam->GetProperties() : nullptr;
    return pProps != nullptr && pProps->m_bPrintMode && pProps->m_bBlackWhite;
}

COLORREF PropertyColor(const CGXGridParam* pParam, int nIndex)
{
    const CGXProperties* pProps = pParam != nullptr ? pParam->GetProperties() : nullptr;
    const COLORREF rgb = pProps != nullptr ? pProps->GetColor(nIndex) : 0xC0C0C0;
    return GXGetSysData()->Resolve(rgb);
}

BOOL LinesShown(const CGXGridParam* pParam, BOOL bVertical)
{
    const CGXProperties* pProps = pParam != nullptr ? pParam->GetProperties() : nullptr;
    if (pProps == nullptr)
        return TRUE;
    if (pProps->m_bPrintMode)
        return bVertical ? pProps->m_bPrintVertLines : pProps->m_bPrintHorzLines;
    return bVertical ? pProps->m_bDisplayVertLines : pProps->m_bDisplayHorzLines;
}

BOOL IsNullPen(const CGXPen& pen)
{
    return pen.GetStyle() == GX_PS_NULL;
}
// The interior a cell's lines are drawn over (the window's white when it has none).
CGXBrush InteriorOf(const CGXStyle* pStyle)
{
    if (pStyle != nullptr && pStyle->GetInclude(GX_INCL_INTERIOR))
        return pStyle->GetInterior();
    return CGXBrush(GX_BS_SOLID, GXGetSysData()->GetColor(COLOR_WINDOW), 0);
}

BOOL IsDashed(const CGXPen& pen)
{
    return pen.GetWidth() <= 1 && pen.GetStyle() >= GX_PS_DASH && pen.GetStyle() <= GX_PS_DASHDOTDOT;
}
} // namespace

// ---- Line passes ----

void CGXGridCore::DrawRowLines(GXDrawState& st, ROWCOL i)
{
    const BOOL bShown = LinesShown(m_pParam, FALSE);
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    CGXPen gridPen(m_pParam->m_nGridLinePenStyle & 7, 1, PropertyColor(m_pParam, 0));
    const ROWCOL nRow = st.rows[i];
    const BOOL bLastFrozen = nRow > st.nHeaderRows && nRow == st.nFrozenRows;
    for (int nPass = 0; nPass < 2; ++nPass) {
        const WORD bit = nPass == 0 ? GX_DS_BORDER_TOP : GX_DS_BORDER_BOTTOM;
        const int nSide = nPass == 0 ? 2 : 3;
        const BOOL bGridSide = (nPass == 0) == bLeftTop;
        const auto lineOf = [&](ROWCOL j, CGXPen& pen, BOOL& bBorder) -> BOOL {
            const WORD f = st.flags[st.Index(i, j)];
            const CGXStyle* pStyle = st.styles[st.Index(i, j)];
            if (pStyle == nullptr || st.widths[j] <= 0)
                return FALSE;
            if (f & bit) {
                pen = pStyle->GetBorders(nSide);
                bBorder = TRUE;
                return TRUE;
            }
            if (bShown && ((bGridSide && (f & GX_DS_HORZLINE)) || (bLastFrozen && nPass == 1 && (f & GX_DS_FROZENROW)))) {
                pen = gridPen;
                bBorder = FALSE;
                return TRUE;
            }
            return FALSE;
        };
        ROWCOL j = 0;
        while (j < st.nCols) {
            CGXPen pen;
            BOOL bBorder = FALSE;
            if (!lineOf(j, pen, bBorder)) {
                ++j;
                continue;
            }
            int length = st.widths[j];
            const CGXBrush interior = InteriorOf(st.styles[st.Index(i, j)]);
            const BOOL bDashed = IsDashed(pen);
            ROWCOL k = j + 1;
            for (; k < st.nCols; ++k) {
                CGXPen next;
                BOOL bNextBorder = FALSE;
                if (!lineOf(k, next, bNextBorder) || !(next == pen) || bNextBorder != bBorder)
                    break;
                // A dashed line's strip shows the interior between its dashes.
                if (bDashed && !(InteriorOf(st.styles[st.Index(i, k)]) == interior))
                    break;
                length += st.widths[k];
            }
            const int yTop = st.y[i];
            const int yBottom = st.y[i] + st.heights[i];
            if (!bBorder && !bDashed) {
                const int y = bGridSide ? (bLeftTop ? yTop : yBottom - 1) : yBottom - 1;
                // A grid pen that is not the plain one (the frozen line) keeps its own colour.
                if (pen == gridPen || !bLastFrozen)
                    DrawGridLine(st.pDC, st.x[j], y, length, 1, 2, i, 0);
                else
                    FillRectSolid(st.pDC, st.x[j], y, length, 1, pen.GetColor());
            } else if (!bBorder) {
                const int y = bGridSide ? (bLeftTop ? yTop : yBottom - 1) : yBottom - 1;
                DrawBorderSide(pen, CRect(st.x[j], y, st.x[j] + length, y + 1), 2, st.pDC, &interior);
            } else {
                DrawBorderSide(pen, CRect(st.x[j], yTop, st.x[j] + length, yBottom), nSide, st.pDC, &interior);
            }
            j = k;
        }
        if (bLastFrozen)
            gridPen.SetColor(PropertyColor(m_pParam, 1));
    }
}

void CGXGridCore::DrawColumnLines(GXDrawState& st, ROWCOL j)
{
    const BOOL bShown = LinesShown(m_pParam, TRUE);
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    CGXPen gridPen(m_pParam->m_nGridLinePenStyle & 7, 1, PropertyColor(m_pParam, 0));
    const ROWCOL nCol = st.cols[j];
    const BOOL bLastFrozen = nCol > st.nHeaderCols && nCol == st.nFrozenCols;
    for (int nPass = 0; nPass < 2; ++nPass) {
        const WORD bit = nPass == 0 ? GX_DS_BORDER_LEFT : GX_DS_BORDER_RIGHT;
        const int nSide = nPass == 0 ? 0 : 1;
        const BOOL bGridSide = (nPass == 0) == bLeftTop;
        const auto lineOf = [&](ROWCOL i, CGXPen& pen, BOOL& bBorder) -> BOOL {
            const WORD f = st.flags[st.Index(i, j)];
            const CGXStyle* pStyle = st.styles[st.Index(i, j)];
            if (pStyle == nullptr || st.heights[i] <= 0)
                return FALSE;
            if (f & bit) {
                pen = pStyle->GetBorders(nSide);
                bBorder = TRUE;
                return TRUE;
            }
            if (bShown && ((bGridSide && (f & GX_DS_VERTLINE)) || (bLastFrozen && nPass == 1 && (f & GX_DS_FROZENCOL)))) {
                pen = gridPen;
                bBorder = FALSE;
                return TRUE;
            }
            return FALSE;
        };
        ROWCOL i = 0;
        while (i < st.nRows) {
            CGXPen pen;
            BOOL bBorder = FALSE;
            if (!lineOf(i, pen, bBorder)) {
                ++i;
                continue;
            }
            int length = st.heights[i];
            const CGXBrush interior = InteriorOf(st.styles[st.Index(i, j)]);
            const BOOL bDashed = IsDashed(pen);
            ROWCOL k = i + 1;
            for (; k < st.nRows; ++k) {
                CGXPen next;
                BOOL bNextBorder = FALSE;
                if (!lineOf(k, next, bNextBorder) || !(next == pen) || bNextBorder != bBorder)
                    break;
                if (bDashed && !(InteriorOf(st.styles[st.Index(k, j)]) == interior))
                    break;
                length += st.heights[k];
            }
            const int xLeft = st.x[j];
            const int xRight = st.x[j] + st.widths[j];
            if (!bBorder && !bDashed) {
                const int x = bGridSide ? (bLeftTop ? xLeft : xRight - 1) : xRight - 1;
                if (pen == gridPen || !bLastFrozen)
                    DrawGridLine(st.pDC, x, st.y[i], 1, length, 1, j, 0);
                else
                    FillRectSolid(st.pDC, x, st.y[i], 1, length, pen.GetColor());
            } else if (!bBorder) {
                const int x = bGridSide ? (bLeftTop ? xLeft : xRight - 1) : xRight - 1;
                DrawBorderSide(pen, CRect(x, st.y[i], x + 1, st.y[i] + length), 0, st.pDC, &interior);
            } else {
                DrawBorderSide(pen, CRect(xLeft, st.y[i], xRight, st.y[i] + length), nSide, st.pDC, &interior);
            }
            i = k;
        }
        if (bLastFrozen)
            gridPen.SetColor(PropertyColor(m_pParam, 1));
    }
}

// ---- Single lines, borders and fills ----

void CGXGridCore::DrawGridLine(CDC* pDC, int x, int y, int cx, int cy, int nDirection, ROWCOL, UINT nFlags)
{
    if (pDC == nullptr)
        return;
    const BOOL bBW = IsBlackWhite(m_pParam);
    const CRect rect(x, y, x + cx, y + cy);
    if (nFlags & 8) {
        pDC->InvertRect(&rect);
    } else if (nFlags & 2) {
        CPen pen(PS_DOT, 1, bBW ? 0 : PropertyColor(m_pParam, 3));
        CPen* pOld = pDC->SelectObject(&pen);
        const int nOldMode = pDC->SetBkMode(OPAQUE);
        FillRectSolid(pDC, rect, bBW ? 0 : PropertyColor(m_pParam, 0));
        pDC->MoveTo(x, y);
        if (nDirection == 1)
            pDC->LineTo(x, y + cy);
        else
            pDC->LineTo(x + cx, y);
        pDC->SetBkMode(nOldMode);
        pDC->SelectObject(pOld);
    } else if (nFlags & 1) {
        FillRectSolid(pDC, rect, bBW ? 0 : PropertyColor(m_pParam, 2));
    } else if (nFlags & 4) {
        pDC->InvertRect(&rect);
    } else {
        const COLORREF rgb = bBW ? 0 : PropertyColor(m_pParam, 0);
        if (pDC->IsPrinting())
            pDC->FillRect(&rect, LookupBrush(CGXBrush(GX_BS_SOLID, rgb, 0)));
        else
            FillRectSolid(pDC, rect, rgb);
    }
}

void CGXGridCore::DrawBorderSide(const CGXPen& penIn, const CRect& r, int nSide, CDC* pDC, const CGXBrush* pInterior)
{
    if (pDC == nullptr || IsNullPen(penIn) || penIn.GetStyle() == GX_PS_NONE)
        return;
    const BOOL bBW = IsBlackWhite(m_pParam);
    const int w = std::max<int>(1, static_cast<int>(penIn.GetWidth()));
    CRect strip;
    switch (nSide) {
    case 0: strip.SetRect(r.left, r.top, r.left + w, r.bottom); break;
    case 1: strip.SetRect(r.right - w, r.top, r.right, r.bottom); break;
    case 2: strip.SetRect(r.left, r.top, r.right, r.top + w); break;
    default: strip.SetRect(r.left, r.bottom - w, r.right, r.bottom); break;
    }
    // A dashed side over a cell's interior is a strip of the dash pattern: its dashes line up
    // from cell to cell and on paper as on the screen.
    CGXBrush lineBrush;
    if (pInterior != nullptr && penIn.MakeLineBrush(lineBrush, pInterior, nSide == 2 || nSide == 3, bBW)) {
        FillRectWithBrush(pDC, strip, lineBrush);
        return;
    }
    if (w != 1 || penIn.GetStyle() == GX_PS_SOLID || penIn.GetStyle() == GX_PS_INSIDEFRAME) {
        const COLORREF rgb = bBW ? 0 : GXGetSysData()->Resolve(penIn.GetColor());
        if (pDC->IsPrinting())
            pDC->FillRect(&strip, LookupBrush(CGXBrush(GX_BS_SOLID, rgb, 0)));
        else
            FillRectSolid(pDC, strip, rgb);
        return;
    }
    CGXPen pen = penIn;
    if (bBW)
        pen.SetColor(0);
    CPen* pOld = pDC->SelectObject(LookupPen(pen));
    switch (nSide) {
    case 0: pDC->MoveTo(r.left, r.top), pDC->LineTo(r.left, r.bottom - 1); break;
    case 1: pDC->MoveTo(r.right - 1, r.top), pDC->LineTo(r.right - 1, r.bottom - 1); break;
    case 2: pDC->MoveTo(r.left, r.top), pDC->LineTo(r.right - 1, r.top); break;
    default: pDC->MoveTo(r.left, r.bottom - 1), pDC->LineTo(r.right - 1, r.bottom - 1); break;
    }
    pDC->SelectObject(pOld);
}

void CGXGridCore::FillRectWithBrush(CDC* pDC, const CRect& rect, const CGXBrush& brush)
{
    if (pDC == nullptr || rect.IsRectEmpty())
        return;
    const CGXSysColorCache& colors = *GXGetSysData();
    if (brush.GetStyle() == GX_BS_NULL)
        return; // a hollow brush paints nothing
    if (brush.GetStyle() == GX_BS_SOLID) {
        FillRectSolid(pDC, rect, colors.Resolve(brush.GetForeColor()));
        return;
    }
    if (brush.GetStyle() == GX_BS_PATTERN && pDC->IsPrinting()) {
        // A printer is not given the pattern brush itself: the pattern is drawn at the screen's
        // size into a bitmap, which is then stretched onto the page.
        CDC mem;
        CBitmap bitmap;
        if (mem.CreateCompatibleDC(pDC) && bitmap.CreateCompatibleBitmap(pDC, rect.Width(), rect.Height())) {
            CBitmap* pOldBitmap = mem.SelectObject(&bitmap);
            mem.SetTextColor(colors.Resolve(brush.GetForeColor()));
            mem.SetBkColor(colors.Resolve(brush.GetBackColor()));
            mem.SetBkMode(OPAQUE);
            const CRect area(0, 0, rect.Width(), rect.Height());
            mem.FillRect(&area, LookupBrush(brush));
            pDC->StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, rect.Width(), rect.Height(), SRCCOPY);
            mem.SelectObject(pOldBitmap);
            return;
        }
    }
    const COLORREF oldBk = pDC->SetBkColor(colors.Resolve(brush.GetBackColor()));
    const COLORREF oldText = pDC->SetTextColor(colors.Resolve(brush.GetForeColor()));
    const int oldMode = pDC->SetBkMode(OPAQUE);
    pDC->FillRect(&rect, LookupBrush(brush));
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldText);
    pDC->SetBkColor(oldBk);
}

void CGXGridCore::DrawCellBorders(CDC* pDC, const CRect& rect, const CGXStyle& style)
{
    if (!style.GetInclude(GX_INCL_BORDERS))
        return;
    for (int nSide : {2, 3, 0, 1})
        if (style.HasBorder(nSide))
            DrawBorderSide(style.GetBorders(nSide), rect, nSide, pDC, nullptr);
}

void CGXGridCore::DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& r)
{
    if (pDC == nullptr)
        return;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol;
    if (!bCurrent || m_bInvertCurrentCell)
        pDC->InvertRect(&r);
    if (bCurrent)
        DrawCurrentCellFrame(pDC, nRow, nCol, r);
    m_bInvertCurrentCell = FALSE;
}

void CGXGridCore::DrawCurrentCellFrame(CDC* pDC, ROWCOL, ROWCOL, const CRect& r)
{
    if (pDC == nullptr || m_pParam == nullptr || !m_pParam->m_bCurrentCellFrame || m_pParam->m_bNoCurrentCellFrame)
        return;
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    if (IsGridLineSideLeftTop()) {
        for (const CRect& s : {CRect(L, T, R - 2, T + 3), CRect(L, T + 3, L + 3, B - 2), CRect(L, B - 2, R - 2, B), CRect(R - 2, T, R, B)})
            pDC->InvertRect(&s);
    } else {
        for (const CRect& s : {CRect(L, T, R, T + 2), CRect(L, T + 2, L + 2, B), CRect(R - 3, T + 2, R, B - 3), CRect(L + 2, B - 3, R, B)})
            pDC->InvertRect(&s);
    }
}

// ---- Border arithmetic ----

CRect CGXGridCore::SubtractBorders(const CRect& rect, const CGXStyle& style, BOOL bWithGrid)
{
    CRect inner = rect;
    if (bWithGrid && style.GetInclude(GX_INCL_DRAW3DFRAME) && style.GetDraw3dFrame() != 0)
        inner.DeflateRect(1, 1);
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    const BOOL bVert = LinesShown(m_pParam, TRUE);
    const BOOL bHorz = LinesShown(m_pParam, FALSE);
    const auto widthOf = [&](int nSide) -> int {
        if (style.GetInclude(GX_INCL_BORDERS) && style.HasBorder(nSide) && !IsNullPen(style.GetBorders(nSide)))
            return std::max<int>(1, static_cast<int>(style.GetBorders(nSide).GetWidth()));
        if (!bWithGrid)
            return 0;
        const BOOL bShown = nSide < 2 ? bVert : bHorz;
        const BOOL bGridSide = (nSide == 0 || nSide == 2) == bLeftTop;
        return bShown && bGridSide ? 1 : 0;
    };
    inner.top += widthOf(2);
    inner.bottom -= widthOf(3);
    inner.left += widthOf(0);
    inner.right -= widthOf(1);
    if (inner.right < inner.left)
        inner.right = inner.left;
    if (inner.bottom < inner.top)
        inner.bottom = inner.top;
    return inner;
}

CRect CGXGridCore::AddBorders(const CRect& rect, const CGXStyle& style, BOOL)
{
    const CSize outer = AddBordersToSize(rect.Width(), rect.Height(), style);
    const CRect inner = SubtractBorders(CRect(0, 0, outer.cx, outer.cy), style, TRUE);
    return CRect(rect.left - inner.left, rect.top - inner.top, rect.left - inner.left + outer.cx, rect.top - inner.top + outer.cy);
}

CSize CGXGridCore::AddBordersToSize(int cx, int cy, const CGXStyle& style)
{
    if (style.GetInclude(GX_INCL_DRAW3DFRAME) && style.GetDraw3dFrame() != 0) {
        cx += 2;
        cy += 2;
    }
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    for (int nSide = 0; nSide < 4; ++nSide) {
        int w;
        if (style.GetInclude(GX_INCL_BORDERS) && style.HasBorder(nSide) && !IsNullPen(style.GetBorders(nSide)))
            w = std::max<int>(1, static_cast<int>(style.GetBorders(nSide).GetWidth()));
        else
            w = ((nSide == 0 || nSide == 2) == bLeftTop) ? 1 : 0;
        (nSide < 2 ? cx : cy) += w;
    }
    return CSize(cx, cy);
}

// ---- Marker lines ----

CRect CGXGridCore::CalcMarkerLineRect(int nKind, ROWCOL n)
{
    CRect g;
    GetGridRect(&g);
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    if (nKind == 2) {
        int offset = n == 0 ? 0 : SumClientRowHeights(0, n - 1, 0);
        int length = SumClientColWidths(0, ColToClientCol(GetColCount()), g.Width()) + (bLeftTop ? 1 : 0);
        length = std::min<int>(length, g.Width());
        if (!bLeftTop)
            offset -= 1;
        return CRect(g.left, g.top + offset, g.left + length, g.top + offset + 1);
    }
    if (nKind == 1) {
        int offset = n == 0 ? 0 : SumClientColWidths(0, n - 1, 0);
        int length = SumClientRowHeights(0, RowToClientRow(GetRowCount()), g.Height()) + (bLeftTop ? 1 : 0);
        length = std::min<int>(length, g.Height());
        if (!bLeftTop)
            offset -= 1;
        return CRect(g.left + offset, g.top, g.left + offset + 1, g.top + length);
    }
    return CRect(0, 0, 0, 0);
}

void CGXGridCore::DrawMarkerLine(CDC* pDC, int nKind, ROWCOL n, UINT nFlags)
{
    const CRect r = CalcMarkerLineRect(nKind, n);
    if (!r.IsRectEmpty())
        DrawGridLine(pDC, r.left, r.top, r.Width(), r.Height(), nKind, n, nFlags);
}
