// A parent may destroy a button, static, up-down or status bar from the notification it sends;
// the control's code still running must not touch freed state (the sanitizer build catches it).
#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/UpDown.h"
#include "tests/platform/controls/ControlsFixture.h"

namespace {

class ControlNotificationLifetimeTest : public ControlsTest {
protected:
    // Destroys the control that tells its parent `code` (WM_COMMAND or WM_NOTIFY), from inside.
    void DestroyOn(UINT code)
    {
        OnMessage() = [code](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (message == WM_COMMAND && HIWORD(wParam) == code) {
                DestroyWindow(reinterpret_cast<HWND>(lParam));
                return true;
            }
            if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == code) {
                DestroyWindow(reinterpret_cast<NMHDR*>(lParam)->hwndFrom);
                result = 0;
                return true;
            }
            return false;
        };
    }
};

} // namespace

TEST_F(ControlNotificationLifetimeTest, ControlsOutliveNotificationsThatDestroyThem)
{
    for (UINT code : {static_cast<UINT>(BN_HILITE), static_cast<UINT>(BN_UNHILITE), static_cast<UINT>(BN_CLICKED)}) {
        HWND button = Child(WC_BUTTON, "OK", BS_AUTOCHECKBOX | BS_NOTIFY, 10, 10, 80, 20, 1);
        DestroyOn(code);
        backend->Advance(GetDoubleClickTime() + 1);
        backend->Click(1, At(button, 5, 5));
        backend->ProcessMessages();
        EXPECT_FALSE(IsWindow(button)) << "code " << code;
        EXPECT_EQ(GetCapture(), nullptr);
    }
    HWND keyed = Child(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 80, 20, 2);
    SetFocus(keyed);
    DestroyOn(BN_CLICKED);
    backend->Key(VK_SPACE, " ");
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(keyed));

    HWND label = Child(WC_STATIC, "Link", SS_NOTIFY, 10, 40, 60, 16, 3);
    DestroyOn(STN_CLICKED);
    backend->Click(1, At(label, 5, 5));
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(label));

    HWND spin = Child(UPDOWN_CLASS, "", 0, 100, 10, 16, 24, 4);
    SendMessage(spin, UDM_SETRANGE32, 0, 10);
    DestroyOn(UDN_DELTAPOS);
    backend->MouseDown(1, At(spin, 8, 3));
    backend->MouseUp(1, At(spin, 8, 3));
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(spin));
    EXPECT_EQ(GetCapture(), nullptr);

    HWND bar = Child(STATUSCLASSNAME, "Ready", 0, 0, 0, 0, 0, 5);
    DestroyOn(NM_CLICK);
    backend->Click(1, At(bar, 20, 5));
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(bar));
    OnMessage() = nullptr;
}
