// The main frame's own commands run as the program runs them: View > Toolbars... leading to the
// Customize sheet, the toolbar layout kept over a restart, help on every kind of context, and
// the web links through a launcher that stands in for xdg-open.
#include "tests/app/VostrelAppFixture.h"

#include "app/dialogs/CEnumFilesDlg.h"
#include "app/frame/AppMessages.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/res/AppRes.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "platform/controls/ListBoxDefs.h"
#include "toolkit/res/CustomizeRes.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <set>

namespace {

using namespace dialog_automation;

HWND DialogFromTemplate(UINT nTemplate)
{
    for (HWND dlg : ShownDialogs())
        if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == nTemplate)
            return dlg;
    return nullptr;
}

// The palettes of the Customize sheet's command page: its toolbars, in the order of the page's
// category list.
std::vector<SECCustomToolBar*> Palettes(HWND page)
{
    std::vector<SECCustomToolBar*> bars;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (auto* bar = dynamic_cast<SECCustomToolBar*>(CWnd::FromHandlePermanent(c)))
            bars.push_back(bar);
    return bars;
}

// Sends a help request of the kind given to the window, as the system does for F1.
void SendHelp(HWND hwnd, int nType, int nCtrlId)
{
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = nType;
    info.iCtrlId = nCtrlId;
    SendMessage(hwnd, 0x0053, 0, reinterpret_cast<LPARAM>(&info));
}

// An enumeration dialog whose Help is pressed as it opens.
class HelpedEnumDlg : public CEnumFilesDlg {
public:
    using CEnumFilesDlg::CEnumFilesDlg;
    BOOL OnInitDialog() override
    {
        const BOOL result = CEnumFilesDlg::OnInitDialog();
        SendMessage(WM_COMMAND, MAKEWPARAM(kIdHelp, BN_CLICKED), 0);
        return result;
    }
};

} // namespace

TEST_F(VostrelAppTest, ToolbarsLeadToTheCustomizeSheetAndTheLayoutOutlivesARestart)
{
    ASSERT_TRUE(Start());
    // View > Toolbars..., then its customise button: the Toolbars dialog ends and the Customize
    // sheet follows with its two pages, the command page offering the two toolbars' buttons.
    bool toolbarsShown = false;
    bool sheetShown = false;
    std::string sheetCaption;
    std::vector<std::string> pageTitles;
    std::vector<std::string> categories;
    std::vector<int> paletteButtons;
    WhenWindowOpens(
        *backend, [] { return DialogFromTemplate(SEC_IDD_TOOLBARSDLG); },
        [&](HWND dlg) {
            toolbarsShown = true;
            WhenWindowOpens(
                *backend,
                [] {
                    for (HWND d : ShownDialogs())
                        if (dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(d)))
                            return d;
                    return HWND{};
                },
                [&](HWND sheetWnd) {
                    sheetShown = true;
                    sheetCaption = TextOf(sheetWnd);
                    auto* sheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(sheetWnd));
                    for (int i = 0; i < sheet->GetPageCount(); ++i) {
                        sheet->SetActivePage(i);
                        CPropertyPage* page = sheet->GetPage(i);
                        pageTitles.push_back(static_cast<LPCTSTR>(page->GetTitle()));
                        if (HWND list = GetDlgItem(page->m_hWnd, SEC_IDC_TOOLBARLIST);
                            list && Palettes(page->m_hWnd).size() > 0) {
                            const int n = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0));
                            for (int k = 0; k < n; ++k) {
                                char text[64] = {};
                                SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(text));
                                categories.push_back(text);
                            }
                            for (SECCustomToolBar* bar : Palettes(page->m_hWnd))
                                paletteButtons.push_back(bar->GetBtnCount());
                        }
                    }
                    backend->Click(1, CentreOf(GetDlgItem(sheetWnd, IDCANCEL)));
                    EnsureClosed(*backend, sheetWnd);
                },
                [] { ADD_FAILURE() << "no Customize sheet"; });
            backend->Click(1, CentreOf(GetDlgItem(dlg, SEC_IDC_CUSTOMIZE)));
            EnsureClosed(*backend, dlg);
        },
        [] { ADD_FAILURE() << "no Toolbars dialog"; });
    Frame().SendMessage(WM_COMMAND, ID_VIEW_TOOLBARS);
    EXPECT_TRUE(toolbarsShown);
    ASSERT_TRUE(sheetShown);
    EXPECT_EQ(sheetCaption, "Customize");
    ASSERT_EQ(pageTitles.size(), 2u);
    EXPECT_FALSE(pageTitles[0].empty());
    EXPECT_EQ(pageTitles[1], "Commands");
    EXPECT_EQ(categories, (std::vector<std::string>{"Main Toolbar", "Grid Toolbar"}));
    std::sort(paletteButtons.begin(), paletteButtons.end());
    EXPECT_EQ(paletteButtons, (std::vector<int>{8, 12}));
    EXPECT_FALSE(Frame().GetToolBarManager()->InCustomizeMode());
    EXPECT_TRUE(::IsWindowEnabled(Frame().m_hWnd));

    // The Grid Toolbar hidden and the Main Toolbar floated; the program closed as the user
    // closes it, started again: both stay as they were left.
    SECCustomToolBar* grid = Frame().GetToolBarManager()->ToolBarFromID(ID_GRID_TOOLBAR);
    SECCustomToolBar* main = Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS);
    ASSERT_TRUE(grid && main);
    EXPECT_TRUE(grid->IsWindowVisible());
    EXPECT_FALSE(main->IsFloating());
    Frame().ShowControlBar(grid, FALSE, FALSE);
    Frame().FloatControlBar(main, CPoint(300, 260));
    ASSERT_TRUE(main->IsFloating());
    const HWND frame = Frame().m_hWnd;
    ::SendMessage(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame)) << "nothing to ask, so the program closes";
    app->m_pMainWnd = nullptr;
    Stop();

    ASSERT_TRUE(Start());
    grid = Frame().GetToolBarManager()->ToolBarFromID(ID_GRID_TOOLBAR);
    main = Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS);
    ASSERT_TRUE(grid && main);
    EXPECT_FALSE(grid->IsWindowVisible());
    EXPECT_TRUE(main->IsFloating());
    EXPECT_EQ(main->GetBtnCount(), 12);
    EXPECT_EQ(grid->GetBtnCount(), 8);
}

