// What the program tells the user, as the user meets it on the X server: the boxes after Replace
// All, the Output Area's report of a save with many failures (every line kept, each page named by
// its path in the site, a scroll bar, the wheel).
#include "tests/app/UserStepsX11Fixture.h"

#include "app/panes/COutputAreaControlBar.h"
#include "grid/core/CGXFindReplaceState.h"
#include "platform/controls/CommonDialog.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

class MainWindowReportsX11Test : public MainWindowStepsX11Test {
protected:
    COutputAreaControlBar& OutputArea()
    {
        COutputAreaControlBar* pBar = nullptr;
        Frame().GetOutputAreaBar(pBar);
        return *pBar;
    }
    std::vector<std::string> OutputLines()
    {
        std::vector<std::string> lines;
        std::istringstream text(static_cast<LPCTSTR>(OutputArea().GetText()));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }
    // The find or replace dialog holds the display's focus.
    bool FindDialogHasFocus()
    {
        const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return hDialog != nullptr && ::IsWindowVisible(hDialog) && focus == backend->XWindowOf(hDialog);
    }
    bool ClickDialogButton(int nId)
    {
        CRect rect;
        ::GetWindowRect(::GetDlgItem(GXGetFindReplaceState().m_hWndDialog, nId), &rect);
        return ClickAt(rect.CenterPoint());
    }
    // How many pixels of a strip of the screen have the colour.
    static int PixelsOf(cairo_surface_t* shot, const CRect& strip, COLORREF color)
    {
        int n = 0;
        for (int y = strip.top; y < strip.bottom; ++y)
            for (int x = strip.left; x < strip.right; ++x)
                n += screen_capture::PixelAt(shot, x, y) == Rgb(color);
        return n;
    }
};

} // namespace

