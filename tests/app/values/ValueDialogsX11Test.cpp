// A META value dialog opened from its cell's button on the X server, as the user opens it: OK on
// the value it opened with leaves the page unedited, OK on a changed value marks it, and Ctrl+C
// right after it copies the cell's value.
#include "grid/core/CGXControl.h"
#include "tests/app/GroupViewLookup.h"
#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/UserScript.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class ValueDialogsX11Test : public MainWindowX11Test {
protected:
    // The cell's button, at its right edge, pressed once the cell is current; the user's keys in
    // the dialog it opens are the script's. Waits until the dialog has come and gone.
    // How many of the test's scripts have ended: they all write to one log, so a script's own
    // end is a "done" more than there were before it started.
    static size_t DonesIn(const UserScript& user)
    {
        const std::string log = user.Steps();
        size_t n = 0;
        for (size_t at = log.find("done\n"); at != std::string::npos; at = log.find("done\n", at + 1))
            ++n;
        return n;
    }
    ::testing::AssertionResult PressCellButton(ROWCOL nRow, ROWCOL nCol, const std::string& steps)
    {
        if (!ClickCell(nRow, nCol) || !RunUntil([&] { return IsCurrent(nRow, nCol) && Settled(); }, 60000))
            return ::testing::AssertionFailure() << "the click did not make the cell current";
        UserScript user(dir.Path(), server->DisplayName());
        const size_t nDoneBefore = DonesIn(user);
        if (!user.Start(steps + "echo done >>\"$log\"\n"))
            return ::testing::AssertionFailure() << "the user's script did not start";
        const CRect cell = View()->CalcCellRect(nRow, nCol);
        if (!ClickAt(ScreenPoint(View()->GetSafeHwnd(), cell.right - 6, cell.CenterPoint().y)))
            return ::testing::AssertionFailure() << "the click on the button failed";
        const bool bGone = RunUntil([&] {
            return DonesIn(user) > nDoneBefore && ProgramHasFocus()
                && ::GetAncestor(::GetFocus(), GA_ROOT) == Frame().GetSafeHwnd() && Settled();
        }, 60000);
        if (!bGone)
            return ::testing::AssertionFailure() << "the dialog did not come and go; " << user.Steps();
        return ::testing::AssertionSuccess();
    }
    // The pixels of the page's file cell, where its status picture shows whether it is edited.
    std::vector<uint32_t> FileCell(ROWCOL nRow, const char* pszShot)
    {
        cairo_surface_t* shot = Shot(pszShot);
        std::vector<uint32_t> pixels;
        if (shot == nullptr)
            return pixels;
        const CRect cell = View()->CalcCellRect(nRow, CGroupView::kFileColumn);
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                pixels.push_back(GridPixel(shot, x, y));
        cairo_surface_destroy(shot);
        return pixels;
    }
};

} // namespace

TEST_F(ValueDialogsX11Test, OkOnTheValueADialogOpenedWithMarksNothing)
{
    // The page's refresh tag is spelt its own way; the dialog shows it as seconds and a URL.
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    const std::string page = "<html><head><title>One</title>\n<meta http-equiv=\"refresh\" content=\"5;url=two.htm\">\n"
                             "</head><body>x</body></html>\n";
    std::ofstream(site + "/one.htm") << page;
    WriteProject({"Refresh"}, 0);
    ASSERT_TRUE(StartWithProject(1));
    const ROWCOL nRefresh = 2;
    ASSERT_STREQ(View()->GetCellValue(0, nRefresh), "Refresh");
    // The keys take the current cell, and its highlight, off the file cell first: the dialog's
    // cell is current once it closes.
    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, nRefresh) && Settled(); }, 60000)) << "Right did not reach the cell";
    const std::vector<uint32_t> unedited = FileCell(1, "refresh-before");

    ASSERT_TRUE(PressCellButton(1, nRefresh, "focused '^Refresh Metatag'; xdotool key Return\n"));
    EXPECT_EQ(app->IsEdited(), 3u) << "OK on the value the dialog opened with marked the page";
    EXPECT_EQ(std::string(View()->GetCellValue(1, nRefresh)), "5;url=two.htm");
    EXPECT_EQ(FileCell(1, "refresh-ok-unchanged"), unedited) << "the page shows as edited";

    // A changed value is an edit, and shows as one.
    ASSERT_TRUE(PressCellButton(1, nRefresh,
                                "focused '^Refresh Metatag'; xdotool key ctrl+a; xdotool type 9; xdotool key Return\n"));
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_EQ(std::string(View()->GetCellValue(1, nRefresh)), "9; URL=two.htm");
    EXPECT_NE(FileCell(1, "refresh-ok-changed"), unedited) << "the edited page shows as it did";
}

