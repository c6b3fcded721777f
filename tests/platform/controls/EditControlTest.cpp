#include "StandardControlFixture.h"

#include "support/MenuDriver.h"

#include "platform/controls/EditDefs.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/detail/CaretPaint.h"
#include "platform/win/Clipboard.h"
#include "platform/win/ScrollBar.h"
#include "tests/support/ClipboardText.h"

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

namespace {

class EditControlTest : public StandardControlTest {
protected:
    void SetUp() override
    {
        StandardControlTest::SetUp();
        // 16 pixels high, every character 8 wide.
        font = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
    }
    void TearDown() override
    {
        StandardControlTest::TearDown();
        DeleteObject(font);
    }
    HWND Edit(DWORD style, int w = 200, int h = 24, const char* text = "")
    {
        HWND e = Control(WC_EDIT, style, 10, 10, w, h, text);
        SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        return e;
    }
    std::pair<int, int> Sel(HWND e)
    {
        DWORD start = 0, end = 0;
        SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    void Focus(HWND e)
    {
        SetFocus(e);
        backend->ProcessMessages();
    }
    void PutOnClipboard(const std::string& text) { ASSERT_TRUE(clipboard_text::Put(parent, text)); }
    std::string ClipboardText()
    {
        std::string text;
        if (!OpenClipboard(parent))
            return "<closed>";
        if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return text;
    }
    HFONT font = nullptr;
};

} // namespace

TEST_F(EditControlTest, TypingNotifiesUpdateBeforeChangeForEachCharacter)
{
    HWND e = Edit(ES_AUTOHSCROLL);
    Focus(e);
    EXPECT_EQ(Notifications(e), (std::vector<UINT>{EN_SETFOCUS}));
    Log().clear();
    Type("Hi");
    EXPECT_EQ(Text(e), "Hi");
    EXPECT_EQ(Notifications(e), (std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));

    // Text set by the program: a single-line control reports it, a multi-line one does not.
    Log().clear();
    SetWindowText(e, "set");
    EXPECT_EQ(Notifications(e), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
    HWND m = Edit(ES_MULTILINE, 200, 80);
    Log().clear();
    SetWindowText(m, "set");
    EXPECT_TRUE(Notifications(m).empty());

    SetFocus(parent);
    backend->ProcessMessages();
    EXPECT_EQ(Notifications(e).back(), static_cast<UINT>(EN_KILLFOCUS));
}

TEST_F(EditControlTest, KeyboardSelectionByCharacterWordAndLine)
{
    HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "alpha beta gamma");
    Focus(e);
    SendMessage(e, EM_SETSEL, 0, 0);
    PressWith(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(Sel(e), std::make_pair(6, 6));
    backend->KeyDown(VK_SHIFT);
    backend->KeyDown(VK_CONTROL);
    backend->Key(VK_RIGHT);
    backend->KeyUp(VK_CONTROL);
    backend->Key(VK_RIGHT);
    backend->KeyUp(VK_SHIFT);
    backend->ProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(6, 12));
    // An arrow without Shift collapses the selection to its side.
    Press(VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(6, 6));
    PressWith(VK_SHIFT, VK_END);
    EXPECT_EQ(Sel(e), std::make_pair(6, 16));
    PressWith(VK_SHIFT, VK_HOME);
    EXPECT_EQ(Sel(e), std::make_pair(0, 6)) << "the anchor stays where the selection began";
    // Typing replaces the selection; Backspace and Delete take whole characters.
    Type("\xc3\xa9");
    EXPECT_EQ(Text(e), "\xc3\xa9" "beta gamma");
    EXPECT_EQ(Sel(e), std::make_pair(2, 2));
    Press(VK_LEFT);
    EXPECT_EQ(Sel(e), std::make_pair(0, 0)) << "the caret steps over the whole character";
    Press(VK_DELETE);
    EXPECT_EQ(Text(e), "beta gamma");
    Press(VK_END);
    backend->Key(VK_BACK, "\b");
    backend->ProcessMessages();
    EXPECT_EQ(Text(e), "beta gamm");
}

TEST_F(EditControlTest, MouseClickDragAndDoubleClickSelect)
{
    HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "alpha beta gamma");
    RECT format{};
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int y = (format.top + format.bottom) / 2;
    auto x = [&](int chars) { return static_cast<int>(format.left) + chars * 8; };
    backend->Click(1, Screen(e, x(7) + 1, y));
    backend->ProcessMessages();
    EXPECT_EQ(GetFocus(), e) << "a click gives the focus";
    EXPECT_EQ(Sel(e), std::make_pair(7, 7));
    // The nearer edge of a character wins.
    backend->Click(1, Screen(e, x(7) + 5, y));
    backend->ProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(8, 8));

    backend->MouseDown(1, Screen(e, x(1), y));
    backend->MouseMove(Screen(e, x(4), y));
    backend->MouseUp(1, Screen(e, x(4), y));
    backend->ProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(1, 4));
    EXPECT_EQ(GetCapture(), nullptr);

    // Shift+click extends from the anchor.
    backend->KeyDown(VK_SHIFT);
    backend->Click(1, Screen(e, x(9), y));
    backend->KeyUp(VK_SHIFT);
    backend->ProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(1, 9));

    backend->Click(1, Screen(e, x(8), y));
    backend->Click(1, Screen(e, x(8), y));
    backend->ProcessMessages();
    EXPECT_EQ(Sel(e), std::make_pair(6, 10)) << "a double-click selects the word";

    // Held below a multi-line control, the drag keeps scrolling and selecting.
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "row " + std::to_string(i) + "\r\n";
    DestroyWindow(e);
    HWND m = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 200, 16 * 4 + 2, text.c_str());
    backend->Advance(1000);
    backend->MouseDown(1, Screen(m, 3, 5));
    backend->MouseMove(Screen(m, 10, 16 * 4 + 20));
    backend->ProcessMessages();
    backend->Advance(500);
    int first = static_cast<int>(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GE(first, 8) << "scrolled on while the pointer rested";
    backend->MouseUp(1, Screen(m, 10, 16 * 4 + 20));
    backend->ProcessMessages();
    EXPECT_EQ(Sel(m).first, 0);
    EXPECT_GE(Sel(m).second, static_cast<int>(SendMessage(m, EM_LINEINDEX, first, 0)));
    backend->Advance(500);
    EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE, 0, 0), first) << "and stops with the button";
}

