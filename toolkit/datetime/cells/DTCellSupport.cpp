#include "toolkit/datetime/cells/DTCellSupport.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/GXGdiRecords.h"
#include "grid/data/CGXStyle.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"

namespace dtcells {

BOOL MakeCellFont(CFont& font, CGXGridCore& grid, const CGXStyle& style)
{
    const LOGFONT lf = GXGetLogFont(style.GetFont(), grid.GetZoom());
    font.DeleteObject();
    return font.CreateFontIndirect(&lf);
}

void FrozenBands(CGXGridCore& grid, CRect& rows, CRect& cols)
{
    CRect area;
    grid.GetGridRect(&area);
    rows = cols = CRect(0, 0, 0, 0);
    if (const ROWCOL n = grid.GetFrozenRows(); n > 0)
        rows = CRect(area.left, area.top, area.right, area.top + grid.SumRowHeights(1, n));
    if (const ROWCOL n = grid.GetFrozenCols(); n > 0)
        cols = CRect(area.left, area.top, area.left + grid.SumColWidths(1, n), area.bottom);
    // The headers are frozen as well: the bands start after them.
    const int headerHeight = grid.SumRowHeights(0, 0);
    const int headerWidth = grid.SumColWidths(0, 0);
    if (!rows.IsRectEmpty())
        rows.OffsetRect(0, headerHeight);
    if (!cols.IsRectEmpty())
        cols.OffsetRect(headerWidth, 0);
    // And the headers themselves: nothing of a cell's window may cover them.
    const CRect headRow(area.left, area.top, area.right, area.top + headerHeight);
    const CRect headCol(area.left, area.top, area.left + headerWidth, area.bottom);
    rows.UnionRect(&rows, &headRow);
    cols.UnionRect(&cols, &headCol);
}

void ExcludeFrozen(CGXGridCore& grid, CWnd& wnd, ROWCOL nRow, ROWCOL nCol, const CRect& rcWnd)
{
    if (!wnd.GetSafeHwnd())
        return;
    CRect rows, cols;
    FrozenBands(grid, rows, cols);
    for (const CRect& band : {nRow > grid.GetFrozenRows() ? rows : CRect(), nCol > grid.GetFrozenCols() ? cols : CRect()}) {
        CRect under;
        if (!under.IntersectRect(&band, &rcWnd))
            continue;
        under.OffsetRect(-rcWnd.left, -rcWnd.top);
        ::ValidateRect(wnd.GetSafeHwnd(), &under);
    }
}

void ForwardKillFocus(CGXGridCore* pGrid, HWND hNewFocus)
{
    CWnd* pGridWnd = pGrid != nullptr ? pGrid->GridWnd() : nullptr;
    if (pGridWnd == nullptr || !pGridWnd->GetSafeHwnd())
        return;
    const HWND hGrid = pGridWnd->GetSafeHwnd();
    if (hNewFocus == hGrid || (hNewFocus != nullptr && ::IsChild(hGrid, hNewFocus)))
        return;
    pGrid->HandleKillFocus(hNewFocus != nullptr ? CWnd::FromHandle(hNewFocus) : nullptr);
}

} // namespace dtcells
