// The program as a keyboard user meets it on the X server, the keys typed by another client: a
// dialog opened from another gives the keys back to it and nothing behind the dialogs takes
// them; the arrows walk the menu bar without carrying out a command; F6 goes from pane to pane;
// F1 and the help mode from the keys; and where the boxes and Find open, and what a click that
// closes a menu or lands on an inactive window reaches.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/panes/COutputAreaWnd.h"
#include "app/views/CShortcutEditCtrl.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/controls/FindReplaceDialog.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

namespace {

class KeyboardUserX11Test : public MainWindowStepsX11Test {
protected:
    // The top-level window holds the display's focus, and the program's focus is in it.
    bool KeysIn(HWND top)
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        const HWND hFocus = ::GetFocus();
        return top != nullptr && ::IsWindowVisible(top) && focus == backend->XWindowOf(top) &&
               (hFocus == top || ::IsChild(top, hFocus));
    }
    // The program's focus is in the window (or is it), and its top-level window has the display's.
    bool KeysAt(HWND hwnd)
    {
        const HWND hFocus = ::GetFocus();
        return hwnd != nullptr && (hFocus == hwnd || ::IsChild(hwnd, hFocus)) && KeysIn(::GetAncestor(hwnd, GA_ROOT));
    }
    // The pages the program opens from now on are noted instead of being shown in a browser.
    void CatchOpenedPages(std::vector<std::string>& opened)
    {
        Frame().GetUrlLauncher().SetRunner([&opened](const std::vector<std::string>& args, CUrlLauncher::Finished finished) {
            opened.push_back(args.back());
            finished(CUrlLauncher::Outcome{});
        });
    }
    template <typename T>
    static T* Active()
    {
        return dynamic_cast<T*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
    }
    // The user opens Options > Metatag Settings by its keys and takes the arrows to the
    // Generator's "N options" cell; what tells that the keys are there.
    std::function<bool()> ToTheGeneratorsOptions(CMetaSettingDlg*& pSettings, ROWCOL& nListRow)
    {
        const auto onOptions = [this, &pSettings, &nListRow] {
            ROWCOL nRow = 0, nCol = 0;
            return KeysAt(pSettings->GetGrid().GetSafeHwnd()) && pSettings->GetGrid().GetCurrentCell(nRow, nCol) &&
                   nRow == nListRow && nCol == CMetaSettingGridCtrl::kColAttributes;
        };
        Type("the main window", "^Vostrel -", "alt+o m");
        When("Metatag Settings has the keys",
             [this, &pSettings] { return (pSettings = Active<CMetaSettingDlg>()) != nullptr && KeysIn(pSettings->GetSafeHwnd()); },
             [this, &pSettings, &nListRow] {
                 CMetaSettingGridCtrl& grid = pSettings->GetGrid();
                 for (ROWCOL nRow = 1; nRow <= grid.GetRowCount() && nListRow == 0; ++nRow) {
                     CString strName;
                     grid.GetCellText(nRow, CMetaSettingGridCtrl::kColName, strName);
                     if (strName == "Generator")
                         nListRow = nRow;
                 }
                 XdoNow("key Down");
             });
        When("the settings grid has a current cell", [&pSettings] {
                 ROWCOL nRow = 0, nCol = 0;
                 return pSettings->GetGrid().GetCurrentCell(nRow, nCol) && nRow > 0;
             },
             [this, &pSettings, &nListRow] {
                 ROWCOL nRow = 0, nCol = 0;
                 pSettings->GetGrid().GetCurrentCell(nRow, nCol);
                 std::string keys;
                 for (; nRow < nListRow; ++nRow)
                     keys += " Down";
                 for (; nCol < CMetaSettingGridCtrl::kColAttributes; ++nCol)
                     keys += " Right";
                 XdoNow("key --delay 50" + keys);
             });
        return onOptions;
    }
    // The user types a title into the first page's cell, clicked, and Enter stores it; the page,
    // its file and what the file held before.
    void TypeFirstTitle(const std::string& typed, CPageNode*& pPage, std::string& path, std::string& before)
    {
        const ROWCOL nTitle = ColumnOf("Title");
        ASSERT_EQ(view->GetRowPage(1, pPage), 0u);
        CString strPath;
        pPage->GetFullPath(strPath);
        path = strPath.GetString();
        before = ReadFile(path);
        ClickAt(CellOnScreen(1, nTitle), 1, 1);
        ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()) && IsCurrent(1, nTitle); }))
            << "the click did not reach the cell";
        ASSERT_TRUE(XdoNow("type --delay 30 '" + typed + "'") && XdoNow("key Return"));
        ASSERT_TRUE(RunUntil([&] { return pPage->GetTitle() == typed.c_str(); })) << "the typed title was not stored";
    }
    // Every page's values, one line a value, as the engine holds them.
    std::string PageValues()
    {
        std::string text;
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            CMetaContentList* pList = nullptr;
            if (view->GetRowPage(nRow, pPage) != 0)
                continue;
            text += std::string(pPage->GetName()) + ": " + std::string(pPage->GetTitle()) + "\n";
            if (pPage->GetContentList(pList) != 0)
                continue;
            for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
                const CMetaContent* pContent = pList->GetNext(pos);
                text += "  " + std::string(pContent->GetName()) + "=" + std::string(pContent->GetContent()) + "\n";
            }
        }
        return text;
    }
    // A screenshot for a person to look at, taken only when VOSTREL_KEEP_SCREENSHOTS names a
    // folder to keep it in.
    void Keep(const char* pszName)
    {
        if (std::getenv("VOSTREL_KEEP_SCREENSHOTS") == nullptr)
            return;
        if (cairo_surface_t* shot = Shot(pszName))
            cairo_surface_destroy(shot);
    }
    // The share of the current cell's top edge that its frame darkens on the screen; -1 when the
    // cell is not wholly in the grid's window.
    int CurrentCellFrameShown(const char* pszShot)
    {
        ROWCOL nRow = 0, nCol = 0;
        CRect client;
        view->GetClientRect(&client);
        const CRect cell = view->GetCurrentCell(nRow, nCol) ? view->CalcCellRect(nRow, nCol) : CRect();
        if (cell.IsRectEmpty() || (cell & client) != cell)
            return -1;
        cairo_surface_t* shot = Shot(pszShot);
        const int nDark = shot != nullptr ? DarkPixels(shot, CRect(cell.left, cell.top, cell.right, cell.top + 2), 96) : 0;
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        return nDark * 100 / (2 * cell.Width());
    }
    // The page as saved differs from the page before only inside its title element.
    static ::testing::AssertionResult OnlyTheTitleDiffers(const std::string& before, const std::string& saved)
    {
        const size_t nOpen = before.find("<title>"), nClose = before.find("</title>");
        const size_t nSavedClose = saved.find("</title>");
        if (nOpen == std::string::npos || nClose == std::string::npos || nSavedClose == std::string::npos)
            return ::testing::AssertionFailure() << "no title element in\n" << saved;
        if (saved.compare(0, nOpen + 7, before, 0, nOpen + 7) != 0 || saved.substr(nSavedClose) != before.substr(nClose))
            return ::testing::AssertionFailure() << "more than the title changed:\n" << saved;
        return ::testing::AssertionSuccess();
    }
    static RECT RectOf(HWND hwnd)
    {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        return r;
    }
    // Centred over the other window as far as the screen allows: a box wider than its owner
    // keeps to the screen.
    static ::testing::AssertionResult CentredOver(HWND hwnd, HWND over)
    {
        const RECT box = RectOf(hwnd);
        const RECT owner = RectOf(over);
        const int w = box.right - box.left;
        const int h = box.bottom - box.top;
        const int x = std::clamp<int>((owner.left + owner.right - w) / 2, 0, ::GetSystemMetrics(SM_CXSCREEN) - w);
        const int y = std::clamp<int>((owner.top + owner.bottom - h) / 2, 0, ::GetSystemMetrics(SM_CYSCREEN) - h);
        if (std::abs(box.left - x) <= 2 && std::abs(box.top - y) <= 2)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "at " << box.left << "," << box.top << " instead of " << x << "," << y;
    }
};

} // namespace

