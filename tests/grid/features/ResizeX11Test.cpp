// Dragging a column border of a grid view with the real pointer on the X11 backend under Xvfb:
// the user sees where the border will go while dragging, and Escape pressed during the drag
// puts everything back, after which the grid takes the pointer as before; a grid without the
// resize feature offers no border to drag.
#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridView.h"
#include "grid/features/CGXGridUserResizeCellsImp.h"
#include "grid/res/GridRes.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class ResizeX11Test : public GridX11Test {
protected:
    bool WithFeatures() const override { return true; }
    bool UsesXdotool() const override { return true; }
    // Runs xdotool against the test server; false when it failed.
    bool Xdo(const std::string& args)
    {
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 60 xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool MoveTo(CWnd& wnd, int x, int y)
    {
        const POINT pt = OnScreen(wnd, x, y);
        return Xdo("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y));
    }
    // A grid view of five 50-pixel columns, shown, with the keyboard focus.
    template <class View = CGXGridView>
    View* MakeView(CFrameWnd*& frame)
    {
        frame = new CFrameWnd; // goes with its window
        if (!frame->Create(nullptr, "Widths", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 520, 340)))
            return nullptr;
        auto* view = new View; // goes with its window
        if (!view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 480, 300), frame, AFX_IDW_PANE_FIRST))
            return nullptr;
        view->OnInitialUpdate();
        frame->RecalcLayout();
        view->GetParam()->EnableUndo(FALSE);
        view->SetRowCount(12, 0);
        view->SetColCount(5, 0);
        view->SetColWidth(1, 5, 50, nullptr, 0, 1);
        view->GetParam()->EnableUndo(TRUE);
        view->Redraw(GX_INVALIDATE, FALSE);
        view->SetFocus();
        return view;
    }
    static CGXGridUserResizeCellsImp& Feature(CGXGridView& view)
    {
        return *dynamic_cast<CGXGridUserResizeCellsImp*>(view.m_pUserResizeCellsImp);
    }
    static bool Tracking(CGXGridView& view)
    {
        int nMode = 0;
        ROWCOL nIndex = 0;
        return view.GetResizeTrackingState(nMode, nIndex) != 0 || Feature(view).IsTracking();
    }
    // Waits until the view is on the screen with the keyboard focus.
    ::testing::AssertionResult ShownWithFocus(CGXGridView& view)
    {
        if (!PumpUntil([&] { return ::GetFocus() == view.GetSafeHwnd() && view.IsWindowVisible(); }, 60000))
            return ::testing::AssertionFailure() << "the grid view never got the focus";
        return ::testing::AssertionSuccess();
    }
    // Presses the button on a border in the header and waits until the grid tracks the drag.
    ::testing::AssertionResult PressOnBorder(CGXGridView& view, int x, int y)
    {
        if (!MoveTo(view, x, y) || !Xdo("mousedown 1"))
            return ::testing::AssertionFailure() << "xdotool did not press on the border";
        if (!PumpUntil([&] { return Tracking(view); }, 60000))
            return ::testing::AssertionFailure() << "the press on the border did not start tracking";
        return ::testing::AssertionSuccess();
    }
    // Clicks the middle of a cell and waits until the grid takes it as its current cell.
    ::testing::AssertionResult ClickCell(CGXGridView& view, ROWCOL nRow, ROWCOL nCol)
    {
        const CRect target = view.CalcCellRect(nRow, nCol);
        if (!MoveTo(view, target.CenterPoint().x, target.CenterPoint().y) || !Xdo("click 1"))
            return ::testing::AssertionFailure() << "xdotool did not click the cell";
        if (!PumpUntil([&] { return view.IsCurrentCell(nRow, nCol); }, 60000))
            return ::testing::AssertionFailure() << "the click on (" << nRow << "," << nCol << ") was not taken";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(ResizeX11Test, TheBorderShowsWhereItGoesAndEscapeCancelsTheDrag)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    CFrameWnd* frame = nullptr;
    CGXGridView* view = MakeView(frame);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(ShownWithFocus(*view));
    const CRect header = view->CalcCellRect(0, 2);
    const int y = header.CenterPoint().y;
    const int border = header.right;

    // Press on column B's right border in the header and drag it 30 pixels right.
    ASSERT_TRUE(PressOnBorder(*view, border, y));
    ASSERT_TRUE(MoveTo(*view, border + 30, y));
    ASSERT_TRUE(PumpUntil([&] { return Feature(*view).GetMovingMarker().left == border + 30; }, 60000))
        << "the marker did not follow the pointer";
    // The starting edge (column B's left edge) stays marked and the line follows the pointer,
    // both inverted over the white cells of the rows below; the width waits for the release.
    EXPECT_EQ(Feature(*view).GetStartMarker().left, header.left);
    EXPECT_EQ(view->GetColWidth(2), 50);
    // A paint in the middle of the drag keeps both markers, once each.
    view->Redraw(GX_INVALIDATE, FALSE);
    view->UpdateWindow();
    backend->Sync();
    const CRect cell = view->CalcCellRect(4, 3);
    cairo_surface_t* during = Screenshot(server->DisplayName());
    ASSERT_NE(during, nullptr);
    if (keep)
        cairo_surface_write_to_png(during, (std::string(keep) + "/resize-drag.png").c_str());
    EXPECT_EQ(PixelAt(during, OnScreen(*view, border + 30, cell.CenterPoint().y)), 0x000000u);
    EXPECT_EQ(PixelAt(during, OnScreen(*view, border + 29, cell.CenterPoint().y)), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(during, OnScreen(*view, border + 31, cell.CenterPoint().y)), 0xFFFFFFu);
    cairo_surface_destroy(during);

    // Escape while the button is still down: the drag ends with nothing changed, the markers go.
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(PumpUntil([&] { return !Tracking(*view); }, 60000)) << "Escape did not end the drag";
    EXPECT_EQ(view->GetColWidth(2), 50);
    EXPECT_TRUE(Feature(*view).GetMovingMarker().IsRectEmpty());
    EXPECT_EQ(::GetCapture(), nullptr);

    // Moving on and letting go changes nothing either.
    ASSERT_TRUE(MoveTo(*view, border + 60, y));
    ASSERT_TRUE(Xdo("mouseup 1"));
    // The grid takes the pointer as before: a click on a cell makes it current.
    ASSERT_TRUE(ClickCell(*view, 5, 4)) << "after the cancelled drag";
    EXPECT_FALSE(Tracking(*view));
    EXPECT_EQ(view->GetColWidth(2), 50);
    view->UpdateWindow();
    backend->Sync();
    cairo_surface_t* after = Screenshot(server->DisplayName());
    ASSERT_NE(after, nullptr);
    if (keep)
        cairo_surface_write_to_png(after, (std::string(keep) + "/resize-cancelled.png").c_str());
    EXPECT_EQ(PixelAt(after, OnScreen(*view, border + 30, cell.CenterPoint().y)), 0xFFFFFFu);
    cairo_surface_destroy(after);
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}

