// A META value dialog opened from its cell's button on the X server, as the user opens it: OK on
// the value it opened with leaves the page unedited, OK on a changed value marks it.
#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/UserScript.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class ValueDialogsX11Test : public MainWindowX11Test {
protected:
    // The cell's button, at its right edge, pressed once the cell is current; the user's keys in
    // the dialog it opens are the script's. Waits until the dialog has come and gone.
    ::testing::AssertionResult PressCellButton(ROWCOL nRow, ROWCOL nCol, const std::string& steps)
    {
        if (!ClickCell(nRow, nCol) || !RunUntil([&] { return IsCurrent(nRow, nCol) && Settled(); }, 60000))
            return ::testing::AssertionFailure() << "the click did not make the cell current";
        UserScript user(dir.Path(), server->DisplayName());
        if (!user.Start(steps + "echo done >>\"$log\"\n"))
            return ::testing::AssertionFailure() << "the user's script did not start";
        const CRect cell = View()->CalcCellRect(nRow, nCol);
        if (!ClickAt(ScreenPoint(View()->GetSafeHwnd(), cell.right - 6, cell.CenterPoint().y)))
            return ::testing::AssertionFailure() << "the click on the button failed";
        const bool bGone = RunUntil([&] {
            return user.Steps().find("done") != std::string::npos && ProgramHasFocus()
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
