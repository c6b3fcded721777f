// Bitmap menus: plain items converted to owner-drawn and restored, system and foreign items
// left alone, measuring, mnemonics with one and several matches (wrapping), a font change
// re-measuring, and the pixels of selected, checked and disabled items.
#include <gtest/gtest.h>

#include <memory>

#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScreenCapture.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"
#include "toolkit/toolbars/SECBmpMgr.h"

namespace {

constexpr UINT kOpen = ID_TB_TWO, kSave = 7301, kSearch = 7302, kForeign = 7303;

class SECBmpMenuPlugInTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top->m_hWnd, nullptr));
        plugIn = std::make_unique<SECBmpMenuPlugIn>(TRUE);
        ASSERT_TRUE(plugIn->Attach(&host));
        auto* mgr = new SECBmpMgr;
        ASSERT_TRUE(mgr->LoadToolBar(IDR_TB_SMALL));
        plugIn->SetBmpMgr(mgr);
        mgr->Release();
        menu = ::CreatePopupMenu();
        ::AppendMenu(menu, MF_STRING, kOpen, "&Open\tCtrl+O");
        ::AppendMenu(menu, MF_STRING, kSave, "&Save");
        ::AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenu(menu, MF_STRING, kSearch, "&Search...");
        ::AppendMenu(menu, MF_OWNERDRAW, kForeign, reinterpret_cast<LPCSTR>(0x1234));
        ::AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close");
        ::AppendMenu(menu, MF_STRING, ID_TB_ONE, "&Keep");
    }
    void TearDown() override
    {
        plugIn.reset();
        if (::IsMenu(menu))
            ::DestroyMenu(menu);
        host.DestroyWindow();
        AfxTest::TearDown();
    }
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = 0;
        plugIn->OnWndMsg(msg, wParam, lParam, &result);
        return result;
    }
    MENUITEMINFO Item(UINT pos, char* text = nullptr)
    {
        MENUITEMINFO mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | (text ? MIIM_STRING : 0);
        mii.dwTypeData = text;
        mii.cch = 64;
        ::GetMenuItemInfo(menu, pos, TRUE, &mii);
        return mii;
    }

    CWnd host;
    std::unique_ptr<SECBmpMenuPlugIn> plugIn;
    HMENU menu = nullptr;
};

}   // namespace

TEST_F(SECBmpMenuPlugInTest, PlainItemsBecomeOwnerDrawnAndComeBackWhenThePlugInGoes)
{
    Dispatch(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 0));
    for (UINT pos : {0u, 1u, 3u}) {
        const MENUITEMINFO mii = Item(pos);
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << pos;
        EXPECT_NE(plugIn->FindOwnRecord(mii.dwItemData), nullptr) << pos;
    }
    EXPECT_FALSE(Item(2).fType & MFT_OWNERDRAW);   // separator
    EXPECT_FALSE(Item(5).fType & MFT_OWNERDRAW);   // system command
    EXPECT_TRUE(plugIn->IsForeign(kForeign));
    EXPECT_EQ(plugIn->FindOwnRecord(0x1234), nullptr);
    EXPECT_EQ(plugIn->FindOwnRecord(Item(0).dwItemData)->m_cMnemonic, 'o');

    // Preparing again changes nothing.
    const ULONG_PTR first = Item(0).dwItemData;
    Dispatch(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(Item(0).dwItemData, first);

    plugIn.reset();
    char text[64] = {};
    const MENUITEMINFO restored = Item(0, text);
    EXPECT_FALSE(restored.fType & MFT_OWNERDRAW);
    EXPECT_STREQ(text, "&Open\tCtrl+O");
    EXPECT_EQ(Item(4).dwItemData, 0x1234u);   // the foreign item keeps its own data
}

