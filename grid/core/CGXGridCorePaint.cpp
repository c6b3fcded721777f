// The grid's paint path: straight into the target or through a memory bitmap, then a block
// of client cells drawn in fixed passes (background runs, cells through their controls, the
// current cell's control, lines and borders, the area past the last row and column, and the
// inverted selection).
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/core/GXDrawState.h"
#include "grid/core/GXDrawingHelpers.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Gdi.h"

#include <algorithm>

namespace {
// Links a drawing state in for the time of one pass and restores the one before, however the
// pass ends.
class DrawStateLink {
public:
    DrawStateLink(GXDrawState*& pCurrent, int& nLevel, GXDrawState* pState) : m_pCurrent(pCurrent), m_nLevel(nLevel), m_pOld(pCurrent)
    {
        pCurrent = pState;
        ++nLevel;
    }
    ~DrawStateLink()
    {
        m_pCurrent = m_pOld;
        --m_nLevel;
    }
    DrawStateLink(const DrawStateLink&) = delete;
    DrawStateLink& operator=(const DrawStateLink&) = delete;

private:
    GXDrawState*& m_pCurrent;
    int& m_nLevel;
    GXDrawState* m_pOld;
};
} // namespace

void CGXGridCore::PrepareDC(CDC*)
{
    // The screen draws in device units; printing sets its own mapping in the print feature.
}

int CGXGridCore::SetMemDCDrawing(int nMode)
{
    const int nOld = m_nMemDCMode;
    m_nMemDCMode = nMode;
    return nOld;
}

BOOL CGXGridCore::IsGridLineSideLeftTop() const
{
    return m_pParam == nullptr || m_pParam->m_nGridLineStyle == 0;
}

void CGXGridCore::NotifyPaintStart(ROWCOL nRow, ROWCOL nCol, UINT nFlags, UINT nReserved)
{
    if (m_pPaintNotifyImp != nullptr)
        m_pPaintNotifyImp->NotifyPaintStart(this, nRow, nCol, nFlags, nReserved);
}

void CGXGridCore::Paint(CDC* pDC)
{
    NotifyPaintStart(0, 0, 1, 0);
    m_bMouseActivated = FALSE;
    m_floatUpdateRanges.DeleteAll();
    if (pDC == nullptr || m_pParam == nullptr || m_pParam->m_bLockPaint)
        return;
    CRect grid, clip;
    GetGridRect(&grid);
    if (pDC->GetClipBox(&clip) == NULLREGION || clip.IsRectEmpty())
        return;
    if (m_bPrint) {
        m_bRepaintPending = TRUE;
        return;
    }
    {
        const int nDefHeight = GetDefaultRowHeight();
        const int nDefWidth = GetDefaultColWidth();
        const ROWCOL nRows = static_cast<ROWCOL>(nDefHeight > 0 ? clip.Height() / nDefHeight : clip.Height());
        const ROWCOL nCols = static_cast<ROWCOL>(nDefWidth > 0 ? clip.Width() / nDefWidth : clip.Width());
        // An estimate: it stops at the largest number rather than wrapping round to a small one.
        constexpr ROWCOL kMax = static_cast<ROWCOL>(-1);
        const auto add = [](ROWCOL a, ROWCOL b) { return a > kMax - b ? kMax : a + b; };
        NotifyPaintSizeEstimate(add(CalcLastVisibleRow(clip), nRows), add(CalcLastVisibleCol(clip), nCols));
    }
    m_bLayoutChanged = FALSE;
    UpdateScrollbars(TRUE, TRUE);
    if (m_bLayoutChanged) {
        if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
            m_pGridWnd->Invalidate(TRUE);
        return;
    }
    if (m_nMemDCMode == 1)
        PaintWithMemDC(pDC);
    else
        PaintDirect(pDC);
}

