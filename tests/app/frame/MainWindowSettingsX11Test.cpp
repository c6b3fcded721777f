// Options > Project Settings as the user meets it on the X server: OK leaves the grid's columns
// as wide as the user dragged them.
#include "tests/app/UserStepsX11Fixture.h"

namespace {

class MainWindowSettingsX11Test : public MainWindowStepsX11Test {};

} // namespace

TEST_F(MainWindowSettingsX11Test, ProjectSettingsOkKeepsTheColumnWidths)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_NE(nTitle, 0u);
    // The user drags the Title column's right edge in the header to the left.
    const CRect header = view->CalcCellRect(0, nTitle);
    const POINT edge = ScreenPoint(view->GetSafeHwnd(), header.right - 1, header.CenterPoint().y);
    const int nBefore = view->GetColWidth(nTitle);
    ASSERT_TRUE(XdoNow("mousemove " + std::to_string(edge.x) + " " + std::to_string(edge.y) + " mousedown 1 mousemove " +
                       std::to_string(edge.x - 20) + " " + std::to_string(edge.y) + " mousemove " +
                       std::to_string(edge.x - 40) + " " + std::to_string(edge.y) + " mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return view->GetColWidth(nTitle) < nBefore - 30 && Settled(); }))
        << "the drag did not narrow the column: " << nBefore << " to " << view->GetColWidth(nTitle) << ", on the screen " << header.Width() << " to " << view->CalcCellRect(0, nTitle).Width();
    const int nDragged = view->GetColWidth(nTitle);
    const int nFile = view->GetColWidth(CGroupView::kFileColumn);

    ASSERT_TRUE(Xdo("key alt+o"));
    Choose("Project Settings...");
    Type("the Project Settings sheet", "^Project Settings$", "Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && Settled(); })) << "the sheet stayed";
    EXPECT_EQ(view->GetColWidth(nTitle), nDragged);
    EXPECT_EQ(view->GetColWidth(CGroupView::kFileColumn), nFile);
    EXPECT_EQ(view->CalcCellRect(0, nTitle).Width(), header.Width() + (nDragged - nBefore))
        << "on the screen the header keeps its dragged width";
    // And the screen shows it so: the grid's line after the Title column runs down its rows at
    // the dragged width, not where the column ended before the drag.
    cairo_surface_t* shot = Shot("project-settings-widths");
    ASSERT_NE(shot, nullptr);
    const CRect first = view->CalcCellRect(1, nTitle);
    const CRect last = view->CalcCellRect(view->GetRowCount(), nTitle);
    // A cell's lines are drawn just past its rectangle, on its right and below it.
    const uint32_t line = GridPixel(shot, first.CenterPoint().x, first.bottom);
    const auto lineDown = [&](int x) {
        int nOnLine = 0;
        for (int y = first.top; y < last.bottom; ++y)
            nOnLine += GridPixel(shot, x, y) == line;
        return nOnLine == last.bottom - first.top;
    };
    EXPECT_TRUE(lineDown(first.right)) << "no line after the Title column at its dragged width";
    EXPECT_FALSE(lineDown(first.right + nBefore - nDragged)) << "a line where the Title column ended before";
    cairo_surface_destroy(shot);
}
