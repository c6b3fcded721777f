// Property sheets: pages made when first shown, a page that refuses to be left keeping the
// focus, OK and Apply reaching only the pages that were made, Apply enabled by a change, Cancel
// resetting, the sheet's flags choosing its buttons, and the tabs worked with mouse and keys.
#include "platform/afx/AfxRes.h"
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/DialogIds.h"
#include "tests/support/DialogAutomation.h"

#include <string>
#include <vector>

namespace {

// Every call the sheet makes, in order, as "page:call".
std::vector<std::string>* g_calls = nullptr;

class CRecordingPage : public CPropertyPage {
public:
    CRecordingPage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}
    std::string m_name;
    BOOL refuseShow = FALSE;
    int helpCommands = 0;

    BOOL OnSetActive() override
    {
        Record("SetActive");
        return refuseShow ? FALSE : CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        Record("KillActive");
        return CPropertyPage::OnKillActive();
    }
    void OnOK() override { Record("OK"); }
    void OnReset() override { Record("Reset"); }

protected:
    void Record(const char* what)
    {
        if (g_calls)
            g_calls->push_back(m_name + ":" + what);
    }
    void OnHelpCommand() { ++helpCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingPage, CPropertyPage)
    ON_COMMAND(ID_HELP, &CRecordingPage::OnHelpCommand)
END_MESSAGE_MAP()

class CGeneralPage : public CRecordingPage {
public:
    CGeneralPage() : CRecordingPage(IDD_PAGE_GENERAL, "general") {}
    int m_level = 3;
    int m_freeze = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Check(pDX, IDC_FREEZE, m_freeze);
        DDX_Text(pDX, IDC_LEVEL, m_level);
        DDV_MinMaxInt(pDX, m_level, 1, 10);
    }
};

class CBackupsPage : public CRecordingPage {
public:
    CBackupsPage() : CRecordingPage(IDD_PAGE_BACKUPS, "backups") {}
    int m_scheme = 0;
    CString m_separator = ",";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Radio(pDX, IDC_NO_BACKUP, m_scheme);
        DDX_Text(pDX, IDC_SEPARATOR, m_separator);
    }
};

class PropertySheetTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        g_calls = &calls;
        sheet.AddPage(&general);
        sheet.AddPage(&backups);
        sheet.AddPage(&never);
    }
    void TearDown() override
    {
        g_calls = nullptr;
        AfxTest::TearDown();
    }
    // Runs the sheet modally; `drive` runs once it is open.
    INT_PTR RunSheet(std::function<void(HWND)> drive)
    {
        bool opened = false;
        dialog_automation::WhenWindowOpens(
            *backend,
            [] {
                for (HWND d : dialog_automation::ShownDialogs())
                    if (dialog_automation::TextOf(d) == "Project Settings")
                        return d;
                return HWND{};
            },
            [&, drive](HWND h) {
                opened = true;
                drive(h);
                dialog_automation::EnsureClosed(*backend, h);
            },
            nullptr);
        const INT_PTR result = sheet.DoModal();
        EXPECT_TRUE(opened);
        return result;
    }
    void ClickTab(int tab)
    {
        CRect r = sheet.GetTabRect(tab);
        backend->Click(1, At(sheet.m_hWnd, r.CenterPoint().x, r.CenterPoint().y));
    }

    std::vector<std::string> calls;
    CPropertySheet sheet{"Project Settings", nullptr};
    CGeneralPage general;
    CBackupsPage backups;
    CRecordingPage never{IDD_PAGE_NEVER, "never"};
};

TEST_F(PropertySheetTest, PagesAreMadeWhenFirstShownAndOnlyThoseTakePartInOK)
{
    const INT_PTR result = RunSheet([&](HWND h) {
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_NE(general.m_hWnd, nullptr);
        EXPECT_EQ(backups.m_hWnd, nullptr) << "a page is made when it is first shown";
        EXPECT_TRUE(IsWindowVisible(general.m_hWnd));
        EXPECT_EQ(dialog_automation::TextOf(GetDlgItem(general.m_hWnd, IDC_LEVEL)), "3");
        EXPECT_EQ(GetFocus(), GetDlgItem(general.m_hWnd, IDC_FREEZE)) << "the page's first control";
        EXPECT_EQ(GetParent(general.m_hWnd), h);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(GetProp(general.m_hWnd, DIALOG_TEMPLATE_ID_PROP)),
                  static_cast<uintptr_t>(IDD_PAGE_GENERAL));
        EXPECT_NE(GetDlgItem(h, ID_APPLY_NOW), nullptr);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, ID_APPLY_NOW))) << "nothing changed yet";
        EXPECT_EQ(GetDlgItem(h, IDHELP), nullptr);
        ClickTab(1);
        backend->WhenIdle([&] {
            EXPECT_EQ(sheet.GetActivePage(), &backups);
            EXPECT_FALSE(IsWindowVisible(general.m_hWnd));
            EXPECT_EQ(sheet.GetTabRect(1).top, sheet.GetTabRect(0).top);
            // The user picks "Delete to Recycle Bin" and confirms with Enter.
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(backups.m_hWnd, IDC_RECYCLE)));
            backend->Key(VK_RETURN);
        });
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(calls, (std::vector<std::string>{"general:SetActive", "general:KillActive", "backups:SetActive",
                                               "backups:KillActive", "general:OK", "backups:OK"}));
    EXPECT_EQ(backups.m_scheme, 1);
    EXPECT_EQ(general.m_level, 3);
    EXPECT_EQ(never.m_hWnd, nullptr);
}