void CGXGridCore::DrawFrameLines(CDC* pDC, const CRect& grid, int nInset)
{
    FillRectSolid(pDC, grid.left - 1, grid.top - 1, 1, grid.Height() + 1, 0);
    FillRectSolid(pDC, grid.right - nInset, grid.top - 1, 1, grid.Height() + 1, 0);
    FillRectSolid(pDC, grid.left - 1, grid.top - 1, grid.Width() + 1, 1, 0);
    FillRectSolid(pDC, grid.left - 1, grid.bottom - nInset, grid.Width() + 1 + (nInset == 0 ? 1 : 0), 1, 0);
}

void CGXGridCore::DrawVisibleCells(CDC* pDC, const CRect& grid)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR)
        clip = grid;
    else if (!clip.IntersectRect(clip, grid))
        return;
    pDC->IntersectClipRect(&grid);
    ROWCOL nTop, nLeft, nBottom, nRight;
    CalcClientRowColFromPtClamped(clip.TopLeft(), nTop, nLeft);
    CalcClientRowColFromPtClamped(CPoint(clip.right - 1, clip.bottom - 1), nBottom, nRight);
    if (m_bFloatUpdate)
        DrawSelectionFrame(pDC, TRUE, nullptr);
    DrawClientRange(pDC, nTop, nLeft, nBottom, nRight);
    DrawSelectionFrame(pDC, TRUE, nullptr);
    // A border being dragged keeps its markers over the cells just drawn.
    if (m_bTracking)
        if (auto* pResize = dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(m_pUserResizeCellsImp))
            pResize->DrawTrackingMarkers(this, pDC);
    if ((m_nMouseFlags & GX_MOUSE_FILL) && m_pExcelLikeFillImp != nullptr)
        m_pExcelLikeFillImp->PaintFillOutline(this, pDC);
}

void CGXGridCore::PaintDirect(CDC* pDC)
{
    LookupBaseStyles();
    FreeObjectCache();
    CFont* pOldFont = m_pStyleStandard != nullptr ? LoadFont(pDC, *m_pStyleStandard, FALSE) : nullptr;
    MeasureFont(pDC, m_dxWidth, m_dyHeight);
    CRect grid;
    GetGridRect(&grid);
    if (m_bDrawFrame)
        DrawFrameLines(pDC, grid, 0);
    const int nSaved = pDC->SaveDC();
    try {
        DrawVisibleCells(pDC, grid);
    } catch (...) {
        // A cell that cannot be drawn leaves the rest of the grid as it was; the next paint
        // tries again.
    }
    pDC->RestoreDC(nSaved);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
    m_exclusionRects.clear();
    ReleaseGridDC();
}

void CGXGridCore::PaintWithMemDC(CDC* pDC)
{
    LookupBaseStyles();
    FreeObjectCache();
    CRect clip;
    pDC->GetClipBox(&clip);
    if (clip.Width() <= 0 || clip.Height() <= 0)
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC)) {
        PaintDirect(pDC);
        return;
    }
    PrepareDC(&memDC);
    // One bitmap serves every paint that fits in it: a full-screen bitmap made and cleared
    // for each paint would cost as much as the drawing.
    if (!m_pMemBitmap || m_sizeMemBitmap.cx < clip.Width() || m_sizeMemBitmap.cy < clip.Height()) {
        m_pMemBitmap = std::make_unique<CBitmap>();
        const CSize size(std::max<int>(clip.Width(), m_sizeMemBitmap.cx), std::max<int>(clip.Height(), m_sizeMemBitmap.cy));
        if (!m_pMemBitmap->CreateCompatibleBitmap(pDC, size.cx, size.cy)) {
            m_pMemBitmap.reset();
            m_sizeMemBitmap = CSize(0, 0);
            PaintDirect(pDC);
            return;
        }
        m_sizeMemBitmap = size;
    }
    CBitmap* pOldBitmap = memDC.SelectObject(m_pMemBitmap.get());
    memDC.IntersectClipRect(0, 0, clip.Width(), clip.Height());
    memDC.OffsetViewportOrg(-clip.left, -clip.top);
    // Patterns are aligned to the brush origin in device pixels; the bitmap's pixel 0 lies at
    // clip.left of the target, so the origin that lands on the target's 0 is -clip.left mod 8.
    memDC.SetBrushOrg((-clip.left) & 7, (-clip.top) & 7);
    CFont* pOldFont = m_pStyleStandard != nullptr ? LoadFont(&memDC, *m_pStyleStandard, FALSE) : nullptr;
    MeasureFont(&memDC, m_dxWidth, m_dyHeight);
    CRect grid;
    GetGridRect(&grid);
    CRect memClip;
    memDC.GetClipBox(&memClip);
    if (memClip.IntersectRect(memClip, grid)) {
        const int nSaved = memDC.SaveDC();
        try {
            DrawVisibleCells(&memDC, grid);
        } catch (...) {
        }
        memDC.RestoreDC(nSaved);
    }
    if (pOldFont != nullptr)
        memDC.SelectObject(pOldFont);
    if (m_bDrawFrame)
        DrawFrameLines(&memDC, grid, 1);
    for (const CRect& r : m_exclusionRects)
        pDC->ExcludeClipRect(&r);
    m_exclusionRects.clear();
    pDC->BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memDC, clip.left, clip.top, SRCCOPY);
    memDC.SelectObject(pOldBitmap);
    ReleaseGridDC();
}

