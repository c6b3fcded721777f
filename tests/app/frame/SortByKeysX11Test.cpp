// Sorting from the keyboard on the X server: Ctrl+Space chooses the current cell's column and
// Shift+Space its row, and the View menu's Sort Ascending and Sort Descending, reached by their
// mnemonics, sort by the chosen column; the screen shows them available only then.
#include "tests/app/UserStepsX11Fixture.h"

namespace {

class SortByKeysX11Test : public MainWindowStepsX11Test {
protected:
    // The user opens the View menu by its keys and reads whether the sort items show
    // available: their labels drawn in the menu's text colour, not greyed. Then the keys are
    // typed into the open menu.
    struct SortItemsSeen {
        bool ascending = false;
        bool descending = false;
    };
    void ReadSortItemsThenType(SortItemsSeen& seen, const char* pszShot, const std::string& keys)
    {
        Type("the main window", "^Vostrel -", "alt+v");
        When("the View menu shows Sort Descending",
             [this] {
                 RECT r{};
                 return OpenMenuItem("Sort Descending", &r) != nullptr && ShowsNow();
             },
             [this, &seen, pszShot, keys] {
                 cairo_surface_t* shot = Shot(pszShot);
                 seen.ascending = InkOf(shot, "Sort Ascending") > 0;
                 seen.descending = InkOf(shot, "Sort Descending") > 0;
                 if (shot)
                     cairo_surface_destroy(shot);
                 XdoNow("key --delay 30 " + keys);
             });
        When("the menu is closed", [] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == nullptr; }, [] {});
    }
    // How many pixels of an open menu item show the text colour of an available item.
    static int InkOf(cairo_surface_t* shot, const std::string& label)
    {
        return MenuItemPixels(shot, label, Rgb(::GetSysColor(COLOR_MENUTEXT)));
    }
    // The column's cells as Ctrl+C copies them, top to bottom.
    std::vector<std::string> Column(const char* pszName)
    {
        const ROWCOL nCol = ColumnOf(pszName);
        return CopiedCells(1, nCol, view->GetRowCount(), nCol);
    }
};

} // namespace

TEST_F(SortByKeysX11Test, CtrlSpaceChoosesTheColumnThatTheViewMenuSortsBy)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    ASSERT_EQ(view->GetRowCount(), 3u);
    const std::vector<std::string> unsorted = Column("Description");
    ASSERT_EQ(unsorted, (std::vector<std::string>{"First page", "Second page", "Third page"}));

    // With cells chosen, no column is: the items show unavailable and their keys do nothing.
    SortItemsSeen seen;
    ReadSortItemsThenType(seen, "sort-items-with-cells-chosen", "d Escape");
    ASSERT_TRUE(StepsTaken());
    EXPECT_FALSE(seen.ascending) << "Sort Ascending shows available with no column chosen";
    EXPECT_FALSE(seen.descending) << "Sort Descending shows available with no column chosen";
    EXPECT_EQ(Column("Description"), unsorted) << "the rows were sorted with no column chosen";

    // Ctrl+Space on a Description cell chooses that column; Alt+V, D sorts by it, descending.
    ASSERT_TRUE(GoToByKeys(2, ColumnOf("Description")));
    ASSERT_TRUE(Xdo("key ctrl+space"));
    ReadSortItemsThenType(seen, "sort-items-with-a-column-chosen", "d");
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(seen.ascending) << "Sort Ascending shows unavailable with a column chosen";
    EXPECT_TRUE(seen.descending) << "Sort Descending shows unavailable with a column chosen";
    EXPECT_EQ(Column("Description"), (std::vector<std::string>{"Third page", "Second page", "First page"}));
    // Each row kept its page: the titles went with their descriptions.
    EXPECT_EQ(Column("Title"), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));

    // Shift+Space chooses the row: Ctrl+C copies that whole row, and no column is chosen.
    ASSERT_TRUE(GoToByKeys(2, ColumnOf("Title")));
    const std::vector<std::string> row = ClipboardRows(CopyByKeys("shift+space ctrl+c"));
    ASSERT_EQ(row.size(), 1u);
    EXPECT_NE(row[0].find("b.htm\tBeta\tred, green\tSecond page"), std::string::npos) << row[0];
    ReadSortItemsThenType(seen, "sort-items-with-a-row-chosen", "a Escape");
    ASSERT_TRUE(StepsTaken());
    EXPECT_FALSE(seen.ascending) << "Sort Ascending shows available with a row chosen";
    EXPECT_FALSE(seen.descending) << "Sort Descending shows available with a row chosen";

    // The Title column, chosen the same way, sorts ascending by Alt+V, A.
    ASSERT_TRUE(Xdo("key ctrl+space"));
    ReadSortItemsThenType(seen, "sort-items-title-chosen", "a");
    ASSERT_TRUE(StepsTaken());
    EXPECT_EQ(Column("Title"), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(Column("Description"), unsorted);
}
