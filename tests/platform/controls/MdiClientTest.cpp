// The MDI client with its frame and children on the headless backend: creation and ids,
// activation and its messages, the Window menu, maximising into the frame's bar and title,
// keyboard cycling and closing, destruction, cascading and tiling.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/MdiClient.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "support/DialogAutomation.h"
#include "support/MenuDriver.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kFirstChild = 0xFF00;
constexpr UINT kCascadeCommand = 200;

struct Activation {
    HWND to;
    HWND deactivated;
    HWND activated;
};

std::vector<Activation>& Activations()
{
    static std::vector<Activation> list;
    return list;
}

HWND& Client()
{
    static HWND client = nullptr;
    return client;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        HMENU windowMenu = GetSubMenu(GetMenu(hwnd), 1);
        CLIENTCREATESTRUCT ccs{windowMenu, kFirstChild};
        Client() = CreateWindowEx(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                  0, 0, 0, hwnd, nullptr, nullptr, &ccs);
        return Client() ? 0 : -1;
    }
    return DefFrameProc(hwnd, Client(), message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MDIACTIVATE)
        Activations().push_back({hwnd, reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam)});
    return DefMDIChildProc(hwnd, message, wParam, lParam);
}

class MdiClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend = &HeadlessBackend::Install();
        SetTestFontMode(true);
        RegisterStandardControls();
        static bool registered = false;
        if (!registered) {
            registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = FrameProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
            wc.lpszClassName = "MdiTestFrame";
            RegisterClass(&wc);
            wc.lpfnWndProc = ChildProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
            wc.lpszClassName = "MdiTestChild";
            RegisterClass(&wc);
        }
        Activations().clear();
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        AppendMenu(file, MF_STRING, 100, "&New");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        HMENU window = CreatePopupMenu();
        AppendMenu(window, MF_STRING, kCascadeCommand, "&Cascade");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
        frame = CreateWindowEx(0, "MdiTestFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600, 400, nullptr,
                               bar, nullptr, nullptr);
        ASSERT_TRUE(frame);
        client = Client();
        windowMenu = window;
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        if (IsWindow(frame))
            DestroyWindow(frame);
        backend->ProcessMessages();
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }

    HWND NewChild(const char* title, DWORD style = WS_VISIBLE)
    {
        MDICREATESTRUCT mcs{"MdiTestChild", title, nullptr, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            style, 0};
        return reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    }
    HWND Active(BOOL* maximised = nullptr)
    {
        return reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximised)));
    }
    static std::string Text(HWND hwnd)
    {
        char text[256] = {};
        GetWindowText(hwnd, text, sizeof text);
        return text;
    }
    // The Window menu's items after its own, as "label" with a '*' for a check.
    std::vector<std::string> Listed()
    {
        std::vector<std::string> out;
        for (int i = 1; i < GetMenuItemCount(windowMenu); ++i) {
            char text[128] = {};
            GetMenuString(windowMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT state = GetMenuState(windowMenu, static_cast<UINT>(i), MF_BYPOSITION);
            if (state & MF_SEPARATOR) {
                out.push_back("-");
                continue;
            }
            std::string item = text;
            item += "=" + std::to_string(GetMenuItemID(windowMenu, i) - kFirstChild);
            if (state & MF_CHECKED)
                item += "*";
            out.push_back(item);
        }
        return out;
    }
    // A pixel of a window's caption (its top row at the right end, above the close button and
    // clear of the children cascaded over it), from the frame's surface, as 0x00RRGGBB.
    uint32_t CaptionPixel(HWND hwnd)
    {
        RECT r, f;
        GetWindowRect(hwnd, &r);
        GetWindowRect(frame, &f);
        const int x = r.right - GetSystemMetrics(SM_CXFRAME) - 4 - f.left;
        const int y = r.top + GetSystemMetrics(SM_CYFRAME) - f.top;
        cairo_surface_t* s = backend->Capture(frame);
        if (!s)
            return 0xFFFFFFFF;
        cairo_surface_flush(s);
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s);
        const uint32_t value = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        cairo_surface_destroy(s);
        return value;
    }
    static uint32_t ColorOf(int index)
    {
        const COLORREF c = GetSysColor(index);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // Delivers the ready messages as an MDI program's loop does.
    void Pump()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (TranslateMDISysAccel(client, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    void CtrlKey(UINT vk, bool shift = false)
    {
        backend->KeyDown(VK_CONTROL);
        if (shift)
            backend->KeyDown(VK_SHIFT);
        backend->Key(vk);
        if (shift)
            backend->KeyUp(VK_SHIFT);
        backend->KeyUp(VK_CONTROL);
        Pump();
    }

    HeadlessBackend* backend = nullptr;
    HWND frame = nullptr;
    HWND client = nullptr;
    HMENU windowMenu = nullptr;
};

TEST_F(MdiClientTest, CreatesChildrenWithIdsActivatesTheNewestAndListsThemInTheWindowMenu)
{
    RECT area;
    GetClientRect(client, &area);
    RECT frameClient;
    GetClientRect(frame, &frameClient);
    EXPECT_EQ(frameClient.right, area.right + 2 * GetSystemMetrics(SM_CXEDGE)) << "the frame's size sized the client";

    HWND a = NewChild("Alpha");
    HWND b = NewChild("Beta");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(GetDlgCtrlID(a), static_cast<int>(kFirstChild));
    EXPECT_EQ(GetDlgCtrlID(b), static_cast<int>(kFirstChild + 1));
    EXPECT_TRUE(GetWindowLong(a, GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(GetWindowLong(a, GWL_STYLE) & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW & ~WS_OVERLAPPED));
    BOOL maximised = TRUE;
    EXPECT_EQ(Active(&maximised), b);
    EXPECT_FALSE(maximised);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetWindow(client, GW_CHILD), b) << "the active child is on top";

    // Both sides hear of the change: the one losing, then the one gaining, each told both.
    Activations().clear();
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
    ASSERT_EQ(Activations().size(), 2u);
    EXPECT_EQ(Activations()[0].to, b);
    EXPECT_EQ(Activations()[1].to, a);
    for (const Activation& m : Activations()) {
        EXPECT_EQ(m.deactivated, b);
        EXPECT_EQ(m.activated, a);
    }
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"-", "&1 Alpha=0*", "&2 Beta=1"}));
    // Only the active child's caption looks active, although neither child is the active window.
    backend->ProcessMessages();
    EXPECT_EQ(CaptionPixel(a), ColorOf(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(b), ColorOf(COLOR_INACTIVECAPTION));

    // The menu's command for a child activates it; renaming a child renames its entry.
    SendMessage(frame, WM_COMMAND, kFirstChild + 1, 0);
    EXPECT_EQ(Active(), b);
    SetWindowText(a, "Gamma");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"-", "&1 Gamma=0", "&2 Beta=1*"}));

    // A new Window menu takes the list; the old one is left as it was.
    HMENU other = CreatePopupMenu();
    AppendMenu(other, MF_STRING, 300, "&Tile");
    HMENU oldBar = reinterpret_cast<HMENU>(SendMessage(client, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(other)));
    EXPECT_EQ(oldBar, GetMenu(frame));
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1);
    EXPECT_EQ(GetMenuItemCount(other), 4);
    DestroyMenu(other);
}

