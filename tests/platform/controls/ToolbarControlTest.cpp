// The toolbar control: its model's layout, the TB_ messages, clicks and the drop-down notice,
// and the images it paints in each state.
#include "platform/controls/Button.h"
#include "platform/controls/ToolbarControl.h"
#include "platform/win/Gdi.h"
#include "tests/platform/controls/StandardControlFixture.h"

#include <cstring>

namespace {

TBBUTTON Button(int image, int id, BYTE style = TBSTYLE_BUTTON, BYTE state = TBSTATE_ENABLED)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    return b;
}

TBBUTTON Separator(int width, BYTE state = 0)
{
    return Button(width, 0, TBSTYLE_SEP, state);
}

// A strip of 16 x 15 images, each a face-coloured square with a solid square of its colour in
// the middle (pixels 4..11 across, 4..10 down).
HBITMAP MakeStrip(std::initializer_list<COLORREF> colours)
{
    const int n = static_cast<int>(colours.size());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16 * n, 15);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    RECT all{0, 0, 16 * n, 15};
    FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
    int i = 0;
    for (COLORREF c : colours) {
        HBRUSH brush = CreateSolidBrush(c);
        RECT r{16 * i + 4, 4, 16 * i + 12, 11};
        FillRect(mem, &r, brush);
        DeleteObject(brush);
        ++i;
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

} // namespace

TEST(ToolbarModelTest, LaysOutRowsSeparatorsDropDownsAndImagesAcrossStrips)
{
    ToolbarModel model;
    model.arrowWidth = 10;
    model.exStyle = TBSTYLE_EX_DRAWDDARROWS;
    model.Insert(-1, Button(0, 1));
    model.Insert(-1, Separator(6));
    model.Insert(-1, Button(1, 2, TBSTYLE_DROPDOWN, TBSTATE_ENABLED | TBSTATE_WRAP));
    model.Insert(-1, Button(2, 3, TBSTYLE_BUTTON, TBSTATE_ENABLED | TBSTATE_HIDDEN));
    model.Insert(-1, Separator(9, TBSTATE_WRAP));
    model.Insert(-1, Button(2, 4));
    model.Insert(0, Button(5, 9)); // before the first
    model.Insert(99, Button(6, 10)); // past the end: appended

    std::vector<RECT> r = model.Layout(0);
    ASSERT_EQ(r.size(), 8u);
    EXPECT_EQ(r[0].left, 0);
    EXPECT_EQ(r[1].left, 24);
    EXPECT_EQ(r[2].left, 48) << "a separator takes its own width";
    EXPECT_EQ(r[2].right - r[2].left, 6);
    EXPECT_EQ(r[3].right - r[3].left, 34) << "a drop-down button adds its arrow";
    EXPECT_EQ(r[4].right - r[4].left, 0) << "a hidden button takes no room";
    // Row two: after the wrapped drop-down; the wrapping separator adds 9 * 2 / 3 below it.
    EXPECT_EQ(r[5].top, 44);
    EXPECT_EQ(r[5].bottom, 50);
    EXPECT_EQ(r[6].left, 0);
    EXPECT_EQ(r[6].top, 22 + 22 + 6);
    EXPECT_EQ(r[7].left, 24);
    EXPECT_EQ(model.Layout(TBSTYLE_FLAT)[6].top, 44) << "a flat bar leaves no separator gap";

    EXPECT_EQ(model.CommandToIndex(4), 6);
    EXPECT_EQ(model.CommandToIndex(77), -1);
    EXPECT_FALSE(model.Delete(8));
    EXPECT_TRUE(model.Delete(0));
    EXPECT_EQ(model.CommandToIndex(4), 5);

    HBITMAP a = reinterpret_cast<HBITMAP>(0x10);
    HBITMAP b = reinterpret_cast<HBITMAP>(0x20);
    HBITMAP c = reinterpret_cast<HBITMAP>(0x30);
    EXPECT_EQ(model.AddBitmap(a, 3), 0);
    EXPECT_EQ(model.AddBitmap(b, 2), 3);
    HBITMAP found = nullptr;
    int column = -1;
    ASSERT_TRUE(model.FindImage(4, found, column));
    EXPECT_EQ(found, b);
    EXPECT_EQ(column, 1);
    EXPECT_FALSE(model.FindImage(5, found, column));
    EXPECT_FALSE(model.FindImage(-1, found, column));
    EXPECT_TRUE(model.ReplaceBitmap(a, c, 4));
    EXPECT_FALSE(model.ReplaceBitmap(a, c, 4)) << "the old bitmap is gone";
    ASSERT_TRUE(model.FindImage(3, found, column));
    EXPECT_EQ(found, c) << "the replaced strip now has four images";
}

