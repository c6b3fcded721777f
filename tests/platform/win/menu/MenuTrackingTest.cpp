// Menus tracked on the headless backend: the menu bar by mouse and keyboard, cascading
// sub-menus, TrackPopupMenu and its flags, owner-drawn items and WM_MENUCHAR, the system menu,
// and the notifications the owner gets on the way.
#include "platform/win/HeadlessFixture.h"

#include "platform/core/CRect.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/detail/MenuTracker.h"
#include "support/MenuDriver.h"

#include <cairo.h>

namespace {

constexpr UINT ID_TRACK_EXIT = 102, ID_RECENT1 = 111, ID_RECENT2 = 112, ID_TRACK_COPY = 202, ID_LATE = 150;

class MenuTrackingTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        module = reinterpret_cast<HINSTANCE>(FindResourceModule("winmenus"));
        ASSERT_NE(module, nullptr);
        frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
        bar = LoadMenu(module, MAKEINTRESOURCE(100));
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(SetMenu(frame, bar));
        SetActiveWindow(frame);
        SetFocus(frame);
        backend->ProcessMessages();
        Log().clear();
        driver = std::make_unique<MenuDriver>(*backend);
    }
    void TearDown() override
    {
        driver.reset();
        HeadlessTest::TearDown();
    }
    // Ends the next menu loop should it still run when the thread is next idle, and only it.
    void EndLater()
    {
        const unsigned loop = MenuTracking::IsTracking() ? MenuTracking::CurrentLoop() : MenuTracking::NextLoop();
        backend->WhenIdle([loop] {
            if (MenuTracking::CurrentLoop() == loop)
                EndMenu();
        });
    }
    // Counts the open menus when the thread is next idle until there are `wanted` or the tries
    // run out, then ends the menu.
    void CountMenusWhenIdle(size_t& count, size_t wanted, int tries)
    {
        backend->WhenIdle([this, &count, wanted, tries] {
            count = MenuDriver::OpenMenus().size();
            if (count < wanted && tries > 0)
                CountMenusWhenIdle(count, wanted, tries - 1);
            else
                EndMenu();
        });
    }
    POINT BarItemCentre(int position)
    {
        RECT r{};
        EXPECT_TRUE(GetMenuItemRect(frame, bar, static_cast<UINT>(position), &r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // The messages of the menu loop the frame got, in order.
    std::vector<RecordedMessage> MenuMessages()
    {
        std::vector<RecordedMessage> out;
        for (auto& m : Log())
            if (m.hwnd == frame &&
                (m.message == WM_ENTERMENULOOP || m.message == WM_EXITMENULOOP || m.message == WM_INITMENU ||
                 m.message == WM_INITMENUPOPUP || m.message == WM_MENUSELECT || m.message == WM_COMMAND ||
                 m.message == WM_UNINITMENUPOPUP))
                out.push_back(m);
        return out;
    }
    std::vector<UINT> Commands()
    {
        std::vector<UINT> ids;
        for (auto& m : Of(frame, WM_COMMAND))
            ids.push_back(LOWORD(m.wParam));
        return ids;
    }

    HINSTANCE module = nullptr;
    HWND frame = nullptr;
    HMENU bar = nullptr;
    std::unique_ptr<MenuDriver> driver;
};

TEST_F(MenuTrackingTest, MouseOnTheBarTracksWithUpdatesFromInitMenuPopup)
{
    HMENU file = GetSubMenu(bar, 0);
    // The owner adds an item while the pop-up is being opened: it is shown and can be chosen.
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (hwnd == frame && message == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == file &&
            GetMenuItemCount(file) == 4)
            AppendMenu(file, MF_STRING, ID_LATE, "&Late item");
        return false;
    };
    driver->ChooseWhenOpen({"Late item"});
    driver->Click(BarItemCentre(0));
    backend->ProcessMessages();
    EXPECT_EQ(driver->Failure(), "");
    EXPECT_EQ(Commands(), std::vector<UINT>{ID_LATE});
    EXPECT_TRUE(MenuDriver::OpenMenus().empty());

    auto msgs = MenuMessages();
    ASSERT_GE(msgs.size(), 6u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_ENTERMENULOOP));
    EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>(FALSE)) << "the bar, not TrackPopupMenu";
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_INITMENU));
    EXPECT_EQ(reinterpret_cast<HMENU>(msgs[1].wParam), bar);
    // The bar item is selected (by position: it opens a pop-up), then its pop-up prepared.
    EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_MENUSELECT));
    EXPECT_EQ(msgs[2].wParam, MAKEWPARAM(0, MF_POPUP | MF_HILITE));
    EXPECT_EQ(reinterpret_cast<HMENU>(msgs[2].lParam), bar);
    EXPECT_EQ(msgs[3].message, static_cast<UINT>(WM_INITMENUPOPUP));
    EXPECT_EQ(reinterpret_cast<HMENU>(msgs[3].wParam), file);
    EXPECT_EQ(msgs[3].lParam, MAKELPARAM(0, FALSE));
    // The choice was highlighted by the mouse before it was taken.
    bool lateSelected = false;
    for (auto& m : Of(frame, WM_MENUSELECT))
        if (LOWORD(m.wParam) == ID_LATE && (HIWORD(m.wParam) & MF_MOUSESELECT) && reinterpret_cast<HMENU>(m.lParam) == file)
            lateSelected = true;
    EXPECT_TRUE(lateSelected);
    // The loop ends with the closing select, then the exit, and the command comes last.
    const size_t n = msgs.size();
    EXPECT_EQ(msgs[n - 3].message, static_cast<UINT>(WM_MENUSELECT));
    EXPECT_EQ(msgs[n - 3].wParam, MAKEWPARAM(0, 0xFFFF));
    EXPECT_EQ(msgs[n - 2].message, static_cast<UINT>(WM_EXITMENULOOP));
    EXPECT_EQ(msgs[n - 1].message, static_cast<UINT>(WM_COMMAND));

    // A cascading sub-menu: its pop-up item's position comes with WM_INITMENUPOPUP.
    Log().clear();
    driver->ChooseWhenOpen({"Recent", "2 second.html"});
    driver->Click(BarItemCentre(0));
    backend->ProcessMessages();
    EXPECT_EQ(driver->Failure(), "");
    EXPECT_EQ(Commands(), std::vector<UINT>{ID_RECENT2});
    bool recentInit = false;
    for (auto& m : Of(frame, WM_INITMENUPOPUP))
        if (reinterpret_cast<HMENU>(m.wParam) == GetSubMenu(file, 1) && LOWORD(m.lParam) == 1)
            recentInit = true;
    EXPECT_TRUE(recentInit);
}