TEST_F(MdiClientTest, DestroyingChildrenKeepsIdsContiguousAndActivatesTheNextOne)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    HWND c = NewChild("C");
    ASSERT_EQ(Active(), c);
    // Closing the active child (WM_CLOSE goes through WM_MDIDESTROY) activates the one below.
    SendMessage(c, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(Active(), b);
    // The last child takes a destroyed one's id.
    HWND d = NewChild("D");
    SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetDlgCtrlID(d), static_cast<int>(kFirstChild));
    EXPECT_EQ(GetDlgCtrlID(b), static_cast<int>(kFirstChild + 1));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"-", "&1 D=0*", "&2 B=1"}));
    // A child destroyed directly is forgotten all the same.
    DestroyWindow(d);
    EXPECT_EQ(Active(), b);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"-", "&1 B=0*"}));
    Activations().clear();
    DestroyWindow(b);
    EXPECT_EQ(Active(), nullptr);
    ASSERT_EQ(Activations().size(), 1u) << "the last child hears that it lost the activation";
    EXPECT_EQ(Activations()[0].to, b);
    EXPECT_EQ(Activations()[0].deactivated, b);
    EXPECT_EQ(Activations()[0].activated, nullptr);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1) << "no children, no separator";
    // Messages about windows that are not its children change nothing.
    SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(frame), 0);
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(Active(), nullptr);
}