// Options > Metatag Settings by its keys, the arrows to a list setting's "N options", Space:
// List Type Attributes. Escape, and later Enter, closes it, and the keys are back on that cell
// of Metatag Settings, which still keeps the main window's keys: Alt+O, M there opens no
// second one, and no page changes.
TEST_F(KeyboardUserX11Test, ADialogOpenedFromADialogGivesTheKeysBackToIt)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const std::string before = PageValues();
    CMetaSettingDlg* pSettings = nullptr;
    ROWCOL nListRow = 0;
    const auto onOptions = ToTheGeneratorsOptions(pSettings, nListRow);
    When("the Generator's options are current", onOptions, [&] { XdoNow("key space"); });
    Type("List Type Attributes", "^List Type Attributes$", "Escape");
    When("the keys are back on the options after Escape", onOptions, [&] {
        Keep("keys-back-in-settings-after-escape");
        EXPECT_FALSE(::IsWindowEnabled(Frame().GetSafeHwnd())) << "the main window takes input under the dialog";
        XdoNow("key space");
    });
    Type("List Type Attributes", "^List Type Attributes$", "Return");
    When("the keys are back on the options after Enter", onOptions, [&] {
        Keep("keys-back-in-settings-after-enter");
        // The main window's keys for Metatag Settings, then Escape for the dialog: the one
        // Metatag Settings closes and the main window has the keys again.
        XdoNow("key --delay 50 alt+o m Escape");
    });
    When("the main window has the keys again", [&] { return KeysIn(Frame().GetSafeHwnd()); },
         [&] { Keep("keys-back-in-the-main-window"); });
    EXPECT_TRUE(StepsTaken());
    EXPECT_FALSE(ViewableWindowTitled("Metatag Settings - [site.vsl]")) << "a second Metatag Settings opened";
    EXPECT_EQ(PageValues(), before);
    EXPECT_EQ(app->IsEdited(), 3u) << "a key typed into a dialog changed a page";
}

// While List Type Attributes, opened from Metatag Settings, runs, Metatag Settings stands
// under it and takes no click: a click on its Cancel neither closes it nor takes the keys from
// List Type Attributes, and Escape then gives them back to the options cell of a Metatag
// Settings still open.
TEST_F(KeyboardUserX11Test, ADialogOpenedFromADialogHoldsItWhileItRuns)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    CMetaSettingDlg* pSettings = nullptr;
    ROWCOL nListRow = 0;
    const auto onOptions = ToTheGeneratorsOptions(pSettings, nListRow);
    When("the Generator's options are current", onOptions, [&] { XdoNow("key space"); });
    HWND hList = nullptr;
    When("List Type Attributes has the keys",
         [&] {
             hList = ::GetActiveWindow();
             return Matches(FocusedTitle(), "^List Type Attributes$") && KeysIn(hList) && Settled();
         },
         [&] {
             const HWND hCancel = ::GetDlgItem(pSettings->GetSafeHwnd(), IDCANCEL);
             CRect cancel, list;
             ::GetWindowRect(hCancel, &cancel);
             ::GetWindowRect(hList, &list);
             EXPECT_FALSE(list.PtInRect(cancel.CenterPoint())) << "List Type Attributes covers the Cancel of Metatag Settings";
             Keep("options-over-metatag-settings");
             ClickAt(cancel.CenterPoint(), 1, 1);
             // Typed after the click: the server hands the program the click first.
             XdoNow("key Escape");
         });
    When("the keys are back on the options", onOptions, [&] {
        Keep("keys-back-in-settings-after-a-click-on-it");
        XdoNow("key Escape");
    });
    When("the main window has the keys again", [&] { return KeysIn(Frame().GetSafeHwnd()); }, [] {});
    EXPECT_TRUE(StepsTaken());
    EXPECT_FALSE(::IsWindow(hList));
}

// The other dialogs that open dialogs hand the keys back the same way: New Project's "..."
// (Browse for Folder), Project Settings... and Metatag Settings..., and a message box over
// Metatag Settings; and the main window takes no click while they run.
TEST_F(KeyboardUserX11Test, EveryDialogThatOpensAnotherGetsTheKeysBack)
{
    ASSERT_TRUE(Start());
    CNewProjectDlg* pNew = nullptr;
    int nNewProjects = 0;
    const auto onButton = [&](UINT nID) {
        return [&, nID] { return pNew != nullptr && KeysAt(pNew->GetDlgItem(nID)->GetSafeHwnd()); };
    };
    Type("the main window", "^Vostrel", "ctrl+n");
    When("New Project has the keys", [&] { return (pNew = Active<CNewProjectDlg>()) != nullptr && KeysIn(pNew->GetSafeHwnd()); },
         [&] {
             ++nNewProjects;
             // A click on the main window's New behind does nothing while the dialog runs.
             ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_NEW_PROJECT), 1, 1);
             XdoNow("key Tab");
         });
    When("the \"...\" button has the keys", onButton(CNewProjectDlg::kIdBrowse), [&] { XdoNow("key space"); });
    Type("Browse for Folder", "^Browse for Folder$", "Escape");
    When("the keys are back on \"...\"", onButton(CNewProjectDlg::kIdBrowse), [&] {
        Keep("keys-back-on-browse");
        XdoNow("key --delay 50 Tab space");
    });
    Type("Project Settings", "^Project Settings$", "Escape");
    When("the keys are back on Project Settings...", onButton(CNewProjectDlg::kIdProjectSettings), [&] {
        Keep("keys-back-on-project-settings");
        XdoNow("key --delay 50 Tab space");
    });
    CMetaSettingDlg* pSettings = nullptr;
    When("Metatag Settings has the keys", [&] { return (pSettings = Active<CMetaSettingDlg>()) != nullptr && KeysIn(pSettings->GetSafeHwnd()); },
         [&] {
             // Delete without a row chosen: a box comes up over Metatag Settings first.
             CToolBar& bar = pSettings->GetToolbar();
             CRect button;
             bar.GetItemRect(bar.CommandToIndex(CMetaSettingDlg::kIdDelete), &button);
             bar.ClientToScreen(&button);
             ClickAt(button.CenterPoint(), 1, 1);
         });
    HWND hBox = nullptr;
    When("the box has the keys", [&] {
             hBox = ::GetActiveWindow();
             return hBox != pSettings->GetSafeHwnd() && Matches(FocusedTitle(), "^Vostrel$") && KeysIn(hBox);
         },
         [&] {
             EXPECT_EQ(::GetWindow(hBox, GW_OWNER), pSettings->GetSafeHwnd()) << "the box belongs to Metatag Settings";
             EXPECT_TRUE(CentredOver(hBox, pSettings->GetSafeHwnd()));
             Keep("box-over-metatag-settings");
             XdoNow("key Return");
         });
    When("the keys are back in Metatag Settings", [&] { return KeysIn(pSettings->GetSafeHwnd()); }, [&] {
        Keep("keys-back-in-settings-after-box");
        XdoNow("key Escape");
    });
    When("the keys are back on Metatag Settings...", onButton(CNewProjectDlg::kIdMetaSettings), [&] {
        Keep("keys-back-on-metatag-settings");
        XdoNow("key Escape");
    });
    When("the main window has the keys again", [&] { return KeysIn(Frame().GetSafeHwnd()); }, [] {});
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(nNewProjects, 1);
    EXPECT_FALSE(ViewableWindowTitled("New Project")) << "the click behind New Project opened another";
}

