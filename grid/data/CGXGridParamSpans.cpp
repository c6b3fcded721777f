// The floating and merged cells' part of the parameter object's archive.
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXSpanCellPool.h"
#include "platform/core/CArchive.h"

#include <algorithm>
#include <memory>

namespace {

// The pools as the archive holds them, in its order.
constexpr CGXGridParam::GXPool kFloatDelayed = CGXGridParam::gxFloatDelayedPool;
constexpr CGXGridParam::GXPool kFloatSpans = CGXGridParam::gxFloatSpanPool;
constexpr CGXGridParam::GXPool kMergeDelayed = CGXGridParam::gxMergeDelayedPool;
constexpr CGXGridParam::GXPool kMergeRows = CGXGridParam::gxMergeSpanPoolRows;
constexpr CGXGridParam::GXPool kMergeCols = CGXGridParam::gxMergeSpanPoolCols;

} // namespace

void CGXGridParam::SerializeSpanPools(CArchive& ar, UINT nSchema)
{
    if (ar.IsStoring()) {
        ar << m_wFloatCellsMode;
        ar.WriteObject(GetPool(kFloatDelayed));
        ar.WriteObject(GetPool(kFloatSpans));
        ar << m_wMergeCellsMode;
        ar.WriteObject(GetPool(kMergeDelayed));
        ar.WriteObject(GetPool(kMergeRows));
        ar.WriteObject(GetPool(kMergeCols));
        ar << WORD{0};
        return;
    }
    if (nSchema < 6)
        return;
    // Read aside: a damaged archive leaves the modes and pools as they were.
    WORD wFloatMode = 0, wMergeMode = 0, wReserved = 0;
    ar >> wFloatMode;
    std::unique_ptr<CGXDelayedRangePool> pFloatDelayed(CGXDelayedRangePool::ReadFromArchive(ar));
    std::unique_ptr<CGXSpanCellPool> pFloatSpans(CGXSpanCellPool::ReadFromArchive(ar));
    ar >> wMergeMode;
    std::unique_ptr<CGXDelayedRangePool> pMergeDelayed(CGXDelayedRangePool::ReadFromArchive(ar));
    std::unique_ptr<CGXSpanCellPool> pMergeRows(CGXSpanCellPool::ReadFromArchive(ar));
    std::unique_ptr<CGXSpanCellPool> pMergeCols(CGXSpanCellPool::ReadFromArchive(ar));
    ar >> wReserved;

    // Each mode gets the pools it works with, whatever the archive held.
    const auto need = [](auto& p, bool bWanted) {
        using Pool = typename std::remove_reference_t<decltype(p)>::element_type;
        if (!bWanted)
            p.reset();
        else if (!p)
            p = std::make_unique<Pool>();
    };
    const WORD wFloatKind = wFloatMode & 3, wMergeKind = wMergeMode & 3;
    need(pFloatSpans, wFloatKind == 1 || wFloatKind == 2);
    need(pFloatDelayed, wFloatKind == 1);
    need(pMergeRows, wMergeKind == 1 || wMergeKind == 2);
    need(pMergeCols, wMergeKind == 1 || wMergeKind == 2);
    need(pMergeDelayed, wMergeKind == 1);
    if (nSchema < 7) {
        // Spans stored by older versions are not trusted: the table is worked out again.
        const ROWCOL nRows = m_pData != nullptr ? m_pData->GetRowCount() : 0;
        const ROWCOL nCols = m_pData != nullptr ? m_pData->GetColCount() : 0;
        for (auto* p : {pFloatSpans.get(), pMergeRows.get(), pMergeCols.get()})
            if (p != nullptr)
                p->RemoveAll();
        if (pFloatDelayed) {
            pFloatDelayed->RemoveAll();
            const CGXRange cells(m_nHeaderRows + 1, m_nHeaderCols + 1, nRows, nCols);
            if (cells.top <= cells.bottom && cells.left <= cells.right)
                pFloatDelayed->AddRange(cells);
        }
        if (pMergeDelayed) {
            pMergeDelayed->RemoveAll();
            pMergeDelayed->AddRange(CGXRange(0, 0, nRows, nCols));
        }
    }
    m_wFloatCellsMode = wFloatMode;
    m_wMergeCellsMode = wMergeMode;
    SetPool(kFloatDelayed, pFloatDelayed.release());
    SetPool(kFloatSpans, pFloatSpans.release());
    SetPool(kMergeDelayed, pMergeDelayed.release());
    SetPool(kMergeRows, pMergeRows.release());
    SetPool(kMergeCols, pMergeCols.release());
}
