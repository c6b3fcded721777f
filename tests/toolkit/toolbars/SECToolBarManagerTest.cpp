// The toolbar manager: default toolbars at first start, user toolbar ids, switches kept in the
// profile under their exact keys, and buttons dragged between bars in customise mode, a user
// bar emptied by its own drag included.
#include "tests/toolkit/toolbars/ToolbarFixture.h"
#include "platform/controls/ListBoxDefs.h"
#include "toolkit/toolbars/SECCommandList.h"


#include <algorithm>

namespace {

class SECToolBarManagerTest : public ToolbarTest {
protected:
    void DefineDefaults()
    {
        manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 3, mainIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
        manager->DefineDefaultToolBar(0xE805, "Grid Toolbar", 2, gridIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_RIGHT);
    }
    const UINT mainIds[3] = {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE};
    const UINT gridIds[2] = {ID_TB_FOUR, ID_TB_ONE};
};

TEST_F(SECToolBarManagerTest, FirstStartMakesTheDefaultBarsAndKeepsTheSwitches)
{
    DefineDefaults();
    manager->EnableCoolLook(TRUE, 0x0F00);
    manager->EnableLargeButtons(TRUE);
    manager->LoadState("Main Toolbar"); // nothing saved yet
    EXPECT_TRUE(manager->IsCoolLook());
    EXPECT_TRUE(manager->IsLargeButtons());
    SECCustomToolBar* main = manager->ToolBarFromID(0xE800);
    SECCustomToolBar* grid = manager->ToolBarFromID(0xE805);
    ASSERT_TRUE(main && grid);
    EXPECT_EQ(main->m_pDockBar, Top());
    EXPECT_EQ(grid->m_pDockBar, Right());
    EXPECT_EQ(Rows(*main), "123");
    EXPECT_EQ(main->GetBtn(0)->m_cx, 55) << "large buttons";
    CString title;
    grid->GetWindowText(title);
    EXPECT_EQ(title, "Grid Toolbar");
    EXPECT_EQ(manager->GetBarTypeID(main), DWORD(SEC_BARTYPE_CUSTOMTOOLBAR));
    EXPECT_EQ(main->GetBarStyle() & (CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC),
              DWORD(CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC));

    // Saved under the exact keys, 0/1; loaded back they apply the 0x300 look bits.
    manager->EnableToolTips(FALSE);
    EXPECT_FALSE(main->GetBarStyle() & CBRS_TOOLTIPS);
    manager->SaveState("Main Toolbar");
    EXPECT_EQ(app->GetProfileInt("Main Toolbar-ToolBarManager", "ToolTips", 7), 0u);
    EXPECT_EQ(app->GetProfileInt("Main Toolbar-ToolBarManager", "CoolLook", 7), 1u);
    EXPECT_EQ(app->GetProfileInt("Main Toolbar-ToolBarManager", "LargeButtons", 7), 1u);
    app->WriteProfileInt("Main Toolbar-ToolBarManager", "LargeButtons", 0);
    app->WriteProfileInt("Main Toolbar-ToolBarManager", "CoolLook", 0);
    manager->LoadState("Main Toolbar");
    EXPECT_FALSE(manager->IsLargeButtons());
    EXPECT_FALSE(manager->IsCoolLook());
    EXPECT_EQ(main->GetBtn(0)->m_cx, 23);
    EXPECT_EQ(manager->GetToolBars().size(), 2u) << "bars that exist are kept, not made again";
}

TEST_F(SECToolBarManagerTest, UserToolBarsTakeTheLowestFreeIdBelowTheMenuBar)
{
    SECCustomToolBar* first = manager->CreateUserToolBar();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetDlgCtrlID(), 0xE820);
    CString title;
    first->GetWindowText(title);
    EXPECT_EQ(title, "ToolBar1");
    EXPECT_EQ(first->GetBtnCount(), 0);
    SECCustomToolBar* second = manager->CreateUserToolBar("Mine");
    EXPECT_EQ(second->GetDlgCtrlID(), 0xE821);
    first->DestroyWindow();
    backend->ProcessMessages();
    SECCustomToolBar* again = manager->CreateUserToolBar();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetDlgCtrlID(), 0xE820) << "the freed id again";
    again->GetWindowText(title);
    EXPECT_EQ(title, "ToolBar1");
    // Every user id taken: the next is refused rather than given the menu bar's 0xE8FF.
    std::vector<int> ids;
    while (SECCustomToolBar* bar = manager->CreateUserToolBar())
        ids.push_back(bar->GetDlgCtrlID());
    EXPECT_EQ(ids.back(), 0xE8FE);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0xE8FF), 0);
    EXPECT_EQ(manager->CreateUserToolBar(), nullptr);
}