// With the document window maximised its buttons stand in the menu bar. Walking the bar with
// the arrows from an open menu opens the menus on the way, the system menus of the document
// window and the main window too, and lights the buttons only: neither Right from Help nor
// Left, Left, Left from File minimises or closes the document window. Enter on a lit button
// carries it out.
TEST_F(KeyboardUserX11Test, TheArrowsWalkTheMenuBarWithoutCarryingOutItsButtons)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(::IsZoomed(hDocument)) << "the document window is not maximised";
    const HWND hMain = Frame().GetSafeHwnd();
    // The menu loop runs with no pop-up open: a button of the bar is lit.
    const auto buttonLit = [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == hMain; };
    // The open pop-up is the window's system menu.
    const auto systemMenuOpen = [](HWND hwnd) {
        return [hwnd] {
            for (HWND popup : MenuDriver::OpenMenus())
                if (MenuDriver::MenuOf(popup) == ::GetSystemMenu(hwnd, FALSE))
                    return true;
            return false;
        };
    };
    Type("the main window", "^Vostrel -", "alt+h");
    When("Help is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key Right"); });
    When("the document window's Minimise is lit", buttonLit, [&] { XdoNow("key --delay 50 Right Right Right"); });
    When("the main window's system menu is open", systemMenuOpen(hMain), [&] {
        Keep("menu-walk-main-system-menu");
        XdoNow("key Escape Escape");
    });
    When("the menus are closed", [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == nullptr; },
         [&] { XdoNow("key alt+f"); });
    When("File is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key Left"); });
    When("the document window's system menu is open", systemMenuOpen(hDocument), [&] { XdoNow("key Left"); });
    When("the main window's system menu is open", systemMenuOpen(hMain), [&] { XdoNow("key Left"); });
    When("the document window's Close is lit", buttonLit, [&] {
        Keep("menu-walk-close-lit");
        XdoNow("key Escape");
    });
    When("the menus are closed", [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == nullptr; }, [] {});
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(::IsWindow(hDocument)) << "the arrows closed the document window";
    EXPECT_TRUE(::IsZoomed(hDocument)) << "the arrows changed the document window";

    // Enter on the lit Minimise carries it out.
    Type("the main window", "^Vostrel -", "alt+h");
    When("Help is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key Right"); });
    When("the document window's Minimise is lit", buttonLit, [&] { XdoNow("key Return"); });
    EXPECT_TRUE(StepsTaken());
    EXPECT_TRUE(RunUntil([&] { return ::IsIconic(hDocument) != FALSE; })) << "Enter did not minimise the document window";
}

// The document window's buttons in the menu bar, walked to from Help, are drawn lit as the
// menus are: a whole raised edge round the button the keys are on, which Down leaves lit and
// the menu loop running. The document window's own system menu names the key that closes it,
// Ctrl+F4, which closes it and leaves the program open.
TEST_F(KeyboardUserX11Test, TheDocumentWindowsButtonsShowLitAndItsSystemMenuNamesItsOwnKey)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(::IsZoomed(hDocument)) << "the document window is not maximised";
    const HWND hMain = Frame().GetSafeHwnd();
    const HMENU hBar = ::GetMenu(hMain);
    const auto buttonLit = [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == hMain; };
    // How many pixels of the button's top and bottom lines show the raised edge.
    const auto edgePixels = [&](UINT nCommand, const char* pszShot) {
        RECT r{};
        for (int pos = 0; pos < ::GetMenuItemCount(hBar); ++pos)
            if (::GetMenuItemID(hBar, pos) == nCommand)
                ::GetMenuItemRect(hMain, hBar, static_cast<UINT>(pos), &r);
        cairo_surface_t* shot = Shot(pszShot);
        int nEdge = 0;
        if (shot == nullptr || IsRectEmpty(&r))
            return nEdge;
        const uint32_t light = Rgb(::GetSysColor(COLOR_3DHILIGHT));
        const uint32_t dark = Rgb(::GetSysColor(COLOR_3DSHADOW));
        // The bar's own line under the row takes its last pixel row.
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            nEdge += screen_capture::PixelAt(shot, x, r.top) == light;
            nEdge += screen_capture::PixelAt(shot, x, r.bottom - 2) == dark;
        }
        cairo_surface_destroy(shot);
        return nEdge;
    };
    RECT minimise{};
    for (int pos = 0; pos < ::GetMenuItemCount(hBar); ++pos)
        if (::GetMenuItemID(hBar, pos) == SC_MINIMIZE)
            ::GetMenuItemRect(hMain, hBar, static_cast<UINT>(pos), &minimise);
    ASSERT_FALSE(IsRectEmpty(&minimise)) << "no Minimise in the menu bar";
    const int nWhole = 2 * (minimise.right - minimise.left - 2);
    int nMinimise = 0, nAfterDown = 0, nRestore = 0;
    Type("the main window", "^Vostrel -", "alt+h");
    When("Help is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key Right"); });
    When("the document window's Minimise is lit", buttonLit, [&] {
        nMinimise = edgePixels(SC_MINIMIZE, "document-minimise-lit");
        XdoNow("key Down");
    });
    // Down on a button opens nothing; the next key still walks the bar.
    When("Minimise is still lit after Down", buttonLit, [&] {
        nAfterDown = edgePixels(SC_MINIMIZE, "document-minimise-after-down");
        XdoNow("key Right");
    });
    When("the document window's Restore is lit",
         [&] { return buttonLit() && edgePixels(SC_RESTORE, nullptr) > 0; }, [&] {
             nRestore = edgePixels(SC_RESTORE, "document-restore-lit");
             XdoNow("key Escape");
         });
    When("the menus are closed", [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == nullptr; }, [] {});
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(nMinimise, nWhole) << "Minimise lit without a whole edge";
    EXPECT_EQ(nAfterDown, nWhole) << "Down left the menu or put out Minimise";
    EXPECT_EQ(nRestore, nWhole) << "Restore lit without a whole edge";
    ASSERT_TRUE(::IsZoomed(hDocument)) << "the keys changed the document window";

    // The document window's system menu, walked to from File.
    std::string close;
    Type("the main window", "^Vostrel -", "alt+f");
    When("File is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key Left"); });
    When("the document window's system menu is open",
         [&] {
             for (HWND popup : MenuDriver::OpenMenus())
                 if (MenuDriver::MenuOf(popup) == ::GetSystemMenu(hDocument, FALSE))
                     return ShowsNow();
             return false;
         },
         [&] {
             Keep("document-system-menu");
             char text[64] = {};
             ::GetMenuString(::GetSystemMenu(hDocument, FALSE), SC_CLOSE, text, sizeof text, MF_BYCOMMAND);
             close = text;
             XdoNow("key Escape Escape");
         });
    When("the menus are closed", [&] { return MenuDriver::OpenMenus().empty() && ::GetCapture() == nullptr; },
         [&] { XdoNow("key ctrl+F4"); });
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(close, "&Close\tCtrl+F4");
    EXPECT_TRUE(RunUntil([&] { return !::IsWindow(hDocument); })) << "Ctrl+F4 did not close the document window";
    EXPECT_TRUE(::IsWindow(hMain) && ::IsWindowVisible(hMain)) << "Ctrl+F4 closed the program";
}

