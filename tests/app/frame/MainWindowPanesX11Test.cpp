// The Project Area and Output Area as the user meets them on the X server: their grippers,
// floating them off their sides and back, the Project Area's own menu on a folder, the order of
// folders and pages, and the Project Area's scroll bar over folders that do not fit.
#include "tests/app/UserStepsX11Fixture.h"

#include "app/panes/COutputAreaControlBar.h"
#include "tests/support/ClipboardText.h"
#include "app/panes/CFilesInTreeCtrl.h"
#include "platform/afx/frame/CMDIFrameWnd.h"

namespace {

class MainWindowPanesX11Test : public MainWindowStepsX11Test {
protected:
    CFileViewControlBar& ProjectArea() { return *Frame().GetProjectAreaBar(); }
    // The gripper's strip: above the pane's child when the pane stands on a side, beside it
    // when the pane lies along the top or bottom.
    CRect GripperOnScreen(SECControlBar& bar, CWnd& child)
    {
        CRect barRect;
        CRect childRect;
        bar.GetWindowRect(&barRect);
        child.GetWindowRect(&childRect);
        if (childRect.top > barRect.top + 8)
            return CRect(barRect.left, barRect.top, barRect.right, childRect.top);
        return CRect(barRect.left, barRect.top, childRect.left, barRect.bottom);
    }
    // Whether the strip shows the gripper's raised lines: a run of highlight (white) pixels
    // along it with the shadow's grey beside them.
    static bool ShowsGripLines(cairo_surface_t* shot, const CRect& strip)
    {
        const uint32_t hilite = 0xFFFFFFu & ::GetSysColor(COLOR_BTNHIGHLIGHT);
        const uint32_t shadow = 0xFFFFFFu & ::GetSysColor(COLOR_BTNSHADOW);
        const bool across = strip.Width() > strip.Height();
        const int lines = across ? strip.Height() : strip.Width();
        const int length = across ? strip.Width() : strip.Height();
        bool lit = false;
        bool shaded = false;
        for (int i = 0; i < lines; ++i) {
            int white = 0;
            int grey = 0;
            for (int j = 0; j < length; ++j) {
                const uint32_t pixel = across ? screen_capture::PixelAt(shot, strip.left + j, strip.top + i)
                                              : screen_capture::PixelAt(shot, strip.left + i, strip.top + j);
                white += pixel == hilite;
                grey += pixel == shadow;
            }
            lit = lit || white > length / 2;
            shaded = shaded || grey > length / 2;
        }
        return lit && shaded;
    }
    // Whether the Project Area's tree shows its vertical scroll bar on the screen: its right
    // strip is the bar's face rather than the tree's white, with an arrow in each end button.
    bool ShowsVertScrollBar(cairo_surface_t* shot, CFilesInTreeCtrl& tree)
    {
        CRect client;
        tree.GetClientRect(&client);
        const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
        const uint32_t back = Rgb(tree.GetBkColor());
        const uint32_t ink = Rgb(::GetSysColor(COLOR_BTNTEXT));
        int nBack = 0;
        int nArrowTop = 0;
        int nArrowBottom = 0;
        for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.right - cx; x < client.right; ++x) {
                const uint32_t pixel = screen_capture::PixelAt(shot, ScreenPoint(tree.GetSafeHwnd(), x, y));
                nBack += pixel == back;
                nArrowTop += pixel == ink && y < client.top + cx;
                nArrowBottom += pixel == ink && y >= client.bottom - cx;
            }
        return nBack < client.Height() * cx / 4 && nArrowTop > 0 && nArrowBottom > 0;
    }
};

} // namespace

