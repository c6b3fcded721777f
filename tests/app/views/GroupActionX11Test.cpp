// A group action over a large site on the X server, by the mouse and the keys: the Keywords
// column chosen by Ctrl+Space, Group Actions... from the right-click menu, the dialog's OK by
// Return. The status bar shows the action's progress while it works, and Ctrl+Z and Ctrl+Y undo
// and redo it whole, as the grid's copied text shows. On rows sorted by their titles the action
// also shows its progress, and Esc with Yes to the question aborts it: every page is as it was,
// those that held no keywords as well, no step of undo is left, and a save leaves them on disk
// byte for byte. On a site of a hundred thousand pages Esc is heard at every moment of the
// action, early, halfway and near its end.
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/TextSite.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/HangGuard.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "tests/support/WorkWatch.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kActionPages = 10000;
// Enough pages that the action's first part, which Esc stops, lasts several of the steps' turns.
constexpr int kSortedPages = 10000;
// A large site: every part of the action lasts many of its looks at the keys.
constexpr int kLargePages = text_site::kLargePages;

class GroupActionX11Test : public MainWindowStepsX11Test {
protected:
    // Work over the large site takes minutes where busy processors run it under the sanitizers:
    // it is waited for until it ends, the guard only keeping a broken run from hanging.
    static constexpr int kWorkGuard = static_cast<int>(std::chrono::milliseconds(kHangGuard).count());
    bool RunUntil(const std::function<bool()>& done, int ms = kWorkGuard) { return MainWindowStepsX11Test::RunUntil(done, ms); }
    ::testing::AssertionResult StepsTaken(int ms = kWorkGuard) { return MainWindowStepsX11Test::StepsTaken(ms); }
    void TearDown() override
    {
        GXGetLongOperationState().m_nFirstWait = m_nFirstWait;
        GXGetLongOperationState().m_nUpdateInterval = m_nUpdateInterval;
        MainWindowStepsX11Test::TearDown();
    }

