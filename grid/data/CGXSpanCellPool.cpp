#include "grid/data/CGXSpanCellPool.h"

#include "grid/data/GXReadOwnedObject.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <algorithm>
#include <memory>
#include <vector>

IMPLEMENT_SERIAL(CGXSpanCellPool, CObject, 1)

namespace {

constexpr DWORD kNone = CGXSpanCellPool::kNoSpan;
constexpr DWORD kLimit = CGXDWordArrayPtrArray::kMaxSize;

// Where index i lands when the block first..last moves so that it starts at dest.
unsigned long long MovedIndex(unsigned long long i, unsigned long long first, unsigned long long last,
                              unsigned long long dest)
{
    const unsigned long long count = last - first + 1;
    if (i >= first && i <= last)
        return dest + (i - first);
    const unsigned long long rest = i < first ? i : i - count;
    return rest >= dest ? rest + count : rest;
}

BOOL MoveArgsValid(DWORD nFirst, DWORD nLast, DWORD nDest)
{
    return nFirst <= kLimit && nLast <= kLimit && nDest <= kLimit && nFirst <= nLast;
}

} // namespace

CGXDWordArrayPtrArray::~CGXDWordArrayPtrArray()
{
    DeleteAll();
}

CGXDWordArrayPtrArray::CGXDWordArrayPtrArray(const CGXDWordArrayPtrArray& other) : CPtrArray()
{
    *this = other;
}

CGXDWordArrayPtrArray& CGXDWordArrayPtrArray::operator=(const CGXDWordArrayPtrArray& other)
{
    if (this == &other)
        return *this;
    // Copies are made before anything is dropped, so a failed copy leaves this array whole.
    std::vector<std::unique_ptr<CDWordArray>> copies(static_cast<size_t>(other.GetSize()));
    for (INT_PTR i = 0; i < other.GetSize(); ++i) {
        if (const CDWordArray* pInner = other.GetInner(i)) {
            copies[static_cast<size_t>(i)] = std::make_unique<CDWordArray>();
            copies[static_cast<size_t>(i)]->Copy(*pInner);
        }
    }
    DeleteAll();
    SetSize(other.GetSize());
    for (INT_PTR i = 0; i < other.GetSize(); ++i)
        SetAt(i, copies[static_cast<size_t>(i)].release());
    return *this;
}

void CGXDWordArrayPtrArray::DeleteAll()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete static_cast<CDWordArray*>(GetAt(i));
    RemoveAll();
}

void CGXDWordArrayPtrArray::RemoveEntries(INT_PTR nFirst, INT_PTR nCount)
{
    for (INT_PTR i = nFirst; i < nFirst + nCount; ++i)
        delete static_cast<CDWordArray*>(GetAt(i));
    RemoveAt(nFirst, nCount);
}

void CGXDWordArrayPtrArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        if (GetSize() > static_cast<INT_PTR>(kMaxStoredSize))
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        ar << kSchema << static_cast<DWORD>(GetSize());
        for (INT_PTR i = 0; i < GetSize(); ++i) {
            if (CDWordArray* pInner = GetInner(i)) {
                ar << static_cast<DWORD>(i);
                pInner->Serialize(ar);
            }
        }
        ar << kEndTag;
        return;
    }
    WORD nSchema = 0;
    ar >> nSchema;
    if (nSchema != kSchema)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD nSize = 0;
    ar >> nSize;
    if (nSize > kMaxStoredSize)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    // The entries are read aside and the table replaced only when the whole form was good. The
    // outer array is sized to the last stored entry rather than to the stored size: entries past
    // it are null and read the same.
    std::vector<std::pair<DWORD, std::unique_ptr<CDWordArray>>> entries;
    for (;;) {
        DWORD nIndex = 0;
        ar >> nIndex;
        if (nIndex == kEndTag)
            break;
        if (nIndex >= nSize || (!entries.empty() && nIndex <= entries.back().first))
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        auto pInner = std::make_unique<CDWordArray>();
        pInner->Serialize(ar);
        entries.emplace_back(nIndex, std::move(pInner));
    }
    DeleteAll();
    if (!entries.empty())
        SetSize(static_cast<INT_PTR>(entries.back().first) + 1);
    for (auto& [nIndex, pInner] : entries)
        SetAt(static_cast<INT_PTR>(nIndex), pInner.release());
}

