// The project grid on the X server as the user changes folders, zooms and resizes columns, and
// previews its printout: what it shows is read back from the screen.
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "platform/afx/doc/CPreviewWnd.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ProgressAtEveryTurn.h"

#include <functional>

namespace {

class GroupViewScreenX11Test : public MainWindowStepsX11Test {
protected:
    // The setting gets a column in the grid of the project OpenSite makes.
    void ShowSetting(const char* pszName)
    {
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        CMetaSetting* pSetting = nullptr;
        ASSERT_EQ(pList->FindByName(pszName, pSetting), 0u) << pszName;
        pSetting->SetShow(1);
    }
    // The grid as wide as the main window allows: the frame maximised, the Grid Toolbar beside
    // the grid hidden.
    void WidenGrid()
    {
        Frame().ShowControlBar(Frame().GetToolBarManager()->ToolBarFromID(ID_GRID_TOOLBAR), FALSE, FALSE);
        Frame().ShowWindow(SW_MAXIMIZE);
        ASSERT_TRUE(Quiet());
    }
    static std::string Content(CPageNode* pPage, const char* pszName)
    {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) != 0 || pList->FindByName(pszName, pContent) != 0)
            return std::string();
        return std::string(pContent->GetContent());
    }
    // Whether the title of a header cell ends in dots: the ink of its last two columns lies in
    // the lower half of the title's height only, where dots stand and letters do not end.
    bool EndsInDots(cairo_surface_t* shot, CRect cell)
    {
        cell.DeflateRect(2, 2);   // the header's raised edge
        const auto dark = [&](int x, int y) {
            const uint32_t pixel = GridPixel(shot, x, y);
            return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 100;
        };
        int top = cell.bottom, bottom = cell.top - 1, right = cell.left - 1;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                if (dark(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    right = std::max(right, x);
                }
        if (right < cell.left)
            return false;
        const int middle = top + (bottom - top) / 2;
        for (int x = right - 1; x <= right; ++x)
            for (int y = top; y <= middle; ++y)
                if (dark(x, y))
                    return false;
        return true;
    }
    // The screen as it is now, for the pixel checks; kept for a person to look at.
    cairo_surface_t* ShotOfGrid(const char* pszName)
    {
        EXPECT_TRUE(Quiet());
        return Shot(pszName);
    }
};

// Takes a screenshot as soon as the program's thread comes back to its queue after the window
// went: before anything painted later, as the user sees the screen right after it closed.
class ShotAfterDestroy {
public:
    ShotAfterDestroy(std::function<cairo_surface_t*()> take, HWND hwndGoing) : m_take(std::move(take)), m_hwndGoing(hwndGoing)
    {
        s_current = this;
        WNDCLASS cls{};
        cls.lpfnWndProc = &ShotAfterDestroy::Proc;
        cls.lpszClassName = "ShotAfterDestroy";
        ::RegisterClass(&cls);
        m_hwnd = ::CreateWindowEx(0, "ShotAfterDestroy", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        m_hook = ::SetWindowsHookEx(WH_CBT, &ShotAfterDestroy::Hook, nullptr, ::GetCurrentThreadId());
    }
    ~ShotAfterDestroy()
    {
        ::UnhookWindowsHookEx(m_hook);
        ::DestroyWindow(m_hwnd);
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        s_current = nullptr;
    }
    ShotAfterDestroy(const ShotAfterDestroy&) = delete;
    ShotAfterDestroy& operator=(const ShotAfterDestroy&) = delete;
    cairo_surface_t* shot = nullptr;

private:
    // Posted messages come before any paint.
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (s_current != nullptr && code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == s_current->m_hwndGoing)
            ::PostMessage(s_current->m_hwnd, WM_APP, 0, 0);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP && s_current != nullptr && s_current->shot == nullptr)
            s_current->shot = s_current->m_take();
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }
    static inline ShotAfterDestroy* s_current = nullptr;
    std::function<cairo_surface_t*()> m_take;
    HWND m_hwndGoing;
    HWND m_hwnd = nullptr;
    HHOOK m_hook = nullptr;
};

} // namespace