TEST_F(SECBmpMenuPlugInTest, MeasuringTakesOnlyOwnItemsAndMnemonicsSelectOrExecute)
{
    Dispatch(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, kOpen, 0, 0, Item(0).dwItemData};
    EXPECT_EQ(Dispatch(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), 1);
    EXPECT_TRUE(plugIn->m_bExitDefault);
    EXPECT_GE(static_cast<int>(mis.itemHeight), ::GetSystemMetrics(SM_CYMENU));
    const UINT openWidth = mis.itemWidth;
    MEASUREITEMSTRUCT save{ODT_MENU, 0, kSave, 0, 0, Item(1).dwItemData};
    Dispatch(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&save));
    EXPECT_GT(openWidth, save.itemWidth);   // the accelerator takes room
    EXPECT_GT(save.itemWidth, 16u + 30u);

    MEASUREITEMSTRUCT foreign{ODT_MENU, 0, kForeign, 0, 7, 0x1234};
    Dispatch(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign));
    EXPECT_FALSE(plugIn->m_bExitDefault);
    EXPECT_EQ(foreign.itemHeight, 7u);

    EXPECT_EQ(Dispatch(WM_MENUCHAR, 'O', reinterpret_cast<LPARAM>(menu)), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(Dispatch(WM_MENUCHAR, 's', reinterpret_cast<LPARAM>(menu)), MAKELRESULT(1, MNC_SELECT));
    ::HiliteMenuItem(host.m_hWnd, menu, 1, MF_BYPOSITION | MF_HILITE);
    EXPECT_EQ(Dispatch(WM_MENUCHAR, 's', reinterpret_cast<LPARAM>(menu)), MAKELRESULT(3, MNC_SELECT));
    ::HiliteMenuItem(host.m_hWnd, menu, 1, MF_BYPOSITION | MF_UNHILITE);
    ::HiliteMenuItem(host.m_hWnd, menu, 3, MF_BYPOSITION | MF_HILITE);
    EXPECT_EQ(Dispatch(WM_MENUCHAR, 's', reinterpret_cast<LPARAM>(menu)), MAKELRESULT(1, MNC_SELECT));   // wraps
    EXPECT_EQ(Dispatch(WM_MENUCHAR, 'x', reinterpret_cast<LPARAM>(menu)), 0);
    EXPECT_FALSE(plugIn->m_bExitDefault);

    // A settings change keeps the items owner-drawn with their records.
    const ULONG_PTR record = Item(0).dwItemData;
    Dispatch(WM_SETTINGCHANGE, 0, 0);
    EXPECT_TRUE(Item(0).fType & MFT_OWNERDRAW);
    EXPECT_EQ(Item(0).dwItemData, record);

    // Idle purging forgets a menu that is gone.
    ::DestroyMenu(menu);
    Dispatch(WM_IDLEUPDATECMDUI, 0, 0);
    EXPECT_EQ(plugIn->GetMenuCount(), 0u);
    EXPECT_EQ(plugIn->FindOwnRecord(record), nullptr);
}

TEST_F(SECBmpMenuPlugInTest, SelectedCheckedAndDisabledItemsDrawTheirImagesAndColours)
{
    Dispatch(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, 200, 24);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, canvas);
    auto draw = [&](UINT state, UINT pos = 0) {
        DRAWITEMSTRUCT dis{ODT_MENU, 0, Item(pos).wID, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(menu), dc,
                           RECT{0, 0, 200, 24}, Item(pos).dwItemData};
        EXPECT_EQ(Dispatch(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    };
    auto pixel = [&](int x, int y) {
        const COLORREF c = ::GetPixel(dc, x, y);
        return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    };
    auto rgb = [](int index) {
        const COLORREF c = ::GetSysColor(index);
        return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    };
    // The image box: the column starts at 1 and is 16 + 4 wide; the image at +2 in the box.
    const int imageX = 1 + 2 + 8, imageY = (24 - 19) / 2 + 2 + 7;
    draw(ODS_SELECTED);
    EXPECT_EQ(pixel(imageX, imageY), 0x00FF00u);        // the command's image
    EXPECT_EQ(pixel(150, 2), rgb(COLOR_HIGHLIGHT));     // the selected text area
    draw(0);
    EXPECT_EQ(pixel(150, 2), rgb(COLOR_MENU));
    draw(ODS_DISABLED);
    EXPECT_NE(pixel(imageX, imageY), 0x00FF00u);        // embossed, not in colour
    draw(ODS_CHECKED);
    EXPECT_EQ(pixel(imageX, imageY), 0x00FF00u);
    // An image on the face colour: checked, its background is dithered with the highlight.
    draw(ODS_CHECKED, 6);
    int light = 0;
    for (int x = 3; x < 7; ++x)
        light += pixel(x, imageY) == rgb(COLOR_3DHILIGHT);
    EXPECT_GT(light, 0);
    EXPECT_LT(light, 4);
    ::SelectObject(dc, old);
    ::DeleteObject(canvas);
    ::DeleteDC(dc);
}
