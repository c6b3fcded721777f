// The engine's operations on what the window shows: the scroll hooks, redraw, the printing
// hooks and the page margins.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRangeList.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

namespace {
constexpr int kPointsPerInch = 72;
} // namespace

// ---- Scrolling ----

BOOL CGXGridCore::OnLeftColChange(ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnTopRowChange(ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnLeftColChanged() {}

void CGXGridCore::OnTopRowChanged() {}

BOOL CGXGridCore::ScrollByDirection(int direction, UINT nCell)
{
    return Scroll(static_cast<UINT>(direction), nCell);
}

// ---- Redraw, printing hooks, paint ----

void CGXGridCore::ApplyPrintMargins(CDC* pDC, CPrintInfo* pInfo)
{
    const CGXProperties* pProps = m_pParam != nullptr ? m_pParam->GetProperties() : nullptr;
    if (pInfo == nullptr || pProps == nullptr)
        return;
    // The margins are kept in points; the drawing rectangle is in the printer's units.
    const int dpiX = pDC != nullptr ? std::max(pDC->GetDeviceCaps(LOGPIXELSX), 1) : kPointsPerInch;
    const int dpiY = pDC != nullptr ? std::max(pDC->GetDeviceCaps(LOGPIXELSY), 1) : kPointsPerInch;
    const auto scale = [](int nPoints, int dpi) { return static_cast<int>((static_cast<long long>(std::max(nPoints, 0)) * dpi + kPointsPerInch / 2) / kPointsPerInch); };
    CRect& rect = pInfo->m_rectDraw;
    rect.left += scale(pProps->m_nLeftMargin, dpiX);
    rect.top += scale(pProps->m_nTopMargin, dpiY);
    rect.right -= scale(pProps->m_nRightMargin, dpiX);
    rect.bottom -= scale(pProps->m_nBottomMargin, dpiY);
}

void CGXGridCore::OnGridBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridBeginPrinting(this, pDC, pInfo);
}

void CGXGridCore::OnGridEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridEndPrinting(this, pDC, pInfo);
}

void CGXGridCore::OnGridPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridPrint(this, pDC, pInfo);
}

void CGXGridCore::DrawCellWithControl(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect, const CGXStyle& style)
{
    CGXControl* pControl = GetControlById(style.GetControl());
    if (pControl == nullptr)
        return;
    ROWCOL nCurRow, nCurCol;
    if (nRow != 0 && nCol != 0 && GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol &&
        !pControl->IsInitFor(nRow, nCol))
        pControl->Init(nRow, nCol);
    pControl->Draw(pDC, rect, nRow, nCol, style, m_pStyleStandard);
}

void CGXGridCore::MarkEditHeader(ROWCOL nRow, ROWCOL nCol, BOOL bMark, UINT nFlags)
{
    if (m_pMarkEditHeaderImp != nullptr)
        m_pMarkEditHeaderImp->MarkEditHeader(this, nRow, nCol, bMark, nFlags);
}

// ---- Window messages and keys ----

BOOL CGXGridCore::HandleSysColorChange()
{
    GXGetSysData()->Refresh();
    for (const auto& [nID, pControl] : m_controls)
        if (pControl)
            pControl->OnGridSysColorChange();
    Redraw(GX_INVALIDATE, FALSE);
    return FALSE;
}

