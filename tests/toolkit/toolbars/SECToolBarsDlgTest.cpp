// The customisation dialogs driven through their controls: the toolbars list following the
// bars (shown, hidden, made, destroyed), rename with the 128-byte cut, delete of the last user
// toolbar selecting the one before, reset of a default toolbar, New closing the dialog with the
// customise result, the look switches kept by the dialog and restored by a cancelled page, and
// customising ended on every way out.
#include "tests/toolkit/toolbars/ToolbarFixture.h"

#include "platform/afx/dlg/CPropertySheet.h"
#include "platform/controls/EditDefs.h"
#include "tests/support/DialogAutomation.h"
#include "toolkit/res/CustomizeRes.h"
#include "toolkit/toolbars/SECToolBarsDlg.h"

namespace {

using namespace dialog_automation;

class SECToolBarsDlgTest : public ToolbarTest {
protected:
    void SetUp() override
    {
        ToolbarTest::SetUp();
        manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 3, mainIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
        manager->DefineDefaultToolBar(0xE805, "Grid Toolbar", 2, gridIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_RIGHT);
        manager->LoadState("Main Toolbar");
        ASSERT_TRUE(manager->ToolBarFromID(0xE800) && manager->ToolBarFromID(0xE805));
    }
    // Runs the Toolbars dialog; `step` acts on it once it shows and must close it.
    int RunDialog(std::function<void(HWND)> step)
    {
        WhenWindowOpens(
            *backend,
            [] {
                for (HWND dlg : ShownDialogs())
                    if (GetDlgItem(dlg, SEC_IDC_CUSTOMIZE))
                        return dlg;
                return static_cast<HWND>(nullptr);
            },
            [this, step](HWND dlg) {
                step(dlg);
                EnsureClosed(*backend, dlg);
            },
            [] { ADD_FAILURE() << "the Toolbars dialog did not open"; });
        return manager->ExecViewToolBarsDlg();
    }
    static std::vector<std::string> Items(HWND dlg)
    {
        std::vector<std::string> items;
        HWND list = GetDlgItem(dlg, SEC_IDC_TOOLBARLIST);
        const int n = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[200] = {};
            SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    static int Selected(HWND dlg) { return static_cast<int>(SendMessage(GetDlgItem(dlg, SEC_IDC_TOOLBARLIST), LB_GETCURSEL, 0, 0)); }
    static void Select(HWND dlg, int i)
    {
        SendMessage(GetDlgItem(dlg, SEC_IDC_TOOLBARLIST), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(SEC_IDC_TOOLBARLIST, LBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(GetDlgItem(dlg, SEC_IDC_TOOLBARLIST)));
    }
    static void Press(HWND dlg, int id)
    {
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    }
    bool FrameChildrenEnabled()
    {
        for (HWND c = GetWindow(frame->m_hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (!IsWindowEnabled(c))
                return false;
        return true;
    }

    const UINT mainIds[3] = {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE};
    const UINT gridIds[2] = {ID_TB_FOUR, ID_TB_ONE};
};

}   // namespace

TEST_F(SECToolBarsDlgTest, TheListFollowsTheBarsAndUserToolBarsAreRenamedAndDeleted)
{
    SECCustomToolBar* user1 = manager->CreateUserToolBar("Mine");
    SECCustomToolBar* user2 = manager->CreateUserToolBar("Yours");
    ASSERT_TRUE(user1 && user2);
    const UINT user2Id = static_cast<UINT>(user2->GetDlgCtrlID());   // the bar deletes itself when destroyed
    std::vector<std::string> seen;
    int afterDelete = -2;
    bool customisingInside = false;
    const int result = RunDialog([&](HWND dlg) {
        seen = Items(dlg);
        customisingInside = manager->IsCustomizing() && manager->InCustomizeMode();
        // A default toolbar: Reset, its name not editable.
        Select(dlg, 0);
        EXPECT_EQ(TextOf(GetDlgItem(dlg, SEC_IDC_RESET)), "&Reset");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, SEC_IDC_TOOLBARNAME)));
        // Hiding from elsewhere unchecks the item (code 1).
        manager->GetFrameWnd()->ShowControlBar(manager->ToolBarFromID(0xE805), FALSE, FALSE);
        manager->BroadcastBarNotify(0xE805, kBarHidden);
        EXPECT_EQ(SendMessage(GetDlgItem(dlg, SEC_IDC_TOOLBARLIST), LB_GETCOUNT, 0, 0), 4);
        // Rename the first user toolbar with a 200-character name.
        Select(dlg, 2);
        EXPECT_EQ(TextOf(GetDlgItem(dlg, SEC_IDC_RESET)), "&Delete");
        HWND name = GetDlgItem(dlg, SEC_IDC_TOOLBARNAME);
        ASSERT_TRUE(IsWindowEnabled(name));
        SetWindowText(name, std::string(200, 'n').c_str());
        SendMessage(name, EM_SETMODIFY, TRUE, 0);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(SEC_IDC_TOOLBARNAME, EN_KILLFOCUS), reinterpret_cast<LPARAM>(name));
        EXPECT_EQ(Items(dlg)[2], std::string(128, 'n'));
        // Deleting the last item, selected, selects the one before.
        Select(dlg, 3);
        Press(dlg, SEC_IDC_RESET);
        afterDelete = Selected(dlg);
        Press(dlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"Main Toolbar", "Grid Toolbar", "Mine", "Yours"}));
    EXPECT_TRUE(customisingInside);
    EXPECT_EQ(afterDelete, 2);
    EXPECT_EQ(manager->ToolBarFromID(user2Id), nullptr);
    CString title;
    user1->GetWindowText(title);
    EXPECT_EQ(title, CString(std::string(128, 'n').c_str()));
    EXPECT_FALSE(manager->IsCustomizing());
    EXPECT_FALSE(manager->InCustomizeMode());
    EXPECT_EQ(manager->GetCustomizeWnd(), nullptr);
    EXPECT_TRUE(FrameChildrenEnabled());
}