TEST_F(MdiClientTest, AMaximisedChildJoinsTheFrameTitleAndPutsItsMenuAndButtonsInTheBar)
{
    HMENU bar = GetMenu(frame);
    const int items = GetMenuItemCount(bar);
    HWND a = NewChild("One");
    HWND b = NewChild("Two");
    SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a), 0);
    BOOL maximised = FALSE;
    EXPECT_EQ(Active(&maximised), a);
    EXPECT_TRUE(maximised);
    EXPECT_TRUE(IsZoomed(a));
    EXPECT_EQ(Text(frame), "Frame - [One]");
    // Its client area is the client's whole client area.
    RECT inner, area;
    GetClientRect(a, &inner);
    GetClientRect(client, &area);
    EXPECT_EQ(inner.right, area.right);
    EXPECT_EQ(inner.bottom, area.bottom);
    // The bar: the child's system menu first, then its own items, then the three buttons.
    ASSERT_EQ(GetMenuItemCount(bar), items + 4);
    EXPECT_EQ(GetSubMenu(bar, 0), GetSystemMenu(a, FALSE));
    EXPECT_EQ(GetMenuItemID(bar, items + 1), static_cast<UINT>(SC_MINIMIZE));
    EXPECT_EQ(GetMenuItemID(bar, items + 2), static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(GetMenuItemID(bar, items + 3), static_cast<UINT>(SC_CLOSE));
    EXPECT_TRUE(GetMenuState(bar, static_cast<UINT>(items + 1), MF_BYPOSITION) & MF_RIGHTJUSTIFY);
    RECT close, file;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, static_cast<UINT>(items + 3), &close));
    ASSERT_TRUE(GetMenuItemRect(frame, bar, 1, &file));
    RECT frameRect;
    GetWindowRect(frame, &frameRect);
    EXPECT_GT(close.left, (frameRect.left + frameRect.right) / 2) << "the buttons sit at the bar's right end";
    EXPECT_EQ(close.top, file.top);

    // The frame's own title changes behind the join; the child's too.
    SetWindowText(frame, "App");
    EXPECT_EQ(Text(frame), "App - [One]");
    SetWindowText(a, "Uno");
    EXPECT_EQ(Text(frame), "App - [Uno]");

    // Activating another child hands the maximised state over.
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b), 0);
    EXPECT_TRUE(IsZoomed(b));
    EXPECT_FALSE(IsZoomed(a));
    EXPECT_EQ(Text(frame), "App - [Two]");
    EXPECT_EQ(GetSubMenu(bar, 0), GetSystemMenu(b, FALSE));
    EXPECT_EQ(GetMenuItemCount(bar), items + 4);
    // A new child comes maximised too.
    HWND c = NewChild("Three");
    EXPECT_TRUE(IsZoomed(c));
    EXPECT_FALSE(IsZoomed(b));
    EXPECT_EQ(Text(frame), "App - [Three]");

    // The close button of the bar closes the child, clicked like any bar item.
    MenuDriver driver(*backend);
    ASSERT_TRUE(GetMenuItemRect(frame, bar, static_cast<UINT>(items + 3), &close));
    driver.Click(POINT{(close.left + close.right) / 2, (close.top + close.bottom) / 2});
    Pump();
    EXPECT_FALSE(IsWindow(c));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(IsZoomed(Active())) << "the next child takes the maximised place";

    // Restoring gives the frame its own title and bar back.
    SendMessage(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(Active()), 0);
    EXPECT_EQ(Text(frame), "App");
    EXPECT_EQ(GetMenuItemCount(bar), items);
    EXPECT_EQ(Active(&maximised), b);
    EXPECT_FALSE(maximised);
}