// F6 and Shift+F6 take the keys round the panes shown: the Project Area's tree, the grid, its
// edit field and the Output Area; in the tree the arrows choose a folder, whose pages the grid
// then shows.
TEST_F(KeyboardUserX11Test, F6TakesTheKeysRoundThePanesAndTheTreesArrowsChooseAFolder)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    HWND hTree = Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd();
    HWND hOutput = pOutput->GetOutputWnd().GetSafeHwnd();
    HWND hGrid = view->GetSafeHwnd();
    HWND hField = dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField().GetSafeHwnd();
    const ROWCOL nTitle = ColumnOf("Title");
    When("the window is up", [] { return true; }, [&] { ClickAt(CellOnScreen(1, nTitle), 1, 1); });
    // The Output Area shown from the View menu by its keys.
    When("the grid has the keys", [&] { return KeysAt(hGrid) && IsCurrent(1, nTitle); }, [&] { XdoNow("key alt+v o"); });
    When("the Output Area shows", [&] { return ::IsWindowVisible(hOutput) && KeysAt(hGrid); }, [&] { XdoNow("key F6"); });
    When("F6: the edit field has the keys", [&] { return KeysAt(hField); }, [&] { XdoNow("key F6"); });
    When("F6: the Output Area has the keys", [&] { return KeysAt(hOutput); }, [&] { XdoNow("key F6"); });
    When("F6: the tree has the keys", [&] { return KeysAt(hTree); }, [&] {
        Keep("f6-keys-in-the-tree");
        XdoNow("key Down");
    });
    When("Down chose the first folder", [&] { return view->GetRowCount() == 2; }, [&] { XdoNow("key F6"); });
    When("F6: the grid has the keys", [&] { return KeysAt(hGrid); }, [&] { XdoNow("key shift+F6"); });
    When("Shift+F6: the tree has the keys", [&] { return KeysAt(hTree); }, [&] { XdoNow("key shift+F6"); });
    When("Shift+F6: the Output Area has the keys", [&] { return KeysAt(hOutput); }, [&] { XdoNow("key shift+F6"); });
    When("Shift+F6: the edit field has the keys", [&] { return KeysAt(hField); }, [&] { XdoNow("key shift+F6"); });
    When("Shift+F6: the grid has the keys", [&] { return KeysAt(hGrid); }, [] {});
    EXPECT_TRUE(StepsTaken());
    EXPECT_NE(Frame().GetCurrentFolderTitle().Find("Files in"), -1) << Frame().GetCurrentFolderTitle().GetString();
}

// Help by the keys: F1 on a lit menu item opens that item's page, once; F1 in Find and in
// Replace opens their page; in the help mode a menu command chosen by its key or by Enter
// opens its page and does not run, and a click that closes the menu asks for the help of what
// it was on.
TEST_F(KeyboardUserX11Test, F1AndTheHelpModeGiveTheHelpOfWhatTheKeysChose)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    std::vector<std::string> opened;
    CatchOpenedPages(opened);
    const std::string pages = "file://" + HelpFolder() + "/";
    const int nZoom = view->GetZoom();
    const auto openedCount = [&](size_t n) { return [&, n] { return opened.size() >= n; }; };
    Type("the main window", "^Vostrel -", "alt+f");
    When("File is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { XdoNow("key F1"); });
    When("a page opened", openedCount(1), [&] { XdoNow("key ctrl+f"); });
    Type("Find", "^Find$", "F1");
    When("a page opened", openedCount(2), [&] { XdoNow("key Escape"); });
    Type("the main window", "^Vostrel -", "ctrl+h");
    Type("Replace", "^Replace$", "F1");
    When("a page opened", openedCount(3), [&] { XdoNow("key Escape"); });
    // The help mode, then View > Zoom In by its key.
    Type("the main window", "^Vostrel -", "shift+F1");
    When("the help mode is on", [&] { return Frame().IsInHelpMode() != FALSE; }, [&] { XdoNow("key --delay 50 alt+v i"); });
    When("a page opened", openedCount(4), [&] { XdoNow("key shift+F1"); });
    // And Scan > Start Scan by Enter.
    When("the help mode is on", [&] { return Frame().IsInHelpMode() != FALSE; }, [&] { XdoNow("key --delay 50 alt+s Return"); });
    When("a page opened", openedCount(5), [&] { XdoNow("key shift+F1"); });
    // A click on Magnify that closes a menu opened by the keys in the mode gives Magnify's help.
    When("the help mode is on", [&] { return Frame().IsInHelpMode() != FALSE; }, [&] { XdoNow("key alt+v"); });
    When("View is open", [&] { return !MenuDriver::OpenMenus().empty(); },
         [&] { ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_ZOOM_IN), 1, 1); });
    When("a page opened", openedCount(6), [] {});
    EXPECT_TRUE(StepsTaken());
    const std::vector<std::string> expected = {
        pages + "file-commands.html#new-project", pages + "edit-commands.html#find",
        pages + "edit-commands.html#find",        pages + "view-commands.html#zoom",
        pages + "scan-commands.html#start-scan",  pages + "view-commands.html#zoom",
    };
    EXPECT_EQ(opened, expected);
    EXPECT_FALSE(Frame().IsInHelpMode());
    EXPECT_EQ(view->GetZoom(), nZoom) << "Zoom In ran in the help mode";
    EXPECT_EQ(app->GetRunState(), 0u) << "Start Scan ran in the help mode";
}

// F1 in Project Settings while its OK button has the keys opens the help of the page shown,
// as it does on the page's own controls.
TEST_F(KeyboardUserX11Test, F1OnProjectSettingsOKOpensThePageShown)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    std::vector<std::string> opened;
    CatchOpenedPages(opened);
    Type("the main window", "^Vostrel -", "alt+o p");
    // Tab goes round the controls until it reaches OK.
    auto tabbed = std::chrono::steady_clock::time_point();
    When("OK has the keys",
         [&] {
             auto* pSheet = Active<CPropertySheet>();
             if (pSheet == nullptr || !KeysIn(pSheet->GetSafeHwnd()))
                 return false;
             if (::GetFocus() == ::GetDlgItem(pSheet->GetSafeHwnd(), IDOK))
                 return Settled();
             if (std::chrono::steady_clock::now() - tabbed > std::chrono::milliseconds(500)) {
                 XdoNow("key Tab");
                 tabbed = std::chrono::steady_clock::now();
             }
             return false;
         },
         [&] { XdoNow("key F1"); });
    When("a page opened", [&] { return !opened.empty(); }, [&] { XdoNow("key Escape"); });
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(opened, std::vector<std::string>{"file://" + HelpFolder() + "/project-settings.html#general"});
}