    // Pages of English text of nWords words, which the scan finds key phrases in, with keywords
    // of their own in other scripts; with bSomeWithout, every other page has none.
    void WriteSite(int nPages = kActionPages, bool bSomeWithout = false, int nWords = 120)
    {
        site = dir.Path() + "/site";
        text_site::WritePages(site, nPages, bSomeWithout, nWords);
        ShowKeywords();
    }
    // The Keywords column shown, in the catalogue the project names.
    void ShowKeywords()
    {
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        CMetaSetting* pSetting = nullptr;
        ASSERT_EQ(pList->FindByName("Keywords", pSetting), 0u);
        pSetting->SetShow(1);
        std::filesystem::create_directories(dir.Path() + "/config");
        ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    }
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The site written, its project opened and scanned, its grid shown.
    void OpenScannedTextSite(int nPages, bool bSomeWithout = false, int nWords = 120)
    {
        WriteSite(nPages, bSomeWithout, nWords);
        if (!HasFatalFailure())
            ScanSite(nPages);
    }
    // The project of the site's nPages pages opened and scanned, its grid shown.
    void ScanSite(int nPages)
    {
        OpenSiteProject(0);
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == static_cast<UINT>(nPages); }))
            << "the scan of the site did not end";
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
        ASSERT_TRUE(Quiet()) << "the project's windows never showed";
    }
    // The program started on the large site the long-work tests share, scanned and shown; its
    // Title and Keywords columns.
    void OpenLargeSite(ROWCOL& nTitle, ROWCOL& nCol)
    {
        ASSERT_TRUE(Start());
        site = text_site::Large();
        ShowKeywords();
        if (!HasFatalFailure())
            ScanSite(kLargePages);
        if (HasFatalFailure())
            return;
        nTitle = ColumnOf("Title");
        nCol = ColumnOf("Keywords");
        ASSERT_NE(nTitle, 0u);
        ASSERT_NE(nCol, 0u);
    }
    // The whole Keywords column as Ctrl+C copies it, with the column chosen.
    std::string CopiedColumn() { return CopyByKeys("ctrl+c"); }
    // The percentage the status bar shows after the group action's text; -1 when none.
    // The percentage the status bar shows for the group action; with `cancellable`, only while it
    // offers Esc, as it does until the values are taken and the cells are written.
    int GroupPercent(bool cancellable = false, const std::string& action = "Group action on the Keywords column:")
    {
        const std::string text = StatusText();
        const size_t at = text.find('%');
        if (text.rfind(action, 0) != 0 || at == std::string::npos)
            return -1;
        if (cancellable && text.find("Press ESC to cancel") == std::string::npos)
            return -1;
        size_t from = at;
        while (from > 0 && std::isdigit(static_cast<unsigned char>(text[from - 1])))
            --from;
        return from < at ? std::atoi(text.substr(from, at - from).c_str()) : -1;
    }
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        for (size_t from = 0, at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
            lines.push_back(text.substr(from, at - from));
        return lines;
    }
    // The column chosen by the keys: the current cell to its first row, then Ctrl+Space.
    ::testing::AssertionResult ChooseColumn(ROWCOL nColumn, ROWCOL nRows)
    {
        if (!GoToByKeys(1, nColumn) || !Xdo("key ctrl+space") ||
            !RunUntil([&] { return view->IsCellInRangeList(nRows, nColumn, view->GetParam()->m_SelRects) != FALSE; }))
            return ::testing::AssertionFailure() << "column " << nColumn << " was not chosen";
        return ::testing::AssertionSuccess();
    }

    // The rows of the site's nPages pages sorted by their titles, descending, by the keys: the
    // Title column chosen, then View > Sort Descending.
    ::testing::AssertionResult SortByTitleDescending(ROWCOL nTitle, int nPages)
    {
        if (!ChooseColumn(nTitle, nPages) || !Xdo("key alt+v d"))
            return ::testing::AssertionFailure() << "the keys did not reach the program";
        const CString strLast = ("Page " + std::to_string(nPages - 1)).c_str();
        if (!RunUntil([&] {
                CString strFirst;
                view->GetCellText(1, nTitle, strFirst);
                return strFirst == strLast && ::GetFocus() == view->GetSafeHwnd();
            }))
            return ::testing::AssertionFailure() << "View > Sort Descending did not sort the rows";
        return ::testing::AssertionSuccess();
    }
    // The Keywords group action started as the user starts it on the chosen column: Group
    // Actions... from the context menu, and Return in its dialog.
    void StartGroupAction(ROWCOL nCol)
    {
        ASSERT_TRUE(ClickAt(CellOnScreen(2, nCol), 3));
        Choose("Group Actions...");
        Type("the group keywords dialog", "^Keywords Metatag", "Return");
    }
    // Each page's size and time, which a save that writes the page changes.
    std::map<std::string, std::pair<uintmax_t, std::filesystem::file_time_type>> Stamps() const
    {
        std::map<std::string, std::pair<uintmax_t, std::filesystem::file_time_type>> stamps;
        for (const auto& entry : std::filesystem::directory_iterator(site))
            stamps[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
        return stamps;
    }
    // Esc pressed once the meter of the action shows at least nPercent, from a step that waits
    // for it.
    void EscOnceTheMeterShows(int nPercent, int& nSeen, const std::string& action = "Group action on the Keywords column:")
    {
        When("the meter shows " + std::to_string(nPercent) + " %", [this, nPercent, action] { return GroupPercent(true, action) >= nPercent; },
             [this, &nSeen, action] {
                 nSeen = GroupPercent(true, action);
                 EXPECT_TRUE(PressWhileWorking("Escape")) << "the Escape key did not reach the program";
             });
    }
    // The action started on the whole chosen column, Esc pressed once the meter shows at least
    // nPercent and the question answered Yes. The percentage shown when Esc went, -1 when the
    // meter never showed it; the texts of the boxes that came.
    int EscAndYesAt(ROWCOL nCol, int nPercent, std::vector<std::string>& boxTexts)
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
        int nSeen = -1;
        StartGroupAction(nCol);
        EscOnceTheMeterShows(nPercent, nSeen);
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && !boxes.Texts().empty(); }))
            << "the action did not end";
        EXPECT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
        boxTexts = boxes.Texts();
        return nSeen;
    }
    // The text of the message box that holds the display's focus ("" for none).
    std::string FocusedBoxText()
    {
        const HWND hText = ::GetDlgItem(::GetActiveWindow(), kMessageBoxTextId);
        char text[2048] = {};
        if (hText == nullptr || !ProgramHasFocus())
            return std::string();
        ::GetWindowText(hText, text, sizeof text);
        return text;
    }

    // The long-work tests over the large site, each on rows as loaded or on rows sorted by their
    // titles, which then goes on to what follows on them.
    void EscThroughTheWholeAction(bool bRowsSorted);
    void PasteOverTheWholeColumn(bool bRowsSorted);

    DWORD m_nFirstWait = GXGetLongOperationState().m_nFirstWait;
    DWORD m_nUpdateInterval = GXGetLongOperationState().m_nUpdateInterval;
    // What the status bar says once a stopped piece of work has given back what it changed.
    const std::string takenBack = "Stopped: the change was taken back.";
};

} // namespace

