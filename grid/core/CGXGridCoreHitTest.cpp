// What lies under a point of the grid (cells, headers, resize zones, the selection frame and
// its fill handle) and the mouse cursor that shows it.
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/res/GridRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Cursor.h"

#include <algorithm>
#include <cstdlib>

namespace {
// The cursor last loaded from the resources, shared by every grid: moving over many cells of
// the same kind loads it once.
struct GridCursorState {
    UINT nLastID = 0;
    HCURSOR hCursor = nullptr;
    BOOL bFallback = FALSE;
};
GridCursorState& CursorState()
{
    static GridCursorState state;
    return state;
}
} // namespace

int CGXGridCore::HitTest(CPoint ptIn, ROWCOL* pRow, ROWCOL* pCol, CRect* pRectHit)
{
    CPoint pt(std::max(0, ptIn.x), std::max(0, ptIn.y));
    int nTop = 0, nLeft = 0;
    const ROWCOL nClientRow = CalcClientRowFromPt(pt, &nTop);
    const ROWCOL nClientCol = CalcClientColFromPt(pt, &nLeft);
    ROWCOL nRow = nClientRow == GX_INVALID ? GX_INVALID : ClientRowToRow(nClientRow);
    ROWCOL nCol = nClientCol == GX_INVALID ? GX_INVALID : ClientColToCol(nClientCol);
    CRect rectHit(0, 0, 0, 0);
    int nHit = 0;

    CRect grid;
    GetGridRect(&grid);
    const int t = m_nHitTolerance;
    if (m_pParam != nullptr && grid.PtInRect(pt) && grid.PtInRect(ptIn)) {
        const BOOL bCell = nClientRow != GX_INVALID && nClientCol != GX_INVALID;
        if (bCell)
            rectHit.SetRect(nLeft, nTop, nLeft + GetColWidth(nCol), nTop + GetRowHeight(nRow));
        const ROWCOL nHeaderRows = GetHeaderRows();
        const ROWCOL nHeaderCols = GetHeaderCols();
        // Bit 0x08 lets the borders of header rows and columns be dragged too.
        const BOOL bColResize = m_pParam->TestColResizeFlags(3) && (nClientRow <= nHeaderRows || m_pParam->TestColResizeFlags(4));
        const BOOL bRowResize = m_pParam->TestRowResizeFlags(3) && (nClientCol <= nHeaderCols || m_pParam->TestRowResizeFlags(4));

        if (bColResize && bCell) {
            if (std::abs(rectHit.right - pt.x) <= t / 2) {
                if (nCol > nHeaderCols || m_pParam->TestColResizeFlags(8))
                    nHit = 1;
            } else if (std::abs(pt.x - rectHit.left) <= t / 2 && nClientCol != 0 && (nCol > nHeaderCols + 1 || m_pParam->TestColResizeFlags(8))) {
                if (pt.x - rectHit.left > t / 4 && nCol > 0 && GetColWidth(nCol - 1) == 0) {
                    nHit = 7;
                    nCol = nCol - 1;
                } else {
                    // The line before this column belongs to the first visible column on its left.
                    ROWCOL nPrev = nCol - 1;
                    while (nPrev > 0 && GetColWidth(nPrev) == 0)
                        --nPrev;
                    const int w = GetColWidth(nPrev);
                    rectHit.SetRect(rectHit.left - w, rectHit.top, rectHit.left, rectHit.bottom);
                    nCol = nPrev;
                    nHit = 1;
                }
            }
        }
        if (nHit == 0 && bRowResize && bCell) {
            if (std::abs(rectHit.bottom - pt.y) <= t / 2) {
                if (nRow > nHeaderRows || m_pParam->TestRowResizeFlags(8))
                    nHit = 2;
            } else if (std::abs(pt.y - rectHit.top) <= t / 2 && nClientRow != 0 && (nRow > nHeaderRows + 1 || m_pParam->TestRowResizeFlags(8))) {
                if (pt.y - rectHit.top > t / 4 && nRow > 0 && GetRowHeight(nRow - 1) == 0) {
                    nHit = 8;
                    nRow = nRow - 1;
                } else {
                    ROWCOL nPrev = nRow - 1;
                    while (nPrev > 0 && GetRowHeight(nPrev) == 0)
                        --nPrev;
                    const int h = GetRowHeight(nPrev);
                    rectHit.SetRect(rectHit.left, rectHit.top - h, rectHit.right, rectHit.top);
                    nRow = nPrev;
                    nHit = 2;
                }
            }
        }
        if (nHit == 0 && bCell) {
            nHit = HitTestSelectionFrame(nRow, nCol, pt, rectHit);
            if (nHit == 0)
                nHit = (nCol > nHeaderCols && nRow > nHeaderRows) ? 3 : 4;
        }
    }

    if (nClientRow == GX_INVALID)
        nRow = pt.y > t / 2 + 1 ? GetRowCount() + 1 : nRow;
    if (nClientCol == GX_INVALID)
        nCol = pt.x > t / 2 + 1 ? GetColCount() + 1 : nCol;
    if (pRow != nullptr)
        *pRow = nRow;
    if (pCol != nullptr)
        *pCol = nCol;
    if (pRectHit != nullptr)
        *pRectHit = rectHit;
    return nHit;
}

