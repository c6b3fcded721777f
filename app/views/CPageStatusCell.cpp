// The page-status cells of the file column.
#include "app/views/CPageStatusCell.h"

#include "app/res/GroupViewRes.h"
#include "grid/core/CGXChild.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXUserAttribute.h"

#include <algorithm>
#include <memory>

IMPLEMENT_DYNAMIC(CPageStatusCell, CGXStatic)
IMPLEMENT_DYNAMIC(CNotScannedCell, CPageStatusCell)
IMPLEMENT_DYNAMIC(CScannedCell, CPageStatusCell)
IMPLEMENT_DYNAMIC(CDirtiedCell, CPageStatusCell)
IMPLEMENT_DYNAMIC(CUnreadableCell, CPageStatusCell)

CPageStatusCell::CPageStatusCell(CGXGridCore* pGrid, UINT nBitmapID) : CGXStatic(pGrid), m_nBitmapID(nBitmapID)
{
    auto pPicture = std::make_unique<CGXBitmapButtonChild>(this);
    m_pPicture = pPicture.get();
    AddChild(pPicture.release());
    m_pPicture->LoadBitmaps(nBitmapID, 0, 0);
}

CRect CPageStatusCell::GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle)
{
    CRect rect = CGXStatic::GetCellRect(nRow, nCol, rectItem, pStyle);
    rect.left = std::min<int>(rect.left + kPictureWidth + kPictureLeft, rect.right);
    return rect;
}

void CPageStatusCell::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    CGXGridCore* pGrid = Grid();
    if (pDC != nullptr && pGrid != nullptr && (pGrid->GetEraseBackground() || !pGrid->IsDrawing()) &&
        style.GetInclude(GX_INCL_INTERIOR)) {
        CRect strip = rect;
        strip.right = std::min<LONG>(GetCellRect(nRow, nCol, &rect, &style).left, rect.right);
        if (!strip.IsRectEmpty())
            pGrid->FillRectWithBrush(pDC, strip, style.GetInterior());
    }
    // A path is one line, and one too long for the cell gives up its start: on one site every
    // path starts alike, and the file's name is what tells the rows apart.
    CGXStyle shown(style);
    shown.SetWrapText(FALSE);
    shown.SetUserAttribute(GX_IDS_UA_ELLIPSISTYPE, static_cast<LONG>(CGXDrawingAndFormatting::kPathEllipsis));
    CGXStatic::Draw(pDC, rect, nRow, nCol, shown, pStandardStyle);
}

void CPageStatusCell::LayoutChildren(ROWCOL, ROWCOL, const CRect& rectCell, const CGXStyle&)
{
    const int nTop = rectCell.top + std::max(0, rectCell.Height() - kPictureHeight) / 2;
    CRect picture(rectCell.left + kPictureLeft, nTop, rectCell.left + kPictureLeft + kPictureWidth, nTop + kPictureHeight);
    CRect clipped;
    if (!clipped.IntersectRect(&picture, &rectCell))
        clipped.SetRectEmpty();
    m_pPicture->SetRect(clipped);
}

CRect CPageStatusCell::GetPictureRect() const
{
    return m_pPicture->GetRect();
}

CNotScannedCell::CNotScannedCell(CGXGridCore* pGrid) : CPageStatusCell(pGrid, IDB_NOT_SCANNED) {}
CScannedCell::CScannedCell(CGXGridCore* pGrid) : CPageStatusCell(pGrid, IDB_SCANNED) {}
CDirtiedCell::CDirtiedCell(CGXGridCore* pGrid) : CPageStatusCell(pGrid, IDB_DIRTY) {}
CUnreadableCell::CUnreadableCell(CGXGridCore* pGrid) : CPageStatusCell(pGrid, IDB_UNREADABLE) {}
