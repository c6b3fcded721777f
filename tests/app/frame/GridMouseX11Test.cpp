// The mouse on the page grid as the user meets it on the X server: a click on a column header
// leaves the field above the grid without the header's name, a column dragged by its header
// shows where it will land while the button is held, and an edit not yet ended shows its text
// again when the wheel scrolls its cell away and back.
#include "tests/app/UserStepsX11Fixture.h"

#include "app/views/CShortcutEditCtrl.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXDragLineWnd.h"
#include "tests/support/X11KeyboardLetters.h"

namespace {

class GridMouseX11Test : public MainWindowStepsX11Test {
protected:
    // The wheel turned over the grid, notches down (positive) or up.
    bool Wheel(int nNotches)
    {
        CRect rect;
        view->GetWindowRect(&rect);
        return XdoNow("mousemove " + std::to_string(rect.CenterPoint().x) + " " + std::to_string(rect.CenterPoint().y) +
                      " click --repeat " + std::to_string(std::abs(nNotches)) + " --delay 40 " + (nNotches > 0 ? "5" : "4"));
    }
};

} // namespace

TEST_F(GridMouseX11Test, HeaderClickColumnDragAndAnEditScrolledAwayAndBack)
{
    const std::string typed = " Ωμέγα", more = "日本";
    X11KeyboardLetters letters(other, typed + more);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    MakeSite(40);
    WriteProject({"Description", "Keywords"});
    ASSERT_TRUE(StartWithProject(40));
    view = View();
    // The main window as wide as the screen, so that every column is in sight.
    Frame().SetWindowPos(nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 40, SWP_NOZORDER);
    ASSERT_TRUE(Quiet());
    const ROWCOL nKeys = ColumnOf("Keywords"), nDesc = ColumnOf("Description");
    ASSERT_EQ(nDesc, nKeys + 1);

    // An edit of row 2's description, scrolled out of sight by the wheel and back: the cell
    // shows the text typed so far, and the edit goes on where it was.
    ASSERT_TRUE(GoToByKeys(2, nDesc));
    const std::string value = std::string(view->GetCellValue(2, nDesc));
    ASSERT_TRUE(Xdo("key F2 End") && Xdo("type --delay 30 '" + typed + "'"));
    CString strEdited;
    ASSERT_TRUE(RunUntil([&] { return EditorOpen() && view->GetCellText(2, nDesc, strEdited) == 0 && strEdited == (value + typed).c_str() && Settled(); }))
        << "the editor shows '" << strEdited.GetString() << "'";
    CRect inside = view->CalcCellRect(2, nDesc);
    inside.DeflateRect(3, 3);
    cairo_surface_t* shot = Shot("edit-before-scroll");
    const int nInkBefore = DarkPixels(shot, inside, 100);
    cairo_surface_destroy(shot);
    ASSERT_GT(nInkBefore, 20) << "the edited cell shows no text";
    ASSERT_TRUE(Wheel(3) && RunUntil([&] { return view->GetTopRow() > 3 && Settled(); })) << "the grid did not scroll";
    ASSERT_TRUE(Wheel(-5) && RunUntil([&] { return view->GetTopRow() == 1 && Settled(); })) << "the grid did not scroll back";
    shot = Shot("edit-after-scroll");
    EXPECT_GT(DarkPixels(shot, inside, 100), nInkBefore / 2) << "the edited cell shows no text after the scroll";
    cairo_surface_destroy(shot);
    ASSERT_TRUE(Xdo("type --delay 30 '" + more + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return !EditorOpen() && Settled(); }));
    EXPECT_EQ(CopiedCells(2, nDesc, 2, nDesc), std::vector<std::string>{value + typed + more});

    // A click on the Description header chooses the column: the field above the grid shows no
    // header's name as a value.
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ASSERT_TRUE(RunUntil([&] { return Field() == "Description of page 1"; })) << "the field shows '" << Field() << "'";
    auto clicked = std::chrono::steady_clock::now();
    ASSERT_TRUE(ClickAt(CellOnScreen(0, nDesc), 1, 1));
    ASSERT_TRUE(RunUntil([&] {
        CGXRange range;
        return view->GetSortRange(range) == 0 && range.left == nDesc && Settled();
    })) << "the header's click did not choose the column";
    EXPECT_EQ(Field(), "") << "the field shows the header's name";

    // The chosen column dragged by its header over the Keywords column: while the button is
    // held, a bar three pixels wide stands on the line before Keywords, from the header down.
    ASSERT_TRUE(RunUntil([&] {
        return std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(::GetDoubleClickTime() + 100);
    }));
    const POINT from = CellOnScreen(0, nDesc);
    const CRect keys = view->CalcCellRect(0, nKeys);
    const POINT to = ScreenPoint(view->GetSafeHwnd(), keys.CenterPoint().x, keys.CenterPoint().y + 100);
    ASSERT_TRUE(XdoNow("mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) + " mousedown 1"));
    ASSERT_TRUE(RunUntil([&] { return view->m_dragSelect.nMode != 0; })) << "the press on the header starts no drag";
    ASSERT_TRUE(XdoNow("mousemove " + std::to_string(from.x - 10) + " " + std::to_string(from.y) + " mousemove " +
                       std::to_string(to.x) + " " + std::to_string(to.y)));
    ASSERT_TRUE(RunUntil([&] { return view->GetDragLineWnd(FALSE) != nullptr && Settled(); })) << "the drag shows no marker";
    shot = Shot("column-drag");
    const uint32_t nMarker = Rgb(view->GetParam()->GetProperties()->GetColor(GX_COLOR_DRAGGINGLINE));
    for (ROWCOL nRow : {ROWCOL{0}, ROWCOL{3}, ROWCOL{12}}) {
        const CRect cell = view->CalcCellRect(nRow, nKeys);
        EXPECT_GE(PixelsOf(shot, CRect(keys.left - 2, cell.CenterPoint().y, keys.left + 2, cell.CenterPoint().y + 1), nMarker), 3)
            << "no marker three pixels wide before Keywords in row " << nRow;
    }
    cairo_surface_destroy(shot);
    ASSERT_TRUE(XdoNow("mouseup 1"));
    EXPECT_TRUE(RunUntil([&] { return ColumnOf("Description") == nKeys && Settled(); })) << "the drop did not move the column";
}
