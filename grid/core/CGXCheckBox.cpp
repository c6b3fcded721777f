#include "grid/core/CGXCheckBox.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXCheckBox, CGXStatic)

namespace {
constexpr int kCaptionGap = 4;
} // namespace

BOOL CGXCheckBox::IsChecked(const CGXStyle& style)
{
    return style.GetValue() == "1";
}

CRect CGXCheckBox::CalcBoxRect(const CRect& rectInner, const CGXStyle& style)
{
    int x = rectInner.left + 2;
    if (style.GetHorizontalAlignment() == 1)
        x = rectInner.left + (rectInner.Width() - kBoxSize) / 2;
    else if (style.GetHorizontalAlignment() == 2)
        x = rectInner.right - kBoxSize - 2;
    int y = rectInner.top + (rectInner.Height() - kBoxSize) / 2;
    if (style.GetVerticalAlignment() == 0 && style.GetInclude(GX_INCL_VERTALIGN))
        y = rectInner.top + 1;
    else if (style.GetVerticalAlignment() == 2)
        y = rectInner.bottom - kBoxSize - 1;
    return CRect(x, y, x + kBoxSize, y + kBoxSize);
}

void CGXCheckBox::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (pDC == nullptr)
        return;
    const CRect inner = GetCellRect(nRow, nCol, &rect, &style);
    // The interior (unless the grid painted it with its neighbours), the box, the caption.
    if (m_pGrid != nullptr && (m_pGrid->GetEraseBackground() || !m_pGrid->IsDrawing()) && style.GetInclude(GX_INCL_INTERIOR))
        m_pGrid->FillRectWithBrush(pDC, inner, style.GetInterior());
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&inner);
    CRect box = CalcBoxRect(inner, style);
    UINT nState = DFCS_BUTTONCHECK;
    if (IsChecked(style))
        nState |= DFCS_CHECKED;
    if ((style.GetInclude(GX_INCL_ENABLED) && !style.GetEnabled()) || (m_bPressedInBox && IsInitFor(nRow, nCol)))
        nState |= DFCS_INACTIVE;
    pDC->DrawFrameControl(&box, DFC_BUTTON, nState);
    // The caption: the choice list's first line, beside the box.
    CString sCaption = style.GetChoiceList();
    if (const int n = sCaption.FindOneOf("\r\n"); n >= 0)
        sCaption = sCaption.Left(n);
    if (!sCaption.IsEmpty() && style.GetHorizontalAlignment() != 1) {
        CRect text = inner;
        if (style.GetHorizontalAlignment() == 2)
            text.right = box.left - kCaptionGap;
        else
            text.left = box.right + kCaptionGap;
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF clrOld = pDC->SetTextColor(GXGetSysData()->Resolve(style.GetInclude(GX_INCL_TEXTCOLOR) ? style.GetTextColor() : 0));
        pDC->DrawText(sCaption, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (style.GetHorizontalAlignment() == 2 ? DT_RIGHT : DT_LEFT));
        pDC->SetTextColor(clrOld);
        pDC->SetBkMode(nOldMode);
    }
    pDC->RestoreDC(nSaved);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXCheckBox::Toggle()
{
    const CGXStyle* pStyle = LoadStyle();
    if (!m_bInit || m_pGrid == nullptr || pStyle == nullptr || IsReadOnly())
        return FALSE;
    if (pStyle->GetInclude(GX_INCL_ENABLED) && !pStyle->GetEnabled())
        return FALSE;
    CGXStyle value;
    value.SetValue(IsChecked(*pStyle) ? "0" : "1");
    const ROWCOL nRow = m_nRow, nCol = m_nCol;
    // Stored at once, through the range operation, so that the click can be undone.
    if (!m_pGrid->ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), &value, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo))
        return FALSE;
    m_pGrid->OnModifyCell(nRow, nCol);
    if (!IsInitFor(nRow, nCol))
        Init(nRow, nCol);
    FreeStyle();
    return TRUE;
}

BOOL CGXCheckBox::LButtonDown(UINT, CPoint, UINT)
{
    if (!m_bInit)
        return FALSE;
    m_bPressedInBox = TRUE;
    if (m_pGrid != nullptr)
        m_pGrid->RedrawRange(CGXRange(m_nRow, m_nCol, m_nRow, m_nCol), GX_INVALIDATE, FALSE);
    return TRUE;
}

BOOL CGXCheckBox::LButtonUp(UINT, CPoint pt, UINT)
{
    const BOOL bWasPressed = m_bPressedInBox;
    m_bPressedInBox = FALSE;
    if (!m_bInit || !bWasPressed || m_pGrid == nullptr)
        return FALSE;
    // Released over the cell it was pressed on: a click.
    if (m_pGrid->CalcCellRect(m_nRow, m_nCol).PtInRect(pt))
        return Toggle();
    m_pGrid->RedrawRange(CGXRange(m_nRow, m_nCol, m_nRow, m_nCol), GX_INVALIDATE, FALSE);
    return TRUE;
}

BOOL CGXCheckBox::LButtonDblClk(UINT, CPoint)
{
    // A double click is two clicks: the second press toggles again when released.
    return m_bInit;
}

BOOL CGXCheckBox::KeyPressed(UINT nMessage, UINT nChar, UINT, UINT)
{
    if (nMessage == WM_CHAR && nChar == ' ')
        return Toggle();
    return FALSE;
}
