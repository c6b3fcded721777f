// The up-down control: its range rules, and stepping by the arrows and the buddy's arrow keys
// with the buddy showing the number and the parent able to refuse a step.
#include "platform/controls/ControlSupport.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/UpDown.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(UpDownModelTest, StepsTowardTheUpperEndWrapOrStopAndReadTheirText)
{
    UpDownModel model;
    model.lower = 0;
    model.upper = 10;
    model.pos = 9;
    EXPECT_EQ(model.Target(1), 10);
    EXPECT_EQ(model.Target(5), 10) << "stops at the end";
    model.wrap = true;
    EXPECT_EQ(model.Target(5), 0) << "or starts over";
    model.pos = 0;
    EXPECT_EQ(model.Target(-1), 10);

    UpDownModel down;   // the default range runs from 100 down to 0
    down.pos = 50;
    EXPECT_EQ(down.Target(1), 49) << "up goes toward the upper end, which is the smaller number";

    model.pos = 1234;
    model.upper = 100000;
    EXPECT_EQ(model.Format(true), "1,234");
    EXPECT_EQ(model.Format(false), "1234");
    int value = 0;
    EXPECT_TRUE(model.Parse(" 5,000 ", value));
    EXPECT_EQ(value, 5000);
    EXPECT_FALSE(model.Parse("12a", value));
    EXPECT_FALSE(model.Parse("200000", value)) << "outside the range";
    model.base = 16;
    model.pos = 255;
    EXPECT_EQ(model.Format(true), "0xFF");
    EXPECT_TRUE(model.Parse("0x1A", value));
    EXPECT_EQ(value, 26);

    EXPECT_EQ(model.Increment(0), 1);
    EXPECT_EQ(model.Increment(2500), 5);
    EXPECT_EQ(model.Increment(6000), 20);
}

class UpDownTest : public ControlsTest {};

TEST_F(UpDownTest, ArrowsAndKeysStepTheBuddyAndTheParentMayRefuse)
{
    HWND edit = Child(WC_EDIT, "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 100, 20, 134);
    HWND spin = Child(UPDOWN_CLASS, "", UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 16, 20,
                      135);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(spin, UDM_GETBUDDY, 0, 0)), edit);
    RECT e, s;
    GetWindowRect(edit, &e);
    GetWindowRect(spin, &s);
    EXPECT_EQ(e.right - e.left, 84) << "the buddy gives up the arrows' width";
    EXPECT_EQ(s.left, e.right);
    EXPECT_EQ(s.bottom - s.top, 20);

    SendMessage(spin, UDM_SETRANGE32, 0, 3600);
    SendMessage(spin, UDM_SETPOS32, 0, 10);
    EXPECT_EQ(WindowTextOf(edit), "10");

    // The up arrow: one step, told to the parent as a delta and as a scroll.
    int deltas = 0;
    bool refuse = false;
    OnMessage() = [&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != UDN_DELTAPOS)
            return false;
        ++deltas;
        result = refuse ? 1 : 0;
        return true;
    };
    backend->MouseDown(1, At(spin, 8, 3));
    backend->MouseUp(1, At(spin, 8, 3));
    backend->ProcessMessages();
    EXPECT_EQ(deltas, 1);
    EXPECT_EQ(WindowTextOf(edit), "11");
    std::vector<WORD> scrolls;
    for (const auto& m : Received())
        if (m.message == WM_VSCROLL)
            scrolls.push_back(LOWORD(m.wParam));
    EXPECT_EQ(scrolls, (std::vector<WORD>{SB_THUMBPOSITION, SB_ENDSCROLL}));

    // Held down, it repeats.
    backend->MouseDown(1, At(spin, 8, 16));
    backend->Advance(400 + 3 * 100 + 10);
    backend->MouseUp(1, At(spin, 8, 16));
    backend->ProcessMessages();
    EXPECT_EQ(WindowTextOf(edit), "6") << "one press and repeats at 400, 500, 600 and 700 ms";

    // A number typed into the buddy is where the next step starts; the arrow keys step too.
    SetWindowText(edit, "100");
    SetFocus(edit);
    backend->Key(VK_UP);
    backend->ProcessMessages();
    EXPECT_EQ(WindowTextOf(edit), "101");
    refuse = true;
    backend->Key(VK_DOWN);
    backend->ProcessMessages();
    EXPECT_EQ(WindowTextOf(edit), "101") << "the parent refused the step";
    BOOL failed = TRUE;
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), 101);
    EXPECT_FALSE(failed);
    SetWindowText(edit, "many");
    SendMessage(spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    EXPECT_TRUE(failed);
}