// Zoom In by its keys keeps the current cell in sight: from the grid's last cell, at the bottom
// right of the window, each step in leaves its frame on the screen.
TEST_F(KeyboardUserX11Test, ZoomInKeepsTheCurrentCellInSight)
{
    ASSERT_TRUE(Start());
    OpenScannedSite(40, {"Description", "Keywords"});
    const auto frameShown = [&] { return CurrentCellFrameShown("zoomed-current-cell"); };
    std::vector<int> shown;
    int nZoom = 0;
    const auto zoomedIn = [&] { return view->GetZoom() > nZoom && Settled(); };
    const auto zoomIn = [&] {
        shown.push_back(frameShown());
        nZoom = view->GetZoom();
        XdoNow("key alt+v i");
    };
    Type("the main window", "^Vostrel -", "ctrl+End");
    When("the last cell is current",
         [&] { return MainWindowX11Test::IsCurrent(40, view->GetColCount()) && Settled(); }, zoomIn);
    When("Zoom In zoomed", zoomedIn, zoomIn);
    When("Zoom In zoomed again", zoomedIn, [&] { shown.push_back(frameShown()); });
    EXPECT_TRUE(StepsTaken());
    ASSERT_EQ(shown.size(), 3u);
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_GT(shown[i], 40) << "the current cell's frame after " << i << " steps in";
}

// F1 in the toolbar customisation opens the toolbars page at its customising section: on both
// pages of Options > Customize Toolbar and in View > Toolbars.
TEST_F(KeyboardUserX11Test, F1InTheToolbarCustomisationOpensItsSection)
{
    ASSERT_TRUE(Start());
    std::vector<std::string> opened;
    CatchOpenedPages(opened);
    const auto openedCount = [&](size_t n) { return [&, n] { return opened.size() >= n; }; };
    Type("the main window", "^Vostrel", "alt+o c");
    Type("the Customize sheet", "^Customize$", "F1");
    When("a page opened", openedCount(1), [&] { XdoNow("key ctrl+Tab"); });
    When("the Commands page shows", [&] {
             auto* pSheet = Active<CPropertySheet>();
             return pSheet != nullptr && pSheet->GetActiveIndex() == 1 && KeysIn(pSheet->GetSafeHwnd());
         },
         [&] { XdoNow("key F1"); });
    When("a page opened", openedCount(2), [&] { XdoNow("key Escape"); });
    Type("the main window", "^Vostrel", "alt+v t");
    Type("the Toolbars dialog", "^Toolbars$", "F1");
    When("a page opened", openedCount(3), [&] { XdoNow("key Escape"); });
    EXPECT_TRUE(StepsTaken());
    const std::string customise = "file://" + HelpFolder() + "/toolbars.html#customize";
    EXPECT_EQ(opened, std::vector<std::string>(3, customise));
}

// Find and Replace open centred over the main window, and the box Find shows over Find; a
// click that closes a menu reaches the cell it was on, and a click on the toolbar of the main
// window while Find is active presses the button.
TEST_F(KeyboardUserX11Test, FindAndBoxesOpenCentredAndTheClickThatClosesAMenuCounts)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const HWND hMain = Frame().GetSafeHwnd();
    const ROWCOL nTitle = ColumnOf("Title");
    HWND hFind = nullptr;
    Type("the main window", "^Vostrel -", "ctrl+h");
    When("Replace has the keys", [&] { return Matches(FocusedTitle(), "^Replace$"); }, [&] {
        EXPECT_TRUE(CentredOver(::GetActiveWindow(), hMain)) << "Replace";
        XdoNow("key Escape");
    });
    Type("the main window", "^Vostrel -", "ctrl+f");
    When("Find has the keys", [&] { return Matches(FocusedTitle(), "^Find$"); }, [&] {
        hFind = ::GetActiveWindow();
        EXPECT_TRUE(CentredOver(hFind, hMain)) << "Find";
        XdoNow("type --delay 20 nowhere-to-be-found");
        XdoNow("key Return");
    });
    When("the box has the keys", [&] { return Matches(FocusedTitle(), "^Vostrel$"); }, [&] {
        EXPECT_TRUE(CentredOver(::GetActiveWindow(), hFind)) << "the box over Find";
        Keep("box-over-find");
        XdoNow("key Return");
    });
    const int nZoom = view->GetZoom();
    When("Find has the keys again", [&] { return Matches(FocusedTitle(), "^Find$"); },
         [&] { ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_ZOOM_IN), 1, 1); });
    When("the button was pressed", [&] { return view->GetZoom() != nZoom; }, [&] { XdoNow("key Escape"); });
    // File opened by a click; a click on a cell closes it and makes that cell current.
    When("the main window has the keys", [&] { return KeysIn(hMain); }, [&] { ClickAt(MenuBarItemOnScreen("File"), 1, 1); });
    When("File is open", [&] { return !MenuDriver::OpenMenus().empty(); }, [&] { ClickAt(CellOnScreen(3, nTitle), 1, 1); });
    When("the cell is current", [&] { return IsCurrent(3, nTitle); }, [] {});
    EXPECT_TRUE(StepsTaken());
}

// Undo All takes back every edit, also the text still being typed in the field above the grid:
// afterwards no page differs from its file, and File > Exit asks nothing.
TEST_F(KeyboardUserX11Test, UndoAllTakesBackTheFieldsTypedTextAndExitAsksNothing)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const std::string before = PageValues();
    const ROWCOL nTitle = ColumnOf("Title");
    ClickAt(CellOnScreen(1, nTitle), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()) && IsCurrent(1, nTitle); })) << "the click did not reach the cell";
    ASSERT_TRUE(XdoNow("key --delay 30 q Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && !view->GetParam()->m_UndoList.IsEmpty(); }))
        << "the typed title was not stored";
    // The next page's title, typed into the field and not committed.
    auto* pFrame = dynamic_cast<CGroupFrame*>(view->GetParentFrame());
    ASSERT_NE(pFrame, nullptr);
    CShortcutEditCtrl& field = pFrame->GetEditField();
    ClickAt(CentreOnScreen(field.GetSafeHwnd()), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return KeysAt(field.GetSafeHwnd()); })) << "the click did not give the field the keys";
    ASSERT_TRUE(XdoNow("key --delay 30 End z z"));
    ASSERT_TRUE(RunUntil([&] { return field.IsEditing(); })) << "the field took no text";

    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "o");
        ASSERT_TRUE(XdoNow("key --delay 30 alt+e a"));
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && view->GetParam()->m_UndoList.IsEmpty(); }))
            << "Undo All did not run";
        EXPECT_EQ(boxes.Texts()[0], "This will undo all. Proceed?");
    }
    ASSERT_TRUE(Quiet());
    Keep("undo-all-with-text-in-the-field");
    EXPECT_EQ(PageValues(), before);
    EXPECT_EQ(app->IsEdited(), 3u) << "a page is still marked edited";

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "Escape");
    const HWND hFrame = Frame().GetSafeHwnd();
    ASSERT_TRUE(KeysTo(hFrame, "alt+f x"));
    EXPECT_TRUE(RunUntil([&] { return !::IsWindow(hFrame) || !boxes.Texts().empty(); })) << "File > Exit did nothing";
    EXPECT_TRUE(boxes.Texts().empty()) << "Exit asked: " << boxes.Texts()[0];
    EXPECT_FALSE(::IsWindow(hFrame)) << "the main window stayed";
}

