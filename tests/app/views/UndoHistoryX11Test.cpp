// The undo history of the project grid on the X server, by the keys: an edit too large for the
// undo buffer, let go on at the question, ends it: neither Ctrl+Z nor Ctrl+Y replays an older
// step over what the edit wrote, and the Edit menu shows both grey. While it asks, the status
// bar already says what works.
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// One row more than an undo step keeps the old values of.
constexpr UINT kHistoryPages = 0x8000;

class UndoHistoryX11Test : public MainWindowStepsX11Test {};

} // namespace

// A value typed into the first Description cell of 32,768 pages and a Replace All down the
// column undone: a step on each list. Then that value pasted into the whole column, or filled
// down it by Ctrl+D, each let go on without undo: the typed value is not undone, nor the
// Replace All redone, over what the edit wrote.
TEST_F(UndoHistoryX11Test, AnEditTooLargeForUndoEndsTheHistory)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (UINT n = 1; n <= kHistoryPages; ++n)
        std::ofstream(site + "/p" + std::to_string(100000 + n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << "<meta name=\"DESCRIPTION\" content=\"The village garden\">\n"
            << "</head><body>x</body></html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kHistoryPages));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "o");
    // What the status bar says while the edit asks about its undo.
    std::string said;
    boxes.OnEachBox([&](const std::string& text) {
        if (text.rfind("Operation is too large", 0) == 0)
            said = std::string(Frame().GetStatusBar().GetPaneText(0));
    });
    const ROWCOL nDesc = ColumnOf("Description");
    struct Edit {
        const char* value;
        const char* keys;
        const char* said;
    };
    const Edit cases[] = {{"Pasted", "ctrl+c ctrl+space ctrl+v", "Pasting data from clipboard..."},
                          {"Filled", "ctrl+space ctrl+d", "Filling down the Description column ..."}};
    for (const Edit& edit : cases) {
        const char* value = edit.value;
        const std::string keys = edit.keys;
        SCOPED_TRACE(keys);
        const size_t nBoxes = boxes.Texts().size();
        ASSERT_TRUE(GoToByKeys(1, nDesc) && Xdo(std::string("type --delay 20 ") + value) && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nDesc) == value && !EditorOpen(); }));
        ASSERT_TRUE(GoToByKeys(1, nDesc) && Xdo("key ctrl+h"));
        ReplaceAllSteps("e", "E");
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == nBoxes + 1; })) << "Replace All said nothing";
        Type("the Replace dialog, back from Replace All's box", "^Replace$", "Escape");
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }));
        ASSERT_TRUE(Xdo("key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.GetCount() == 1 && CGXLongOperation::GetLevel() == 0; }));

        ASSERT_TRUE(Xdo("key " + keys));
        ASSERT_TRUE(RunUntil([&] {
            return boxes.Texts().size() == nBoxes + 2 && view->GetCellValue(kHistoryPages, nDesc) == value;
        })) << "the edit did not reach the last row";
        EXPECT_EQ(boxes.Texts().back(), "Operation is too large for the undo buffer. Do you want to continue?");
        EXPECT_EQ(said, edit.said) << "the status bar did not say what works from its start";
        EXPECT_EQ(UndoAndRedoGrey(std::string("edit-menu-after-") + value), std::make_pair(true, true))
            << "the Edit menu offers steps from before the edit";
        // Kept, the steps would leave the value typed undone whatever the Replace All did.
        EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+y ctrl+z ctrl+z ctrl+space ctrl+c")),
                  std::vector<std::string>(kHistoryPages, value));
    }
}
