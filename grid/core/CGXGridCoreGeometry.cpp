// The engine's row and column geometry: stored sizes relative to the standard font, size
// changes with their undo commands, sums of sizes, the mapping between absolute and client
// indices, cell and range rectangles and the last visible row and column.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreTarget.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXSizeCommands.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

namespace {
// Stored sizes are relative to the standard font: p pixels are stored as (1000 div h) × p. A
// font over 1000 pixels would make the factor 0 and every size a division by zero, so the
// factor never goes below 1.
LONG SizeFactor(int nFontSize)
{
    return nFontSize > 0 ? std::max<LONG>(1, 1000 / nFontSize) : 1;
}

// Adds without wrapping: sums of many rows must not turn negative.
int AddClamped(int a, int b)
{
    const long long n = static_cast<long long>(a) + b;
    return static_cast<int>(std::min<long long>(n, 0x3FFFFFFF));
}
} // namespace

// ---- Stored sizes ----

int CGXGridCore::StoredSizeToPixels(LONG nStored, BOOL bRow)
{
    const int nZoom = GetZoom();
    const int nUnzoomed = bRow ? m_dyHeightUnzoomed : m_dxWidthUnzoomed;
    if (m_bPrint || nZoom == 100 || nUnzoomed <= 0)
        return static_cast<int>(nStored / SizeFactor(bRow ? GetFontHeight() : GetFontWidth()));
    const long long n = static_cast<long long>(nStored / SizeFactor(nUnzoomed)) * nZoom / 100;
    return static_cast<int>(std::min<long long>(n, 0x3FFFFFFF));
}

LONG CGXGridCore::PixelsToStoredSize(int nPixels, BOOL bRow)
{
    const int nZoom = GetZoom();
    const int nUnzoomed = bRow ? m_dyHeightUnzoomed : m_dxWidthUnzoomed;
    if (m_bPrint || nZoom == 100 || nUnzoomed <= 0 || nZoom <= 0)
        return nPixels * SizeFactor(bRow ? GetFontHeight() : GetFontWidth());
    // Rounded up, so that a size set at a zoom reads back at least as large there.
    const long long nAt100 = (static_cast<long long>(nPixels) * 100 + nZoom - 1) / nZoom;
    return static_cast<LONG>(std::min<long long>(nAt100 * SizeFactor(nUnzoomed), 0x7FFFFFFF));
}

int CGXGridCore::GetDefaultRowHeight()
{
    if (m_pParam == nullptr || m_pParam->m_nDefaultRowHeight <= 0)
        return GetFontHeight() + 4; // the font and a margin above and below
    return StoredSizeToPixels(m_pParam->m_nDefaultRowHeight, TRUE);
}

int CGXGridCore::GetDefaultColWidth()
{
    if (m_pParam == nullptr || m_pParam->m_nDefaultColWidth <= 0) {
        // Ten characters, zoomed as the stored widths are.
        if (!m_bPrint && m_dxWidthUnzoomed > 0 && GetZoom() != 100)
            return m_dxWidthUnzoomed * 10 * GetZoom() / 100;
        return GetFontWidth() * 10;
    }
    return StoredSizeToPixels(m_pParam->m_nDefaultColWidth, FALSE);
}

int CGXGridCore::GetRowHeight(ROWCOL nRow)
{
    if (IsRowHidden(nRow))
        return 0;
    LONG nStored = 0;
    int nHeight;
    if (m_pParam != nullptr && m_pParam->m_RowHeights.Lookup(nRow, nStored))
        nHeight = StoredSizeToPixels(nStored, TRUE);
    else
        nHeight = GetDefaultRowHeight();
    // One scrolled row never needs more than the space below the frozen rows; when the frozen
    // rows alone fill the window that space is none, never negative.
    if (m_bFitRows && !m_bPrint && nRow > GetFrozenRows() && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr &&
        m_pGridWnd->IsWindowVisible()) {
        CRect rect;
        GetGridRect(&rect);
        const int nSpace = std::max(0, rect.Height() - SumRowHeights(0, GetFrozenRows(), 0));
        nHeight = std::min(nHeight, nSpace);
    }
    return nHeight;
}

