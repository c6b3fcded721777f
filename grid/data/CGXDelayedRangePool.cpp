#include "grid/data/CGXDelayedRangePool.h"

#include "grid/data/GXReadOwnedObject.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

IMPLEMENT_SERIAL(CGXDelayedRange, CObject, 1)
IMPLEMENT_SERIAL(CGXDelayedRangePool, CObject, 1)

namespace {

BOOL Contains(const CGXRange& outer, const CGXRange& inner)
{
    return outer.ContainsCell(inner.top, inner.left) && outer.ContainsCell(inner.bottom, inner.right);
}

BOOL IsEmpty(const CGXRange& r)
{
    return r.bottom < r.top || r.right < r.left;
}

BOOL Overlaps(const CGXRange& a, const CGXRange& b)
{
    return !IsEmpty(a) && !IsEmpty(b) && a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

} // namespace

// --- one delayed range ---------------------------------------------------------------------

CGXDelayedRange& CGXDelayedRange::operator=(const CGXDelayedRange& other)
{
    if (this != &other) {
        m_range = other.m_range;
        m_bDone = other.m_bDone;
        m_awEnd.Copy(other.m_awEnd);
        m_awStart.Copy(other.m_awStart);
    }
    return *this;
}

void CGXDelayedRange::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_range;
        m_awStart.Serialize(ar);
        m_awEnd.Serialize(ar);
        return;
    }
    ar >> m_range;
    m_awStart.Serialize(ar);
    m_awEnd.Serialize(ar);
    // Starts and ends are read by index together: unpaired lists would be read past their end,
    // and the row walks over an entry count from its top to its bottom.
    if (m_awStart.GetSize() != m_awEnd.GetSize() || IsEmpty(m_range))
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    m_bDone = FALSE;
}

BOOL CGXDelayedRange::AddEvaluatedRows(DWORD nFirst, DWORD nLast)
{
    INT_PTR nInsert = m_awStart.GetSize();
    BOOL bTaken = FALSE;
    for (INT_PTR i = 0; i < m_awStart.GetSize(); ++i) {
        const DWORD nStart = m_awStart[i];
        const DWORD nEnd = m_awEnd[i];
        // Touching means ending at or after first - 1; row 0 touches everything before it.
        if (nFirst > 0 && nEnd < nFirst - 1)
            continue;
        if (nLast < 0xFFFFFFFFu && nStart > nLast + 1) {
            nInsert = i;
            break;
        }
        if (nStart <= nFirst && nEnd >= nLast)
            return FALSE;
        if (nFirst < nStart)
            m_awStart[i] = nFirst;
        if (nLast > nEnd)
            m_awEnd[i] = nLast;
        bTaken = TRUE;
        break;
    }
    if (!bTaken) {
        try {
            m_awStart.InsertAt(nInsert, nFirst);
            m_awEnd.InsertAt(nInsert, nLast);
        } catch (const std::bad_alloc&) {
            if (m_awEnd.GetSize() < m_awStart.GetSize())
                m_awStart.RemoveAt(nInsert);
            return TRUE;
        } catch (CMemoryException* e) {
            e->Delete();
            if (m_awEnd.GetSize() < m_awStart.GetSize())
                m_awStart.RemoveAt(nInsert);
            return TRUE;
        }
    }
    // Intervals that only meet (2 and 3) are joined too: left apart, the rows of an entry could
    // all be worked out without the entry ever becoming one interval, and so never done.
    for (INT_PTR i = 1; i < m_awStart.GetSize();) {
        if (m_awStart[i] == 0 || m_awEnd[i - 1] >= m_awStart[i] - 1) {
            if (m_awEnd[i] > m_awEnd[i - 1])
                m_awEnd[i - 1] = m_awEnd[i];
            m_awStart.RemoveAt(i);
            m_awEnd.RemoveAt(i);
        } else {
            ++i;
        }
    }
    if (m_awStart.GetSize() == 1 && m_awStart[0] <= m_range.top && m_awEnd[0] >= m_range.bottom) {
        m_awStart.RemoveAll();
        m_awEnd.RemoveAll();
        m_bDone = TRUE;
    }
    return TRUE;
}

// --- the pool -----------------------------------------------------------------------------

CGXDelayedRangePool::~CGXDelayedRangePool()
{
    RemoveAll();
}

CGXDelayedRangePool& CGXDelayedRangePool::operator=(const CGXDelayedRangePool& other)
{
    if (this == &other)
        return *this;
    RemoveAll();
    for (INT_PTR i = 0; i < other.GetCount(); ++i) {
        auto pCopy = std::make_unique<CGXDelayedRange>(*other.GetAt(i));
        m_Ranges.Add(pCopy.get());
        pCopy.release();
    }
    return *this;
}

void CGXDelayedRangePool::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        m_Ranges.Serialize(ar);
        return;
    }
    // Entries are read aside and the pool replaced only when all were read. Each must be a new
    // object: the pool owns its entries.
    DWORD_PTR nCount = ar.ReadCount();
    // Each entry takes at least a class reference, a range and two empty interval lists.
    ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * 24u);
    std::vector<std::unique_ptr<CGXDelayedRange>> loaded;
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        CObject* pOb = GXReadOwnedObject(ar, RUNTIME_CLASS(CGXDelayedRange));
        if (pOb == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        loaded.emplace_back(static_cast<CGXDelayedRange*>(pOb));
    }
    RemoveAll();
    for (auto& pEntry : loaded) {
        m_Ranges.Add(pEntry.get());
        pEntry.release();
    }
}

