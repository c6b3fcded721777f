// Cell sizes from contents, measured in the fixed-metric test font.
#include "grid/core/CGXCalcSizeImp.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXStatic.h"
#include "platform/afx/gdi/CDC.h"

#include "GridTestSupport.h"

TEST_F(GridDrawTest, CellSizesFollowTheTextLinesAndTheWidestLine)
{
    CGXGridCore grid;
    SetUpGrid(grid, 5, 3);
    ASSERT_NE(grid.m_pCalcSizeImp, nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CGXStatic control(&grid);
    CGXStyle style;
    grid.ComposeCellStyle(1, 1, style);
    // Metrics in the cell's font, as the measurement selects it.
    CFont* pOld = control.LoadFont(&dc, style, grid.GetStandardStyle());
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    const int nLine = tm.tmHeight + tm.tmExternalLeading;
    const int cxWide = dc.GetTextExtent("abcdefgh").cx;
    if (pOld != nullptr)
        dc.SelectObject(pOld);

    // An empty cell: one line of the font plus one pixel, the widest character across.
    const CSize empty = control.CalcSize(&dc, 1, 1, style, grid.GetStandardStyle(), FALSE);
    EXPECT_EQ(empty, grid.AddBordersToSize(tm.tmMaxCharWidth, nLine + 1, style));

    // Without wrapping, a text of three lines is as wide as its widest line, with the air the
    // drawing keeps at both sides, and one line high.
    style.SetWrapText(FALSE).SetValue("ab\nabcdefgh\nabc");
    const CSize wide = control.CalcSize(&dc, 1, 1, style, grid.GetStandardStyle(), FALSE);
    EXPECT_EQ(wide.cx, grid.AddBordersToSize(cxWide + 2 * CGXDrawingAndFormatting::kTextAir, 0, style).cx);
    const CSize high = control.CalcSize(&dc, 1, 1, style, grid.GetStandardStyle(), TRUE);
    EXPECT_EQ(high.cy, grid.AddBordersToSize(0, nLine + 1, style).cy);

    // Wrapped, forty lines count as thirty-two.
    CString sForty;
    for (int i = 0; i < 40; ++i)
        sForty += "x\n";
    style.SetWrapText(TRUE).SetValue(sForty);
    const CSize tall = control.CalcSize(&dc, 1, 1, style, grid.GetStandardStyle(), TRUE);
    EXPECT_EQ(tall.cy, grid.AddBordersToSize(0, CGXCalcSizeImp::kMaxLines * nLine + 1, style).cy);

    // Without the feature the size is unknown.
    grid.m_pCalcSizeImp = nullptr;
    EXPECT_EQ(control.CalcSize(&dc, 1, 1, style, grid.GetStandardStyle(), TRUE), CSize(0, 0));
}

#include "grid/core/CGXDragLineWnd.h"
#include "grid/data/CGXPen.h"
#include "platform/afx/wnd/CWnd.h"

TEST_F(GridDrawTest, TheDragLineWindowDrawsItsPenDownItsLength)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Lines", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    CGXGridCore grid(&frame);
    CGXDragLineWnd line(&grid);
    ASSERT_TRUE(line.Create(&frame));
    EXPECT_FALSE(line.IsWindowVisible()); // made hidden, 1 x 1, until a feature places it
    line.m_pen = CGXPen(PS_SOLID, 1, RGB(255, 0, 0));
    line.MoveWindow(30, 10, 1, 50);
    line.ShowWindow(SW_SHOW);
    line.UpdateWindow();
    CDC* pDC = frame.GetDC();
    ASSERT_NE(pDC, nullptr);
    EXPECT_EQ(pDC->GetPixel(30, 10), RGB(255, 0, 0));
    EXPECT_EQ(pDC->GetPixel(30, 58), RGB(255, 0, 0));
    EXPECT_NE(pDC->GetPixel(31, 30), RGB(255, 0, 0)); // one pixel wide
    frame.ReleaseDC(pDC);
    line.DestroyWindow();
    frame.DestroyWindow();
}
