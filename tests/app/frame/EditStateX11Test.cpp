// What marks a page edited, as the user meets it on a real X server: an editor left without a
// change marks nothing, an edit undone or typed back leaves the page unmarked and unwritten,
// and what the grid refuses (cells a paste leaves out, keys during a scan) is said in the
// status bar with a beep.
#include "app/panes/COutputAreaControlBar.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "engine/project/CParserEngine.h"
#include "grid/core/CGXControl.h"
#include "tests/app/GroupViewLookup.h"
#include "tests/app/MainWindowX11Fixture.h"
#include "tests/app/PartFetchBackend.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <X11/XKBlib.h>

namespace {

// Counts the bells another client of the server rings, as a program that shows them would.
class BellWatch {
public:
    explicit BellWatch(const std::string& display)
    {
        int nOpcode = 0, nError = 0, nMajor = XkbMajorVersion, nMinor = XkbMinorVersion;
        m_display = XkbOpenDisplay(const_cast<char*>(display.c_str()), &m_nEventBase, &nError, &nMajor, &nMinor, &nOpcode);
        if (m_display != nullptr) {
            XkbSelectEvents(m_display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
            XSync(m_display, False);
        }
    }
    ~BellWatch()
    {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    BellWatch(const BellWatch&) = delete;
    BellWatch& operator=(const BellWatch&) = delete;

    bool Ready() const { return m_display != nullptr; }
    // The bells rung since the watch began.
    int Rung()
    {
        if (m_display == nullptr)
            return 0;
        XSync(m_display, False);
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == m_nEventBase + XkbEventCode &&
                reinterpret_cast<XkbEvent*>(&event)->any.xkb_type == XkbBellNotify)
                ++m_nRung;
        }
        return m_nRung;
    }

private:
    Display* m_display = nullptr;
    int m_nEventBase = 0;
    int m_nRung = 0;
};

} // namespace

class EditStateX11Test : public MainWindowX11Test {
protected:
    // Four pages as generators write them, on one line with LF ends; a.htm's title and
    // description hold references.
    ::testing::AssertionResult StartOnSite()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        std::ofstream(site + "/a.htm") << "<html><head><title>Tools &#8212; Parts</title>"
                                          "<meta name=\"description\" content=\"Caf&eacute; &mdash; &euro;&nbsp;&Omega;\">"
                                          "<meta name=\"keywords\" content=\"tools\"></head><body>a</body></html>\n";
        for (const char* pszName : {"b", "c", "d"})
            std::ofstream(site + "/" + pszName + ".htm")
                << "<html><head><title>Page " << pszName << "</title><meta name=\"description\" content=\"About " << pszName
                << "\"><meta name=\"keywords\" content=\"" << pszName << "\"></head><body>" << pszName << "</body></html>\n";
        WriteProject({"Description", "Keywords"}, 1);
        ::testing::AssertionResult started = StartWithProject(4);
        if (started && View()->GetColCount() != 4)
            return ::testing::AssertionFailure() << "the grid has " << View()->GetColCount() << " columns";
        return started;
    }
    ROWCOL ColumnOf(const char* pszName) { return group_view_lookup::ColumnOf(*View(), pszName); }
    ROWCOL RowOf(const char* pszName) { return group_view_lookup::RowOf(*View(), pszName); }
    bool Click(ROWCOL nRow, ROWCOL nCol) { return ClickCell(nRow, nCol) && RunUntil([&] { return IsCurrent(nRow, nCol); }, 60000); }
    // How many pixels of the page's file cell show the edited page's red text.
    int RedInFileCell(ROWCOL nRow)
    {
        Quiet();
        cairo_surface_t* shot = Shot();
        if (shot == nullptr)
            return -1;
        const CRect cell = View()->CalcCellRect(nRow, CGroupView::kFileColumn);
        int nRed = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                nRed += GridPixel(shot, x, y) == Rgb(CGroupView::kDirtyTextColor) ? 1 : 0;
        cairo_surface_destroy(shot);
        return nRed;
    }
    // The message pane of the main window's status bar.
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    static std::string Text(UINT nID)
    {
        CString strText;
        strText.LoadString(nID);
        return std::string(strText);
    }
    // Goes to the cell by the arrow keys, types the text into it and leaves it with Return.
    bool TypeInto(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        return GoToByKeys(nRow, nCol) && Xdo("type --delay 20 '" + text + "'") && RunUntil([&] { return EditorOpen(); }, 60000) &&
               Xdo("key Return") && RunUntil([&] { return !EditorOpen(); }, 60000);
    }

    // A fetch engine that reads no page: its scan runs until it is stopped. It outlives the
    // program the test runs.
    PartFetchBackend m_readsNone{0};
};

