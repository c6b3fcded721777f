// A scan stopped part-way through a site of thousands of pages, as the user meets it on the X
// server: the pages it did not read, and those it could not read, take no edits, from a fill,
// from typing in a cell or in the field above the grid, and the save leaves them byte for byte
// as they were.
#include "tests/app/UserStepsX11Fixture.h"

#include "app/panes/COutputAreaControlBar.h"
#include "app/views/CShortcutEditCtrl.h"
#include "engine/project/CParserEngine.h"
#include "tests/app/PartFetchBackend.h"
#include "tests/app/PausingFetchBackend.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <map>

namespace {

constexpr int kPages = 2000;
// The scan reads the first pages of the grid only: two pages, the two files that are no pages
// (their names sort among them), and two more pages.
constexpr UINT kScanned = 6;

class StoppedScanEditsX11Test : public MainWindowStepsX11Test {
protected:
    // Pages as a site generator writes them: one line ended by LF, a UTF-8 label, references
    // and characters beyond Latin-1 in the head, a script and a style.
    static std::string GeneratedPage(int n)
    {
        const std::string strN = std::to_string(n);
        return "<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\"><title>Seite " + strN +
               " &mdash; Größe</title><meta name=\"description\" content=\"Beschreibung " + strN +
               " — Straße\"><script>var s=\"→\";</script><style>p:before{content:\"•\"}</style></head><body><p>Text " +
               strN + "</p></body></html>\n";
    }
    static std::string PageName(int n)
    {
        char name[32];
        std::snprintf(name, sizeof name, "p%04d.htm", n);
        return name;
    }
    // The site, with a copy of every file as it was written.
    void MakeLargeSite()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        std::map<std::string, std::string> files;
        for (int n = 1; n <= kPages; ++n)
            files[PageName(n)] = GeneratedPage(n);
        // A file that holds binary data and a page in UTF-16, among the first pages.
        static const char kBinary[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10";
        files["p0002b.htm"] = std::string(kBinary, sizeof kBinary - 1);
        std::string strWide = "\xFF\xFE";
        for (const char ch : std::string("<html><head><title>Breit</title></head></html>\n"))
            strWide += std::string{ch, '\0'};
        files["p0002w.htm"] = strWide;
        for (const auto& [name, bytes] : files)
            std::ofstream(site + "/" + name, std::ios::binary) << bytes;
        copy = files;
    }
    std::string StatusText() { return static_cast<LPCTSTR>(Frame().GetStatusBar().GetPaneText(0)); }
    // The status bar says it soon after the key: a refusal never told fails the test within
    // seconds.
    bool StatusSays(const std::string& text)
    {
        return RunUntil([&] { return StatusText().rfind(text, 0) == 0; }, 10000);
    }
    std::string OutputAreaText()
    {
        COutputAreaControlBar* pBar = nullptr;
        Frame().GetOutputAreaBar(pBar);
        return pBar != nullptr ? std::string(static_cast<LPCTSTR>(pBar->GetText())) : std::string();
    }
    std::string SitePathOfRow(ROWCOL nRow)
    {
        CPageNode* pPage = nullptr;
        return view->GetRowPage(nRow, pPage) == 0 ? std::string(pPage->GetSitePath()) : std::string();
    }

    PartFetchBackend partial{kScanned};
    std::map<std::string, std::string> copy;
};

} // namespace