TEST_F(VostrelAppTest, HelpOpensThePageOfAMenuItemAWindowAndEachDialog)
{
    ASSERT_TRUE(Start());
    const std::string pages = HelpFolder();
    std::vector<std::string> opened;
    RecordBrowsedAddresses(opened);
    const auto page = [&](const std::string& name) { return "file://" + pages + "/" + name; };
    const HWND frame = Frame().m_hWnd;
    // A menu item: 0x10000 plus its command; a window: 0x20000 plus its id.
    SendHelp(frame, HELPINFO_MENUITEM, ID_NEW_PROJECT);
    SendHelp(frame, HELPINFO_WINDOW, IDW_OUTPUT_AREA);
    Frame().SendMessage(WM_COMMAND, ID_HELP_FINDER);
    EXPECT_EQ(opened, (std::vector<std::string>{page("file-commands.html#new-project"),
                                                page("panes.html#output-area"), page("index.html")}));
    // The toolbar's context help gives the question-mark mode rather than a page.
    Frame().SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    EXPECT_TRUE(Frame().IsInHelpMode());
    Frame().ExitHelpMode(0);
    EXPECT_EQ(opened.size(), 3u);

    // The New Project dialog's Help button: 0x20000 plus its template, 130.
    bool shown = false;
    FillDialog(*backend, CNewProjectDlg::IDD,
               DialogFill{{}, {}, IDCANCEL,
                          [&](HWND dlg) {
                              SendMessage(dlg, WM_COMMAND, MAKEWPARAM(CNewProjectDlg::kIdHelp, BN_CLICKED), 0);
                          }},
               &shown);
    Frame().SendMessage(WM_COMMAND, ID_NEW_PROJECT);
    EXPECT_TRUE(shown);
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[3], page("new-project.html"));

    // The enumeration dialog's Help, pressed while it walks: its page, and the walk still ends
    // the dialog.
    const std::string site = config.Path() + "/site";
    MakeSite(site);
    CProjectSettings settings;
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    HelpedEnumDlg dlg(CParserEngine::GetEngine(), settings);
    dlg.SetPath(CString(site.c_str()), &root);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(opened.size(), 5u);
    EXPECT_EQ(opened[4], page("enumeration.html"));
}

