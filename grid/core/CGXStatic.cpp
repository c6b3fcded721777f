#include "grid/core/CGXStatic.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXGdiRecords.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNAMIC(CGXStatic, CGXControl)

UINT CGXStatic::GetDrawTextFormat(const CGXStyle& style)
{
    UINT nFormat = DT_NOPREFIX;
    switch (style.GetHorizontalAlignment()) {
    case 1: nFormat |= DT_CENTER; break;
    case 2: nFormat |= DT_RIGHT; break;
    default: break;
    }
    if (style.GetWrapText()) {
        nFormat |= DT_WORDBREAK;
    } else {
        nFormat |= DT_SINGLELINE;
        // Vertical alignment of wrapped text needs its height first: the drawing object of the
        // grid lays out such cells; a single line the device context can place by itself.
        switch (style.GetVerticalAlignment()) {
        case 1: nFormat |= DT_VCENTER; break;
        case 2: nFormat |= DT_BOTTOM; break;
        default: break;
        }
    }
    return nFormat;
}

void CGXStatic::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (pDC == nullptr)
        return;
    CGXDrawingAndFormatting::GetInstance()->DrawStaticCell(this, pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXStatic::CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFloatOrFlood)
{
    // The floating-cells feature decides; without it nothing floats.
    if (m_pGrid == nullptr || m_pGrid->m_pFloatCellsImp == nullptr)
        return FALSE;
    return m_pGrid->m_pFloatCellsImp->CanFloatCellDefault(m_pGrid, this, nRow, nCol, style, bFloatOrFlood);
}

CSize CGXStatic::CalcTextExtent(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL)
{
    // The text on one line in the cell's font, with the margins the cell keeps around it.
    if (pDC == nullptr || m_pGrid == nullptr)
        return CSize(0, 0);
    CString sText;
    GetControlText(sText, nRow, nCol, nullptr, style);
    CFont* pOldFont = LoadFont(pDC, style, pStandardStyle);
    const CSize text = sText.IsEmpty() ? CSize(0, 0) : pDC->GetTextExtent(sText);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
    CRect area(0, 0, 1000, 1000);
    const CRect inner = GetCellRect(nRow, nCol, &area, &style);
    return CSize(text.cx + area.Width() - inner.Width(), text.cy + area.Height() - inner.Height());
}

CSize CGXStatic::CalcSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL bVert)
{
    // The size-from-contents feature measures the text; without it the size is unknown.
    if (m_pGrid == nullptr || m_pGrid->m_pCalcSizeImp == nullptr)
        return CSize(0, 0);
    return m_pGrid->m_pCalcSizeImp->CalcSize(this, pDC, nRow, nCol, style, pStandardStyle, bVert);
}
