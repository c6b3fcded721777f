#include "grid/core/CGXPushbutton.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXPushbutton, CGXStatic)

CString CGXPushbutton::GetCaption(const CGXStyle& style)
{
    CString sCaption = style.GetChoiceList();
    if (const int n = sCaption.FindOneOf("\r\n"); n >= 0)
        sCaption = sCaption.Left(n);
    return sCaption.IsEmpty() ? style.GetValue() : sCaption;
}

void CGXPushbutton::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (pDC == nullptr)
        return;
    CRect button = GetCellRect(nRow, nCol, &rect, &style);
    // Clear of the grid lines, so that the button's shadow is not drawn over.
    button.right -= 1;
    button.bottom -= 1;
    if (button.IsRectEmpty())
        return;
    const BOOL bDown = m_bPressed && IsInitFor(nRow, nCol);
    pDC->DrawFrameControl(&button, DFC_BUTTON, DFCS_BUTTONPUSH | (bDown ? DFCS_PUSHED : 0));
    CRect face = button;
    face.DeflateRect(2, 2);
    if (bDown)
        face.OffsetRect(1, 1);
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&face);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const BOOL bDisabled = style.GetInclude(GX_INCL_ENABLED) && !style.GetEnabled();
    pDC->SetTextColor(GXGetSysData()->GetColor(bDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    pDC->DrawText(GetCaption(style), &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->SetBkMode(nOldMode);
    // The current cell's button shows the focus.
    if (m_pGrid != nullptr && m_pGrid->IsCurrentCell(nRow, nCol)) {
        CRect focus = face;
        focus.DeflateRect(1, 1);
        pDC->DrawFocusRect(&focus);
    }
    pDC->RestoreDC(nSaved);
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

void CGXPushbutton::SetPressed(BOOL bPressed)
{
    if (bPressed == m_bPressed)
        return;
    m_bPressed = bPressed;
    if (m_bInit && m_pGrid != nullptr)
        m_pGrid->RedrawRange(CGXRange(m_nRow, m_nCol, m_nRow, m_nCol), GX_INVALIDATE, FALSE);
}

BOOL CGXPushbutton::LButtonDown(UINT, CPoint, UINT)
{
    const CGXStyle* pStyle = LoadStyle();
    if (!m_bInit || pStyle == nullptr || (pStyle->GetInclude(GX_INCL_ENABLED) && !pStyle->GetEnabled()))
        return FALSE;
    m_bMouseCaptured = TRUE;
    SetPressed(TRUE);
    return TRUE;
}

BOOL CGXPushbutton::MouseMove(UINT, CPoint pt, UINT)
{
    if (!m_bMouseCaptured || m_pGrid == nullptr)
        return FALSE;
    SetPressed(m_pGrid->CalcCellRect(m_nRow, m_nCol).PtInRect(pt));
    return TRUE;
}

BOOL CGXPushbutton::LButtonUp(UINT, CPoint pt, UINT)
{
    if (!m_bMouseCaptured)
        return FALSE;
    m_bMouseCaptured = FALSE;
    const BOOL bClicked = m_bInit && m_pGrid != nullptr && m_pGrid->CalcCellRect(m_nRow, m_nCol).PtInRect(pt);
    SetPressed(FALSE);
    if (bClicked)
        m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
    return TRUE;
}

BOOL CGXPushbutton::LButtonDblClk(UINT nFlags, CPoint pt)
{
    // The second press of a double click presses the button again.
    return LButtonDown(nFlags, pt, 0);
}

BOOL CGXPushbutton::KeyPressed(UINT nMessage, UINT nChar, UINT, UINT)
{
    if (nMessage != WM_CHAR || nChar != ' ' || !m_bInit || m_pGrid == nullptr)
        return FALSE;
    m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
    return TRUE;
}