TEST_F(GroupActionX11Test, AKeywordsGroupActionShowsItsProgressAndIsOneStepOfUndoAndRedo)
{
    ASSERT_TRUE(Start());
    OpenScannedTextSite(kActionPages);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(view->GetRowCount(), static_cast<ROWCOL>(kActionPages));
    const ROWCOL nCol = ColumnOf("Keywords");
    ASSERT_NE(nCol, 0u);

    // The user chooses the Keywords column by the keys and copies it as it is.
    ASSERT_TRUE(GoToByKeys(1, nCol));
    ASSERT_TRUE(Xdo("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(kActionPages, nCol, view->GetParam()->m_SelRects) != FALSE; }));
    const std::string before = CopiedColumn();
    ASSERT_EQ(before.find("(nothing copied)"), std::string::npos);
    ASSERT_EQ(before.rfind("Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3\r\n", 0), 0u) << before.substr(0, 200);

    // The progress is shown from the start and at every turn, so that a test machine of any
    // speed sees it.
    GXGetLongOperationState().m_nFirstWait = 0;
    GXGetLongOperationState().m_nUpdateInterval = 0;
    std::string seenWhileWorking;
    // The box that ends the action, answered by Return.
    X11MessageBoxAnswerer report(*backend, server->DisplayName());
    ASSERT_TRUE(ClickAt(CellOnScreen(2, nCol), 3));
    Choose("Group Actions...");
    Type("the group keywords dialog", "^Keywords Metatag", "Return");
    // A step of the user's own, run by the program's timer: it comes while the action works
    // only when the window still answers then.
    When("the status bar shows the group action's progress",
         [&] {
             const std::string text = StatusText();
             return text.rfind("Group action on the Keywords column:", 0) == 0 && text.find('%') != std::string::npos;
         },
         [&] {
             seenWhileWorking = StatusText();
             if (cairo_surface_t* shot = Shot("group-action-progress"))
                 cairo_surface_destroy(shot);
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return !view->GetParam()->m_UndoList.IsEmpty() && CGXLongOperation::GetLevel() == 0; }));
    EXPECT_NE(seenWhileWorking.find('%'), std::string::npos) << seenWhileWorking;
    ASSERT_TRUE(RunUntil([&] { return report.Texts().size() == 1 && ProgramHasFocus(); })) << "the action told nothing";
    EXPECT_EQ(report.Texts()[0].rfind("The suggested keywords were added to the keywords of ", 0), 0u) << report.Texts()[0];

    // Every page got its suggestions added: one step of undo holds them all.
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    const std::string after = CopiedColumn();
    ASSERT_NE(after, before);
    EXPECT_EQ(after.rfind("Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3,", 0), 0u) << after.substr(0, 200);
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), 1);

    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_UndoList.IsEmpty(); })) << "Ctrl+Z undid nothing";
    EXPECT_EQ(CopiedColumn(), before) << "one Ctrl+Z did not undo the whole action";
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 3u) << "a page is still edited after the undo";

    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.IsEmpty(); })) << "Ctrl+Y redid nothing";
    EXPECT_EQ(CopiedColumn(), after) << "one Ctrl+Y did not redo the whole action";
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 2u);
}