TEST_F(SECToolBarsDlgTest, ResetRestoresADefaultToolBarAndNewClosesWithTheCustomiseResult)
{
    SECCustomToolBar* main = manager->ToolBarFromID(0xE800);
    main->RemoveButton(0);
    ASSERT_EQ(main->GetBtnCount(), 2);
    const int result = RunDialog([&](HWND dlg) {
        Select(dlg, 0);
        Press(dlg, SEC_IDC_RESET);
        EXPECT_EQ(main->GetBtnCount(), 3);
        // New: answer the name question, then the dialog ends with 43099.
        WhenWindowOpens(
            *backend,
            [] {
                for (HWND d : ShownDialogs())
                    if (GetDlgItem(d, SEC_IDC_NEWNAME))
                        return d;
                return static_cast<HWND>(nullptr);
            },
            [this](HWND ask) {
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ask, IDOK)));   // no name yet
                SetWindowText(GetDlgItem(ask, SEC_IDC_NEWNAME), "Fresh");
                SendMessage(ask, WM_COMMAND, MAKEWPARAM(SEC_IDC_NEWNAME, EN_CHANGE),
                            reinterpret_cast<LPARAM>(GetDlgItem(ask, SEC_IDC_NEWNAME)));
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(ask, IDOK)));
                EXPECT_FALSE(manager->IsCustomizing());   // ended while the question runs
                Press(ask, IDOK);
                EnsureClosed(*backend, ask);
            },
            [] { ADD_FAILURE() << "no New Toolbar question"; });
        Press(dlg, SEC_IDC_NEWTOOLBAR);
    });
    EXPECT_EQ(result, SEC_IDC_CUSTOMIZE);
    SECCustomToolBar* fresh = manager->ToolBarFromID(SEC_IDW_FIRST_USER_TOOLBAR);
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->IsFloating());
    EXPECT_FALSE(manager->IsCustomizing());
    EXPECT_TRUE(FrameChildrenEnabled());
}