// A site of 432 read-only pages, two of them named index.htm in folders of their own. Replace
// All of the titles says how many cells it changed, and a second one that finds nothing left
// says so; Save Edited Files then fails every page, and the Output Area keeps the whole report,
// far past 32 KB, each page named by its path in the site, with a scroll bar, and the wheel
// turned over it scrolls it while the keyboard stays in the grid.
TEST_F(MainWindowReportsX11Test, ReplaceAllCountsAndTheOutputAreaKeepsAWholeSaveReport)
{
    site = dir.Path() + "/site";
    const std::string quarterly = site + "/reports/quarterly";
    std::filesystem::create_directories(quarterly);
    std::vector<std::string> pages;
    for (int i = 1; i <= 430; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/summary-of-the-quarterly-report-number-%03d.htm", i);
        pages.push_back(quarterly + name);
    }
    for (const char* folder : {"en", "fr"}) {
        std::filesystem::create_directories(site + "/" + folder);
        pages.push_back(site + "/" + folder + "/index.htm");
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        std::ofstream(pages[i]) << "<html><head><title>Report " << i << "</title></head><body>x</body></html>\n";
        ::chmod(pages[i].c_str(), 0444);
    }
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(static_cast<UINT>(pages.size())));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());

    // Replace All in the Title column, from the first row.
    ASSERT_TRUE(ClickCell(1, CGroupView::kTitleColumn));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, CGroupView::kTitleColumn); })) << "the click made no current cell";
    ASSERT_TRUE(Xdo("key ctrl+h"));
    ASSERT_TRUE(RunUntil([&] { return FindDialogHasFocus(); })) << "no Replace dialog";
    ASSERT_TRUE(XdoNow("key ctrl+a BackSpace"));
    ASSERT_TRUE(XdoNow("type --delay 20 Report"));
    ASSERT_TRUE(XdoNow("key Tab"));
    ASSERT_TRUE(XdoNow("type --delay 20 Summary"));
    ASSERT_TRUE(RunUntil([&] {
        CString strFind, strReplace;
        CWnd::FromHandle(GXGetFindReplaceState().m_hWndDialog)->GetDlgItemText(edt1, strFind);
        CWnd::FromHandle(GXGetFindReplaceState().m_hWndDialog)->GetDlgItemText(edt2, strReplace);
        return strFind == "Report" && strReplace == "Summary";
    })) << "the texts were not typed in";
    ASSERT_TRUE(ClickDialogButton(psh2));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && FindDialogHasFocus(); }))
        << "Replace All said nothing";
    EXPECT_EQ(boxes.Texts()[0], "'Report' was replaced with 'Summary' in 432 cells of the column 'Title'.");
    CString strTitle;
    view->GetCellText(432, CGroupView::kTitleColumn, strTitle);
    EXPECT_EQ(strTitle.Left(8), "Summary ");
    // Nothing is left to replace: now, and only now, it says that nothing was found.
    ASSERT_TRUE(ClickDialogButton(psh2));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && FindDialogHasFocus(); }))
        << "the second Replace All said nothing";
    EXPECT_EQ(boxes.Texts()[1].rfind("'Report' was not found in the column 'Title'", 0), 0u) << boxes.Texts()[1];
    ASSERT_TRUE(XdoNow("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return !FindDialogHasFocus() && ProgramHasFocus(); })) << "the dialog stayed";

    // The save fails every page; its report ends with the closing count.
    ASSERT_TRUE(Xdo("key ctrl+t"));
    const std::string closing = "Save Edited Files: 0 of 432 pages written, 432 not written.";
    ASSERT_TRUE(RunUntil([&] {
        const std::vector<std::string> lines = OutputLines();
        return !lines.empty() && lines.back() == closing;
    })) << "the report never ended; its last line: " << (OutputLines().empty() ? "" : OutputLines().back());
    const std::vector<std::string> lines = OutputLines();
    ASSERT_EQ(lines.size(), pages.size() + 1);
    EXPECT_GT(OutputArea().GetText().GetLength(), 32 * 1024);
    std::set<std::string> expected{"EN/INDEX.HTM : Denied Access.", "FR/INDEX.HTM : Denied Access.", closing};
    for (int i = 1; i <= 430; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "REPORTS/QUARTERLY/SUMMARY-OF-THE-QUARTERLY-REPORT-NUMBER-%03d.HTM : Denied Access.", i);
        expected.insert(line);
    }
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected);

    // The lines scroll: a bar at the right, and the wheel over them.
    ASSERT_TRUE(Quiet());
    CWnd& output = OutputArea().GetOutputWnd();
    CRect rect;
    output.GetWindowRect(&rect);
    const CRect bar(rect.right - ::GetSystemMetrics(SM_CXVSCROLL), rect.top, rect.right, rect.bottom);
    cairo_surface_t* before = Shot("output-area-report");
    ASSERT_NE(before, nullptr);
    EXPECT_GT(PixelsOf(before, bar, ::GetSysColor(COLOR_BTNFACE)), bar.Width() * bar.Height() / 3)
        << "no scroll bar beside the lines";
    const HWND hGridFocus = ::GetFocus();
    const LRESULT nFirst = output.SendMessage(EM_GETFIRSTVISIBLELINE);
    ASSERT_GT(nFirst, 100) << "the last lines are in view";
    ASSERT_TRUE(MoveTo(rect.CenterPoint()));
    ASSERT_TRUE(XdoNow("click --repeat 3 --delay 50 4"));
    ASSERT_TRUE(RunUntil([&] { return output.SendMessage(EM_GETFIRSTVISIBLELINE) < nFirst; }))
        << "the wheel did not scroll the lines";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* after = Shot("output-area-wheel");
    ASSERT_NE(after, nullptr);
    EXPECT_GT(DifferentPixels(before, after, output.GetSafeHwnd(), CRect(0, 0, rect.Width() - bar.Width(), rect.Height())), 100)
        << "the lines on the screen did not move";
    EXPECT_EQ(::GetFocus(), hGridFocus) << "the keyboard stays where it was";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    for (const std::string& page : pages)
        ::chmod(page.c_str(), 0644);
}
