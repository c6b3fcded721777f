#include "grid/core/CGXHeader.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXProperties.h"

IMPLEMENT_DYNAMIC(CGXHeader, CGXStatic)

BOOL CGXHeader::IsMarked(ROWCOL nRow, ROWCOL nCol)
{
    // The mark-header feature decides when the grid has it.
    if (m_pGrid != nullptr && m_pGrid->m_pMarkEditHeaderImp != nullptr)
        return m_pGrid->m_pMarkEditHeaderImp->IsHeaderMarked(m_pGrid, this, nRow, nCol);
    ROWCOL nCurRow, nCurCol;
    if (m_pGrid == nullptr || m_pGrid->GetParam() == nullptr || !m_pGrid->GetCurrentCell(nCurRow, nCurCol))
        return FALSE;
    const CGXProperties* pProps = m_pGrid->GetParam()->GetProperties();
    if (pProps == nullptr)
        return FALSE;
    if (nCol == 0 && nRow != 0)
        return pProps->m_bMarkRowHeader && nRow == nCurRow;
    if (nRow == 0 && nCol != 0)
        return pProps->m_bMarkColHeader && nCol == nCurCol;
    return FALSE;
}

void CGXHeader::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (!IsMarked(nRow, nCol)) {
        CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    CGXStyle marked(style);
    CGXFont font = style.GetFont();
    font.SetBold(TRUE);
    marked.SetFont(font);
    CGXStatic::Draw(pDC, rect, nRow, nCol, marked, pStandardStyle);
}