// A site of 2002 files, of which the scan reads six, two of them no pages (binary data, UTF-16),
// before the user stops it with Esc. The stop tells what the grid shows: four pages read, two
// that cannot be read. A description typed into the first row and filled down the whole column
// reaches the four pages read and no other, and the user is told once why the others were left,
// as for a title pasted over rows read and not read; a key typed into a row not read, into the binary file's row and, in the field above the grid,
// into the UTF-16 page's row is refused and told. The save writes the four pages, only their
// descriptions changed, leaves every other file as it was, and nothing asks to be saved after.
TEST_F(StoppedScanEditsX11Test, PagesTheScanDidNotReadTakeNoEditsAndAreNotWritten)
{
    const std::string typed = "Neu ß é Ω 中";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    MakeLargeSite();
    WriteProject({"Description"});
    ASSERT_TRUE(Start());
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CParserEngine::GetEngine().SetScanBackend(&partial);
    ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1 && Frame().GetFilesScanned() == kScanned && View() != nullptr; }))
        << "the scan did not read its first pages: " << Frame().GetFilesScanned();
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1 && ProgramHasFocus(); }))
        << "the stopped scan said nothing";
    EXPECT_EQ(boxes.Texts()[0].rfind("The scan was stopped: 4 of 2002 pages were read. 2 could not be read, and show the "
                                     "Unreadable picture.\n\n",
                                     0),
              0u)
        << boxes.Texts()[0];
    view = View();
    ASSERT_EQ(view->GetRowCount(), static_cast<ROWCOL>(kPages + 2));
    const ROWCOL nDesc = ColumnOf("Description");
    ASSERT_NE(nDesc, 0u);
    ASSERT_EQ(SitePathOfRow(3), "p0002b.htm");
    ASSERT_EQ(SitePathOfRow(4), "p0002w.htm");
    ASSERT_EQ(SitePathOfRow(6), "p0004.htm");

    // The first row's description typed, and filled down the whole column.
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nDesc) == typed.c_str(); }))
        << "the first row did not take the typed text";
    ASSERT_TRUE(GoToByKeys(1, nDesc) && Xdo("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(kPages, nDesc, view->GetParam()->m_SelRects) != FALSE; }));
    ASSERT_TRUE(Xdo("key ctrl+d"));
    EXPECT_TRUE(StatusSays("Pages not read are not edited: 1996 were left as they were. Start Scan reads them. Pages "
                           "that cannot be read are not edited: 2 were left as they were (p0002b.htm: The file holds "
                           "binary data, not the text of an HTML page.)"))
        << StatusText();
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("stopped-scan-fill-refused"));

    // The first row's title copied and pasted over two rows read and two rows not read.
    const std::string title = "Seite 1 — Größe";
    ASSERT_TRUE(GoToByKeys(1, CGroupView::kTitleColumn));
    ASSERT_EQ(CopyByKeys("ctrl+c"), title);
    ASSERT_TRUE(SelectCells(5, nDesc, 8, nDesc) && Xdo("key ctrl+v"));
    EXPECT_TRUE(StatusSays("Pages not read are not edited: 2 were left as they were. Start Scan reads them.")) << StatusText();

    // A key typed into a row the scan did not read, and into the binary file's row.
    ASSERT_TRUE(GoToByKeys(9, nDesc) && Xdo("type --delay 30 'ß'"));
    EXPECT_TRUE(StatusSays("Pages not read are not edited: " + SitePathOfRow(9) +
                           " was not read by the scan. Start Scan reads it."))
        << StatusText();
    ASSERT_TRUE(GoToByKeys(3, nDesc) && Xdo("type --delay 30 'é'"));
    EXPECT_TRUE(StatusSays("Pages that cannot be read are not edited: p0002b.htm: The file holds binary data, not "
                           "the text of an HTML page."))
        << StatusText();
    // The UTF-16 page's row, typed into in the field above the grid.
    ASSERT_TRUE(GoToByKeys(4, nDesc) && Xdo("key F6"));
    CGroupFrame* pFrame = dynamic_cast<CGroupFrame*>(view->GetParentFrame());
    ASSERT_NE(pFrame, nullptr);
    const HWND hField = pFrame->GetEditField().GetSafeHwnd();
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == hField; })) << "F6 did not reach the field above the grid";
    ASSERT_TRUE(Xdo("type --delay 30 'Ω'"));
    EXPECT_TRUE(StatusSays("Pages that cannot be read are not edited: p0002w.htm: The page is written in UTF-16"))
        << StatusText();
    EXPECT_FALSE(pFrame->GetEditField().IsEditing());
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("stopped-scan-field-refused"));
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); }));

    // The grid shows the typed value in the four rows read and in no other.
    const std::vector<std::string> shown = CopiedCells(1, nDesc, 10, nDesc);
    EXPECT_EQ(shown, (std::vector<std::string>{typed, typed, "", "", title, title, "", "", "", ""}));

    // The save writes the four pages read, their descriptions changed and nothing else, and no
    // other file; nothing is said of files changed since the scan, and nothing is left to save.
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ProgramHasFocus() && Settled(); })) << "the save did not end";
    std::vector<std::string> changed, backups;
    for (const auto& entry : std::filesystem::directory_iterator(site)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.substr(name.size() - 4) == ".old")
            backups.push_back(name);
        else if (copy.count(name) == 0 || ReadFile(entry.path().string()) != copy[name])
            changed.push_back(name);
    }
    std::sort(changed.begin(), changed.end());
    std::sort(backups.begin(), backups.end());
    EXPECT_EQ(changed, (std::vector<std::string>{"p0001.htm", "p0002.htm", "p0003.htm", "p0004.htm"}));
    EXPECT_EQ(backups, (std::vector<std::string>{"p0001.htm.old", "p0002.htm.old", "p0003.htm.old", "p0004.htm.old"}));
    for (int n = 1; n <= 4; ++n) {
        const std::string before = copy[PageName(n)], after = ReadFile(site + "/" + PageName(n));
        const std::string oldValue = TagContent(before, "description"), newValue = TagContent(after, "description");
        EXPECT_EQ(newValue, n <= 2 ? typed : title) << after;
        std::string expected = before;
        expected.replace(expected.find(oldValue), oldValue.size(), newValue);
        EXPECT_EQ(after, expected);
    }
    EXPECT_EQ(OutputAreaText().find("changed since the scan"), std::string::npos) << OutputAreaText();
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    // Exit asks nothing: no page holds an edit a save could write.
    const HWND hMain = Frame().GetSafeHwnd();
    ASSERT_TRUE(Xdo("key alt+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hMain) || boxes.Texts().size() > 1; }));
    EXPECT_EQ(boxes.Texts().size(), 1u) << boxes.Texts().back();
    EXPECT_TRUE(RunUntil([&] { return !::IsWindow(hMain); })) << "the main window did not close";
}

// One value another program copied, pasted by Ctrl+V over six chosen cells of a column, four of
// pages read and two of pages the stopped scan did not read: it fills the four, as a value copied
// in the grid does, and the two are left as they were and counted. One Ctrl+Z gives every cell
// back; after Ctrl+Y the save writes the four pages, only their descriptions changed.
TEST_F(StoppedScanEditsX11Test, OneValueAnotherProgramCopiedFillsEveryChosenCell)
{
    const std::string value = "Grüße Ωμέγα 日本";
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (int n = 1; n <= 10; ++n)
        std::ofstream(site + "/" + PageName(n), std::ios::binary) << (copy[PageName(n)] = GeneratedPage(n));
    WriteProject({"Description"});
    ASSERT_TRUE(Start());
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CParserEngine::GetEngine().SetScanBackend(&partial);
    ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1 && Frame().GetFilesScanned() == kScanned && View() != nullptr; }));
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1 && ProgramHasFocus(); }));
    view = View();
    const ROWCOL nDesc = ColumnOf("Description");
    ASSERT_NE(nDesc, 0u);
    const std::vector<std::string> before = CopiedCells(1, nDesc, 10, nDesc);
    std::vector<std::string> pasted = before;
    for (ROWCOL nRow = 3; nRow <= 6; ++nRow)
        pasted[nRow - 1] = value;

    ForeignClipboardOwner other(server->DisplayName(), value, ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(other.Ready());
    ASSERT_TRUE(SelectCells(3, nDesc, 8, nDesc) && Xdo("key ctrl+v"));
    EXPECT_TRUE(StatusSays("Pages not read are not edited: 2 were left as they were.")) << StatusText();
    EXPECT_EQ(CopiedCells(1, nDesc, 10, nDesc), pasted);
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return !view->GetParam()->m_RedoList.IsEmpty(); })) << "Undo was not done";
    EXPECT_TRUE(view->GetParam()->m_UndoList.IsEmpty()) << "the paste took more than one step of undo";
    EXPECT_EQ(CopiedCells(1, nDesc, 10, nDesc), before);

    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.IsEmpty(); })) << "Redo was not done";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ProgramHasFocus() && Settled(); })) << "the save did not end";
    for (int n = 1; n <= 10; ++n) {
        std::string expected = copy[PageName(n)];
        if (n >= 3 && n <= 6) {
            const std::string oldValue = TagContent(expected, "description");
            expected.replace(expected.find(oldValue), oldValue.size(), value);
        }
        EXPECT_EQ(ReadFile(site + "/" + PageName(n)), expected) << PageName(n);
    }
}

