// The menu-bar pieces through a test bar: menu buttons sized by their text and known by their
// mnemonics, Alt+letter and Alt+Space opening menus, the keyboard system-menu command (and not
// a click's), and the maximized child's caption buttons acting on the child.
#include "tests/toolkit/toolbars/ToolbarFixture.h"

#include <vector>

#include "tests/support/MenuDriver.h"

#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "toolkit/menus/SECMenuBarFeature.h"

namespace {

constexpr UINT kFileBtn = 7501, kEditBtn = 7502, kCaptionBtn = 7503;

const SECBtnMapEntry kMenuBarMap[] = {
    {&SECTBMenuBtn::classSECTBMenuBtn, kFileBtn, 0, {0, 0, 0, 0, 0}},
    {&SECTBMenuBtn::classSECTBMenuBtn, kEditBtn, 0, {0, 0, 0, 0, 0}},
    {&SECBtnCaption::classSECBtnCaption, kCaptionBtn, 0xB0000, {0, 0, 0, 0, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}},
};

// A toolbar that serves as a menu bar and records what it is asked to open.
class TestMenuBar : public SECCustomToolBar, public ISECMenuBarHost {
public:
    CWnd* GetBarWnd() override { return this; }
    int FindMnemonicButton(char c) override
    {
        for (int i = 0; i < GetBtnCount(); ++i)
            if (auto* b = dynamic_cast<SECTBMenuBtn*>(GetBtn(i)); b && b->m_cMnemonic == c)
                return i;
        return -1;
    }
    void OpenButtonMenu(int nIndex, BOOL bKeyboard) override
    {
        opened.push_back(nIndex);
        keyboard = bKeyboard;
    }
    CRect GetButtonScreenRect(int nIndex) override
    {
        CRect r;
        GetItemRect(nIndex, &r);
        ClientToScreen(&r);
        return r;
    }
    void EndMenuMode() override { ++menuModeEnded; }
    void MoveToMenu(int) override {}
    CFont* GetMenuFont() override { return nullptr; }
    std::vector<int> opened;
    BOOL keyboard = FALSE;
    int menuModeEnded = 0;
};

class SECMenuBarFeatureTest : public ToolbarTest {
protected:
    void SetUp() override
    {
        ToolbarTest::SetUp();
        bar = new TestMenuBar;
        bar->m_bAutoDelete = TRUE;
        bar->SetButtonMap(kMenuBarMap);
        ASSERT_TRUE(bar->CreateEx(0, frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, SEC_IDW_MENUBAR, "Menu bar"));
        const UINT ids[3] = {kFileBtn, kEditBtn, kCaptionBtn};
        bar->SetButtons(ids, 3);
        fileMenu = ::CreatePopupMenu();
        editMenu = ::CreatePopupMenu();
        static_cast<SECTBMenuBtn*>(bar->GetBtn(0))->InitMenu(fileMenu, 0, "&File");
        static_cast<SECTBMenuBtn*>(bar->GetBtn(1))->InitMenu(editMenu, 1, "&Edit");
        feature.m_pMenuBar = bar;
        feature.m_pFrame = frame;
        ASSERT_TRUE(feature.Attach(frame));
    }
    void TearDown() override
    {
        feature.Detach();
        ::DestroyMenu(fileMenu);
        ::DestroyMenu(editMenu);
        ToolbarTest::TearDown();
    }
    MSG SysChar(char c)
    {
        MSG msg{};
        msg.hwnd = frame->m_hWnd;
        msg.message = WM_SYSCHAR;
        msg.wParam = static_cast<WPARAM>(static_cast<unsigned char>(c));
        return msg;
    }

    TestMenuBar* bar = nullptr;
    SECMenuBarFeature feature;
    HMENU fileMenu = nullptr;
    HMENU editMenu = nullptr;
};

}   // namespace