TEST_F(MenuTrackingTest, DisabledItemsAndClicksElsewhereChooseNothing)
{
    // Undo is grayed: clicking it leaves the menu open (the driver then ends it).
    driver->ChooseWhenOpen({"Edit"});   // not an item of Edit's pop-up
    driver->Click(BarItemCentre(1));
    backend->ProcessMessages();
    EXPECT_NE(driver->Failure(), "");
    EXPECT_TRUE(Commands().empty());

    MenuDriver undo(*backend);
    undo.ChooseWhenOpen({"Undo"});
    undo.Click(BarItemCentre(1));
    backend->ProcessMessages();
    EXPECT_EQ(undo.Failure(), "the menu stayed open after the choice");
    EXPECT_TRUE(Commands().empty());

    // A press outside every menu dismisses it.
    backend->WhenIdle([&] { undo.Click(POINT{5, 5}); });
    undo.Click(BarItemCentre(0));
    backend->ProcessMessages();
    EXPECT_TRUE(MenuDriver::OpenMenus().empty());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Of(frame, WM_ENTERMENULOOP).size(), Of(frame, WM_EXITMENULOOP).size());
}

TEST_F(MenuTrackingTest, KeyboardReachesEveryItemFromAltAndMnemonics)
{
    // Alt alone lights the bar; Right moves to Edit; Down opens it on its first item; Down
    // passes to Copy; Enter chooses it.
    backend->WhenIdle([&] {
        EXPECT_TRUE(MenuDriver::OpenMenus().empty()) << "Alt alone opens no pop-up";
        backend->Key(VK_RIGHT);
        backend->Key(VK_DOWN);
        backend->Key(VK_DOWN);
        backend->Key(VK_RETURN);
    });
    EndLater();
    backend->Key(VK_MENU);
    backend->ProcessMessages();
    EXPECT_EQ(Commands(), std::vector<UINT>{ID_TRACK_COPY});
    std::vector<UINT> selected;
    for (auto& m : Of(frame, WM_MENUSELECT))
        if (!(HIWORD(m.wParam) & MF_MOUSESELECT) && HIWORD(m.wParam) != 0xFFFF)
            selected.push_back(LOWORD(m.wParam));
    // Bar entries by position (0 File, 1 Edit), then Undo and Copy by command.
    EXPECT_EQ(selected, (std::vector<UINT>{0, 1, 201, ID_TRACK_COPY}));

    // Alt+F opens File on its first item; Down to Recent, Right into it, Enter on its first.
    Log().clear();
    backend->WhenIdle([&] {
        backend->Key(VK_DOWN);
        backend->Key(VK_RIGHT);
        backend->Key(VK_RETURN);
    });
    EndLater();
    backend->KeyDown(VK_MENU);
    backend->Key('F', "f");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_EQ(Commands(), std::vector<UINT>{ID_RECENT1});

    // A mnemonic inside the open pop-up chooses its item at once.
    Log().clear();
    backend->WhenIdle([&] { backend->Key('X', "x"); });
    EndLater();
    backend->KeyDown(VK_MENU);
    backend->Key('F', "f");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_EQ(Commands(), std::vector<UINT>{ID_TRACK_EXIT});

    // Escape closes the pop-up back to the bar, a second one leaves the menu.
    Log().clear();
    backend->WhenIdle([&] {
        backend->Key(VK_ESCAPE);
    });
    backend->WhenIdle([&] {
        EXPECT_TRUE(MenuDriver::OpenMenus().empty());
        EXPECT_EQ(Of(frame, WM_EXITMENULOOP).size(), 0u) << "still in the menu, on the bar";
        backend->Key(VK_ESCAPE);
    });
    EndLater();
    backend->KeyDown(VK_MENU);
    backend->Key('F', "f");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Of(frame, WM_EXITMENULOOP).size(), 1u);

    // Alt released after Alt with a key that is no mnemonic opens nothing.
    Log().clear();
    backend->KeyDown(VK_MENU);
    backend->Key('Q', "q");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_TRUE(Of(frame, WM_ENTERMENULOOP).empty());
}

