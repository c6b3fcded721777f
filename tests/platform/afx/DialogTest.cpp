// CDialog with data exchange: modal and modeless dialogs from templates driven through the
// keyboard and mouse, values going both ways through DDX, and refused values answered with
// their message and the focus back on the failing control.
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/DialogIds.h"
#include "tests/support/DialogAutomation.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CExchangeDlg : public CDialog {
public:
    explicit CExchangeDlg(CWnd* pParent) : CDialog(IDD_DDX, pParent) {}

    CString m_name = "alpha";
    int m_count = 5;
    double m_ratio = 0.25;
    UINT m_size = 7;
    int m_show = 1;
    int m_radio = 1;
    int m_kind = 2;
    CString m_listText = "beta";
    int m_tri = 2;
    int initCalls = 0;

    BOOL OnInitDialog() override
    {
        ++initCalls;
        for (const char* s : {"zero", "one", "two"})
            SendDlgItemMessage(IDC_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        for (const char* s : {"alpha", "beta", "gamma"})
            SendDlgItemMessage(IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        return CDialog::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 8);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 99);
        DDX_Text(pDX, IDC_RATIO, m_ratio);
        DDV_MinMaxDouble(pDX, m_ratio, 0.0, 1.0);
        DDX_Text(pDX, IDC_AMOUNT, m_size);
        DDX_Check(pDX, IDC_SHOW, m_show);
        DDX_Radio(pDX, IDC_R1, m_radio);
        DDX_CBIndex(pDX, IDC_KIND, m_kind);
        DDX_LBString(pDX, IDC_LIST, m_listText);
        DDX_Check(pDX, IDC_TRI, m_tri);
    }
};

std::string Text(HWND dlg, int id)
{
    return dialog_automation::TextOf(GetDlgItem(dlg, id));
}

class DialogTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
    }
    // Runs a dialog's messages the way the application's loop does: each message offered to
    // PreTranslateMessage of its windows first.
    void Pump()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (CWnd::WalkPreTranslateTree(nullptr, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    // The field with the focus, checked to be of the dialog, with its whole text selected.
    static void ExpectFocusAndSelection(HWND dlg, int id)
    {
        HWND field = GetDlgItem(dlg, id);
        EXPECT_EQ(GetFocus(), field) << "focus on control " << GetDlgCtrlID(GetFocus()) << " instead of " << id;
        DWORD start = 0;
        DWORD end = 0;
        SendMessage(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(static_cast<int>(end), GetWindowTextLength(field));
    }
};

TEST_F(DialogTest, ModalDialogLoadsTheMembersAndTakesTheEditedValuesBackOnOK)
{
    CExchangeDlg dlg(top.get());
    std::vector<std::string> shown;
    HWND seenDialog = nullptr;
    DialogFill fill;
    fill.inspect = [&](HWND h) {
        seenDialog = h;
        for (int id : {IDC_NAME, IDC_COUNT, IDC_RATIO, IDC_AMOUNT})
            shown.push_back(Text(h, id));
        EXPECT_EQ(IsDlgButtonChecked(h, IDC_SHOW), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(h, IDC_R2), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(h, IDC_R1) | IsDlgButtonChecked(h, IDC_R3), 0u);
        EXPECT_EQ(SendDlgItemMessage(h, IDC_KIND, CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendDlgItemMessage(h, IDC_LIST, LB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(IsDlgButtonChecked(h, IDC_TRI), BST_INDETERMINATE);
        // The object is the dialog's, and keeps its template id for automation.
        EXPECT_EQ(CWnd::FromHandlePermanent(h), &dlg);
        EXPECT_FALSE(IsWindowEnabled(top->m_hWnd)) << "the owner is disabled while the dialog runs";
        SendDlgItemMessage(h, IDC_KIND, CB_SETCURSEL, 0, 0);
        SendDlgItemMessage(h, IDC_LIST, LB_SETCURSEL, 2, 0);
    };
    fill.texts = {{IDC_NAME, "gamma 9"}, {IDC_COUNT, " 42 "}, {IDC_RATIO, "0.5"}, {IDC_AMOUNT, "4000000000"}};
    fill.checks = {{IDC_SHOW, BST_UNCHECKED}, {IDC_R3, BST_CHECKED}, {IDC_TRI, BST_UNCHECKED}};
    bool opened = false;
    FillDialog(*backend, IDD_DDX, fill, &opened);

    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_TRUE(opened);
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"alpha", "5", "0.25", "7"}));
    EXPECT_EQ(dlg.m_name, "gamma 9");
    EXPECT_EQ(dlg.m_count, 42);
    EXPECT_DOUBLE_EQ(dlg.m_ratio, 0.5);
    EXPECT_EQ(dlg.m_size, 4000000000u);
    EXPECT_EQ(dlg.m_show, 0);
    EXPECT_EQ(dlg.m_radio, 2);
    EXPECT_EQ(dlg.m_kind, 0);
    EXPECT_EQ(dlg.m_listText, "gamma");
    EXPECT_EQ(dlg.m_tri, 0);
    // The window is gone, the object let go of it and the owner is back.
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(seenDialog));
    EXPECT_TRUE(IsWindowEnabled(top->m_hWnd));
}

TEST_F(DialogTest, KeyboardCancelsWithEscAndConfirmsWithEnterWithoutTouchingMembersOnCancel)
{
    {
        CExchangeDlg dlg(top.get());
        dialog_automation::WhenWindowOpens(
            *backend, [] { auto d = dialog_automation::ShownDialogs(); return d.empty() ? HWND{} : d.front(); },
            [&](HWND h) {
                dialog_automation::Type(*backend, "123");   // into the first field, which has the focus
                backend->Key(VK_ESCAPE);
                dialog_automation::EnsureClosed(*backend, h);
            },
            [] { ADD_FAILURE() << "the dialog never opened"; });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_name, "alpha");
    }
    {
        CExchangeDlg dlg(top.get());
        dialog_automation::WhenWindowOpens(
            *backend, [] { auto d = dialog_automation::ShownDialogs(); return d.empty() ? HWND{} : d.front(); },
            [&](HWND h) {
                // Tab from the name to the count; its text is selected on arrival, so typing replaces it.
                backend->Key(VK_TAB);
                dialog_automation::Type(*backend, "17");
                backend->Key(VK_RETURN);
                dialog_automation::EnsureClosed(*backend, h);
            },
            [] { ADD_FAILURE() << "the dialog never opened"; });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_count, 17);
        EXPECT_EQ(dlg.m_name, "alpha");
    }
}