TEST_F(ResizeX11Test, EscapeGivesALiveResizedColumnItsWidthBack)
{
    CFrameWnd* frame = nullptr;
    CGXGridView* view = MakeView(frame);
    ASSERT_NE(view, nullptr);
    view->GetParam()->m_wAllowTrackColWidth |= 0x100;
    ASSERT_TRUE(ShownWithFocus(*view));
    const CRect header = view->CalcCellRect(0, 2);
    const int y = header.CenterPoint().y;

    ASSERT_TRUE(PressOnBorder(*view, header.right, y));
    ASSERT_TRUE(MoveTo(*view, header.right + 20, y));
    ASSERT_TRUE(PumpUntil([&] { return view->GetColWidth(2) == 70; }, 60000)) << "the column did not follow the pointer";

    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(PumpUntil([&] { return !Tracking(*view); }, 60000)) << "Escape did not end the drag";
    EXPECT_EQ(view->GetColWidth(2), 50);
    // The column no longer follows the pointer, and letting go records nothing.
    ASSERT_TRUE(MoveTo(*view, header.right + 40, y));
    ASSERT_TRUE(Xdo("mouseup 1"));
    ASSERT_TRUE(ClickCell(*view, 3, 1)) << "after the cancelled drag";
    EXPECT_EQ(view->GetColWidth(2), 50);
    EXPECT_FALSE(view->Undo());
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}