TEST_F(MdiClientTest, TheChildSystemMenuInTheBarClosesTheChildNotTheFrame)
{
    HWND a = NewChild("Doc");
    HWND b = NewChild("Other");
    ShowWindow(b, SW_MAXIMIZE);
    ASSERT_EQ(GetSubMenu(GetMenu(frame), 0), GetSystemMenu(b, FALSE));
    RECT icon;
    ASSERT_TRUE(GetMenuItemRect(frame, GetMenu(frame), 0, &icon));
    MenuDriver driver(*backend);
    driver.ChooseWhenOpen({"Close"});
    driver.Click(POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2});
    Pump();
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_FALSE(IsWindow(b));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(Active(), a);
    EXPECT_TRUE(IsZoomed(a)) << "the next child takes the maximised place";
    EXPECT_EQ(Text(frame), "Frame - [Doc]");
}

TEST_F(MdiClientTest, AltMinusAndTheCaptionIconOpenTheChildsOwnSystemMenu)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    MenuDriver driver(*backend);
    // Alt+'-' from inside the active child: its menu, and Close closes it alone.
    driver.ChooseWhenOpen({"Close"});
    backend->KeyDown(VK_MENU);
    backend->Key(VK_OEM_MINUS, "-");
    backend->KeyUp(VK_MENU);
    Pump();
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_FALSE(IsWindow(b));
    EXPECT_TRUE(IsWindow(frame));
    // A press on the child's caption icon: Maximize maximises the child, not the frame.
    RECT r;
    GetWindowRect(a, &r);
    const POINT icon{r.left + GetSystemMetrics(SM_CXFRAME) + 4, r.top + GetSystemMetrics(SM_CYFRAME) + 4};
    ASSERT_EQ(SendMessage(a, WM_NCHITTEST, 0, MAKELPARAM(icon.x, icon.y)), HTSYSMENU);
    driver.ChooseWhenOpen({"Maximize"});
    driver.Click(icon);
    Pump();
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_TRUE(IsZoomed(a));
    EXPECT_FALSE(IsZoomed(frame));
}

TEST_F(MdiClientTest, CtrlF6CyclesThroughEveryChildAndCtrlF4ClosesTheActiveOne)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    HWND c = NewChild("C");
    std::vector<HWND> seen;
    for (int i = 0; i < 3; ++i) {
        CtrlKey(VK_F6);
        seen.push_back(Active());
    }
    EXPECT_EQ(seen, (std::vector<HWND>{b, a, c}));
    seen.clear();
    for (int i = 0; i < 3; ++i) {
        CtrlKey(VK_F6, true);
        seen.push_back(Active());
    }
    EXPECT_EQ(seen, (std::vector<HWND>{a, b, c}));
    EXPECT_EQ(GetFocus(), c);
    CtrlKey(VK_F4);
    EXPECT_FALSE(IsWindow(c));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_NE(Active(), nullptr);
    // Without Ctrl, F6 is no MDI key.
    HWND before = Active();
    backend->Key(VK_F6);
    Pump();
    EXPECT_EQ(Active(), before);
}

