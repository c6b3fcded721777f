// Scrolling: the scroll bars' modes, ranges scaled to 16-bit positions and positions, scrolling
// by rows or columns with the window's pixels moved and only the uncovered strip repainted,
// bringing a cell into view, the scroll-bar messages and the request to scroll by timer.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"

#include <algorithm>

namespace {
constexpr int kBit8 = 8;
constexpr UINT_PTR kAutoScrollTimer = 992;

BOOL HasWindow(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr;
}
} // namespace

// ---- Top row and left column ----

void CGXGridCore::SetTopRow(ROWCOL nRow, UINT nFlags, BOOL bCreateHint)
{
    const ROWCOL nCount = GetRowCount();
    nRow = nCount == 0 ? 1 : std::min(std::max<ROWCOL>(nRow, 1), nCount);
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (m_bPrint) {
        m_nPrintTopRow = std::max(nRow, GetFrozenRows() + 1);
    } else {
        nRow = std::max(nRow, GetFrozenRows() + 1);
        if (nRow == m_nTopRow)
            return;
        if ((nFlags & (GX_UPDATENOW | GX_SMART)) && HasWindow(m_pGridWnd) && m_pParam != nullptr && !m_pParam->m_bLockUpdate) {
            const BOOL bNoUpdate = m_bNoImmediateUpdate;
            m_bNoImmediateUpdate = !(nFlags & GX_UPDATENOW);
            if (nRow > m_nTopRow)
                DoScroll(3, nRow - m_nTopRow);
            else
                DoScroll(1, m_nTopRow - nRow);
            m_bNoImmediateUpdate = bNoUpdate;
        } else {
            if (!OnTopRowChange(nRow))
                return;
            m_nTopRow = nRow;
            if (nFlags & GX_INVALIDATE) {
                UpdateScrollbars(TRUE, FALSE);
                if (HasWindow(m_pGridWnd)) {
                    CRect rect;
                    GetGridRect(&rect);
                    m_pGridWnd->InvalidateRect(&rect, TRUE);
                }
            }
            OnTopRowChanged();
        }
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintSetTopRow(this, nRow, nFlags);
}

void CGXGridCore::SetLeftCol(ROWCOL nCol, UINT nFlags, BOOL bCreateHint)
{
    const ROWCOL nCount = GetColCount();
    nCol = nCount == 0 ? 1 : std::min(std::max<ROWCOL>(nCol, 1), nCount);
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (m_bPrint) {
        m_nPrintLeftCol = std::max(nCol, GetFrozenCols() + 1);
    } else {
        nCol = std::max(nCol, GetFrozenCols() + 1);
        if (nCol == m_nLeftCol)
            return;
        if ((nFlags & (GX_UPDATENOW | GX_SMART)) && HasWindow(m_pGridWnd) && m_pParam != nullptr && !m_pParam->m_bLockUpdate) {
            const BOOL bNoUpdate = m_bNoImmediateUpdate;
            m_bNoImmediateUpdate = !(nFlags & GX_UPDATENOW);
            if (nCol > m_nLeftCol)
                DoScroll(4, nCol - m_nLeftCol);
            else
                DoScroll(2, m_nLeftCol - nCol);
            m_bNoImmediateUpdate = bNoUpdate;
        } else {
            if (!OnLeftColChange(nCol))
                return;
            m_nLeftCol = nCol;
            if (nFlags & GX_INVALIDATE) {
                UpdateScrollbars(TRUE, FALSE);
                if (HasWindow(m_pGridWnd)) {
                    CRect rect;
                    GetGridRect(&rect);
                    m_pGridWnd->InvalidateRect(&rect, TRUE);
                }
            }
            OnLeftColChanged();
        }
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintSetLeftCol(this, nCol, nFlags);
}

// ---- The largest useful top row and left column ----

ROWCOL CGXGridCore::CalcMaxTopRow()
{
    CRect grid;
    GetGridRect(&grid);
    const ROWCOL nFrozen = GetFrozenRows();
    const ROWCOL nCount = GetRowCount();
    if (nCount <= nFrozen + 1)
        return nFrozen + 1;
    const int nAvail = grid.Height() - SumRowHeights(0, nFrozen, 0);
    ROWCOL r = nCount;
    int sum = GetRowHeight(r);
    // Rows fill the area from the bottom: a window's worth of rows, plus hidden ones.
    while (r > nFrozen + 1) {
        const int h = GetRowHeight(r - 1);
        if (sum + h > nAvail)
            break;
        sum += h;
        --r;
    }
    return std::max(r, nFrozen + 1);
}

ROWCOL CGXGridCore::CalcMaxLeftCol()
{
    CRect grid;
    GetGridRect(&grid);
    const ROWCOL nFrozen = GetFrozenCols();
    const ROWCOL nCount = GetColCount();
    if (nCount <= nFrozen + 1)
        return nFrozen + 1;
    const int nAvail = grid.Width() - SumColWidths(0, nFrozen, 0);
    ROWCOL c = nCount;
    int sum = GetColWidth(c);
    while (c > nFrozen + 1) {
        const int w = GetColWidth(c - 1);
        if (sum + w > nAvail)
            break;
        sum += w;
        --c;
    }
    return std::max(c, nFrozen + 1);
}

// ---- Scrolling by rows and columns ----

BOOL CGXGridCore::DoScroll(int direction, ROWCOL nCell)
{
    if (m_pParam == nullptr || nCell == 0 || direction < 1 || direction > 4)
        return FALSE;
    const BOOL bRows = direction == 1 || direction == 3;
    const BOOL bForward = direction == 3 || direction == 4;
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;

    CRect grid;
    GetGridRect(&grid);
    const ROWCOL nFrozen = bRows ? GetFrozenRows() : GetFrozenCols();
    const ROWCOL nFirst = nFrozen + 1;
    const ROWCOL nOld = bRows ? m_nTopRow : m_nLeftCol;
    CRect area = grid;
    if (bRows)
        area.top = std::min<LONG>(grid.bottom, grid.top + SumRowHeights(0, nFrozen, 0));
    else
        area.left = std::min<LONG>(grid.right, grid.left + SumColWidths(0, nFrozen, 0));
    const int nExtent = bRows ? area.Height() : area.Width();
    const auto sizeOf = [&](ROWCOL n) { return bRows ? GetRowHeight(n) : GetColWidth(n); };

    ROWCOL nNew = nOld;
    int nDistance = 0;
    if (!bForward) {
        const ROWCOL nLimit = nOld > nFirst + nCell ? nOld - nCell : nFirst;
        ROWCOL nCand = nOld;
        // Step up a row at a time until the limit is passed; a hidden row above carries the
        // step further so that the first row shown is not a hidden one.
        while (nCand > nFirst && nDistance < nExtent && (nCand > nLimit || sizeOf(nCand - 1) == 0)) {
            --nCand;
            nDistance += sizeOf(nCand);
        }
        nNew = nDistance >= nExtent ? nLimit : std::min(nCand, nLimit);
        if (nNew < nFirst)
            nNew = nFirst;
        if (nNew == 0)
            nNew = 1;
        if (nDistance < nExtent)
            nDistance = bRows ? SumRowHeights(nNew, nOld - 1, nExtent) : SumColWidths(nNew, nOld - 1, nExtent);
    } else {
        const ROWCOL nMax = bRows ? CalcMaxTopRow() : CalcMaxLeftCol();
        if (nOld >= nMax)
            return FALSE;
        nNew = nMax - nOld > nCell ? nOld + nCell : nMax;
        // Hidden rows at the landing place are walked over; those passed are never visited.
        while (nNew < nMax && sizeOf(nNew) == 0)
            ++nNew;
        nDistance = bRows ? SumRowHeights(nOld, nNew - 1, nExtent) : SumColWidths(nOld, nNew - 1, nExtent);
    }
    if (nNew == nOld)
        return FALSE;
    NotifyPaintStart(0, 0, 1, 0);
    if (bRows ? !OnTopRowChange(nNew) : !OnLeftColChange(nNew))
        return FALSE;

    m_bScrolling = TRUE;
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol);
    // Spanned cells that reach across the edge between the frozen part and the scrolled part
    // are drawn in two pieces: moving the pixels would leave them torn, so they are repainted
    // whole afterwards.
    std::vector<CGXRange> spansAcross;
    if (FloatCellsEnabled() || MergeCellsEnabled())
        CollectSpansAcrossFrozenEdge(bRows, nOld, spansAcross);
    ToggleSelectionFrame();
    if (bRows) {
        m_nOldTopRow = nOld;
        m_nTopRow = nNew;
    } else {
        m_nOldLeftCol = nOld;
        m_nLeftCol = nNew;
    }
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (FloatCellsEnabled() || MergeCellsEnabled())
        CollectSpansAcrossFrozenEdge(bRows, nNew, spansAcross);
    // The cell's control moves with the cells while its cell stays in the scrolled area; it is
    // hidden when the cell leaves it, and shown again, with its edit, when the cell comes back.
    BOOL bShowControl = FALSE;
    if (bCurrent && m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsActive() &&
        (bRows ? nCurRow > GetFrozenRows() : nCurCol > GetFrozenCols())) {
        CRect cell = CalcCellRect(nCurRow, nCurCol);
        if (!cell.IntersectRect(cell, area))
            m_pCurrentCellControl->Hide();
        else
            bShowControl = TRUE;
    }

    if (HasWindow(m_pGridWnd)) {
        if (nDistance < nExtent && !area.IsRectEmpty()) {
            const int d = bForward ? -nDistance : nDistance;
            ScrollWindowEx(bRows ? 0 : d, bRows ? d : 0, area, area);
            CRect strip = area;
            if (bForward) {
                if (bRows)
                    strip.top = area.bottom - nDistance;
                else
                    strip.left = area.right - nDistance;
            } else {
                if (bRows)
                    strip.bottom = area.top + nDistance;
                else
                    strip.right = area.left + nDistance;
            }
            m_pGridWnd->InvalidateRect(&strip, TRUE);
            // A header cut by the right edge lays its title out in the part that showed: moved
            // whole, it would keep that layout where the full cell now shows.
            if (!bRows) {
                CRect headers = area;
                headers.bottom = std::min<LONG>(area.bottom, area.top + SumRowHeights(0, GetHeaderRows(), 0));
                if (headers.top < headers.bottom)
                    m_pGridWnd->InvalidateRect(&headers, TRUE);
            }
        } else {
            m_pGridWnd->InvalidateRect(&area, TRUE);
        }
    }
    // Shown once the cells have moved, so that it stands where its cell now is.
    if (bShowControl)
        m_pCurrentCellControl->Show();
    SetScrollPos(bRows ? SB_VERT : SB_HORZ, static_cast<int>(nNew), TRUE);
    if (!bForward && nNew == nFirst && (((bRows ? m_nVScrollMode : m_nHScrollMode) & ~kBit8) == 2))
        UpdateScrollbars(TRUE, FALSE);
    ToggleSelectionFrame();
    if (bRows)
        OnTopRowChanged();
    else
        OnLeftColChanged();
    if (!m_bNoImmediateUpdate && HasWindow(m_pGridWnd))
        m_pGridWnd->UpdateWindow();
    if (nDistance < nExtent && HasWindow(m_pGridWnd)) {
        for (const CGXRange& span : spansAcross) {
            CRect rect = CalcRangeRect(span.top, span.left, span.bottom, span.right);
            if (!rect.IntersectRect(rect, grid))
                continue;
            m_pGridWnd->InvalidateRect(&rect, FALSE);
            if (!m_bNoImmediateUpdate)
                m_pGridWnd->UpdateWindow();
        }
    }
    m_bScrolling = FALSE;
    m_nOldTopRow = m_nOldLeftCol = 0;
    return TRUE;
}

void CGXGridCore::CollectSpansAcrossFrozenEdge(BOOL bRows, ROWCOL nFirstScrolled, std::vector<CGXRange>& spans)
{
    // The edge lies between the last frozen row (column) and the first scrolled one; a span
    // reaches across it when it holds the one and goes on past it, or holds the first
    // scrolled one and starts before it.
    const ROWCOL nFrozen = bRows ? GetFrozenRows() : GetFrozenCols();
    const ROWCOL nCount = bRows ? GetColCount() : GetRowCount();
    const ROWCOL nLast = std::min(nCount, bRows ? GetLastVisibleCol() : GetLastVisibleRow());
    for (ROWCOL n = 0; n <= nLast && n != GX_INVALID; ++n) {
        if (n > (bRows ? GetFrozenCols() : GetFrozenRows()) && n < (bRows ? GetLeftCol() : GetTopRow()))
            n = bRows ? GetLeftCol() : GetTopRow();
        if (n > nLast)
            break;
        for (ROWCOL nAt : {nFrozen, nFirstScrolled}) {
            if (nAt == 0 && nFrozen == 0)
                continue;
            CGXRange span;
            if (FindCellSpan(bRows ? nAt : n, bRows ? n : nAt, span) == nullptr)
                continue;
            const ROWCOL nFrom = bRows ? span.top : span.left, nTo = bRows ? span.bottom : span.right;
            if (nFrom > nFrozen || nTo < nFirstScrolled || nFrom == nTo)
                continue;
            if (std::find(spans.begin(), spans.end(), span) == spans.end())
                spans.push_back(span);
        }
    }
}

BOOL CGXGridCore::Scroll(UINT direction, UINT nCount)
{
    if (!DoScroll(static_cast<int>(direction), nCount))
        return FALSE;
    if (HintsWanted(TRUE)) {
        if (direction == 1 || direction == 3)
            m_pUpdateHintImp->HintSetTopRow(this, m_nTopRow, GX_UPDATENOW);
        else
            m_pUpdateHintImp->HintSetLeftCol(this, m_nLeftCol, GX_UPDATENOW);
    }
    return TRUE;
}

void CGXGridCore::ScrollWindowEx(int dx, int dy, const CRect& rectScroll, const CRect& rectClip)
{
    if (!HasWindow(m_pGridWnd) || (dx == 0 && dy == 0))
        return;
    ::ScrollWindowEx(m_pGridWnd->GetSafeHwnd(), dx, dy, &rectScroll, &rectClip, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

BOOL CGXGridCore::ScrollCellInView(ROWCOL nRow, ROWCOL nCol, UINT nFlags, BOOL)
{
    if (m_pParam == nullptr)
        return FALSE;
    CRect grid;
    GetGridRect(&grid);
    const ROWCOL nRowCount = GetRowCount();
    const ROWCOL nColCount = GetColCount();
    if (nRow > nRowCount || nCol > nColCount)
        return FALSE;
    CGXRange span;
    if (FindCoveredSpan(nRow, nCol, span) != nullptr) {
        if (nRow <= GetFrozenRows() && span.bottom > GetFrozenRows())
            nRow = GetFrozenRows() + 1;
        if (nCol <= GetFrozenCols() && span.right > GetFrozenCols())
            nCol = GetFrozenCols() + 1;
    }
    ROWCOL nLastRow = 0, nLastCol = 0;
    CalcLastVisibleRowCol(grid, nLastRow, nLastCol);
    BOOL bSet = FALSE;
    const ROWCOL nTop = GetTopRow();
    if (nRow > GetFrozenRows() && nRow < nTop) {
        SetTopRow(nRow, nFlags, TRUE);
        bSet = TRUE;
    } else if (nRow > nTop && nRow >= nLastRow) {
        const BOOL bLastShown = nLastRow == nRowCount && CalcClientRectOfRange(nRowCount, 0, nRowCount, 0).bottom <= grid.bottom;
        if (!bLastShown) {
            if (m_pCurrentCellControl != nullptr)
                m_pCurrentCellControl->OnGridScroll(WM_VSCROLL, 0, 0);
            // The smallest top row at which the row is still wholly shown.
            int sum = GetRowHeight(nRow) + SumRowHeights(0, GetFrozenRows(), 0);
            ROWCOL r = nRow;
            while (r > GetFrozenRows() + 1 && sum + GetRowHeight(r - 1) <= grid.Height()) {
                --r;
                sum += GetRowHeight(r);
            }
            SetTopRow(std::min(r, nRowCount), nFlags, TRUE);
            bSet = TRUE;
        }
    }
    const ROWCOL nLeft = GetLeftCol();
    if (nCol > GetFrozenCols() && nCol < nLeft) {
        SetLeftCol(nCol, nFlags, TRUE);
        bSet = TRUE;
    } else if (nCol > nLeft && nCol >= nLastCol) {
        const BOOL bLastShown = nLastCol == nColCount && CalcClientRectOfRange(0, nColCount, 0, nColCount).right <= grid.right;
        if (!bLastShown) {
            if (m_pCurrentCellControl != nullptr)
                m_pCurrentCellControl->OnGridScroll(WM_HSCROLL, 0, 0);
            int sum = GetColWidth(nCol) + SumColWidths(0, GetFrozenCols(), 0);
            ROWCOL c = nCol;
            while (c > GetFrozenCols() + 1 && sum + GetColWidth(c - 1) <= grid.Width()) {
                --c;
                sum += GetColWidth(c);
            }
            SetLeftCol(std::min(c, nColCount), nFlags, TRUE);
            bSet = TRUE;
        }
    }
    if (bSet && (nFlags & (GX_UPDATENOW | GX_SMART)) && HasWindow(m_pGridWnd))
        m_pGridWnd->UpdateWindow();
    return bSet;
}

// ---- Scroll bars ----

int CGXGridCore::GetScrollBarMode(int nBar) const
{
    return nBar == SB_VERT ? m_nVScrollMode : nBar == SB_HORZ ? m_nHScrollMode : 0;
}

BOOL CGXGridCore::LockScrollbars(BOOL bLock)
{
    const BOOL bOld = m_bLockScrollbars;
    m_bLockScrollbars = bLock;
    if (!bLock)
        UpdateScrollbars(TRUE, FALSE);
    return bOld;
}

void CGXGridCore::SetScrollBarMode(int nBar, int nSetting, BOOL bRedraw)
{
    if (nBar == SB_VERT || nBar == SB_BOTH)
        m_nVScrollMode = nSetting;
    if (nBar == SB_HORZ || nBar == SB_BOTH)
        m_nHScrollMode = nSetting;
    if (!bRedraw || !HasWindow(m_pGridWnd))
        return;
    if (nSetting == 0 || (nSetting & 1))
        ::ShowScrollBar(m_pGridWnd->GetSafeHwnd(), nBar, nSetting != 0);
    else if (nSetting & 2)
        UpdateScrollbars(TRUE, FALSE);
}

HWND CGXGridCore::ScrollBarTarget(int nBar, int& nTargetBar)
{
    if (CWnd* pBar = GetScrollBarCtrl(nBar); pBar != nullptr && pBar->GetSafeHwnd() != nullptr) {
        nTargetBar = SB_CTL;
        return pBar->GetSafeHwnd();
    }
    nTargetBar = nBar;
    return HasWindow(m_pGridWnd) ? m_pGridWnd->GetSafeHwnd() : nullptr;
}

void CGXGridCore::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    if (GetScrollBarMode(nBar) == 0)
        return;
    int nTargetBar = nBar;
    HWND hWnd = ScrollBarTarget(nBar, nTargetBar);
    if (hWnd == nullptr)
        return;
    const BOOL bRows = nBar == SB_VERT;
    const int nScale = std::max(0, nMaxPos) / 32767 + 1;
    (bRows ? m_nVScrollFactor : m_nHScrollFactor) = nScale;
    // A scroll unit stands for nScale rows, at both ends and in between alike.
    const int nMinUnit = std::max(0, nMinPos) / nScale;
    const int nMaxUnit = std::max(0, nMaxPos) / nScale;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = std::min(nMinUnit, nMaxUnit);
    si.nMax = nMaxUnit;
    si.nPage = 0;
    if (GetScrollBarMode(nBar) & kBit8) {
        // A proportional thumb: the rows shown against all scrollable rows.
        const ROWCOL nCount = bRows ? GetRowCount() : GetColCount();
        const int nShown = static_cast<int>(nCount) + 1 - nMaxPos;
        si.nPage = static_cast<UINT>(std::max(1, nShown / nScale));
        si.nMax = nMaxUnit + static_cast<int>(si.nPage) - 1;
    }
    if (::SetScrollInfo(hWnd, nTargetBar, &si, bRedraw) == 0 && si.nMax != 0)
        ::SetScrollRange(hWnd, nTargetBar, si.nMin, si.nMax, bRedraw);
    m_bScrollRangeSet = TRUE;
}

void CGXGridCore::SetScrollPos(int nBar, int nPos, BOOL bRedraw)
{
    if (GetScrollBarMode(nBar) == 0)
        return;
    int nTargetBar = nBar;
    HWND hWnd = ScrollBarTarget(nBar, nTargetBar);
    if (hWnd == nullptr)
        return;
    const int nUnit = std::max(0, nPos) / std::max(1, GetScrollFactor(nBar));
    ::SetScrollPos(hWnd, nTargetBar, nUnit, bRedraw);
}

int CGXGridCore::GetScrollPos(int nBar)
{
    int nTargetBar = nBar;
    HWND hWnd = ScrollBarTarget(nBar, nTargetBar);
    if (hWnd == nullptr)
        return 0;
    return ScrollUnitToIndex(nBar, ::GetScrollPos(hWnd, nTargetBar));
}

void CGXGridCore::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos)
{
    int nMin = 0, nMax = 0;
    int nTargetBar = nBar;
    if (HWND hWnd = ScrollBarTarget(nBar, nTargetBar))
        ::GetScrollRange(hWnd, nTargetBar, &nMin, &nMax);
    if (lpMinPos != nullptr)
        *lpMinPos = nMin;
    if (lpMaxPos != nullptr)
        *lpMaxPos = ScrollUnitToIndex(nBar, nMax);
}

int CGXGridCore::ScrollUnitToIndex(int nBar, int nUnit)
{
    const int nFirst = static_cast<int>((nBar == SB_VERT ? GetFrozenRows() : GetFrozenCols()) + 1);
    return std::max(nFirst, nUnit * std::max(1, GetScrollFactor(nBar)));
}

void CGXGridCore::UpdateScrollbars(BOOL bNoInvalidate, BOOL bOnlyIfDimChanged)
{
    if (!m_bInitDone || m_bUpdateScrollbarsBusy || m_bLockScrollbars || m_pParam == nullptr || m_pParam->m_bLockUpdate)
        return;
    if (!HasWindow(m_pGridWnd))
        return;
    HWND hWnd = m_pGridWnd->GetSafeHwnd();
    if (m_bPrint) {
        ::ShowScrollBar(hWnd, SB_HORZ, FALSE);
        ::ShowScrollBar(hWnd, SB_VERT, FALSE);
        return;
    }
    CRect client;
    m_pGridWnd->GetClientRect(&client);
    if ((m_nVScrollMode == 0 && m_nHScrollMode == 0) || client.IsRectEmpty())
        return;
    const ROWCOL nRows = m_nVScrollMode != 0 ? GetRowCount() : 0;
    const ROWCOL nCols = m_nHScrollMode != 0 ? GetColCount() : 0;
    if (bOnlyIfDimChanged && nRows == m_nSBRowCount && nCols == m_nSBColCount)
        return;
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;

    const ROWCOL nFirstRow = GetFrozenRows() + 1;
    const ROWCOL nFirstCol = GetFrozenCols() + 1;
    const ROWCOL nMaxTop = CalcMaxTopRow();
    const ROWCOL nMaxLeft = CalcMaxLeftCol();
    if ((m_nVScrollMode & kBit8) && m_nTopRow > nFirstRow && m_nTopRow > nMaxTop) {
        SetTopRow(nMaxTop, GX_INVALIDATE, TRUE);
        m_bLayoutChanged = TRUE;
    }
    if ((m_nHScrollMode & kBit8) && m_nLeftCol > nFirstCol && m_nLeftCol > nMaxLeft) {
        SetLeftCol(nMaxLeft, GX_INVALIDATE, TRUE);
        m_bLayoutChanged = TRUE;
    }

    m_bUpdateScrollbarsBusy = TRUE;
    DWORD dwStyle = m_pGridWnd->GetStyle();
    BOOL bVChanged = FALSE, bHChanged = FALSE;
    const auto apply = [&](int nBar, int nMode, ROWCOL nFirst, ROWCOL nMax, ROWCOL nPos, DWORD dwBarStyle, BOOL& bChanged) {
        int nKind = nMode & ~kBit8;
        if (nKind == 2)
            nKind = (nPos <= nFirst && nMax <= nFirst) ? 0 : 1;
        int nTargetBar = nBar;
        const BOOL bOwnBar = ScrollBarTarget(nBar, nTargetBar) == hWnd;
        switch (nKind) {
        case 0:
            if (bOwnBar && (dwStyle & dwBarStyle)) {
                ::ShowScrollBar(hWnd, nBar, FALSE);
                bChanged = TRUE;
            }
            break;
        case 1:
            if (bOwnBar && !(dwStyle & dwBarStyle))
                bChanged = TRUE;
            SetScrollRange(nBar, static_cast<int>(nFirst), static_cast<int>(nMax), FALSE);
            SetScrollPos(nBar, static_cast<int>(nPos), FALSE);
            if (bOwnBar)
                ::ShowScrollBar(hWnd, nBar, TRUE);
            break;
        case 4:
            SetScrollRange(nBar, static_cast<int>(nFirst), static_cast<int>(nMax), FALSE);
            SetScrollPos(nBar, static_cast<int>(nPos), TRUE);
            break;
        default: break;
        }
    };
    if (m_nVScrollMode != 0)
        apply(SB_VERT, m_nVScrollMode, nFirstRow, nMaxTop, m_nTopRow, WS_VSCROLL, bVChanged);
    if (m_nHScrollMode != 0)
        apply(SB_HORZ, m_nHScrollMode, nFirstCol, nMaxLeft, m_nLeftCol, WS_HSCROLL, bHChanged);
    if (bVChanged || bHChanged) {
        // A bar that came or went changed the client area: the ranges follow the new size.
        BOOL bDummy = FALSE;
        dwStyle = m_pGridWnd->GetStyle();
        if (m_nVScrollMode != 0)
            apply(SB_VERT, m_nVScrollMode, nFirstRow, CalcMaxTopRow(), m_nTopRow, WS_VSCROLL, bDummy);
        if (m_nHScrollMode != 0)
            apply(SB_HORZ, m_nHScrollMode, nFirstCol, CalcMaxLeftCol(), m_nLeftCol, WS_HSCROLL, bDummy);
    }
    if (bVChanged || bHChanged)
        m_bLayoutChanged = TRUE;

    if (!bNoInvalidate && (bVChanged || bHChanged)) {
        m_pGridWnd->GetClientRect(&client);
        if (bHChanged) {
            CRect strip(client.left, client.bottom - 2 * GetSystemMetrics(SM_CYHSCROLL), client.right, client.bottom);
            m_pGridWnd->InvalidateRect(&strip, TRUE);
        }
        if (bVChanged) {
            CRect strip(client.right - 2 * GetSystemMetrics(SM_CXVSCROLL), client.top, client.right, client.bottom);
            m_pGridWnd->InvalidateRect(&strip, TRUE);
        }
    }
    if (m_nVScrollMode != 0)
        SetScrollPos(SB_VERT, static_cast<int>(GetTopRow()), TRUE);
    if (m_nHScrollMode != 0)
        SetScrollPos(SB_HORZ, static_cast<int>(GetLeftCol()), TRUE);
    m_bUpdateScrollbarsBusy = FALSE;
    m_nSBRowCount = nRows;
    m_nSBColCount = nCols;
}

// ---- Scroll-bar messages ----

BOOL CGXGridCore::HandleMouseWheel(UINT nFlags, short zDelta, CPoint)
{
    if (!m_bInitDone || m_pParam == nullptr || (nFlags & MK_CONTROL) != 0)
        return FALSE;
    // Shift turns the wheel sideways, as in other programs' sheets.
    return WheelScroll((nFlags & MK_SHIFT) == 0, zDelta);
}

BOOL CGXGridCore::HandleMouseHWheel(UINT nFlags, short zDelta, CPoint)
{
    if (!m_bInitDone || m_pParam == nullptr || (nFlags & MK_CONTROL) != 0)
        return FALSE;
    return WheelScroll(FALSE, -zDelta);
}

BOOL CGXGridCore::WheelScroll(BOOL bVert, int nDelta)
{
    // A turn the other way drops what was left of the last one.
    int& nPending = bVert ? m_nWheelRowDelta : m_nWheelColDelta;
    if ((nPending < 0 && nDelta > 0) || (nPending > 0 && nDelta < 0))
        nPending = 0;
    nPending += nDelta;
    const int nNotches = nPending / WHEEL_DELTA;
    nPending -= nNotches * WHEEL_DELTA;
    // The grid takes the wheel over it even when it has no more to scroll: the turn does not
    // scroll the window around it.
    if (nNotches == 0 || m_nDrawingLevel > 0)
        return TRUE;
    const UINT nSteps = static_cast<UINT>(nNotches < 0 ? -nNotches : nNotches);
    UINT nLines = 3;
    ::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0);
    if (nLines == WHEEL_PAGESCROLL) {
        for (UINT i = 0; i < nSteps; ++i)
            HandleScrollBar(bVert, nNotches > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
        return TRUE;
    }
    if (nLines == 0)
        return TRUE;
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->OnGridScroll(bVert ? WM_VSCROLL : WM_HSCROLL, nNotches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    const int nDirection = bVert ? (nNotches > 0 ? GX_UP : GX_DOWN) : (nNotches > 0 ? GX_LEFT : GX_RIGHT);
    if (bVert) {
        Scroll(static_cast<UINT>(nDirection), nSteps * nLines);
        return TRUE;
    }
    for (UINT i = 0; i < nSteps; ++i)
        if (!Scroll(static_cast<UINT>(nDirection), WheelColumnStep(nDirection == GX_RIGHT, nLines)))
            break;
    return TRUE;
}

ROWCOL CGXGridCore::WheelColumnStep(BOOL bForward, UINT nLines)
{
    // Columns are far wider than rows: a notch passes over as many as the wheel setting says
    // only while together they take no more than a sixth of the view's width, about what three
    // rows are of its height, so that the columns the user reads do not leave together and no
    // column is passed over before it was seen whole. Always at least one column, however wide.
    constexpr int kShareOfView = 6;
    CRect area;
    GetGridRect(&area);
    area.left = std::min<LONG>(area.right, area.left + SumColWidths(0, GetFrozenCols(), 0));
    const int nBudget = area.Width() / kShareOfView;
    const ROWCOL nFirst = GetFrozenCols() + 1, nCount = GetColCount();
    ROWCOL nStep = 0;
    int nPassed = 0;
    for (ROWCOL nCol = GetLeftCol(); nStep < nLines;) {
        // Forward the columns passed over start at the left column; back, at the one before it.
        if (bForward ? nCol > nCount : nCol <= nFirst)
            break;
        const ROWCOL nPassedCol = bForward ? nCol : nCol - 1;
        nPassed += GetColWidth(nPassedCol);
        if (nStep > 0 && nPassed > nBudget)
            break;
        ++nStep;
        nCol = bForward ? nCol + 1 : nCol - 1;
    }
    return std::max<ROWCOL>(nStep, 1);
}

BOOL CGXGridCore::HandleScrollBar(BOOL bVert, UINT nSBCode, UINT nPos)
{
    if (!m_bInitDone || m_nDrawingLevel > 0 || m_pParam == nullptr)
        return FALSE;
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->OnGridScroll(bVert ? WM_VSCROLL : WM_HSCROLL, nSBCode, nPos);
    const ROWCOL nCount = bVert ? GetRowCount() : GetColCount();
    const ROWCOL nFrozen = bVert ? GetFrozenRows() : GetFrozenCols();
    const ROWCOL nFirst = nFrozen + 1;
    if (nCount == 0 || nCount <= nFirst)
        return FALSE;
    const int nBack = bVert ? 1 : 2;
    const int nFore = bVert ? 3 : 4;
    const ROWCOL nTop = bVert ? GetTopRow() : GetLeftCol();
    const auto sizeOf = [&](ROWCOL n) { return bVert ? GetRowHeight(n) : GetColWidth(n); };
    CRect grid;
    GetGridRect(&grid);
    switch (nSBCode) {
    case SB_LINEUP:
    case SB_LINEDOWN: {
        const int nDir = nSBCode == SB_LINEUP ? nBack : nFore;
        Scroll(static_cast<UINT>(nDir), 1);
        if (m_bScrollbarAutoScroll && m_nAutoScrollDirection != nDir && !m_bAutoScroll && m_pAutoScrollPlugin != nullptr) {
            StartAutoScroll(FALSE, FALSE, FALSE);
            m_nAutoScrollDirection = nDir;
        }
        break;
    }
    case SB_PAGEUP: {
        if (nTop < 2)
            break;
        const int nAvail = (bVert ? grid.Height() - SumRowHeights(0, nFrozen, 0) : grid.Width() - SumColWidths(0, nFrozen, 0));
        int sum = sizeOf(nTop);
        ROWCOL n = 0;
        ROWCOL r = nTop;
        while (r > nFirst && r >= 2 && sum + sizeOf(r - 1) < nAvail) {
            --r;
            sum += sizeOf(r);
            ++n;
        }
        Scroll(static_cast<UINT>(nBack), std::max<ROWCOL>(1, n));
        break;
    }
    case SB_PAGEDOWN: {
        if (nCount <= nTop)
            break;
        const ROWCOL nLast = bVert ? CalcLastVisibleRow(grid) : CalcLastVisibleCol(grid);
        if (nLast < nTop)
            break;
        Scroll(static_cast<UINT>(nFore), std::max<ROWCOL>(1, nLast - nTop));
        break;
    }
    case SB_THUMBTRACK:
        if (!m_pParam->m_bThumbTrack)
            break;
        [[fallthrough]];
    case SB_THUMBPOSITION: {
        // The thumb's unit back to the row it stands for, the same arithmetic that set it.
        // The last unit stands for the last useful top row, whatever the scale left over.
        const int nBar = bVert ? SB_VERT : SB_HORZ;
        const ROWCOL nMaxTop = bVert ? CalcMaxTopRow() : CalcMaxLeftCol();
        const int nUnit = static_cast<int>(nPos);
        const int nMaxUnit = static_cast<int>(nMaxTop) / std::max(1, GetScrollFactor(nBar));
        const ROWCOL nTarget = nUnit >= nMaxUnit ? nMaxTop : std::min<ROWCOL>(nMaxTop, static_cast<ROWCOL>(ScrollUnitToIndex(nBar, nUnit)));
        if (nTarget < nTop)
            Scroll(static_cast<UINT>(nBack), nTop - nTarget);
        else if (nTarget > nTop)
            Scroll(static_cast<UINT>(nFore), nTarget - nTop);
        break;
    }
    case SB_TOP:
        if (nTop > 1)
            Scroll(static_cast<UINT>(nBack), nTop - 1);
        break;
    case SB_BOTTOM:
        if (nCount > nTop)
            Scroll(static_cast<UINT>(nFore), nCount - nTop);
        break;
    case SB_ENDSCROLL:
        if (m_nAutoScrollDirection != -1)
            StopAutoScroll();
        break;
    default: break;
    }
    return TRUE;
}

BOOL CGXGridCore::HandleVScroll(UINT nSBCode, UINT nPos)
{
    return HandleScrollBar(TRUE, nSBCode, nPos);
}

BOOL CGXGridCore::HandleHScroll(UINT nSBCode, UINT nPos)
{
    return HandleScrollBar(FALSE, nSBCode, nPos);
}

// ---- Auto-scrolling's request ----

BOOL CGXGridCore::StartAutoScroll(BOOL bCapture, BOOL bRows, BOOL bCols)
{
    m_bAutoScrollRows = bRows;
    m_bAutoScrollCols = bCols;
    m_bAutoScroll = TRUE;
    m_bAutoScrollStop = FALSE;
    m_nAutoScrollCounter = 0;
    if (!HasWindow(m_pGridWnd)) {
        m_bAutoScroll = FALSE;
        return FALSE;
    }
    if (bCapture)
        m_pGridWnd->SetCapture();
    m_nAutoScrollTimer = m_pGridWnd->SetTimer(kAutoScrollTimer, 10, nullptr);
    if (m_nAutoScrollTimer == 0) {
        m_bAutoScroll = FALSE;
        return FALSE;
    }
    m_pGridWnd->PostMessage(WM_TIMER, kAutoScrollTimer, 0);
    return TRUE;
}

void CGXGridCore::StopAutoScroll()
{
    if (m_nAutoScrollTimer != 0 && HasWindow(m_pGridWnd))
        m_pGridWnd->KillTimer(m_nAutoScrollTimer);
    m_nAutoScrollTimer = 0;
    m_nAutoScrollDirection = -1;
    m_bAutoScrollKeyMode = FALSE;
    m_bAutoScrollStop = TRUE;
    m_bAutoScroll = FALSE;
}
