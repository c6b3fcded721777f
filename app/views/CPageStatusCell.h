// CPageStatusCell: the file cell of a page row: a static text with a small picture at its left
// telling whether the page is not scanned, scanned, edited or could not be read. One class draws
// them all; the named kinds differ only in their picture.
#pragma once

#include "grid/core/CGXStatic.h"

class CGXBitmapButtonChild;

class CPageStatusCell : public CGXStatic {
    DECLARE_DYNAMIC(CPageStatusCell)
public:
    // The picture's size and its distance from the cell's left edge.
    static constexpr int kPictureWidth = 14;
    static constexpr int kPictureHeight = 16;
    static constexpr int kPictureLeft = 3;

    CPageStatusCell(CGXGridCore* pGrid, UINT nBitmapID);
    ~CPageStatusCell() override = default;

    // The static text's rectangle less the picture's share at its left.
    CRect GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle) override;
    // The strip that holds the picture gets the cell's background too: the text's background
    // leaves it out, and a cell painted on its own would show what lay there before. A path
    // wider than the cell shows its end, its start given way to "...".
    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    // The picture 3 pixels in from the left, centred vertically, clipped to the cell.
    void LayoutChildren(ROWCOL nRow, ROWCOL nCol, const CRect& rectCell, const CGXStyle& style) override;
    // The cell shows its page's file, which Delete does not take away.
    BOOL CanClear() override { return FALSE; }

    UINT GetBitmapID() const { return m_nBitmapID; }
    // Where the picture was last placed (for checks of the layout).
    CRect GetPictureRect() const;

private:
    CGXBitmapButtonChild* m_pPicture = nullptr; // owned through the child list
    UINT m_nBitmapID;
};

// Pages not scanned yet.
class CNotScannedCell : public CPageStatusCell {
    DECLARE_DYNAMIC(CNotScannedCell)
public:
    explicit CNotScannedCell(CGXGridCore* pGrid);
};

// Pages scanned and unchanged.
class CScannedCell : public CPageStatusCell {
    DECLARE_DYNAMIC(CScannedCell)
public:
    explicit CScannedCell(CGXGridCore* pGrid);
};

// Pages with a title or META value edited and not yet saved.
class CDirtiedCell : public CPageStatusCell {
    DECLARE_DYNAMIC(CDirtiedCell)
public:
    explicit CDirtiedCell(CGXGridCore* pGrid);
};

// Pages the last scan could not read; the cell's tool tip says why.
class CUnreadableCell : public CPageStatusCell {
    DECLARE_DYNAMIC(CUnreadableCell)
public:
    explicit CUnreadableCell(CGXGridCore* pGrid);
};