TEST_F(GroupActionX11Test, OnRowsSortedByTitleTheActionShowsItsProgressAndEscAbortsItWhole)
{
    ASSERT_TRUE(Start());
    OpenScannedTextSite(kSortedPages, true);
    if (HasFatalFailure())
        return;
    const ROWCOL nTitle = ColumnOf("Title");
    const ROWCOL nCol = ColumnOf("Keywords");
    ASSERT_NE(nTitle, 0u);
    ASSERT_NE(nCol, 0u);
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(site))
        files[entry.path().string()] = ReadFile(entry.path().string());

    // The rows sorted by their titles, descending, by the keys: the Title column chosen, then
    // View > Sort Descending.
    ASSERT_TRUE(SortByTitleDescending(nTitle, kSortedPages));
    ASSERT_TRUE(ChooseColumn(nTitle, kSortedPages));
    const std::vector<std::string> titles = Lines(CopyByKeys("ctrl+c"));
    ASSERT_EQ(titles.size(), static_cast<size_t>(kSortedPages));
    ASSERT_EQ(titles.front(), "Page 9999");
    ASSERT_TRUE(std::is_sorted(titles.rbegin(), titles.rend()));

    // Half the pages hold keywords of their own, the others none, and take turns in the rows.
    ASSERT_TRUE(ChooseColumn(nCol, kSortedPages));
    const std::vector<std::string> before = Lines(CopiedColumn());
    ASSERT_EQ(before.size(), static_cast<size_t>(kSortedPages));
    EXPECT_EQ(std::count(before.begin(), before.end(), std::string()), kSortedPages / 2);

    // The progress is shown from the start and at every turn; the user watches the meter go
    // on, then presses Esc and answers Yes to the question.
    GXGetLongOperationState().m_nFirstWait = 0;
    GXGetLongOperationState().m_nUpdateInterval = 0;
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
    int nFirst = -1, nLater = -1;
    ASSERT_TRUE(ClickAt(CellOnScreen(2, nCol), 3));
    Choose("Group Actions...");
    Type("the group keywords dialog", "^Keywords Metatag", "Return");
    When("the status bar shows the group action's progress", [&] { return GroupPercent(true) >= 0; },
         [&] { nFirst = GroupPercent(true); });
    When("the meter goes on", [&] { return GroupPercent(true) > nFirst; },
         [&] {
             nLater = GroupPercent(true);
             if (cairo_surface_t* shot = Shot("sorted-group-action-progress"))
                 cairo_surface_destroy(shot);
             EXPECT_TRUE(PressWhileWorking("Escape")) << "the Escape key did not reach the program";
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && CGXLongOperation::GetLevel() == 0; }))
        << "the action did not end after Esc";
    EXPECT_LT(nFirst, nLater);
    EXPECT_LT(nLater, 100);
    EXPECT_EQ(boxes.Texts()[0], "Do you want to abort the operation?");

    // Every row shows what it showed before, no page is edited, and the sort is the only step
    // of undo.
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    EXPECT_EQ(Lines(CopiedColumn()), before) << "the aborted action left rows changed";
    EXPECT_EQ(app->IsEdited(), 3u) << "the aborted action left a page edited";
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), 1) << "the aborted action left a step of undo";

    // A title typed into the first row, and Ctrl+T: no other page changes on disk.
    CPageNode* pTyped = nullptr;
    ASSERT_EQ(view->GetRowPage(1, pTyped), 0u);
    ASSERT_TRUE(GoToByKeys(1, nTitle) && Xdo("type --delay 20 Typed") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; })) << "the title was not typed";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    CString strTyped;
    pTyped->GetFullPath(strTyped);
    files.erase(strTyped.GetString());
    size_t nChanged = 0;
    for (const auto& [path, bytes] : files)
        nChanged += ReadFile(path) != bytes ? 1 : 0;
    EXPECT_EQ(nChanged, 0u) << "pages the aborted action reached changed on disk";
}

