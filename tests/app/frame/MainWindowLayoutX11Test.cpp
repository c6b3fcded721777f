// The main window's layout as the user changes it on a real X server: the window sized small
// from another client and back, a pane's splitter dragged in the small window, and the Main
// Toolbar dragged off by its gripper and back.
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/res/AppRes.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include "tests/app/MainWindowX11Fixture.h"

namespace {

CRect WindowRect(const CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect;
}

std::string Point(int x, int y)
{
    return std::to_string(x) + " " + std::to_string(y);
}

} // namespace

class MainWindowLayoutX11Test : public MainWindowX11Test {
protected:
    // Sizes the main window from another client and waits until the program has it.
    ::testing::AssertionResult SizeWindow(int cx, int cy)
    {
        if (!Xdo("search --name 'site.vsp' windowsize " + Point(cx, cy)))
            return ::testing::AssertionFailure() << "xdotool could not size the window";
        if (!RunUntil([&] { return WindowRect(Frame()).Size() == CSize(cx, cy); }, 60000))
            return ::testing::AssertionFailure() << "the window did not take the size " << cx << " x " << cy;
        if (!Quiet())
            return ::testing::AssertionFailure() << "the window did not finish painting at " << cx << " x " << cy;
        return ::testing::AssertionSuccess();
    }
    // A left-button drag from one screen point to another, as a hand does it.
    bool Drag(POINT from, POINT to)
    {
        return Xdo("mousemove " + Point(from.x, from.y) + " mousedown 1 mousemove " +
                   Point((from.x + to.x) / 2, (from.y + to.y) / 2) + " mousemove " + Point(to.x, to.y) + " mouseup 1");
    }
    CWnd& DocumentArea() { return *CWnd::FromHandle(Frame().m_hWndMDIClient); }
    // The pixels of a window as the screen shows them.
    std::vector<uint32_t> Pixels(const CWnd& wnd, const char* pszName)
    {
        const CRect rect = WindowRect(wnd);
        cairo_surface_t* shot = Shot(pszName);
        std::vector<uint32_t> pixels;
        for (int y = rect.top; shot && y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                pixels.push_back(screen_capture::PixelAt(shot, POINT{x, y}));
        if (shot)
            cairo_surface_destroy(shot);
        return pixels;
    }
    COutputAreaControlBar& OutputArea()
    {
        COutputAreaControlBar* pOutput = nullptr;
        EXPECT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
        return *pOutput;
    }
};

// At 400 x 300 the panes give way: the grid keeps about as much room as they do and shows its
// rows, the panes still show, and every pixel is what a full repaint draws. Made large again,
// the window gives the panes back the sizes they had.
TEST_F(MainWindowLayoutX11Test, ASmallWindowStillShowsTheGridAndThePanesGrowBack)
{
    MakeSite(12, 5);
    WriteProject({"Description", "Keywords"});
    ASSERT_TRUE(StartWithProject(17));
    ASSERT_TRUE(Xdo("key alt+v o"));
    ASSERT_TRUE(RunUntil([&] { return OutputArea().IsWindowVisible() != FALSE; }, 60000)) << "View > Output Area did not show it";
    ASSERT_TRUE(Quiet());
    CFileViewControlBar& projectArea = *Frame().GetProjectAreaBar();
    const CSize frameSize = WindowRect(Frame()).Size();
    const std::vector<uint32_t> document = Pixels(DocumentArea(), "large-window");
    ASSERT_FALSE(document.empty());
    const int nProjectWidth = WindowRect(projectArea).Width();
    const int nOutputHeight = WindowRect(OutputArea()).Height();
    ASSERT_GT(nProjectWidth, 200);
    ASSERT_GT(nOutputHeight, 100);

    ASSERT_TRUE(SizeWindow(400, 300));
    const CRect small = WindowRect(DocumentArea());
    const CRect project = WindowRect(projectArea), output = WindowRect(OutputArea());
    EXPECT_GE(small.Width(), project.Width() - 10) << "the Project Area leaves the grid too little width";
    EXPECT_GE(small.Height(), output.Height() - 10) << "the Output Area leaves the grid too little height";
    EXPECT_GE(project.Width(), SEC_MIN_SQUEEZED_ROW) << "the Project Area vanished";
    EXPECT_GE(output.Height(), SEC_MIN_SQUEEZED_ROW) << "the Output Area vanished";
    EXPECT_TRUE(projectArea.IsWindowVisible() && OutputArea().IsWindowVisible());
    // The grid shows its header and its first row whole.
    CRect grid;
    View()->GetClientRect(&grid);
    const CRect row = View()->CalcCellRect(1, 1);
    EXPECT_GT(row.Height(), 0);
    EXPECT_LE(row.bottom, grid.bottom) << "the grid's first row does not show";
    EXPECT_EQ(StalePixelsOf(Frame().GetSafeHwnd(), "small-window-stale"), 0);

    ASSERT_TRUE(SizeWindow(frameSize.cx, frameSize.cy));
    EXPECT_EQ(WindowRect(projectArea).Width(), nProjectWidth) << "the Project Area did not grow back";
    EXPECT_EQ(WindowRect(OutputArea()).Height(), nOutputHeight) << "the Output Area did not grow back";
    EXPECT_TRUE(Pixels(DocumentArea(), "large-again") == document) << "the grid's frame looks other than before";
    EXPECT_EQ(StalePixelsOf(Frame().GetSafeHwnd(), "large-again-stale"), 0);
}

// In a window too small for the panes, a splitter dragged makes the pane as thin as the hand
// put it at once, and it cannot take the grid's share.
TEST_F(MainWindowLayoutX11Test, ASplitterDraggedInASmallWindowMovesThePaneAsShown)
{
    MakeSite(6);
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(6));
    ASSERT_TRUE(Xdo("key alt+v o"));
    ASSERT_TRUE(RunUntil([&] { return OutputArea().IsWindowVisible() != FALSE; }, 60000)) << "View > Output Area did not show it";
    ASSERT_TRUE(SizeWindow(400, 300));
    auto* dock = dynamic_cast<SECDockBar*>(OutputArea().m_pDockBar);
    ASSERT_NE(dock, nullptr);
    ASSERT_FALSE(dock->m_arrSplitters.empty());
    // The splitter above the Output Area's row.
    const CRect strip = dock->m_arrSplitters.front()->m_rect;
    const POINT grip = ScreenPoint(dock->GetSafeHwnd(), strip.CenterPoint().x, strip.CenterPoint().y);
    const int nOutput = WindowRect(OutputArea()).Height(), nDocument = WindowRect(DocumentArea()).Height();