// The current cell shows where the keys are: its thick frame while the grid holds them, a thin
// grey one while F6 has taken them to another pane. And Print Preview, opened and closed by its
// keys with the current cell on the last page's row at the grid's foot, leaves the grid as it
// was, that cell in sight.
TEST_F(KeyboardUserX11Test, TheCurrentCellShowsWhereTheKeysAreAndStaysInSightThroughPrintPreview)
{
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (int i = 0; i < 60; ++i)
        std::ofstream(site + "/p" + std::to_string(100 + i) + ".htm")
            << "<html><head><meta charset=\"utf-8\"><title>Seite " << i << " ß</title></head><body>x</body></html>\n";
    OpenSite(false);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 63; }, 60000));
    ASSERT_TRUE(Quiet());
    ASSERT_EQ(view->GetRowCount(), 63u);
    const HWND hGrid = view->GetSafeHwnd();
    const ROWCOL nLastRow = view->GetRowCount(), nLastCol = view->GetColCount();
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
    const uint32_t grey = Rgb(::GetSysColor(COLOR_BTNSHADOW));
    // The current cell's left edge on the screen, one and two pixels in: the thick frame
    // inverts both, the thin one is grey at the first and leaves the cell's highlight at the
    // second.
    struct Edge {
        uint32_t first = 0, second = 0;
        bool inSight = false;
    };
    const auto edgeOf = [&](const char* pszShot) {
        Edge edge;
        const CRect cell = view->CalcCellRect(nLastRow, nLastCol);
        CRect client;
        view->GetClientRect(&client);
        edge.inSight = !cell.IsRectEmpty() && client.PtInRect(cell.TopLeft()) && cell.bottom <= client.bottom;
        if (cairo_surface_t* shot = edge.inSight ? Shot(pszShot) : nullptr) {
            edge.first = GridPixel(shot, cell.left + 1, cell.CenterPoint().y);
            edge.second = GridPixel(shot, cell.left + 2, cell.CenterPoint().y);
            cairo_surface_destroy(shot);
        }
        return edge;
    };
    const auto preview = [&]() -> CPreviewWnd* { return dynamic_cast<CPreviewWnd*>(Frame().GetDlgItem(AFX_IDW_PANE_FIRST)); };
    Edge withKeys, without, afterPreview;
    ROWCOL nTopBefore = 0;
    When("the window is up", [] { return true; }, [&] { ClickAt(CellOnScreen(1, CGroupView::kFileColumn), 1, 1); });
    When("the grid has the keys", [&] { return KeysAt(hGrid); }, [&] { XdoNow("key ctrl+End"); });
    When("Ctrl+End went to the last cell", [&] { return IsCurrent(nLastRow, nLastCol) && Settled(); },
         [&] {
             withKeys = edgeOf("frame-with-the-keys");
             XdoNow("key F6");
         });
    When("F6 took the keys away from the grid", [&] { return !KeysAt(hGrid) && ::GetFocus() != nullptr && Settled(); },
         [&] {
             without = edgeOf("frame-without-the-keys");
             ClickAt(CellOnScreen(nLastRow, nLastCol), 1, 1);
         });
    When("the grid has the keys again", [&] { return KeysAt(hGrid) && IsCurrent(nLastRow, nLastCol) && Settled(); },
         [&] {
             nTopBefore = view->GetTopRow();
             XdoNow("key alt+f v");
         });
    When("the preview shows", [&] { return preview() != nullptr && Settled(); }, [&] { XdoNow("key c"); });
    When("C closed the preview", [&] { return preview() == nullptr && ::IsWindowVisible(hGrid) && Settled(); },
         [&] { afterPreview = edgeOf("after-print-preview"); });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(withKeys.inSight) << "the last cell is not in sight";
    EXPECT_NE(withKeys.first, highlight) << "no frame with the keys";
    EXPECT_NE(withKeys.second, highlight) << "no thick frame with the keys";
    ASSERT_TRUE(without.inSight);
    EXPECT_EQ(without.first, grey) << "no thin grey frame without the keys";
    EXPECT_EQ(without.second, highlight) << "the frame without the keys is as thick as with them";
    EXPECT_TRUE(afterPreview.inSight) << "the current cell is out of sight after the preview";
    EXPECT_EQ(view->GetTopRow(), nTopBefore) << "the grid scrolled";
    EXPECT_EQ(afterPreview.first, withKeys.first) << "the current cell is not framed as before";
}

// The grid's window closed by Ctrl+F4 comes back by the keys with the edits the project kept:
// Shift+F6 takes the keys to the Project Area's tree and Enter on its item brings the grid of
// its pages up again with the keys in it. With the window closed from the tree, the tree's
// arrows choose a folder and keep the keys while its grid comes up; View > Project Area, hiding
// the tree that has them, gives them to the grid. The title typed before the window closed comes
// back with its undo, which Ctrl+Z and Ctrl+Y take back and give again, and is saved to its page.
TEST_F(KeyboardUserX11Test, AClosedGridComesBackByTheKeysWithItsEdits)
{
    const std::string typed = "Épée ß Ωμέγα 東京";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    const HWND hTree = Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd();
    CPageNode* pPage = nullptr;
    std::string path, before;
    TypeFirstTitle(typed, pPage, path, before);
    if (HasFatalFailure())
        return;

    const HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument); })) << "Ctrl+F4 did not close the grid's window";
    view = nullptr;
    ASSERT_TRUE(Xdo("key shift+F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hTree); })) << "Shift+F6 did not reach the Project Area";
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return (view = View()) != nullptr && KeysAt(view->GetSafeHwnd()) && Settled(); }))
        << "Enter on the project's item did not bring its grid back with the keys";
    Keep("grid-back-by-enter");
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+Home Right ctrl+c")), std::vector<std::string>{typed}) << "the edit is gone";
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+z ctrl+Home Right ctrl+c")), std::vector<std::string>{"Alpha"}) << "the edit's undo is gone";
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+y ctrl+Home Right ctrl+c")), std::vector<std::string>{typed});

    // The grid's window closed again from the tree, and the folder below chosen by the tree's
    // arrow: its grid comes up and the keys stay in the tree; hiding the tree gives them to
    // the folder's grid.
    ASSERT_TRUE(Xdo("key shift+F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hTree); })) << "Shift+F6 did not reach the Project Area again";
    const HWND hAgain = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hAgain) && KeysAt(hTree); })) << "Ctrl+F4 did not close the grid's window";
    ASSERT_TRUE(Xdo("key Down"));
    ASSERT_TRUE(RunUntil([&] { return View() != nullptr && View()->GetRowCount() == 2 && Settled(); })) << "Down chose no folder";
    EXPECT_TRUE(KeysAt(hTree)) << "the folder's grid took the keys from the tree";
    ASSERT_TRUE(Xdo("key alt+v p"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindowVisible(hTree) && Settled(); })) << "View > Project Area did not hide it";
    view = View();
    EXPECT_TRUE(KeysAt(view->GetSafeHwnd())) << "the keys stayed in the hidden tree";
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+Home Right ctrl+c")), std::vector<std::string>{typed});

    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ReadFile(path) != before; })) << "the save did not write the page";
    EXPECT_TRUE(OnlyTheTitleDiffers(before, ReadFile(path)));
    EXPECT_EQ(pPage->GetTitle(), typed.c_str()) << "the page read back after the save";
}

