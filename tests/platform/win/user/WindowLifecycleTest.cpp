// Window classes, the message order of creation and destruction, and window data.
#include "platform/win/WindowTestSupport.h"

#include "platform/core/WinError.h"

#include <cstring>

namespace {

using Lifecycle = WindowTest;

TEST_F(Lifecycle, OverlappedCreationSendsTheMessagesInOrder)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 300, 200);
    ASSERT_TRUE(hwnd);
    auto messages = MessageLog::Get().Messages(hwnd, {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
                                                      WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
    std::vector<UINT> expected{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                               WM_SHOWWINDOW};
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // Shown top-level windows are activated and get the focus.
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
}

TEST_F(Lifecycle, WindowIsNotVisibleDuringCreate)
{
    bool visibleInCreate = true;
    MessageLog::Get().handlers[WM_CREATE] = [&](HWND h, WPARAM, LPARAM, bool&) -> LRESULT {
        visibleInCreate = IsWindowVisible(h) != FALSE;
        return 0;
    };
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    ASSERT_TRUE(hwnd);
    EXPECT_FALSE(visibleInCreate);
    EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(Lifecycle, ChildCreationNotifiesTheParent)
{
    HWND parent = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    MessageLog::Get().Clear();
    HWND child = Create(WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, parent, 0, 42);
    ASSERT_TRUE(child);
    ASSERT_EQ(MessageLog::Get().Count(parent, WM_PARENTNOTIFY), 1u);
    for (auto& e : MessageLog::Get().entries)
        if (e.hwnd == parent && e.message == WM_PARENTNOTIFY) {
            EXPECT_EQ(LOWORD(e.wParam), WM_CREATE);
            EXPECT_EQ(HIWORD(e.wParam), 42);
            EXPECT_EQ(reinterpret_cast<HWND>(e.lParam), child);
        }
    // A child without a thick frame or caption gets no WM_GETMINMAXINFO.
    EXPECT_EQ(MessageLog::Get().Count(child, WM_GETMINMAXINFO), 0u);
    MessageLog::Get().Clear();
    HWND quiet = Create(WS_CHILD, 0, 0, 5, 5, parent, WS_EX_NOPARENTNOTIFY);
    ASSERT_TRUE(quiet);
    EXPECT_EQ(MessageLog::Get().Count(parent, WM_PARENTNOTIFY), 0u);
}

TEST_F(Lifecycle, CreateReturningMinusOneFailsAndDestroys)
{
    MessageLog::Get().handlers[WM_CREATE] = [](HWND, WPARAM, LPARAM, bool&) -> LRESULT { return -1; };
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(hwnd, nullptr);
    auto& entries = MessageLog::Get().entries;
    ASSERT_FALSE(entries.empty());
    HWND attempted = entries.front().hwnd;
    EXPECT_FALSE(IsWindow(attempted));
    EXPECT_EQ(MessageLog::Get().Messages(attempted, {WM_CREATE, WM_DESTROY, WM_NCDESTROY}),
              (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(Lifecycle, NcCreateFalseFailsTheCreation)
{
    MessageLog::Get().handlers[WM_NCCREATE] = [](HWND, WPARAM, LPARAM, bool&) -> LRESULT { return FALSE; };
    EXPECT_EQ(Create(WS_POPUP, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(MessageLog::Get().Count(nullptr, WM_CREATE), 0u);
}

TEST_F(Lifecycle, DestroySendsDestroyTopDownAndNcDestroyBottomUp)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    HWND grandchild = Create(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, child);
    MessageLog::Get().Clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (auto& e : MessageLog::Get().entries)
        if (e.message == WM_DESTROY || e.message == WM_NCDESTROY)
            order.emplace_back(e.hwnd, e.message);
    std::vector<std::pair<HWND, UINT>> expected{{top, WM_DESTROY},          {child, WM_DESTROY},
                                                {grandchild, WM_DESTROY},   {grandchild, WM_NCDESTROY},
                                                {child, WM_NCDESTROY},      {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(Lifecycle, OwnedWindowsAreDestroyedFirst)
{
    HWND owner = Create(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 200);
    HWND owned = Create(WS_POPUP, 0, 0, 50, 50, owner);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetParent(owned), owner);   // a pop-up's parent is its owner
    // Pop-up and child together make another owned pop-up, placed on the screen.
    HWND both = Create(WS_POPUP | WS_CHILD, 300, 310, 50, 50, owner);
    EXPECT_EQ(GetWindow(both, GW_OWNER), owner);
    EXPECT_FALSE(IsChild(owner, both));
    EXPECT_EQ(GetWindowLongPtr(both, GWL_STYLE) & WS_CHILD, 0);
    RECT placed{};
    GetWindowRect(both, &placed);
    EXPECT_EQ(placed.left, 300);
    EXPECT_EQ(placed.top, 310);
    MessageLog::Get().Clear();
    DestroyWindow(owner);
    auto destroys = MessageLog::Get().Messages(nullptr, {WM_DESTROY});
    ASSERT_EQ(destroys.size(), 3u);
    EXPECT_NE(MessageLog::Get().entries.front().hwnd, owner);
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_FALSE(IsWindow(both));
}

TEST_F(Lifecycle, DestroyMovesFocusAndCaptureOff)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    SetFocus(child);
    SetCapture(child);
    ASSERT_EQ(GetFocus(), child);
    MessageLog::Get().Clear();
    DestroyWindow(child);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), top);   // back to the parent
    EXPECT_EQ(MessageLog::Get().Count(child, WM_CAPTURECHANGED), 1u);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_KILLFOCUS), 1u);
    EXPECT_EQ(MessageLog::Get().Count(top, WM_SETFOCUS), 1u);
}

TEST_F(Lifecycle, ClassesRegisterOnceAndHoldTheirData)
{
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingWndProc;
    wc.cbClsExtra = 16;
    wc.cbWndExtra = 24;
    wc.lpszClassName = "LifecycleExtraClass";
    ATOM atom = RegisterClassEx(&wc);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassEx(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASS info{};
    ASSERT_TRUE(GetClassInfo(nullptr, "lifecycleextraclass", &info));   // names ignore case
    EXPECT_EQ(info.cbWndExtra, 24);
    HWND hwnd = CreateWindowEx(0, "LifecycleExtraClass", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    created.push_back(hwnd);
    EXPECT_EQ(GetWindowLongPtr(hwnd, 16), 0);
    SetWindowLongPtr(hwnd, 16, 0x1234);
    EXPECT_EQ(GetWindowLongPtr(hwnd, 16), 0x1234);
    EXPECT_EQ(GetWindowLongPtr(hwnd, 17), 0);   // past the extra bytes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    SetClassLongPtr(hwnd, GCLP_HCURSOR, 0x77);
    EXPECT_EQ(GetClassLongPtr(hwnd, GCLP_HCURSOR), 0x77u);
    char name[64];
    EXPECT_EQ(GetClassName(hwnd, name, sizeof name), static_cast<int>(std::strlen("LifecycleExtraClass")));
    EXPECT_STREQ(name, "LifecycleExtraClass");
    EXPECT_FALSE(UnregisterClass("LifecycleExtraClass", nullptr));   // a window still uses it
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClass("LifecycleExtraClass", nullptr));
    EXPECT_EQ(CreateWindowEx(0, "LifecycleExtraClass", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(Lifecycle, TextGoesThroughTheTextMessages)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    char buffer[8];
    EXPECT_EQ(GetWindowText(hwnd, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "test");
    ASSERT_TRUE(SetWindowText(hwnd, "a longer title"));
    EXPECT_EQ(GetWindowTextLength(hwnd), 14);
    EXPECT_EQ(GetWindowText(hwnd, buffer, sizeof buffer), 7);   // truncated, terminated
    EXPECT_STREQ(buffer, "a longe");
    EXPECT_GE(MessageLog::Get().Count(hwnd, WM_SETTEXT), 1u);
}

TEST_F(Lifecycle, StylesChangeThroughStyleMessages)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    MessageLog::Get().Clear();
    LONG old = SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER));
    EXPECT_EQ(static_cast<DWORD>(old) & WS_BORDER, 0u);
    EXPECT_EQ(MessageLog::Get().Messages(hwnd), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_NE(static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & WS_BORDER, 0u);
}

LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC g_previous = nullptr;
int g_subclassCalls = 0;
LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_subclassCalls;
    if (message == WM_USER + 9)
        return 99;
    return CallWindowProc(g_previous, hwnd, message, wParam, lParam);
}

TEST_F(Lifecycle, SubclassingReplacesTheProcedureAndChainsToTheOld)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    g_subclassCalls = 0;
    g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingSubclass)));
    EXPECT_EQ(g_previous, RecordingWndProc);
    MessageLog::Get().Clear();
    EXPECT_EQ(SendMessage(hwnd, WM_USER + 9, 0, 0), 99);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 9), 0u);
    SendMessage(hwnd, WM_USER + 10, 0, 0);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 10), 1u);   // reached the original
    EXPECT_EQ(g_subclassCalls, 2);
    SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
}