// Each refused value shows its message over the dialog; once answered, the focus is back on the
// field with its text selected and the dialog stays open until the value is mended.
TEST_F(DialogTest, RefusedValuesShowTheirMessageAndGiveTheFocusBackToTheirControl)
{
    struct Case {
        int id;
        const char* typed;
        const char* message;
    };
    const std::vector<Case> cases = {
        {IDC_COUNT, "abc", "Please enter an integer."},
        {IDC_COUNT, "12x", "Please enter an integer."},
        {IDC_COUNT, "99999999999", "Please enter an integer."},
        {IDC_COUNT, "150", "Please enter an integer between 1 and 99."},
        {IDC_COUNT, "0", "Please enter an integer between 1 and 99."},
        {IDC_NAME, "ninechars", "Please enter no more than 8 characters."},
        {IDC_RATIO, "1.5", "Please enter a number between 0 and 1."},
        {IDC_RATIO, "half", "Please enter a number."},
        {IDC_AMOUNT, "-1", "Please enter a positive integer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed));
        CExchangeDlg dlg(top.get());
        SeenMessageBox seen;
        bool focusChecked = false;
        dialog_automation::WhenWindowOpens(
            *backend,
            [] {
                for (HWND d : dialog_automation::ShownDialogs())
                    if (reinterpret_cast<uintptr_t>(GetProp(d, DIALOG_TEMPLATE_ID_PROP)) == IDD_DDX)
                        return d;
                return HWND{};
            },
            [&](HWND h) {
                HWND field = GetDlgItem(h, c.id);
                backend->Click(1, dialog_automation::CentreOf(field));
                backend->Key(VK_END);
                backend->KeyDown(VK_SHIFT);
                backend->Key(VK_HOME);
                backend->KeyUp(VK_SHIFT);
                backend->Key(VK_DELETE);
                dialog_automation::Type(*backend, c.typed);
                if (c.id == IDC_NAME) {
                    // Loading limited the edit to the member's length: typing stops there, and
                    // only a program can put a longer text in.
                    backend->WhenIdle([&, field] {
                        EXPECT_EQ(dialog_automation::TextOf(field), "ninechar");
                        SetWindowText(field, c.typed);
                        backend->Key(VK_RETURN);
                    });
                } else {
                    backend->Key(VK_RETURN);
                }
                AnswerMessageBox(*backend, IDOK, &seen);
                // After the box: still open, focus on the field; mend the value and leave.
                backend->WhenIdle([] {});
                backend->WhenIdle([&, h, field] {
                    backend->WhenIdle([&, h, field] {
                        EXPECT_TRUE(IsWindowVisible(h));
                        ExpectFocusAndSelection(h, c.id);
                        focusChecked = true;
                        SetWindowText(field, c.id == IDC_NAME ? "ok" : "1");
                        backend->Key(VK_RETURN);
                        dialog_automation::EnsureClosed(*backend, h);
                    });
                });
            },
            [] { ADD_FAILURE() << "the dialog never opened"; });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.text, c.message);
        EXPECT_EQ(seen.buttons, std::vector<std::string>{"&OK"});
        EXPECT_TRUE(focusChecked);
    }
}

TEST_F(DialogTest, ModelessDialogWorksThroughTheApplicationsLoopAndItsHelpers)
{
    CExchangeDlg dlg(top.get());
    ASSERT_TRUE(dlg.Create(IDD_DDX, top.get()));
    HWND h = dlg.m_hWnd;
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &dlg);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(GetProp(h, DIALOG_TEMPLATE_ID_PROP)), static_cast<uintptr_t>(IDD_DDX));
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(Text(h, IDC_COUNT), "5");
    EXPECT_TRUE(IsWindowEnabled(top->m_hWnd)) << "a modeless dialog leaves its owner enabled";
    dlg.ShowWindow(SW_SHOW);
    Pump();

    // Tab and Shift+Tab go through PreTranslateMessage to the dialog manager.
    dlg.GotoDlgCtrl(dlg.GetDlgItem(IDC_NAME));
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_NAME));
    backend->Key(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_COUNT));
    dialog_automation::Type(*backend, "8");
    Pump();
    EXPECT_EQ(Text(h, IDC_COUNT), "8") << "the arriving focus selected the old text";
    dlg.NextDlgCtrl();
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_RATIO));
    dlg.PrevDlgCtrl();
    EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_COUNT));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_count, 8);

    dlg.CheckRadioButton(IDC_R1, IDC_R3, IDC_R3);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_R1, IDC_R3), IDC_R3);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_R2), 0u);
    dlg.CheckRadioButton(IDC_R1, IDC_R3, 0);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_R1, IDC_R3), 0);
    // No radio checked reads as -1, and -1 loads as none checked.
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_radio, -1);
    dlg.m_radio = 0;
    dlg.m_kind = -1;
    dlg.m_listText = "nothing like it";
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_R1, IDC_R3), IDC_R1);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_KIND, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_LIST, LB_GETCURSEL), LB_ERR);

    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);
    dlg.SetDefID(IDCANCEL);
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
    RECT r{0, 0, 4, 8};
    dlg.MapDialogRect(&r);
    RECT expected{0, 0, 4, 8};
    ::MapDialogRect(h, &expected);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_GT(r.bottom, 0);

    // A modeless dialog is closed by destroying it; the object lets go of the window.
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(h));
}