TEST_F(SECToolBarManagerTest, ButtonsDraggedBetweenBarsInCustomiseMode)
{
    SECCustomToolBar* main = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO, 0, ID_TB_THREE});
    SECCustomToolBar* user = manager->CreateUserToolBar();
    ASSERT_TRUE(user);
    frame->DockControlBar(main, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(user, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    manager->SetCustomizeMode(TRUE);
    EXPECT_TRUE(main->InCustomizeMode());
    backend->ProcessMessages();

    // Copy Two into the empty user bar.
    CRect target;
    user->GetWindowRect(&target);
    CRect drop(target.left + 2, target.top + 2, target.left + 25, target.top + 24);
    main->DropDraggedButton(1, drop, TRUE);
    EXPECT_EQ(Rows(*main), "12-3");
    EXPECT_EQ(Rows(*user), "2");
    EXPECT_EQ(manager->GetSelectionHolder(), user);
    EXPECT_EQ(user->GetSelectedIndex(), 0);

    // A nudge of the selected One to the right puts a separator before it... on the main bar.
    main->SelectButton(0);
    EXPECT_EQ(user->GetSelectedIndex(), -1) << "one selection per manager";
    CRect own = main->GetBtn(0)->GetRect();
    main->DropButton(CRect(own.left + 5, own.top, own.right + 5, own.bottom), main->GetBtn(0), FALSE);
    EXPECT_EQ(Rows(*main), "12-3") << "the first button has nothing before it to part from";
    own = main->GetBtn(1)->GetRect();
    main->SelectButton(1);
    main->DropButton(CRect(own.left - 1, own.top, own.right - 1, own.bottom), main->GetBtn(1), FALSE);
    EXPECT_EQ(Rows(*main), "12-3") << "a move under 2 pixels changes nothing";
    main->DropButton(CRect(own.left + 6, own.top, own.right + 6, own.bottom), main->GetBtn(1), FALSE);
    EXPECT_EQ(Rows(*main), "1-2-3");

    // Move Three to the front of the main bar: it leaves its place and its separator.
    CRect first = main->GetBtn(0)->GetRect();
    main->DropButton(CRect(first.left - 30, first.top, first.left - 7, first.bottom), main->GetBtn(4), FALSE);
    EXPECT_EQ(Rows(*main), "31-2");

    // Moving the user bar's only button out empties it: it goes, but only after the drop.
    CRect mainRect;
    main->GetWindowRect(&mainRect);
    const CRect into(mainRect.right - 30, mainRect.top + 4, mainRect.right - 7, mainRect.top + 26);
    user->DropDraggedButton(0, into, FALSE);
    EXPECT_EQ(user->GetBtnCount(), 0);
    EXPECT_TRUE(::IsWindow(user->m_hWnd)) << "not destroyed inside its own handler";
    EXPECT_TRUE(manager->HasPendingDestroy());
    EXPECT_EQ(Rows(*main), "31-22");
    backend->ProcessMessages();
    EXPECT_EQ(manager->ToolBarFromID(0xE820), nullptr);
    EXPECT_FALSE(manager->HasPendingDestroy());

    // A move dropped off every bar deletes the button; a copy makes a new floating user bar.
    main->DropDraggedButton(4, CRect(5000, 5000, 5023, 5022), FALSE);
    EXPECT_EQ(Rows(*main), "31-2");
    main->DropDraggedButton(0, CRect(300, 300, 323, 322), TRUE);
    SECCustomToolBar* made = manager->ToolBarFromID(0xE820);
    ASSERT_TRUE(made);
    EXPECT_EQ(Rows(*made), "3");
    EXPECT_TRUE(made->IsFloating());
    manager->SetCustomizeMode(FALSE);
    EXPECT_EQ(made->GetSelectedIndex(), -1);
}

TEST_F(SECToolBarManagerTest, AButtonDraggedWithTheMouseMovesToTheOtherBar)
{
    SECCustomToolBar* main = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO});
    SECCustomToolBar* grid = MakeToolBar(0xE805, {ID_TB_THREE});
    frame->DockControlBar(main, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(grid, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    manager->SetCustomizeMode(TRUE);
    backend->ProcessMessages();
    const CRect from = main->GetBtn(1)->GetRect();
    const CRect to = grid->GetBtn(0)->GetRect();
    const POINT press = At(main->m_hWnd, from.left + 4, from.top + 4);
    // Past the right end of the other bar's only button, at the same height.
    const POINT release = At(grid->m_hWnd, to.right + 6, to.top + 4);
    backend->MouseDown(1, press);
    backend->MouseMove(POINT{press.x + 5, press.y + 5});
    backend->MouseMove(release);
    backend->MouseUp(1, release);
    backend->ProcessMessages();
    EXPECT_EQ(Rows(*main), "1");
    EXPECT_EQ(Rows(*grid), "32");
    EXPECT_EQ(manager->GetSelectionHolder(), grid);
    EXPECT_EQ(::GetCapture(), nullptr) << "the drag let the mouse go";
}

} // namespace

