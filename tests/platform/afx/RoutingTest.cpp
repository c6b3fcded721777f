// Command routing: update handlers guard commands (a disabled command does not run, even when
// posted), ranges, _EX handlers that pass a command on, control notifications offered to the
// control first, owner-draw reflection, and idle updates of child controls.
#include "platform/controls/Button.h"
#include "tests/platform/afx/AfxFixture.h"

#include <string>
#include <vector>

namespace {

constexpr UINT ID_OPEN = 100;
constexpr UINT ID_SAVE = 101;
constexpr UINT ID_COLOR_FIRST = 200;
constexpr UINT ID_COLOR_LAST = 209;
constexpr UINT ID_SHARED = 300;
constexpr UINT IDC_PUSH = 400;
constexpr UINT IDC_CHECK = 401;
constexpr UINT IDC_ORPHAN = 402;

class CCommandBase : public CWnd {
public:
    std::vector<std::string> log;
    void OnShared() { log.push_back("base shared"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandBase, CWnd)
    ON_COMMAND(ID_SHARED, &CCommandBase::OnShared)
END_MESSAGE_MAP()

class CCommandWnd : public CCommandBase {
public:
    BOOL saveEnabled = FALSE;
    BOOL passShared = TRUE;

    void OnOpen() { log.push_back("open"); }
    void OnSave() { log.push_back("save"); }
    void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->Enable(saveEnabled); }
    void OnColor(UINT nID) { log.push_back("color " + std::to_string(nID - ID_COLOR_FIRST)); }
    void OnUpdateColor(CCmdUI* pCmdUI) { pCmdUI->SetCheck(pCmdUI->m_nID == ID_COLOR_FIRST + 2); }
    BOOL OnSharedEx(UINT)
    {
        log.push_back("derived shared");
        return !passShared;
    }
    void OnPushClicked() { log.push_back("parent clicked"); }
    void OnUpdatePush(CCmdUI* pCmdUI) { pCmdUI->SetText("Pushed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandWnd, CCommandBase)
    ON_COMMAND(ID_OPEN, &CCommandWnd::OnOpen)
    ON_COMMAND(ID_SAVE, &CCommandWnd::OnSave)
    ON_UPDATE_COMMAND_UI(ID_SAVE, &CCommandWnd::OnUpdateSave)
    ON_COMMAND_RANGE(ID_COLOR_FIRST, ID_COLOR_LAST, &CCommandWnd::OnColor)
    ON_UPDATE_COMMAND_UI_RANGE(ID_COLOR_FIRST, ID_COLOR_LAST, &CCommandWnd::OnUpdateColor)
    ON_COMMAND_EX(ID_SHARED, &CCommandWnd::OnSharedEx)
    ON_BN_CLICKED(IDC_PUSH, &CCommandWnd::OnPushClicked)
    ON_UPDATE_COMMAND_UI(IDC_PUSH, &CCommandWnd::OnUpdatePush)
END_MESSAGE_MAP()

// A button that handles its own click; with `passOn` the parent sees the click too.
class CSelfButton : public CWnd {
public:
    std::vector<std::string>* log = nullptr;
    BOOL passOn = FALSE;
    BOOL OnClicked()
    {
        log->push_back("button clicked");
        return !passOn;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) { log->push_back("draw item " + std::to_string(lpDIS->itemID)); }
    void OnNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult)
    {
        log->push_back("notify " + std::to_string(static_cast<int>(pNMHDR->code)));
        *pResult = 77;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfButton, CWnd)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CSelfButton::OnClicked)
    ON_WM_DRAWITEM_REFLECT()
    ON_NOTIFY_REFLECT(-12, &CSelfButton::OnNotifyReflect)
END_MESSAGE_MAP()

class RoutingTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(wnd.Create(nullptr, "Commands", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), top.get(), 1));
    }
    void TearDown() override
    {
        wnd.DestroyWindow();
        AfxTest::TearDown();
    }
    CCommandWnd wnd;
};

} // namespace

TEST_F(RoutingTest, ADisabledCommandDoesNotRunEvenWhenPosted)
{
    wnd.SendMessage(WM_COMMAND, ID_OPEN, 0);
    wnd.SendMessage(WM_COMMAND, ID_SAVE, 0);
    wnd.PostMessage(WM_COMMAND, MAKEWPARAM(ID_SAVE, 1), 0);   // as an accelerator would
    backend->ProcessMessages();
    EXPECT_EQ(wnd.log, std::vector<std::string>{"open"});

    wnd.saveEnabled = TRUE;
    wnd.PostMessage(WM_COMMAND, ID_SAVE, 0);
    backend->ProcessMessages();
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"open", "save"}));

    // A command nobody handles is not taken, so the window's default sees it.
    wnd.log.clear();
    EXPECT_FALSE(wnd.OnCmdMsg(999, CN_COMMAND, nullptr, nullptr));
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    EXPECT_TRUE(wnd.OnCmdMsg(ID_OPEN, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &wnd);
    EXPECT_TRUE(wnd.log.empty()) << "asking for the handler does not run it";
}