TEST(ToolbarVersionTest, AnswersAFixedVersionAndRefusesABadRecord)
{
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_EQ(DllGetVersion(&info), S_OK);
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 81u);
    info.cbSize = 12;
    EXPECT_EQ(DllGetVersion(&info), E_INVALIDARG);
    EXPECT_EQ(DllGetVersion(nullptr), E_INVALIDARG);
}

class ToolbarControlTest : public StandardControlTest {
protected:
    HWND MakeToolbar(DWORD style = 0)
    {
        HWND bar = Control(TOOLBARCLASSNAME, style, 0, 0, 300, 60, "", 42);
        SendMessage(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        return bar;
    }
    void Add(HWND bar, std::initializer_list<TBBUTTON> buttons)
    {
        std::vector<TBBUTTON> list(buttons);
        ASSERT_TRUE(SendMessage(bar, TB_ADDBUTTONS, list.size(), reinterpret_cast<LPARAM>(list.data())));
    }
    RECT ItemRect(HWND bar, int index)
    {
        RECT r{-1, -1, -1, -1};
        SendMessage(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void ClickAt(HWND bar, int x, int y)
    {
        backend->Click(1, Screen(bar, x, y));
        backend->ProcessMessages();
    }
    std::vector<int> Commands(HWND bar)
    {
        std::vector<int> ids;
        for (auto& m : Of(parent, WM_COMMAND))
            if (reinterpret_cast<HWND>(m.lParam) == bar)
                ids.push_back(LOWORD(m.wParam));
        return ids;
    }
};

TEST_F(ToolbarControlTest, MessagesKeepButtonsStatesAndRefuseAForeignRecordSize)
{
    HWND bar = Control(TOOLBARCLASSNAME, 0, 0, 0, 300, 40, "", 42);
    TBBUTTON one = Button(0, 101);
    // A caller that declares a 32-bit record would be read at the wrong stride.
    SendMessage(bar, TB_BUTTONSTRUCTSIZE, 20, 0);
    EXPECT_FALSE(SendMessage(bar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&one)));
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 0);
    SendMessage(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    Add(bar, {one, Separator(8), Button(1, 102, TBSTYLE_CHECK)});
    TBBUTTON before = Button(2, 100);
    before.dwData = 0x1234567890ull;
    ASSERT_TRUE(SendMessage(bar, TB_INSERTBUTTON, 0, reinterpret_cast<LPARAM>(&before)));
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 102, 0), 3);

    TBBUTTON got{};
    ASSERT_TRUE(SendMessage(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_EQ(got.idCommand, 100);
    EXPECT_EQ(got.dwData, 0x1234567890ull) << "the pointer-sized data survives";
    EXPECT_FALSE(SendMessage(bar, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&got)));
    EXPECT_FALSE(SendMessage(bar, TB_GETBUTTON, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&got)));

