#include "grid/features/GXCellStore.h"

#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/IGXCommandTarget.h"

#include <memory>

namespace {

// Limits of one batched command. Its replay records the range's styles again for redo, and
// asks first for ranges of 0x8000 rows or columns and more, so commands stay well below that.
constexpr ROWCOL kMaxBatchSide = 0x4000;
constexpr INT_PTR kMaxBatchCells = 0x10000;

// The stored style of a cell as an undo entry: a copy, or null for a cell without one.
CGXStyle* OldStyleCopy(CGXData* pData, ROWCOL nRow, ROWCOL nCol)
{
    const CGXStyle* pOld = pData->LookupStyle(nRow, nCol, 0);
    return pOld != nullptr ? new CGXStyle(*pOld) : nullptr;
}

// Whether a store that reported no change was not a refusal: the cell held this text already.
BOOL HeldAlready(CGXGridCore& grid, CGXData* pData, ROWCOL nRow, ROWCOL nCol, const CString& sText)
{
    const CGXStyle* pStored = pData != nullptr ? pData->LookupStyle(nRow, nCol, 0) : nullptr;
    const CString sStored = pStored != nullptr && pStored->GetInclude(GX_INCL_VALUE) ? pStored->GetValue() : CString();
    return sStored == sText && !grid.IsReadOnly();
}

} // namespace

BOOL GXStoreCellTextWithUndo(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle)
{
    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    CGXData* pData = grid.GetData();
    if (pData != nullptr && grid.RecordingUndo(gxDo)) {
        undo = std::make_unique<CGXSetStyleRangeCmd>(CGXRange(nRow, nCol, nRow, nCol), 0);
        undo->m_Styles.Add(OldStyleCopy(pData, nRow, nCol));
        undo->m_nRow = nRow;
        undo->m_nCol = nCol;
    }
    // The store reports no change when the cell held this text already: no refusal, and
    // nothing to undo.
    if (!grid.SetCellTextThroughControl(nRow, nCol, sText, nFlags, pOldStyle))
        return HeldAlready(grid, pData, nRow, nCol, sText);
    if (undo != nullptr)
        grid.AddCommand(undo.release(), gxDo);
    return TRUE;
}

GXCellTextStoreBatch::GXCellTextStoreBatch(CGXGridCore& grid)
    : m_grid(grid), m_bRecord(grid.GetData() != nullptr && grid.RecordingUndo(gxDo))
{
}

GXCellTextStoreBatch::~GXCellTextStoreBatch()
{
    try {
        Flush();
    } catch (...) {
        // Out of memory while unwinding: the styles of the last run are dropped with it.
        for (CGXStyle* p : m_run)
            delete p;
    }
}

BOOL GXCellTextStoreBatch::Store(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle)
{
    CGXData* pData = m_grid.GetData();
    std::unique_ptr<CGXStyle> old(m_bRecord && pData != nullptr ? OldStyleCopy(pData, nRow, nCol) : nullptr);
    if (!m_grid.SetCellTextThroughControl(nRow, nCol, sText, nFlags, pOldStyle))
        return HeldAlready(m_grid, pData, nRow, nCol, sText);
    if (m_bRecord)
        Add(nRow, nCol, old.release());
    return TRUE;
}

void GXCellTextStoreBatch::Flush()
{
    CloseRun();
    FlushPending();
}

void GXCellTextStoreBatch::Add(ROWCOL nRow, ROWCOL nCol, CGXStyle* pOld)
{
    const bool bNext = !m_run.empty() && nRow == m_nRunRow && nCol == m_nRunLeft + m_run.size() && m_run.size() < kMaxBatchSide;
    if (!bNext) {
        CloseRun();
        m_nRunRow = nRow;
        m_nRunLeft = nCol;
    }
    std::unique_ptr<CGXStyle> owned(pOld);
    m_run.push_back(pOld);
    owned.release();
}

void GXCellTextStoreBatch::CloseRun()
{
    if (m_run.empty())
        return;
    const ROWCOL nRight = m_nRunLeft + static_cast<ROWCOL>(m_run.size()) - 1;
    bool bStack = false;
    if (m_pending != nullptr) {
        const CGXRange& r = m_pending->m_range;
        bStack = r.left == m_nRunLeft && r.right == nRight && r.bottom + 1 == m_nRunRow && r.GetHeight() < kMaxBatchSide &&
                 m_pending->m_Styles.GetSize() + static_cast<INT_PTR>(m_run.size()) <= kMaxBatchCells;
    }
    if (!bStack) {
        FlushPending();
        m_pending = std::make_unique<CGXSetStyleRangeCmd>(CGXRange(m_nRunRow, m_nRunLeft, m_nRunRow, nRight), 0);
        m_pending->m_nRow = m_nRunRow;
        m_pending->m_nCol = m_nRunLeft;
    }
    // Room first, so that the command takes the whole run or, when memory runs out, none of it.
    const INT_PTR nOld = m_pending->m_Styles.GetSize();
    m_pending->m_Styles.SetSize(nOld + static_cast<INT_PTR>(m_run.size()));
    for (size_t i = 0; i < m_run.size(); ++i)
        m_pending->m_Styles.SetAt(nOld + static_cast<INT_PTR>(i), m_run[i]);
    m_pending->m_range.bottom = m_nRunRow;
    m_run.clear();
}

void GXCellTextStoreBatch::FlushPending()
{
    if (m_pending != nullptr)
        m_grid.AddCommand(m_pending.release(), gxDo);
}