// --- one table ---------------------------------------------------------------------------

DWORD GXSpanTable::GetValue(const CGXDWordArrayPtrArray& table, DWORD nOuter, DWORD nInner)
{
    const CDWordArray* pInner = table.GetInner(static_cast<INT_PTR>(nOuter));
    if (pInner == nullptr || static_cast<INT_PTR>(nInner) >= pInner->GetSize())
        return kNone;
    return pInner->GetAt(static_cast<INT_PTR>(nInner));
}

BOOL GXSpanTable::SetSpan(CGXDWordArrayPtrArray& table, DWORD nOuterFirst, DWORD nOuterLast, DWORD nInnerFirst,
                          DWORD nInnerLast, BOOL bSet)
{
    if (nOuterFirst > nOuterLast || nInnerFirst > nInnerLast)
        return FALSE;
    // A span one cell long in this direction is no span of this table.
    if (bSet && nInnerFirst == nInnerLast)
        return FALSE;
    BOOL bChanged = FALSE;
    for (DWORD nOuter = nOuterFirst;; ++nOuter) {
        CDWordArray* pInner = table.GetInner(static_cast<INT_PTR>(nOuter));
        if (pInner == nullptr && bSet) {
            auto pNew = std::make_unique<CDWordArray>();
            table.SetAtGrow(static_cast<INT_PTR>(nOuter), pNew.get());
            pInner = pNew.release();
        }
        if (pInner != nullptr) {
            const INT_PTR first = static_cast<INT_PTR>(nInnerFirst);
            const INT_PTR last = static_cast<INT_PTR>(nInnerLast);
            const DWORD nOld = first < pInner->GetSize() ? pInner->GetAt(first) : kNone;
            if (bSet) {
                if (pInner->GetSize() <= last) {
                    const INT_PTR nOldSize = pInner->GetSize();
                    pInner->SetSize(last + 1);
                    for (INT_PTR i = nOldSize; i < first; ++i)
                        pInner->SetAt(i, kNone);
                }
                for (INT_PTR i = first; i <= last; ++i)
                    pInner->SetAt(i, nInnerFirst);
                // The tail of an older span that the new one cut short is no span any more.
                if (nOld != kNone)
                    for (INT_PTR i = last + 1; i < pInner->GetSize() && pInner->GetAt(i) == nOld; ++i)
                        pInner->SetAt(i, kNone);
                bChanged = TRUE;
            } else if (nOld != kNone) {
                for (INT_PTR i = first; i < pInner->GetSize() && pInner->GetAt(i) == nOld; ++i)
                    pInner->SetAt(i, kNone);
                bChanged = TRUE;
            }
        }
        if (nOuter == nOuterLast)
            break;
    }
    return bChanged;
}

BOOL GXSpanTable::FindSpan(const CGXDWordArrayPtrArray& table, DWORD nOuter, DWORD nInner, DWORD& nFirst,
                           DWORD& nLast)
{
    const DWORD nValue = GetValue(table, nOuter, nInner);
    if (nValue == kNone)
        return FALSE;
    const CDWordArray* pInner = table.GetInner(static_cast<INT_PTR>(nOuter));
    INT_PTR i = static_cast<INT_PTR>(nInner);
    while (i + 1 < pInner->GetSize() && pInner->GetAt(i + 1) == nValue)
        ++i;
    nFirst = nValue;
    nLast = static_cast<DWORD>(i);
    return TRUE;
}

BOOL GXSpanTable::InsertOuter(CGXDWordArrayPtrArray& table, DWORD nIndex, DWORD nCount)
{
    if (table.GetSize() == 0 || static_cast<unsigned long long>(nIndex) + nCount > kLimit)
        return FALSE;
    if (static_cast<INT_PTR>(nIndex) >= table.GetSize() || nCount == 0)
        return TRUE;
    table.InsertAt(static_cast<INT_PTR>(nIndex), nullptr, static_cast<INT_PTR>(nCount));
    return TRUE;
}