TEST_F(MenuTrackingTest, ChangesTheOwnerMakesWhileTheMenuIsShownAreFollowed)
{
    HMENU edit = GetSubMenu(bar, 1);
    // The first selection removes Cut and adds Paste: the pop-up is laid out again, keys walk
    // the new items, and Paste's mnemonic chooses it.
    bool changed = false;
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (hwnd == frame && message == WM_MENUSELECT && reinterpret_cast<HMENU>(lParam) == edit && !changed) {
            changed = true;
            DeleteMenu(edit, 2, MF_BYPOSITION);
            AppendMenu(edit, MF_STRING, 204, "&Paste");
            AppendMenu(edit, MF_STRING, 205, "Select &All");
        }
        return false;
    };
    size_t rows = 0;
    backend->WhenIdle([&] {
        RECT last{};
        rows = GetMenuItemRect(nullptr, edit, 3, &last) ? 4 : 0;
        for (int i = 0; i < 6; ++i)
            backend->Key(VK_DOWN);
        backend->Key('P', "p");
    });
    EndLater();
    backend->KeyDown(VK_MENU);
    backend->Key('E', "e");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_TRUE(changed);
    EXPECT_EQ(rows, 4u) << "the new last item has its place";
    EXPECT_EQ(Commands(), std::vector<UINT>{204});

    // A menu destroyed under the loop ends it.
    HMENU file = GetSubMenu(bar, 0);
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (hwnd == frame && message == WM_MENUSELECT && reinterpret_cast<HMENU>(lParam) == file)
            RemoveMenu(bar, 0, MF_BYPOSITION), DestroyMenu(file);
        return false;
    };
    Log().clear();
    bool stillTracking = false;
    backend->WhenIdle([&] {
        stillTracking = MenuTracking::IsTracking();
        EndMenu();
    });
    backend->KeyDown(VK_MENU);
    backend->Key('F', "f");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_FALSE(stillTracking) << "the loop ended by itself";
    EXPECT_FALSE(IsMenu(file));
    EXPECT_EQ(Of(frame, WM_EXITMENULOOP).size(), 1u);
    EXPECT_TRUE(MenuDriver::OpenMenus().empty());
}