TEST_F(SECMenuBarFeatureTest, MenuButtonsAreSizedByTheirTextAndOpenByKeyboard)
{
    auto* file = static_cast<SECTBMenuBtn*>(bar->GetBtn(0));
    EXPECT_EQ(file->m_cMnemonic, 'f');
    EXPECT_EQ(file->m_hMenu, fileMenu);
    EXPECT_GT(file->m_cx, 10);
    EXPECT_GT(bar->GetBtn(1)->m_cx, 10);
    EXPECT_EQ(bar->m_nMaxBtnWidth >= file->m_cx, true);

    MSG alt = SysChar('E');
    EXPECT_TRUE(feature.PreTranslateMessage(&alt));
    MSG space = SysChar(' ');
    EXPECT_TRUE(feature.PreTranslateMessage(&space));
    MSG none = SysChar('q');
    EXPECT_FALSE(feature.PreTranslateMessage(&none));
    EXPECT_EQ(bar->opened, (std::vector<int>{1, -1}));
    EXPECT_TRUE(bar->keyboard);

    // The keyboard's system-menu command opens the bar's system menu; a click on the system
    // box keeps its own handling.
    bar->opened.clear();
    LRESULT result = 0;
    feature.OnWndMsg(WM_SYSCOMMAND, 0xF100, 0, &result);
    EXPECT_TRUE(feature.m_bExitDefault);
    feature.OnWndMsg(WM_SYSCOMMAND, 0xF093, 0, &result);
    EXPECT_FALSE(feature.m_bExitDefault);
    EXPECT_EQ(bar->opened, (std::vector<int>{-1}));

    // A click on a menu button asks the bar to track its menu; a disabled one does nothing.
    bar->opened.clear();
    EXPECT_TRUE(file->BtnPressed(CPoint(file->m_x + 2, file->m_y + 2)));
    file->m_nStyle |= SEC_TBBS_DISABLED;
    EXPECT_FALSE(file->BtnPressed(CPoint(file->m_x + 2, file->m_y + 2)));
    EXPECT_EQ(bar->opened, (std::vector<int>{0}));

    // The prod opens the menu it names unless an item was selected meanwhile.
    bar->opened.clear();
    feature.ProdMenu(1);
    feature.OnWndMsg(WM_MENUSELECT, 0, 0, &result);
    feature.OnWndMsg(SECMenuBarMessages::ProdMessage(), 0, 0, &result);
    EXPECT_TRUE(bar->opened.empty());
    feature.ProdMenu(1);
    feature.OnWndMsg(SECMenuBarMessages::ProdMessage(), 0, 0, &result);
    EXPECT_EQ(bar->opened, (std::vector<int>{1}));
}

TEST_F(SECMenuBarFeatureTest, TheCaptionPartsActOnTheActiveChildOnly)
{
    auto* caption = static_cast<SECBtnCaption*>(bar->GetBtn(2));
    caption->SetPos(100, 2);
    caption->m_nStyle = SEC_BTNCAPTION_SHOWN;   // no minimize or restore
    EXPECT_EQ(caption->HitTest(caption->PartRect(0).CenterPoint()), -1);
    EXPECT_EQ(caption->HitTest(caption->PartRect(2).CenterPoint()), 2);
    caption->m_nStyle = SEC_BTNCAPTION_SHOWN | SEC_BTNCAPTION_SHOWMINMAX;
    EXPECT_EQ(caption->HitTest(caption->PartRect(0).CenterPoint()), 0);
    EXPECT_EQ(caption->HitTest(caption->PartRect(1).CenterPoint()), 1);
    EXPECT_EQ(caption->PartRect(2).left, caption->PartRect(1).right + 2);
    caption->m_nStyle = 0;
    EXPECT_EQ(caption->HitTest(caption->PartRect(2).CenterPoint()), -1) << "not shown, not hit";

    // Pressed on close, moved off and back, released over it: nothing without an MDI child,
    // and the pressed look follows the mouse.
    caption->m_nStyle = SEC_BTNCAPTION_SHOWN | SEC_BTNCAPTION_SHOWMINMAX;
    const CPoint close = caption->PartRect(2).CenterPoint();
    EXPECT_TRUE(caption->BtnPressed(close));
    caption->BtnMouseMove(caption->PartRect(0).CenterPoint());
    EXPECT_FALSE(caption->m_nStyle & SEC_TBBS_PRESSED);
    caption->BtnMouseMove(close);
    EXPECT_TRUE(caption->m_nStyle & SEC_TBBS_PRESSED);
    caption->BtnReleased(close);
    EXPECT_EQ(caption->m_nPressedPart, -1);
    MSG posted;
    EXPECT_FALSE(::PeekMessage(&posted, frame->m_hWnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE))
        << "the frame is never closed by the child's button";
}

