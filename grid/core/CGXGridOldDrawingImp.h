// CGXGridOldDrawingImp: the grid's older drawing order, for grids with a transparent
// background: the whole area first, then every cell, then all lines, then the current cell's
// control and the selection. Once it has drawn, the grid keeps to it.
#pragma once

#include "platform/core/CObject.h"

class CDC;
class CGXGridCore;
struct GXDrawState;

class CGXAbstractGridOldDrawingImp : public CObject {
public:
    // TRUE when it drew the whole pass.
    virtual BOOL Draw(CGXGridCore* pGrid, CDC* pDC, GXDrawState& state) = 0;
    virtual void DrawBackground(CGXGridCore* pGrid, GXDrawState& state) = 0;
};

class CGXGridOldDrawingImp : public CGXAbstractGridOldDrawingImp {
public:
    static void Install(CGXGridCore* pGrid);
    BOOL Draw(CGXGridCore* pGrid, CDC* pDC, GXDrawState& state) override;
    void DrawBackground(CGXGridCore* pGrid, GXDrawState& state) override;
};
