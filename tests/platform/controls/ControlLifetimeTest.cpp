// A parent may destroy a control from the control's own notification; the control's code that
// is still running must not touch freed state (the sanitizer build catches it when it does).
#include "StandardControlFixture.h"

#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxDefs.h"

namespace {

class ControlLifetimeTest : public StandardControlTest {
protected:
    // Destroys the control that sends `code` to the parent, from inside that notification.
    void DestroyOn(UINT code)
    {
        Handler() = [this, code](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (hwnd != parent || message != WM_COMMAND || HIWORD(wParam) != code)
                return false;
            DestroyWindow(reinterpret_cast<HWND>(lParam));
            result = 0;
            return true;
        };
    }
};

} // namespace

TEST_F(ControlLifetimeTest, ControlsOutliveTheirNotificationsThatDestroyThem)
{
    for (UINT code : {static_cast<UINT>(EN_UPDATE), static_cast<UINT>(EN_CHANGE)}) {
        HWND edit = Control(WC_EDIT, ES_AUTOHSCROLL | WS_VSCROLL | ES_MULTILINE, 10, 10, 200, 60);
        SetFocus(edit);
        backend->ProcessMessages();
        DestroyOn(code);
        Type("x");
        EXPECT_FALSE(IsWindow(edit));
    }

    HWND list = Control(WC_LISTBOX, LBS_NOTIFY, 10, 10, 150, 100);
    for (const char* s : {"a", "b", "c"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    DestroyOn(LBN_SELCHANGE);
    RECT r{};
    SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    backend->Click(1, Screen(list, 5, (r.top + r.bottom) / 2));
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(list));

    for (UINT code : {static_cast<UINT>(CBN_SELENDOK), static_cast<UINT>(CBN_CLOSEUP), static_cast<UINT>(CBN_SELCHANGE)}) {
        HWND combo = Control(WC_COMBOBOX, CBS_DROPDOWN | WS_VSCROLL, 10, 10, 150, 120);
        for (const char* s : {"a", "b", "c"})
            SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SetFocus(combo);
        backend->ProcessMessages();
        Handler() = nullptr;
        Press(VK_F4);
        ASSERT_TRUE(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0));
        DestroyOn(code);
        Press(VK_DOWN);   // through the combo's edit: the selection changes
        if (IsWindow(combo))
            Press(VK_RETURN);
        EXPECT_FALSE(IsWindow(combo)) << "code " << code;
        EXPECT_EQ(GetCapture(), nullptr);
    }
    Handler() = nullptr;
}