void CGXGridCore::DrawClientRange(CDC* pDC, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    if (pDC == nullptr || m_pParam == nullptr || nTop == GX_INVALID || nLeft == GX_INVALID || nBottom < nTop || nRight < nLeft)
        return;
    GXDrawState st;
    DrawStateLink link(m_pDrawState, m_nDrawingLevel, &st);
    st.pDC = pDC;
    pDC->GetClipBox(&st.rectClip);
    st.nRows = nBottom - nTop + 1;
    st.nCols = nRight - nLeft + 1;
    st.nTopRow = GetTopRow();
    st.nLeftCol = GetLeftCol();
    st.nFrozenCols = GetFrozenCols();
    st.nFrozenRows = GetFrozenRows();
    st.nHeaderCols = GetHeaderCols();
    st.nHeaderRows = GetHeaderRows();
    CRect first;
    CalcClientCellRect(first, nTop, nLeft);
    const CGXProperties* pProps = m_pParam->GetProperties();
    st.bSelection = !pDC->IsPrinting() && m_pParam->m_bDisplaySelection;
    st.bColor = !(pProps != nullptr && pProps->m_bPrintMode && pProps->m_bBlackWhite);
    st.rgbStandardBack = !st.bColor ? 0xFFFFFF
                                    : (m_pStyleStandard != nullptr ? GXGetSysData()->Resolve(m_pStyleStandard->GetInterior().GetForeColor()) : 0xFFFFFF);

    const ROWCOL nRowCount = GetRowCount();
    const ROWCOL nColCount = GetColCount();
    st.heights.resize(st.nRows);
    st.y.resize(st.nRows);
    st.rows.resize(st.nRows + 1);
    int y = first.top;
    for (ROWCOL i = 0; i < st.nRows; ++i) {
        st.rows[i] = ClientRowToRow(nTop + i);
        st.heights[i] = st.rows[i] <= nRowCount ? GetRowHeight(st.rows[i]) : 0;
        st.y[i] = y;
        y += st.heights[i];
    }
    const ROWCOL nNextRow = ClientRowToRow(nBottom + 1);
    st.rows[st.nRows] = nNextRow < nRowCount ? nNextRow : 0;
    st.widths.resize(st.nCols);
    st.x.resize(st.nCols);
    st.cols.resize(st.nCols + 1);
    int x = first.left;
    for (ROWCOL j = 0; j < st.nCols; ++j) {
        st.cols[j] = ClientColToCol(nLeft + j);
        st.widths[j] = st.cols[j] <= nColCount ? GetColWidth(st.cols[j]) : 0;
        st.x[j] = x;
        x += st.widths[j];
    }
    const ROWCOL nNextCol = ClientColToCol(nRight + 1);
    st.cols[st.nCols] = nNextCol < nColCount ? nNextCol : 0;
    st.styles.assign(static_cast<size_t>(st.nRows) * st.nCols, nullptr);
    st.flags.assign(static_cast<size_t>(st.nRows) * st.nCols, 0);

    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol);
    if (bCurrent && !m_bKeepCurrentStyle) {
        const BOOL bInRange = std::find(st.rows.begin(), st.rows.end() - 1, nCurRow) != st.rows.end() - 1 &&
                              std::find(st.cols.begin(), st.cols.end() - 1, nCurCol) != st.cols.end() - 1;
        if (bInRange && m_pCurrentCellStyle) {
            m_pCurrentCellControl = nullptr;
            m_pCurrentCellStyle->Free();
        }
    }
    if (m_pParam->m_bStylePreload)
        for (ROWCOL j = 0; j < st.nCols; ++j)
            for (ROWCOL i = 0; i < st.nRows; ++i)
                if (st.rows[i] <= nRowCount && st.cols[j] <= nColCount)
                    st.styles[st.Index(i, j)] = LookupStyleRowCol(st.rows[i], st.cols[j]);

    // The data may report cells that changed behind the grid's back: their floating texts are
    // worked out again below, and in float-update mode only their rows are drawn.
    std::vector<ROWCOL> firstChanged(st.nRows, GX_INVALID);
    for (ROWCOL i = 0; i < st.nRows; ++i)
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            const ROWCOL nRow = st.rows[i], nCol = st.cols[j];
            if (nRow == 0 || nCol == 0 || nRow > nRowCount || nCol > nColCount || !NotifyDataAtCell(nRow, nCol))
                continue;
            DelayFloatCells(CGXRange(nRow, nCol, nRow, nCol));
            if (firstChanged[i] == GX_INVALID)
                firstChanged[i] = j;
        }

    EvalSpans(st.nFrozenRows, st.nFrozenCols, st.nTopRow, st.nLeftCol, st.rows[st.nRows - 1], st.cols[st.nCols - 1], FloatCellsEnabled(),
              MergeCellsEnabled(), 0, m_bPrint);

    const BOOL bFloatUpdate = m_bFloatUpdate;
    for (ROWCOL i = 0; i < st.nRows; ++i) {
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            if (st.rows[i] > nRowCount || st.cols[j] > nColCount) {
                st.flags[st.Index(i, j)] |= GX_DS_SKIP;
                continue;
            }
            // What lies before a row's first changed cell is already on the screen: it is
            // kept out of the copy rather than drawn again.
            if (bFloatUpdate && j < firstChanged[i]) {
                m_exclusionRects.emplace_back(st.x[j], st.y[i], st.x[j] + st.widths[j], st.y[i] + st.heights[i]);
                continue;
            }
            if (bCurrent && st.rows[i] == nCurRow && st.cols[j] == nCurCol)
                GetControl(nCurRow, nCurCol);
            PrepareCell(st, i, j);
        }
    }

    if (auto* pOld = dynamic_cast<CGXAbstractGridOldDrawingImp*>(m_pOldDrawingImp); pOld != nullptr && pOld->Draw(this, pDC, st))
        return;

    for (ROWCOL i = 0; i < st.nRows; ++i) {
        if (st.heights[i] <= 0 || (bFloatUpdate && firstChanged[i] == GX_INVALID))
            continue;
        int nSavedClip = 0;
        if (bFloatUpdate) {
            m_floatUpdateRanges.AddTail(new CGXRange(st.rows[i], st.cols[st.nCols], st.rows[i], st.cols[st.nCols]));
            nSavedClip = pDC->SaveDC();
        }
        RowBackground(st, i);
        if (bFloatUpdate)
            pDC->IntersectClipRect(st.rectClip.left, st.y[i], st.rectClip.right, st.y[i] + st.heights[i]);
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            st.rectCell.SetRect(st.x[j], st.y[i], st.x[j] + st.widths[j], st.y[i] + st.heights[i]);
            DrawStateCell(st, i, j);
        }
        if (bFloatUpdate)
            pDC->RestoreDC(nSavedClip);
        if (st.pCurrentControl != nullptr && !st.rectControl.IsRectEmpty() && !st.bControlDrawn) {
            // The active control is drawn after its row, over whatever the row painted.
            st.pCurrentControl->Draw(pDC, st.rectControl, nCurRow, nCurCol, *LookupStyleRowCol(nCurRow, nCurCol), m_pStyleStandard);
            st.bControlDrawn = TRUE;
        }
        DrawRowLines(st, i);
    }

    if (!m_pParam->m_bTransparentBackground) {
        const COLORREF rgbBack = m_bPrint ? 0xFFFFFF : (pProps != nullptr ? pProps->GetColor(4) : 0xFFFFFF);
        const BOOL bPrintMode = pProps != nullptr && pProps->m_bPrintMode;
        const BOOL bVert = pProps == nullptr || (bPrintMode ? pProps->m_bPrintVertLines : pProps->m_bDisplayVertLines);
        const BOOL bHorz = pProps == nullptr || (bPrintMode ? pProps->m_bPrintHorzLines : pProps->m_bDisplayHorzLines);
        if (st.cols[st.nCols - 1] == nColCount) {
            CRect area = CalcAreaRightOfCol(nColCount);
            area.left = std::max(area.left, static_cast<LONG>(st.x[st.nCols - 1] + st.widths[st.nCols - 1]));
            area.bottom += 5;
            if (!area.IsRectEmpty())
                FillRectSolid(pDC, area, rgbBack);
            if (bVert && IsGridLineSideLeftTop())
                DrawMarkerLine(pDC, 1, nRight + 1, 0);
        }
        if (st.rows[st.nRows - 1] == nRowCount) {
            CRect area = CalcAreaBelowRow(nRowCount);
            area.top = std::max(area.top, static_cast<LONG>(st.y[st.nRows - 1] + st.heights[st.nRows - 1]));
            if (!area.IsRectEmpty())
                FillRectSolid(pDC, area, rgbBack);
            if (bHorz && IsGridLineSideLeftTop())
                DrawMarkerLine(pDC, 2, nBottom + 1, 0);
        }
    }

    for (ROWCOL j = 0; j < st.nCols; ++j)
        if (st.widths[j] > 0)
            DrawColumnLines(st, j);
    DrawSelectionMarks(st);
}