TEST_F(MenuTrackingTest, TrackPopupMenuFlags)
{
    HMENU edit = GetSubMenu(bar, 1);
    // TPM_RETURNCMD: the command comes back and nothing is posted.
    driver->ChooseWhenOpen({"Copy"});
    BOOL result = TrackPopupMenu(edit, TPM_RETURNCMD, 300, 300, 0, frame, nullptr);
    EXPECT_EQ(result, static_cast<BOOL>(ID_TRACK_COPY));
    backend->ProcessMessages();
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Of(frame, WM_ENTERMENULOOP).size(), 1u);
    EXPECT_EQ(Of(frame, WM_ENTERMENULOOP)[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(reinterpret_cast<HMENU>(Of(frame, WM_INITMENU)[0].wParam), edit);

    // Without it the command is posted to the owner.
    Log().clear();
    driver->ChooseWhenOpen({"Cut"});
    EXPECT_TRUE(TrackPopupMenu(edit, 0, 300, 300, 0, frame, nullptr));
    backend->ProcessMessages();
    EXPECT_EQ(Commands(), std::vector<UINT>{203});

    // TPM_NONOTIFY: no notification at all.
    Log().clear();
    driver->ChooseWhenOpen({"Copy"});
    EXPECT_EQ(TrackPopupMenu(edit, TPM_RETURNCMD | TPM_NONOTIFY, 300, 300, 0, frame, nullptr),
              static_cast<BOOL>(ID_TRACK_COPY));
    backend->ProcessMessages();
    EXPECT_TRUE(MenuMessages().empty());

    // The right button chooses only with TPM_RIGHTBUTTON.
    auto rightClickCopy = [&](UINT flags) {
        backend->WhenIdle([&] {
            ASSERT_FALSE(MenuDriver::OpenMenus().empty());
            HWND window = MenuDriver::OpenMenus().front();
            HMENU shown = MenuDriver::MenuOf(window);
            RECT r{};
            GetMenuItemRect(nullptr, shown, 1, &r);
            driver->Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 3);
            backend->WhenIdle([window] {
                if (IsWindow(window))
                    EndMenu();
            });
        });
        return TrackPopupMenu(edit, flags | TPM_RETURNCMD, 300, 300, 0, frame, nullptr);
    };
    EXPECT_EQ(rightClickCopy(TPM_RIGHTBUTTON), static_cast<BOOL>(ID_TRACK_COPY));
    EXPECT_EQ(rightClickCopy(0), 0);

    // A press elsewhere, EndMenu and WM_CANCELMODE all end it with nothing chosen.
    backend->WhenIdle([&] { driver->Click(POINT{5, 5}); });
    EXPECT_EQ(TrackPopupMenu(edit, TPM_RETURNCMD, 300, 300, 0, frame, nullptr), 0);
    backend->WhenIdle([&] { SendMessage(frame, WM_CANCELMODE, 0, 0); });
    EXPECT_EQ(TrackPopupMenu(edit, TPM_RETURNCMD, 300, 300, 0, frame, nullptr), 0);
    EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(static_cast<uintptr_t>(0x999)), 0, 1, 1, 0, frame, nullptr));
    // Without TPM_RETURNCMD the result says the menu was shown, chosen from or not.
    backend->WhenIdle([] { EndMenu(); });
    EXPECT_TRUE(TrackPopupMenu(edit, 0, 300, 300, 0, frame, nullptr));

    // The exclude rectangle keeps the menu off it; a menu inside a menu is refused.
    RECT exclude{280, 280, 520, 330};
    TPMPARAMS params{sizeof(TPMPARAMS), exclude};
    backend->WhenIdle([&] {
        RECT wr{};
        ASSERT_FALSE(MenuDriver::OpenMenus().empty());
        GetWindowRect(MenuDriver::OpenMenus().front(), &wr);
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &wr, &exclude));
        EXPECT_EQ(wr.top, exclude.bottom) << "below the rectangle, as TPM_VERTICAL asks";
        EXPECT_FALSE(TrackPopupMenu(edit, TPM_RETURNCMD, 10, 10, 0, frame, nullptr));
        EndMenu();
    });
    EXPECT_EQ(TrackPopupMenuEx(edit, TPM_RETURNCMD | TPM_VERTICAL, 300, 300, frame, &params), 0);

    // Alignment to the point, and a menu that would leave the screen is kept on it.
    auto placed = [&](UINT flags, int x, int y) {
        RECT wr{};
        backend->WhenIdle([&] {
            if (!MenuDriver::OpenMenus().empty())
                GetWindowRect(MenuDriver::OpenMenus().front(), &wr);
            EndMenu();
        });
        TrackPopupMenu(edit, flags | TPM_RETURNCMD, x, y, 0, frame, nullptr);
        return wr;
    };
    RECT r = placed(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 300, 300);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 300);
    r = placed(TPM_CENTERALIGN, 300, 300);
    EXPECT_EQ((r.left + r.right) / 2, 300);
    EXPECT_EQ(r.top, 300);
    r = placed(0, 1020, 760);   // the screen is 1024 x 768
    EXPECT_LE(r.right, 1024);
    EXPECT_LE(r.bottom, 768);
    EXPECT_EQ(r.right, 1020) << "flipped to the left of the point";
}

