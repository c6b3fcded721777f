// A dialog made from a template on the X11 backend under Xvfb: keys typed by another X client
// fill its edit, move the focus and check a box, Enter ends it, and the program reads the result;
// the screen then shows, pixel for pixel, what the headless backend paints for the same keys.
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StandardControls.h"
#include "platform/controls/Static.h"
#include "platform/core/CRect.h"

#include <cctype>
#include <cstdio>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::Screenshot;
using screen_capture::PixelAt;

namespace {

constexpr WORD kNameEdit = 1013;
constexpr WORD kShowCheck = 1064;

DialogItemTemplate DialogItemOf(WORD atom, const char* text, DWORD style, short x, short y, short cx, short cy, WORD id)
{
    DialogItemTemplate item;
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    item.windowClass.isOrdinal = true;
    item.windowClass.ordinal = atom;
    item.title.text = text;
    return item;
}

std::vector<BYTE> NameTemplate()
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.x = 20;
    t.y = 20;
    t.cx = 200;
    t.cy = 90;
    t.title = "New Project";
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    const WORD edit = static_cast<WORD>(DialogControlClass::Edit);
    const WORD button = static_cast<WORD>(DialogControlClass::Button);
    const WORD stat = static_cast<WORD>(DialogControlClass::Static);
    t.items.push_back(DialogItemOf(stat, "&Name:", SS_LEFT, 7, 9, 30, 8, 0xFFFF));
    t.items.push_back(DialogItemOf(edit, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 40, 7, 150, 12, kNameEdit));
    t.items.push_back(DialogItemOf(button, "Options", BS_GROUPBOX, 7, 25, 186, 32, 0xFFFF));
    t.items.push_back(DialogItemOf(button, "&Show the title", BS_AUTOCHECKBOX | WS_TABSTOP, 14, 38, 100, 10, kShowCheck));
    t.items.push_back(DialogItemOf(button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 88, 68, 50, 14, IDOK));
    t.items.push_back(DialogItemOf(button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 143, 68, 50, 14, IDCANCEL));
    return WriteDialogTemplate(t);
}

struct Result {
    bool done = false;
    std::string name;
    UINT show = 0;
};

INT_PTR CALLBACK NameProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        auto* result = reinterpret_cast<Result*>(GetWindowLongPtr(dlg, DWLP_USER));
        char text[128];
        GetDlgItemText(dlg, kNameEdit, text, sizeof text);
        result->name = text;
        result->show = IsDlgButtonChecked(dlg, kShowCheck);
        result->done = true;
        return TRUE;
    }
    return FALSE;
}

class X11DialogTest : public X11Test {
protected:
    // Dispatches through the dialog, as the program's loop does, until the condition holds.
    static bool PumpDialogUntil(HWND dlg, const std::function<bool()>& done, int ms = 60000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsWindow(dlg) || !IsDialogMessage(dlg, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessage(&msg);
                }
            }
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }
};

} // namespace

TEST_F(X11DialogTest, TypesIntoADialogFromATemplateAndReadsTheResult)
{
    RegisterStandardControls();
    const std::vector<BYTE> bytes = NameTemplate();
    Result result;
    HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), nullptr, NameProc,
                                         reinterpret_cast<LPARAM>(&result));
    ASSERT_NE(dlg, nullptr);
    created.push_back(dlg);
    ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return GetFocus() == GetDlgItem(dlg, kNameEdit); }));

    for (KeySym key : {XK_v, XK_o, XK_s, XK_t, XK_r, XK_e, XK_l})
        SendKey(dlg, key);
    ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return GetWindowTextLength(GetDlgItem(dlg, kNameEdit)) == 7; }));
    SendKey(dlg, XK_Tab);
    ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return GetFocus() == GetDlgItem(dlg, kShowCheck); }));
    SendKey(dlg, XK_space);
    ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return IsDlgButtonChecked(dlg, kShowCheck) == BST_CHECKED; }));
    SendKey(dlg, XK_Return);
    ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return result.done; }));
    EXPECT_EQ(result.name, "vostrel");
    EXPECT_EQ(result.show, static_cast<UINT>(BST_CHECKED));

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    ASSERT_TRUE(SettleWith([dlg](const std::function<bool()>& done, int ms) { return PumpDialogUntil(dlg, done, ms); }));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    RECT frame;
    GetWindowRect(dlg, &frame);
    DestroyWindow(dlg);

    // The same dialog and keys on the headless backend.
    HeadlessBackend& headless = HeadlessBackend::Install(SIZE{server->Width(), server->Height()});
    backend = nullptr;
    Result twinResult;
    HWND twin = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), nullptr, NameProc,
                                          reinterpret_cast<LPARAM>(&twinResult));
    ASSERT_NE(twin, nullptr);
    for (char c : std::string("vostrel"))
        headless.Key(static_cast<UINT>(std::toupper(c)), std::string(1, c));
    headless.Key(VK_TAB, "\t");
    headless.Key(VK_SPACE, " ");
    headless.Key(VK_RETURN, "\r");
    ASSERT_TRUE(PumpDialogUntil(twin, [&] { return twinResult.done; }));
    ASSERT_TRUE(PumpDialogUntil(twin, NothingToPaint));
    cairo_surface_t* expected = headless.Capture(twin);
    ASSERT_NE(expected, nullptr);
    int mismatches = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < frame.bottom - frame.top; ++y)
        for (int x = 0; x < frame.right - frame.left; ++x)
            if (PixelAt(expected, x, y) != PixelAt(shot, frame.left + x, frame.top + y) && !mismatches++) {
                firstX = x;
                firstY = y;
            }
    EXPECT_EQ(mismatches, 0) << "first at (" << firstX << ", " << firstY << ")";
    DestroyWindow(twin);
    cairo_surface_destroy(expected);
    cairo_surface_destroy(shot);
}