    // States by command.
    EXPECT_TRUE(SendMessage(bar, TB_ENABLEBUTTON, 101, FALSE));
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONENABLED, 101, 0));
    EXPECT_TRUE(SendMessage(bar, TB_CHECKBUTTON, 102, TRUE));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 102, 0));
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 102, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
    EXPECT_TRUE(SendMessage(bar, TB_SETSTATE, 102, TBSTATE_INDETERMINATE));
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 102, 0), TBSTATE_INDETERMINATE);
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 555, 0), -1);
    EXPECT_FALSE(SendMessage(bar, TB_ENABLEBUTTON, 555, TRUE));

    // Rectangles follow sizes and hiding.
    ASSERT_TRUE(SendMessage(bar, TB_SETBUTTONSIZE, 0, MAKELONG(30, 26)));
    EXPECT_FALSE(SendMessage(bar, TB_SETBUTTONSIZE, 0, MAKELONG(0, 26)));
    RECT r = ItemRect(bar, 3);
    EXPECT_EQ(r.left, 30 + 30 + 8);
    EXPECT_EQ(r.bottom, 26);
    SendMessage(bar, TB_HIDEBUTTON, 100, TRUE);
    EXPECT_EQ(ItemRect(bar, 3).left, 30 + 8);
    RECT none{};
    EXPECT_FALSE(SendMessage(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&none))) << "hidden";
    EXPECT_TRUE(SendMessage(bar, TB_DELETEBUTTON, 0, 0));
    EXPECT_FALSE(SendMessage(bar, TB_DELETEBUTTON, 3, 0));
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessage(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS), 0);
    EXPECT_EQ(SendMessage(bar, TB_GETEXTENDEDSTYLE, 0, 0), TBSTYLE_EX_DRAWDDARROWS);
}

TEST_F(ToolbarControlTest, ClicksSendCommandsToTheOwnerAndCheckButtonsToggle)
{
    HWND bar = MakeToolbar();
    Add(bar, {Button(0, 201), Button(1, 202, TBSTYLE_BUTTON, 0), Button(2, 203, TBSTYLE_CHECK),
              Button(0, 204, TBSTYLE_CHECKGROUP), Button(1, 205, TBSTYLE_CHECKGROUP, TBSTATE_ENABLED | TBSTATE_CHECKED)});
    ClickAt(bar, 10, 10);
    ClickAt(bar, 34, 10);  // disabled
    ClickAt(bar, 58, 10);
    EXPECT_EQ(Commands(bar), (std::vector<int>{201, 203}));
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 203, 0));
    ClickAt(bar, 58, 10);
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONCHECKED, 203, 0)) << "a check button toggles";

    // One of a group: checking one clears the other.
    ClickAt(bar, 82, 10);
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONCHECKED, 204, 0));
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONCHECKED, 205, 0));

    // Pressed, then released off the button: no command, the button comes up.
    const size_t before = Commands(bar).size();
    backend->MouseDown(1, Screen(bar, 10, 10));
    backend->ProcessMessages();
    backend->MouseMove(Screen(bar, 10, 50));
    backend->MouseUp(1, Screen(bar, 10, 50));
    backend->ProcessMessages();
    EXPECT_EQ(Commands(bar).size(), before);
    EXPECT_EQ(GetCapture(), nullptr);

    // Another owner takes the commands.
    HWND other = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(other), 0)), parent);
    ClickAt(bar, 10, 10);
    ASSERT_EQ(Of(other, WM_COMMAND).size(), 1u);
    EXPECT_EQ(LOWORD(Of(other, WM_COMMAND)[0].wParam), 201);
    EXPECT_EQ(HIWORD(Of(other, WM_COMMAND)[0].wParam), BN_CLICKED);
}

