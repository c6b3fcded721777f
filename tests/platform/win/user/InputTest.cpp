// Mouse and keyboard input on the headless backend: routing, key flags, hit-testing,
// double-clicks, cursors, activation and the key state.
#include "platform/win/HeadlessFixture.h"

#include "platform/win/detail/CursorShape.h"
#include "platform/win/detail/Input.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/detail/WindowManager.h"

namespace {

class InputTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        top = Make(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
        child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
        backend->ProcessMessages();
        Log().clear();
    }
    HWND top = nullptr;
    HWND child = nullptr;
};

TEST_F(InputTest, ButtonGoesToTheChildUnderThePointInClientCoordinates)
{
    backend->MouseDown(1, POINT{125, 130});
    backend->ProcessMessages();
    auto downs = Of(child, WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 15);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 20);
    EXPECT_TRUE(Of(top, WM_LBUTTONDOWN).empty());
}

TEST_F(InputTest, KeyFlagsFollowHeldButtonsAndModifiers)
{
    backend->KeyDown(VK_SHIFT);
    backend->MouseDown(3, POINT{125, 130});
    backend->MouseMove(POINT{126, 131});
    backend->MouseUp(3, POINT{126, 131});
    backend->ProcessMessages();
    auto down = Of(child, WM_RBUTTONDOWN);
    auto move = Of(child, WM_MOUSEMOVE);
    auto up = Of(child, WM_RBUTTONUP);
    ASSERT_EQ(down.size(), 1u);
    ASSERT_FALSE(move.empty());
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(MK_RBUTTON | MK_SHIFT));
    EXPECT_EQ(move.back().wParam, static_cast<WPARAM>(MK_RBUTTON | MK_SHIFT));
    EXPECT_EQ(up[0].wParam, static_cast<WPARAM>(MK_SHIFT));
    backend->KeyUp(VK_SHIFT);
}

TEST_F(InputTest, CaptureGetsMovesOutsideItWithNegativeCoordinates)
{
    SetCapture(child);
    backend->MouseMove(POINT{5, 7});
    backend->ProcessMessages();
    auto moves = Of(child, WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 5 - 110);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 7 - 110);
    // No WM_SETCURSOR under capture.
    EXPECT_TRUE(Of(child, WM_SETCURSOR).empty());
}