void CGXGridCore::DrawSelectionMarks(GXDrawState& st)
{
    if (!st.bSelection)
        return;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol);
    for (ROWCOL i = 0; i < st.nRows; ++i)
        for (ROWCOL j = 0; j < st.nCols; ++j) {
            const CRect rect(st.x[j], st.y[i], st.x[j] + st.widths[j], st.y[i] + st.heights[i]);
            if (st.flags[st.Index(i, j)] & GX_DS_SELECTED)
                DrawSelectedCell(st.pDC, st.rows[i], st.cols[j], rect);
            else if (bCurrent && st.rows[i] == nCurRow && st.cols[j] == nCurCol && !(st.flags[st.Index(i, j)] & GX_DS_SKIP) &&
                     !rect.IsRectEmpty())
                DrawCurrentCellFrame(st.pDC, nCurRow, nCurCol, rect);
        }
}

void CGXGridCore::PrepareCell(GXDrawState& st, ROWCOL i, ROWCOL j)
{
    WORD& f = st.flags[st.Index(i, j)];
    if (f & GX_DS_SKIP)
        return;
    if (m_pDrawSpannedCellsImp != nullptr && m_pDrawSpannedCellsImp->PrepareCell(this, st, i, j))
        return;
    const ROWCOL nRow = st.rows[i], nCol = st.cols[j];
    const CGXStyle*& pStyle = st.styles[st.Index(i, j)];
    if (pStyle == nullptr)
        pStyle = LookupStyleRowCol(nRow, nCol);
    if (pStyle == nullptr)
        return;
    const BOOL bLeftTop = IsGridLineSideLeftTop();
    if (st.heights[i] > 0 && st.widths[j] > 0) {
        if (m_pStyleStandard != nullptr && !(pStyle->GetInterior() == m_pStyleStandard->GetInterior()))
            f |= GX_DS_ERASEBK;
        if (pStyle->GetInclude(GX_INCL_BORDERS)) {
            if (pStyle->HasBorder(0))
                f |= GX_DS_BORDER_LEFT;
            if (pStyle->HasBorder(1))
                f |= GX_DS_BORDER_RIGHT;
            if (pStyle->HasBorder(2))
                f |= GX_DS_BORDER_TOP;
            if (pStyle->HasBorder(3))
                f |= GX_DS_BORDER_BOTTOM;
        }
        if (!(f & (bLeftTop ? GX_DS_BORDER_LEFT : GX_DS_BORDER_RIGHT))) {
            f |= GX_DS_VERTLINE;
            if (nCol > st.nHeaderCols && nCol == st.nFrozenCols)
                f |= GX_DS_FROZENCOL;
        }
        if (!(f & (bLeftTop ? GX_DS_BORDER_TOP : GX_DS_BORDER_BOTTOM))) {
            f |= GX_DS_HORZLINE;
            if (nRow > st.nHeaderRows && nRow == st.nFrozenRows)
                f |= GX_DS_FROZENROW;
        }
    }
    if (st.bSelection && IsCellInRangeList(nRow, nCol, m_pParam->m_SelRects))
        f |= GX_DS_SELECTED;
}