// Esc is heard at any moment of a group action over a large site, at the long operation's own
// pace of looking at the keys: while the pages are gone through, while the cells are written,
// and near their end, on rows as loaded and sorted by their titles. Yes gives every page and
// cell back, so that Ctrl+T writes nothing; No lets the action end with its report, and one
// Ctrl+Z takes it back.
TEST_F(GroupActionX11Test, EscIsHeardThroughTheWholeActionOnALargeSite)
{
    EscThroughTheWholeAction(false);
}

TEST_F(GroupActionX11Test, EscIsHeardThroughTheWholeActionOnALargeSiteSortedByTitle)
{
    EscThroughTheWholeAction(true);
}

void GroupActionX11Test::EscThroughTheWholeAction(bool bRowsSorted)
{
    ROWCOL nTitle = 0, nCol = 0;
    OpenLargeSite(nTitle, nCol);
    if (HasFatalFailure())
        return;
    const auto stamps = Stamps();
    ASSERT_EQ(stamps.size(), static_cast<size_t>(kLargePages));

    // The meter shows from the start; after that the long operation keeps its own pace. The
    // first half of the meter goes through the pages, the second writes the cells.
    GXGetLongOperationState().m_nFirstWait = 0;
    for (bool bSorted : {bRowsSorted}) {
        SCOPED_TRACE(bSorted ? "rows sorted by title" : "rows as loaded");
        if (bSorted) {
            ASSERT_TRUE(SortByTitleDescending(nTitle, kLargePages));
        }
        const INT_PTR nSteps = view->GetParam()->m_UndoList.GetCount();
        ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
        const std::string shown = CopiedColumn();
        ASSERT_EQ(Lines(shown).size(), static_cast<size_t>(kLargePages));
        for (int nPercent : {1, 50, 75}) {
            SCOPED_TRACE("Esc at " + std::to_string(nPercent) + " %");
            std::vector<std::string> boxes;
            const int nSeen = EscAndYesAt(nCol, nPercent, boxes);
            EXPECT_GE(nSeen, nPercent);
            EXPECT_LT(nSeen, 100);
            EXPECT_EQ(boxes, std::vector<std::string>{"Do you want to abort the operation?"});
            EXPECT_EQ(StatusText(), takenBack);
            EXPECT_EQ(app->IsEdited(), 3u) << "the aborted action left a page edited";
            EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nSteps) << "the aborted action left a step of undo";
            ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
            // Compared whole: a hundred thousand lines are too many to set side by side.
            EXPECT_TRUE(CopiedColumn() == shown) << "the aborted action left cells written";
            // Ctrl+T saves nothing.
            ASSERT_TRUE(Xdo("key ctrl+t"));
        }
    }

    if (!bRowsSorted) {
        ASSERT_TRUE(Quiet());
        EXPECT_TRUE(Stamps() == stamps) << "a save wrote pages no action changed";
        return;
    }

    // Answered No, the action goes on to its end, one step of undo, and tells what it did
    // once it no longer offers Esc; Ctrl+Z takes it back.
    const INT_PTR nSteps = view->GetParam()->m_UndoList.GetCount();
    int nSeen = -1;
    std::string report, statusAtReport;
    StartGroupAction(nCol);
    EscOnceTheMeterShows(55, nSeen);
    When("the question shows", [this] { return FocusedBoxText() == "Do you want to abort the operation?"; },
         [this] { XdoNow("key n"); });
    When("the action tells what it did", [this] { return FocusedBoxText().rfind("The suggested", 0) == 0; },
         [&] {
             report = FocusedBoxText();
             statusAtReport = StatusText();
             XdoNow("key Return");
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && ::GetFocus() == view->GetSafeHwnd(); }));
    EXPECT_GE(nSeen, 55);
    EXPECT_EQ(report.rfind("The suggested keywords were added to the keywords of ", 0), 0u) << report;
    EXPECT_EQ(statusAtReport, "Done.");
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nSteps + 1);
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_UndoList.GetCount() == nSteps && app->IsEdited() == 3; }))
        << "Ctrl+Z did not take the action back";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(Quiet());
    EXPECT_TRUE(Stamps() == stamps) << "a save wrote pages no action changed";
}