BOOL GXSpanTable::InsertInner(CGXDWordArrayPtrArray& table, DWORD nIndex, DWORD nCount)
{
    if (table.GetSize() == 0 || static_cast<unsigned long long>(nIndex) + nCount > kLimit)
        return FALSE;
    if (nCount == 0)
        return TRUE;
    for (INT_PTR i = 0; i < table.GetSize(); ++i) {
        CDWordArray* pInner = table.GetInner(i);
        if (pInner != nullptr && static_cast<INT_PTR>(nIndex) < pInner->GetSize())
            pInner->InsertAt(static_cast<INT_PTR>(nIndex), kNone, static_cast<INT_PTR>(nCount));
    }
    return TRUE;
}

BOOL GXSpanTable::RemoveOuter(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast)
{
    if (table.GetSize() == 0 || static_cast<INT_PTR>(nFirst) >= table.GetSize() || nFirst > nLast)
        return FALSE;
    const INT_PTR nEnd = std::min<INT_PTR>(static_cast<INT_PTR>(nLast), table.GetSize() - 1);
    table.RemoveEntries(static_cast<INT_PTR>(nFirst), nEnd - static_cast<INT_PTR>(nFirst) + 1);
    return TRUE;
}

BOOL GXSpanTable::RemoveInner(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast)
{
    if (table.GetSize() == 0 || nFirst > nLast)
        return FALSE;
    for (INT_PTR i = 0; i < table.GetSize(); ++i) {
        CDWordArray* pInner = table.GetInner(i);
        if (pInner == nullptr || static_cast<INT_PTR>(nFirst) >= pInner->GetSize())
            continue;
        const INT_PTR nEnd = std::min<INT_PTR>(static_cast<INT_PTR>(nLast), pInner->GetSize() - 1);
        pInner->RemoveAt(static_cast<INT_PTR>(nFirst), nEnd - static_cast<INT_PTR>(nFirst) + 1);
    }
    return TRUE;
}

BOOL GXSpanTable::MoveOuter(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast, DWORD nDest)
{
    if (!MoveArgsValid(nFirst, nLast, nDest))
        return FALSE;
    const INT_PTR nSize = table.GetSize();
    if (nDest == nFirst || (static_cast<INT_PTR>(nFirst) >= nSize && static_cast<INT_PTR>(nDest) >= nSize))
        return FALSE;
    // Each entry goes straight to its new place; null entries need none.
    std::vector<std::pair<unsigned long long, void*>> moved;
    unsigned long long nNewSize = static_cast<unsigned long long>(nSize);
    for (INT_PTR i = 0; i < nSize; ++i) {
        if (void* p = table.GetAt(i)) {
            const unsigned long long j = MovedIndex(static_cast<unsigned long long>(i), nFirst, nLast, nDest);
            moved.emplace_back(j, p);
            nNewSize = std::max(nNewSize, j + 1);
        }
    }
    CPtrArray result;
    result.SetSize(static_cast<INT_PTR>(nNewSize));
    for (auto& [j, p] : moved)
        result.SetAt(static_cast<INT_PTR>(j), p);
    table.RemoveAll();
    table.SetSize(result.GetSize());
    for (INT_PTR i = 0; i < result.GetSize(); ++i)
        table.SetAt(i, result.GetAt(i));
    return TRUE;
}

BOOL GXSpanTable::MoveInner(CGXDWordArrayPtrArray& table, DWORD nFirst, DWORD nLast, DWORD nDest)
{
    if (!MoveArgsValid(nFirst, nLast, nDest))
        return FALSE;
    if (nDest == nFirst)
        return FALSE;
    for (INT_PTR n = 0; n < table.GetSize(); ++n) {
        CDWordArray* pInner = table.GetInner(n);
        if (pInner == nullptr)
            continue;
        const INT_PTR nSize = pInner->GetSize();
        if (static_cast<INT_PTR>(nFirst) >= nSize && static_cast<INT_PTR>(nDest) >= nSize)
            continue;
        std::vector<std::pair<unsigned long long, DWORD>> moved;
        unsigned long long nNewSize = static_cast<unsigned long long>(nSize);
        for (INT_PTR i = 0; i < nSize; ++i) {
            const DWORD v = pInner->GetAt(i);
            if (v != kNone) {
                const unsigned long long j = MovedIndex(static_cast<unsigned long long>(i), nFirst, nLast, nDest);
                moved.emplace_back(j, v);
                nNewSize = std::max(nNewSize, j + 1);
            }
        }
        pInner->RemoveAll();
        pInner->SetSize(static_cast<INT_PTR>(nNewSize));
        for (INT_PTR i = 0; i < pInner->GetSize(); ++i)
            pInner->SetAt(i, kNone);
        for (auto& [j, v] : moved)
            pInner->SetAt(static_cast<INT_PTR>(j), v);
    }
    return TRUE;
}