// A value typed into a classification cell, the cell's editor left showing the value's end;
// then another folder picked in the Project Area: the typed value is the page's, the folder's
// page shows its own classification, and nothing of the old editor stands right of the last
// column.
TEST_F(GroupViewScreenX11Test, AnotherFolderLeavesNothingOfTheLastCellsEditor)
{
    ASSERT_TRUE(Start());
    ShowSetting("subject");
    OpenSite(true);
    WidenGrid();
    const ROWCOL nCol = ColumnOf("subject");
    ASSERT_NE(nCol, 0u);
    ASSERT_EQ(nCol, view->GetColCount()) << "the classification column is not the last";
    const ROWCOL nA = RowOf("a.htm");
    const ROWCOL nC = RowOf("c.htm");
    CPageNode* pA = nullptr;
    CPageNode* pC = nullptr;
    ASSERT_EQ(view->GetRowPage(nA, pA), 0u);
    ASSERT_EQ(view->GetRowPage(nC, pC), 0u);
    ASSERT_EQ(view->SetCellValue(nC, nCol, "Gamma:Ξ"), 0u);

    ASSERT_TRUE(ClickAt(CellOnScreen(nA, nCol)));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nCol); }));
    ASSERT_TRUE(Xdo("type --delay 10 'Root:Folder1:Folder2'"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCurrentCellActive(); }));
    ASSERT_TRUE(Quiet());

    ASSERT_TRUE(ClickAt(OnItemLabel(pC->GetParent())));
    ASSERT_TRUE(RunUntil([&] { return view->GetRowCount() == 1 && RowOf("c.htm") == 1; }));
    EXPECT_EQ(Content(pA, "subject"), "Root:Folder1:Folder2") << "the typed value was lost";

    cairo_surface_t* shot = ShotOfGrid("classification-other-folder");
    ASSERT_NE(shot, nullptr);
    CRect cell = view->CalcCellRect(1, nCol);
    CRect grid;
    view->GetGridRect(&grid);
    // The page's own value in its cell, not a blank left by the old editor.
    EXPECT_GT(DarkPixels(shot, CRect(cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2), 128), 0)
        << "the classification of c.htm is not shown";
    // Right of the last column: the grid's empty background only.
    EXPECT_EQ(DarkPixels(shot, CRect(cell.right + 2, cell.top, grid.right - 2, cell.bottom), 128), 0)
        << "something stands right of the last column";
    cairo_surface_destroy(shot);
}

// Zoom In from the Grid Toolbar until the headers' titles no longer fit their columns: a title
// cut short ends in dots, not at a letter where it reads as another name.
TEST_F(GroupViewScreenX11Test, ZoomedInHeadersThatNoLongerFitEndInDots)
{
    // The screen's own fonts, which grow by whole sizes: the fixed test font grows with the
    // zoom exactly and never cuts a title.
    SetTestFontMode(false);
    ASSERT_TRUE(Start());
    ShowSetting("Generator");
    OpenSite(true);
    // The grid beside the Grid Toolbar, whose Magnify the user clicks, and without the Project
    // Area, so that the zoomed columns still show.
    Frame().ShowControlBar(Frame().GetProjectAreaBar(), FALSE, FALSE);
    Frame().ShowWindow(SW_MAXIMIZE);
    // At 100% each column is as wide as its title: nothing is cut.
    cairo_surface_t* shot = ShotOfGrid("headers-100");
    ASSERT_NE(shot, nullptr);
    for (const char* pszName : {"Generator", "Keywords", "Description"})
        EXPECT_FALSE(EndsInDots(shot, view->CalcCellRect(0, ColumnOf(pszName)))) << pszName << " at 100%";
    cairo_surface_destroy(shot);

    for (int i = 0; i < 3; ++i) {
        const int nOld = view->GetZoom();
        ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_ZOOM_IN)));
        ASSERT_TRUE(RunUntil([&] { return view->GetZoom() != nOld; }));
    }
    EXPECT_EQ(view->GetZoom(), 133);
    shot = ShotOfGrid("headers-133");
    ASSERT_NE(shot, nullptr);
    for (const char* pszName : {"Generator", "Description"})
        EXPECT_TRUE(EndsInDots(shot, view->CalcCellRect(0, ColumnOf(pszName)))) << pszName << " at 133%";
    cairo_surface_destroy(shot);
}

