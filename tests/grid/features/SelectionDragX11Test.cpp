// Dragging with the mouse in a grid view on the X11 backend under Xvfb: a block selected by
// dragging over it shows its frame, dragging the frame's handle down fills the rows below, and
// selected rows dragged by their headers show a marker line and move, as the screen shows them.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"

#include <cstdlib>
#include <string>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class SelectionDragX11Test : public GridX11Test {
protected:
    bool WithFeatures() const override { return true; }
};

LPARAM At(const CPoint& pt)
{
    return MAKELPARAM(pt.x, pt.y);
}

} // namespace

TEST_F(SelectionDragX11Test, ADraggedBlockShowsItsFrameAndItsHandleFillsDown)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Keywords", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 520, 380)));
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 480, 320), frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    frame->RecalcLayout();
    CGXGridParam* pParam = view->GetParam();
    pParam->EnableUndo(FALSE);
    view->SetRowCount(12, 0);
    view->SetColCount(4, 0);
    view->SetColWidth(1, 4, 90, nullptr, 0, 1);
    const char* const words[] = {"meta", "title", "robots"};
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 2; ++c)
            view->SetValueRange(CGXRange(r, c, r, c), CString(words[r - 1]) + (c == 1 ? "" : " tag"), gxOverride, 0, 0);
    pParam->EnableUndo(TRUE);
    pParam->m_bFrame = TRUE;
    pParam->m_bFillHandle = TRUE;
    pParam->m_wFillMode = GX_FILL_VALUES;
    view->Redraw(GX_INVALIDATE, FALSE);
    ASSERT_TRUE(Settle()) << "the grid never settled";

    // Drag over (1,1)-(2,2).
    const CRect first = view->CalcCellRect(1, 1), last = view->CalcCellRect(2, 2);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(first.CenterPoint()));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(last.CenterPoint()));
    view->SendMessage(WM_LBUTTONUP, 0, At(last.CenterPoint()));
    ASSERT_TRUE(Settle()) << "the grid never settled";
    const CGXRangeList& sel = pParam->m_SelRects;
    ASSERT_EQ(sel.GetCount(), 1);
    const CGXRange* pSel = sel.GetRangeAt(sel.GetTailPosition());
    EXPECT_TRUE(pSel->top == 1 && pSel->left == 1 && pSel->bottom == 2 && pSel->right == 2);

    // Press on the handle at the block's bottom-right corner and drag it past the middle of row
    // 5. The X pointer goes along, so that the motion the server reports agrees.
    const CPoint handle(last.right - 2, last.bottom - 2);
    const CRect target = view->CalcCellRect(5, 2);
    const CPoint drop(target.CenterPoint().x, target.CenterPoint().y + 2);
    const POINT dropOnScreen = OnScreen(*view, drop.x, drop.y);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(handle));
    XWarpPointer(other, 0, DefaultRootWindow(other), 0, 0, 0, 0, dropOnScreen.x, dropOnScreen.y);
    XSync(other, False);
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(drop));
    // A paint in the middle of the drag keeps the outline.
    view->Redraw(GX_INVALIDATE, FALSE);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    cairo_surface_t* during = Screenshot(server->DisplayName());
    ASSERT_NE(during, nullptr);
    if (keep)
        cairo_surface_write_to_png(during, (std::string(keep) + "/filldrag.png").c_str());
    // The dotted outline runs down column A's left edge past the block to row 5, inside the
    // white cells below it: some of its pixels are dark.
    const CRect column = view->CalcClientRectOfRange(3, 1, 5, 1);
    int nDark = 0;
    for (int y = column.top + 2; y < column.bottom - 2; ++y)
        nDark += PixelAt(during, OnScreen(*view, column.left + 1, y)) != 0xFFFFFFu;
    EXPECT_GT(nDark, column.Height() / 4);
    cairo_surface_destroy(during);
    view->SendMessage(WM_LBUTTONUP, 0, At(drop));
    ASSERT_TRUE(Settle()) << "the windows never settled";

    EXPECT_STREQ(view->GetStoredCellValue(3, 1).GetString(), "meta");
    EXPECT_STREQ(view->GetStoredCellValue(4, 2).GetString(), "title tag");
    EXPECT_STREQ(view->GetStoredCellValue(5, 1).GetString(), "meta");
    EXPECT_STREQ(view->GetStoredCellValue(6, 1).GetString(), "");
    pSel = sel.GetRangeAt(sel.GetTailPosition());
    EXPECT_TRUE(pSel->top == 1 && pSel->left == 1 && pSel->bottom == 5 && pSel->right == 2);

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/fillhandle.png").c_str());
    // The frame now runs around (1,1)-(5,2), also along the rows the fill added: its inverted
    // band on the line under the block and just right of it, the handle at the bottom-right
    // corner, and plain white cells a few pixels further out.
    const CRect block = view->CalcClientRectOfRange(1, 1, 5, 2);
    const CRect row4 = view->CalcClientRectOfRange(4, 2, 4, 2);
    const uint32_t white = 0xFFFFFF;
    EXPECT_NE(PixelAt(shot, OnScreen(*view, block.left + 40, block.bottom)), white);
    EXPECT_NE(PixelAt(shot, OnScreen(*view, block.right + 1, row4.CenterPoint().y)), white);
    EXPECT_NE(PixelAt(shot, OnScreen(*view, block.right + 2, block.bottom + 2)), white);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, block.right + 10, block.bottom + 8)), white);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, block.left + 40, block.bottom + 6)), white);
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}

