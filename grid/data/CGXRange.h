// CGXRange: a block of cells: a rectangle of cells, a band of whole rows, a band of whole
// columns, or the whole table. A plain value, copied freely.
#pragma once

#include "platform/core/Types.h"

class CArchive;

// Range kinds, in the numbering that archives store.
enum : DWORD {
    GX_CELLS = 0,
    GX_ROWS = 1,
    GX_COLS = 2,
    GX_TABLE = 3,
};

// Row and column numbers are unsigned 32-bit; this one means none, or beyond the last.
inline constexpr DWORD GX_INVALID = 0xFFFFFFFFu;

class CGXRange {
public:
    CGXRange() = default;
    CGXRange(const CGXRange&) = default;
    CGXRange& operator=(const CGXRange&) = default;
    // A copy of the pointed-to range; a null pointer gives the default (invalid) range.
    explicit CGXRange(const CGXRange* pRange);
    CGXRange(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight);

    CGXRange& SetCells(DWORD nRow1, DWORD nCol1, DWORD nRow2, DWORD nCol2);
    CGXRange& SetRows(DWORD nRow1, DWORD nRow2);
    CGXRange& SetCols(DWORD nCol1, DWORD nCol2);
    // Leaves the bounds as they are: they mean nothing for the whole table.
    CGXRange& SetTable();

    BOOL GetFirstCell(DWORD& nRow, DWORD& nCol) const;
    // Steps to the next cell along the row (bAlongRow) or down the column; ends with (0, 0)
    // and FALSE. Bounds are used as stored, so bands must be expanded to cells first.
    BOOL GetNextCell(DWORD& nRow, DWORD& nCol, BOOL bAlongRow = TRUE) const;
    // Turns a band into cells, taking the missing bounds from the arguments.
    CGXRange& ExpandToCells(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight);
    BOOL ContainsCell(DWORD nRow, DWORD nCol) const;

    BOOL SetIntersection(const CGXRange& a, const CGXRange& b);
    BOOL SetUnion(const CGXRange& a, const CGXRange& b);

    BOOL IsValid() const { return m_bValid != 0; }
    BOOL IsCells() const { return m_nType == GX_CELLS; }
    BOOL IsRows() const { return m_nType == GX_ROWS; }
    BOOL IsCols() const { return m_nType == GX_COLS; }
    BOOL IsTable() const { return m_nType == GX_TABLE; }
    DWORD GetHeight() const { return bottom - top + 1; }
    DWORD GetWidth() const { return right - left + 1; }

    bool operator==(const CGXRange&) const = default;

    DWORD m_nType = GX_CELLS;
    DWORD top = 0;
    DWORD left = 0;
    DWORD bottom = 0;
    DWORD right = 0;
    BOOL m_bValid = FALSE;
};

// One range in 18 bytes: four DWORD bounds (top, left, bottom, right), the kind byte and the
// valid byte. Loading rejects a kind other than the four and a valid range whose bounds are
// inverted (CArchiveException, generic cause): such a range would mislead every loop over it.
CArchive& operator<<(CArchive& ar, const CGXRange& range);
CArchive& operator>>(CArchive& ar, CGXRange& range);
