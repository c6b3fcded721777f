// CGXRangeList: an owning list of ranges (selections, covered and merged spans, clipboard and
// undo ranges), with the re-indexing that keeps stored ranges right while rows or columns are
// inserted, removed or moved.
#pragma once

#include "grid/data/CGXRange.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CPtrList.h"

class CGXRangeList : public CPtrList {
    DECLARE_SERIAL(CGXRangeList)
public:
    CGXRangeList() = default;
    ~CGXRangeList() override;

    void Serialize(CArchive& ar) override;
    // Copies the valid ranges of the other list, each added at the head, so the copy holds them
    // in reverse order (callers that walk the copy rely on that).
    virtual CGXRangeList& operator=(const CGXRangeList& other);

    CGXRange* GetRangeAt(POSITION pos) const { return static_cast<CGXRange*>(GetAt(pos)); }
    CGXRange* GetNextRange(POSITION& pos) const { return static_cast<CGXRange*>(GetNext(pos)); }
    // Takes ownership of a heap-allocated range.
    POSITION AddTail(CGXRange* pRange) { return CPtrList::AddTail(pRange); }
    POSITION AddHead(CGXRange* pRange) { return CPtrList::AddHead(pRange); }

    void RemoveInvalid();
    void DeleteAll();
    void DeleteAt(POSITION pos);
    POSITION FindCell(DWORD nRow, DWORD nCol) const;
    BOOL ContainsCellExcept(DWORD nRow, DWORD nCol, POSITION posExcept) const;

    // Re-indexing after structure changes. Whole-table ranges, and bands that span every row
    // (for row operations) or every column (for column operations), keep their bounds: those
    // bounds mean nothing, and shifting them could drop a range that covers everything.
    void ShiftForInsertedRows(DWORD nRow, DWORD nCount);
    void ShiftForInsertedCols(DWORD nCol, DWORD nCount);
    void ShiftForRemovedRows(DWORD nFrom, DWORD nTo, DWORD nLastRow);
    void ShiftForRemovedCols(DWORD nFrom, DWORD nTo, DWORD nLastCol);
    void ShiftForMovedRows(DWORD nFrom, DWORD nTo, DWORD nDest, DWORD nLastRow);
    void ShiftForMovedCols(DWORD nFrom, DWORD nTo, DWORD nDest, DWORD nLastCol);

    // Sorted, merged spans of rows (or columns) that the valid ranges cover; TRUE when any.
    BOOL GetRowSpans(DWORD nLastRow, CDWordArray& starts, CDWordArray& ends, BOOL bBandsOnly) const;
    BOOL GetColSpans(DWORD nLastCol, CDWordArray& starts, CDWordArray& ends, BOOL bBandsOnly) const;

private:
    CGXRangeList(const CGXRangeList&) = delete;
};