TEST_F(MenuTrackingTest, RestingOnAPopupItemOpensItAfterTheDelay)
{
    HMENU file = GetSubMenu(bar, 0);
    size_t openAfterMove = 0;
    size_t openAfterDelay = 0;
    backend->WhenIdle([&] {
        RECT r{};
        GetMenuItemRect(nullptr, file, 1, &r);   // Recent
        backend->MouseMove(POINT{r.left + 10, r.top + 5});
    });
    backend->WhenIdle([&] {
        openAfterMove = MenuDriver::OpenMenus().size();
        UINT delay = 0;
        SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
        backend->AdvanceClock(delay + 1);
        // The timer's message comes when the loop next looks at its queue: look a few times.
        CountMenusWhenIdle(openAfterDelay, 2, 5);
    });
    backend->KeyDown(VK_MENU);
    backend->Key('F', "f");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_EQ(openAfterMove, 1u) << "not before the delay";
    EXPECT_EQ(openAfterDelay, 2u);
}

TEST_F(MenuTrackingTest, TheOwnerHearsWhenTheLoopWaits)
{
    std::vector<std::pair<WPARAM, std::string>> idles;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        if (hwnd == frame && message == WM_ENTERIDLE) {
            char name[16] = {};
            GetClassName(reinterpret_cast<HWND>(lParam), name, sizeof(name));
            idles.emplace_back(wParam, name);
            EndMenu();
        }
        return false;
    };
    EXPECT_EQ(TrackPopupMenu(GetSubMenu(bar, 1), TPM_RETURNCMD, 300, 300, 0, frame, nullptr), 0);
    ASSERT_EQ(idles.size(), 1u);
    EXPECT_EQ(idles[0].first, static_cast<WPARAM>(MSGF_MENU));
    EXPECT_EQ(idles[0].second, WC_MENU_NAME) << "the pop-up shown";
}