BOOL CALLBACK CollectProps(HWND, LPCSTR key, HANDLE data)
{
    (void)key;
    (void)data;
    return TRUE;
}

TEST_F(Lifecycle, PropertiesUseStringOrAtomKeys)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    int value = 0;
    EXPECT_TRUE(SetProp(hwnd, "Owner", &value));
    EXPECT_EQ(GetProp(hwnd, "OWNER"), &value);
    EXPECT_TRUE(SetProp(hwnd, MAKEINTRESOURCE(5), reinterpret_cast<HANDLE>(7)));
    EXPECT_EQ(GetProp(hwnd, MAKEINTRESOURCE(5)), reinterpret_cast<HANDLE>(7));
    EXPECT_EQ(EnumProps(hwnd, CollectProps), TRUE);
    EXPECT_EQ(RemoveProp(hwnd, "owner"), &value);
    EXPECT_EQ(GetProp(hwnd, "Owner"), nullptr);
}

TEST_F(Lifecycle, RegisteredMessagesAreSharedByNameIgnoringCase)
{
    UINT a = RegisterWindowMessage("Vostrel.Test.Message");
    UINT b = RegisterWindowMessage("vostrel.test.message");
    UINT c = RegisterWindowMessage("Vostrel.Other");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST_F(Lifecycle, DialogItemsAreFoundById)
{
    HWND dialog = Create(WS_POPUP, 0, 0, 100, 100);
    HWND item = Create(WS_CHILD, 0, 0, 10, 10, dialog, 0, 1001);
    EXPECT_EQ(GetDlgItem(dialog, 1001), item);
    EXPECT_EQ(GetDlgCtrlID(item), 1001);
    EXPECT_TRUE(SetDlgItemInt(dialog, 1001, static_cast<UINT>(-42), TRUE));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, 1001, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    SetDlgItemText(dialog, 1001, "12x");
    EXPECT_EQ(GetDlgItemInt(dialog, 1001, &ok, FALSE), 0u);
    EXPECT_FALSE(ok);
    SetDlgItemText(dialog, 1001, "99999999999");
    GetDlgItemInt(dialog, 1001, &ok, FALSE);
    EXPECT_FALSE(ok);   // out of range
}

TEST_F(Lifecycle, MessageOnlyWindowsLiveOutsideTheDesktop)
{
    HWND hwnd = Create(0, 0, 0, 0, 0, HWND_MESSAGE);
    ASSERT_TRUE(hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(FindWindowEx(nullptr, nullptr, kRecordingClass, "test") == hwnd, false);
    EXPECT_EQ(FindWindowEx(HWND_MESSAGE, nullptr, kRecordingClass, nullptr), hwnd);
    EXPECT_TRUE(PostMessage(hwnd, WM_USER, 1, 2));
    MessageLog::Get().Clear();
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER), 1u);
    EXPECT_EQ(backend->Find(hwnd), nullptr);   // no native window
}

TEST_F(Lifecycle, DesktopIsTheScreen)
{
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &r));
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 600);
    HWND top = Create(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetParent(top), nullptr);
}

TEST_F(Lifecycle, TopLevelWindowsGetNativeWindowsWithSurfaces)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 30, 40, 120, 80);
    const MemoryBackend::Native* native = backend->Find(top);
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(native->shown);
    EXPECT_EQ(native->rect.left, 30);
    EXPECT_EQ(native->rect.right, 150);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    EXPECT_EQ(backend->Find(child), nullptr);
    DestroyWindow(top);
    EXPECT_EQ(backend->Find(top), nullptr);
}

} // namespace