// The keywords dialog closed by OK on the keywords it opened with leaves the page's list as the
// page wrote it, blanks and all, and unedited. A separator with a blank, chosen in Project
// Settings, cuts a list only where it stands whole: a second KEYWORDS tag naming a word of a
// keyword of more than one word is a keyword of its own.
TEST_F(ValueDialogsX11Test, OkOnTheKeywordsKeepsThePagesListAndABlankInTheSeparatorCutsNothing)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/one.htm") << "<html><head><title>One</title>\n"
                                        "<meta name=\"keywords\" content=\"apt, apt-get, aptitude\">\n"
                                        "</head><body>x</body></html>\n";
    std::ofstream(site + "/two.htm") << "<html><head><title>Two</title>\n"
                                        "<meta name=\"keywords\" content=\"red apple, pear\">\n"
                                        "<meta name=\"keywords\" content=\"apple\">\n"
                                        "</head><body>y</body></html>\n";
    WriteProject({"Keywords"}, 0);
    ASSERT_TRUE(StartWithProject(2));
    const ROWCOL nKeywords = 2;
    ASSERT_STREQ(View()->GetCellValue(0, nKeywords), "Keywords");
    ASSERT_STREQ(View()->GetCellValue(1, CGroupView::kFileColumn).Right(7), "one.htm");
    // The keys take the current cell from the first page's file to the page's keywords, and
    // Ctrl+C copies them.
    const auto copied = [&](ROWCOL nRow) {
        std::string keys = "Escape ctrl+Home Right";
        for (ROWCOL n = 1; n < nRow; ++n)
            keys += " Down";
        if (!Xdo("key --delay 30 " + keys) || !RunUntil([&] { return IsCurrent(nRow, nKeywords) && Settled(); }, 60000))
            return std::string("(the cell was not reached)");
        const DWORD dwBefore = ::GetClipboardSequenceNumber();
        if (!Xdo("key ctrl+c") || !RunUntil([&] { return ::GetClipboardSequenceNumber() != dwBefore; }, 60000))
            return std::string("(nothing copied)");
        return clipboard_text::Get(nullptr);
    };
    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, nKeywords) && Settled(); }, 60000)) << "Right did not reach the cell";
    const std::vector<uint32_t> unedited = FileCell(1, "keywords-before");

    ASSERT_TRUE(PressCellButton(1, nKeywords, "focused '^Keywords Metatag'; xdotool key Return\n"));
    EXPECT_EQ(app->IsEdited(), 3u) << "OK on the keywords the dialog opened with marked the page";
    EXPECT_EQ(FileCell(1, "keywords-ok-unchanged"), unedited) << "the page shows as edited";
    EXPECT_EQ(copied(1), "apt, apt-get, aptitude");

    // The user makes ", " the list separator on the Keyword Metatags page and scans again.
    UserScript user(dir.Path(), server->DisplayName());
    ASSERT_TRUE(user.Start("focused '^Project Settings$'; xdotool key --delay 60 ctrl+Tab ctrl+Tab Tab ctrl+a; "
                           "xdotool type ', '; xdotool key Return; echo separator >>\"$log\"\n"));
    ASSERT_TRUE(Xdo("key alt+o p"));
    ASSERT_TRUE(RunUntil([&] {
        CProjectSettings* pSettings = nullptr;
        return user.Steps().find("separator") != std::string::npos && app->GetProjectSettings(pSettings) == 0 &&
               pSettings->GetListSeparator() == ", " && ProgramHasFocus() && Settled();
    }, 60000)) << "the separator was not taken; " << user.Steps();
    // Read with ",", the second tag's keyword was joined to the first's with it.
    const CString strJoinedBefore = View()->GetCellValue(2, nKeywords);
    ASSERT_STREQ(strJoinedBefore, "red apple, pear,apple");
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] {
        return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2 && View()->GetCellValue(2, nKeywords) != strJoinedBefore &&
               Settled();
    }, 60000)) << "F5 did not scan the pages again";
    EXPECT_EQ(copied(2), "red apple, pear, apple");
    EXPECT_EQ(copied(1), "apt, apt-get, aptitude");
}

