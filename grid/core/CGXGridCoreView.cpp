// The engine's operations on what the window shows: scrolling, the current cell, drawing,
// mouse and keys. They keep the engine's state sound now; the window side (geometry, painting,
// scroll bars, hit tests, cell activation) is marked where it is still to come.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRangeList.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

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

void CGXGridCore::ApplyPrintMargins(CDC*, CPrintInfo*)
{
    // FIXME: the print information record comes with printing.
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