// The docked Project Area shows a gripper over its tree; a double click on it floats the pane
// in a window titled "Project Area", whose caption takes it back to its side with a double
// click; the workspace takes the room the pane leaves.
TEST_F(MainWindowPanesX11Test, TheProjectAreaFloatsAndDocksByItsGripper)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    CFileViewControlBar& pane = ProjectArea();
    ASSERT_TRUE(pane.IsWindowVisible());
    ASSERT_FALSE(pane.IsFloating());
    const CRect strip = GripperOnScreen(pane, pane.GetTree());
    ASSERT_GE(strip.Height(), 15) << "the tree leaves room for the gripper above it";
    cairo_surface_t* shot = Shot("project-area-docked");
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(ShowsGripLines(shot, strip)) << "the gripper's lines";
    cairo_surface_destroy(shot);

    CRect client;
    ::GetWindowRect(Frame().m_hWndMDIClient, &client);
    ASSERT_TRUE(ClickAt(CPoint(strip.left + strip.Width() / 3, strip.CenterPoint().y), 1, 2));
    ASSERT_TRUE(RunUntil([&] { return pane.IsFloating() && ViewableWindowTitled("Project Area"); }))
        << "the pane did not float";
    ASSERT_TRUE(Quiet());
    CRect wider;
    ::GetWindowRect(Frame().m_hWndMDIClient, &wider);
    EXPECT_LT(wider.left, client.left) << "the workspace takes the side the pane left";
    shot = Shot("project-area-floating");
    cairo_surface_destroy(shot);

    // The floating window's caption, a double click: back to the left side.
    CWnd* floating = pane.GetParentFrame();
    ASSERT_NE(floating, nullptr);
    CRect caption;
    floating->GetWindowRect(&caption);
    ASSERT_TRUE(ClickAt(CPoint(caption.CenterPoint().x, caption.top + 8), 1, 2));
    ASSERT_TRUE(RunUntil([&] { return !pane.IsFloating(); })) << "the pane did not dock again";
    ASSERT_TRUE(Quiet());
    CRect back;
    ::GetWindowRect(Frame().m_hWndMDIClient, &back);
    EXPECT_EQ(back.left, client.left);
    CRect paneRect;
    pane.GetWindowRect(&paneRect);
    EXPECT_LT(paneRect.left, back.left) << "on the left side";
    shot = Shot("project-area-docked-again");
    cairo_surface_destroy(shot);
}


// A right click on a folder of the Project Area opens the pane's own menu, whose Scan Files
// shows that folder's pages in the grid and scans them.
TEST_F(MainWindowPanesX11Test, ScanFilesFromTheProjectAreasMenuScansTheFolder)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    ASSERT_EQ(app->GetSelectedNodes().GetCount(), 3);
    CPageNode* sub = FolderNamed(app->GetPageNodes().GetHead(), "sub");
    ASSERT_NE(sub, nullptr);

    MenuItemSeen scan;
    ASSERT_TRUE(ClickAt(OnItemLabel(sub), 3));
    Choose("Scan Files", &scan);
    ASSERT_TRUE(StepsTaken());
    EXPECT_FALSE(scan.grayed);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 1; }))
        << "files scanned " << Frame().GetFilesScanned();
    EXPECT_EQ(app->GetSelectedNodes().GetCount(), 1) << "the folder's own page";
    CString title;
    view->GetParentFrame()->GetWindowText(title);
    EXPECT_NE(std::string(title).find("Files in '" + site + "/sub'"), std::string::npos) << title.GetString();

    // On white space the menu offers New Project instead.
    CRect tree;
    ProjectArea().GetTree().GetWindowRect(&tree);
    ASSERT_TRUE(ClickAt(CPoint(tree.CenterPoint().x, tree.bottom - 20), 3));
    MenuItemSeen newProject;
    When("the pane's menu is open", [] {
             RECT r{};
             return OpenMenuItem("Hide", &r) != nullptr;
         },
         [&] {
             RECT r{};
             HMENU menu = OpenMenuItem("Hide", &r);
             newProject.seen = MenuDriver::FindItem(menu, "New Project...") >= 0;
             scan.seen = MenuDriver::FindItem(menu, "Scan Files") >= 0;
             XdoNow("key Escape Escape");
         });
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(newProject.seen);
    EXPECT_FALSE(scan.seen);
}

// The Output Area, shown from the View menu, lies along the bottom with its gripper at its
// left; the gripper's close button hides it.
TEST_F(MainWindowPanesX11Test, TheOutputAreaShowsAGripperWhoseButtonHidesIt)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    COutputAreaControlBar* pane = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pane), 0u);
    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("View")));
    Choose("Output Area");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return pane->IsWindowVisible(); })) << "the Output Area did not show";
    ASSERT_TRUE(Quiet());
    CWnd* child = pane->GetWindow(GW_CHILD);
    ASSERT_NE(child, nullptr);
    const CRect strip = GripperOnScreen(*pane, *child);
    ASSERT_GE(strip.Width(), 15) << "the tab window leaves room for the gripper at its left";
    cairo_surface_t* shot = Shot("output-area-docked");
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(ShowsGripLines(shot, strip)) << "the gripper's lines";
    cairo_surface_destroy(shot);

    ASSERT_FALSE(pane->m_rcClose.IsRectEmpty());
    POINT close = pane->m_rcClose.CenterPoint();
    pane->ClientToScreen(&close);
    ASSERT_TRUE(ClickAt(close));
    EXPECT_TRUE(RunUntil([&] { return !pane->IsWindowVisible(); })) << "the close button did not hide the pane";
}