// An editor opened on a title with a reference, its text selected with Ctrl+A and left by a
// click on another cell changes no value: the page is not marked, nothing is there to undo or
// save, and the page on disk keeps its bytes. An edit undone, or typed back to the page's old
// value, leaves the page as unmarked, and a save then writes only the page really changed.
TEST_F(EditStateX11Test, OnlyAChangedValueMarksAPageAndAnUndoneEditLeavesNone)
{
    ASSERT_TRUE(StartOnSite());
    CGroupView& view = *View();
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    const ROWCOL nTitle = ColumnOf("Title"), nDescription = ColumnOf("Description");
    const std::string pageA = ReadFile(site + "/a.htm");

    ASSERT_TRUE(Click(nA, nTitle));
    ASSERT_TRUE(Xdo("key F2"));
    ASSERT_TRUE(RunUntil([&] { return EditorOpen(); }, 60000)) << "F2 opened no editor";
    ASSERT_TRUE(Xdo("key ctrl+a"));
    ASSERT_TRUE(Click(nB, nTitle));
    ASSERT_TRUE(RunUntil([&] { return !EditorOpen(); }, 60000));
    EXPECT_EQ(app->IsEdited(), 3u) << "leaving the editor marked the program edited";
    EXPECT_EQ(RedInFileCell(nA), 0) << "the row shows its page edited";
    EXPECT_FALSE(view.CanUndo(nullptr));
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));
    EXPECT_EQ(std::string(view.GetCellValue(nA, nTitle)), "Tools \xE2\x80\x94 Parts");

    // A real edit shows, and its undo takes it away again.
    ASSERT_TRUE(TypeInto(nB, nDescription, "Other words"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; }, 60000)) << "the typed value was not taken";
    EXPECT_GT(RedInFileCell(nB), 0) << "the edited page's row is not red";
    ASSERT_TRUE(Xdo("key ctrl+z"));
    EXPECT_TRUE(RunUntil([&] { return app->IsEdited() == 3; }, 60000)) << "the page stayed edited after its edit was undone";
    EXPECT_EQ(std::string(view.GetCellValue(nB, nDescription)), "About b");
    EXPECT_EQ(RedInFileCell(nB), 0) << "the row stayed red after its only edit was undone";

    // Typed over and typed back by hand: the page holds what it held, and is not edited.
    ASSERT_TRUE(TypeInto(nB, nDescription, "Something else"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; }, 60000));
    ASSERT_TRUE(TypeInto(nB, nDescription, "About b"));
    EXPECT_TRUE(RunUntil([&] { return app->IsEdited() == 3; }, 60000)) << "the page typed back to its value stayed edited";
    EXPECT_EQ(RedInFileCell(nB), 0);

    // One page really changed: the save writes it and leaves the others, a.htm too, untouched.
    const ROWCOL nC = RowOf("c.htm");
    ASSERT_TRUE(TypeInto(nC, nDescription, "Changed"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; }, 60000));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return TagContent(ReadFile(site + "/c.htm"), "description") == "Changed" && app->IsEdited() == 3; },
                         60000))
        << ReadFile(site + "/c.htm");
    EXPECT_EQ(ReadFile(site + "/a.htm"), pageA);
    for (const char* pszName : {"a", "b", "d"})
        EXPECT_FALSE(std::filesystem::exists(site + "/" + pszName + ".htm.old")) << pszName << " was written";
    EXPECT_TRUE(std::filesystem::exists(site + "/c.htm.old"));
}