// A dialog that holds its owner disabled, minimised by the minimise box of its caption, comes back
// where it was, with the keys, when the user clicks the owner. The greyed box of a dialog without
// one hides nothing: the letter typed after the press still reaches the dialog's edit.
TEST_F(X11DialogTest, AMinimisedDialogComesBackAtAClickOnTheWindowItHolds)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert", "xdotool"}));
    RegisterStandardControls();
    const struct {
        DWORD box;
        bool minimises;
    } cases[] = {{WS_MINIMIZEBOX, true}, {WS_MAXIMIZEBOX, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minimises ? "with a minimise box" : "with its minimise box greyed");
        const HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 700, 500, nullptr, 0, "Owner");
        DialogTemplate t;
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | c.box;
        t.x = 60;
        t.y = 60;
        t.cx = 200;
        t.cy = 60;
        t.title = "Dialog";
        t.pointSize = 8;
        t.typeface = "MS Shell Dlg";
        t.items.push_back(DialogItemOf(static_cast<WORD>(DialogControlClass::Edit), "",
                                 WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 7, 150, 12, kNameEdit));
        const std::vector<BYTE> bytes = WriteDialogTemplate(t);
        Result result;
        const HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), owner,
                                                   NameProc, reinterpret_cast<LPARAM>(&result));
        ASSERT_NE(dlg, nullptr);
        created.push_back(dlg);
        // As a modal run shows its dialog: the owner disabled first.
        EnableWindow(owner, FALSE);
        ShowWindow(dlg, SW_SHOWNORMAL);
        ASSERT_TRUE(WaitForFocus(dlg));
        ASSERT_TRUE(Settle());
        RECT before{};
        GetWindowRect(dlg, &before);
        // The minimise box: the slot left of the maximise box, right of the close box.
        POINT box{-1, -1};
        for (int x = before.right - 1; x > before.right - 120 && box.x < 0; --x)
            if (SendMessage(dlg, WM_NCHITTEST, 0, MAKELPARAM(x, before.top + 10)) == HTMINBUTTON)
                box = POINT{x - 6, before.top + 10};
        ASSERT_GE(box.x, 0) << "no minimise box in the caption";
        ASSERT_TRUE(ClickOnScreen(box.x, box.y));
        if (c.minimises) {
            ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return IsIconic(dlg) != FALSE; })) << "the box did not minimise it";
            RECT owned{};
            GetWindowRect(owner, &owned);
            ASSERT_TRUE(ClickOnScreen(owned.left + 50, owned.bottom - 50));
            ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return !IsIconic(dlg); })) << "the click on the owner left it minimised";
        }
        ASSERT_TRUE(WaitForFocus(dlg)) << "the dialog does not have the keys";
        SendKey(dlg, XK_x);
        ASSERT_TRUE(PumpDialogUntil(dlg, [&] { return GetWindowTextLength(GetDlgItem(dlg, kNameEdit)) == 1; }));
        EXPECT_FALSE(IsIconic(dlg));
        RECT after{};
        GetWindowRect(dlg, &after);
        EXPECT_TRUE(EqualRect(&before, &after)) << "at " << after.left << "," << after.top;
        ASSERT_TRUE(Settle());
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        ASSERT_NE(shot, nullptr);
        // The dialog's caption shows on the screen where it was, in the active caption's colour.
        const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
        EXPECT_EQ(PixelAt(shot, (before.left + before.right) / 2, before.top + 8),
                  (static_cast<uint32_t>(GetRValue(caption)) << 16) | (GetGValue(caption) << 8) | GetBValue(caption));
        cairo_surface_destroy(shot);
        EnableWindow(owner, TRUE);
        DestroyWindow(dlg);
        DestroyWindow(owner);
    }
}