TEST_F(SelectionDragX11Test, SelectedRowsDraggedByTheirHeaderShowTheMarkerAndMove)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Pages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 520, 380)));
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 480, 320), frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    frame->RecalcLayout();
    CGXGridParam* pParam = view->GetParam();
    pParam->EnableUndo(FALSE);
    view->SetRowCount(12, 0);
    view->SetColCount(3, 0);
    view->SetColWidth(1, 3, 110, nullptr, 0, 1);
    const char* const pages[] = {"index.html", "about.html", "news.html", "blog.html", "jobs.html", "contact.html"};
    for (ROWCOL r = 1; r <= 6; ++r)
        view->SetValueRange(CGXRange(r, 1, r, 1), pages[r - 1], gxOverride, 0, 0);
    pParam->EnableUndo(TRUE);
    view->Redraw(GX_INVALIDATE, FALSE);
    ASSERT_TRUE(Settle()) << "the grid never settled";

    // Select rows 2 and 3 by dragging down their headers.
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(view->CalcClientRectOfRange(2, 0, 2, 0).CenterPoint()));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(view->CalcClientRectOfRange(3, 0, 3, 0).CenterPoint()));
    view->SendMessage(WM_LBUTTONUP, 0, At(view->CalcClientRectOfRange(3, 0, 3, 0).CenterPoint()));
    ASSERT_TRUE(Settle()) << "the grid never settled";
    const CGXRangeList& sel = pParam->m_SelRects;
    ASSERT_EQ(sel.GetCount(), 1);
    ASSERT_TRUE(sel.GetRangeAt(sel.GetHeadPosition())->IsRows());

    // Press on row 2's header and drag to the upper half of row 6.
    const CRect row6 = view->CalcClientRectOfRange(6, 0, 6, 0);
    const CPoint drop(row6.CenterPoint().x, row6.top + 4);
    const POINT dropOnScreen = OnScreen(*view, drop.x, drop.y);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(view->CalcClientRectOfRange(2, 0, 2, 0).CenterPoint()));
    XWarpPointer(other, 0, DefaultRootWindow(other), 0, 0, 0, 0, dropOnScreen.x, dropOnScreen.y);
    XSync(other, False);
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(drop));
    ASSERT_TRUE(Settle()) << "the windows never settled";
    CGXDragLineWnd* pLine = view->GetDragLineWnd(FALSE);
    ASSERT_NE(pLine, nullptr);
    cairo_surface_t* during = Screenshot(server->DisplayName());
    ASSERT_NE(during, nullptr);
    if (keep)
        cairo_surface_write_to_png(during, (std::string(keep) + "/dragrows.png").c_str());
    // The marker lies on the grid line above row 6 in the dragging-line colour, over the cells.
    const CRect cell = view->CalcClientRectOfRange(6, 2, 6, 2);
    EXPECT_EQ(PixelAt(during, OnScreen(*view, cell.CenterPoint().x, cell.top)), 0u);
    EXPECT_EQ(PixelAt(during, OnScreen(*view, cell.CenterPoint().x, cell.top + 3)), 0xFFFFFFu);
    cairo_surface_destroy(during);

    view->SendMessage(WM_LBUTTONUP, 0, At(drop));
    ASSERT_TRUE(Settle()) << "the windows never settled";
    EXPECT_EQ(view->GetDragLineWnd(FALSE), nullptr);
    EXPECT_STREQ(view->GetStoredCellValue(2, 1).GetString(), "blog.html");
    EXPECT_STREQ(view->GetStoredCellValue(4, 1).GetString(), "about.html");
    EXPECT_STREQ(view->GetStoredCellValue(5, 1).GetString(), "news.html");
    EXPECT_STREQ(view->GetStoredCellValue(6, 1).GetString(), "contact.html");
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/droprows.png").c_str());
    // No marker is left on the screen: the line above row 6 is the plain grid line again.
    EXPECT_NE(PixelAt(shot, OnScreen(*view, cell.CenterPoint().x, cell.top)), 0u);
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}
