// CGXDragLineWnd: the thin marker window that the resize and drag features show over the grid
// while the user drags a border or a block. With line flags set the grid draws the line (as
// its tracking or dragging line); without, the window fills itself in its pen's colour.
#pragma once

#include "grid/data/CGXPen.h"
#include "platform/afx/wnd/CWnd.h"

class CGXGridCore;

using ROWCOL = DWORD;

class CGXDragLineWnd : public CWnd {
    DECLARE_DYNAMIC(CGXDragLineWnd)
public:
    explicit CGXDragLineWnd(CGXGridCore* pGrid) : m_pGrid(pGrid) {}

    // A hidden 1 x 1 child of the parent in the library's drag-line class; FALSE when the
    // window could not be made.
    BOOL Create(CWnd* pParentWnd);

    CGXGridCore* m_pGrid;
    CGXPen m_pen;
    int m_nDirection = 0;
    ROWCOL m_nClientIndex = 0;
    UINT m_nLineFlags = 0;

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};
