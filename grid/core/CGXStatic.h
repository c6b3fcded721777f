// CGXStatic: the static-text cell: it shows the cell's value in the cell's font, colour and
// alignment and has nothing to edit.
#pragma once

#include "grid/core/CGXControl.h"
#include "platform/win/GdiTypes.h"

class CGXSysColorCache;

class CGXStatic : public CGXControl {
    DECLARE_DYNAMIC(CGXStatic)
public:
    explicit CGXStatic(CGXGridCore* pGrid) : CGXControl(pGrid) {}
    ~CGXStatic() override = default;

    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle) override;
    BOOL CanFloatCell(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bFloatOrFlood) override;
    CSize CalcTextExtent(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL bVert) override;
    CSize CalcSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle, BOOL bVert) override;

    // The DrawText format of a style's alignment and wrapping.
    static UINT GetDrawTextFormat(const CGXStyle& style);
};