TEST_F(MdiClientTest, AClickActivatesAChildAndArrangingPlacesTheChildren)
{
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    ASSERT_EQ(Active(), b);
    RECT ra;
    GetWindowRect(a, &ra);
    // The part of A that B does not cover: its top-left corner under the caption.
    MenuDriver driver(*backend);
    driver.Click(POINT{ra.left + 8, ra.top + GetSystemMetrics(SM_CYCAPTION) + 8});
    Pump();
    EXPECT_EQ(Active(), a);

    SendMessage(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    RECT area;
    GetClientRect(client, &area);
    RECT r1, r2;
    GetWindowRect(a, &r1);
    GetWindowRect(b, &r2);
    EXPECT_EQ(r1.right - r1.left + r2.right - r2.left, area.right);
    EXPECT_EQ(r1.bottom - r1.top, area.bottom);
    EXPECT_EQ(r1.top, r2.top);

    SendMessage(client, WM_MDICASCADE, 0, 0);
    GetWindowRect(a, &r1);
    GetWindowRect(b, &r2);
    const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(r1.left - r2.left, step) << "the active child ends in front, last in the cascade";
    EXPECT_EQ(r1.top - r2.top, step);

    // Minimised children line up along the bottom.
    ShowWindow(b, SW_MINIMIZE);
    RECT icon;
    GetWindowRect(b, &icon);
    POINT bottomLeft{icon.left, icon.bottom};
    ScreenToClient(client, &bottomLeft);
    EXPECT_EQ(bottomLeft.x, 0);
    EXPECT_EQ(bottomLeft.y, area.bottom);
}

TEST_F(MdiClientTest, PastNineChildrenTheMenuOffersMoreWindows)
{
    std::vector<HWND> children;
    for (int i = 0; i < 11; ++i)
        children.push_back(NewChild(("Doc " + std::to_string(i + 1)).c_str()));
    const std::vector<std::string> listed = Listed();
    ASSERT_EQ(listed.size(), 11u);
    EXPECT_EQ(listed[9], "&9 Doc 9=8");
    EXPECT_EQ(listed[10], "&More Windows...=9");
    // The dialog lists them all; choosing one activates it.
    backend->WhenIdle([] {
        std::vector<HWND> dialogs = dialog_automation::ShownDialogs();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(Text(dialogs[0]), "Select Window");
        HWND list = GetDlgItem(dialogs[0], 100);
        EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 11);
        SendMessage(list, LB_SETCURSEL, 1, 0);   // "Doc 2"
        SendMessage(dialogs[0], WM_COMMAND, IDOK, 0);
    });
    SendMessage(frame, WM_COMMAND, kFirstChild + 9, 0);
    EXPECT_EQ(Active(), children[1]);
}

TEST(MdiArrangeTest, CascadeAndTileCoverTheAreaWithoutGoingOutside)
{
    const RECT area{0, 0, 400, 300};
    EXPECT_TRUE(MdiTileRects(0, area, MDITILE_VERTICAL).empty());
    const std::vector<RECT> three = MdiTileRects(3, area, MDITILE_VERTICAL);
    ASSERT_EQ(three.size(), 3u);
    // Tiled vertically, three tall windows stand side by side.
    EXPECT_EQ(three[0].bottom - three[0].top, 300);
    EXPECT_EQ(three[1].left, 133);
    long covered = 0;
    for (const RECT& r : three) {
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, 400);
        EXPECT_LE(r.bottom, 300);
        covered += (r.right - r.left) * (r.bottom - r.top);
    }
    EXPECT_EQ(covered, 400L * 300L);
    const std::vector<RECT> five = MdiTileRects(5, area, MDITILE_HORIZONTAL);
    ASSERT_EQ(five.size(), 5u);
    // Tiled horizontally, wide windows stacked in two columns of two and three.
    EXPECT_EQ(five[0].right - five[0].left, 200);
    EXPECT_EQ(five[0].bottom - five[0].top, 150);
    EXPECT_EQ(five[2].bottom - five[2].top, 100);
    EXPECT_EQ(five[4].right, 400);
    EXPECT_EQ(five[4].bottom, 300);

    const std::vector<RECT> cascade = MdiCascadeRects(20, area, 24);
    ASSERT_EQ(cascade.size(), 20u);
    for (const RECT& r : cascade) {
        EXPECT_LE(r.right, 400);
        EXPECT_LE(r.bottom, 300);
        EXPECT_EQ(r.right - r.left, cascade[0].right - cascade[0].left);
    }
    EXPECT_EQ(cascade[1].left - cascade[0].left, 24);
}

} // namespace
