// The page-status cells of the file column.
#include "app/CPageStatusCell.h"

#include "app/res/GroupViewRes.h"
#include "grid/core/CGXChild.h"

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
