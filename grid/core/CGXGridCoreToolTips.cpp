// Cell tool tips: the grid window answers the framework's tool hit test with the cell under the
// pointer when its style carries a tool-tip text, so that the thread's tip control shows it.
#include "grid/core/CGXGridCore.h"

#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/ToolTip.h"

#include <memory>

void CGXGridCore::EnableGridToolTips(BOOL bEnable)
{
    m_bTtnIsEnabled = bEnable;
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->EnableToolTips(bEnable);
}

INT_PTR CGXGridCore::HitTestToolTip(CPoint point, TOOLINFO* pTI)
{
    if (!m_bTtnIsEnabled || !m_bInitDone || m_pGridWnd == nullptr || m_pParam == nullptr)
        return -1;
    // While the grid holds the mouse for a drag (a border resized, cells selected or moved) no
    // cell is a tool: the cells pass under the pointer as they stood before the drag, and a tip
    // that came up for one of them would stay over what the drag has changed.
    if (m_pGridWnd->GetSafeHwnd() != nullptr && ::GetCapture() == m_pGridWnd->GetSafeHwnd())
        return -1;
    ROWCOL nRow = GX_INVALID, nCol = GX_INVALID;
    CRect rect;
    HitTest(point, &nRow, &nCol, &rect);
    if (nRow == GX_INVALID || nCol == GX_INVALID || nRow > GetRowCount() || nCol > GetColCount() || rect.IsRectEmpty())
        return -1;
    CGXRange covered;
    if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
        nRow = covered.top;
        nCol = covered.left;
        rect = CalcCellRectWithSpans(nRow, nCol);
    }
    // Composed afresh: the drawing's style cache may still hold the cell as the last paint saw it.
    std::unique_ptr<CGXStyle> pStyle(CreateStyle());
    ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
    if (!pStyle->HasUserAttribute(GX_IDS_UA_TOOLTIPTEXT))
        return -1;
    m_strToolTipText = pStyle->GetUserAttribute(GX_IDS_UA_TOOLTIPTEXT).GetValueText();
    if (m_strToolTipText.IsEmpty())
        return -1;
    // One tool per cell: a move to another cell makes the framework swap the tool, and with it
    // the text and the rectangle the tip waits over.
    const INT_PTR nId = static_cast<INT_PTR>((static_cast<unsigned long long>(nRow) << 32) | nCol);
    if (pTI != nullptr) {
        pTI->hwnd = m_pGridWnd->GetSafeHwnd();
        pTI->uId = static_cast<UINT_PTR>(nId);
        pTI->rect = rect;
        pTI->lpszText = const_cast<LPSTR>(m_strToolTipText.GetString());
    }
    return nId;
}