TEST_F(SECMenuBarFeatureTest, AButtonPressedWhileAMenuRunsOpensItsMenuOnceTheFirstHasEnded)
{
    ::AppendMenu(fileMenu, MF_STRING, 9101, "&Open");
    ::AppendMenu(editMenu, MF_STRING, 9201, "&Copy");
    std::vector<HMENU> shown;
    backend->WhenIdle([&] {
        for (HWND popup : MenuDriver::OpenMenus())
            shown.push_back(MenuDriver::MenuOf(popup));
        // The Edit button is pressed while File's menu runs: its request comes from the heap.
        auto* second = new SECMenuBarNotify{{bar->m_hWnd, kEditBtn, static_cast<UINT>(SEC_MBN_BUTTONMENU)}, editMenu, 1, TRUE};
        LRESULT result = 0;
        EXPECT_TRUE(feature.OnWndMsg(WM_NOTIFY, kEditBtn, reinterpret_cast<LPARAM>(second), &result));
        EXPECT_EQ(bar->menuModeEnded, 0) << "menu mode lasts until the last request is served";
        backend->WhenIdle([&] {
            for (HWND popup : MenuDriver::OpenMenus())
                shown.push_back(MenuDriver::MenuOf(popup));
            EndMenu();
        });
    });
    SECMenuBarNotify first{{bar->m_hWnd, kFileBtn, static_cast<UINT>(SEC_MBN_BUTTONMENU)}, fileMenu, 0, FALSE};
    LRESULT result = 0;
    EXPECT_TRUE(feature.OnWndMsg(WM_NOTIFY, kFileBtn, reinterpret_cast<LPARAM>(&first), &result));
    EXPECT_EQ(shown, (std::vector<HMENU>{fileMenu, editMenu}));
    EXPECT_EQ(bar->menuModeEnded, 1);

    // The system-menu request takes the frame's system menu, close as its default, and a
    // notification of another kind is not the feature's.
    backend->WhenIdle([&] {
        std::vector<HWND> open = MenuDriver::OpenMenus();
        ASSERT_EQ(open.size(), 1u);
        HMENU menu = MenuDriver::MenuOf(open.front());
        EXPECT_EQ(menu, ::GetSystemMenu(frame->m_hWnd, FALSE));
        EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(SC_CLOSE));
        EndMenu();
    });
    SECMenuBarNotify system{{bar->m_hWnd, 0, static_cast<UINT>(SEC_MBN_SYSTEMMENU)}, nullptr, -1, FALSE};
    EXPECT_TRUE(feature.OnWndMsg(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&system), &result));
    EXPECT_EQ(bar->menuModeEnded, 2);
    NMHDR other{bar->m_hWnd, 0, static_cast<UINT>(-12)};
    EXPECT_FALSE(feature.OnBarNotify(&other));
}

// A button's menu opened from the keyboard comes up with its first item lit, and Enter
// chooses that item, not the one after it.
TEST_F(SECMenuBarFeatureTest, AMenuOpenedByAltAndItsLetterChoosesItsFirstItemOnEnter)
{
    ::AppendMenu(fileMenu, MF_STRING, 9101, "&Open");
    ::AppendMenu(fileMenu, MF_STRING, 9102, "&Save");
    // The user's last input was a key: Alt and F.
    backend->Key(VK_SHIFT);
    backend->ProcessMessages();
    MSG alt = SysChar('f');
    ASSERT_TRUE(feature.PreTranslateMessage(&alt));
    backend->WhenIdle([&] {
        // The frame hands its plug-ins the menu's opening, as a toolkit frame does.
        LRESULT result = 0;
        feature.OnWndMsg(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu), 0, &result);
        backend->WhenIdle([&] { backend->Key(VK_RETURN); });
    });
    SECMenuBarNotify request{{bar->m_hWnd, kFileBtn, static_cast<UINT>(SEC_MBN_BUTTONMENU)}, fileMenu, 0, FALSE};
    LRESULT result = 0;
    EXPECT_TRUE(feature.OnWndMsg(WM_NOTIFY, kFileBtn, reinterpret_cast<LPARAM>(&request), &result));
    MSG chosen{};
    ASSERT_TRUE(::PeekMessage(&chosen, frame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "Enter chose nothing";
    EXPECT_EQ(LOWORD(chosen.wParam), 9101u);
}