TEST_F(EditControlTest, ClipboardCutCopyPasteAndUndo)
{
    HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "copy me");
    Focus(e);
    SendMessage(e, EM_SETSEL, 5, 7);
    PressWith(VK_CONTROL, 'C', "\x03");
    EXPECT_EQ(ClipboardText(), "me");
    SendMessage(e, EM_SETSEL, 0, 5);
    SendMessage(e, WM_CUT, 0, 0);
    EXPECT_EQ(Text(e), "me");
    EXPECT_EQ(ClipboardText(), "copy ");
    SendMessage(e, EM_SETSEL, 2, 2);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(e), "mecopy ");
    EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
    SendMessage(e, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(e), "me");

    // A single line takes a pasted text up to its first line break.
    PutOnClipboard("first\r\nsecond");
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(e), "first");
    HWND m = Edit(ES_MULTILINE, 200, 80);
    SendMessage(m, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(m), "first\r\nsecond");
    EXPECT_EQ(SendMessage(m, EM_GETLINECOUNT, 0, 0), 2);

    // A password is never copied out; a read-only control takes nothing in.
    HWND p = Edit(ES_PASSWORD | ES_AUTOHSCROLL, 200, 24, "secret");
    SendMessage(p, EM_SETSEL, 0, -1);
    SendMessage(p, WM_COPY, 0, 0);
    SendMessage(p, WM_CUT, 0, 0);
    EXPECT_EQ(ClipboardText(), "first\r\nsecond");
    EXPECT_EQ(Text(p), "secret");
    EXPECT_EQ(SendMessage(p, EM_GETPASSWORDCHAR, 0, 0), '*');
    HWND r = Edit(ES_READONLY | ES_AUTOHSCROLL, 200, 24, "fixed");
    SendMessage(r, EM_SETSEL, 0, -1);
    SendMessage(r, WM_PASTE, 0, 0);
    SendMessage(r, WM_CLEAR, 0, 0);
    Focus(r);
    Type("x");
    EXPECT_EQ(Text(r), "fixed");
    SendMessage(r, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("program"));
    EXPECT_EQ(Text(r), "program") << "the program may still change a read-only control";
}