// A 3x3 block pasted at the next-to-last row and column lands as 2x2 and says how many cells
// it left out; pasted with a file cell current it says that page names are not edited; a key
// typed during a scan says that editing waits for the scan. Each with a beep.
TEST_F(EditStateX11Test, WhatTheGridLeavesUndoneIsSaidInTheStatusBar)
{
    ASSERT_TRUE(StartOnSite());
    BellWatch bells(server->DisplayName());
    ASSERT_TRUE(bells.Ready());
    CGroupView& view = *View();
    ASSERT_EQ(view.GetRowCount(), 4u);

    const std::vector<std::string> block = CopiedCells(1, 2, 3, 4);
    ASSERT_EQ(block.size(), 3u);
    int nRung = bells.Rung();
    ASSERT_TRUE(GoToByKeys(3, 3));
    ASSERT_TRUE(Xdo("key ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return StatusText() != "Ready" && !StatusText().empty(); }, 60000)) << StatusText();
    EXPECT_EQ(StatusText(), "5 pasted cells lay past the last page or column and were left out.");
    EXPECT_TRUE(RunUntil([&] { return bells.Rung() > nRung; }, 60000)) << "no beep";
    EXPECT_EQ(view.GetRowCount(), 4u);
    cairo_surface_destroy(Shot("paste-left-out"));

    // Another program's cells, in text, pasted at the last cell: one lands, three are left out.
    {
        ForeignClipboardOwner other(server->DisplayName(), "\xCE\x88\xCE\xBD\xCE\xB1\tTwo\r\nThree\tFour\r\n",
                                    ForeignClipboardOwner::Transfer::Whole);
        ASSERT_TRUE(other.Ready());
        ASSERT_TRUE(GoToByKeys(4, 4));
        ASSERT_TRUE(Xdo("key ctrl+v"));
        EXPECT_TRUE(RunUntil([&] { return StatusText() == "3 pasted cells lay past the last page or column and were left out."; },
                             60000))
            << StatusText();
        EXPECT_EQ(std::string(view.GetCellValue(4, 4)), "\xCE\x88\xCE\xBD\xCE\xB1");
    }

    nRung = bells.Rung();
    ASSERT_TRUE(GoToByKeys(2, 1));
    ASSERT_TRUE(Xdo("key ctrl+v"));
    EXPECT_TRUE(RunUntil([&] { return StatusText() == Text(IDS_PASTE_NO_PAGE_NAMES); }, 60000)) << StatusText();
    EXPECT_TRUE(RunUntil([&] { return bells.Rung() > nRung; }, 60000)) << "no beep";

    // A scan that reads no page runs until it is stopped; it first asks whether the pages'
    // edits may go, which the user answers with Yes.
    CParserEngine::GetEngine().SetScanBackend(&m_readsNone);
    {
        X11MessageBoxAnswerer yes(*backend, server->DisplayName(), "y");
        ASSERT_TRUE(Xdo("key F5"));
        ASSERT_TRUE(RunUntil([&] { return app->GetRunState() != 0; }, 60000)) << "F5 started no scan";
    }
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    // The scan shows the rows afresh, the first file cell current: the user goes to a title.
    ASSERT_TRUE(GoToByKeys(2, 2));
    nRung = bells.Rung();
    ASSERT_TRUE(Xdo("type --delay 20 x"));
    EXPECT_TRUE(RunUntil([&] { return StatusText() == Text(IDS_EDIT_WAITS_FOR_SCAN); }, 60000)) << StatusText();
    EXPECT_TRUE(RunUntil([&] { return bells.Rung() > nRung; }, 60000)) << "no beep";
    EXPECT_FALSE(EditorOpen());
    // Delete would clear the cell in a page the scan is filling: it is refused the same way.
    nRung = bells.Rung();
    ASSERT_TRUE(Xdo("key Delete"));
    EXPECT_TRUE(RunUntil([&] { return bells.Rung() > nRung; }, 60000)) << "Delete during the scan gave no beep";
    EXPECT_EQ(StatusText(), Text(IDS_EDIT_WAITS_FOR_SCAN));
    cairo_surface_destroy(Shot("edit-waits-for-scan"));
    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1; }, 60000));
}

// Another program (a second instance, an editor) retitles a page after the scan. The save puts
// the user's edit into the page as it now stands, keeping both changes, and the row then shows
// what the page holds, its new title too, as Ctrl+C copies it; the Output Area says so.
TEST_F(EditStateX11Test, AfterASaveTheRowShowsWhatThePageNowHolds)
{
    ASSERT_TRUE(StartOnSite());
    const ROWCOL nB = RowOf("b.htm");
    const ROWCOL nTitle = ColumnOf("Title"), nDescription = ColumnOf("Description");
    std::string page = ReadFile(site + "/b.htm");
    const size_t at = page.find("<title>Page b</title>");
    ASSERT_NE(at, std::string::npos);
    page.replace(at, 21, "<title>Seite &#946; neu</title>");
    std::ofstream(site + "/b.htm", std::ios::binary | std::ios::trunc) << page;

    ASSERT_TRUE(TypeInto(nB, nDescription, "Edited here"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; }, 60000)) << "the typed value was not taken";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return TagContent(ReadFile(site + "/b.htm"), "description") == "Edited here" && app->IsEdited() == 3; },
                         60000))
        << ReadFile(site + "/b.htm");
    EXPECT_NE(ReadFile(site + "/b.htm").find("<title>Seite &#946; neu</title>"), std::string::npos) << ReadFile(site + "/b.htm");

    EXPECT_EQ(CopiedCells(nB, nTitle, nB, nTitle), (std::vector<std::string>{"Seite \xCE\xB2 neu"}));
    EXPECT_EQ(CopiedCells(nB, nDescription, nB, nDescription), (std::vector<std::string>{"Edited here"}));
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    EXPECT_TRUE(RunUntil([&] { return std::string(pOutput->GetText()).find("B.HTM : Read again after the save") != std::string::npos; },
                         60000))
        << pOutput->GetText().GetString();
    EXPECT_EQ(std::string(pOutput->GetText()).find("A.HTM"), std::string::npos) << "a page no one changed was reported";
}