// A question whose Yes throws the user's work away takes No from an Enter pressed without
// reading: F5 over a typed title, Edit > Undo All, and Delete on a cell of Metatag Settings each
// keep what the user had. Ctrl+T then writes the typed title, and nothing else of the page.
TEST_F(KeyboardUserX11Test, EnterAtAQuestionThatWouldDropTheUsersWorkKeepsIt)
{
    const std::string typed = "Épée ß Ωμέγα 東京";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    CPageNode* pPage = nullptr;
    std::string path, before;
    TypeFirstTitle(typed, pPage, path, before);
    if (HasFatalFailure())
        return;

    const std::pair<std::string, std::string> questions[] = {
        {"F5", "You have made changes to some of your metatags. This operation shall override those changes. Proceed?"},
        {"alt+e a", "This will undo all. Proceed?"},
    };
    for (const auto& [keys, question] : questions) {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "Return");
        ASSERT_TRUE(Xdo("key " + keys));
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && KeysAt(view->GetSafeHwnd()) && Settled(); }))
            << keys << " asked nothing";
        EXPECT_EQ(boxes.Texts()[0], question);
        EXPECT_EQ(app->IsEdited(), 2u) << "Enter at " << keys << " dropped the edit";
        EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+Home Right ctrl+c")), std::vector<std::string>{typed}) << keys;
    }

    // Delete on a cell of Metatag Settings, which asks before the row's metatag goes.
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "Return");
    CMetaSettingDlg* pSettings = nullptr;
    const auto settingsHaveTheKeys = [&] {
        pSettings = Active<CMetaSettingDlg>();
        return pSettings != nullptr && KeysIn(pSettings->GetSafeHwnd()) && Settled();
    };
    ROWCOL nRows = 0, nRowsAfter = 0;
    CString strName;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", settingsHaveTheKeys, [&] {
        ROWCOL nRow = 0, nCol = 0;
        pSettings->GetGrid().GetCurrentCell(nRow, nCol);
        nRows = pSettings->GetGrid().GetRowCount();
        XdoNow("key --delay 40" + ArrowKeys(nRow, nCol, 2, CMetaSettingGridCtrl::kColDescription));
    });
    When("the second row's description is current", [&] {
             ROWCOL nRow = 0, nCol = 0;
             return pSettings->GetGrid().GetCurrentCell(nRow, nCol) && nRow == 2 &&
                    nCol == CMetaSettingGridCtrl::kColDescription && Settled();
         },
         [&] {
             pSettings->GetGrid().GetCellText(2, CMetaSettingGridCtrl::kColName, strName);
             XdoNow("key Delete");
         });
    When("Enter answered the question", [&] { return boxes.Texts().size() == 1 && settingsHaveTheKeys(); }, [&] {
        nRowsAfter = pSettings->GetGrid().GetRowCount();
        XdoNow("key Escape");
    });
    When("Metatag Settings is closed", [&] { return Active<CMetaSettingDlg>() == nullptr && KeysAt(view->GetSafeHwnd()); },
         [] {});
    ASSERT_TRUE(StepsTaken());
    EXPECT_EQ(boxes.Texts()[0], "Delete the metatag '" + std::string(strName) + "' in row 2?");
    EXPECT_EQ(nRowsAfter, nRows) << "Enter deleted the metatag " << strName.GetString();

    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ReadFile(path) != before; })) << "the save did not write the page";
    EXPECT_TRUE(OnlyTheTitleDiffers(before, ReadFile(path)));
}

// After Ctrl+F4 the keys are where the user sees them. With the Project Area shown they go to its
// tree, on the folder whose grid was closed, drawn in the focus colours; Enter there brings that
// folder's grid back. With the Project Area hidden they go to the Output Area, which frames its
// text while it has them.
TEST_F(KeyboardUserX11Test, AfterCtrlF4TheKeysAreInAPaneThatShowsIt)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    COutputAreaWnd& output = OutputArea().GetOutputWnd();
    const HWND hTree = tree.GetSafeHwnd(), hOutput = output.GetSafeHwnd();
    CPageNode* pSub = FolderNamed(app->GetPageNodes().GetHead(), "sub");
    ASSERT_NE(pSub, nullptr);
    const POINT onSub = OnItemLabel(pSub);
    // The pixels of the sub folder's row in the focus colour, and of the Output Area's top edge in
    // the colour of its frame with the keys.
    const auto focusPixels = [&](const char* pszShot) {
        Quiet();
        cairo_surface_t* shot = Shot(pszShot);
        CRect text;
        output.GetClientRect(&text);
        output.ClientToScreen(&text);
        std::pair<int, int> n;
        for (int x = 0; shot != nullptr && x < ::GetSystemMetrics(SM_CXSCREEN); ++x) {
            n.first += screen_capture::PixelAt(shot, x, onSub.y) == Rgb(::GetSysColor(COLOR_HIGHLIGHT));
            n.second += x >= text.left && x < text.right &&
                        screen_capture::PixelAt(shot, x, text.top) == Rgb(::GetSysColor(COLOR_HIGHLIGHT));
        }
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        return n;
    };

    // The Output Area shown by its menu key; the sub folder's page brought up by a click in the
    // tree, and a click on it in the grid.
    ASSERT_TRUE(Xdo("key alt+v o"));
    ASSERT_TRUE(RunUntil([&] { return ::IsWindowVisible(hOutput) && Settled(); })) << "View > Output Area did not show it";
    ClickAt(onSub, 1, 1);
    ASSERT_TRUE(RunUntil([&] { return (view = View()) != nullptr && view->GetRowCount() == 1 && Settled(); }))
        << "the click did not bring up the folder's page";
    ClickAt(CellOnScreen(1, ColumnOf("Title")), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()); })) << "the click did not give the grid the keys";

    HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument) && KeysAt(hTree) && Settled(); }))
        << "the keys did not go to the tree";
    EXPECT_EQ(tree.GetSelectedItem(), reinterpret_cast<HTREEITEM>(pSub->m_dwTreeItem)) << "the closed folder is not chosen";
    const auto [nTree, nFrameWithout] = focusPixels("keys-in-the-tree-after-ctrl-f4");
    EXPECT_GT(nTree, 5) << "the folder is not drawn in the focus colour";
    EXPECT_EQ(nFrameWithout, 0) << "the Output Area is framed without the keys";
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return (view = View()) != nullptr && KeysAt(view->GetSafeHwnd()) && Settled(); }))
        << "Enter did not bring the grid back with the keys";
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+Home ctrl+c")), std::vector<std::string>{"c.htm"});

    // The Project Area hidden by its menu key: the next Ctrl+F4 gives the keys to the Output Area.
    ASSERT_TRUE(Xdo("key alt+v p"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindowVisible(hTree) && KeysAt(view->GetSafeHwnd()) && Settled(); }))
        << "View > Project Area did not hide it";
    hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument) && KeysAt(hOutput) && Settled(); }))
        << "the keys did not go to the Output Area";
    CRect client;
    output.GetClientRect(&client);
    EXPECT_EQ(focusPixels("keys-in-the-output-area-after-ctrl-f4").second, client.Width())
        << "the Output Area shows no frame with the keys";
}