TEST_F(EditControlTest, ContextMenuOffersWhatTheStateAllows)
{
    PutOnClipboard("pasted");
    HWND e = Edit(ES_AUTOHSCROLL, 300, 24, "hello world");
    Focus(e);
    SendMessage(e, EM_SETSEL, 0, 5);
    MenuDriver driver(*backend);
    driver.ChooseWhenOpen({"Paste"});
    backend->Click(3, Screen(e, 100, 10));
    backend->ProcessMessages();
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_EQ(Text(e), "pasted world");

    // From the keyboard, on a read-only control: only what reads is offered.
    HWND r = Edit(ES_AUTOHSCROLL | ES_READONLY, 300, 24, "fixed text");
    Focus(r);
    SendMessage(r, EM_SETSEL, 0, 5);
    std::map<std::string, bool> enabled;
    backend->WhenIdle([&] {
        std::vector<HWND> menus = MenuDriver::OpenMenus();
        if (menus.empty())
            return;
        HMENU menu = MenuDriver::MenuOf(menus.front());
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (!MenuDriver::Label(menu, i).empty())
                enabled[MenuDriver::Label(menu, i)] = !(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED);
    });
    driver.ChooseWhenOpen({"Select All"});
    Press(VK_APPS);
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_EQ(enabled, (std::map<std::string, bool>{{"Undo", false}, {"Cut", false}, {"Copy", true},
                                                     {"Paste", false}, {"Delete", false}, {"Select All", true}}));
    EXPECT_EQ(Sel(r), std::make_pair(0, 10));
    SendMessage(r, EM_SETSEL, 0, 5);
    driver.ChooseWhenOpen({"Copy"});
    PressWith(VK_SHIFT, VK_F10);
    EXPECT_EQ(driver.Failure(), "");
    EXPECT_EQ(ClipboardText(), "fixed");
    EXPECT_TRUE(MenuDriver::OpenMenus().empty()) << "one menu, closed by the choice";
}

TEST_F(EditControlTest, StylesFilterWhatIsTyped)
{
    HWND n = Edit(ES_NUMBER | ES_AUTOHSCROLL);
    Focus(n);
    Type("1a2");
    EXPECT_EQ(Text(n), "12");
    HWND u = Edit(ES_UPPERCASE | ES_AUTOHSCROLL, 200, 24, "mixed");
    EXPECT_EQ(Text(u), "MIXED");
    Focus(u);
    Press(VK_END);
    Type("ab");
    EXPECT_EQ(Text(u), "MIXEDAB");
    HWND l = Edit(ES_LOWERCASE | ES_AUTOHSCROLL);
    Focus(l);
    Type("AbC");
    EXPECT_EQ(Text(l), "abc");

    // Without horizontal scrolling a single line holds what its width shows: 5 characters.
    HWND narrow = Edit(0, 5 * 8 + 2 + 4, 24);
    Focus(narrow);
    Log().clear();
    Type("abcdefg");
    EXPECT_EQ(Text(narrow), "abcde");
    EXPECT_EQ(Notifications(narrow).back(), static_cast<UINT>(EN_MAXTEXT));
    PutOnClipboard("xyz");
    SendMessage(narrow, EM_SETSEL, 1, 1);
    SendMessage(narrow, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(narrow), "abcde") << "a paste that does not fit is refused whole";

    // Without vertical scrolling a multi-line control holds the rows it shows: three.
    HWND rows = Edit(ES_MULTILINE, 200, 16 * 3 + 2);
    Focus(rows);
    for (int i = 0; i < 4; ++i) {
        Type("a");
        Press(VK_RETURN);
        backend->ProcessMessages();
    }
    EXPECT_EQ(SendMessage(rows, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(Text(rows), "a\r\na\r\naa");
    SendMessage(rows, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(rows), "");
    SendMessage(rows, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(rows), "a\r\na\r\naa") << "the refused line break left the typing step whole";
}

TEST_F(EditControlTest, LimitStopsTypingWithMaxText)
{
    HWND e = Edit(ES_AUTOHSCROLL);
    SendMessage(e, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 3);
    Focus(e);
    Log().clear();
    Type("abcd");
    EXPECT_EQ(Text(e), "abc");
    auto codes = Notifications(e);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<UINT>(EN_MAXTEXT)), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<UINT>(EN_CHANGE)), 3);
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("wxyz"));
    EXPECT_EQ(Text(e), "wxy");

    // A selection past 65535 comes back through the pointers only.
    std::string big(70000, 'b');
    SetWindowText(e, big.c_str());
    EXPECT_EQ(Text(e), big) << "text set by the program is not held to the typing limit";
    SendMessage(e, EM_SETSEL, 5, -1);
    DWORD start = 0, end = 0;
    EXPECT_EQ(SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), -1);
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 70000u);
}

