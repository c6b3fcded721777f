// Replace All deep in a large site's grid and its Undo, by the keys on the X server: the status
// bar shows each one's progress while it works, one Ctrl+Z gives every cell back, as the grid's
// copied text shows, and the field above the grid shows what the current cell holds then.
#include "app/views/CGroupFrame.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/controls/CommonDialog.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "tests/support/WorkWatch.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr UINT kReplacePages = 8000;

class ReplaceAllX11Test : public MainWindowStepsX11Test {
protected:
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The status bar's text once it shows a percentage after the text, and a screenshot then.
    void CatchProgress(const std::string& what, const std::string& text, std::string& seen)
    {
        When("the status bar shows the progress of " + what,
             [this, text] {
                 const std::string status = StatusText();
                 return status.rfind(text, 0) == 0 && status.find('%') != std::string::npos;
             },
             [this, &seen, what] {
                 seen = StatusText();
                 if (cairo_surface_t* shot = Shot(what.c_str()))
                     cairo_surface_destroy(shot);
             });
    }
    std::string CopiedColumn() { return CopyByKeys("ctrl+space ctrl+c"); }
    std::string FieldText()
    {
        CString strText;
        static_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField().GetWindowText(strText);
        return std::string(strText);
    }
    std::string CurrentCellText()
    {
        ROWCOL nRow = 0, nCol = 0;
        CString strText;
        if (view->GetCurrentCell(nRow, nCol))
            view->GetCellText(nRow, nCol, strText);
        return std::string(strText);
    }
};

} // namespace

TEST_F(ReplaceAllX11Test, ReplaceAllDeepInTheGridAndItsUndoShowTheirProgressAndUndoWhole)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (UINT n = 1; n <= kReplacePages; ++n)
        std::ofstream(site + "/p" + std::to_string(100000 + n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << "<meta name=\"DESCRIPTION\" content=\"The village garden, page " << n << "\">\n"
            << "</head><body>x</body></html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kReplacePages));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    const std::string replacement = "jardín ß γη 庭";
    X11KeyboardLetters letters(other, replacement);
    ASSERT_TRUE(letters.Ready());

    // The last Description cell, then some two thousand rows up by the keys.
    ASSERT_TRUE(Xdo("key ctrl+End"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(kReplacePages, 3); })) << "Ctrl+End did not reach the last cell";
    std::string pageUps;
    for (int n = 0; n < 80; ++n)
        pageUps += " Prior";
    ASSERT_TRUE(Xdo("key --delay 20" + pageUps));
    ROWCOL nStart = 0, nCol = 0;
    ASSERT_TRUE(RunUntil([&] { return view->GetCurrentCell(nStart, nCol) && nStart < kReplacePages - 1500; }))
        << "Page Up did not go up: " << nStart;
    ASSERT_TRUE(Quiet());
    view->GetCurrentCell(nStart, nCol);
    ASSERT_EQ(nCol, 3u);
    const std::string before = CopiedColumn();
    ASSERT_EQ(before.rfind("The village garden, page 1\r\n", 0), 0u) << before.substr(0, 100);
    // The user clicks the cell to start from.
    ASSERT_TRUE(ClickAt(CellOnScreen(nStart, nCol), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nStart, nCol) && !view->IsCellInRangeList(1, nCol, view->GetParam()->m_SelRects); }));

    const ProgressAtEveryTurn progress;
    std::string seenReplacing, seenUndoing;
    ASSERT_TRUE(Xdo("key ctrl+h"));
    ReplaceAllSteps("garden", replacement);
    CatchProgress("replace-all", "Replacing values", seenReplacing);
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1; }, 120000)) << "Replace All said nothing";
    const std::string replaced = std::to_string(kReplacePages - nStart + 1);
    EXPECT_NE(boxes.Texts()[0].find(" in " + replaced + " cells"), std::string::npos) << boxes.Texts()[0];
    EXPECT_NE(seenReplacing.find('%'), std::string::npos) << seenReplacing;
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog != nullptr && CGXLongOperation::GetLevel() == 0; }));
    ASSERT_TRUE(XdoNow("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }))
        << "the Replace dialog stayed";
    const std::string after = CopiedColumn();
    EXPECT_NE(after.find("The village " + replacement + ", page " + std::to_string(nStart) + "\r\n"), std::string::npos);
    EXPECT_NE(after.find("The village garden, page " + std::to_string(nStart - 1) + "\r\n"), std::string::npos);

    // One Ctrl+Z gives every cell back, showing its progress as it goes.
    CatchProgress("undo", "Undo Replace All", seenUndoing);
    ASSERT_TRUE(Xdo("key ctrl+z"));
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_UndoList.IsEmpty() && CGXLongOperation::GetLevel() == 0; }, 120000))
        << "Ctrl+Z undid nothing";
    EXPECT_NE(seenUndoing.find('%'), std::string::npos) << seenUndoing;
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(FieldText(), CurrentCellText()) << "the field above the grid shows another text than the current cell";
    EXPECT_EQ(FieldText().rfind("The village garden, page ", 0), 0u) << FieldText();
    EXPECT_EQ(CopiedColumn(), before) << "one Ctrl+Z did not give every cell back";
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 3u) << "a page is still edited after the undo";
}