namespace {

TEST_F(SECToolBarManagerTest, ACommandPressedInTheCommandListIsDescribedAndDraggedOntoAToolbar)
{
    SECCustomToolBar* main = MakeToolBar(0xE800, {ID_TB_ONE});
    frame->DockControlBar(main, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    manager->SetCustomizeMode(TRUE);
    // A page with the command list in two columns and the description text.
    CWnd page;
    ASSERT_TRUE(page.CreateEx(0, nullptr, "Commands", WS_POPUP | WS_VISIBLE, 100, 250, 300, 160, nullptr, nullptr));
    CWnd description;
    ASSERT_TRUE(description.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 120, 280, 20, page.m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(SEC_IDC_DESCRIPTION))));
    SECCommandList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_MULTICOLUMN | LBS_NOTIFY | WS_HSCROLL, CRect(10, 10, 290, 60), &page, 300));
    list.SetManager(manager.get());
    list.SendMessage(LB_SETCOLUMNWIDTH, 120);
    for (UINT id : {ID_TB_ONE, ID_TB_ONE, ID_TB_ONE, ID_TB_THREE, ID_TB_THREE, ID_TB_THREE})
        list.AddCommand(id, "command");
    backend->ProcessMessages();
    // The first item of the second column.
    CRect first, third;
    list.GetItemRect(0, &first);
    int column2 = -1;
    for (int i = 1; i < list.GetCount() && column2 < 0; ++i) {
        list.GetItemRect(i, &third);
        if (third.left > first.left)
            column2 = i;
    }
    ASSERT_GE(column2, 1) << "two columns";
    ASSERT_EQ(list.GetCommand(column2), static_cast<UINT>(ID_TB_THREE));
    EXPECT_EQ(list.ItemAtPoint(third.CenterPoint()), column2);

    // Pressed there and dragged onto the toolbar's button: the toolbar gains Three after it.
    const POINT press = At(list.m_hWnd, third.left + 4, third.top + 4);
    const CRect one = main->GetBtn(0)->GetRect();
    const POINT release = At(main->m_hWnd, one.CenterPoint().x, one.top + 4);
    backend->WhenIdle([&] { backend->MouseMove(POINT{press.x + 5, press.y + 5}); });
    backend->WhenIdle([&] { backend->MouseMove(release); });
    backend->WhenIdle([&] { backend->MouseUp(1, release); });
    backend->MouseDown(1, press);
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCurSel(), column2);
    CString shown;
    description.GetWindowText(shown);
    EXPECT_STREQ(shown, "Makes three");
    EXPECT_EQ(Rows(*main), "13") << "a copy of the command's button";
    EXPECT_EQ(::GetCapture(), nullptr);
    manager->SetCustomizeMode(FALSE);
    page.DestroyWindow();
}

} // namespace
