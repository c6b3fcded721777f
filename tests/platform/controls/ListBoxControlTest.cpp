#include "StandardControlFixture.h"

#include "platform/controls/ListBoxDefs.h"
#include "platform/win/ScrollBar.h"

#include <map>

namespace {

class ListBoxTest : public StandardControlTest {
protected:
    void SetUp() override
    {
        StandardControlTest::SetUp();
        font = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
    }
    void TearDown() override
    {
        StandardControlTest::TearDown();
        DeleteObject(font);
    }
    // A list of 16-pixel items without a border, so that client and window agree.
    HWND List(DWORD style, int h = 16 * 5, int w = 150)
    {
        HWND lb = Control(WC_LISTBOX, style, 10 + (next++ % 2) * 190, 10, w, h);
        SendMessage(lb, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        return lb;
    }
    void Fill(HWND lb, int n)
    {
        for (int i = 0; i < n; ++i)
            SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
    }
    void ClickItem(HWND lb, int row, UINT modifier = 0, bool twice = false)
    {
        backend->Advance(1000);   // not a double-click with the click before
        if (modifier)
            backend->KeyDown(modifier);
        backend->Click(1, Screen(lb, 20, row * 16 + 8));
        if (twice)
            backend->Click(1, Screen(lb, 20, row * 16 + 8));
        if (modifier)
            backend->KeyUp(modifier);
        backend->ProcessMessages();
    }
    std::vector<int> Selected(HWND lb)
    {
        std::vector<int> items(static_cast<size_t>(SendMessage(lb, LB_GETSELCOUNT, 0, 0)));
        SendMessage(lb, LB_GETSELITEMS, items.size(), reinterpret_cast<LPARAM>(items.data()));
        return items;
    }
    std::string ItemText(HWND lb, int i)
    {
        std::string text(static_cast<size_t>(SendMessage(lb, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(SendMessage(lb, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    HFONT font = nullptr;
    int next = 0;
};

} // namespace

TEST_F(ListBoxTest, StringsAreAddedSortedFoundAndDeleted)
{
    HWND lb = List(LBS_SORT);
    for (const char* s : {"pear", "Apple", "banana", "apricot"})
        SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(ItemText(lb, 0), "Apple");
    EXPECT_EQ(ItemText(lb, 1), "apricot");
    EXPECT_EQ(ItemText(lb, 3), "pear");
    EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("zzz")), 1) << "insert does not sort";
    EXPECT_EQ(SendMessage(lb, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("AP")), 0);
    EXPECT_EQ(SendMessage(lb, LB_FINDSTRING, 0, reinterpret_cast<LPARAM>("ap")), 2);
    EXPECT_EQ(SendMessage(lb, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("PEAR")), 4);
    EXPECT_EQ(SendMessage(lb, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("pea")), LB_ERR);
    EXPECT_EQ(SendMessage(lb, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ban")), 3);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 1, 0), 4);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2) << "the selection stays on its item";
    EXPECT_EQ(SendMessage(lb, LB_DELETESTRING, 7, 0), LB_ERR);
    EXPECT_EQ(SendMessage(lb, LB_GETTEXTLEN, 7, 0), LB_ERR);
    SendMessage(lb, LB_SETITEMDATA, 0, 77);
    EXPECT_EQ(SendMessage(lb, LB_GETITEMDATA, 0, 0), 77);
    SendMessage(lb, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListBoxTest, ClicksSelectAndNotifyOnlyWithNotifyStyle)
{
    HWND quiet = List(0);
    HWND told = List(LBS_NOTIFY);
    Fill(quiet, 5);
    Fill(told, 5);
    ClickItem(quiet, 2);
    EXPECT_EQ(SendMessage(quiet, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notifications(quiet), (std::vector<UINT>{LBN_SETFOCUS})) << "focus is told always";
    Log().clear();
    ClickItem(told, 1);
    EXPECT_EQ(Notifications(told), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE}));
    Log().clear();
    ClickItem(told, 1);
    EXPECT_TRUE(Notifications(told).empty()) << "clicking the selected item changes nothing";
    ClickItem(told, 3, 0, true);
    EXPECT_EQ(Notifications(told), (std::vector<UINT>{LBN_SELCHANGE, LBN_DBLCLK}));
    Log().clear();
    SendMessage(told, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(Notifications(told).empty()) << "the program's selection is not told";

    // Dragging with the button down moves a single selection along.
    backend->MouseDown(1, Screen(told, 20, 8));
    backend->MouseMove(Screen(told, 20, 16 * 4 + 8));
    backend->MouseUp(1, Screen(told, 20, 16 * 4 + 8));
    backend->ProcessMessages();
    EXPECT_EQ(SendMessage(told, LB_GETCURSEL, 0, 0), 4);
}

TEST_F(ListBoxTest, SelectedItemsAreDrawnInHighlight)
{
    HWND lb = List(LBS_EXTENDEDSEL);
    Fill(lb, 4);
    SendMessage(lb, LB_SETSEL, TRUE, 1);
    SendMessage(lb, LB_SETSEL, TRUE, 3);
    EXPECT_EQ(PixelAt(lb, 140, 16 + 8), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(lb, 140, 2 * 16 + 8), SysRgb(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(lb, 140, 3 * 16 + 8), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(lb, 140, 4 * 16 + 8), SysRgb(COLOR_WINDOW)) << "below the items";
    EXPECT_EQ(PixelAt(lb, 2 + 1, 16 + 2), SysRgb(COLOR_HIGHLIGHTTEXT)) << "the first glyph of a selected item";
    EnableWindow(lb, FALSE);
    EXPECT_EQ(PixelAt(lb, 140, 16 + 8), SysRgb(COLOR_WINDOW)) << "a disabled list shows no highlight";
}

TEST_F(ListBoxTest, ExtendedSelectionByMouseAndKeys)
{
    HWND lb = List(LBS_EXTENDEDSEL | LBS_NOTIFY);
    Fill(lb, 5);
    ClickItem(lb, 1);
    ClickItem(lb, 3, VK_SHIFT);
    EXPECT_EQ(Selected(lb), (std::vector<int>{1, 2, 3}));
    ClickItem(lb, 0, VK_CONTROL);
    EXPECT_EQ(Selected(lb), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(SendMessage(lb, LB_GETANCHORINDEX, 0, 0), 0);
    PressWith(VK_SHIFT, VK_DOWN);
    EXPECT_EQ(Selected(lb), (std::vector<int>{0, 1}));
    Log().clear();
    PressWith(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(Selected(lb), (std::vector<int>{0, 1}));
    EXPECT_EQ(SendMessage(lb, LB_GETCARETINDEX, 0, 0), 2);
    EXPECT_TRUE(Notifications(lb).empty());
    Press(VK_END);
    EXPECT_EQ(Selected(lb), (std::vector<int>{4}));
    EXPECT_EQ(Notifications(lb), (std::vector<UINT>{LBN_SELCHANGE}));
    SendMessage(lb, LB_SELITEMRANGEEX, 3, 1);
    EXPECT_EQ(Selected(lb), (std::vector<int>{4})) << "a reversed range deselects";
    SendMessage(lb, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 2));
    EXPECT_EQ(Selected(lb), (std::vector<int>{0, 1, 2, 4}));
    SendMessage(lb, LB_SETSEL, FALSE, -1);
    EXPECT_TRUE(Selected(lb).empty());
    EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, 1, 0), LB_ERR);
}

TEST_F(ListBoxTest, KeysScrollTheCaretIntoViewAndLettersSearch)
{
    HWND lb = List(WS_VSCROLL | LBS_NOTIFY);
    for (const char* s : {"apple", "avocado", "banana", "blueberry", "cherry", "date", "fig", "grape", "kiwi"})
        SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetFocus(lb);
    RECT client;
    GetClientRect(lb, &client);
    ASSERT_EQ(client.bottom, 16 * 5);
    Press(VK_DOWN);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 0) << "the first key selects the first item";
    Press(VK_END);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 8);
    EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 4);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 4);
    EXPECT_EQ(si.nMax, 8);
    Press(VK_PRIOR);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 4);
    SendMessage(lb, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 0);

    Type("b");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2);
    Type("b");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3) << "the same letter steps to the next";
    backend->Advance(2000);
    Type("av");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1) << "letters in quick succession form a prefix";
    backend->Advance(2000);
    Type("gr");
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 7);
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreMeasuredDrawnComparedAndDeleted)
{
    std::map<UINT, int> counts;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<ULONG_PTR> deleted;
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (hwnd != parent)
            return false;
        switch (message) {
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            ++counts[message];
            mis->itemHeight = mis->itemData == 0 ? 20 : static_cast<UINT>(10 + mis->itemData);
            result = TRUE;
            return true;
        }
        case WM_DRAWITEM:
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        case WM_COMPAREITEM: {
            auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam);
            ++counts[message];
            result = cis->itemData1 < cis->itemData2 ? -1 : cis->itemData1 > cis->itemData2 ? 1 : 0;
            return true;
        }
        case WM_DELETEITEM:
            deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->itemData);
            result = TRUE;
            return true;
        default:
            return false;
        }
    };
    HWND fixed = List(LBS_OWNERDRAWFIXED | LBS_SORT, 100);
    EXPECT_EQ(counts[WM_MEASUREITEM], 1) << "one measurement for a fixed list";
    EXPECT_EQ(SendMessage(fixed, LB_GETITEMHEIGHT, 0, 0), 20);
    for (ULONG_PTR data : {30u, 10u, 20u})
        SendMessage(fixed, LB_ADDSTRING, 0, static_cast<LPARAM>(data));
    EXPECT_GE(counts[WM_COMPAREITEM], 2) << "the owner orders items without text";
    EXPECT_EQ(SendMessage(fixed, LB_GETITEMDATA, 0, 0), 10);
    EXPECT_EQ(SendMessage(fixed, LB_GETITEMDATA, 2, 0), 30);
    SendMessage(fixed, LB_SETCURSEL, 1, 0);
    drawn.clear();
    UpdateWindow(fixed);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[1].CtlType, static_cast<UINT>(ODT_LISTBOX));
    EXPECT_EQ(drawn[1].itemID, 1u);
    EXPECT_EQ(drawn[1].itemData, 20u);
    EXPECT_TRUE(drawn[1].itemState & ODS_SELECTED);
    EXPECT_FALSE(drawn[0].itemState & ODS_SELECTED);
    EXPECT_EQ(drawn[1].rcItem.top, 20);
    EXPECT_EQ(drawn[1].rcItem.bottom, 40);

    HWND variable = List(LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT, 100);
    int before = counts[WM_MEASUREITEM];
    for (ULONG_PTR data : {5u, 15u, 25u})
        SendMessage(variable, LB_ADDSTRING, 0, static_cast<LPARAM>(data));
    EXPECT_EQ(counts[WM_MEASUREITEM] - before, 3) << "every item of a variable list is measured";
    RECT r{};
    SendMessage(variable, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 15 + 25);
    EXPECT_EQ(r.bottom, 15 + 25 + 35);
    EXPECT_EQ(LOWORD(SendMessage(variable, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 20))), 1);

    SendMessage(fixed, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{10}));
    DestroyWindow(variable);
    EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{10, 5, 15, 25})) << "destroying the list deletes its items";
    Handler() = nullptr;
}