    ASSERT_TRUE(Drag(grip, POINT{grip.x, grip.y + 30}));
    ASSERT_TRUE(RunUntil([&] { return WindowRect(OutputArea()).Height() != nOutput && Settled(); }, 60000))
        << "the Output Area kept its height of " << nOutput;
    EXPECT_EQ(WindowRect(OutputArea()).Height(), nOutput - 30);
    EXPECT_EQ(WindowRect(DocumentArea()).Height(), nDocument + 30);
    EXPECT_EQ(StalePixelsOf(Frame().GetSafeHwnd(), "splitter-down-stale"), 0);

    // Upwards it stops where the grid keeps its share.
    const CRect moved = dock->m_arrSplitters.front()->m_rect;
    const POINT back = ScreenPoint(dock->GetSafeHwnd(), moved.CenterPoint().x, moved.CenterPoint().y);
    ASSERT_TRUE(Drag(back, POINT{back.x, back.y - 100}));
    ASSERT_TRUE(RunUntil([&] { return WindowRect(OutputArea()).Height() != nOutput - 30 && Settled(); }, 60000))
        << "the Output Area did not grow";
    EXPECT_LE(WindowRect(OutputArea()).Height(), nOutput + 1) << "the Output Area took the grid's share";
    EXPECT_GE(WindowRect(DocumentArea()).Height(), nDocument - 1);
}