TEST_F(MenuTrackingTest, OwnerDrawnItemsAreMeasuredDrawnAndReachedThroughMenuChar)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_OWNERDRAW, 61, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(1)));
    AppendMenu(popup, MF_OWNERDRAW | MF_CHECKED, 62, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(2)));
    std::vector<DRAWITEMSTRUCT> draws;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (hwnd != frame)
            return false;
        if (message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            EXPECT_EQ(mis->CtlType, static_cast<UINT>(ODT_MENU));
            mis->itemWidth = 80 + static_cast<UINT>(mis->itemData);
            mis->itemHeight = 20;
            result = TRUE;
            return true;
        }
        if (message == WM_DRAWITEM) {
            draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        }
        if (message == WM_MENUCHAR && LOWORD(wParam) == 'q') {
            EXPECT_NE(HIWORD(wParam) & MF_POPUP, 0u);
            result = MAKELRESULT(1, MNC_EXECUTE);
            return true;
        }
        return false;
    };
    backend->WhenIdle([&] {
        ASSERT_FALSE(MenuDriver::OpenMenus().empty());
        HWND shown = MenuDriver::OpenMenus().front();
        RECT wr{};
        GetWindowRect(shown, &wr);
        EXPECT_EQ(wr.bottom - wr.top, 2 * 20 + 6) << "the items' heights and the frame";
        EXPECT_GE(wr.right - wr.left, 82 + 6);
        RECT item{};
        GetMenuItemRect(nullptr, popup, 0, &item);
        backend->MouseMove(POINT{item.left + 5, item.top + 5});
    });
    backend->WhenIdle([&] { backend->Key('Q', "q"); });
    EndLater();
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 200, 200, 0, frame, nullptr), 62);
    ASSERT_GE(draws.size(), 3u);
    EXPECT_EQ(draws[0].CtlType, static_cast<UINT>(ODT_MENU));
    EXPECT_EQ(reinterpret_cast<HMENU>(draws[0].hwndItem), popup);
    EXPECT_EQ(draws[0].itemData, 1u);
    EXPECT_EQ(draws[1].itemState, static_cast<UINT>(ODS_CHECKED));
    // The pointer on the first item redraws it selected.
    bool selectedDraw = false;
    for (auto& d : draws)
        selectedDraw = selectedDraw || (d.itemID == 61 && (d.itemState & ODS_SELECTED));
    EXPECT_TRUE(selectedDraw);
    DestroyMenu(popup);
}

// An owner-drawn item that opens a submenu gets the menu's arrow after the owner's drawing, in
// room added to the width the owner asked for.
TEST_F(MenuTrackingTest, AnOwnerDrawnSubmenuItemShowsTheArrow)
{
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, 71, "Inner");
    AppendMenu(popup, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), nullptr);
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (hwnd != frame || (message != WM_MEASUREITEM && message != WM_DRAWITEM))
            return false;
        if (message == WM_MEASUREITEM) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemWidth = 60;
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 20;
        }
        result = TRUE;   // the owner draws nothing: only the menu's own marks show
        return true;
    };
    int width = 0, dark = 0;
    backend->WhenIdle([&] {
        ASSERT_FALSE(MenuDriver::OpenMenus().empty());
        HWND shown = MenuDriver::OpenMenus().front();
        RECT item{}, window{};
        GetMenuItemRect(nullptr, popup, 0, &item);
        GetWindowRect(shown, &window);
        width = item.right - item.left;
        cairo_surface_t* s = backend->Capture(shown);
        ASSERT_NE(s, nullptr);
        cairo_surface_flush(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.right - 16; x < item.right; ++x) {
                const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y - window.top) * stride;
                dark += (reinterpret_cast<const uint32_t*>(row)[x - window.left] & 0xFFFFFF) == 0;
            }
        cairo_surface_destroy(s);
        EndMenu();
    });
    TrackPopupMenu(popup, TPM_RETURNCMD, 200, 200, 0, frame, nullptr);
    EXPECT_GT(width, 60);
    EXPECT_GT(dark, 4) << "the arrow's pixels in the menu's text colour";
    DestroyMenu(popup);
}

