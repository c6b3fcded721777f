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

BOOL CGXBlockCmd::Execute(IGXCommandTarget& target, int nMode)
{
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
