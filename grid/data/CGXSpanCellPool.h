// CGXSpanCellPool: the cache of worked-out floating and merged spans, a table per direction
// mapping each cell to the first row or column of the span that holds it.
#pragma once

#include "grid/data/CGXRange.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"

class CArchive;

// An owned array of CDWordArray pointers; a null entry is an empty inner array.
class CGXDWordArrayPtrArray : public CPtrArray {
public:
    CGXDWordArrayPtrArray() = default;
    ~CGXDWordArrayPtrArray() override;
    CGXDWordArrayPtrArray(const CGXDWordArrayPtrArray& other);
    CGXDWordArrayPtrArray& operator=(const CGXDWordArrayPtrArray& other);

    CDWordArray* GetInner(INT_PTR nIndex) const
    {
        return nIndex >= 0 && nIndex < GetSize() ? static_cast<CDWordArray*>(GetAt(nIndex)) : nullptr;
    }
    // Deletes every inner array and empties the outer one.
    void DeleteAll();
    // Deletes the inner arrays of the entries first..first + count - 1 and removes the entries.
    void RemoveEntries(INT_PTR nFirst, INT_PTR nCount);

    // A WORD schema (1), the outer size, (index, inner array) pairs of the non-null entries in
    // ascending order, and 0xFFFFFFFF. Loading refuses an index at or past the size, an index
    // that does not ascend and an implausible size (CArchiveException), since each would write
    // outside the table, leak an array or claim gigabytes for a few bytes of input.
    void Serialize(CArchive& ar) override;

    static constexpr WORD kSchema = 1;
    static constexpr DWORD kEndTag = 0xFFFFFFFFu;
    // Rows and columns at 0x80000000 and above are never part of a span.
    static constexpr DWORD kMaxSize = 0x7FFFFFFFu;
    // The largest outer size stored or loaded: a table holds a pointer per row or column up to
    // its last span, so 16M of them already take 128 MB. Storing a larger table raises the
    // same exception as loading it would, rather than writing what cannot be read back.
    static constexpr DWORD kMaxStoredSize = 0x01000000u;
};

class CGXSpanCellPool : public CObject {
    DECLARE_SERIAL(CGXSpanCellPool)
public:
    CGXSpanCellPool() = default;
    ~CGXSpanCellPool() override = default;
    CGXSpanCellPool(const CGXSpanCellPool& other) : CObject() { *this = other; }
    virtual CGXSpanCellPool& operator=(const CGXSpanCellPool& other);

    void Serialize(CArchive& ar) override;

    // Fills range with the span holding the cell: left and right from the horizontal table,
    // top and bottom from the vertical one; a direction without a span is left as it was.
    virtual BOOL FindSpan(DWORD nRow, DWORD nCol, CGXRange& range) const;
    // Records (or, with bSet FALSE, removes) the rectangle as one span. TRUE when anything changed.
    virtual BOOL SetSpan(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight, BOOL bSet);
    virtual BOOL InsertRows(DWORD nRow, DWORD nCount);
    virtual BOOL RemoveRows(DWORD nFromRow, DWORD nToRow);
    virtual BOOL MoveRows(DWORD nFromRow, DWORD nToRow, DWORD nDestRow);
    virtual BOOL InsertCols(DWORD nCol, DWORD nCount);
    virtual BOOL RemoveCols(DWORD nFromCol, DWORD nToCol);
    virtual BOOL MoveCols(DWORD nFromCol, DWORD nToCol, DWORD nDestCol);

    void RemoveAll();

    // A pool written with CArchive::WriteObject, or null; a reference to an object read before
    // is refused, since the reader owns what it gets.
    static CGXSpanCellPool* ReadFromArchive(CArchive& ar);

    static constexpr DWORD kNoSpan = 0xFFFFFFFFu;

    // Tables: horizontal by row then column, vertical by column then row.
    CGXDWordArrayPtrArray m_HorzSpans;
    CGXDWordArrayPtrArray m_VertSpans;
};

// Table helpers shared by the span pool; the outer index runs in one direction and the inner
// one in the other.
namespace GXSpanTable {
DWORD GetValue(const CGXDWordArrayPtrArray& table, DWORD nOuter, DWORD nInner);
BOOL SetSpan(CGXDWordArrayPtrArray& table, DWORD nOuterFirst, DWORD nOuterLast, DWORD nInnerFirst,
             DWORD nInnerLast, BOOL bSet);
BOOL FindSpan(const CGXDWordArrayPtrArray& table, DWORD nOuter, DWORD nInner, DWORD& nFirst, DWORD& nLast);
BOOL InsertOuter(CGXDWordArrayPtrArray& table, DWORD nIndex, DWORD nCount);
BOOL InsertInner(CGXDWordArrayPtrArray& table, DWORD nIndex, DWORD nCount);
BOOL RemoveOuter(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast);
BOOL RemoveInner(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast);
BOOL MoveOuter(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast, DWORD nDest);
BOOL MoveInner(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast, DWORD nDest);
} // namespace GXSpanTable