TEST_F(MenuTrackingTest, SystemMenuFromAltSpaceAndTheIcon)
{
    HMENU sys = GetSystemMenu(frame, FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(GetSystemMenu(frame, FALSE), sys);
    EXPECT_EQ(GetMenuDefaultItem(sys, FALSE, 0), static_cast<UINT>(SC_CLOSE));
    std::vector<WPARAM> sysCommands;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (hwnd == frame && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
            sysCommands.push_back(wParam);
            result = 0;
            return true;   // the test keeps its window
        }
        return false;
    };
    driver->ChooseWhenOpen({"Close"});
    backend->KeyDown(VK_MENU);
    backend->Key(VK_SPACE, " ");
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    EXPECT_EQ(driver->Failure(), "");
    EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});
    auto inits = Of(frame, WM_INITMENUPOPUP);
    ASSERT_FALSE(inits.empty());
    EXPECT_EQ(reinterpret_cast<HMENU>(inits[0].wParam), sys);
    EXPECT_EQ(HIWORD(inits[0].lParam), TRUE);
    // The states follow the window: a restored window cannot be restored.
    EXPECT_EQ(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    bool sysSelect = false;
    for (auto& m : Of(frame, WM_MENUSELECT))
        sysSelect = sysSelect || (HIWORD(m.wParam) != 0xFFFF && (HIWORD(m.wParam) & MF_SYSMENU));
    EXPECT_TRUE(sysSelect);

    // A double click on the icon carries out the default command.
    sysCommands.clear();
    RECT wr{};
    GetWindowRect(frame, &wr);
    const POINT icon{wr.left + GetSystemMetrics(SM_CXFRAME) + 4, wr.top + GetSystemMetrics(SM_CYFRAME) + 6};
    backend->WhenIdle([&] { driver->Click(icon); });
    EndLater();
    driver->Click(icon);
    backend->ProcessMessages();
    EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});

    EXPECT_EQ(GetSystemMenu(frame, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(sys)) << "reverting drops the window's copy";
}

TEST_F(MenuTrackingTest, RightClicksAndTheMenuKeyAskForContextMenus)
{
    HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 80, frame);
    backend->ProcessMessages();
    Log().clear();
    POINT inChild{10, 10};
    ClientToScreen(child, &inChild);
    backend->Click(3, inChild);
    backend->ProcessMessages();
    // The child is asked first with the screen point; unanswered, the request goes up.
    auto toChild = Of(child, WM_CONTEXTMENU);
    auto toFrame = Of(frame, WM_CONTEXTMENU);
    ASSERT_EQ(toChild.size(), 1u);
    ASSERT_EQ(toFrame.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(toFrame[0].wParam), child);
    EXPECT_EQ(GET_X_LPARAM(toChild[0].lParam), inChild.x);
    EXPECT_EQ(GET_Y_LPARAM(toChild[0].lParam), inChild.y);
    EXPECT_LT(IndexOf(child, WM_RBUTTONUP), IndexOf(child, WM_CONTEXTMENU));
    // From the keyboard there is no point.
    Log().clear();
    SetFocus(child);
    backend->Key(VK_APPS);
    backend->ProcessMessages();
    ASSERT_EQ(Of(child, WM_CONTEXTMENU).size(), 1u);
    EXPECT_EQ(Of(child, WM_CONTEXTMENU)[0].lParam, MAKELPARAM(-1, -1));

    // A right click on the caption shows the system menu.
    std::vector<WPARAM> sysCommands;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (hwnd == frame && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
            sysCommands.push_back(wParam);
            result = 0;
            return true;
        }
        return false;
    };
    RECT wr{};
    GetWindowRect(frame, &wr);
    driver->ChooseWhenOpen({"Close"});
    backend->Click(3, POINT{(wr.left + wr.right) / 2, wr.top + GetSystemMetrics(SM_CYFRAME) + 5});
    backend->ProcessMessages();
    EXPECT_EQ(driver->Failure(), "");
    EXPECT_EQ(sysCommands, std::vector<WPARAM>{SC_CLOSE});
}