// Ctrl+T while a cell's edit is open, the text typed and no Enter, takes the text and saves it,
// as Exit takes it; so does File > Save Edited Files by its keys while the field above the
// grid holds a typed value. The pages read back show the typed titles, and nothing else of
// them changed on disk.
TEST_F(KeyboardUserX11Test, TheSaveTakesTheOpenEditFirst)
{
    const std::string inCell = "Épée ß Ωμέγα 東京", inField = "Straße γράμμα 文字";
    X11KeyboardLetters letters(other, inCell + inField);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title");
    CPageNode* pages[2] = {};
    std::string paths[2], before[2];
    for (ROWCOL nRow : {1u, 2u}) {
        ASSERT_EQ(view->GetRowPage(nRow, pages[nRow - 1]), 0u);
        CString strPath;
        pages[nRow - 1]->GetFullPath(strPath);
        paths[nRow - 1] = strPath.GetString();
        before[nRow - 1] = ReadFile(paths[nRow - 1]);
    }
    ClickAt(CellOnScreen(1, nTitle), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()) && IsCurrent(1, nTitle); })) << "the click did not reach the cell";
    ASSERT_TRUE(XdoNow("type --delay 30 '" + inCell + "'"));
    ASSERT_TRUE(RunUntil([&] { return EditorOpen() && view->HoldsPendingEdit(); })) << "the cell's edit did not open";
    ASSERT_EQ(app->IsEdited(), 3u);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return ReadFile(paths[0]) != before[0] && Settled(); })) << "Ctrl+T did not save the open edit";
    EXPECT_TRUE(OnlyTheTitleDiffers(before[0], ReadFile(paths[0])));
    EXPECT_EQ(pages[0]->GetTitle(), inCell.c_str()) << "the page read back after the save";
    EXPECT_EQ(app->IsEdited(), 3u);

    // The next page's title typed into the field above the grid, reached by F6.
    ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()); })) << "the grid did not get the keys back";
    ASSERT_TRUE(Xdo("key Down F6"));
    CShortcutEditCtrl& field = dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField();
    ASSERT_TRUE(RunUntil([&] { return KeysAt(field.GetSafeHwnd()) && IsCurrent(2, nTitle); })) << "F6 did not reach the field";
    ASSERT_TRUE(XdoNow("type --delay 30 '" + inField + "'"));
    ASSERT_TRUE(RunUntil([&] { return field.IsEditing(); })) << "the field took no text";
    ASSERT_TRUE(Xdo("key alt+f e"));
    ASSERT_TRUE(RunUntil([&] { return ReadFile(paths[1]) != before[1] && Settled(); }))
        << "Save Edited Files did not save the field's text";
    EXPECT_TRUE(OnlyTheTitleDiffers(before[1], ReadFile(paths[1])));
    EXPECT_EQ(pages[1]->GetTitle(), inField.c_str()) << "the page read back after the save";
    EXPECT_EQ(app->IsEdited(), 3u);
}

// The current cell stays in sight, framed on the screen: at the grid's foot when a save brings
// the Output Area up under the grid; on its page and in its column, the grid scrolled as before,
// through a rescan by F5; and at the last row Replace All changed when Ctrl+Y does it again with
// the grid scrolled to its top.
TEST_F(KeyboardUserX11Test, TheCurrentCellStaysInSightThroughSaveRescanAndRedo)
{
    const std::string typed = "Schlüssel γ 鍵";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    constexpr ROWCOL kPages = 60;
    OpenScannedSite(kPages, {"Description", "Keywords"});
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    if (pOutput->IsWindowVisible()) {
        ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "alt+v o"));
    }
    ASSERT_TRUE(RunUntil([&] { return !pOutput->IsWindowVisible() && Settled(); })) << "the Output Area stayed";
    const ROWCOL nLastCol = view->GetColCount(), nDescription = ColumnOf("Description");
    ClickAt(CellOnScreen(1, CGroupView::kFileColumn), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()); })) << "the click did not give the grid the keys";

    // The last cell typed anew and the edit saved: the Output Area comes up under the grid.
    ASSERT_TRUE(Xdo("key ctrl+End"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(kPages, nLastCol) && Settled(); })) << "Ctrl+End did not reach the last cell";
    ASSERT_GT(CurrentCellFrameShown("last-cell-before-save"), 40);
    ASSERT_TRUE(XdoNow("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(XdoNow("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && !EditorOpen(); })) << "the typed value was not stored";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && pOutput->IsWindowVisible() && KeysAt(view->GetSafeHwnd()) && Settled(); }))
        << "the save did not end with the Output Area shown";
    EXPECT_TRUE(IsCurrent(kPages, nLastCol));
    EXPECT_GT(CurrentCellFrameShown("last-cell-after-save"), 40) << "the Output Area hides the current cell";

    // Ten rows up, then a rescan by F5.
    ASSERT_TRUE(Xdo("key --delay 20 Up Up Up Up Up Up Up Up Up Up"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(kPages - 10, nLastCol) && Settled(); }));
    const ROWCOL nTopRow = view->GetTopRow();
    ASSERT_GT(nTopRow, 1u);
    // A scan begins by emptying the Output Area of what the save told there.
    ASSERT_FALSE(OutputArea().GetText().IsEmpty());
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] {
        return OutputArea().GetText().IsEmpty() && app->GetRunState() == 0 && Frame().GetFilesScanned() == kPages && Settled();
    })) << "F5 did not scan the pages again";
    EXPECT_TRUE(IsCurrent(kPages - 10, nLastCol)) << "the rescan lost the current cell";
    EXPECT_EQ(view->GetTopRow(), nTopRow) << "the rescan scrolled the grid";
    EXPECT_GT(CurrentCellFrameShown("current-cell-after-rescan"), 40) << "the current cell is out of sight after the rescan";

    // Replace All down the Description column from its top, undone; Ctrl+Y at the grid's top
    // does it again and shows the last row it changed.
    ASSERT_TRUE(GoToByKeys(1, nDescription));
    ASSERT_TRUE(Xdo("key ctrl+h"));
    ReplaceAllSteps("of page", typed);
    When("Replace All said what it did", [&] { return boxes.Texts().size() == 1; }, [] {});
    When("the Replace dialog has the keys back",
         [&] { return GXGetFindReplaceState().m_hWndDialog != nullptr && Matches(FocusedTitle(), "^Replace$") && Settled(); },
         [this] { XdoNow("key Escape"); });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && KeysAt(view->GetSafeHwnd()); }))
        << "the Replace dialog stayed";
    // The last page's description is the value typed above: the row before it is the last one
    // Replace All changes.
    constexpr ROWCOL kLastReplaced = kPages - 1;
    const std::string replaced = "Description " + typed + " " + std::to_string(kLastReplaced);
    ASSERT_EQ(std::string(view->GetCellValue(kLastReplaced, nDescription)), replaced);
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(kLastReplaced, nDescription)) != replaced && Settled(); }))
        << "Ctrl+Z undid nothing";
    ASSERT_TRUE(Xdo("key ctrl+Home"));
    ASSERT_TRUE(RunUntil([&] { return view->GetTopRow() == 1 && IsCurrent(1, CGroupView::kFileColumn) && Settled(); }));
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(kLastReplaced, nDescription)) == replaced && Settled(); }))
        << "Ctrl+Y did not replace again";
    ROWCOL nRow = 0, nCol = 0;
    view->GetCurrentCell(nRow, nCol);
    EXPECT_EQ(nCol, nDescription);
    EXPECT_EQ(nRow, kLastReplaced) << "Ctrl+Y left the current cell away from the last row it changed";
    EXPECT_GT(CurrentCellFrameShown("current-cell-after-redo"), 40) << "Ctrl+Y left the current cell out of sight";
}
