#include "grid/data/CGXRange.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <algorithm>

CGXRange::CGXRange(const CGXRange* pRange)
{
    if (pRange != nullptr)
        *this = *pRange;
}

CGXRange::CGXRange(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight)
{
    SetCells(nTop, nLeft, nBottom, nRight);
}

CGXRange& CGXRange::SetCells(DWORD nRow1, DWORD nCol1, DWORD nRow2, DWORD nCol2)
{
    m_nType = GX_CELLS;
    top = std::min(nRow1, nRow2);
    bottom = std::max(nRow1, nRow2);
    left = std::min(nCol1, nCol2);
    right = std::max(nCol1, nCol2);
    m_bValid = TRUE;
    return *this;
}

CGXRange& CGXRange::SetRows(DWORD nRow1, DWORD nRow2)
{
    m_nType = GX_ROWS;
    top = std::min(nRow1, nRow2);
    bottom = std::max(nRow1, nRow2);
    left = right = 0;
    m_bValid = TRUE;
    return *this;
}

CGXRange& CGXRange::SetCols(DWORD nCol1, DWORD nCol2)
{
    m_nType = GX_COLS;
    left = std::min(nCol1, nCol2);
    right = std::max(nCol1, nCol2);
    top = bottom = 0;
    m_bValid = TRUE;
    return *this;
}

CGXRange& CGXRange::SetTable()
{
    m_nType = GX_TABLE;
    m_bValid = TRUE;
    return *this;
}

BOOL CGXRange::GetFirstCell(DWORD& nRow, DWORD& nCol) const
{
    if (!IsValid())
        return FALSE;
    nRow = top;
    nCol = left;
    return TRUE;
}

BOOL CGXRange::GetNextCell(DWORD& nRow, DWORD& nCol, BOOL bAlongRow) const
{
    if (!IsValid())
        return FALSE;
    if (bAlongRow) {
        if (++nCol > right) {
            if (++nRow > bottom)
                nRow = nCol = 0;
            else
                nCol = left;
        }
    } else {
        if (++nRow > bottom) {
            if (++nCol > right)
                nRow = nCol = 0;
            else
                nRow = top;
        }
    }
    return nRow > 0 || nCol > 0;
}

CGXRange& CGXRange::ExpandToCells(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight)
{
    switch (m_nType) {
    case GX_ROWS:
        left = nLeft;
        right = nRight;
        break;
    case GX_COLS:
        top = nTop;
        bottom = nBottom;
        break;
    case GX_TABLE:
        top = nTop;
        left = nLeft;
        bottom = nBottom;
        right = nRight;
        break;
    default:
        break;
    }
    m_nType = GX_CELLS;
    return *this;
}

BOOL CGXRange::ContainsCell(DWORD nRow, DWORD nCol) const
{
    if (!IsValid())
        return FALSE;
    const bool inRows = top <= nRow && nRow <= bottom;
    const bool inCols = left <= nCol && nCol <= right;
    switch (m_nType) {
    case GX_TABLE:
        return TRUE;
    case GX_ROWS:
        return inRows;
    case GX_COLS:
        return inCols;
    default:
        return inRows && inCols;
    }
}

BOOL CGXRange::SetIntersection(const CGXRange& a, const CGXRange& b)
{
    CGXRange r;
    if (a.IsTable() || b.IsTable()) {
        r = a.IsTable() ? b : a;
        r.m_nType = a.IsTable() ? b.m_nType : a.m_nType;
        r.m_bValid = TRUE;
    } else if ((a.IsRows() && b.IsCols()) || (a.IsCols() && b.IsRows())) {
        const CGXRange& rows = a.IsRows() ? a : b;
        const CGXRange& cols = a.IsRows() ? b : a;
        r.m_nType = GX_CELLS;
        r.top = rows.top;
        r.bottom = rows.bottom;
        r.left = cols.left;
        r.right = cols.right;
        r.m_bValid = TRUE;
    } else if (a.IsCols() || b.IsCols()) {
        r.left = std::max(a.left, b.left);
        r.right = std::min(a.right, b.right);
        const CGXRange& other = b.IsCols() ? a : b;
        r.top = other.top;
        r.bottom = other.bottom;
        r.m_nType = a.IsCols() ? b.m_nType : a.m_nType;
        r.m_bValid = r.right >= r.left;
    } else if (a.IsRows() || b.IsRows()) {
        r.top = std::max(a.top, b.top);
        r.bottom = std::min(a.bottom, b.bottom);
        const CGXRange& other = b.IsRows() ? a : b;
        r.left = other.left;
        r.right = other.right;
        r.m_nType = a.IsRows() ? b.m_nType : a.m_nType;
        r.m_bValid = r.bottom >= r.top;
    } else {
        r.m_nType = GX_CELLS;
        r.top = std::max(a.top, b.top);
        r.left = std::max(a.left, b.left);
        r.bottom = std::min(a.bottom, b.bottom);
        r.right = std::min(a.right, b.right);
        r.m_bValid = r.top <= r.bottom && r.left <= r.right;
    }
    *this = r;
    return m_bValid;
}

BOOL CGXRange::SetUnion(const CGXRange& a, const CGXRange& b)
{
    if (a.IsTable() || b.IsTable() || (a.IsRows() && b.IsCols()) || (a.IsCols() && b.IsRows()))
        SetTable();
    else if (a.IsCols() || b.IsCols())
        SetCols(std::min(a.left, b.left), std::max(a.right, b.right));
    else if (a.IsRows() || b.IsRows())
        SetRows(std::min(a.top, b.top), std::max(a.bottom, b.bottom));
    else
        SetCells(std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
                 std::max(a.right, b.right));
    return m_bValid;
}

CArchive& operator<<(CArchive& ar, const CGXRange& range)
{
    ar << range.top << range.left << range.bottom << range.right;
    ar << static_cast<BYTE>(range.m_nType) << static_cast<BYTE>(range.m_bValid);
    return ar;
}

CArchive& operator>>(CArchive& ar, CGXRange& range)
{
    DWORD nTop = 0, nLeft = 0, nBottom = 0, nRight = 0;
    BYTE nKind = 0, bValid = 0;
    ar >> nTop >> nLeft >> nBottom >> nRight >> nKind >> bValid;
    if (nKind > GX_TABLE)
        AfxThrowArchiveException(CArchiveException::genericException);
    // Inverted bounds never come from a setter; a valid range with them is a forged record.
    const bool rowsHold = nKind == GX_CELLS || nKind == GX_ROWS;
    const bool colsHold = nKind == GX_CELLS || nKind == GX_COLS;
    if (bValid != 0 && ((rowsHold && nTop > nBottom) || (colsHold && nLeft > nRight)))
        AfxThrowArchiveException(CArchiveException::genericException);
    range.top = nTop;
    range.left = nLeft;
    range.bottom = nBottom;
    range.right = nRight;
    range.m_nType = nKind;
    range.m_bValid = bValid;
    return ar;
}
