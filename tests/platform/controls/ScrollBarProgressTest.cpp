// The scroll bar control (its SBM_ rules, mouse and keys) and the progress control (range,
// step and wrap, and its drawing).
#include "platform/controls/Progress.h"
#include "platform/controls/ScrollBarControl.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(ScrollBarModelTest, KeepsThePositionInsideTheRangeLessThePage)
{
    ScrollBarModel model(true);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 500, 0};
    EXPECT_EQ(model.SetInfo(info), 90) << "the last page starts at max - page + 1";
    info.fMask = SIF_RANGE;
    info.nMin = 20;
    info.nMax = 5;
    model.SetInfo(info);
    EXPECT_EQ(model.State().max, 20) << "max never below min";
    EXPECT_EQ(model.State().page, 1u) << "the page never exceeds the range";
    EXPECT_EQ(model.State().pos, 20);
    EXPECT_EQ(model.SetRange(0, 10), 20);
    EXPECT_EQ(model.SetPos(-4), 10);
    EXPECT_EQ(model.State().pos, 0);
    EXPECT_EQ(model.SetRange(-2000000000, 2000000000), -1) << "a span past the largest int is refused";
    EXPECT_TRUE(model.EnableArrows(ESB_DISABLE_UP));
    EXPECT_FALSE(model.EnableArrows(ESB_DISABLE_UP));
}

class ScrollBarControlTest : public ControlsTest {};

TEST_F(ScrollBarControlTest, ArrowClickAndKeysTellTheParentAndTheOldInterfaceWorksThroughMessages)
{
    HWND bar = Child(WC_SCROLLBAR, "", SBS_VERT | WS_TABSTOP, 10, 10, 16, 200, 40);
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 50, TRUE));
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 70, TRUE), 0);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);
    int low = -1, high = -1;
    GetScrollRange(bar, SB_CTL, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 50);

    // A click on the down arrow: a line down, then the end of scrolling.
    backend->MouseDown(1, At(bar, 8, 195));
    backend->WhenIdle([&] { backend->MouseUp(1, At(bar, 8, 195)); });
    backend->ProcessMessages();
    std::vector<WORD> codes;
    for (const auto& m : Received())
        if (m.message == WM_VSCROLL && reinterpret_cast<HWND>(m.lParam) == bar)
            codes.push_back(LOWORD(m.wParam));
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes.front(), SB_LINEDOWN);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(GetFocus(), bar);

    Received().clear();
    backend->Key(VK_PRIOR);
    backend->ProcessMessages();
    ASSERT_EQ(Received().size(), 2u);
    EXPECT_EQ(LOWORD(Received()[0].wParam), SB_PAGEUP);
    EXPECT_EQ(LOWORD(Received()[1].wParam), SB_ENDSCROLL);
    EXPECT_EQ(SendMessage(bar, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST(ProgressModelTest, StepsWrapAndPositionsStayInTheRange)
{
    ProgressModel model;
    EXPECT_EQ(model.SetRange(0, 3), static_cast<DWORD>(MAKELONG(0, 100)));
    model.SetStep(1);
    for (int i = 0; i < 3; ++i)
        model.StepIt();
    EXPECT_EQ(model.Pos(), 3) << "three pages saved, three steps";
    model.StepIt();
    EXPECT_EQ(model.Pos(), 1) << "past the end it starts again";
    EXPECT_EQ(model.SetPos(99), 1);
    EXPECT_EQ(model.Pos(), 3);
    model.SetRange(10, 0);
    EXPECT_EQ(model.High(), 10);
    EXPECT_EQ(model.Pos(), 10);
    model.SetRange(0, 0);
    model.StepIt();
    EXPECT_EQ(model.Pos(), 0) << "an empty range stays put";
    EXPECT_EQ(model.Filled(100), 0);
    model.SetRange(0, 200);
    model.SetPos(50);
    EXPECT_EQ(model.Filled(100), 25);
}

class ProgressTest : public ControlsTest {};

TEST_F(ProgressTest, MessagesDriveTheBarAndItFillsInTheHighlightColour)
{
    HWND progress = Child(PROGRESS_CLASS, "", PBS_SMOOTH, 10, 10, 102, 20, 50);
    SendMessage(progress, PBM_SETRANGE32, 0, 4);
    SendMessage(progress, PBM_SETSTEP, 1, 0);
    EXPECT_EQ(SendMessage(progress, PBM_STEPIT, 0, 0), 0);
    EXPECT_EQ(SendMessage(progress, PBM_STEPIT, 0, 0), 1);
    EXPECT_EQ(SendMessage(progress, PBM_GETPOS, 0, 0), 2);
    PBRANGE range{};
    EXPECT_EQ(SendMessage(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 4);
    EXPECT_EQ(range.iLow, 0);
    UpdateWindow(progress);
    // Half of the 98-pixel well inside the edge and the one-pixel margin is filled.
    EXPECT_EQ(Pixel(progress, 10, 10), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Pixel(progress, 90, 10), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(Pixel(progress, 0, 0), Rgb(GetSysColor(COLOR_3DSHADOW))) << "the sunken edge";

    // Every message that moves the bar asks for a repaint; one that leaves it where it is does not.
    RECT dirty{};
    for (auto [message, wParam] : {std::pair<UINT, WPARAM>{PBM_STEPIT, 0}, {PBM_SETPOS, 1}, {PBM_DELTAPOS, 2}}) {
        SendMessage(progress, message, wParam, 0);
        EXPECT_TRUE(GetUpdateRect(progress, &dirty, FALSE)) << message;
        UpdateWindow(progress);
    }
    SendMessage(progress, PBM_SETPOS, SendMessage(progress, PBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(GetUpdateRect(progress, &dirty, FALSE));
}
