// CGXHeader: the header cell: its text as a static cell, in bold while the current cell lies in
// its row or column and the properties ask for the headers of the current cell to be marked.
#pragma once

#include "grid/core/CGXStatic.h"

class CGXHeader : public CGXStatic {
    DECLARE_DYNAMIC(CGXHeader)
public:
    explicit CGXHeader(CGXGridCore* pGrid) : CGXStatic(pGrid) {}

    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle) override;
    // Whether the header of this row (nCol 0) or column (nRow 0) is marked now.
    BOOL IsMarked(ROWCOL nRow, ROWCOL nCol);
};