// A page a broken generator filled with a hundred thousand META tags of one name, each with a
// value of its own, and a name of its own before every thousandth. Esc pressed while the scan
// files the page's tags ends the scan there, inside the page: the names after it never come, and
// the page counts as not read. F5 then reads it whole, its value all in its cell.
TEST_F(StoppedScanEditsX11Test, EscEndsTheScanInsideAPageOfAHundredThousandTags)
{
    constexpr int kTags = 100000;
    constexpr int kNames = kTags / 1000;
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::string page = "<html><head><title>Generated</title>\n";
    std::string value;
    for (int i = 0; i < kTags; ++i) {
        if (i % 1000 == 0)
            page += "<meta name=\"part-" + std::to_string(i / 1000) + "\" content=\"x\">\n";
        page += "<meta name=\"description\" content=\"part " + std::to_string(i) + "\">\n";
        value += (i == 0 ? "part " : ",part ") + std::to_string(i);
    }
    std::ofstream(site + "/a.htm", std::ios::binary) << page + "</head><body>x</body></html>\n";
    for (const char* pszName : {"b.htm", "c.htm"})
        std::ofstream(site + "/" + pszName, std::ios::binary) << "<html><head><title>Plain</title></head><body>x</body></html>\n";
    ASSERT_TRUE(Start());
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    SaveCatalogueShowing({});
    OpenSiteProject(1);
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(Quiet());
    const auto names = [&] {
        int nCount = 0;
        for (ROWCOL nCol = 1; nCol <= view->GetColCount(); ++nCol)
            nCount += view->GetCellValue(0, nCol).Left(5) == "part-" ? 1 : 0;
        return nCount;
    };
    ASSERT_EQ(RowOf("a.htm"), 1u);

    // The page's tags wait, before its second name, until the scan is asked to stop.
    PausingFetchBackend pausing(1 + 1000 + 1);
    CParserEngine::GetEngine().SetScanBackend(&pausing);
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return pausing.bPaused && names() == 1; })) << "the page's first name did not show";
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1 && ProgramHasFocus(); }))
        << "Esc did not end the scan";
    EXPECT_EQ(boxes.Texts()[0].rfind("The scan was stopped: 0 of 3 pages were read.", 0), 0u) << boxes.Texts()[0];
    EXPECT_EQ(names(), 1) << "the page's tags were filed after Esc";
    EXPECT_EQ(CopiedCells(1, CGroupView::kTitleColumn, 1, CGroupView::kTitleColumn), std::vector<std::string>{});
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("a-scan-stopped-inside-a-page-of-a-hundred-thousand-tags"));

    CParserEngine::GetEngine().SetScanBackend(&pausing.m_real);
    ASSERT_TRUE(Xdo("key F5"));
    const bool bRead = RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3; });
    if (!bRead && Xdo("key Escape"))
        RunUntil([&] { return app->GetRunState() == 0; }); // the program may close then
    ASSERT_TRUE(bRead) << "the scan did not end in a minute: " << Frame().GetFilesScanned() << " pages read";
    EXPECT_EQ(names(), kNames);
    const ROWCOL nDesc = ColumnOf("Description");
    ASSERT_NE(nDesc, 0u);
    EXPECT_EQ(CopiedCells(1, nDesc, 1, nDesc), std::vector<std::string>{value});
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("a-page-of-a-hundred-thousand-tags-read"));
}
