// The combo box on the X11 backend: its dropped list is a pop-up of its own on the display, and
// clicks the display reports on it choose an item while the combo box holds the mouse.
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/ThreadApi.h"

#include "tests/platform/win/X11TestFixture.h"

namespace {

class X11ComboBoxTest : public X11Test {
protected:
    void Click(HWND top, POINT screen)
    {
        for (int type : {ButtonPress, ButtonRelease}) {
            XEvent event{};
            XButtonEvent& b = event.xbutton;
            b.type = type;
            b.display = other;
            b.window = backend->XWindowOf(top);
            b.root = DefaultRootWindow(other);
            b.time = ++time;
            RECT r;
            GetWindowRect(top, &r);
            b.x_root = screen.x;
            b.y_root = screen.y;
            b.x = screen.x - r.left;
            b.y = screen.y - r.top;
            b.state = type == ButtonRelease ? Button1Mask : 0;
            b.button = Button1;
            b.same_screen = True;
            XSendEvent(other, b.window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
            XFlush(other);
        }
    }
    static HWND DroppedList()
    {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM out) {
            char name[32] = {};
            GetClassName(hwnd, name, sizeof name);
            if (std::string(name) == WC_COMBOLBOX && IsWindowVisible(hwnd))
                *reinterpret_cast<HWND*>(out) = hwnd;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    Time time = 1000;
};

} // namespace

TEST_F(X11ComboBoxTest, DroppedListIsAPopUpThatAClickChoosesFrom)
{
    RegisterStandardControls();
    HWND frame = Make(WS_POPUP | WS_VISIBLE, 40, 40, 300, 260);
    HWND combo = CreateWindowEx(0, WC_COMBOBOX, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 150,
                                150, frame, reinterpret_cast<HMENU>(static_cast<uintptr_t>(5)), nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    for (const char* s : {"one", "two", "three", "four", "five"})
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessage(combo, CB_SETCURSEL, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(frame, nullptr, FALSE) && Of(frame, WM_PAINT).size() >= 1; }));

    POINT field{20, 8};
    ClientToScreen(combo, &field);
    Click(frame, field);
    ASSERT_TRUE(PumpUntil([&] { return SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_NE(backend->XWindowOf(list), 0ul) << "the dropped list is a window of its own on the display";
    RECT dropped;
    GetWindowRect(list, &dropped);
    RECT window;
    GetWindowRect(combo, &window);
    EXPECT_EQ(dropped.top, window.bottom);

    RECT item{};
    SendMessage(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    POINT pick{10, (item.top + item.bottom) / 2};
    ClientToScreen(list, &pick);
    Click(list, pick);
    ASSERT_TRUE(PumpUntil([&] { return SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(frame);
}
