#include "grid/features/CGXGridMarkEditHeaderImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXProperties.h"
#include "platform/afx/wnd/CWnd.h"

namespace {

// Column resize bit that keeps the header of the column being resized unmarked.
constexpr WORD kResizeNoMark = 0x10;

BOOL IsRowOnScreen(CGXGridCore* pGrid, ROWCOL nRow)
{
    return nRow <= pGrid->GetFrozenRows() || (nRow >= pGrid->GetTopRow() && nRow <= pGrid->GetLastVisibleRow());
}

BOOL IsColOnScreen(CGXGridCore* pGrid, ROWCOL nCol)
{
    return nCol <= pGrid->GetFrozenCols() || (nCol >= pGrid->GetLeftCol() && nCol <= pGrid->GetLastVisibleCol());
}

void InvalidateRect(CGXGridCore* pGrid, const CRect& rect)
{
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr || rect.IsRectEmpty())
        return;
    pWnd->InvalidateRect(&rect, FALSE);
}

} // namespace

void CGXGridMarkEditHeaderImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pMarkEditHeaderImp != nullptr)
        return;
    auto* pImp = new CGXGridMarkEditHeaderImp;
    pGrid->m_pMarkEditHeaderImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

void CGXGridMarkEditHeaderImp::UpdateMarkedHeaders(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nWhich, BOOL)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pGrid->GetParam()->m_bLockUpdate)
        return;
    const CGXProperties* pProps = pGrid->GetParam()->GetProperties();
    if (pProps == nullptr || nRow > pGrid->GetRowCount() || nCol > pGrid->GetColCount())
        return;
    if (!IsRowOnScreen(pGrid, nRow) || !IsColOnScreen(pGrid, nCol))
        return;
    if ((nWhich == both || nWhich == rowHeader) && pProps->m_bMarkRowHeader)
        InvalidateRect(pGrid, pGrid->CalcRangeRectWithSpans(nRow, 0, nRow, pGrid->GetHeaderCols()));
    if ((nWhich == both || nWhich == columnHeader) && pProps->m_bMarkColHeader)
        InvalidateRect(pGrid, pGrid->CalcRangeRectWithSpans(0, nCol, pGrid->GetHeaderRows(), nCol));
}

BOOL CGXGridMarkEditHeaderImp::IsHeaderMarked(CGXGridCore* pGrid, CGXControl*, ROWCOL nRow, ROWCOL nCol)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    const BOOL bRowHeader = nCol == 0 && nRow != 0;
    const BOOL bColHeader = nRow == 0 && nCol != 0;
    if (!bRowHeader && !bColHeader)
        return FALSE;
    CGXGridParam* pParam = pGrid->GetParam();
    const CGXProperties* pProps = pParam->GetProperties();
    // A covered header cell is marked for every row (column) it spans.
    CGXRange span(nRow, nCol, nRow, nCol);
    pGrid->FindCellSpan(nRow, nCol, span);

    ROWCOL nCurRow = 0;
    ROWCOL nCurCol = 0;
    if (pProps != nullptr && pGrid->GetCurrentCell(nCurRow, nCurCol) && nCurRow > pGrid->GetHeaderRows() &&
        nCurCol > pGrid->GetHeaderCols() && pParam->m_wRowSelectionMode == 0) {
        if (bRowHeader && pProps->m_bMarkRowHeader && nCurRow >= span.top && nCurRow <= span.bottom)
            return TRUE;
        if (bColHeader && pProps->m_bMarkColHeader && nCurCol >= span.left && nCurCol <= span.right)
            return TRUE;
    }
    int nMode = 0;
    ROWCOL nIndex = 0;
    if (pGrid->GetResizeTrackingState(nMode, nIndex)) {
        const BOOL bRowsTracked = nMode == 1;
        if (bColHeader && !bRowsTracked && nIndex >= span.left && nIndex <= span.right && !pParam->TestColResizeFlags(kResizeNoMark))
            return TRUE;
        if (bRowHeader && bRowsTracked && nIndex >= span.top && nIndex <= span.bottom && !pParam->TestRowResizeFlags(kResizeNoMark))
            return TRUE;
    }
    return FALSE;
}