TEST_F(ResizeX11Test, WithTheDragLineWindowTheLineFollowsThePointerAndGoesWithTheRelease)
{
    CFrameWnd* frame = nullptr;
    CGXGridView* view = MakeView(frame);
    ASSERT_NE(view, nullptr);
    view->GetParam()->m_wAllowTrackColWidth &= static_cast<WORD>(~0x20);
    ASSERT_TRUE(ShownWithFocus(*view));
    const CRect header = view->CalcCellRect(0, 3);
    const int y = header.CenterPoint().y;
    ASSERT_TRUE(PressOnBorder(*view, header.right, y));
    ASSERT_TRUE(MoveTo(*view, header.right + 25, y));
    CGXDragLineWnd* pLine = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            pLine = view->GetDragLineWnd(FALSE);
            if (pLine == nullptr || !pLine->IsWindowVisible())
                return false;
            CRect rect;
            pLine->GetWindowRect(&rect);
            view->ScreenToClient(&rect);
            return rect.left == header.right + 25;
        },
        60000))
        << "the drag line did not follow the pointer";
    ASSERT_TRUE(Xdo("mouseup 1"));
    ASSERT_TRUE(PumpUntil([&] { return !Tracking(*view); }, 60000)) << "the release did not end the drag";
    EXPECT_EQ(view->GetColWidth(3), 75);
    EXPECT_EQ(view->GetDragLineWnd(FALSE), nullptr);
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}

namespace {

// The same grid view, without the grid features.
class NoResizeX11Test : public ResizeX11Test {
protected:
    bool WithFeatures() const override { return false; }
};

// A grid view that keeps every cursor it asks for.
class CursorRecordingView : public CGXGridView {
public:
    void SetGridCursor(UINT nID, LPCTSTR pszFallback) override
    {
        cursors.push_back(nID);
        CGXGridView::SetGridCursor(nID, pszFallback);
    }
    std::vector<UINT> cursors;
};

} // namespace

TEST_F(NoResizeX11Test, WithoutTheResizeFeatureABorderOffersNoDrag)
{
    CFrameWnd* frame = nullptr;
    CursorRecordingView* view = MakeView<CursorRecordingView>(frame);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->m_pUserResizeCellsImp, nullptr);
    ASSERT_TRUE(ShownWithFocus(*view));
    // The pointer over a column border in the header, then over the middle of the header.
    const CRect header = view->CalcCellRect(0, 2);
    ASSERT_TRUE(MoveTo(*view, header.right, header.CenterPoint().y));
    ASSERT_TRUE(MoveTo(*view, header.CenterPoint().x, header.CenterPoint().y));
    ASSERT_TRUE(PumpUntil([&] { return !view->cursors.empty() && view->cursors.back() == static_cast<UINT>(GX_IDC_SELECTCOL); }, 60000))
        << "the header's cursor";
    // On the border it offered no resizing, which it could not do.
    EXPECT_EQ(std::count(view->cursors.begin(), view->cursors.end(), static_cast<UINT>(GX_IDC_COLRESIZE)), 0);
    EXPECT_NE(std::count(view->cursors.begin(), view->cursors.end(), 0u), 0) << "the plain arrow on the border";
    frame->DestroyWindow();
}