TEST_F(InputTest, SetCursorComesBeforeEachMouseMessage)
{
    backend->MouseMove(POINT{120, 120});
    backend->ProcessMessages();
    const int setCursor = IndexOf(child, WM_SETCURSOR);
    const int move = IndexOf(child, WM_MOUSEMOVE);
    ASSERT_GE(setCursor, 0);
    ASSERT_GE(move, 0);
    EXPECT_LT(setCursor, move);
    auto sc = Of(child, WM_SETCURSOR)[0];
    EXPECT_EQ(reinterpret_cast<HWND>(sc.wParam), child);
    EXPECT_EQ(LOWORD(sc.lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(sc.lParam), WM_MOUSEMOVE);
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskForThem)
{
    HWND dbl = Make(WS_CHILD | WS_VISIBLE, 100, 10, 50, 50, top, 0, "HeadlessRecorderDbl");
    backend->ProcessMessages();
    backend->Click(1, POINT{125, 125});
    backend->Click(1, POINT{126, 126});
    backend->Click(1, POINT{225, 125});
    backend->Click(1, POINT{226, 126});
    backend->ProcessMessages();
    EXPECT_EQ(Of(child, WM_LBUTTONDOWN).size(), 2u);
    EXPECT_TRUE(Of(child, WM_LBUTTONDBLCLK).empty());
    EXPECT_EQ(Of(dbl, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Of(dbl, WM_LBUTTONDBLCLK).size(), 1u);
}

TEST_F(InputTest, DoubleClickNeedsTimeAndDistanceWithinLimits)
{
    HWND dbl = Make(WS_CHILD | WS_VISIBLE, 100, 10, 50, 50, top, 0, "HeadlessRecorderDbl");
    backend->ProcessMessages();
    // Too slow.
    backend->Click(1, POINT{225, 125});
    backend->ProcessMessages();
    backend->AdvanceClock(GetDoubleClickTime() + 1);
    backend->Click(1, POINT{225, 125});
    backend->ProcessMessages();
    EXPECT_TRUE(Of(dbl, WM_LBUTTONDBLCLK).empty());
    // Too far: more than half the double-click rectangle away.
    backend->AdvanceClock(GetDoubleClickTime() + 1);
    backend->Click(1, POINT{225, 125});
    backend->Click(1, POINT{225 + GetSystemMetrics(SM_CXDOUBLECLK), 125});
    backend->ProcessMessages();
    EXPECT_TRUE(Of(dbl, WM_LBUTTONDBLCLK).empty());
    // A third quick press after a double click is a plain press again.
    backend->AdvanceClock(GetDoubleClickTime() + 1);
    Log().clear();
    backend->Click(1, POINT{225, 125});
    backend->Click(1, POINT{225, 125});
    backend->Click(1, POINT{225, 125});
    backend->ProcessMessages();
    EXPECT_EQ(Of(dbl, WM_LBUTTONDOWN).size(), 2u);
    EXPECT_EQ(Of(dbl, WM_LBUTTONDBLCLK).size(), 1u);
}

TEST_F(InputTest, TransparentHitTestPassesThePointToTheWindowBelow)
{
    // `cover` is raised over `child`.
    HWND cover = Make(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Handler() = [cover](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (hwnd == cover && message == WM_NCHITTEST) {
            result = HTTRANSPARENT;
            return true;
        }
        return false;
    };
    backend->ProcessMessages();
    Log().clear();
    backend->Click(1, POINT{125, 130});
    backend->ProcessMessages();
    EXPECT_EQ(Of(child, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_TRUE(Of(cover, WM_LBUTTONDOWN).empty());
    EXPECT_EQ(Of(cover, WM_NCHITTEST).size(), 2u);
}

TEST_F(InputTest, DisabledChildPassesClicksToItsParent)
{
    EnableWindow(child, FALSE);
    backend->ProcessMessages();
    Log().clear();
    backend->MouseDown(1, POINT{125, 130});
    backend->ProcessMessages();
    EXPECT_TRUE(Of(child, WM_LBUTTONDOWN).empty());
    auto downs = Of(top, WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 25);
}

TEST_F(InputTest, DisabledTopLevelWindowGetsNoClickButABeep)
{
    EnableWindow(top, FALSE);
    backend->ProcessMessages();
    Log().clear();
    const size_t beeps = backend->Beeps().size();
    backend->MouseDown(1, POINT{125, 130});
    backend->ProcessMessages();
    EXPECT_TRUE(Of(child, WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(Of(top, WM_LBUTTONDOWN).empty());
    auto sc = Of(top, WM_SETCURSOR);
    ASSERT_EQ(sc.size(), 1u);
    EXPECT_EQ(static_cast<short>(LOWORD(sc[0].lParam)), HTERROR);
    EXPECT_EQ(backend->Beeps().size(), beeps + 1);
}

TEST_F(InputTest, NonClientAreaGetsNonClientMessagesWithTheHitCode)
{
    HWND framed = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 100, 300, 200);
    backend->ProcessMessages();
    Log().clear();
    backend->MouseMove(POINT{450, 110});   // in the caption
    backend->ProcessMessages();
    auto moves = Of(framed, WM_NCMOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 450);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 110);
    EXPECT_TRUE(Of(framed, WM_MOUSEMOVE).empty());
    // The left border shows the sizing cursor.
    backend->MouseMove(POINT{401, 200});
    backend->ProcessMessages();
    EXPECT_EQ(backend->CurrentCursor(), LoadCursor(nullptr, IDC_SIZEWE));
}

TEST_F(InputTest, ClickActivatesAnInactiveWindowAfterAskingIt)
{
    HWND other = Make(WS_POPUP | WS_VISIBLE, 500, 100, 100, 100);
    backend->ProcessMessages();
    SetActiveWindow(other);
    backend->ProcessMessages();
    ASSERT_EQ(GetActiveWindow(), other);
    Log().clear();
    backend->Click(1, POINT{125, 130});
    backend->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), top);
    const int ask = IndexOf(child, WM_MOUSEACTIVATE);
    const int down = IndexOf(child, WM_LBUTTONDOWN);
    ASSERT_GE(ask, 0);
    ASSERT_GE(down, 0);
    EXPECT_LT(ask, down);
}

TEST_F(InputTest, ActivateAndEatSwallowsTheClick)
{
    HWND other = Make(WS_POPUP | WS_VISIBLE, 500, 100, 100, 100);
    SetActiveWindow(other);
    backend->ProcessMessages();
    Handler() = [this](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (hwnd == child && message == WM_MOUSEACTIVATE) {
            result = MA_ACTIVATEANDEAT;
            return true;
        }
        return false;
    };
    Log().clear();
    backend->MouseDown(1, POINT{125, 130});
    backend->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_TRUE(Of(child, WM_LBUTTONDOWN).empty());
}

// The wheel turns the window under the pointer, wherever the keys are; what it leaves goes up
// to its parent. The window holding the mouse, and a drop-down holding the keys, take the turns
// made elsewhere; a window behind a modal dialog gets none.
TEST_F(InputTest, TheWheelTurnsTheWindowUnderThePointer)
{
    HWND frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 100, 300, 200);
    HWND keys = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, frame);
    HWND under = Make(WS_CHILD | WS_VISIBLE, 10, 100, 100, 50, frame);
    SetActiveWindow(frame);
    SetFocus(keys);
    backend->ProcessMessages();
    POINT pt{30, 20};
    ClientToScreen(under, &pt);
    Log().clear();
    backend->Wheel(-WHEEL_DELTA, pt);
    backend->Wheel(WHEEL_DELTA, pt, HeadlessBackend::WheelAxis::Horizontal);
    backend->ProcessMessages();
    auto wheels = Of(under, WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(wheels[0].lParam), pt.x);   // screen coordinates
    EXPECT_EQ(Of(frame, WM_MOUSEWHEEL).size(), 1u) << "the turn the child left did not reach its parent";
    EXPECT_TRUE(Of(keys, WM_MOUSEWHEEL).empty());
    auto tilts = Of(under, WM_MOUSEHWHEEL);
    ASSERT_EQ(tilts.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(tilts[0].wParam), WHEEL_DELTA);

    SetCapture(keys);
    Log().clear();
    backend->Wheel(-WHEEL_DELTA, pt);
    backend->ProcessMessages();
    EXPECT_EQ(Of(keys, WM_MOUSEWHEEL).size(), 1u);
    EXPECT_TRUE(Of(under, WM_MOUSEWHEEL).empty());
    ReleaseCapture();

    HWND list = Make(WS_POPUP | WS_VISIBLE, 420, 400, 100, 100, frame);
    SetFocus(list);
    backend->ProcessMessages();
    Log().clear();
    backend->Wheel(-WHEEL_DELTA, pt);
    backend->Wheel(-WHEEL_DELTA, POINT{450, 450});
    backend->ProcessMessages();
    EXPECT_EQ(Of(list, WM_MOUSEWHEEL).size(), 2u);
    EXPECT_TRUE(Of(under, WM_MOUSEWHEEL).empty());
    DestroyWindow(list);

    EnableWindow(frame, FALSE);
    SetFocus(nullptr);
    backend->ProcessMessages();
    Log().clear();
    backend->Wheel(-WHEEL_DELTA, pt);
    backend->ProcessMessages();
    EXPECT_TRUE(Of(under, WM_MOUSEWHEEL).empty());
    EXPECT_TRUE(Of(frame, WM_MOUSEWHEEL).empty());
}

TEST_F(InputTest, KeyMessagesCarryRepeatScanAndTransitionBits)
{
    SetActiveWindow(top);
    SetFocus(child);
    backend->ProcessMessages();
    Log().clear();
    backend->KeyDown('A', "a");
    backend->KeyDown('A', "a");   // auto-repeat
    backend->KeyUp('A');
    backend->KeyDown(VK_LEFT);
    backend->ProcessMessages();
    auto downs = Of(child, WM_KEYDOWN);
    auto ups = Of(child, WM_KEYUP);
    ASSERT_EQ(downs.size(), 3u);
    ASSERT_EQ(ups.size(), 1u);
    const auto bits = [](LPARAM l) { return static_cast<DWORD>(l & 0xFFFFFFFF); };
    EXPECT_EQ(bits(downs[0].lParam), 1u | (0x1Eu << 16));
    EXPECT_EQ(bits(downs[1].lParam), 1u | (0x1Eu << 16) | (1u << 30));
    EXPECT_EQ(bits(ups[0].lParam), 1u | (0x1Eu << 16) | (1u << 30) | (1u << 31));
    EXPECT_EQ(bits(downs[2].lParam), 1u | (0x4Bu << 16) | (1u << 24));   // extended
    auto chars = Of(child, WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('a'));
    backend->KeyUp(VK_LEFT);
}

TEST_F(InputTest, AltMakesSystemKeys)
{
    SetActiveWindow(top);
    SetFocus(child);
    backend->ProcessMessages();
    Log().clear();
    backend->KeyDown(VK_MENU);
    backend->KeyDown('F', "f");
    backend->KeyUp('F');
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    auto sysDowns = Of(child, WM_SYSKEYDOWN);
    ASSERT_EQ(sysDowns.size(), 2u);
    EXPECT_EQ(sysDowns[1].wParam, static_cast<WPARAM>('F'));
    EXPECT_TRUE(sysDowns[1].lParam & (LPARAM(1) << 29));
    EXPECT_EQ(Of(child, WM_SYSCHAR).size(), 1u);
    EXPECT_TRUE(Of(child, WM_KEYDOWN).empty());
    // F released with Alt held is a system key; Alt released after Alt+F is a plain release,
    // while Alt pressed and released alone is a system key release (what opens the menu bar).
    auto sysUps = Of(child, WM_SYSKEYUP);
    ASSERT_EQ(sysUps.size(), 1u);
    EXPECT_EQ(sysUps[0].wParam, static_cast<WPARAM>('F'));
    auto ups = Of(child, WM_KEYUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].wParam, static_cast<WPARAM>(VK_MENU));
    Log().clear();
    backend->Key(VK_MENU);
    backend->ProcessMessages();
    ASSERT_EQ(Of(child, WM_SYSKEYUP).size(), 1u);
    EXPECT_EQ(Of(child, WM_SYSKEYUP)[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_TRUE(Of(child, WM_KEYUP).empty());
}

TEST_F(InputTest, KeyStateFollowsTheMessagesRetrievedNotTheKeyboard)
{
    SetActiveWindow(top);
    SetFocus(child);
    backend->ProcessMessages();
    SHORT seenInHandler = 0;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (hwnd == child && message == WM_KEYDOWN && wParam == VK_CONTROL)
            seenInHandler = GetKeyState(VK_CONTROL);
        return false;
    };
    backend->KeyDown(VK_CONTROL);
    backend->KeyUp(VK_CONTROL);
    // Both events arrived: the keyboard says up...
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    // ...while the thread's state is that of the key-down it retrieved.
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    DispatchMessage(&msg);
    EXPECT_LT(seenInHandler, 0);
    backend->ProcessMessages();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_EQ(keys[VK_CONTROL] & 0x80, 0);
}

TEST_F(InputTest, ToggleBitFlipsOnEachPress)
{
    SetActiveWindow(top);
    SetFocus(child);
    const SHORT before = GetKeyState(VK_CAPITAL) & 1;
    backend->Key(VK_CAPITAL);
    backend->ProcessMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1);
    backend->Key(VK_CAPITAL);
    backend->ProcessMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before);
}

