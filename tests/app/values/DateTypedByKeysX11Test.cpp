// A date typed into the date dialog's field without its separators, from the keyboard of the X
// server: a part typed full hands the typing on to the next, so that the digits fill the year,
// the month and the day, on an empty field and over a page's date alike, and the cell takes
// the whole date.
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "tests/app/GroupViewLookup.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/UserScript.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class DateTypedByKeysX11Test : public MainWindowStepsX11Test {
protected:
    // The user's keys in the date dialog that Alt+Down opens on the current cell; the grid has
    // the keys again once it is gone.
    ::testing::AssertionResult TypeInTheDateDialog(const std::string& keys)
    {
        UserScript user(dir.Path(), server->DisplayName());
        std::remove((dir.Path() + "/steps.log").c_str());
        if (!user.Start("focused '^Date / Time Metatag'; xdotool key --delay 40 " + keys +
                        "; echo done >>\"$log\"\n"))
            return ::testing::AssertionFailure() << "the user's script did not start";
        if (!Xdo("key alt+Down"))
            return ::testing::AssertionFailure() << "Alt+Down was not typed";
        const bool bBack = RunUntil([&] {
            return user.Steps().find("done") != std::string::npos && ProgramHasFocus() &&
                   ::GetAncestor(::GetFocus(), GA_ROOT) == Frame().GetSafeHwnd() && Settled();
        }, 60000);
        if (!bBack)
            return ::testing::AssertionFailure() << "the dialog did not come and go; " << user.Steps();
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(DateTypedByKeysX11Test, DigitsTypedWithoutSeparatorsFillTheYearMonthAndDay)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/one.htm") << "<html><head><title>One</title>\n"
                                        "<meta http-equiv=\"expires\" content=\"2021/03/04\">\n"
                                        "</head><body>x</body></html>\n";
    std::ofstream(site + "/two.htm") << "<html><head><title>Two</title></head><body>y</body></html>\n";
    WriteProject({"Expires"}, 0, [](CMetaSettingList& list) {
        CMetaSetting* pSetting = nullptr;
        ASSERT_EQ(list.FindByName("Expires", pSetting), 0u);
        auto* pDate = dynamic_cast<CMetaDateSetting*>(pSetting);
        ASSERT_NE(pDate, nullptr);
        pDate->m_strFormat = "yyyy/MM/dd";
    });
    ASSERT_TRUE(StartWithProject(2));
    const ROWCOL nExpires = group_view_lookup::ColumnOf(*View(), "Expires");
    ASSERT_NE(nExpires, 0u);
    const ROWCOL nOne = View()->GetCellValue(1, CGroupView::kFileColumn).Right(7) == "one.htm" ? 1 : 2;
    const ROWCOL nTwo = 3 - nOne;

    // Over the page's date: Home takes the keys to the year, and the digits fill all three parts.
    ASSERT_TRUE(GoToByKeys(nOne, nExpires));
    ASSERT_TRUE(TypeInTheDateDialog("Home 2 0 2 5 0 3 1 4 Return"));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "2025/03/14");

    // On an empty field the same digits make the same date, which OK takes.
    ASSERT_TRUE(GoToByKeys(nTwo, nExpires));
    ASSERT_TRUE(TypeInTheDateDialog("2 0 2 5 0 3 1 4 Return"));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "2025/03/14");
}