int CGXGridCore::HitTestSelectionFrame(ROWCOL nRow, ROWCOL nCol, const CPoint& pt, const CRect& r)
{
    if (m_pParam == nullptr || (m_pExcelLikeFrameImp == nullptr && !m_pParam->m_bFillHandle))
        return 0;
    const CGXRangeList& sel = m_pParam->m_SelRects;
    const auto onEdge = [&](const CGXRange& range) {
        if (0 <= pt.x - r.left && pt.x - r.left <= 4 && !range.IsRows() && range.left == nCol)
            return true;
        if (0 <= r.right - pt.x && r.right - pt.x <= 4 && !range.IsRows() && range.right == nCol)
            return true;
        if (0 <= pt.y - r.top && pt.y - r.top <= 4 && !range.IsCols() && range.top == nRow)
            return true;
        return 0 <= r.bottom - pt.y && r.bottom - pt.y <= 4 && !range.IsCols() && range.bottom == nRow;
    };
    const auto result = [&]() {
        const BOOL bHandle = m_pParam->m_bFillHandle && r.right - pt.x <= 4 && r.right - pt.x >= 0 && r.bottom - pt.y <= 4 && r.bottom - pt.y >= 0;
        return bHandle ? 6 : 5;
    };
    if (sel.FindCell(0, 0) != nullptr) {
        if (nRow != 0 || nCol != 0)
            return 0;
        const BOOL bEdge = (pt.x - r.left >= 0 && pt.x - r.left <= 4) || (pt.y - r.top >= 0 && pt.y - r.top <= 4);
        return bEdge ? result() : 0;
    }
    CGXRange candidate;
    const CGXRange* pRange = nullptr;
    ROWCOL nCurRow, nCurCol;
    if (!m_pParam->m_bDisplaySelection && GetCurrentCell(nCurRow, nCurCol)) {
        CGXRange span;
        if (FindCoveredSpan(nRow, nCol, span) != nullptr && span.top == nCurRow && span.left == nCurCol) {
            candidate = span;
            pRange = &candidate;
        }
    }
    if (pRange == nullptr) {
        if (POSITION pos = sel.FindCell(nRow, nCol))
            pRange = sel.GetRangeAt(pos);
    }
    if (pRange == nullptr)
        return 0;
    return onEdge(*pRange) ? result() : 0;
}