TEST_F(InputTest, ClipCursorKeepsThePointerInside)
{
    RECT clip{110, 110, 150, 150};
    ClipCursor(&clip);
    backend->ProcessMessages();
    backend->MouseMove(POINT{300, 20});
    backend->ProcessMessages();
    POINT pt;
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, 149);
    EXPECT_EQ(pt.y, 110);
    RECT got;
    GetClipCursor(&got);
    EXPECT_EQ(got.right, 150);
    ClipCursor(nullptr);
    GetClipCursor(&got);
    EXPECT_EQ(got.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST(KeyboardTableTest, ScanCodesRoundTrip)
{
    for (UINT vk : {UINT('A'), UINT('Z'), UINT('0'), UINT(VK_F1), UINT(VK_F12), UINT(VK_ESCAPE), UINT(VK_SPACE),
                    UINT(VK_OEM_1), UINT(VK_NUMPAD5)}) {
        const UINT scan = MapVirtualKey(vk, MAPVK_VK_TO_VSC);
        ASSERT_NE(scan, 0u) << vk;
        EXPECT_EQ(MapVirtualKey(scan, MAPVK_VSC_TO_VK), vk) << vk;
    }
    EXPECT_EQ(MapVirtualKey(VK_SHIFT, MAPVK_VK_TO_VSC), 0x2Au);
    EXPECT_EQ(MapVirtualKey(0x2A, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_LSHIFT));
    EXPECT_EQ(MapVirtualKey('Q', MAPVK_VK_TO_CHAR), static_cast<UINT>('Q'));
    EXPECT_EQ(ScanCodeOf(VK_DELETE), 0x153u);
}

TEST(CursorTest, StandardCursorsAreSharedAndNamedByTheirId)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow, LoadCursor(nullptr, IDC_ARROW));
    for (LPCSTR id : {IDC_IBEAM, IDC_WAIT, IDC_CROSS, IDC_UPARROW, IDC_SIZEALL, IDC_SIZENWSE, IDC_SIZENESW,
                      IDC_SIZEWE, IDC_SIZENS, IDC_NO, IDC_HAND, IDC_APPSTARTING, IDC_HELP}) {
        HCURSOR c = LoadCursor(nullptr, id);
        ASSERT_NE(c, nullptr);
        CursorShape shape;
        ASSERT_TRUE(GetCursorShape(c, shape));
        EXPECT_EQ(shape.standardId, LOWORD(reinterpret_cast<ULONG_PTR>(id)));
    }
    EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);
    EXPECT_TRUE(DestroyCursor(arrow));
    EXPECT_EQ(arrow, LoadCursor(nullptr, IDC_ARROW));
}