TEST_F(MenuTrackingTest, TheBarTakesRoomAndGoesWithItsWindow)
{
    RECT withBar{};
    GetClientRect(frame, &withBar);
    ASSERT_TRUE(SetMenu(frame, nullptr));
    RECT without{};
    GetClientRect(frame, &without);
    EXPECT_EQ(without.bottom - withBar.bottom, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(GetMenu(frame), nullptr);
    ASSERT_TRUE(SetMenu(frame, bar));
    EXPECT_EQ(GetMenu(frame), bar);
    EXPECT_TRUE(DrawMenuBar(frame));
    // HiliteMenuItem lights a bar item without a menu loop.
    EXPECT_TRUE(HiliteMenuItem(frame, bar, 1, MF_BYPOSITION | MF_HILITE));
    EXPECT_NE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_HILITE, 0u);
    EXPECT_TRUE(HiliteMenuItem(frame, bar, 1, MF_BYPOSITION | MF_UNHILITE));
    EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION) & MF_HILITE, 0u);
    // The help item sits at the right end of the bar.
    RECT help{};
    ASSERT_TRUE(GetMenuItemRect(frame, bar, 2, &help));
    RECT wr{};
    GetWindowRect(frame, &wr);
    EXPECT_EQ(help.right, wr.right - GetSystemMetrics(SM_CXFRAME));
    RECT file{};
    ASSERT_TRUE(GetMenuItemRect(frame, bar, 0, &file));
    EXPECT_EQ(help.top, file.top);

    // A bar too wide for its window wraps: Help moves to a second row, at its right end, and
    // the client area gives up a row for it once the bar is drawn again.
    RECT oneRow{};
    GetClientRect(frame, &oneRow);
    for (int i = 0; i < 3; ++i)
        InsertMenu(bar, 2, MF_BYPOSITION | MF_STRING, 500 + i, "A rather long menu title");
    DrawMenuBar(frame);
    backend->ProcessMessages();
    RECT twoRows{};
    GetClientRect(frame, &twoRows);
    EXPECT_EQ(oneRow.bottom - twoRows.bottom, GetSystemMetrics(SM_CYMENU));
    ASSERT_TRUE(GetMenuItemRect(frame, bar, 5, &help));
    GetWindowRect(frame, &wr);
    EXPECT_EQ(help.top, file.top + GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(help.right, wr.right - GetSystemMetrics(SM_CXFRAME));
    // A click on the second row is a click on the bar.
    const POINT onHelp{(help.left + help.right) / 2, (help.top + help.bottom) / 2};
    EXPECT_EQ(SendMessage(frame, WM_NCHITTEST, 0, MAKELPARAM(onHelp.x, onHelp.y)), HTMENU);
    // Without the long items the bar is one row again.
    for (int i = 0; i < 3; ++i)
        DeleteMenu(bar, 2, MF_BYPOSITION);
    DrawMenuBar(frame);
    RECT after{};
    GetClientRect(frame, &after);
    EXPECT_EQ(after.bottom, oneRow.bottom);
    DestroyWindow(frame);
    EXPECT_FALSE(IsMenu(bar));
}

} // namespace