TEST_F(ListBoxTest, MultipleColumnsFlowDownThenAcross)
{
    HWND lb = List(LBS_MULTICOLUMN | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 16 * 4 + GetSystemMetrics(SM_CYHSCROLL), 200);
    SendMessage(lb, LB_SETCOLUMNWIDTH, 50, 0);
    Fill(lb, 30);
    RECT r{};
    SendMessage(lb, LB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 16);
    SetFocus(lb);
    SendMessage(lb, LB_SETCURSEL, 1, 0);
    Press(VK_RIGHT);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 5) << "right goes one column over";
    Press(VK_END);
    EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 16) << "columns scroll whole: 8 columns, 4 shown";
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(lb, SB_HORZ, &si);
    EXPECT_EQ(si.nMax, 7);
    EXPECT_EQ(si.nPos, 4);
}

TEST_F(ListBoxTest, RedrawOffHoldsTheBarsUntilTurnedOn)
{
    HWND lb = List(WS_VSCROLL | LBS_NOREDRAW);
    Fill(lb, 12);
    UpdateWindow(lb);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_NE(si.nMax, 11) << "not redrawn while off";
    SendMessage(lb, WM_SETREDRAW, TRUE, 0);
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 11);
    SendMessage(lb, WM_SETREDRAW, FALSE, 0);
    Fill(lb, 3);
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 11);
    SendMessage(lb, WM_SETREDRAW, TRUE, 0);
    GetScrollInfo(lb, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 14);
}