// Dragged by its gripper, the Main Toolbar floats, and wraps its buttons when its frame is made
// narrower; dragged back by the floating frame's caption it docks and looks exactly as before,
// gripper first. A drag given up with Escape then leaves it unchanged too.
TEST_F(MainWindowLayoutX11Test, TheMainToolbarLooksAsBeforeAfterADragAndAFloatAndDock)
{
    MakeSite(6);
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(6));
    SECCustomToolBar* pBar = Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS);
    ASSERT_NE(pBar, nullptr);
    const CRect statusBar = WindowRect(Frame().GetStatusBar());
    // The bar as it shows with the mouse away from it, kept as a copy of its pixels. The mouse
    // first lights the first button: once it is lit, every event sent before has been handled.
    auto barImage = [&](const char* pszName) {
        CRect button;
        pBar->GetItemRect(0, &button);
        const POINT over = ScreenPoint(pBar->GetSafeHwnd(), button.CenterPoint().x, button.CenterPoint().y);
        EXPECT_TRUE(Xdo("mousemove " + Point(over.x, over.y)));
        EXPECT_TRUE(RunUntil([&] { return pBar->m_nHot == 0; }, 60000)) << "the first button did not light";
        EXPECT_TRUE(Xdo("mousemove " + Point(statusBar.CenterPoint().x, statusBar.CenterPoint().y)));
        // Away from the bar, the button's prompt in the status bar gives way to the idle one.
        auto idle = [&] {
            CString text;
            Frame().GetMessageBar()->GetWindowText(text);
            return text == "Ready";
        };
        EXPECT_TRUE(RunUntil([&] { return pBar->m_nHot == -1 && idle() && Settled(); }, 60000))
            << "the bar kept a hot button or its prompt";
        return std::make_pair(WindowRect(*pBar).Size(), Pixels(*pBar, pszName));
    };
    ASSERT_TRUE(Quiet());
    const auto before = barImage("toolbar-before");
    ASSERT_FALSE(before.second.empty());

    // Floated from the gripper, docked again from the floating frame's caption.
    const CRect rect = WindowRect(*pBar);
    const POINT gripper{rect.left + 6, rect.CenterPoint().y};
    const CRect frame = WindowRect(Frame());
    ASSERT_TRUE(Drag(gripper, frame.CenterPoint()));
    ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating() != FALSE; }, 60000)) << "the drag from the gripper did not float the bar";
    ASSERT_TRUE(Quiet());
    // Made narrower from its frame's left edge, the floating bar wraps its buttons into rows.
    const CRect wide = WindowRect(*pBar->GetParentFrame());
    ASSERT_TRUE(Drag(POINT{wide.left + 1, wide.CenterPoint().y}, POINT{wide.CenterPoint().x, wide.CenterPoint().y}));
    ASSERT_TRUE(RunUntil([&] { return WindowRect(*pBar->GetParentFrame()).Height() > wide.Height() && Settled(); }, 60000))
        << "the floating frame did not take a narrower size";
    const CRect floating = WindowRect(*pBar->GetParentFrame());
    const CRect top = WindowRect(*pBar->m_pDockSite->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(Drag(POINT{floating.left + 30, floating.top + 6}, POINT{top.left + 40, top.top + 6}));
    ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating() == FALSE; }, 60000)) << "the drag of the caption did not dock the bar";
    const auto docked = barImage("toolbar-docked-again");
    EXPECT_EQ(docked.first, before.first);
    EXPECT_TRUE(docked.second == before.second) << "the docked bar does not look as it did";
    CRect first;
    pBar->GetItemRect(0, &first);
    EXPECT_GE(first.left, 17) << "the first button lies over the gripper";

    // Then a drag from the gripper, given up with Escape. The drag runs its own loop until the
    // Escape, so the key goes in the same stream as the mouse, after it.
    const CRect now = WindowRect(*pBar);
    const POINT grip{now.left + 6, now.CenterPoint().y};
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus(); }, 60000)) << "the program never had the focus";
    ASSERT_TRUE(Xdo("mousemove " + Point(grip.x, grip.y) + " mousedown 1 mousemove " + Point(grip.x + 40, grip.y + 120) +
                    " key Escape mouseup 1"));
    const auto cancelled = barImage("toolbar-drag-cancelled");
    EXPECT_FALSE(pBar->IsFloating());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(cancelled.first, before.first);
    EXPECT_TRUE(cancelled.second == before.second) << "the bar looks different after a drag given up";

    EXPECT_EQ(StalePixelsOf(Frame().GetSafeHwnd(), "toolbar-docked-stale"), 0);
}