TEST_F(EditControlTest, LineMessagesFollowWrappedRows)
{
    // 10 characters to a row (80 pixels of text after the margins).
    HWND e = Edit(ES_MULTILINE, 80 + 4, 100, "first line\r\nsecond row wraps here\r\n");
    ASSERT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 12);
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 2, 0), 23) << "'second row ' wraps before 'wraps'";
    EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 9, 0), -1);
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 13, 0), 11);
    EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 25, 0), 2);
    char buffer[32] = {};
    WORD room = sizeof(buffer);
    std::memcpy(buffer, &room, sizeof(room));
    LRESULT n = SendMessage(e, EM_GETLINE, 2, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), "wraps here");
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 40, 0), 0) << "the empty last row";

    EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 35, 0), -1) << "past the last character";
    LRESULT pos = SendMessage(e, EM_POSFROMCHAR, 25, 0);
    LRESULT hit = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(pos) + 1, HIWORD(pos) + 2));
    EXPECT_EQ(LOWORD(hit), 25);
    EXPECT_EQ(HIWORD(hit), 2);

    // End on a wrapped row keeps the caret at that row's end, and Home then stays on the row.
    Focus(e);
    SendMessage(e, EM_SETSEL, 14, 14);
    Press(VK_END);
    EXPECT_EQ(Sel(e), std::make_pair(23, 23));
    POINT caret{};
    GetCaretPos(&caret);
    LRESULT rowStart = SendMessage(e, EM_POSFROMCHAR, 12, 0);
    EXPECT_EQ(caret.y, HIWORD(rowStart)) << "on the wrapped row, not the next";
    EXPECT_EQ(caret.x, LOWORD(rowStart) + 11 * 8);
    Press(VK_HOME);
    EXPECT_EQ(Sel(e), std::make_pair(12, 12));
    Press(VK_END);
    Press(VK_DOWN);
    EXPECT_EQ(Sel(e), std::make_pair(33, 33)) << "down from the row's end goes to the next row's end";

    // Tab stops in dialog units: 4 units are one average character.
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a\tb"));
    INT stop = 20;
    SendMessage(e, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    EXPECT_EQ(LOWORD(SendMessage(e, EM_POSFROMCHAR, 2, 0)) - LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)), 40);
    // One stop given without its array, or stops that run backwards, fall back to the default.
    SendMessage(e, EM_SETTABSTOPS, 1, 0);
    INT backwards[] = {-4, 0};
    SendMessage(e, EM_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(backwards));
    EXPECT_EQ(LOWORD(SendMessage(e, EM_POSFROMCHAR, 2, 0)) - LOWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)), 64);
}