TEST_F(ToolbarControlTest, DropDownNoticeCarriesTheButtonAndSurvivesAnOwnerThatRemovesIt)
{
    HWND bar = MakeToolbar();
    Add(bar, {Button(0, 301, TBSTYLE_DROPDOWN), Button(1, 302, TBSTYLE_DROPDOWN)});
    struct Seen {
        int item;
        RECT rect;
        UINT_PTR from;
    };
    std::vector<Seen> seen;
    bool removeOnNotice = false;
    Handler() = [&](HWND hwnd, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
        if (hwnd != parent || msg != WM_NOTIFY)
            return false;
        auto* nm = reinterpret_cast<NMTOOLBAR*>(lParam);
        if (nm->hdr.code != static_cast<UINT>(TBN_DROPDOWN))
            return false;
        seen.push_back({nm->iItem, nm->rcButton, nm->hdr.idFrom});
        EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONPRESSED, static_cast<WPARAM>(nm->iItem), 0)) << "pressed while open";
        if (removeOnNotice)
            SendMessage(bar, TB_DELETEBUTTON, 0, 0);
        result = TBDDRET_DEFAULT;
        return true;
    };
    // Without separate arrows the whole button drops down, and no command is sent.
    ClickAt(bar, 30, 10);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].item, 302);
    EXPECT_EQ(seen[0].rect.left, 24);
    EXPECT_EQ(seen[0].from, 42u);
    EXPECT_TRUE(Commands(bar).empty());
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONPRESSED, 302, 0));

    // With separate arrows: the face sends the command, the arrow the notice.
    SendMessage(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    const RECT first = ItemRect(bar, 0);
    EXPECT_GT(first.right - first.left, 24);
    ClickAt(bar, 5, 10);
    EXPECT_EQ(Commands(bar), std::vector<int>{301});
    removeOnNotice = true;
    ClickAt(bar, first.right - 2, 10);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].item, 301);
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), 1);
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONPRESSED, 302, 0));
    Handler() = nullptr;
}

TEST_F(ToolbarControlTest, PaintsImagesPressedDisabledAndFromAReplacedStrip)
{
    HWND bar = MakeToolbar();
    HBITMAP strip = MakeStrip({RGB(255, 0, 0), RGB(0, 0, 255)});
    TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    ASSERT_EQ(SendMessage(bar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&add)), 0);
    TBADDBITMAP stock{reinterpret_cast<HINSTANCE>(1), 1};
    EXPECT_EQ(SendMessage(bar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&stock)), -1) << "no stock images";
    Add(bar, {Button(0, 1), Button(1, 2), Button(0, 3, TBSTYLE_BUTTON, 0), Button(0, 4, TBSTYLE_BUTTON, TBSTATE_ENABLED | TBSTATE_PRESSED)});
    // Images sit centred: (24 - 16) / 2 = 4 across, (22 - 15) / 2 = 3 down; the square at +4.
    EXPECT_EQ(PixelAt(bar, 4 + 4, 3 + 4), 0xFF0000u);
    EXPECT_EQ(PixelAt(bar, 24 + 4 + 4, 3 + 4), 0x0000FFu);
    EXPECT_EQ(PixelAt(bar, 0, 0), SysRgb(COLOR_3DLIGHT)) << "a raised edge";
    EXPECT_EQ(PixelAt(bar, 1, 1), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PixelAt(bar, 23, 21), SysRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(PixelAt(bar, 48 + 4 + 4, 3 + 4), SysRgb(COLOR_BTNSHADOW)) << "a disabled image is embossed";
    EXPECT_EQ(PixelAt(bar, 48 + 4 + 12, 3 + 11), SysRgb(COLOR_BTNHIGHLIGHT)) << "with its light shadow";
    EXPECT_EQ(PixelAt(bar, 72 + 4 + 4, 3 + 4), SysRgb(COLOR_BTNFACE)) << "a pressed image moves down-right";
    EXPECT_EQ(PixelAt(bar, 72 + 4 + 5, 3 + 5), 0xFF0000u);

    HBITMAP green = MakeStrip({RGB(0, 160, 0), RGB(0, 0, 255)});
    TBREPLACEBITMAP rep{nullptr, reinterpret_cast<UINT_PTR>(strip), nullptr, reinterpret_cast<UINT_PTR>(green), 2};
    ASSERT_TRUE(SendMessage(bar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&rep)));
    EXPECT_FALSE(SendMessage(bar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&rep))) << "the old strip is gone";
    EXPECT_EQ(PixelAt(bar, 4 + 4, 3 + 4), 0x00A000u);
    DestroyWindow(bar);
    DeleteObject(strip);
    DeleteObject(green);
}