TEST_F(SECToolBarsDlgTest, LargeButtonsStayFromTheDialogButACancelledPageRestoresThem)
{
    ASSERT_FALSE(manager->IsLargeButtons());
    RunDialog([&](HWND dlg) {
        CheckDlgButton(dlg, SEC_IDC_LARGEBUTTONS, BST_CHECKED);
        Press(dlg, SEC_IDC_LARGEBUTTONS);
        EXPECT_TRUE(manager->IsLargeButtons());   // applied at once
        Press(dlg, IDCANCEL);
    });
    EXPECT_TRUE(manager->IsLargeButtons()) << "a cancelled dialog keeps what its boxes applied";
    manager->EnableLargeButtons(FALSE);

    SECToolBarSheet sheet(SEC_IDS_CUSTOMIZE, frame);
    SECToolBarsPage page;
    page.SetManager(manager.get());
    sheet.AddPage(&page);
    WhenWindowOpens(
        *backend,
        [] {
            for (HWND d : ShownDialogs())
                if (FindWindowEx(d, nullptr, nullptr, nullptr) && GetDlgItem(GetWindow(d, GW_CHILD), SEC_IDC_LARGEBUTTONS))
                    return d;
            for (HWND d : ShownDialogs())
                for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    if (GetDlgItem(c, SEC_IDC_LARGEBUTTONS))
                        return d;
            return static_cast<HWND>(nullptr);
        },
        [&](HWND sheetWnd) {
            HWND pageWnd = page.m_hWnd;
            EXPECT_TRUE(manager->InCustomizeMode());
            CheckDlgButton(pageWnd, SEC_IDC_LARGEBUTTONS, BST_CHECKED);
            Press(pageWnd, SEC_IDC_LARGEBUTTONS);
            EXPECT_TRUE(manager->IsLargeButtons());
            Press(sheetWnd, IDCANCEL);
            EnsureClosed(*backend, sheetWnd);
        },
        [] { ADD_FAILURE() << "the sheet did not open"; });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_FALSE(manager->IsLargeButtons()) << "the cancelled page restores the size";
    EXPECT_FALSE(manager->InCustomizeMode());
    EXPECT_FALSE(manager->IsCustomizing());
    EXPECT_TRUE(FrameChildrenEnabled());
}

TEST_F(SECToolBarsDlgTest, TheCommandPageShowsOnePaletteAtATimeAndDescribesTheSelectedButton)
{
    SECToolBarSheet sheet("Customize", frame);
    SECToolBarCmdPage commands(SEC_IDD_TOOLBARCMDPAGE, 0);
    const UINT first[2] = {ID_TB_ONE, ID_TB_TWO};
    const UINT second[2] = {ID_TB_THREE, ID_TB_FOUR};
    commands.DefineBtnGroup("Main Toolbar", 2, first);
    commands.DefineBtnGroup("Grid Toolbar", 2, second);
    commands.SetManager(manager.get());
    sheet.AddPage(&commands);
    WhenWindowOpens(
        *backend, [&] { return commands.m_hWnd && IsWindowVisible(commands.m_hWnd) ? sheet.m_hWnd : nullptr; },
        [&](HWND sheetWnd) {
            ASSERT_EQ(commands.GetGroupCount(), 2);
            SECCustomToolBar* a = commands.GetGroup(0)->m_pToolBar.get();
            SECCustomToolBar* b = commands.GetGroup(1)->m_pToolBar.get();
            EXPECT_TRUE(a->IsWindowVisible());
            EXPECT_FALSE(b->IsWindowVisible());
            EXPECT_EQ(a->GetBtnCount(), 2);
            EXPECT_EQ(a->GetDlgCtrlID(), 59567);
            EXPECT_EQ(b->GetDlgCtrlID(), 59566);
            HWND list = GetDlgItem(commands.m_hWnd, SEC_IDC_TOOLBARLIST);
            SendMessage(list, LB_SETCURSEL, 1, 0);
            SendMessage(commands.m_hWnd, WM_COMMAND, MAKEWPARAM(SEC_IDC_TOOLBARLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            EXPECT_FALSE(a->IsWindowVisible());
            EXPECT_TRUE(b->IsWindowVisible());
            EXPECT_TRUE(b->InCustomizeMode());
            // A selected palette button shows the text of its command's string, up to "\n".
            auto describe = [&](int index) {
                b->SelectButton(index);
                SendMessage(commands.m_hWnd, SECCustomToolBar::BarNotifyMessage(), static_cast<WPARAM>(b->GetDlgCtrlID()),
                            kBarSelChanged);
                return TextOf(GetDlgItem(commands.m_hWnd, SEC_IDC_DESCRIPTION));
            };
            EXPECT_EQ(describe(0), "Makes three");
            EXPECT_EQ(describe(1), "");   // a command without a string
            Press(sheetWnd, IDOK);
            EnsureClosed(*backend, sheetWnd);
        },
        [] { ADD_FAILURE() << "the sheet did not open"; });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_FALSE(manager->InCustomizeMode());
    EXPECT_TRUE(FrameChildrenEnabled());
}