int CGXGridCore::GetColWidth(ROWCOL nCol)
{
    if (IsColHidden(nCol))
        return 0;
    LONG nStored = 0;
    int nWidth;
    if (m_pParam != nullptr && m_pParam->m_ColWidths.Lookup(nCol, nStored))
        nWidth = StoredSizeToPixels(nStored, FALSE);
    else
        nWidth = GetDefaultColWidth();
    if (m_bFitCols && !m_bPrint && nCol > GetFrozenCols() && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr &&
        m_pGridWnd->IsWindowVisible()) {
        CRect rect;
        GetGridRect(&rect);
        const int nSpace = std::max(0, rect.Width() - SumColWidths(0, GetFrozenCols(), 0));
        nWidth = std::min(nWidth, nSpace);
    }
    return nWidth;
}

BOOL CGXGridCore::StoreDefaultRowHeight(int nHeight)
{
    if (m_pParam == nullptr || nHeight < 1)
        return FALSE;
    m_pParam->m_nDefaultRowHeight = PixelsToStoredSize(nHeight, TRUE);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreDefaultColWidth(int nWidth)
{
    if (m_pParam == nullptr || nWidth < 1)
        return FALSE;
    m_pParam->m_nDefaultColWidth = PixelsToStoredSize(nWidth, FALSE);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreColWidth(ROWCOL nCol, int nWidth)
{
    if (m_pParam == nullptr)
        return FALSE;
    if (nWidth < 0)
        m_pParam->m_ColWidths.RemoveKey(nCol);
    else
        m_pParam->m_ColWidths[nCol] = PixelsToStoredSize(nWidth, FALSE);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreRowHeight(ROWCOL nRow, int nHeight)
{
    if (m_pParam == nullptr)
        return FALSE;
    if (nHeight < 0)
        m_pParam->m_RowHeights.RemoveKey(nRow);
    else
        m_pParam->m_RowHeights[nRow] = PixelsToStoredSize(nHeight, TRUE);
    SetModifiedFlag(TRUE);
    return TRUE;
}

// ---- Size changes ----

BOOL CGXGridCore::SetRowHeight(ROWCOL nFromRow, ROWCOL nToRow, int nHeight, const int* anHeights, UINT nFlags, int nMode)
{
    if (nToRow == 0)
        nToRow = nFromRow;
    if (m_pParam == nullptr || nFromRow > nToRow)
        return FALSE;
    auto oldHeights = std::make_unique<std::vector<int>>();
    {
        CGXLongOperation op;
        for (ROWCOL nRow = nFromRow; nRow <= nToRow; ++nRow) {
            oldHeights->push_back(GetRowHeight(nRow));
            StoreRowHeight(nRow, anHeights != nullptr ? anHeights[nRow - nFromRow] : nHeight);
            op.DoMessages();
            if (nRow == GX_INVALID - 1)
                break;
        }
    }
    UpdateChangedRowHeights(nFromRow, nToRow, oldHeights->data(), nFlags, TRUE);
    if (m_pUndoImp != nullptr && nMode != 1 && m_pParam->IsEnableUndo()) {
        AddCommand(new CGXSetRowHeightCmd(nFromRow, nToRow, std::move(*oldHeights)), nMode);
        if (nMode == 2 || nMode == 3)
            ShowCommandPosition(nFromRow, GetLeftCol(), FALSE);
    }
    return TRUE;
}

BOOL CGXGridCore::SetColWidth(ROWCOL nFromCol, ROWCOL nToCol, int nWidth, const int* anWidths, UINT nFlags, int nMode)
{
    if (nToCol == 0)
        nToCol = nFromCol;
    if (m_pParam == nullptr || nFromCol > nToCol)
        return FALSE;
    auto oldWidths = std::make_unique<std::vector<int>>();
    {
        CGXLongOperation op;
        for (ROWCOL nCol = nFromCol; nCol <= nToCol; ++nCol) {
            oldWidths->push_back(GetColWidth(nCol));
            StoreColWidth(nCol, anWidths != nullptr ? anWidths[nCol - nFromCol] : nWidth);
            op.DoMessages();
            if (nCol == GX_INVALID - 1)
                break;
        }
    }
    UpdateChangedColWidths(nFromCol, nToCol, oldWidths->data(), nFlags, TRUE);
    if (m_pUndoImp != nullptr && nMode != 1 && m_pParam->IsEnableUndo()) {
        AddCommand(new CGXSetColWidthCmd(nFromCol, nToCol, std::move(*oldWidths)), nMode);
        if (nMode == 2 || nMode == 3)
            ShowCommandPosition(GetTopRow(), nFromCol, FALSE);
    }
    return TRUE;
}

BOOL CGXGridCore::SetDefaultRowHeight(int nHeight, UINT nFlags, int nMode)
{
    const int nOld = GetDefaultRowHeight();
    if (!StoreDefaultRowHeight(nHeight))
        return FALSE;
    UpdateChangedRowHeights(1, std::max<ROWCOL>(1, GetRowCount()), nullptr, nFlags, TRUE);
    if (m_pUndoImp != nullptr && nMode != 1 && m_pParam->IsEnableUndo())
        AddCommand(new CGXSetDefaultRowHeightCmd(nOld), nMode);
    return TRUE;
}

BOOL CGXGridCore::SetDefaultColWidth(int nWidth, UINT nFlags, int nMode)
{
    const int nOld = GetDefaultColWidth();
    if (!StoreDefaultColWidth(nWidth))
        return FALSE;
    UpdateChangedColWidths(1, std::max<ROWCOL>(1, GetColCount()), nullptr, nFlags, TRUE);
    if (m_pUndoImp != nullptr && nMode != 1 && m_pParam->IsEnableUndo())
        AddCommand(new CGXSetDefaultColWidthCmd(nOld), nMode);
    return TRUE;
}

void CGXGridCore::UpdateChangedRowHeights(ROWCOL nFromRow, ROWCOL nToRow, const int* anOldHeights, UINT nFlags, BOOL bCreateHint)
{
    m_nLastVisibleRow = GX_INVALID;
    // Floating texts are laid out in the rows' new sizes before they are drawn again.
    DelayFloatCells(CGXRange().SetRows(nFromRow, std::max(nFromRow, nToRow)));
    ROWCOL nRow, nCol;
    if (GetRowHeight(nFromRow) == 0 && !m_bPrint && GetCurrentCell(nRow, nCol) && nRow >= nFromRow && nRow <= nToRow &&
        m_pCurrentCellControl != nullptr) {
        // The current cell's row went out of sight: keep its edit and hide its control.
        SyncCurrentCell(TRUE, 0, FALSE);
        m_pCurrentCellControl->Hide();
    }
    if (m_pParam != nullptr && !m_pParam->m_bNoRedraw) {
        if (auto* pOptimized = dynamic_cast<CGXAbstractGridOptimizedUpdateImp*>(m_pOptimizedUpdateImp))
            pOptimized->UpdateChangedRowHeights(this, nFromRow, nToRow, anOldHeights, nFlags);
        else
            Redraw(nFlags, FALSE);
    }
    // The sizes live in the shared parameter object: the other views replay the update (their
    // current cell may have gone out of sight too).
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateChangedRowHeights(this, nFromRow, nToRow, const_cast<int*>(anOldHeights), nFlags);
}

void CGXGridCore::UpdateChangedColWidths(ROWCOL nFromCol, ROWCOL nToCol, const int* anOldWidths, UINT nFlags, BOOL bCreateHint)
{
    m_nLastVisibleCol = GX_INVALID;
    // A text floats on over as many columns as it needs: a changed width changes the spans of
    // the changed columns and of text starting in the column after them.
    const ROWCOL nLastCol = std::max(nFromCol, nToCol);
    DelayFloatCells(CGXRange().SetCols(nFromCol, nLastCol < GX_INVALID - 1 ? nLastCol + 1 : nLastCol));
    ROWCOL nRow, nCol;
    if (GetColWidth(nFromCol) == 0 && !m_bPrint && GetCurrentCell(nRow, nCol) && nCol >= nFromCol && nCol <= nToCol &&
        m_pCurrentCellControl != nullptr) {
        SyncCurrentCell(TRUE, 0, FALSE);
        m_pCurrentCellControl->Hide();
    }
    if (m_pParam != nullptr && !m_pParam->m_bNoRedraw) {
        if (auto* pOptimized = dynamic_cast<CGXAbstractGridOptimizedUpdateImp*>(m_pOptimizedUpdateImp))
            pOptimized->UpdateChangedColWidths(this, nFromCol, nToCol, anOldWidths, nFlags);
        else
            Redraw(nFlags, FALSE);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateChangedColWidths(this, nFromCol, nToCol, const_cast<int*>(anOldWidths), nFlags);
}

// ---- Sums ----

void CGXGridCore::GetRowHeights(ROWCOL nFrom, ROWCOL nTo, CArray<int, int>& heights)
{
    heights.RemoveAll();
    nTo = std::max(nFrom, nTo);
    for (ROWCOL n = nFrom; n <= nTo; ++n) {
        heights.Add(GetRowHeight(n));
        if (n == GX_INVALID - 1)
            break;
    }
}

void CGXGridCore::GetColWidths(ROWCOL nFrom, ROWCOL nTo, CArray<int, int>& widths)
{
    widths.RemoveAll();
    nTo = std::max(nFrom, nTo);
    for (ROWCOL n = nFrom; n <= nTo; ++n) {
        widths.Add(GetColWidth(n));
        if (n == GX_INVALID - 1)
            break;
    }
}

int CGXGridCore::SumRowHeights(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    for (ROWCOL n = nFrom; n <= nTo && n != GX_INVALID; ++n) {
        if (nLimit != 0 && nSum > nLimit)
            break;
        nSum = AddClamped(nSum, GetRowHeight(n));
    }
    return nSum;
}

int CGXGridCore::SumColWidths(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    for (ROWCOL n = nFrom; n <= nTo && n != GX_INVALID; ++n) {
        if (nLimit != 0 && nSum > nLimit)
            break;
        nSum = AddClamped(nSum, GetColWidth(n));
    }
    return nSum;
}

int CGXGridCore::SumClientRowHeights(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    const ROWCOL nCount = GetRowCount();
    for (ROWCOL n = nFrom; n <= nTo && n != GX_INVALID; ++n) {
        if (nLimit != 0 && nSum > nLimit)
            break;
        const ROWCOL nRow = ClientRowToRow(n);
        if (nRow > nCount)
            break;
        nSum = AddClamped(nSum, GetRowHeight(nRow));
    }
    return nSum;
}

int CGXGridCore::SumClientColWidths(ROWCOL nFrom, ROWCOL nTo, int nLimit)
{
    int nSum = 0;
    const ROWCOL nCount = GetColCount();
    for (ROWCOL n = nFrom; n <= nTo && n != GX_INVALID; ++n) {
        if (nLimit != 0 && nSum > nLimit)
            break;
        const ROWCOL nCol = ClientColToCol(n);
        if (nCol > nCount)
            break;
        nSum = AddClamped(nSum, GetColWidth(nCol));
    }
    return nSum;
}

int CGXGridCore::CalcClientRowTop(ROWCOL nClientRow)
{
    CRect rect;
    GetGridRect(&rect);
    return nClientRow == 0 ? rect.top : rect.top + SumClientRowHeights(0, nClientRow - 1, 0);
}

int CGXGridCore::CalcClientColLeft(ROWCOL nClientCol)
{
    CRect rect;
    GetGridRect(&rect);
    return nClientCol == 0 ? rect.left : rect.left + SumClientColWidths(0, nClientCol - 1, 0);
}

CRect CGXGridCore::CalcAreaBelowRow(ROWCOL nRow)
{
    CRect rect;
    GetGridRect(&rect);
    const CRect cell = CalcClientRectOfRange(nRow, 0, nRow, 0);
    rect.top = nRow == 0 ? rect.top + GetRowHeight(0) : cell.bottom;
    return rect;
}

CRect CGXGridCore::CalcAreaRightOfCol(ROWCOL nCol)
{
    CRect rect;
    GetGridRect(&rect);
    const CRect cell = CalcClientRectOfRange(0, nCol, 0, nCol);
    rect.left = nCol == 0 ? rect.left + GetColWidth(0) : cell.right;
    return rect;
}

// ---- Points to client indices ----

ROWCOL CGXGridCore::CalcClientRowFromPt(CPoint pt, int* pTop)
{
    CRect rect;
    GetGridRect(&rect);
    const ROWCOL nCount = GetRowCount();
    int y = rect.top;
    if (pTop != nullptr)
        *pTop = y;
    ROWCOL i = 0;
    // Rows fill the window at most: stop at its bottom, so a grid of a million rows costs no
    // more than one screen.
    while (y <= pt.y && ClientRowToRow(i) <= nCount) {
        if (pTop != nullptr)
            *pTop = y;
        y = AddClamped(y, GetRowHeight(ClientRowToRow(i)));
        ++i;
        if (i == GX_INVALID)
            break;
    }
    if (y == rect.top && ClientRowToRow(i) <= nCount)
        return 0;
    return y < pt.y ? GX_INVALID : i - 1;
}

ROWCOL CGXGridCore::CalcClientColFromPt(CPoint pt, int* pLeft)
{
    CRect rect;
    GetGridRect(&rect);
    const ROWCOL nCount = GetColCount();
    int x = rect.left;
    if (pLeft != nullptr)
        *pLeft = x;
    ROWCOL i = 0;
    while (x <= pt.x && ClientColToCol(i) <= nCount) {
        if (pLeft != nullptr)
            *pLeft = x;
        x = AddClamped(x, GetColWidth(ClientColToCol(i)));
        ++i;
        if (i == GX_INVALID)
            break;
    }
    if (x == rect.left && ClientColToCol(i) <= nCount)
        return 0;
    return x < pt.x ? GX_INVALID : i - 1;
}

ROWCOL CGXGridCore::CalcLastVisibleRowEx(const CRect& rect, BOOL& bLastRowVisible)
{
    const ROWCOL nClient = CalcClientRowFromPt(CPoint(rect.left, rect.bottom));
    bLastRowVisible = nClient == GX_INVALID;
    return bLastRowVisible ? GetRowCount() : ClientRowToRow(nClient);
}

ROWCOL CGXGridCore::CalcLastVisibleColEx(const CRect& rect, BOOL& bLastColVisible)
{
    const ROWCOL nClient = CalcClientColFromPt(CPoint(rect.right, rect.top));
    bLastColVisible = nClient == GX_INVALID;
    return bLastColVisible ? GetColCount() : ClientColToCol(nClient);
}

ROWCOL CGXGridCore::CalcLastVisibleRow(const CRect& rect)
{
    BOOL bDummy;
    return CalcLastVisibleRowEx(rect, bDummy);
}

ROWCOL CGXGridCore::CalcLastVisibleCol(const CRect& rect)
{
    BOOL bDummy;
    return CalcLastVisibleColEx(rect, bDummy);
}

ROWCOL CGXGridCore::CalcLastVisibleRowCol(const CRect& rect, ROWCOL& nLastRow, ROWCOL& nLastCol)
{
    nLastRow = CalcLastVisibleRow(rect);
    nLastCol = CalcLastVisibleCol(rect);
    return nLastCol;
}

ROWCOL CGXGridCore::GetLastVisibleRow()
{
    if (m_nLastVisibleRow == GX_INVALID || m_bPrint) {
        CRect rect;
        GetGridRect(&rect);
        const ROWCOL nRow = CalcLastVisibleRow(rect);
        if (m_bPrint)
            return nRow;
        m_nLastVisibleRow = nRow;
    }
    return m_nLastVisibleRow;
}

ROWCOL CGXGridCore::GetLastVisibleCol()
{
    if (m_nLastVisibleCol == GX_INVALID || m_bPrint) {
        CRect rect;
        GetGridRect(&rect);
        const ROWCOL nCol = CalcLastVisibleCol(rect);
        if (m_bPrint)
            return nCol;
        m_nLastVisibleCol = nCol;
    }
    return m_nLastVisibleCol;
}

// ---- Range rectangles ----

CRect CGXGridCore::CalcClientRectOfRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bNoLimit)
{
    if (nTop > nBottom)
        std::swap(nTop, nBottom);
    if (nLeft > nRight)
        std::swap(nLeft, nRight);
    const ROWCOL nFrozenRows = GetFrozenRows();
    const ROWCOL nFrozenCols = GetFrozenCols();
    CRect grid;
    GetGridRect(&grid);
    const int nLimitX = bNoLimit ? 0 : std::max(1, grid.right * 2);
    const int nLimitY = bNoLimit ? 0 : std::max(1, grid.bottom * 2);
    const ROWCOL nTopRow = GetTopRow();
    const ROWCOL nLeftCol = GetLeftCol();

    if ((nLeft > nFrozenCols && nRight < nLeftCol) || (nTop > nFrozenRows && nBottom < nTopRow))
        return CRect(0, 0, 0, 0);

    ROWCOL nClientLeft = nLeft == 0 ? 0 : ColToClientCol(nLeft);
    if (nLeft != 0 && nClientLeft == 0)
        nClientLeft = ColToClientCol(nLeftCol);
    ROWCOL nClientTop = nTop == 0 ? 0 : RowToClientRow(nTop);
    if (nTop != 0 && nClientTop == 0)
        nClientTop = RowToClientRow(nTopRow);

    // A range that starts past the last row or column on the screen has no rectangle there.
    // These are rows and columns, not client indices: scrolled down, a client index is far
    // smaller than its row, and every cell below the screen had its height summed up to two
    // screens' worth, each time it was redrawn.
    if (!m_bPrint) {
        if (nTop > nFrozenRows && nTop > GetLastVisibleRow())
            return CRect(0, 0, 0, 0);
        if (nLeft > nFrozenCols && nLeft > GetLastVisibleCol())
            return CRect(0, 0, 0, 0);
    }

    ROWCOL nClientRight = nRight;
    if (nRight > nFrozenCols)
        nClientRight = std::max(ColToClientCol(nRight), nFrozenCols);
    ROWCOL nClientBottom = nBottom;
    if (nBottom > nFrozenRows)
        nClientBottom = std::max(RowToClientRow(nBottom), nFrozenRows);

    CRect rect;
    rect.left = grid.left + (nClientLeft == 0 ? 0 : SumClientColWidths(0, nClientLeft - 1, nLimitX));
    rect.top = grid.top + (nClientTop == 0 ? 0 : SumClientRowHeights(0, nClientTop - 1, nLimitY));
    rect.right = nClientRight < nClientLeft ? rect.left : rect.left + SumClientColWidths(nClientLeft, nClientRight, nLimitX);
    rect.bottom = nClientBottom < nClientTop ? rect.top : rect.top + SumClientRowHeights(nClientTop, nClientBottom, nLimitY);
    return rect;
}

CRect CGXGridCore::CalcRangeRect(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXRange range(std::min(nTop, nBottom), std::min(nLeft, nRight), std::max(nTop, nBottom), std::max(nLeft, nRight));
    AddCoveredCellsToRange(range);
    return CalcClientRectOfRange(range.top, range.left, range.bottom, range.right, FALSE);
}

CRect CGXGridCore::CalcRangeRectWithSpans(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    // Merged and floating spans widen the range through the covered-cell span of each corner;
    // their features add to the covered cells what they spread over.
    return CalcRangeRect(nTop, nLeft, nBottom, nRight);
}

// ---- Client indices ----

ROWCOL CGXGridCore::RowToClientRow(ROWCOL nRow)
{
    const ROWCOL nFrozen = GetFrozenRows();
    const ROWCOL nTop = GetTopRow();
    if (nRow > nFrozen && nRow < nTop && nRow != GX_INVALID)
        return 0;
    if (nRow == GX_INVALID || nRow <= nFrozen)
        return nRow;
    return nRow - std::max<ROWCOL>(nTop > nFrozen ? nTop - nFrozen : 0, 1) + 1;
}

ROWCOL CGXGridCore::ColToClientCol(ROWCOL nCol)
{
    const ROWCOL nFrozen = GetFrozenCols();
    const ROWCOL nLeft = GetLeftCol();
    if (nCol > nFrozen && nCol < nLeft && nCol != GX_INVALID)
        return 0;
    if (nCol == GX_INVALID || nCol <= nFrozen)
        return nCol;
    return nCol - std::max<ROWCOL>(nLeft > nFrozen ? nLeft - nFrozen : 0, 1) + 1;
}

ROWCOL CGXGridCore::ClientRowToRow(ROWCOL nClientRow)
{
    const ROWCOL nFrozen = GetFrozenRows();
    if (nClientRow == GX_INVALID || nClientRow <= nFrozen)
        return nClientRow;
    const ROWCOL nTop = GetTopRow();
    const ROWCOL d = nTop > nFrozen ? nTop - nFrozen : 0;
    if (d < 2)
        return nClientRow;
    const ROWCOL nRow = nClientRow + d - 1;
    return nRow < nClientRow ? GX_INVALID : nRow; // past the last number there is no row
}

ROWCOL CGXGridCore::ClientColToCol(ROWCOL nClientCol)
{
    const ROWCOL nFrozen = GetFrozenCols();
    if (nClientCol == GX_INVALID || nClientCol <= nFrozen)
        return nClientCol;
    const ROWCOL nLeft = GetLeftCol();
    const ROWCOL d = nLeft > nFrozen ? nLeft - nFrozen : 0;
    if (d < 2)
        return nClientCol;
    const ROWCOL nCol = nClientCol + d - 1;
    return nCol < nClientCol ? GX_INVALID : nCol;
}

BOOL CGXGridCore::CalcClientRowColFromPt(CPoint pt, ROWCOL& nClientRow, ROWCOL& nClientCol, CRect* pRectCell)
{
    if (pt.x < 0 || pt.y < 0) {
        nClientRow = nClientCol = 0;
        return FALSE;
    }
    int nLeft = 0, nTop = 0;
    nClientCol = CalcClientColFromPt(pt, &nLeft);
    nClientRow = CalcClientRowFromPt(pt, &nTop);
    if (nClientRow == GX_INVALID || nClientCol == GX_INVALID)
        return FALSE;
    if (pRectCell != nullptr)
        pRectCell->SetRect(nLeft, nTop, nLeft + GetColWidth(ClientColToCol(nClientCol)), nTop + GetRowHeight(ClientRowToRow(nClientRow)));
    return TRUE;
}

BOOL CGXGridCore::CalcClientRowColFromPtClamped(CPoint pt, ROWCOL& nClientRow, ROWCOL& nClientCol)
{
    BOOL bResult = CalcClientRowColFromPt(pt, nClientRow, nClientCol);
    if (!bResult) {
        if (nClientRow == GX_INVALID) {
            nClientRow = RowToClientRow(GetRowCount());
            bResult = TRUE;
        }
        if (nClientCol == GX_INVALID) {
            nClientCol = ColToClientCol(GetColCount());
            bResult = TRUE;
        }
    }
    return bResult;
}

CRect& CGXGridCore::CalcClientCellRect(CRect& rect, ROWCOL nClientRow, ROWCOL nClientCol)
{
    CRect grid;
    GetGridRect(&grid);
    m_nCalcY = grid.top;
    m_nCalcX = grid.left;
    m_nCalcClientRow = 0;
    m_nCalcClientCol = 0;
    return CalcNextClientCellRect(rect, nClientRow, nClientCol);
}

CRect& CGXGridCore::CalcNextClientCellRect(CRect& rect, ROWCOL nClientRow, ROWCOL nClientCol)
{
    CRect grid;
    GetGridRect(&grid);
    const int nLimitY = grid.bottom * 2;
    const int nLimitX = grid.right * 2;
    if (m_nCalcClientRow > nClientRow) {
        m_nCalcY = grid.top;
        m_nCalcClientRow = 0;
    }
    if (m_nCalcClientCol > nClientCol) {
        m_nCalcX = grid.left;
        m_nCalcClientCol = 0;
    }
    while (m_nCalcClientRow < nClientRow && m_nCalcY <= nLimitY) {
        m_nCalcY = AddClamped(m_nCalcY, GetRowHeight(ClientRowToRow(m_nCalcClientRow)));
        ++m_nCalcClientRow;
    }
    while (m_nCalcClientCol < nClientCol && m_nCalcX <= nLimitX) {
        m_nCalcX = AddClamped(m_nCalcX, GetColWidth(ClientColToCol(m_nCalcClientCol)));
        ++m_nCalcClientCol;
    }
    rect.SetRect(m_nCalcX, m_nCalcY, m_nCalcX + GetColWidth(ClientColToCol(nClientCol)), m_nCalcY + GetRowHeight(ClientRowToRow(nClientRow)));
    return rect;
}

void CGXGridCore::SetHideHeaders(BOOL bHide)
{
    if (m_bHideHeaders == bHide)
        return;
    m_bHideHeaders = bHide;
    // Every position right of and below the headers moves.
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (m_bInitDone)
        Redraw(GX_INVALIDATE, FALSE);
}
