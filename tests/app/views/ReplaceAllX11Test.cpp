// Replace All deep in a large site's grid and its Undo, by the keys on the X server: the status
// bar shows each one's progress while it works, one Ctrl+Z gives every cell back, as the grid's
// copied text shows, and the field above the grid shows what the current cell holds then.
#include "app/views/CGroupFrame.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/controls/CommonDialog.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr UINT kPages = 8000;

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
    for (UINT n = 1; n <= kPages; ++n)
        std::ofstream(site + "/p" + std::to_string(100000 + n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << "<meta name=\"DESCRIPTION\" content=\"The village garden, page " << n << "\">\n"
            << "</head><body>x</body></html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kPages));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    const std::string replacement = "jardín ß γη 庭";
    X11KeyboardLetters letters(other, replacement);
    ASSERT_TRUE(letters.Ready());

    // The last Description cell, then some two thousand rows up by the keys.
    ASSERT_TRUE(Xdo("key ctrl+End"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(kPages, 3); })) << "Ctrl+End did not reach the last cell";
    std::string pageUps;
    for (int n = 0; n < 80; ++n)
        pageUps += " Prior";
    ASSERT_TRUE(Xdo("key --delay 20" + pageUps));
    ROWCOL nStart = 0, nCol = 0;
    ASSERT_TRUE(RunUntil([&] { return view->GetCurrentCell(nStart, nCol) && nStart < kPages - 1500; }))
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
    Type("the Replace dialog", "^Replace$", "ctrl+a BackSpace");
    When("the find text is cleared", [] { return true; }, [this] { XdoNow("type --delay 20 garden"); });
    When("the find text is typed", [] { return true; }, [this] { XdoNow("key Tab"); });
    When("the replace field has the keys", [] { return true; }, [this, &replacement] { XdoNow("type --delay 20 '" + replacement + "'"); });
    When("the replace text is typed", [&replacement] {
        CString strReplace;
        const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
        if (hDialog != nullptr)
            CWnd::FromHandle(hDialog)->GetDlgItemText(edt2, strReplace);
        return strReplace == replacement.c_str();
    }, [this] { XdoNow("key alt+a"); });
    CatchProgress("replace-all", "Replacing values", seenReplacing);
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1; }, 120000)) << "Replace All said nothing";
    const std::string replaced = std::to_string(kPages - nStart + 1);
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
