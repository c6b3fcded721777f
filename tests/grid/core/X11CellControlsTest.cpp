// The cell controls on the X11 backend under Xvfb: keys sent by another X client are typed into
// an edit cell's window and stored when the cell is left, and a check box toggles; the screen
// shows the grid with the edit window over its cell.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXEditControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"

#include <cstdlib>
#include <memory>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class X11CellControlsTest : public X11Test {
protected:
    bool TakesScreenshots() const override { return true; }
};

// A grid that says whether its held key's repeats still run on their timer.
class RepeatingGrid : public CGXGridWnd {
public:
    bool Repeating() const { return m_nAutoScrollTimer != 0; }
};

} // namespace

TEST_F(X11CellControlsTest, TypesIntoAnEditCellAndShowsItsWindowOverTheCell)
{
    RegisterStandardControls();
    GXInitControlFactory();
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Cells", WS_POPUP | WS_VISIBLE, 20, 20, 440, 170, nullptr, nullptr));
    auto grid = std::make_unique<CGXGridWnd>();
    ASSERT_TRUE(grid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 440, 170), &frame, 100));
    grid->Initialize();
    grid->SetRowCount(6, 0);
    grid->SetColCount(4, 0);
    grid->StoreDefaultColWidth(90);
    CGXStyle check;
    check.SetControl(GX_IDS_CTRL_CHECKBOX3D).SetChoiceList("Shown").SetValue("1");
    grid->ApplyStyleToRange(CGXRange(1, 2, 3, 2), &check, gxOverride, 0, nullptr, 0, gxDo);
    CGXStyle list;
    list.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList("Red\nGreen\nBlue").SetValue("Green");
    grid->ApplyStyleToRange(CGXRange(1, 3, 3, 3), &list, gxOverride, 0, nullptr, 0, gxDo);
    CGXStyle button;
    button.SetControl(GX_IDS_CTRL_PUSHBTN).SetChoiceList("Edit...");
    grid->ApplyStyleToRange(CGXRange(1, 4, 3, 4), &button, gxOverride, 0, nullptr, 0, gxDo);
    CGXStyle text;
    text.SetValue("index.html");
    grid->ApplyStyleToRange(CGXRange(1, 1, 1, 1), &text, gxOverride, 0, nullptr, 0, gxDo);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frame.GetSafeHwnd()) != FALSE; }));
    grid->SetFocus();
    ASSERT_TRUE(grid->SetCurrentCell(2, 1));
    ASSERT_TRUE(Settle());

    for (KeySym key : {XK_t, XK_i, XK_t, XK_l, XK_e})
        SendKey(frame.GetSafeHwnd(), key);
    auto* pEdit = dynamic_cast<CGXEditControl*>(grid->GetCurrentCellControl());
    ASSERT_NE(pEdit, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return pEdit->GetEditWnd() != nullptr && pEdit->GetEditWnd()->GetWindowTextLength() == 5; }));
    EXPECT_TRUE(pEdit->IsActive());
    ASSERT_TRUE(Settle());

    {
        // What the screen shows.
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        ASSERT_NE(shot, nullptr);
        if (const char* pszOut = std::getenv("VOSTREL_GRID_SHOT"))
            cairo_surface_write_to_png(shot, pszOut);
        // The edit window lies over cell (2, 1): inside it the window's own background, white.
        const CRect cell = grid->CalcCellRect(2, 1);
        CPoint inside(cell.right - 8, cell.top + cell.Height() / 2);
        grid->ClientToScreen(&inside);
        EXPECT_EQ(PixelAt(shot, inside.x, inside.y) & 0xFFFFFF, 0xFFFFFFu);
        cairo_surface_destroy(shot);
    }

    // Leaving the cell stores what was typed.
    SendKey(frame.GetSafeHwnd(), XK_Down);
    ASSERT_TRUE(PumpUntil([&] {
        ROWCOL r = 0, c = 0;
        return grid->GetCurrentCell(r, c) && r == 3;
    }));
    EXPECT_STREQ(grid->GetStoredCellValue(2, 1), "title");

    grid->DestroyWindow();
    grid.reset();
    frame.DestroyWindow();
    TerminateGridLibrary();
}

TEST_F(X11CellControlsTest, AHeldDownKeyKeepsTheCurrentCellMovingOnTheScreen)
{
    RegisterStandardControls();
    GXInitControlFactory();
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Pages", WS_POPUP | WS_VISIBLE, 20, 20, 440, 300, nullptr, nullptr));
    auto grid = std::make_unique<RepeatingGrid>();
    ASSERT_TRUE(grid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 440, 300), &frame,
                               100));
    grid->Initialize();
    grid->GetParam()->EnableUndo(FALSE);
    grid->SetRowCount(500, 0);
    grid->SetColCount(3, 0);
    grid->StoreDefaultColWidth(120);
    for (ROWCOL r = 1; r <= 500; ++r) {
        CString s;
        s.Format("page%u.html", static_cast<unsigned>(r));
        grid->SetValueRange(CGXRange(r, 1, r, 1), s, gxOverride, 0, 0);
    }
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frame.GetSafeHwnd()) != FALSE; }));
    grid->SetFocus();
    ASSERT_TRUE(grid->SetCurrentCell(1, 1));
    ASSERT_TRUE(Settle());
    const auto row = [&grid] {
        ROWCOL r = 0, c = 0;
        return grid->GetCurrentCell(r, c) ? r : 0;
    };

    // The display reports a held key as presses without a release: four of them here, each
    // moving the cell, and the grid's own repeats doing the rest while the key stays down.
    for (int i = 0; i < 4; ++i) {
        const ROWCOL before = row();
        SendKeyEvent(frame.GetSafeHwnd(), XK_Down, 0, KeyPress);
        ASSERT_TRUE(PumpUntil([&] { return row() > before; })) << "press " << i + 1 << " never moved the cell";
    }
    // ... on past the rows the grid showed at first, scrolling them into view.
    CRect rect;
    grid->GetGridRect(&rect);
    const ROWCOL nFirstScreen = grid->CalcLastVisibleRow(rect);
    ASSERT_TRUE(PumpUntil([&] { return row() > nFirstScreen + 1; })) << "the held key stopped at row " << row();
    const ROWCOL nHeld = row();
    SendKeyEvent(frame.GetSafeHwnd(), XK_Down, 0, KeyRelease);
    ASSERT_TRUE(PumpUntil([&] { return !grid->Repeating(); })) << "the release never ended the repeats";
    const ROWCOL nReleased = row();
    EXPECT_GE(nReleased, nHeld);
    // With the repeats' timer gone, nothing that was posted moves the cell any more.
    ASSERT_TRUE(Drained());
    EXPECT_EQ(row(), nReleased) << "the release ends the repeats";
    EXPECT_GT(grid->GetTopRow(), 1u);
    EXPECT_LE(grid->GetTopRow(), nReleased);
    EXPECT_GE(grid->CalcLastVisibleRow(rect), nReleased);
    grid->DestroyWindow();
    grid.reset();
    frame.DestroyWindow();
    TerminateGridLibrary();
}