namespace {

// Words of the languages the sites are written in, to a title of the length asked for, in
// characters; the last word is "garden".
std::string LongText(size_t nCharacters)
{
    static const char* const kWords[] = {"Gr\xC3\xBC\xC3\x9F" "e", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", "\xE6\x97\xA5\xE6\x9C\xAC",
                                         "Stra\xC3\x9F" "e", "caf\xC3\xA9", "guide"};
    std::string text;
    size_t nLength = 0;
    for (size_t i = 0; nLength + 7 + 6 <= nCharacters; ++i) {
        const std::string word = std::string(kWords[i % 6]) + " ";
        text += word;
        for (const char ch : word)
            nLength += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
    }
    return text + std::string(nCharacters - nLength - 6, 'x') + "garden";
}

std::string ReplacedAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

// Titles of 615 characters and of a megabyte and a long description, as pages of one line hold
// them, are shown whole; Replace All changes their ends, a title and the description are typed
// at, and the title of a megabyte refuses the keys and says why. Undo and Redo go back and forth
// over every step, and the save writes each page with only those changes.
TEST_F(ReplaceAllX11Test, LongValuesAreShownEditedAndSavedWhole)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    // The description's characters are fewer than the typed values' limit, its bytes more.
    const std::string title = LongText(615), huge = LongText(1 << 20), description = LongText(30000);
    const auto page = [](const std::string& strTitle, const std::string& strDescription) {
        return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + strTitle + "</title><meta name=\"description\" "
               "content=\"" + strDescription + "\"><script>var garden = 1;</script></head><body><p>garden</p></body></html>\n";
    };
    const std::vector<std::string> pages = {page(title, description), page(huge, "Short"), page("A garden", "Plain")};
    for (size_t n = 0; n < pages.size(); ++n)
        std::ofstream(site + "/p" + std::to_string(n + 1) + ".htm", std::ios::binary) << pages[n];
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(3));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    const std::string replacement = "jard\xC3\xADn \xC3\x9F \xCE\xB3\xCE\xB7 \xE5\xBA\xAD", typed = " \xCE\x96";
    X11KeyboardLetters letters(other, replacement + typed);
    ASSERT_TRUE(letters.Ready());
    const ROWCOL nTitle = CGroupView::kTitleColumn, nDesc = ColumnOf("Description");
    ASSERT_EQ(nDesc, nTitle + 1);
    const auto shown = [&] { return CopiedCells(1, nTitle, 3, nDesc); };
    const auto rows = [](const std::vector<std::string>& values) {
        return std::vector<std::string>{values[0] + "\t" + values[1], values[2] + "\tShort", values[3] + "\tPlain"};
    };
    const std::vector<std::string> before = rows({title, description, huge, "A garden"});
    ASSERT_EQ(shown(), before);

    // Replace All down the Title column, from its first cell. The status bar says what runs
    // when the first cell has changed, long before the work would show its meter, and no
    // longer once the work tells what it did.
    std::string saidAtFirstCell, saidAtReport;
    boxes.OnEachBox([&](const std::string&) { saidAtReport = StatusText(); });
    {
        const ProgressOnlyOnEsc noMeter;
        const WorkWatch watch([&] {
            if (saidAtFirstCell.empty() && view->GetCellValue(1, nTitle) != title.c_str()) {
                saidAtFirstCell = StatusText();
                if (cairo_surface_t* shot = Shot("replace-all-at-its-first-cell"))
                    cairo_surface_destroy(shot);
            }
        });
        ASSERT_TRUE(GoToByKeys(1, nTitle));
        ASSERT_TRUE(Xdo("key ctrl+h"));
        ReplaceAllSteps("garden", replacement);
        EXPECT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1; })) << "Replace All said nothing";
    }
    EXPECT_EQ(saidAtFirstCell, "Replacing values ...");
    EXPECT_EQ(saidAtReport, "Ready");
    EXPECT_NE(boxes.Texts()[0].find(" in 3 cells of the column 'Title'"), std::string::npos) << boxes.Texts()[0];
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog != nullptr && CGXLongOperation::GetLevel() == 0; }));
    ASSERT_TRUE(XdoNow("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }));
    const std::string newTitle = ReplacedAll(title, "garden", replacement), newHuge = ReplacedAll(huge, "garden", replacement);
    const std::vector<std::string> replaced = rows({newTitle, description, newHuge, "A " + replacement});
    EXPECT_EQ(shown(), replaced);

    // Typed at the end of the first title and of its description in their cells, and of the
    // description in the field above the grid.
    for (const std::string keys : {"F2", "F2", "F6"}) {
        const ROWCOL nCol = keys == "F2" && view->GetCellValue(1, nTitle).Right(3) != typed.c_str() ? nTitle : nDesc;
        const CString strBefore = view->GetCellValue(1, nCol);
        ASSERT_TRUE(GoToByKeys(1, nCol) && Xdo("key " + keys + " End"));
        ASSERT_TRUE(RunUntil([&] { return keys == "F2" ? EditorOpen() : Field().size() == static_cast<size_t>(strBefore.GetLength()); }));
        ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return !EditorOpen() && view->GetCellValue(1, nCol) == strBefore + typed.c_str(); }))
            << keys << " did not store the typed text in column " << nCol;
    }
    const std::vector<std::string> edited = rows({newTitle + typed, description + typed + typed, newHuge, "A " + replacement});
    EXPECT_EQ(shown(), edited);
    // The title of a megabyte takes no keys, in its cell or in the field above the grid, and says
    // why; its value stays whole.
    const std::string refusal = "Values over 32767 characters are not edited by typing: this one has " +
                                std::to_string((1 << 20) - 6 + 13) + ".";
    CGroupFrame* pFrame = static_cast<CGroupFrame*>(view->GetParentFrame());
    for (const std::string keys : {"key F2", "type x", "key F6 x"}) {
        // A copy, a command, ends what the status bar said before.
        ASSERT_TRUE(GoToByKeys(2, nTitle) && Xdo("key ctrl+c"));
        ASSERT_TRUE(RunUntil([&] { return StatusText().rfind(refusal, 0) != 0; }));
        ASSERT_TRUE(Xdo(keys));
        EXPECT_TRUE(RunUntil([&] { return StatusText().rfind(refusal, 0) == 0; }, 10000)) << keys << ": " << StatusText();
        ASSERT_TRUE(Quiet());
        EXPECT_FALSE(EditorOpen() || pFrame->GetEditField().IsEditing()) << keys;
        if (keys == "key F6 x")
            cairo_surface_destroy(Shot("a-value-too-long-to-type-into"));
        ASSERT_TRUE(Xdo("key Escape") && RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); }));
    }
    EXPECT_EQ(shown(), edited);

    // Back over the four steps and forth again.
    for (const std::vector<std::string>* pExpected : {&replaced, &before}) {
        ASSERT_TRUE(Xdo(pExpected == &replaced ? "key ctrl+z ctrl+z ctrl+z" : "key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return CGXLongOperation::GetLevel() == 0; }));
        EXPECT_EQ(shown(), *pExpected);
    }
    ASSERT_TRUE(Xdo("key ctrl+y ctrl+y ctrl+y ctrl+y") && RunUntil([&] { return view->GetParam()->m_RedoList.IsEmpty(); }));
    EXPECT_EQ(shown(), edited);

    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); }, 120000)) << "the save did not end";
    const std::vector<std::string> saved = {
        page(newTitle + typed, description + typed + typed), page(newHuge, "Short"), page("A " + replacement, "Plain")};
    for (size_t n = 0; n < pages.size(); ++n)
        EXPECT_TRUE(ReadFile(site + "/p" + std::to_string(n + 1) + ".htm") == saved[n]) << "page " << n + 1 << " differs";
}