TEST(CursorTest, ShowCountHidesBelowZero)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    BYTE planes[2 * 16]{};
    HCURSOR made = CreateCursor(nullptr, 3, 4, 16, 16, planes, planes);
    ASSERT_NE(made, nullptr);
    CursorShape shape;
    ASSERT_TRUE(GetCursorShape(made, shape));
    EXPECT_EQ(shape.standardId, 0);
    EXPECT_EQ(shape.hotSpot.x, 3);
    EXPECT_TRUE(DestroyCursor(made));
    EXPECT_FALSE(GetCursorShape(made, shape));
}

TEST_F(InputTest, ClassCursorIsTheCurrentCursorAndRespectsTheShowCount)
{
    static const bool registered = [] {
        WNDCLASS wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
        wc.lpszClassName = "InputTestIBeam";
        return RegisterClass(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    const HCURSOR ibeam = LoadCursor(nullptr, IDC_IBEAM);
    const HCURSOR cross = LoadCursor(nullptr, IDC_CROSS);
    HWND text = Make(WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, top, 0, "InputTestIBeam");
    SetCursor(cross);
    backend->MouseMove(POINT{225, 225});
    backend->ProcessMessages();
    ASSERT_FALSE(Of(text, WM_SETCURSOR).empty());
    EXPECT_EQ(GetCursor(), ibeam);
    EXPECT_EQ(backend->CurrentCursor(), ibeam);

    // Hidden, the cursor still changes but the display shows none until it is shown again.
    SetCursor(cross);
    ShowCursor(FALSE);
    backend->MouseMove(POINT{226, 226});
    backend->ProcessMessages();
    EXPECT_EQ(GetCursor(), ibeam);
    EXPECT_EQ(backend->CurrentCursor(), nullptr);
    ShowCursor(TRUE);
    EXPECT_EQ(backend->CurrentCursor(), ibeam);
}

TEST(CursorTest, ANewBackendShowsTheCursorAlreadySet)
{
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    SetCursor(wait);
    HeadlessBackend& backend = HeadlessBackend::Install();
    EXPECT_EQ(backend.CurrentCursor(), wait);
    ShowCursor(FALSE);
    HeadlessBackend& hidden = HeadlessBackend::Install();
    EXPECT_EQ(hidden.CurrentCursor(), nullptr);
    ShowCursor(TRUE);
    SetWindowBackend(nullptr);
    SetTestFontMode(false);
}

TEST_F(InputTest, TypedTextReachesWmCharThroughTheStoredText)
{
    SetFocus(child);
    backend->ProcessMessages();
    Log().clear();
    backend->Key('E', "\xc3\x89");
    backend->ProcessMessages();
    std::string typed;
    for (auto& m : Of(child, WM_CHAR))
        typed += static_cast<char>(m.wParam);
    EXPECT_EQ(typed, "\xc3\x89");
    // The key and character messages carry the documented 32-bit lParam and nothing above it.
    auto downs = Of(child, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(static_cast<uint64_t>(downs[0].lParam), 1u | (uint64_t{ScanCodeOf('E') & 0xFF} << 16));
    for (auto& m : Of(child, WM_CHAR))
        EXPECT_EQ(m.lParam, downs[0].lParam);
    auto ups = Of(child, WM_KEYUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(static_cast<uint64_t>(ups[0].lParam), 0xC0000001u | (uint64_t{ScanCodeOf('E') & 0xFF} << 16));
}

TEST_F(InputTest, PressOnAChildNotifiesItsAncestorsUnlessOneOptsOut)
{
    HWND inner = Make(WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, child);
    backend->ProcessMessages();
    Log().clear();
    backend->Click(3, POINT{120, 120});   // inner's client (0..20 at screen 115..135)
    backend->ProcessMessages();
    auto toChild = Of(child, WM_PARENTNOTIFY);
    auto toTop = Of(top, WM_PARENTNOTIFY);
    ASSERT_EQ(toChild.size(), 1u);
    ASSERT_EQ(toTop.size(), 1u);
    EXPECT_EQ(LOWORD(toChild[0].wParam), WM_RBUTTONDOWN);
    // The point is in the client coordinates of the window told.
    EXPECT_EQ(GET_X_LPARAM(toChild[0].lParam), 10);
    EXPECT_EQ(GET_X_LPARAM(toTop[0].lParam), 20);
    // Nearest ancestor first, and both before the child sees the press.
    EXPECT_LT(IndexOf(child, WM_PARENTNOTIFY), IndexOf(top, WM_PARENTNOTIFY));
    EXPECT_LT(IndexOf(top, WM_PARENTNOTIFY), IndexOf(inner, WM_RBUTTONDOWN));
    // A release tells nobody; WS_EX_NOPARENTNOTIFY on the middle window stops the walk there.
    SetWindowLong(child, GWL_EXSTYLE, GetWindowLong(child, GWL_EXSTYLE) | WS_EX_NOPARENTNOTIFY);
    Log().clear();
    backend->Click(1, POINT{120, 120});
    backend->ProcessMessages();
    EXPECT_EQ(Of(child, WM_PARENTNOTIFY).size(), 1u);
    EXPECT_TRUE(Of(top, WM_PARENTNOTIFY).empty());
    EXPECT_EQ(Of(inner, WM_LBUTTONDOWN).size(), 1u);
}

} // namespace