// A modal dialog opened from another one: each message of the inner loop is offered to the
// inner dialog's PreTranslateMessage once, and the outer dialog works again when it closes.
class CCountingDlg : public CExchangeDlg {
public:
    using CExchangeDlg::CExchangeDlg;
    int buttonDowns = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_LBUTTONDOWN)
            ++buttonDowns;
        return CExchangeDlg::PreTranslateMessage(pMsg);
    }
};

class CNestingDlg : public CCountingDlg {
public:
    using CCountingDlg::CCountingDlg;
    CCountingDlg* inner = nullptr;
    INT_PTR innerResult = 0;

protected:
    void OnShowClicked() { innerResult = inner->DoModal(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNestingDlg, CCountingDlg)
    ON_BN_CLICKED(IDC_SHOW, &CNestingDlg::OnShowClicked)
END_MESSAGE_MAP()

TEST_F(DialogTest, NestedModalDialogsEachSeeTheirMessagesOnce)
{
    CNestingDlg outer(top.get());
    CCountingDlg inner(&outer);
    outer.inner = &inner;
    HWND outerWindow = nullptr;
    dialog_automation::WhenWindowOpens(
        *backend, [] { auto d = dialog_automation::ShownDialogs(); return d.size() == 1 ? d.front() : HWND{}; },
        [&](HWND h) {
            outerWindow = h;
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, IDC_SHOW)));
            dialog_automation::WhenWindowOpens(
                *backend, [] { auto d = dialog_automation::ShownDialogs(); return d.size() == 1 ? d.front() : HWND{}; },
                [&, h](HWND innerWindow) {
                    EXPECT_NE(innerWindow, h);
                    EXPECT_FALSE(IsWindowEnabled(h)) << "the outer dialog waits";
                    backend->Click(1, dialog_automation::CentreOf(GetDlgItem(innerWindow, IDC_COUNT)));
                    backend->Key(VK_TAB);
                    backend->WhenIdle([&, h, innerWindow] {
                        EXPECT_EQ(GetFocus(), GetDlgItem(innerWindow, IDC_RATIO)) << "one Tab, one step";
                        backend->Key(VK_ESCAPE);
                        backend->WhenIdle([&, h] {
                            EXPECT_TRUE(IsWindowEnabled(h));
                            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, IDC_COUNT)));
                            backend->Key(VK_RETURN);
                            dialog_automation::EnsureClosed(*backend, h);
                        });
                    });
                },
                [] { ADD_FAILURE() << "the inner dialog never opened"; });
        },
        [] { ADD_FAILURE() << "the outer dialog never opened"; });
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(outer.innerResult, IDCANCEL);
    EXPECT_EQ(inner.buttonDowns, 1);
    EXPECT_EQ(outer.buttonDowns, 2) << "its own two clicks, none of the inner dialog's";
    EXPECT_NE(outerWindow, nullptr);
}

// Strings of combo and list boxes: a prefix or the exact text picks the item; a text no item
// has shows in a combo box's field and leaves a list without a selection.
class CStringsDlg : public CExchangeDlg {
public:
    using CExchangeDlg::CExchangeDlg;
    CString m_kindText = "tw";
    CString m_editKind = "php";
    CString m_exactList = "gam";
    bool exact = false;

