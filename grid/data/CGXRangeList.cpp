#include "grid/data/CGXRangeList.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <algorithm>

IMPLEMENT_SERIAL(CGXRangeList, CPtrList, 1)

namespace {

constexpr WORD kSchema = 1;
constexpr UINT kRangeBytes = 18;

// The row-wise and column-wise operations are one algorithm over a pair of bounds; these name
// which pair a call works on and which kind has no meaningful bounds in that direction.
struct Axis {
    DWORD CGXRange::*first;
    DWORD CGXRange::*last;
    DWORD bandAcross; // the band kind that covers every index in this direction
};
constexpr Axis kRows{&CGXRange::top, &CGXRange::bottom, GX_COLS};
constexpr Axis kCols{&CGXRange::left, &CGXRange::right, GX_ROWS};

bool Spans(const CGXRange& r, const Axis& axis)
{
    return r.m_nType == GX_TABLE || r.m_nType == axis.bandAcross;
}

void ShiftInserted(CGXRangeList& list, const Axis& axis, DWORD nAt, DWORD nCount)
{
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CGXRange& r = *list.GetNextRange(pos);
        if (Spans(r, axis))
            continue;
        if (r.*axis.first >= nAt)
            r.*axis.first += nCount;
        if (r.*axis.last >= nAt)
            r.*axis.last += nCount;
    }
}

void ShiftRemoved(CGXRangeList& list, const Axis& axis, DWORD nFrom, DWORD nTo, DWORD nLast)
{
    if (nTo < nFrom)
        return;
    const DWORD n = nTo - nFrom + 1;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CGXRange& r = *list.GetNextRange(pos);
        if (!r.IsValid() || Spans(r, axis))
            continue;
        DWORD& first = r.*axis.first;
        DWORD& last = r.*axis.last;
        if (first >= nFrom && last <= nTo) {
            r.m_bValid = FALSE;
            last = std::min(last, nLast);
            continue;
        }
        if (first >= nFrom)
            first = std::max(nFrom, std::max(first, nTo) - n);
        if (last >= nFrom)
            last = std::max(last, nTo) - n;
        r.m_bValid = last >= first;
        last = std::min(last, nLast);
    }
}

void ShiftMoved(CGXRangeList& list, const Axis& axis, DWORD nFrom, DWORD nTo, DWORD nDest, DWORD nLast)
{
    if (nTo < nFrom)
        return;
    const DWORD n = nTo - nFrom + 1;
    const DWORD p = nDest > nFrom ? nDest + n : nDest;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CGXRange& r = *list.GetNextRange(pos);
        if (Spans(r, axis))
            continue;
        DWORD& first = r.*axis.first;
        DWORD& last = r.*axis.last;
        // Unsigned wrap-around is intended: the shift is added modulo 2^32 as a signed delta.
        DWORD delta = 0;
        if (nFrom <= first && first <= nTo)
            delta = nTo < p ? p - n - nFrom : p - nFrom;
        else if (nTo < first && first < p)
            delta = 0u - n;
        else if (p <= first && first < nFrom)
            delta = n;
        first += delta;
        last += delta;
        last = std::min(last, nLast);
    }
}

// Puts one span into the sorted span arrays: widening the first one it overlaps, or inserting it
// before the first one that starts after it.
void PlaceSpan(CDWordArray& starts, CDWordArray& ends, DWORD nStart, DWORD nEnd)
{
    for (INT_PTR i = 0; i < starts.GetSize(); ++i) {
        const DWORD s = starts[i];
        const DWORD e = ends[i];
        const bool overlap = (nStart >= s && nStart <= e) || (nEnd >= s && nEnd <= e) ||
                             (s >= nStart && s <= nEnd) || (e >= nStart && e <= nEnd);
        if (overlap) {
            starts[i] = std::min(s, nStart);
            ends[i] = std::max(e, nEnd);
            return;
        }
        if (s > nStart) {
            starts.InsertAt(i, nStart);
            ends.InsertAt(i, nEnd);
            return;
        }
    }
    starts.Add(nStart);
    ends.Add(nEnd);
}

