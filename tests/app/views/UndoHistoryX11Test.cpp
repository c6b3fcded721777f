// The undo history of the project grid on the X server, by the keys: an edit too large for the
// undo buffer, let go on at the question, ends it, so that neither Ctrl+Z nor Ctrl+Y replays an
// older step over what the edit wrote and the Edit menu shows both grey.
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One row more than an undo step keeps the old values of.
constexpr UINT kLargePages = 0x8000;

class UndoHistoryX11Test : public MainWindowStepsX11Test {
protected:
    // Whether Edit > Undo and Edit > Redo show grey while the user has the menu open by its
    // keys; the menu is closed again by Escape.
    std::pair<bool, bool> UndoAndRedoGrey()
    {
        std::pair<bool, bool> grey{false, false};
        EXPECT_TRUE(Xdo("key alt+e"));
        When("the Edit menu is open", [] {
                 RECT r{};
                 return OpenMenuItem("Undo", &r) != nullptr;
             },
             [&] {
                 RECT r{};
                 HMENU menu = OpenMenuItem("Undo", &r);
                 grey.first = (GetMenuState(menu, ID_EDIT_UNDO, MF_BYCOMMAND) & MF_GRAYED) != 0;
                 grey.second = (GetMenuState(menu, ID_EDIT_REDO, MF_BYCOMMAND) & MF_GRAYED) != 0;
                 XdoNow("key Escape Escape");
             });
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(RunUntil([&] { return MenuDriver::OpenMenus().empty() && ::GetFocus() == view->GetSafeHwnd(); }));
        return grey;
    }
    // The current cell's column as Ctrl+Space and Ctrl+C copy it, after the keys before them
    // have been handled.
    std::vector<std::string> ColumnAfter(const std::string& keys)
    {
        return ClipboardRows(CopyByKeys(keys + (keys.empty() ? "" : " ") + "ctrl+space ctrl+c"));
    }
    // Replace All from the current cell, by the keys of the Replace dialog, which is closed.
    void ReplaceAll(const std::string& find, const std::string& replacement, size_t nBoxes)
    {
        ASSERT_TRUE(Xdo("key ctrl+h"));
        ReplaceAllSteps(find, replacement);
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == nBoxes; })) << "Replace All said nothing";
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog != nullptr && CGXLongOperation::GetLevel() == 0; }));
        ASSERT_TRUE(XdoNow("key Escape"));
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }));
    }
    static std::vector<std::string> Column(const std::string& first, const std::string& other)
    {
        std::vector<std::string> values(kLargePages, other);
        values.front() = first;
        return values;
    }

    std::optional<X11MessageBoxAnswerer> boxes;
};

} // namespace

// A value pasted into the whole Description column of 32,768 pages, and Fill Down over it, each
// let go on without undo: the Replace Alls before them are neither undone nor redone over them.
TEST_F(UndoHistoryX11Test, AnEditTooLargeForUndoEndsTheHistory)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (UINT n = 1; n <= kLargePages; ++n)
        std::ofstream(site + "/p" + std::to_string(100000 + n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << "<meta name=\"DESCRIPTION\" content=\"The village garden\">\n"
            << "</head><body>x</body></html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kLargePages));
    view = View();
    boxes.emplace(*backend, server->DisplayName(), "o");
    const ROWCOL nTitle = CGroupView::kTitleColumn, nDesc = ColumnOf("Description");

    // Two Replace Alls down the column, the second undone: a step on each list.
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ReplaceAll("garden", "orchard", 1);
    ReplaceAll("village", "town", 2);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.GetCount() == 1 && CGXLongOperation::GetLevel() == 0; }));
    ASSERT_EQ(ColumnAfter(""), Column("The village orchard", "The village orchard"));

    // The first title copied and pasted into the whole column; the user goes on at the
    // question. Neither list keeps a step, and Ctrl+Z and Ctrl+Y change nothing.
    ASSERT_TRUE(GoToByKeys(1, nTitle));
    ASSERT_NE(CopyByKeys("ctrl+c"), "(nothing copied)");
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ASSERT_TRUE(Xdo("key ctrl+space ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == 3 && view->GetCellValue(kLargePages, nDesc) == "Page 1"; }))
        << "the paste did not reach the last row";
    EXPECT_EQ(boxes->Texts()[2], "Operation is too large for the undo buffer. Do you want to continue?");
    EXPECT_EQ(UndoAndRedoGrey(), std::make_pair(true, true)) << "the Edit menu offers steps from before the paste";
    EXPECT_EQ(ColumnAfter("ctrl+z ctrl+y"), Column("Page 1", "Page 1"));

    // A value typed into the first cell, a third Replace All undone, and Fill Down of the whole
    // column by Ctrl+D: Ctrl+Y does not bring the Replace All back over the filled cells.
    ASSERT_TRUE(GoToByKeys(1, nDesc) && Xdo("type --delay 20 'First'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nDesc) == "First" && !EditorOpen(); }));
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ReplaceAll("Page", "Seite", 4);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.GetCount() == 1 && CGXLongOperation::GetLevel() == 0; }));
    ASSERT_TRUE(Xdo("key ctrl+space ctrl+d"));
    ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == 5 && view->GetCellValue(kLargePages, nDesc) == "First"; }))
        << "Fill Down did not reach the last row";
    EXPECT_EQ(boxes->Texts()[4], "Operation is too large for the undo buffer. Do you want to continue?");
    EXPECT_EQ(UndoAndRedoGrey(), std::make_pair(true, true)) << "the Edit menu offers steps from before Fill Down";
    EXPECT_EQ(ColumnAfter("ctrl+y ctrl+z"), Column("First", "First"));
}