TEST_F(PropertySheetTest, APageThatRefusesToBeLeftKeepsTheFocusOnItsControl)
{
    SeenMessageBox seen;
    const INT_PTR result = RunSheet([&](HWND) {
        HWND level = GetDlgItem(general.m_hWnd, IDC_LEVEL);
        SetWindowText(level, "99");
        // Ctrl+Tab asks to go on; the page's check refuses and answers with its message.
        AnswerMessageBox(*backend, IDOK, &seen);
        backend->KeyDown(VK_CONTROL);
        backend->Key(VK_TAB);
        backend->KeyUp(VK_CONTROL);
        backend->WhenIdle([] {});
        backend->WhenIdle([&, level] {
            backend->WhenIdle([&, level] {
                EXPECT_EQ(sheet.GetActiveIndex(), 0);
                EXPECT_EQ(GetFocus(), level);
                EXPECT_EQ(backups.m_hWnd, nullptr);
                // Mended, the same keys go on; the page that refuses to be shown keeps the sheet
                // where it is.
                SetWindowText(level, "7");
                never.refuseShow = TRUE;
                EXPECT_FALSE(sheet.SetActivePage(2));
                EXPECT_EQ(sheet.GetActiveIndex(), 0);
                backend->KeyDown(VK_CONTROL);
                backend->Key(VK_TAB);
                backend->KeyUp(VK_CONTROL);
                backend->WhenIdle([&] {
                    EXPECT_EQ(sheet.GetActiveIndex(), 1);
                    sheet.PressButton(PSBTN_CANCEL);
                });
            });
        });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "Please enter an integer between 1 and 10.");
    EXPECT_EQ(general.m_level, 7) << "leaving the page took its values";
    // Cancel resets every page whose window was made, the one that refused to be shown too.
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"general:Reset", "backups:Reset", "never:Reset"}));
}

TEST_F(PropertySheetTest, ApplyIsEnabledByAChangeAndAppliesWithoutClosing)
{
    const INT_PTR result = RunSheet([&](HWND h) {
        HWND apply = GetDlgItem(h, ID_APPLY_NOW);
        general.SetModified(TRUE);
        EXPECT_TRUE(IsWindowEnabled(apply));
        general.SetModified(FALSE);
        EXPECT_FALSE(IsWindowEnabled(apply));
        general.SetModified(TRUE);
        SetWindowText(GetDlgItem(general.m_hWnd, IDC_LEVEL), "9");
        calls.clear();
        backend->Click(1, dialog_automation::CentreOf(apply));
        backend->WhenIdle([&, h, apply] {
            EXPECT_TRUE(IsWindowVisible(h)) << "Apply leaves the sheet open";
            EXPECT_EQ(general.m_level, 9);
            EXPECT_FALSE(IsWindowEnabled(apply)) << "applied: nothing is changed any more";
            EXPECT_EQ(calls, (std::vector<std::string>{"general:KillActive", "general:OK", "general:SetActive"}));
            sheet.PressButton(PSBTN_OK);
        });
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(PropertySheetTest, SheetFlagsChooseTheButtonsAndHelpGoesToTheCurrentPage)
{
    sheet.m_psh.dwFlags |= 0x280;   // no Apply, a Help button
    backups.m_psp.dwFlags |= PSP_HASHELP;
    sheet.SetActivePage(1);   // before the window: the page to start on
    const INT_PTR result = RunSheet([&](HWND h) {
        EXPECT_EQ(GetDlgItem(h, ID_APPLY_NOW), nullptr);
        ASSERT_NE(GetDlgItem(h, IDHELP), nullptr);
        EXPECT_EQ(sheet.GetActivePage(), &backups);
        EXPECT_EQ(general.m_hWnd, nullptr);
        backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, IDHELP)));
        backend->WhenIdle([&, h] {
            EXPECT_EQ(backups.helpCommands, 1);
            EXPECT_EQ(general.helpCommands, 0);
            // A page without help leaves the button disabled.
            ASSERT_TRUE(sheet.SetActivePage(&general));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDHELP)));
            sheet.PressButton(PSBTN_HELP);
            EXPECT_EQ(general.helpCommands, 0);
            backend->Key(VK_ESCAPE);
        });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(calls.back(), "backups:Reset");
}

// A sheet that does its own work on OK and then presses its OK button, as the program's
// settings sheet does: the press ends the sheet instead of coming back to the handler.
class CSettingsSheet : public CPropertySheet {
public:
    using CPropertySheet::CPropertySheet;
    int okHandled = 0;

protected:
    void OnSheetOK()
    {
        ++okHandled;
        PressButton(PSBTN_OK);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSettingsSheet, CPropertySheet)
    ON_COMMAND(IDOK, &CSettingsSheet::OnSheetOK)
END_MESSAGE_MAP()

TEST_F(PropertySheetTest, ASubclassHandlingOKPressesTheButtonToEnd)
{
    CSettingsSheet own("Settings", top.get());
    CGeneralPage page;
    own.AddPage(&page);
    dialog_automation::WhenWindowOpens(
        *backend,
        [] {
            for (HWND d : dialog_automation::ShownDialogs())
                if (dialog_automation::TextOf(d) == "Settings")
                    return d;
            return HWND{};
        },
        [&](HWND h) {
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(h, IDOK)));
            dialog_automation::EnsureClosed(*backend, h);
        },
        [] { ADD_FAILURE() << "the sheet never opened"; });
    EXPECT_EQ(own.DoModal(), IDOK);
    EXPECT_EQ(own.okHandled, 1);
}

} // namespace