BOOL GetSpans(const CGXRangeList& list, const Axis& axis, DWORD bandAlong, DWORD nLast, CDWordArray& starts,
              CDWordArray& ends, BOOL bBandsOnly)
{
    starts.RemoveAll();
    ends.RemoveAll();
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const CGXRange& r = *list.GetNextRange(pos);
        if (!r.IsValid())
            continue;
        if (bBandsOnly && r.m_nType != bandAlong && r.m_nType != GX_TABLE)
            continue;
        DWORD nStart = r.*axis.first;
        DWORD nEnd = r.*axis.last;
        if (Spans(r, axis)) {
            // Bounds that mean nothing: such a range covers every index up to the last. The
            // whole table's bounds may be left over from an earlier kind, so it starts at 0.
            if (r.m_nType == GX_TABLE)
                nStart = 0;
            nEnd = nLast;
        }
        if (nEnd < nStart)
            continue;
        PlaceSpan(starts, ends, nStart, nEnd);
    }
    if (starts.GetSize() == 0)
        return FALSE;
    for (INT_PTR i = 1; i < starts.GetSize();) {
        // The bound check keeps an end of 0xFFFFFFFF from wrapping into "adjacent to 0".
        if (ends[i - 1] == GX_INVALID || ends[i - 1] + 1 >= starts[i]) {
            ends[i - 1] = std::max(ends[i - 1], ends[i]);
            starts.RemoveAt(i);
            ends.RemoveAt(i);
        } else {
            ++i;
        }
    }
    return TRUE;
}

} // namespace

CGXRangeList::~CGXRangeList()
{
    DeleteAll();
}

CGXRangeList& CGXRangeList::operator=(const CGXRangeList& other)
{
    if (&other == this)
        return *this;
    DeleteAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = other.GetNextRange(pos);
        if (pRange->IsValid())
            AddHead(new CGXRange(*pRange));
    }
    return *this;
}

void CGXRangeList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        RemoveInvalid();
        ar << kSchema << static_cast<DWORD>(GetCount());
        for (POSITION pos = GetHeadPosition(); pos != nullptr;)
            ar << *GetNextRange(pos);
        return;
    }
    WORD nSchema = 0;
    ar >> nSchema;
    if (nSchema != kSchema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    DWORD nCount = 0;
    ar >> nCount;
    // A count that the data cannot hold is refused before anything is added.
    ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * kRangeBytes);
    for (DWORD i = 0; i < nCount; ++i) {
        CGXRange range;
        ar >> range;
        AddTail(new CGXRange(range));
    }
}

void CGXRangeList::RemoveInvalid()
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        POSITION here = pos;
        if (!GetNextRange(pos)->IsValid())
            DeleteAt(here);
    }
}

void CGXRangeList::DeleteAll()
{
    while (!IsEmpty())
        delete static_cast<CGXRange*>(RemoveHead());
}

void CGXRangeList::DeleteAt(POSITION pos)
{
    delete GetRangeAt(pos);
    RemoveAt(pos);
}

POSITION CGXRangeList::FindCell(DWORD nRow, DWORD nCol) const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        POSITION here = pos;
        if (GetNextRange(pos)->ContainsCell(nRow, nCol))
            return here;
    }
    return nullptr;
}

BOOL CGXRangeList::ContainsCellExcept(DWORD nRow, DWORD nCol, POSITION posExcept) const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        POSITION here = pos;
        const CGXRange* pRange = GetNextRange(pos);
        if (here != posExcept && pRange->ContainsCell(nRow, nCol))
            return TRUE;
    }
    return FALSE;
}

void CGXRangeList::ShiftForInsertedRows(DWORD nRow, DWORD nCount) { ShiftInserted(*this, kRows, nRow, nCount); }
void CGXRangeList::ShiftForInsertedCols(DWORD nCol, DWORD nCount) { ShiftInserted(*this, kCols, nCol, nCount); }

void CGXRangeList::ShiftForRemovedRows(DWORD nFrom, DWORD nTo, DWORD nLastRow)
{
    ShiftRemoved(*this, kRows, nFrom, nTo, nLastRow);
}

void CGXRangeList::ShiftForRemovedCols(DWORD nFrom, DWORD nTo, DWORD nLastCol)
{
    ShiftRemoved(*this, kCols, nFrom, nTo, nLastCol);
}

void CGXRangeList::ShiftForMovedRows(DWORD nFrom, DWORD nTo, DWORD nDest, DWORD nLastRow)
{
    ShiftMoved(*this, kRows, nFrom, nTo, nDest, nLastRow);
}

void CGXRangeList::ShiftForMovedCols(DWORD nFrom, DWORD nTo, DWORD nDest, DWORD nLastCol)
{
    ShiftMoved(*this, kCols, nFrom, nTo, nDest, nLastCol);
}

BOOL CGXRangeList::GetRowSpans(DWORD nLastRow, CDWordArray& starts, CDWordArray& ends, BOOL bBandsOnly) const
{
    return GetSpans(*this, kRows, GX_ROWS, nLastRow, starts, ends, bBandsOnly);
}

BOOL CGXRangeList::GetColSpans(DWORD nLastCol, CDWordArray& starts, CDWordArray& ends, BOOL bBandsOnly) const
{
    return GetSpans(*this, kCols, GX_COLS, nLastCol, starts, ends, bBandsOnly);
}
