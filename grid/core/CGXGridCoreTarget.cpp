#include "grid/core/CGXGridCoreTarget.h"

// Replayed commands go through the engine's own command operations, so that a derived grid's
// store and update layers run for an undo as for the first call, and the inverse is recorded
// in the replay's command mode.

BOOL CGXGridCore::CommandTarget::InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights,
                                            const CObArray* pCellStyles, const CObArray* pRowStyles, ROWCOL nColCount, int nMode)
{
    return m_grid.InsertRows(nRow, nCount, pHeights, pCellStyles, pRowStyles, nColCount, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::RemoveRows(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    return m_grid.RemoveRows(nFrom, nTo, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths,
                                            const CObArray* pCellStyles, const CObArray* pColStyles, ROWCOL nRowCount, int nMode)
{
    return m_grid.InsertCols(nCol, nCount, pWidths, pCellStyles, pColStyles, nRowCount, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::RemoveCols(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    return m_grid.RemoveCols(nFrom, nTo, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    return m_grid.MoveRows(nFrom, nTo, nDest, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    return m_grid.MoveCols(nFrom, nTo, nDest, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::MoveDataRows(const CGXRange& range, const CDWordArray& order, int nMode)
{
    // Reordering belongs to the sort feature when there is one.
    if (m_grid.m_pSortImp != nullptr)
        return m_grid.MoveDataRows(range, order, m_nFlags, nMode);
    if (!CGXGridModel::MoveDataRows(range, order, nMode))
        return FALSE;
    m_grid.UpdateMoveDataRows(range, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveDataCols(const CGXRange& range, const CDWordArray& order, int nMode)
{
    if (m_grid.m_pSortImp != nullptr)
        return m_grid.MoveDataCols(range, order, m_nFlags, nMode);
    if (!CGXGridModel::MoveDataCols(range, order, nMode))
        return FALSE;
    m_grid.UpdateMoveDataCols(range, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, int nMode)
{
    // Moving cells belongs to the direct copy and move feature when there is one.
    if (m_grid.m_pDirectCopyMoveCellsImp != nullptr)
        return m_grid.MoveCellsDirect(range, nDestRow, nDestCol, m_nFlags, nMode, FALSE, FALSE, FALSE);
    if (!CGXGridModel::MoveCells(range, nDestRow, nDestCol, nMode))
        return FALSE;
    m_grid.Redraw(m_nFlags);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::SetFrozenRows(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    return m_grid.SetFrozenRows(nFrozen, nHeader, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::SetFrozenCols(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    return m_grid.SetFrozenCols(nFrozen, nHeader, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                                   const CObArray* pCellStyles, int nMode)
{
    return m_grid.ApplyStyleToRange(range, pStyle, nModify, nType, pCellStyles, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::ChangeStylesMap(const CGXStylesMap& stylesMap, int nMode)
{
    return m_grid.ChangeStylesMap(stylesMap, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::ChangeProperties(const CGXProperties& properties, int nMode)
{
    return m_grid.ChangeProperties(properties, m_nFlags, nMode);
}

BOOL CGXGridCore::CommandTarget::ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, int nMode)
{
    return m_grid.ChangeBaseStyle(nID, style, nModify, m_nFlags, nMode);
}

void CGXGridCore::CommandTarget::ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent)
{
    m_grid.ShowCommandPosition(nRow, nCol, bSetCurrent);
}