// --- the pool ----------------------------------------------------------------------------

CGXSpanCellPool& CGXSpanCellPool::operator=(const CGXSpanCellPool& other)
{
    if (this != &other) {
        m_HorzSpans = other.m_HorzSpans;
        m_VertSpans = other.m_VertSpans;
    }
    return *this;
}

void CGXSpanCellPool::Serialize(CArchive& ar)
{
    m_HorzSpans.Serialize(ar);
    m_VertSpans.Serialize(ar);
}

BOOL CGXSpanCellPool::FindSpan(DWORD nRow, DWORD nCol, CGXRange& range) const
{
    if (nRow > kLimit || nCol > kLimit)
        return FALSE;
    BOOL bFound = FALSE;
    DWORD nFirst = 0, nLast = 0;
    if (GXSpanTable::FindSpan(m_HorzSpans, nRow, nCol, nFirst, nLast)) {
        range.left = nFirst;
        range.right = nLast;
        bFound = TRUE;
    }
    if (GXSpanTable::FindSpan(m_VertSpans, nCol, nRow, nFirst, nLast)) {
        range.top = nFirst;
        range.bottom = nLast;
        bFound = TRUE;
    }
    return bFound;
}

BOOL CGXSpanCellPool::SetSpan(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight, BOOL bSet)
{
    if (nBottom > kLimit || nRight > kLimit)
        return FALSE;
    const BOOL bHorz = GXSpanTable::SetSpan(m_HorzSpans, nTop, nBottom, nLeft, nRight, bSet);
    const BOOL bVert = GXSpanTable::SetSpan(m_VertSpans, nLeft, nRight, nTop, nBottom, bSet);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::InsertRows(DWORD nRow, DWORD nCount)
{
    const BOOL bHorz = GXSpanTable::InsertOuter(m_HorzSpans, nRow, nCount);
    const BOOL bVert = GXSpanTable::InsertInner(m_VertSpans, nRow, nCount);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::RemoveRows(DWORD nFromRow, DWORD nToRow)
{
    const BOOL bHorz = GXSpanTable::RemoveOuter(m_HorzSpans, nFromRow, nToRow);
    const BOOL bVert = GXSpanTable::RemoveInner(m_VertSpans, nFromRow, nToRow);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::MoveRows(DWORD nFromRow, DWORD nToRow, DWORD nDestRow)
{
    const BOOL bHorz = GXSpanTable::MoveOuter(m_HorzSpans, nFromRow, nToRow, nDestRow);
    const BOOL bVert = GXSpanTable::MoveInner(m_VertSpans, nFromRow, nToRow, nDestRow);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::InsertCols(DWORD nCol, DWORD nCount)
{
    const BOOL bVert = GXSpanTable::InsertOuter(m_VertSpans, nCol, nCount);
    const BOOL bHorz = GXSpanTable::InsertInner(m_HorzSpans, nCol, nCount);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::RemoveCols(DWORD nFromCol, DWORD nToCol)
{
    const BOOL bVert = GXSpanTable::RemoveOuter(m_VertSpans, nFromCol, nToCol);
    const BOOL bHorz = GXSpanTable::RemoveInner(m_HorzSpans, nFromCol, nToCol);
    return bHorz || bVert;
}

BOOL CGXSpanCellPool::MoveCols(DWORD nFromCol, DWORD nToCol, DWORD nDestCol)
{
    const BOOL bVert = GXSpanTable::MoveOuter(m_VertSpans, nFromCol, nToCol, nDestCol);
    const BOOL bHorz = GXSpanTable::MoveInner(m_HorzSpans, nFromCol, nToCol, nDestCol);
    return bHorz || bVert;
}

void CGXSpanCellPool::RemoveAll()
{
    m_HorzSpans.DeleteAll();
    m_VertSpans.DeleteAll();
}

CGXSpanCellPool* CGXSpanCellPool::ReadFromArchive(CArchive& ar)
{
    return static_cast<CGXSpanCellPool*>(GXReadOwnedObject(ar, RUNTIME_CLASS(CGXSpanCellPool)));
}