TEST_F(RoutingTest, RangesExHandlersAndDisableIfNoHandler)
{
    wnd.SendMessage(WM_COMMAND, ID_COLOR_FIRST + 4, 0);
    wnd.SendMessage(WM_COMMAND, ID_COLOR_LAST + 1, 0);
    EXPECT_FALSE(wnd.OnCmdMsg(ID_SHARED, CN_COMMAND, nullptr, nullptr))
        << "an _EX handler answering FALSE leaves the command to the next target of the route";
    wnd.passShared = FALSE;
    EXPECT_TRUE(wnd.OnCmdMsg(ID_SHARED, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"color 4", "derived shared", "derived shared"}))
        << "the first entry found decides: the base class's entry for the id never runs";

    CTestCmdUI ui;
    ui.m_nID = 999;
    EXPECT_TRUE(ui.DoUpdate(&wnd, TRUE));
    EXPECT_FALSE(ui.m_bEnabled) << "a command without any handler is disabled";
    CTestCmdUI open;
    open.m_nID = ID_OPEN;
    open.DoUpdate(&wnd, TRUE);
    EXPECT_TRUE(open.m_bEnabled);
    CTestCmdUI save;
    save.m_nID = ID_SAVE;
    EXPECT_TRUE(save.DoUpdate(&wnd, TRUE));
    EXPECT_FALSE(save.m_bEnabled) << "the update handler decides, not the command handler's presence";
    CTestCmdUI none;
    none.m_nID = 999;
    EXPECT_FALSE(none.DoUpdate(&wnd, FALSE)) << "without disabling, an unhandled update is left alone";
    EXPECT_TRUE(none.m_bEnabled);
}

TEST_F(RoutingTest, IdleUpdatesOfChildControls)
{
    CWnd push, check, orphan;
    ASSERT_TRUE(push.Create("Button", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 60, 20), &wnd, IDC_PUSH));
    ASSERT_TRUE(check.Create("Button", "Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(0, 30, 60, 50), &wnd,
                             IDC_CHECK));
    ASSERT_TRUE(orphan.Create("Button", "Orphan", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 60, 60, 80), &wnd,
                              IDC_ORPHAN));
    HWND color = ::CreateWindowEx(0, "Button", "Color", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 0, 90, 60, 20, wnd.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_COLOR_FIRST + 2)), nullptr, nullptr);
    wnd.UpdateDialogControls(&wnd, TRUE);
    CString text;
    push.GetWindowText(text);
    EXPECT_EQ(text, "Pushed");
    EXPECT_TRUE(push.IsWindowEnabled());
    EXPECT_TRUE(check.IsWindowEnabled()) << "an automatic check box works without a handler";
    EXPECT_FALSE(orphan.IsWindowEnabled()) << "a push button without a handler is disabled";
    EXPECT_EQ(::SendMessage(color, BM_GETCHECK, 0, 0), BST_CHECKED) << "a window without an object is updated too";
    push.DestroyWindow();
    check.DestroyWindow();
    orphan.DestroyWindow();
}

TEST_F(RoutingTest, NotificationsAreOfferedToTheControlFirst)
{
    CSelfButton button;
    button.log = &wnd.log;
    ASSERT_TRUE(button.Create("Button", "B", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 60, 20), &wnd, IDC_PUSH));
    backend->Click(1, At(button.m_hWnd, 5, 5));
    backend->ProcessMessages();
    EXPECT_EQ(wnd.log, std::vector<std::string>{"button clicked"});
    button.passOn = TRUE;
    wnd.log.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PUSH, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"button clicked", "parent clicked"}));

    wnd.log.clear();
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = IDC_PUSH;
    dis.itemID = 3;
    dis.hwndItem = button.m_hWnd;
    EXPECT_EQ(wnd.SendMessage(WM_DRAWITEM, IDC_PUSH, reinterpret_cast<LPARAM>(&dis)), TRUE);
    NMHDR header{button.m_hWnd, IDC_PUSH, static_cast<UINT>(-12)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, IDC_PUSH, reinterpret_cast<LPARAM>(&header)), 77);
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"draw item 3", "notify -12"}));
    button.DestroyWindow();
}

TEST_F(RoutingTest, MessagesToDescendantsReachOnlyObjectsWhenAskedSo)
{
    struct CCounting : CWnd {
        int count = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_IDLEUPDATECMDUI)
                ++count;
            return CWnd::WindowProc(message, wParam, lParam);
        }
    };
    CCounting child, grandchild;
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD, CRect(0, 0, 10, 10), &wnd, 11));
    ASSERT_TRUE(grandchild.Create(nullptr, "g", WS_CHILD, CRect(0, 0, 5, 5), &child, 12));
    ::CreateWindowEx(0, "Button", "raw", WS_CHILD, 0, 0, 5, 5, wnd.m_hWnd, nullptr, nullptr, nullptr);
    wnd.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    EXPECT_EQ(child.count, 1);
    EXPECT_EQ(grandchild.count, 1);
    wnd.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, FALSE, FALSE);
    EXPECT_EQ(child.count, 2);
    EXPECT_EQ(grandchild.count, 1) << "not deep: only the children";
    grandchild.DestroyWindow();
    child.DestroyWindow();
}
