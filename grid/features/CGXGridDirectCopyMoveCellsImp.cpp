#include "grid/features/CGXGridDirectCopyMoveCellsImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/GXFeatureScope.h"

#include <initializer_list>
#include <memory>

namespace {

// The destination block of a source range, or false when it leaves the counts.
bool DestinationOf(CGXGridCore& grid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, CGXRange& dest)
{
    if (!range.IsValid() || !range.IsCells() || range.bottom > grid.GetRowCount() || range.right > grid.GetColCount())
        return false;
    const ROWCOL nHeight = range.GetHeight(), nWidth = range.GetWidth();
    if (nRow > grid.GetRowCount() || grid.GetRowCount() - nRow < nHeight - 1 || nCol > grid.GetColCount() ||
        grid.GetColCount() - nCol < nWidth - 1)
        return false;
    dest.SetCells(nRow, nCol, nRow + nHeight - 1, nCol + nWidth - 1);
    return true;
}

// The blocks a store is about to change, announced to the data once unless an outer operation
// holds the data-change lock; the announcements end however the work ends.
class ChangeAnnouncement {
public:
    ChangeAnnouncement(CGXGridCore& grid, std::initializer_list<CGXRange> blocks)
        : m_grid(grid), m_bOld(grid.LockDataNotify(TRUE))
    {
        if (!m_bOld && grid.GetData() != nullptr)
            for (const CGXRange& r : blocks) {
                grid.GetData()->BeginChange(r);
                ++m_nOpen;
            }
    }
    ~ChangeAnnouncement()
    {
        for (; m_nOpen > 0; --m_nOpen)
            m_grid.GetData()->EndChange(TRUE);
        m_grid.LockDataNotify(m_bOld);
    }
    ChangeAnnouncement(const ChangeAnnouncement&) = delete;
    ChangeAnnouncement& operator=(const ChangeAnnouncement&) = delete;

private:
    CGXGridCore& m_grid;
    BOOL m_bOld;
    int m_nOpen = 0;
};

// What a copy or move changed: the current cell's control and merged spans over the blocks are
// worked out again, then the grid is redrawn as the caller asked.
void UpdateAfter(CGXGridCore& grid, std::initializer_list<CGXRange> blocks, UINT nFlags)
{
    for (const CGXRange& r : blocks)
        grid.UpdateStyleRange(r, nullptr, gxCopy, 0, GX_INVALIDATE, FALSE);
    grid.Redraw(nFlags);
}

} // namespace

void CGXGridDirectCopyMoveCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pDirectCopyMoveCellsImp != nullptr)
        return;
    auto* pImp = new CGXGridDirectCopyMoveCellsImp;
    pGrid->m_pDirectCopyMoveCellsImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridDirectCopyMoveCellsImp::StoreCopyCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol)
{
    CGXData* pData = pGrid != nullptr ? pGrid->GetData() : nullptr;
    return pData == nullptr || pData->CopyCells(range, nRow, nCol);
}

BOOL CGXGridDirectCopyMoveCellsImp::StoreMoveCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol)
{
    CGXData* pData = pGrid != nullptr ? pGrid->GetData() : nullptr;
    return pData == nullptr || pData->MoveCells(range, nRow, nCol);
}

BOOL CGXGridDirectCopyMoveCellsImp::CopyCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pGrid->GetData() == nullptr || pGrid->IsReadOnly())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXRange dest;
    if (!DestinationOf(grid, range, nRow, nCol, dest))
        return FALSE;
    const LPCTSTR pszCopy = grid.GetAppData()->GetText(gxTextCopy);
    CGXTransactionScope trans(grid, pszCopy);
    CGXLongOperation op;
    op.SetStatusText(pszCopy, FALSE);

    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    const bool bRecord = grid.RecordingUndo(gxDo) != FALSE;
    if (bRecord) {
        const unsigned long long nCells = static_cast<unsigned long long>(dest.GetHeight()) * dest.GetWidth();
        if (nCells < 0x7FFFFFFF && dest.GetHeight() < 0x8000 && dest.GetWidth() < 0x8000)
            undo.reset(GXCreateCopyCellsUndo(*grid.GetData(), range, nRow, nCol));
        else if (!grid.ConfirmLargeUndo())
            return FALSE; // the guard rolls back; nothing was changed
        else
            grid.EndUndoHistory();
    }
    grid.FreeObjectCache();
    BOOL bStored = FALSE;
    {
        ChangeAnnouncement change(grid, {dest});
        const BOOL bOldRecording = grid.SetDataUndoRecording(undo != nullptr);
        bStored = grid.StoreCopyCellsDirect(range, nRow, nCol, 0, gxDo, FALSE, FALSE, FALSE);
        grid.SetDataUndoRecording(bOldRecording);
    }
    if (!bStored) {
        delete grid.TakeDataUndoInfo();
        return FALSE;
    }
    if (undo) {
        // A data object kept elsewhere hands over its own undo record; it travels behind the
        // styles, where a set-style-range command looks for it.
        if (CObject* pInfo = grid.TakeDataUndoInfo())
            undo->m_Styles.Add(pInfo);
        undo->m_sDescription = pszCopy;
        grid.AddCommand(undo.release(), gxDo);
    }
    trans.Commit();
    grid.SetModifiedFlag(TRUE);
    UpdateAfter(grid, {dest}, nFlags);
    return TRUE;
}

BOOL CGXGridDirectCopyMoveCellsImp::MoveCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags,
                                              int nCmdType)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pGrid->GetData() == nullptr || pGrid->IsReadOnly())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXRange dest;
    if (!DestinationOf(grid, range, nRow, nCol, dest))
        return FALSE;
    const LPCTSTR pszMove = grid.GetAppData()->GetText(gxTextMove);
    CGXLongOperation op;
    op.SetStatusText(pszMove, FALSE);
    // Undo and redo replay a move in their own modes, so that the replay records its inverse
    // on the other list; a rollback records nothing.
    std::unique_ptr<CGXCommand> undo;
    if (grid.RecordingUndo(nCmdType)) {
        undo.reset(GXCreateMoveCellsUndo(*grid.GetData(), range, nRow, nCol));
        if (undo)
            undo->m_sDescription = pszMove;
    }
    BOOL bStored = FALSE;
    {
        ChangeAnnouncement change(grid, {dest, range});
        bStored = grid.StoreMoveCellsDirect(range, nRow, nCol, 0, nCmdType, FALSE, FALSE, FALSE);
    }
    if (bStored) {
        grid.SetModifiedFlag(TRUE);
        if (undo)
            grid.AddCommand(undo.release(), nCmdType);
    }
    UpdateAfter(grid, {range, dest}, nFlags);
    return bStored;
}