TEST_F(VostrelAppTest, WebLinksRunTheOpenerByArgumentsAndTellEachFailure)
{
    ASSERT_TRUE(Start());
    std::vector<std::vector<std::string>> runs;
    CUrlLauncher::Outcome next;
    Frame().GetUrlLauncher().SetRunner([&](const std::vector<std::string>& argv, CUrlLauncher::Finished finished) {
        runs.push_back(argv);
        finished(next);
    });

    // Each link opens its own address of the program's site; success shows nothing.
    bool boxShown = false;
    WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (GetDlgItem(dlg, kMessageBoxTextId) && !GetProp(dlg, DIALOG_TEMPLATE_ID_PROP))
                    return dlg;
            return HWND{};
        },
        [&](HWND box) {
            boxShown = true;
            EndDialog(box, IDOK);
        },
        nullptr);
    for (UINT id : {ID_WEB_HOME, ID_WEB_PRODUCT, ID_WEB_DOWNLOAD, ID_WEB_SUPPORT, ID_WEB_PURCHASING, ID_WEB_FEEDBACK})
        Frame().SendMessage(WM_COMMAND, id);
    // Let the watcher run out its turns, so it answers no later box.
    for (int turn = 0; turn <= kIdleTurns + 1; ++turn)
        backend->PumpEvents(0);
    EXPECT_FALSE(boxShown);
    ASSERT_EQ(runs.size(), 6u);
    std::set<std::string> addresses;
    for (const auto& argv : runs) {
        ASSERT_EQ(argv.size(), 2u);
        EXPECT_EQ(argv[0], "xdg-open");
        EXPECT_EQ(argv[1].rfind("https://", 0), 0u) << argv[1];
        addresses.insert(argv[1]);
    }
    EXPECT_EQ(addresses.size(), 6u) << "every link has an address of its own";

    // Failures: the address, then what failed, told when the opener's end is reported. An
    // address with shell characters reaches the opener as one argument, untouched.
    const std::string url = "file:///tmp/a b;$(touch x)'.htm";
    struct Case {
        CUrlLauncher::Outcome outcome;
        const char* reason;
    };
    const Case cases[] = {
        {{0, 2}, "The specified file can not be found."},
        {{0, 3}, "No browser or other program to open it was found."},
        {{ENOENT, 0}, "xdg-open, which opens pages in the desktop's browser, is not installed."},
        {{0, 4}, "The program chosen to open it failed."},
        {{0, 1}, "xdg-open did not accept the address."},
    };
    for (const Case& c : cases) {
        next = c.outcome;
        runs.clear();
        SeenMessageBox seen;
        AnswerBox(*backend, IDOK, &seen);
        EXPECT_EQ(Frame().OpenUrl(CString(url.c_str())), 0u);
        backend->ProcessMessages();
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0], (std::vector<std::string>{"xdg-open", url}));
        EXPECT_TRUE(seen.seen);
        EXPECT_EQ(seen.text, "Cannot Browse URL: " + url + "\n\n" + c.reason);
    }
}

// The real opener, a browser that stays: the frame does not wait for it, and the program goes on
// answering; its failure is told when it comes.
TEST_F(VostrelAppTest, TheOpenerRunsBesideTheProgramAndItsFailureIsToldWhenItComes)
{
    ASSERT_TRUE(Start());
    ScopedTempDir bin;
    const std::string release = bin.Path() + "/release";
    // The opener writes what it was given whole before the test can see the file.
    bin.WriteFile("xdg-open", "#!/bin/sh\necho \"$1\" > '" + bin.Path() + "/opening'\n"
                              "mv '" + bin.Path() + "/opening' '" + bin.Path() + "/opened'\n"
                              "while [ ! -e '" + release + "' ]; do sleep 0.02; done\nexit 4\n");
    ::chmod(bin.File("xdg-open").c_str(), 0755);
    const char* pszOldPath = std::getenv("PATH");
    ScopedEnv path("PATH", (bin.Path() + ":" + (pszOldPath ? pszOldPath : "")).c_str());

    Frame().SendMessage(WM_COMMAND, ID_WEB_SUPPORT);
    // The command has returned while the opener still runs.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(bin.Path() + "/opened") && std::chrono::steady_clock::now() < deadline)
        backend->ProcessMessages();
    ASSERT_TRUE(std::filesystem::exists(bin.Path() + "/opened")) << "the opener never started";
    EXPECT_FALSE(std::filesystem::exists(release));
    EXPECT_EQ(bin.ReadFile("opened").rfind("https://", 0), 0u);

    // The opener fails: the frame is told by a posted message, and says what failed.
    bin.WriteFile("release", "");
    deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    MSG pending;
    while (!::PeekMessage(&pending, Frame().GetSafeHwnd(), kMsgProgramFailed, kMsgProgramFailed, PM_NOREMOVE) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    backend->ProcessMessages();
    ASSERT_TRUE(seen.seen) << "no message came";
    EXPECT_NE(seen.text.find("Cannot Browse URL: https://"), std::string::npos) << seen.text;
    EXPECT_NE(seen.text.find("The program chosen to open it failed."), std::string::npos) << seen.text;
}