// A whole column of a large site pasted over another, the titles over the keywords, by the keys:
// Ctrl+Space and Ctrl+C on the Title column, Ctrl+Space and Ctrl+V on the Keywords column. The
// paste ends within moments, showing its meter, and Esc is heard through it, early, halfway and
// near its end, on rows as loaded and sorted: Yes gives every cell and page back, so that Ctrl+T
// writes nothing. Let go on, it is one step that Ctrl+Z takes back whole; that Undo stopped by
// Esc and Yes takes back nothing, and neither does a Replace All of the titles so stopped. Fill
// Down over the column says so from its start, while it asks about its undo.
TEST_F(GroupActionX11Test, AWholeColumnPastedOverALargeSiteEndsAndEscTakesItBack)
{
    PasteOverTheWholeColumn(false);
}

TEST_F(GroupActionX11Test, AWholeColumnPastedOverALargeSiteSortedByTitleEndsAndEscTakesItBack)
{
    PasteOverTheWholeColumn(true);
}

void GroupActionX11Test::PasteOverTheWholeColumn(bool bRowsSorted)
{
    ROWCOL nTitle = 0, nCol = 0;
    OpenLargeSite(nTitle, nCol);
    if (HasFatalFailure())
        return;
    const auto stamps = Stamps();
    const std::string pasting = "Pasting data from clipboard...";
    // The meter from the start, and fresh at every look: the paste lasts a moment.
    GXGetLongOperationState().m_nFirstWait = 0;
    GXGetLongOperationState().m_nUpdateInterval = 10;
    for (bool bSorted : {bRowsSorted}) {
        SCOPED_TRACE(bSorted ? "rows sorted by title" : "rows as loaded");
        if (bSorted) {
            ASSERT_TRUE(SortByTitleDescending(nTitle, kLargePages));
        }
        ASSERT_TRUE(ChooseColumn(nTitle, kLargePages));
        const std::vector<std::string> titles = Lines(CopiedColumn());
        ASSERT_EQ(titles.size(), static_cast<size_t>(kLargePages));
        const INT_PTR nSteps = view->GetParam()->m_UndoList.GetCount();
        ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
        const std::string shown = CopiedColumn();
        for (int nPercent : {1, 40, 70}) {
            SCOPED_TRACE("Esc at " + std::to_string(nPercent) + " %");
            ASSERT_TRUE(ChooseColumn(nTitle, kLargePages) && Xdo("key ctrl+c"));
            ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
            X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
            int nSeen = -1;
            When("the keys", [] { return true; }, [this] { XdoNow("key ctrl+v"); });
            EscOnceTheMeterShows(nPercent, nSeen, pasting);
            EXPECT_TRUE(StepsTaken());
            ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && !boxes.Texts().empty(); }))
                << "the paste did not end";
            EXPECT_GE(nSeen, nPercent);
            EXPECT_LT(nSeen, 100);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
            EXPECT_EQ(StatusText(), takenBack);
            EXPECT_EQ(app->IsEdited(), 3u) << "the aborted paste left a page edited";
            EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nSteps) << "the aborted paste left a step of undo";
            ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
            EXPECT_TRUE(CopiedColumn() == shown) << "the aborted paste left cells written";
            ASSERT_TRUE(Xdo("key ctrl+t"));
        }
        // Let go on, the paste writes every title into the keywords, as one step.
        ASSERT_TRUE(ChooseColumn(nTitle, kLargePages) && Xdo("key ctrl+c"));
        ASSERT_TRUE(ChooseColumn(nCol, kLargePages) && Xdo("key ctrl+v"));
        ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && view->GetParam()->m_UndoList.GetCount() == nSteps + 1; },
                             kWorkGuard))
            << "the paste did not end";
        EXPECT_EQ(app->IsEdited(), 2u);
        ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
        EXPECT_TRUE(Lines(CopiedColumn()) == titles) << "the paste did not write every title";
        if (!bSorted) {
            // Its Undo stopped by Esc and Yes gives back no cell: the paste is still the step to
            // undo, there is none to redo, and the status bar says the undo was taken back.
            X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
            int nSeen = -1;
            When("the keys", [] { return true; }, [this] { XdoNow("key ctrl+z"); });
            EscOnceTheMeterShows(15, nSeen, "Undo Paste");
            EXPECT_TRUE(StepsTaken());
            ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && !boxes.Texts().empty(); }))
                << "the undo did not end";
            ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
            EXPECT_GE(nSeen, 15);
            EXPECT_LT(nSeen, 100);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
            EXPECT_EQ(StatusText(), takenBack);
            const UndoItems items = ReadUndoItems("edit-menu-after-a-stopped-undo");
            EXPECT_EQ(items.undo, "&Undo Paste");
            EXPECT_TRUE(items.bRedoGrey) << items.redo;
            EXPECT_EQ(app->IsEdited(), 2u);
            ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
            EXPECT_TRUE(Lines(CopiedColumn()) == titles) << "the stopped undo left cells undone";
        }
        ASSERT_TRUE(Xdo("key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && view->GetParam()->m_UndoList.GetCount() == nSteps; },
                             kWorkGuard))
            << "Ctrl+Z did not take the paste back";
        EXPECT_EQ(app->IsEdited(), 3u) << "a page is still edited after the paste was undone";
        ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
        EXPECT_TRUE(CopiedColumn() == shown) << "Ctrl+Z did not give every cell back";
        if (!bSorted) {
            // Its Redo, with Esc pressed once the status bar says it runs, long before its meter
            // would show by the clock: the Redo shows its meter and asks, and Yes leaves every
            // cell as it was, the paste still to redo, and says the change was taken back.
            X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
            std::string meterAtQuestion;
            boxes.OnEachBox([&](const std::string&) { meterAtQuestion = StatusText(); });
            bool bPressed = false;
            {
                const ProgressOnlyOnEsc noMeter;
                const WorkWatch watch([&] {
                    // Pressed, and on its way to the program, which reads it only while it works.
                    if (!bPressed && StatusText() == "Redoing Paste ...") {
                        bPressed = XdoNow("key Escape");
                        backend->Sync();
                    }
                });
                ASSERT_TRUE(Xdo("key ctrl+y"));
                ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && !boxes.Texts().empty(); }))
                    << "the Redo did not hear Esc";
            }
            ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
            EXPECT_TRUE(bPressed);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
            EXPECT_EQ(meterAtQuestion.rfind("Redo Paste", 0), 0u) << meterAtQuestion;
            EXPECT_NE(meterAtQuestion.find("Press ESC to cancel"), std::string::npos) << meterAtQuestion;
            EXPECT_EQ(StatusText(), takenBack);
            EXPECT_EQ(ReadUndoItems("edit-menu-after-a-stopped-redo").redo, "&Redo Paste");
            EXPECT_EQ(app->IsEdited(), 3u) << "the stopped redo left a page edited";
            ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
            EXPECT_TRUE(CopiedColumn() == shown) << "the stopped redo left cells written";
        }
    }

    if (!bRowsSorted) {
        ASSERT_TRUE(Xdo("key ctrl+t"));
        ASSERT_TRUE(Quiet());
        EXPECT_TRUE(Stamps() == stamps) << "a save wrote pages the user gave back";
        return;
    }

    // Replace All of "e" by "E" down the titles, stopped by Esc and Yes: every title is as it
    // was, nothing tells of cells replaced, and the Edit menu still offers the paste to redo.
    ASSERT_TRUE(ChooseColumn(nTitle, kLargePages));
    const std::string titles = CopiedColumn();
    const INT_PTR nSteps = view->GetParam()->m_UndoList.GetCount();
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
        int nSeen = -1;
        ASSERT_TRUE(Xdo("key ctrl+h"));
        ReplaceAllSteps("e", "E");
        EscOnceTheMeterShows(15, nSeen, "Replacing values");
        EXPECT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && !boxes.Texts().empty(); }))
            << "Replace All did not end";
        Type("the Replace dialog, back from Replace All", "^Replace$", "Escape");
        EXPECT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }));
        EXPECT_GE(nSeen, 15);
        EXPECT_LT(nSeen, 100);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
    }
    EXPECT_EQ(StatusText(), takenBack);
    EXPECT_EQ(app->IsEdited(), 3u) << "the stopped Replace All left a page edited";
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nSteps);
    EXPECT_EQ(ReadUndoItems("edit-menu-after-a-stopped-replace-all").redo, "&Redo Paste");
    ASSERT_TRUE(ChooseColumn(nTitle, kLargePages));
    EXPECT_TRUE(CopiedColumn() == titles) << "the stopped Replace All left titles replaced";

    // Fill Down over the keywords says so in the status bar while it asks whether to go on
    // without undo, and no longer once Cancel left every cell as it was.
    ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
    std::string said;
    ASSERT_TRUE(Xdo("key ctrl+d"));
    When("Fill Down asks", [this] { return FocusedBoxText() == "Operation is too large for the undo buffer. Do you want to continue?"; },
         [&] {
             said = StatusText();
             if (cairo_surface_t* shot = Shot("fill-down-asks"))
                 cairo_surface_destroy(shot);
             XdoNow("key Escape");
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && Settled(); }));
    EXPECT_EQ(said, "Filling down the Keywords column ...");
    EXPECT_EQ(StatusText(), "Ready");
    EXPECT_EQ(app->IsEdited(), 3u);

    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(Quiet());
    EXPECT_TRUE(Stamps() == stamps) << "a save wrote pages the user gave back";

    // Let go on without undo, Fill Down cannot stop halfway: Esc, once its meter shows, says
    // why it goes on, and it fills the whole column.
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "o");
    ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
    const std::string first = Lines(CopiedColumn()).front();
    ASSERT_TRUE(Xdo("key ctrl+d"));
    When("the Fill Down's meter shows", [this] { return CGXLongOperation::GetLevel() > 0 && StatusText().find('%') != std::string::npos; },
         [this] { EXPECT_TRUE(PressWhileWorking("Escape")) << "the Escape key did not reach the program"; });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0 && boxes.Texts().size() == 2; }))
        << "Fill Down did not end";
    EXPECT_EQ(boxes.Texts()[1], "This operation goes on to its end: it runs without undo, so stopped halfway it could not "
                                "give back the cells it has changed.");
    EXPECT_EQ(StatusText(), "Done.");
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    ASSERT_TRUE(ChooseColumn(nCol, kLargePages));
    EXPECT_TRUE(Lines(CopiedColumn()) == std::vector<std::string>(kLargePages, first)) << "Fill Down stopped halfway";
}