    BOOL OnInitDialog() override
    {
        for (const char* s : {"html", "htm"})
            SendDlgItemMessage(IDC_EDITKIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        return CExchangeDlg::OnInitDialog();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (exact) {
            DDX_CBStringExact(pDX, IDC_KIND, m_kindText);
            DDX_CBStringExact(pDX, IDC_EDITKIND, m_editKind);
            DDX_LBStringExact(pDX, IDC_LIST, m_exactList);
        } else {
            DDX_CBString(pDX, IDC_KIND, m_kindText);
            DDX_CBString(pDX, IDC_EDITKIND, m_editKind);
            DDX_LBString(pDX, IDC_LIST, m_exactList);
        }
    }
};

TEST_F(DialogTest, ComboAndListStringsLoadByPrefixOrExactlyAndReadBack)
{
    CStringsDlg dlg(top.get());
    ASSERT_TRUE(dlg.Create(IDD_DDX, top.get()));
    HWND h = dlg.m_hWnd;
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_KIND, CB_GETCURSEL), 2) << "\"tw\" starts \"two\"";
    EXPECT_EQ(Text(h, IDC_EDITKIND), "php") << "no item: the field shows the text";
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_LIST, LB_GETCURSEL), 2);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_kindText, "two") << "a list reads back its item's whole text";
    EXPECT_EQ(dlg.m_editKind, "php");
    EXPECT_EQ(dlg.m_exactList, "gamma");

    dlg.exact = true;
    dlg.m_kindText = "tw";
    dlg.m_editKind = "htm";
    dlg.m_exactList = "gam";
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_KIND, CB_GETCURSEL), CB_ERR) << "exactly: a prefix is not enough";
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_EDITKIND, CB_GETCURSEL), 1) << "\"htm\", not \"html\"";
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_LIST, LB_GETCURSEL), LB_ERR);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_kindText, "");
    EXPECT_EQ(dlg.m_editKind, "htm");
    EXPECT_EQ(dlg.m_exactList, "");
    dlg.DestroyWindow();
}

// A dialog from a template in memory: its own OnInitDialog and a result given to EndDialog.
class CIndirectDlg : public CDialog {
public:
    int result = 0;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EndDialog(result);   // ends before it is ever shown
        return TRUE;
    }
};

TEST_F(DialogTest, TemplateInMemoryRunsModalAndBadTemplatesFail)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    t.cx = 100;
    t.cy = 40;
    t.title = "Memory";
    const std::vector<BYTE> bytes = WriteDialogTemplate(t);
    CIndirectDlg dlg;
    dlg.result = 77;
    ASSERT_TRUE(dlg.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), top.get()));
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    // A template that is not there: -1, and the next window made is not taken by the object.
    CDialog missing(4999, top.get());
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(4999, top.get()));
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "Other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(missing.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(other.m_hWnd), &other);
}


// A dialog that moves itself while it initialises, or is left where its template puts it.
class CPlacingDlg : public CDialog {
public:
    CPoint moveTo{-1, -1};
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (moveTo.x >= 0)
            SetWindowPos(nullptr, moveTo.x, moveTo.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
};

TEST_F(DialogTest, ADialogItsCodeDoesNotPlaceComesUpCentredOnItsOwner)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    t.x = 4;
    t.y = 4;
    t.cx = 100;
    t.cy = 40;
    t.title = "Placed";
    const std::vector<BYTE> bytes = WriteDialogTemplate(t);
    CRect owner;
    top->GetWindowRect(&owner);

    CPlacingDlg centred;
    ASSERT_TRUE(centred.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), top.get()));
    CRect rect;
    centred.GetWindowRect(&rect);
    EXPECT_LE(std::abs(rect.CenterPoint().x - owner.CenterPoint().x), 1);
    EXPECT_LE(std::abs(rect.CenterPoint().y - owner.CenterPoint().y), 1);
    centred.DestroyWindow();

    CPlacingDlg placed;
    placed.moveTo = CPoint(3, 5);
    ASSERT_TRUE(placed.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), top.get()));
    placed.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(3, 5)) << "where its own code put it";
    placed.DestroyWindow();
}

} // namespace