TEST_F(ListBoxTest, HugeParametersStayInRange)
{
    // One row to a column: the last of 70,040 columns of the widest width lies far past 2^31.
    HWND lb = List(LBS_MULTICOLUMN | WS_HSCROLL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                   16 + GetSystemMetrics(SM_CYHSCROLL));
    Fill(lb, 40);
    for (int i = 0; i < 70000; ++i)
        SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    SendMessage(lb, LB_SETCOLUMNWIDTH, 0x7FFFFFFF, 0);
    INT stops[] = {0x7FFFFFFF};
    SendMessage(lb, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
    SendMessage(lb, LB_SETHORIZONTALEXTENT, 0x7FFFFFFF, 0);
    EXPECT_GT(SendMessage(lb, LB_INITSTORAGE, 0x7FFFFFFF, 0), 0);
    RECT r{};
    EXPECT_EQ(SendMessage(lb, LB_GETITEMRECT, 70039, reinterpret_cast<LPARAM>(&r)), 0);
    EXPECT_GT(r.left, 0);
    SendMessage(lb, WM_HSCROLL, SB_PAGERIGHT, 0);
    UpdateWindow(lb);
    EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 70040);
}

TEST_F(ListBoxTest, OwnerMayTakeKeysAndHeightIsWholeItems)
{
    std::vector<WPARAM> asked;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (hwnd != parent || message != WM_VKEYTOITEM)
            return false;
        asked.push_back(wParam);
        result = LOWORD(wParam) == VK_HOME ? 3 : LOWORD(wParam) == VK_END ? -2 : -1;
        return true;
    };
    HWND lb = List(LBS_WANTKEYBOARDINPUT);
    Fill(lb, 5);
    SetFocus(lb);
    Press(VK_HOME);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3) << "the owner named the item";
    Press(VK_END);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3) << "the owner took the key";
    Press(VK_DOWN);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 4) << "the default handling ran";
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(HIWORD(asked[1]), 3);
    Handler() = nullptr;

    HWND whole = List(0, 16 * 3 + 7);
    RECT client;
    GetClientRect(whole, &client);
    EXPECT_EQ(client.bottom, 16 * 3);
    HWND partial = List(LBS_NOINTEGRALHEIGHT, 16 * 3 + 7);
    GetClientRect(partial, &client);
    EXPECT_EQ(client.bottom, 16 * 3 + 7);
}
