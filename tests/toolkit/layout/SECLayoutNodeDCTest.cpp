// Border nodes around one child (limits passed up, the child kept inside even when the border
// is wider than the node, a hidden child taking no room) and drawing nodes painting with their
// offset into a window of the headless backend.
#include <gtest/gtest.h>

#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScreenCapture.h"
#include "toolkit/layout/SECLayoutNodeDC.h"

namespace {

using SECLNBorder = SECLNBorder_T<SECLayoutNode>;

class HideableNode : public SECLayoutNode, public SECDefHideableNode {
protected:
    SECLayoutNode* GetHideableNode() override { return this; }
};

class RecordingDrawNode : public SECLayoutNodeDCBase {
public:
    void OnDraw(HDC hDC, const RECT& rect) override
    {
        ::GetViewportOrgEx(hDC, &origin);
        drawn = rect;
        ++draws;
        HBRUSH brush = ::CreateSolidBrush(RGB(200, 30, 30));
        ::FillRect(hDC, &rect, brush);
        ::DeleteObject(brush);
    }
    POINT origin{-1, -1};
    CRect drawn;
    int draws = 0;
};

}   // namespace

TEST(SECLayoutBorderTest, TheBorderPassesLimitsUpAndHoldsOneChild)
{
    SECLNBorder border;
    HideableNode child;
    SECLayoutNode second;
    border.SetBorders(4, 3, 6, 5);
    child.SetMinMaxSize(CSize(20, 10), CSize(200, 100), 0);
    child.SetPreferredRect(CRect(0, 0, 50, 40));
    ASSERT_EQ(border.AddLayoutNode(&child), 1);
    EXPECT_EQ(border.AddLayoutNode(&second), -1);
    EXPECT_EQ(border.GetChildCount(), 1);
    EXPECT_EQ(border.GetPreferredRect(), CRect(-4, -3, 56, 45));

    border.RecalcLayout(CRect(10, 10, 110, 60), FALSE, TRUE);
    EXPECT_EQ(child.GetCurrentRect(), CRect(14, 13, 104, 55));
    CSize mn, mx;
    DWORD flags = 1;
    border.GetMinMaxSize(mn, mx, flags);
    EXPECT_EQ(mn, CSize(30, 18));
    EXPECT_EQ(mx, CSize(210, 108));
    EXPECT_EQ(flags, 0u);

    // Wider than the node: the child's edges stay inside it.
    border.SetBorders(40, 30, 40, 30);
    border.RecalcLayout(CRect(0, 0, 50, 40), FALSE, TRUE);
    const CRect inner = child.GetCurrentRect();
    for (int x : {inner.left, inner.right})
        EXPECT_TRUE(x >= 0 && x <= 50) << x;
    for (int y : {inner.top, inner.bottom})
        EXPECT_TRUE(y >= 0 && y <= 40) << y;

    // A hidden child takes no room.
    child.ShowNode(FALSE, TRUE, FALSE);
    border.RecalcLayout(CRect(0, 0, 60, 40), FALSE, TRUE);
    border.GetMinMaxSize(mn, mx, flags);
    EXPECT_EQ(mn, CSize(0, 0));
    EXPECT_EQ(mx, CSize(0, 0));

    // Pending offsets move the edges once, when negotiating.
    border.SetBorders(0, 0, 0, 0);
    border.SetPendingOffsets(5, 0, 0, 0);
    EXPECT_EQ(border.RecalcLayout(CRect(0, 0, 60, 40), TRUE, TRUE).left, 5);
    EXPECT_EQ(border.RecalcLayout(CRect(0, 0, 60, 40), TRUE, TRUE).left, 0);
}

using SECLayoutDrawNodeTest = AfxTest;

TEST_F(SECLayoutDrawNodeTest, ADrawingNodePaintsItsRectangleShiftedByItsOffset)
{
    CWnd canvas;
    ASSERT_TRUE(canvas.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top->m_hWnd, nullptr));
    backend->ProcessMessages();
    SECLayoutNode root;
    RecordingDrawNode drawing;
    EXPECT_EQ(root.AddLayoutNode(&drawing), -1);   // not bound to a window yet
    drawing.SetDrawWnd(canvas.m_hWnd);
    ASSERT_EQ(root.AddLayoutNode(&drawing), 1);
    drawing.SetInitialRect(CRect(20, 10, 60, 30));
    drawing.SetDrawOffset(20, 10);
    root.SetInitialRect(CRect(0, 0, 200, 100));
    root.RecalcLayout(CRect(0, 0, 200, 100), FALSE, TRUE);
    ASSERT_TRUE(root.RealizeLayout());
    EXPECT_EQ(drawing.draws, 1);
    EXPECT_EQ(drawing.drawn, CRect(20, 10, 60, 30));
    EXPECT_EQ(drawing.origin.x, -20);
    EXPECT_EQ(drawing.origin.y, -10);

    // The fill lands at the node's rectangle less the offset.
    cairo_surface_t* shot = backend->Capture(canvas.m_hWnd);
    ASSERT_NE(shot, nullptr);
    auto pixel = [&](int x, int y) { return screen_capture::PixelAt(shot, x, y); };
    EXPECT_EQ(pixel(5, 5), 0xC81E1Eu);
    EXPECT_NE(pixel(45, 25), 0xC81E1Eu);
    cairo_surface_destroy(shot);
    canvas.DestroyWindow();
}
