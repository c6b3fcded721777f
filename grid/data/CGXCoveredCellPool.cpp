#include "grid/data/CGXCoveredCellPool.h"

#include <memory>

IMPLEMENT_DYNCREATE(CGXCoveredCellPool, CObject)

CGXCoveredCellPool::~CGXCoveredCellPool()
{
    RemoveAll();
}

void CGXCoveredCellPool::RemoveAll()
{
    for (INT_PTR i = 0; i < m_Rows.GetSize(); ++i)
        delete static_cast<CPtrArray*>(m_Rows[i]);
    m_Rows.RemoveAll();
}

POSITION CGXCoveredCellPool::Lookup(DWORD nRow, DWORD nCol) const
{
    if (static_cast<INT_PTR>(nRow) >= m_Rows.GetSize())
        return nullptr;
    const auto* pRow = static_cast<const CPtrArray*>(m_Rows[static_cast<INT_PTR>(nRow)]);
    if (pRow == nullptr || static_cast<INT_PTR>(nCol) >= pRow->GetSize())
        return nullptr;
    return static_cast<POSITION>(pRow->GetAt(static_cast<INT_PTR>(nCol)));
}

BOOL CGXCoveredCellPool::SetRange(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight, POSITION pos)
{
    if (nTop > nBottom || nLeft > nRight)
        return FALSE;
    if (pos != nullptr && nTop == nBottom && nLeft == nRight)
        return FALSE;
    BOOL bChanged = FALSE;
    const INT_PTR first = static_cast<INT_PTR>(nLeft);
    const INT_PTR last = static_cast<INT_PTR>(nRight);
    for (DWORD nRow = nTop;; ++nRow) {
        const INT_PTR r = static_cast<INT_PTR>(nRow);
        auto* pRow = r < m_Rows.GetSize() ? static_cast<CPtrArray*>(m_Rows[r]) : nullptr;
        if (pRow == nullptr && pos != nullptr) {
            auto pNew = std::make_unique<CPtrArray>();
            m_Rows.SetAtGrow(r, pNew.get());
            pRow = pNew.release();
        }
        if (pRow != nullptr) {
            void* pOld = first < pRow->GetSize() ? pRow->GetAt(first) : nullptr;
            if (pos != nullptr) {
                // Cells of another range are never taken over.
                if (pOld != nullptr && pOld != pos)
                    return FALSE;
                if (pRow->GetSize() <= last)
                    pRow->SetSize(last + 1);
                for (INT_PTR i = first; i <= last; ++i)
                    pRow->SetAt(i, pos);
                // The rest of an older, wider extent of the same range.
                for (INT_PTR i = last + 1; i < pRow->GetSize() && pRow->GetAt(i) == pos; ++i)
                    pRow->SetAt(i, nullptr);
                bChanged = TRUE;
            } else if (pOld != nullptr) {
                for (INT_PTR i = first; i < pRow->GetSize() && pRow->GetAt(i) == pOld; ++i)
                    pRow->SetAt(i, nullptr);
                bChanged = TRUE;
            }
        }
        if (nRow == nBottom)
            break;
    }
    return bChanged;
}

void CGXCoveredCellPool::Rebuild(const CGXRangeList& list)
{
    RemoveAll();
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        const CGXRange* pRange = list.GetNextRange(pos);
        if (pRange != nullptr && pRange->IsValid())
            SetRange(pRange->top, pRange->left, pRange->bottom, pRange->right, here);
    }
}