// Print Preview of a large grid by the keys: while its pages are laid out the status bar shows
// the meter and the pointer is busy; Escape closes it, and the frame is whole again at once, the
// grid and the Project Area showing what they showed before, nothing of the page left on them.
TEST_F(GroupViewScreenX11Test, PrintPreviewOfALargeGridShowsItIsBusyAndClosesWhole)
{
    constexpr int kPages = 12000;
    ASSERT_TRUE(Start());
    OpenScannedSite(kPages, {"Description"});
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Quiet());
    cairo_surface_t* before = Shot("preview-before");
    ASSERT_NE(before, nullptr);
    const HWND hTree = Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd();
    CRect grid, tree;
    view->GetClientRect(&grid);
    ::GetClientRect(hTree, &tree);
    auto& status = Frame().GetStatusBar();
    CRect meter;
    status.GetItemRect(0, &meter);

    const ProgressAtEveryTurn progress;
    std::string seen;
    bool bBusy = false;
    int nMeterPixels = -1;
    When("the status bar shows the pages laid out",
         [&] {
             const std::string text(status.GetPaneText(0));
             return text.rfind("Laying out the pages", 0) == 0 && text.find('%') != std::string::npos;
         },
         [&] {
             seen = status.GetPaneText(0);
             bBusy = ::GetCursor() == ::LoadCursor(nullptr, IDC_WAIT);
             if (cairo_surface_t* shot = Shot("preview-laying-out")) {
                 nMeterPixels = DifferentPixels(before, shot, status.GetSafeHwnd(), meter);
                 cairo_surface_destroy(shot);
             }
         });
    ASSERT_TRUE(Xdo("key alt+f v"));
    EXPECT_TRUE(StepsTaken());
    EXPECT_TRUE(bBusy) << "the pointer was not busy while the pages were laid out: " << seen;
    EXPECT_GT(nMeterPixels, 0) << "the status bar did not show the meter";
    CPreviewWnd* pPreview = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        pPreview = dynamic_cast<CPreviewWnd*>(Frame().GetDlgItem(AFX_IDW_PANE_FIRST));
        return pPreview != nullptr && Settled();
    })) << "the preview did not show";
    if (cairo_surface_t* shot = Shot("preview-shown"))
        cairo_surface_destroy(shot);
    EXPECT_NE(::GetCursor(), ::LoadCursor(nullptr, IDC_WAIT)) << "the pointer stayed busy";

    // Escape closes it; right after, before anything else is painted, the frame is whole.
    ShotAfterDestroy closing([this] { return Shot("preview-closed-at-once"); }, pPreview->GetSafeHwnd());
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return closing.shot != nullptr; })) << "Escape did not close the preview";
    EXPECT_EQ(DifferentPixels(before, closing.shot, view->GetSafeHwnd(), grid), 0) << "the grid was not drawn at once";
    EXPECT_EQ(DifferentPixels(before, closing.shot, hTree, tree), 0) << "the Project Area was not drawn at once";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* after = Shot("preview-closed");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(DifferentPixels(before, after, view->GetSafeHwnd(), grid), 0);
    EXPECT_EQ(::GetFocus(), view->GetSafeHwnd());
    cairo_surface_destroy(after);
    cairo_surface_destroy(before);
}