void CGXGridCore::RowBackground(GXDrawState& st, ROWCOL i)
{
    if (m_pParam->m_bTransparentBackground)
        return;
    for (ROWCOL j = 0; j < st.nCols; ++j)
        st.flags[st.Index(i, j)] |= GX_DS_ERASEBK;
    ROWCOL j = 0;
    while (j < st.nCols) {
        const WORD f = st.flags[st.Index(i, j)];
        const CGXStyle* pStyle = st.styles[st.Index(i, j)];
        if ((f & GX_DS_SKIP) || !(f & GX_DS_ERASEBK) || pStyle == nullptr) {
            ++j;
            continue;
        }
        ROWCOL k = j + 1;
        int width = st.widths[j];
        while (k < st.nCols) {
            const WORD fk = st.flags[st.Index(i, k)];
            const CGXStyle* pk = st.styles[st.Index(i, k)];
            if ((fk & GX_DS_SKIP) || !(fk & GX_DS_ERASEBK) || (pk != nullptr && !(pk->GetInterior() == pStyle->GetInterior())))
                break;
            st.flags[st.Index(i, k)] &= ~GX_DS_ERASEBK;
            width += st.widths[k];
            ++k;
        }
        if (k - j > 1) {
            st.flags[st.Index(i, j)] &= ~GX_DS_ERASEBK;
            CGXBrush brush = pStyle->GetInterior();
            if (!st.bColor)
                brush = CGXBrush(GX_BS_SOLID, 0xFFFFFF, 0);
            FillRectWithBrush(st.pDC, CRect(st.x[j], st.y[i], st.x[j] + width, st.y[i] + st.heights[i]), brush);
        }
        j = k;
    }
}

void CGXGridCore::DrawStateCell(GXDrawState& st, ROWCOL i, ROWCOL j)
{
    if (m_pDrawSpannedCellsImp != nullptr && m_pDrawSpannedCellsImp->DrawCell(this, st, i, j))
        return;
    const WORD f = st.flags[st.Index(i, j)];
    const CGXStyle* pStyle = st.styles[st.Index(i, j)];
    if ((f & GX_DS_SKIP) || pStyle == nullptr || st.rectCell.Width() <= 0 || st.rectCell.Height() <= 0)
        return;
    const ROWCOL nRow = st.rows[i], nCol = st.cols[j];
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol;
    CGXControl* pControl = bCurrent ? GetControlById(pStyle->GetControl()) : nullptr;
    m_bEraseBackground = (f & GX_DS_ERASEBK) != 0;
    DrawCellWithControl(st.pDC, nRow, nCol, st.rectCell, *pStyle);
    m_bEraseBackground = FALSE;
    if (pControl != nullptr && pControl->IsActive()) {
        st.pCurrentControl = pControl;
        st.rectControl = SubtractBorders(st.rectCell, *pStyle, TRUE);
    }
}
