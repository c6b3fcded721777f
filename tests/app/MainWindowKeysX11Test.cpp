// Escape typed on the X server: it takes back a cell edit and closes the Project Area's label
// editor while no scan runs, and stops a scan while one runs.
#include "UserStepsX11Fixture.h"

#include "app/CFilesInTreeCtrl.h"
#include "grid/core/CGXControl.h"

namespace {

class MainWindowKeysX11Test : public MainWindowStepsX11Test {
protected:
    // The text the current cell's editor holds, or "" when no editor is active.
    std::string EditorText()
    {
        CGXControl* pControl = view->GetCurrentCellControl();
        CString text;
        if (pControl == nullptr || !pControl->IsActive() || !pControl->GetCurrentText(text))
            return std::string();
        return static_cast<LPCTSTR>(text);
    }
    CPageNode* PageNamed(const char* pszName)
    {
        CSelNodesCol& pages = app->GetSelectedNodes();
        for (POSITION pos = pages.GetHeadPosition(); pos;)
            if (CPageNode* pPage = pages.GetNext(pos); pPage->GetName() == pszName)
                return pPage;
        return nullptr;
    }
};

} // namespace

// A mistyped title is taken back with Escape before it is stored: the cell shows the page's
// title again and nothing is marked edited.
TEST_F(MainWindowKeysX11Test, EscapeTakesBackACellEditWhileNoScanRuns)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nRow = RowOf("a.htm");
    const ROWCOL nCol = ColumnOf("Title");
    ASSERT_TRUE(ClickAt(CellOnScreen(nRow, nCol)));
    ASSERT_TRUE(WaitForFocus(view->GetSafeHwnd()));
    ASSERT_TRUE(Xdo("type --delay 20 'Mistake'"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == "Mistake"; })) << "the cell's editor never held the typing";
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("cell-being-edited"));

    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(RunUntil([&] { return EditorText() != "Mistake"; })) << "Escape did not reach the cell";
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("cell-edit-taken-back"));
    // Another cell chosen afterwards stores nothing.
    ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("b.htm"), nCol)));
    ASSERT_TRUE(RunUntil([&] { return view->GetCurrentCellControl() != nullptr && EditorText().empty(); }));
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(std::string(view->GetCellValue(nRow, nCol)), "Alpha");
    EXPECT_EQ(std::string(PageNamed("a.htm")->GetTitle()), "Alpha");
    EXPECT_EQ(app->IsEdited(), 3u) << "nothing is edited";
    EXPECT_EQ(app->GetRunState(), 0u);
}

// A second click on the selected folder opens the tree's label editor (the tree's labels are
// editable, and what is typed there is not kept); Escape closes it with the label as it was.
TEST_F(MainWindowKeysX11Test, EscapeClosesTheProjectAreasLabelEditor)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    CPageNode* root = app->GetPageNodes().GetHead();
    const auto hRoot = reinterpret_cast<HTREEITEM>(root->m_dwTreeItem);
    const POINT label = OnItemLabel(root);
    ASSERT_NE(label.x, 0);
    const CString before = tree.GetItemText(hRoot);

    ASSERT_TRUE(ClickAt(label));
    ASSERT_TRUE(RunUntil([&] { return tree.GetSelectedItem() == hRoot; }));
    // The second click comes after the double-click time, so it is no double click.
    const auto after = std::chrono::steady_clock::now() + std::chrono::milliseconds(GetDoubleClickTime() + 100);
    ASSERT_TRUE(RunUntil([&] { return std::chrono::steady_clock::now() > after; }));
    ASSERT_TRUE(ClickAt(label));
    ASSERT_TRUE(RunUntil([&] { return tree.GetEditControl() && tree.GetEditControl()->IsWindowVisible(); }))
        << "no label editor opened";
    ASSERT_TRUE(KeysTo(tree.GetSafeHwnd(), "x y z"));
    ASSERT_TRUE(RunUntil([&] {
        CString text;
        if (CWnd* edit = tree.GetEditControl())
            edit->GetWindowText(text);
        return text.Find("xyz") >= 0;
    })) << "the typing did not reach the editor";
    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(RunUntil([&] { return !tree.GetEditControl() || !tree.GetEditControl()->IsWindowVisible(); }))
        << "Escape did not close the editor";
    EXPECT_EQ(tree.GetItemText(hRoot), before);
    EXPECT_TRUE(Frame().GetProjectAreaBar()->IsWindowVisible());
}

// While a scan runs Escape is Stop Scan's key: the scan of a site of many pages ends early.
TEST_F(MainWindowKeysX11Test, EscapeStopsARunningScan)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    // Many more pages than one look at the keyboard takes to scan.
    constexpr int kPages = 600;
    for (int i = 0; i < kPages; ++i)
        std::ofstream(site + "/p" + std::to_string(i) + ".htm")
            << "<html><head><title>Page " << i << "</title><meta name=\"DESCRIPTION\" content=\"d\"></head>"
            << "<body>" << std::string(4000, 'w') << "</body></html>\n";
    ASSERT_EQ(Frame().OpenProjectFile(CString((dir.Path() + "/site.vsp").c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(Quiet());
    const UINT nPages = static_cast<UINT>(app->GetSelectedNodes().GetCount());
    ASSERT_EQ(nPages, kPages + 3u);
    ASSERT_TRUE(WaitForFocus(Frame().GetSafeHwnd()));
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1; })) << "F5 did not start the scan";
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0; }, 180000)) << "the scan never ended";
    EXPECT_LT(Frame().GetFilesScanned(), nPages) << "the scan ran to its end";
}