void CGXDelayedRangePool::AddRange(const CGXRange& range)
{
    if (IsEmpty(range))
        return;
    INT_PTR nFree = -1;
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CGXDelayedRange* pEntry = GetAt(i);
        if (pEntry->m_bDone) {
            nFree = i;
        } else if (Contains(range, pEntry->m_range)) {
            pEntry->m_awStart.RemoveAll();
            pEntry->m_awEnd.RemoveAll();
            pEntry->m_bDone = TRUE;
            if (nFree < 0)
                nFree = i;
        } else if (pEntry->m_awStart.GetSize() == 0) {
            CGXRange& r = pEntry->m_range;
            if (range.left > 0 && r.right == range.left - 1)
                r.right = range.right;
            if (range.top > 0 && r.bottom == range.top - 1)
                r.bottom = range.bottom;
            if (Contains(r, range))
                return;
        }
    }
    if (nFree >= 0) {
        CGXDelayedRange* pEntry = GetAt(nFree);
        pEntry->m_range = range;
        pEntry->m_awStart.RemoveAll();
        pEntry->m_awEnd.RemoveAll();
        pEntry->m_bDone = FALSE;
        return;
    }
    try {
        auto pNew = std::make_unique<CGXDelayedRange>();
        pNew->m_range = range;
        m_Ranges.InsertAt(0, pNew.get());
        pNew.release();
    } catch (const std::bad_alloc&) {
    } catch (CMemoryException* e) {
        e->Delete();
    }
}

BOOL CGXDelayedRangePool::GetRowsToEvaluate(const CGXRange& range, CDWordArray& awFirstCol, CDWordArray& awLastCol)
{
    if (IsEmpty(range))
        return FALSE;
    const INT_PTR nRows = static_cast<INT_PTR>(range.bottom - range.top) + 1;
    awFirstCol.SetSize(nRows);
    awLastCol.SetSize(nRows);
    for (INT_PTR i = 0; i < nRows; ++i) {
        awFirstCol[i] = 0xFFFFFFFFu;
        awLastCol[i] = 0;
    }
    // Split pending entries at the view's columns, so that the part in view can be marked
    // worked out without marking the columns outside it.
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CGXDelayedRange* pEntry = GetAt(i);
        if (pEntry->m_bDone || !Overlaps(pEntry->m_range, range))
            continue;
        if (pEntry->m_range.left < range.left) {
            auto pLeft = std::make_unique<CGXDelayedRange>(*pEntry);
            pLeft->m_range.right = range.left - 1;
            m_Ranges.Add(pLeft.release());
            pEntry->m_range.left = range.left;
        }
        if (pEntry->m_range.right > range.right) {
            auto pRight = std::make_unique<CGXDelayedRange>(*pEntry);
            pRight->m_range.left = range.right + 1;
            m_Ranges.Add(pRight.release());
            pEntry->m_range.right = range.right;
        }
    }
    BOOL bResult = FALSE;
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CGXDelayedRange* pEntry = GetAt(i);
        if (pEntry->m_bDone || !Overlaps(pEntry->m_range, range))
            continue;
        const DWORD nTop = std::max(pEntry->m_range.top, range.top);
        const DWORD nBottom = std::min(pEntry->m_range.bottom, range.bottom);
        const DWORD nLeft = pEntry->m_range.left;
        const DWORD nRight = pEntry->m_range.right;
        if (!pEntry->AddEvaluatedRows(nTop, nBottom))
            continue;
        for (DWORD nRow = nTop;; ++nRow) {
            const INT_PTR k = static_cast<INT_PTR>(nRow - range.top);
            if (awFirstCol[k] == 0xFFFFFFFFu || nLeft < awFirstCol[k])
                awFirstCol[k] = nLeft;
            if (nRight > awLastCol[k])
                awLastCol[k] = nRight;
            if (nRow == nBottom)
                break;
        }
        bResult = TRUE;
    }
    if (bResult) {
        for (INT_PTR i = GetCount() - 1; i >= 0; --i) {
            if (GetAt(i)->m_bDone) {
                delete GetAt(i);
                m_Ranges.RemoveAt(i);
            }
        }
    }
    return bResult;
}

void CGXDelayedRangePool::ClipRows(DWORD nLastRow)
{
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CGXRange& r = GetAt(i)->m_range;
        r.top = std::min(r.top, nLastRow);
        r.bottom = std::min(r.bottom, nLastRow);
    }
}

void CGXDelayedRangePool::ClipCols(DWORD nLastCol)
{
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CGXRange& r = GetAt(i)->m_range;
        r.left = std::min(r.left, nLastCol);
        r.right = std::min(r.right, nLastCol);
    }
}

void CGXDelayedRangePool::RemoveAll()
{
    for (INT_PTR i = 0; i < GetCount(); ++i)
        delete GetAt(i);
    m_Ranges.RemoveAll();
}

CGXDelayedRangePool* CGXDelayedRangePool::ReadFromArchive(CArchive& ar)
{
    return static_cast<CGXDelayedRangePool*>(GXReadOwnedObject(ar, RUNTIME_CLASS(CGXDelayedRangePool)));
}