// Folders come in the Project Area, and pages in the grid, in name order, however the file
// system keeps them.
TEST_F(MainWindowPanesX11Test, FoldersAndPagesComeInNameOrder)
{
    ASSERT_TRUE(Start());
    const std::string siteFolder = dir.Path() + "/site";
    for (const char* folder : {"dir1253", "dir0753", "Dir0500", "dir0001"}) {
        std::filesystem::create_directories(siteFolder + "/" + folder);
        std::ofstream(siteFolder + "/" + folder + "/index.htm") << "<html><head><title>x</title></head><body>x</body></html>\n";
    }
    OpenSite(false);
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    auto title = [&] {
        CString text;
        View()->GetParentFrame()->GetWindowText(text);
        return std::string(text);
    };
    ASSERT_TRUE(ClickAt(OnItemLabel(app->GetPageNodes().GetHead()), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return title().find(": All files") != std::string::npos && Quiet(); }))
        << "the click did not show all files: " << title();
    // Down from "All files" walks the folders as the tree shows them.
    for (const char* folder : {"", "/dir0001", "/Dir0500", "/dir0753", "/dir1253", "/sub"}) {
        const std::string shown = "Files in '" + site + folder + "'";
        ASSERT_TRUE(KeysTo(tree.GetSafeHwnd(), "Down"));
        EXPECT_TRUE(RunUntil([&] { return title().find(shown) != std::string::npos; }))
            << "after " << folder << " the title is " << title();
    }

    // All files: the pages of the grid, as the user copies the file column.
    ASSERT_TRUE(KeysTo(tree.GetSafeHwnd(), "Home"));
    ASSERT_TRUE(RunUntil([&] { return title().find(": All files") != std::string::npos && Quiet(); }));
    const CRect header = view->CalcCellRect(0, CGroupView::kFileColumn);
    POINT onHeader = header.CenterPoint();
    ::ClientToScreen(view->GetSafeHwnd(), &onHeader);
    ASSERT_TRUE(ClickAt(onHeader, 1, 1));
    const DWORD dwClipboard = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(RunUntil([&] { return Quiet(); }));
    ASSERT_TRUE(KeysTo(view->GetSafeHwnd(), "ctrl+c"));
    ASSERT_TRUE(RunUntil([&] { return ::GetClipboardSequenceNumber() != dwClipboard; })) << "Copy did not copy";
    std::string copied = clipboard_text::Get(nullptr);
    std::string expected;
    for (const char* page : {"a.htm", "b.htm", "dir0001/index.htm", "Dir0500/index.htm", "dir0753/index.htm",
                             "dir1253/index.htm", "sub/c.htm"})
        expected += site + "/" + page + "\r\n";
    EXPECT_EQ(copied, expected);
}

// Folders that do not fit in the Project Area get its scroll bar, whose arrow scrolls them: also
// in a project opened over another, whose tree fills while the pane already has its size.
TEST_F(MainWindowPanesX11Test, TheProjectAreaShowsItsScrollBarWhenTheFoldersDoNotFit)
{
    MakeSite(0, 40);
    WriteProject({"Description"});
    const std::string other = dir.Path() + "/other.vsp";
    std::filesystem::copy_file(ProjectPath(), other);
    ASSERT_TRUE(StartWithProject(40));
    CFilesInTreeCtrl& tree = ProjectArea().GetTree();
    ASSERT_TRUE(Quiet());
    ASSERT_LT(tree.GetCountPerPage(), tree.GetItemCount()) << "the folders fit in the pane";
    cairo_surface_t* shot = Shot("project-area-bar-first");
    EXPECT_TRUE(ShowsVertScrollBar(shot, tree)) << "no scroll bar in the project named on the command line";
    cairo_surface_destroy(shot);

    When("the Open Project dialog has the focus", [this] { return Matches(FocusedTitle(), "^Open Project$"); },
         [this, other] {
             XdoNow("type --delay 10 '" + other + "'");
             XdoNow("key Return");
         });
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "ctrl+o"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] {
        return Matches(FocusedTitle(), "other.vsp") && Frame().GetFilesScanned() == 40 && app->GetRunState() == 0 &&
               View() != nullptr && View()->GetRowCount() == 40 && Settled();
    })) << "the other project did not open";
    ASSERT_EQ(tree.GetItemCount(), 42);
    ASSERT_EQ(tree.GetTopIndex(), 0);
    shot = Shot("project-area-bar-second");
    EXPECT_TRUE(ShowsVertScrollBar(shot, tree)) << "no scroll bar in the project opened over the other: "
                                                << tree.GetCountPerPage() << " of its 42 rows fit";
    cairo_surface_destroy(shot);

    // The bar's down arrow, clicked: the folders move up by one.
    CRect client;
    tree.GetClientRect(&client);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_TRUE(ClickAt(ScreenPoint(tree.GetSafeHwnd(), client.right - cx / 2, client.bottom - cx / 2)));
    EXPECT_TRUE(RunUntil([&] { return tree.GetTopIndex() == 1 && Settled(); }, 10000))
        << "the down arrow left row " << tree.GetTopIndex() << " at the top";
}