void CGXGridCore::UpdateCursor(CPoint pt)
{
    if (m_nCursorOverride != 0) {
        SetGridCursor(m_nCursorOverride, IDC_ARROW);
        return;
    }
    if (m_pParam == nullptr) {
        SetGridCursor(0, nullptr);
        return;
    }
    if (m_pParam->m_bActiveViewCursor && m_bIsViewContext) {
        // Only the active view of the active frame shows what its cells offer.
        CWnd* pFocus = CWnd::GetFocus();
        CFrameWnd* pFrame = m_pGridWnd != nullptr ? m_pGridWnd->GetParentFrame() : nullptr;
        const BOOL bActive = pFocus != nullptr && pFocus->GetParentFrame() == pFrame &&
                             reinterpret_cast<CWnd*>(GXGetActiveView()) == m_pGridWnd;
        if (!bActive) {
            SetGridCursor(0, nullptr);
            return;
        }
    }
    ROWCOL nRow = 0, nCol = 0;
    UINT nID = 0;
    LPCTSTR pszFallback = nullptr;
    switch (HitTest(pt, &nRow, &nCol, nullptr)) {
    case 1:
        if (m_pParam->TestColResizeFlags(3) && CanResizeCol(nCol))
            nID = GX_IDC_COLRESIZE, pszFallback = IDC_SIZEWE;
        break;
    case 2:
        if (m_pParam->TestRowResizeFlags(3) && CanResizeRow(nRow))
            nID = GX_IDC_ROWRESIZE, pszFallback = IDC_SIZENS;
        break;
    case 4:
        if (nRow == 0 && nCol != 0 && !(m_pParam->GetDragSelectedCols() && IsColSelectedForDrag(nCol)) && m_pParam->TestSelectionFlags(2))
            nID = GX_IDC_SELECTCOL, pszFallback = IDC_ARROW;
        else if (nRow != 0 && nCol == 0 && !(m_pParam->GetDragSelectedRows() && IsRowSelectedForDrag(nRow)) && m_pParam->TestSelectionFlags(1))
            nID = GX_IDC_SELECTROW, pszFallback = IDC_ARROW;
        break;
    case 5: nID = GX_IDC_SELFRAME, pszFallback = IDC_ARROW; break;
    case 6: nID = GX_IDC_FILLHANDLE, pszFallback = IDC_ARROW; break;
    case 7: nID = GX_IDC_HIDDENCOL, pszFallback = IDC_ARROW; break;
    case 8: nID = GX_IDC_HIDDENROW, pszFallback = IDC_ARROW; break;
    default: break;
    }
    SetGridCursor(nID, pszFallback);
}

BOOL CGXGridCore::IsColSelectedForDrag(ROWCOL nCol)
{
    for (POSITION pos = m_pParam->m_SelRects.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = m_pParam->m_SelRects.GetNextRange(pos);
        if (pRange->IsCols() && nCol >= pRange->left && nCol <= pRange->right)
            return TRUE;
    }
    return FALSE;
}

BOOL CGXGridCore::IsRowSelectedForDrag(ROWCOL nRow)
{
    for (POSITION pos = m_pParam->m_SelRects.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = m_pParam->m_SelRects.GetNextRange(pos);
        if (pRange->IsRows() && nRow >= pRange->top && nRow <= pRange->bottom)
            return TRUE;
    }
    return FALSE;
}

void CGXGridCore::SetGridCursor(UINT nID, LPCTSTR pszFallback)
{
    if (nID == 0) {
        SetCursor(m_hcurArrow);
        return;
    }
    GridCursorState& state = CursorState();
    if (nID != state.nLastID) {
        HCURSOR hCursor = LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nID));
        state.bFallback = FALSE;
        if (hCursor == nullptr && pszFallback != nullptr) {
            hCursor = LoadCursor(nullptr, pszFallback);
            state.bFallback = TRUE;
        }
        HCURSOR hOld = state.hCursor;
        state.hCursor = hCursor;
        state.nLastID = nID;
        if (hCursor != nullptr)
            SetCursor(hCursor);
        // Resource and system cursors are shared: the layer never frees them, whatever this
        // call asks.
        if (hOld != nullptr && hOld != hCursor)
            DestroyCursor(hOld);
        return;
    }
    if (state.hCursor != nullptr)
        SetCursor(state.hCursor);
}

UINT CGXGridCore::GetLoadedCursorId()
{
    return CursorState().nLastID;
}

void CGXGridCore::SetCursorOverride(UINT nID)
{
    m_nCursorOverride = nID;
    UpdateCursor(CPoint(0, 0));
}
