#include "grid/core/CGXHotSpotEdit.h"

#include "grid/core/CGXChild.h"
#include "grid/core/CGXGridCore.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CGXHotSpotEdit, CGXEditControl)

namespace {
constexpr int kHotSpotButtonWidth = 15;
} // namespace

CGXHotSpotEdit::CGXHotSpotEdit(CGXGridCore* pGrid, UINT nID) : CGXEditControl(pGrid, nID), m_pButton(new CGXButton(this, "..."))
{
    AddChild(m_pButton);
}

int CGXHotSpotEdit::ButtonWidth(const CRect& rectCell) const
{
    return std::min(kHotSpotButtonWidth, std::max(0, static_cast<int>(rectCell.Width()) / 2));
}

CRect CGXHotSpotEdit::GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::GetCellRect(nRow, nCol, rectItem, pStyle);
    // Only the current cell shows the button; its text stops short of it.
    if (m_pGrid != nullptr && m_pGrid->IsCurrentCell(nRow, nCol))
        rect.right -= ButtonWidth(rect);
    return rect;
}

void CGXHotSpotEdit::LayoutChildren(ROWCOL nRow, ROWCOL nCol, const CRect& rectCell, const CGXStyle& style)
{
    CRect inner = rectCell;
    if (m_pGrid != nullptr)
        inner = m_pGrid->SubtractBorders(rectCell, style);
    const int cx = ButtonWidth(inner);
    m_pButton->SetRect(CRect(inner.right - cx, inner.top, inner.right, inner.bottom));
    (void)nRow;
    (void)nCol;
}

CRect CGXHotSpotEdit::CalcEditRect()
{
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle == nullptr || m_pGrid == nullptr)
        return CRect(0, 0, 0, 0);
    const CRect cell = m_pGrid->CalcCellRect(m_nRow, m_nCol);
    LayoutChildren(m_nRow, m_nCol, cell, *pStyle);
    CRect rect = cell;
    return GetCellRect(m_nRow, m_nCol, &rect, pStyle);
}

BOOL CGXHotSpotEdit::LButtonDown(UINT nFlags, CPoint pt, UINT nHitState)
{
    if (const CGXStyle* pStyle = LoadStyle(); pStyle != nullptr && m_pGrid != nullptr)
        LayoutChildren(m_nRow, m_nCol, m_pGrid->CalcCellRect(m_nRow, m_nCol), *pStyle);
    return CGXEditControl::LButtonDown(nFlags, pt, nHitState);
}

BOOL CGXHotSpotEdit::MouseMove(UINT nFlags, CPoint pt, UINT nHitState)
{
    return CGXEditControl::MouseMove(nFlags, pt, nHitState);
}

BOOL CGXHotSpotEdit::LButtonUp(UINT nFlags, CPoint pt, UINT nHitState)
{
    // A click on the button is the button's, not the start of an edit.
    if (ChildrenLButtonUp(nFlags, pt))
        return TRUE;
    if (m_pButton->GetRect().PtInRect(pt))
        return TRUE;
    return CGXEditControl::LButtonUp(nFlags, pt, nHitState);
}

BOOL CGXHotSpotEdit::KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_bInit && ((nMessage == WM_SYSKEYDOWN && nChar == VK_DOWN) || (nMessage == WM_KEYDOWN && nChar == VK_F4))) {
        OnClickedButton(m_pButton);
        return TRUE;
    }
    return CGXEditControl::KeyPressed(nMessage, nChar, nRepCnt, nFlags);
}
