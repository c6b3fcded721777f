// A large page given another charset by the keys and saved: the save dialog names it while its
// rewrite goes on and moves its meter, and the Esc key stops the save in the page's middle,
// leaving the page as it was and its edit for another save. A large page given a title it lacked
// is saved with the title alone added.
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "engine/project/SavePageWatch.h"
#include "platform/core/TickCount.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/IconvProgram.h"
#include "tests/support/LegacySitePages.h"
#include "tests/support/SaveHolder.h"
#include "toolkit/controls/SECProgressCtrl.h"

namespace {

// The save dialog shown now; null when none is.
CSaveHTMLFilesDlg* ShownSaveDialog()
{
    CSaveHTMLFilesDlg* pFound = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
        if (auto* pDlg = dynamic_cast<CSaveHTMLFilesDlg*>(CWnd::FromHandlePermanent(top)); pDlg != nullptr && IsWindowVisible(top))
            *reinterpret_cast<CSaveHTMLFilesDlg**>(lParam) = pDlg;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&pFound));
    return pFound;
}

// Where the dialog's meter stands, in its own parts; 0 when it has none.
UINT MeterOf(CSaveHTMLFilesDlg& dlg)
{
    CWnd* pItem = dlg.GetDlgItem(CSaveHTMLFilesDlg::kIdProgress);
    auto* pMeter = pItem != nullptr ? dynamic_cast<SECProgressCtrl*>(CWnd::FromHandlePermanent(pItem->GetSafeHwnd())) : nullptr;
    return pMeter != nullptr ? pMeter->GetPos() : 0;
}

class LargePageSaveX11Test : public MainWindowStepsX11Test {};

} // namespace

TEST_F(LargePageSaveX11Test, EscInTheMiddleOfALargePageLeavesItAsItWas)
{
    // A Russian guide of some megabytes in windows-1251, with a Content-Type column.
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::string body;
    while (body.size() < (12u << 20))
        body += legacy_site::kRussian.pszBody;
    const legacy_site::GuidePage text{legacy_site::kRussian.pszTitle, body.c_str()};
    const std::string page = iconv_program::Convert(legacy_site::Page(text, legacy_site::ContentType("windows-1251")),
                                                    "UTF-8", "CP1251", dir.Path() + "/scratch");
    ASSERT_GT(page.size(), 6u << 20) << page.substr(0, 40);
    std::ofstream(site + "/guide.htm", std::ios::binary) << page;
    WriteProject({}, 1, AddShownContentType);
    ASSERT_TRUE(StartWithProject(1));
    view = View();
    const ROWCOL nType = ColumnOf("Content-Type");
    ASSERT_NE(nType, 0u);

    // The user gives it UTF-8 and saves. The save is held in the page for as long as the test
    // needs it there: a quarter in, until the dialog names the page and the time the save lets
    // pass between two reports of its progress is over; then half-way, once it has reported how
    // far it came, until the dialog has moved its meter and taken the Esc.
    const std::string value = "text/html; charset=UTF-8";
    ASSERT_TRUE(GoToByKeys(1, nType) && Xdo("type --delay 20 '" + value + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nType) == value.c_str(); }, 60000));
    SaveHolder hold(SaveStep::PagePiece, page.size() / 4);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    std::string named;
    UINT nMeter = 0;
    DWORD dwHeld = 0;
    When("the save is held a quarter into the page, which the dialog names", [&] {
        CSaveHTMLFilesDlg* pDlg = ShownSaveDialog();
        if (hold.HeldPage() != "guide.htm" || pDlg == nullptr)
            return false;
        CString strName;
        pDlg->GetDlgItemText(CSaveHTMLFilesDlg::kIdName, strName);
        named = strName.GetString();
        return !named.empty();
    }, [&] { dwHeld = ::GetTickCount(); });
    When("the time between two reports of the save's progress is over", [&] {
        return ::GetTickCount() - dwHeld > SavePageWatch::kIntervalMs;
    }, [&] { hold.HoldAgainAfter(page.size() / 2); });
    When("the save is held half-way and the dialog's meter has moved", [&] {
        CSaveHTMLFilesDlg* pDlg = ShownSaveDialog();
        if (hold.HeldPage() != "guide.htm" || pDlg == nullptr || !ViewableWindowTitled("Saving Metatags to HTML Files")
            || MeterOf(*pDlg) < 50)
            return false;
        nMeter = MeterOf(*pDlg);
        return ShowsNow();
    }, [&] {
        if (cairo_surface_t* shot = Shot("large-page-save-progress"))
            cairo_surface_destroy(shot);
        EXPECT_TRUE(PressWhileWorking("Escape")) << "the Escape key did not reach the program";
    });
    When("the dialog has taken the Esc", [&] {
        CSaveHTMLFilesDlg* pDlg = ShownSaveDialog();
        return pDlg != nullptr && pDlg->IsStopping();
    }, [&] { hold.Release(); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([] { return ShownSaveDialog() == nullptr; })) << "the save did not end after Esc";
    EXPECT_EQ(named, "guide.htm");
    EXPECT_LT(nMeter, 1000u) << "the meter showed the page done before it was";

    // The save was stopped with the page unwritten: it, and its folder, are as they were, and the
    // edit waits for the next save.
    ASSERT_TRUE(RunUntil([&] { return OutputArea().GetText().Find("stopped: 0 of 1 pages written") >= 0; }, 60000))
        << OutputArea().GetText().GetString();
    EXPECT_TRUE(ReadFile(site + "/guide.htm") == page) << "the page was changed";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(site), std::filesystem::directory_iterator()), 1)
        << "a copy or a backup was left";
    EXPECT_EQ(view->GetCellValue(1, nType), value.c_str());
}

// A title typed by keys for a large page without a TITLE element, and saved: the page on disk is
// the page it was with the title alone added in its head.
TEST_F(LargePageSaveX11Test, ATitleTypedForALargeUntitledPageIsAllItsSaveAdds)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    const std::string start = "<html>\n<head>\n<meta name=\"description\" content=\"A guide\">\n";
    std::string rest = "</head>\n<body>\n";
    while (rest.size() < (12u << 20))
        rest += "<p>A paragraph of the guide, <b>long</b> as guides are.</p>\n";
    rest += "</body>\n</html>\n";
    std::ofstream(site + "/guide.htm", std::ios::binary) << start + rest;
    WriteProject({});
    ASSERT_TRUE(StartWithProject(1));
    view = View();
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    ASSERT_EQ(view->GetCellValue(1, nTitle), "");

    ASSERT_TRUE(GoToByKeys(1, nTitle) && Xdo("type --delay 20 'The guide'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nTitle) == "The guide"; }, 60000));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return OutputArea().GetText().Find("1 of 1 pages written") >= 0; }, 120000))
        << OutputArea().GetText().GetString();
    if (cairo_surface_t* shot = Shot("large-untitled-page-saved"))
        cairo_surface_destroy(shot);
    EXPECT_TRUE(ReadFile(site + "/guide.htm") == start + "<title>The guide</title>\n" + rest)
        << "the page saved is not the page with its title added";
}