// Ctrl+C at once after a value dialog's OK copies the cell's value, as it does once the current
// cell has moved off and back, although the cell's editor is open: its caret chooses no text of
// its own to copy. The dialog opened by Alt+Down and by the cell's button, OK on the value it
// opened with and on a changed one.
TEST_F(ValueDialogsX11Test, CtrlCRightAfterTheDialogsOkCopiesTheCellsValue)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    const std::string keywords = "ключ, 日本語, élan, Straße";
    std::ofstream(site + "/one.htm") << "<html><head><meta charset=\"utf-8\"><title>Ωμέγα</title>\n"
                                        "<meta http-equiv=\"refresh\" content=\"5; URL=straße.htm\">\n"
                                        "<meta name=\"keywords\" content=\""
                                     << keywords << "\">\n</head><body>x</body></html>\n";
    WriteProject({"Keywords", "Refresh"}, 0);
    ASSERT_TRUE(StartWithProject(1));
    const ROWCOL nKeywords = group_view_lookup::ColumnOf(*View(), "Keywords");
    const ROWCOL nRefresh = group_view_lookup::ColumnOf(*View(), "Refresh");
    ASSERT_NE(nKeywords, 0u);
    ASSERT_NE(nRefresh, 0u);
    const auto editorOpen = [&] {
        CGXControl* pControl = View()->GetCurrentCellControl();
        return pControl != nullptr && pControl->IsActive();
    };
    // The user's keys in the dialog the keys open; the grid has them again once it is gone.
    const auto dialogByKeys = [&](const std::string& keys, const std::string& steps) {
        UserScript user(dir.Path(), server->DisplayName());
        const size_t nDoneBefore = DonesIn(user);
        return user.Start(steps + "echo done >>\"$log\"\n") && Xdo("key " + keys) && RunUntil([&] {
            return DonesIn(user) > nDoneBefore && ProgramHasFocus() &&
                   ::GetAncestor(::GetFocus(), GA_ROOT) == Frame().GetSafeHwnd() && Settled();
        }, 60000);
    };

    // A click on the current cell opens its editor, the caret where the click was.
    ASSERT_TRUE(GoToByKeys(1, nKeywords));
    ASSERT_TRUE(ClickCell(1, nKeywords));
    ASSERT_TRUE(RunUntil([&] { return editorOpen() && Settled(); }, 60000)) << "the click did not open the editor";
    EXPECT_EQ(CopyByKeys("ctrl+c"), keywords) << "in the editor opened by a click";
    ASSERT_TRUE(dialogByKeys("alt+Down", "focused '^Keywords Metatag'; xdotool key Return\n")) << "Alt+Down";
    EXPECT_EQ(CopyByKeys("ctrl+c"), keywords) << "after OK on the dialog opened by Alt+Down";

    ASSERT_TRUE(PressCellButton(1, nKeywords, "focused '^Keywords Metatag'; xdotool key Return\n"));
    EXPECT_TRUE(editorOpen()) << "the cell's editor is not open as the user left it";
    EXPECT_EQ(CopyByKeys("ctrl+c"), keywords) << "after OK on the dialog opened by the cell's button";
    EXPECT_EQ(app->IsEdited(), 3u);

    ASSERT_TRUE(GoToByKeys(1, nRefresh));
    ASSERT_TRUE(PressCellButton(1, nRefresh, "focused '^Refresh Metatag'; xdotool key ctrl+a; xdotool type 9; xdotool key Return\n"));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "9; URL=straße.htm") << "after OK on a changed value";
    EXPECT_EQ(app->IsEdited(), 2u);
}