TEST_F(EditControlTest, ScrollingKeepsTheCaretInViewAndNotifies)
{
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    HWND e = Edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL, 200, 16 * 5 + 2, text.c_str());
    Focus(e);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    PressWith(VK_CONTROL, VK_END);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 46) << "51 rows, 5 shown";
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(e, SB_VERT, &si);
    EXPECT_EQ(si.nPos, 46);
    EXPECT_EQ(si.nPage, 5u);
    EXPECT_EQ(si.nMax, 50);
    CaretInfo caret = GetCaretInfo();
    EXPECT_EQ(caret.owner, e);
    EXPECT_EQ(caret.pos.y, 1 + 4 * 16) << "the caret sits on the last shown row";

    Log().clear();
    SendMessage(e, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 41);
    EXPECT_EQ(Notifications(e), (std::vector<UINT>{EN_VSCROLL}));
    SendMessage(e, EM_LINESCROLL, 0, -100);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessage(e, EM_LINESCROLL, 0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 46) << "a huge count stops at the end";
    SendMessage(e, EM_LINESCROLL, 0, -100);
    SendMessage(e, EM_SETSEL, 300, 300);
    SendMessage(e, EM_SCROLLCARET, 0, 0);
    EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), SendMessage(e, EM_LINEFROMCHAR, 300, 0) - 4);
    EXPECT_EQ(LOWORD(SendMessage(e, EM_SCROLL, SB_LINEUP, 0)), static_cast<WORD>(-1));

    // A single line scrolls sideways to keep the caret shown.
    HWND s = Edit(ES_AUTOHSCROLL, 10 * 8 + 4, 24);
    Focus(s);
    Type("0123456789abcdef");
    POINT pt{};
    GetCaretPos(&pt);
    EXPECT_GT(SendMessage(s, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_LT(pt.x, 10 * 8 + 2);
    EXPECT_GE(pt.x, 0);

    // A formatting rectangle of any size keeps the control working.
    RECT extreme{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    SendMessage(s, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&extreme));
    Type("z");
    UpdateWindow(s);
    RECT kept{};
    SendMessage(s, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&kept));
    EXPECT_EQ(kept.right, 0x7FFF);
    EXPECT_EQ(Text(s), "0123456789abcdefz");

    // The horizontal range reaches the widest row shown.
    HWND wide = Edit(ES_MULTILINE | ES_AUTOHSCROLL | WS_HSCROLL, 100, 80, "short\r\n0123456789012345678901234567890123456789");
    UpdateWindow(wide);
    SCROLLINFO h{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(wide, SB_HORZ, &h);
    EXPECT_GE(h.nMax, 40 * 8);
    EXPECT_LT(h.nMax, 40 * 8 + 2 * 8);
}

TEST_F(EditControlTest, DialogCodesAndParentColours)
{
    HWND single = Edit(ES_AUTOHSCROLL);
    HWND multi = Edit(ES_MULTILINE);
    HWND wantReturn = Edit(ES_MULTILINE | ES_WANTRETURN);
    EXPECT_EQ(SendMessage(single, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    MSG enter{multi, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_FALSE(SendMessage(multi, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS);
    enter.hwnd = wantReturn;
    EXPECT_TRUE(SendMessage(wantReturn, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessage(single, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));

    // The parent paints the background: its brush shows inside the control.
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (hwnd != parent || (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC))
            return false;
        result = message == WM_CTLCOLOREDIT ? reinterpret_cast<LRESULT>(yellow) : 0;
        return true;
    };
    Log().clear();
    InvalidateRect(single, nullptr, TRUE);
    SendMessage(single, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLong(single, GWL_STYLE) & ES_READONLY);
    UpdateWindow(single);
    EXPECT_FALSE(Of(parent, WM_CTLCOLORSTATIC).empty()) << "a read-only control asks for the static colours";
    SendMessage(single, EM_SETREADONLY, FALSE, 0);
    UpdateWindow(single);
    ASSERT_FALSE(Of(parent, WM_CTLCOLOREDIT).empty());
    cairo_surface_t* shot = backend->Capture(parent);
    ASSERT_NE(shot, nullptr);
    cairo_surface_flush(shot);
    auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(shot) + (10 + 20) * cairo_image_surface_get_stride(shot));
    EXPECT_EQ(row[10 + 150] & 0xFFFFFF, 0xFFFF00u);
    cairo_surface_destroy(shot);
    Handler() = nullptr;
    DeleteObject(yellow);
}

TEST_F(EditControlTest, SelectionShowsInHighlightWhileFocused)
{
    HWND e = Edit(ES_AUTOHSCROLL, 200, 24, "abcdefgh");
    RECT format{};
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    SendMessage(e, EM_SETSEL, 2, 4);
    // Characters 2 and 3 cover x 16..31 past the left margin; a glyph box leaves its last column.
    const int inside = format.left + 2 * 8 + 7;
    const int outside = format.left + 5 * 8 + 7;
    const int y = format.top + 1;
    EXPECT_EQ(PixelAt(e, inside, y), SysRgb(COLOR_WINDOW)) << "hidden without the focus";
    Focus(e);
    EXPECT_EQ(PixelAt(e, inside, y), SysRgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(e, outside, y), SysRgb(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(e, format.left + 2 * 8 + 1, y), SysRgb(COLOR_HIGHLIGHTTEXT)) << "the selected glyph";
    EXPECT_EQ(PixelAt(e, format.left + 5 * 8 + 1, y), SysRgb(COLOR_WINDOWTEXT)) << "an unselected glyph";
    HWND p = Edit(ES_PASSWORD | ES_AUTOHSCROLL, 200, 24, "ab");
    EXPECT_EQ(PixelAt(p, format.left + 1, y), SysRgb(COLOR_WINDOWTEXT)) << "a password shows its character";
    // A line millions of pixels long, scrolled to its end, shows its last letters there, in
    // the fonts the program draws with.
    struct ProgramFonts {
        ProgramFonts() { SetTestFontMode(false); }
        ~ProgramFonts() { SetTestFontMode(true); }
    } fonts;
    std::string line;
    while (line.size() < 1200000)
        line += "Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC Stra\xC3\x9F" "e caf\xC3\xA9 guide ";
    HWND l = Control(WC_EDIT, ES_AUTOHSCROLL | ES_MULTILINE, 10, 10, 200, 24, line.c_str());
    HFONT hSans = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
    SendMessage(l, WM_SETFONT, reinterpret_cast<WPARAM>(hSans), TRUE);
    SendMessage(l, EM_SETSEL, line.size(), line.size());
    SendMessage(l, EM_SCROLLCARET, 0, 0);
    UpdateWindow(parent);
    cairo_surface_t* shot = backend->Capture(parent);
    ASSERT_NE(shot, nullptr);
    cairo_surface_flush(shot);
    // Dark pixels are the letters' cores, whatever the font's smoothing.
    POINT origin{0, 0};
    MapWindowPoints(l, parent, &origin, 1);
    int nLetters = 0;
    for (int yy = 0; yy < 24; ++yy) {
        const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(shot) +
                                                            (origin.y + yy) * cairo_image_surface_get_stride(shot));
        for (int x = 0; x < 200; ++x) {
            const uint32_t pixel = row[origin.x + x];
            nLetters += ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 0x60 ? 1 : 0;
        }
    }
    cairo_surface_destroy(shot);
    DestroyWindow(l);
    DeleteObject(hSans);
    EXPECT_GT(nLetters, 50) << "the end of a long line shows no letters";
}

TEST_F(EditControlTest, RichEditStandInAppendsAndTellsByItsEventMask)
{
    HWND r = Control(RICHEDIT_CLASS, WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 10, 200, 80);
    ASSERT_NE(r, nullptr);
    Log().clear();
    for (const char* line : {"one\n", "two\n"}) {
        LRESULT length = SendMessage(r, WM_GETTEXTLENGTH, 0, 0);
        CHARRANGE end{static_cast<LONG>(length), static_cast<LONG>(length)};
        SendMessage(r, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
        SendMessage(r, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line));
    }
    EXPECT_EQ(Text(r), "one\ntwo\n");
    EXPECT_EQ(SendMessage(r, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_TRUE(Notifications(r).empty()) << "no events without a mask";
    SendMessage(r, EM_SETEVENTMASK, 0, ENM_CHANGE);
    CHARRANGE all{0, -1};
    SendMessage(r, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    CHARRANGE got{};
    SendMessage(r, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.cpMax, 8);
    SendMessage(r, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(r), "");
    EXPECT_EQ(Notifications(r), (std::vector<UINT>{EN_CHANGE}));

    // Its scroll bar shows only once the lines pass the height, and the last line stays in view;
    // made read-only while the bar is hidden, it keeps the bar all the same.
    SendMessage(r, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessage(r, EM_SETREADONLY, TRUE, 0);
    RECT client;
    GetClientRect(r, &client);
    const LONG full = client.right;
    for (int i = 0; i < 12; ++i) {
        LRESULT length = SendMessage(r, WM_GETTEXTLENGTH, 0, 0);
        SendMessage(r, EM_SETSEL, static_cast<WPARAM>(length), length);
        SendMessage(r, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(("line " + std::to_string(i) + "\n").c_str()));
        GetClientRect(r, &client);
        if (i == 0) {
            EXPECT_EQ(client.right, full) << "no bar for one line";
        }
    }
    EXPECT_LT(client.right, full);
    EXPECT_EQ(SendMessage(r, EM_GETFIRSTVISIBLELINE, 0, 0), 13 - (80 - 1) / 16);
}
