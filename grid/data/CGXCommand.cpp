#include "grid/data/CGXCommand.h"

IMPLEMENT_DYNAMIC(CGXCommand, CObject)
IMPLEMENT_DYNAMIC(CGXBlockCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveCellsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetStyleRangeCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeStylesMapCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangePropertiesCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeBaseStyleCmd, CGXCommand)

CGXBlockCmd::CGXBlockCmd(const CString& description)
{
    m_sDescription = description;
}

CGXBlockCmd::~CGXBlockCmd()
{
    while (!m_commands.IsEmpty())
        delete m_commands.RemoveTail();
}

void CGXBlockCmd::Add(CGXCommand* pCmd)
{
    if (m_bBroken)
        delete pCmd;
    else
        m_commands.AddTail(pCmd);
}

void CGXBlockCmd::Break()
{
    m_bBroken = TRUE;
    while (!m_commands.IsEmpty())
        delete m_commands.RemoveTail();
}

BOOL CGXBlockCmd::Execute(IGXCommandTarget& target, int nMode)
{
    if (m_bBroken)
        return FALSE;
    BOOL bAll = TRUE;
    for (POSITION pos = m_commands.GetTailPosition(); pos != nullptr;)
        if (!static_cast<CGXCommand*>(m_commands.GetPrev(pos))->Execute(target, nMode))
            bAll = FALSE;
    return bAll;
}

CGXCommand* CGXBlockCmd::DetachSingle()
{
    if (m_commands.GetCount() != 1)
        return nullptr;
    return static_cast<CGXCommand*>(m_commands.RemoveHead());
}

CGXCommand* CGXBlockCmd::DetachNewest()
{
    if (m_commands.IsEmpty())
        return nullptr;
    return static_cast<CGXCommand*>(m_commands.RemoveTail());
}

CGXStyleArray::~CGXStyleArray()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete GetAt(i);
}

BOOL CGXInsertRowsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    return target.InsertRows(m_nRow, m_nCount, &m_Heights, &m_CellStyles, &m_RowStyles, m_nColCount, nMode);
}

BOOL CGXInsertColsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    return target.InsertCols(m_nCol, m_nCount, &m_Widths, &m_CellStyles, &m_ColStyles, m_nRowCount, nMode);
}

CGXMoveDataRowsCmd::CGXMoveDataRowsCmd(const CGXRange& range, const CDWordArray& order) : m_range(range)
{
    m_order.Copy(order);
}

CGXMoveDataColsCmd::CGXMoveDataColsCmd(const CGXRange& range, const CDWordArray& order) : m_range(range)
{
    m_order.Copy(order);
}

BOOL CGXSetStyleRangeCmd::Execute(IGXCommandTarget& target, int nMode)
{
    return target.ApplyStyleToRange(m_range, nullptr, gxCopy, m_nType, &m_Styles, nMode);
}

CGXSetStyleRangeCmd* GXCreateCopyCellsUndo(const CGXData& data, const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol)
{
    if (!range.IsValid() || !range.IsCells())
        return nullptr;
    const ROWCOL nHeight = range.GetHeight(), nWidth = range.GetWidth();
    if (nDestRow > data.GetRowCount() || data.GetRowCount() - nDestRow < nHeight - 1 || nDestCol > data.GetColCount() ||
        data.GetColCount() - nDestCol < nWidth - 1)
        return nullptr;
    const CGXRange dest(nDestRow, nDestCol, nDestRow + nHeight - 1, nDestCol + nWidth - 1);
    auto pCmd = std::make_unique<CGXSetStyleRangeCmd>(dest, 0);
    pCmd->m_Styles.SetSize(static_cast<INT_PTR>(nHeight) * nWidth);
    INT_PTR i = 0;
    for (ROWCOL r = dest.top; r <= dest.bottom; ++r)
        for (ROWCOL c = dest.left; c <= dest.right; ++c, ++i)
            if (const CGXStyle* p = data.LookupStyle(r, c, 0))
                pCmd->m_Styles.SetAt(i, new CGXStyle(*p));
    pCmd->m_nRow = dest.top;
    pCmd->m_nCol = dest.left;
    return pCmd.release();
}

CGXCommand* GXCreateMoveCellsUndo(const CGXData& data, const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol)
{
    std::unique_ptr<CGXSetStyleRangeCmd> restore(GXCreateCopyCellsUndo(data, range, nDestRow, nDestCol));
    if (!restore)
        return nullptr;
    const CGXRange& dest = restore->m_range;
    auto pBack = std::make_unique<CGXMoveCellsCmd>(dest, range.top, range.left);
    pBack->m_nRow = range.top;
    pBack->m_nCol = range.left;
    // The move back leaves the destination's cells outside the source empty; when they were
    // empty before, there is nothing to restore (and a restore that changes nothing would
    // report the replay as failed).
    bool bCovered = false;
    INT_PTR i = 0;
    for (ROWCOL r = dest.top; r <= dest.bottom && !bCovered; ++r)
        for (ROWCOL c = dest.left; c <= dest.right && !bCovered; ++c, ++i)
            bCovered = restore->m_Styles.GetAt(i) != nullptr && !range.ContainsCell(r, c);
    if (!bCovered)
        return pBack.release();
    // A block runs its commands newest first: the move back, then the restore.
    auto pBlock = std::make_unique<CGXBlockCmd>();
    pBlock->Add(restore.release());
    pBlock->Add(pBack.release());
    return pBlock.release();
}
