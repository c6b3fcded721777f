// The program on the test's Xvfb server with the user's hand as a list of steps: whatever the
// user does while a modal loop of the program runs (a dialog, a menu, a context menu) is a step
// that waits, on a timer of the program's own thread, until what it acts on is on the screen,
// and a step that never comes ends the loop it waits in, so that the test fails instead of
// hanging. Also the places the user points at: cells, toolbar buttons, tree items, menu items.
#pragma once

#include "app/panes/CFileViewControlBar.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/panes/CFilesInTreeCtrl.h"
#include "app/res/AppRes.h"
#include "grid/core/CGXFindReplaceState.h"
#include "platform/controls/CommonDialog.h"
#include "platform/afx/AfxRes.h"
#include "platform/controls/Dialog.h"
#include "tests/app/GroupViewLookup.h"
#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/WindowManagerDisplay.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <chrono>
#include <deque>
#include <map>
#include <sstream>

class MainWindowStepsX11Test : public MainWindowX11Test {
protected:
    void TearDown() override
    {
        Stop();
        steps.clear();
        if (timer)
            KillTimer(nullptr, timer);
        timer = 0;
        MainWindowX11Test::TearDown();
    }

    // ---- The program ----

    using MainWindowX11Test::Start;
    // Starts the program as it starts from the desktop, with no project; the user dismisses the
    // File New chooser that start-up shows. The scan's closing note is switched off.
    ::testing::AssertionResult Start()
    {
        // The pointer rests away from the window, where an earlier test may have left it on a
        // button.
        XdoNow("mousemove " + std::to_string(GetSystemMetrics(SM_CXSCREEN) - 10) + " " +
               std::to_string(GetSystemMetrics(SM_CYSCREEN) - 10));
        Type("the File New chooser", "^New$", "Escape");
        if (!Start(std::vector<std::string>{}))
            return ::testing::AssertionFailure() << "start-up failed";
        app->WriteProfileInt("", "Warn After Scan", 0);
        if (::testing::AssertionResult taken = StepsTaken(); !taken)
            return taken;
        if (!Quiet())
            return ::testing::AssertionFailure() << "the main window never settled on the screen";
        return ::testing::AssertionSuccess();
    }

    // Opens a project of a generated site (a.htm, b.htm and sub/c.htm, each with a title, a
    // description and keywords) with the Description and Keywords columns shown; bScan scans it.
    void OpenSite(bool bScan)
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site + "/sub");
        auto page = [](const std::string& path, const char* title, const char* description) {
            std::ofstream(path) << "<html><head><title>" << title << "</title>\n"
                                << "<meta name=\"DESCRIPTION\" content=\"" << description << "\">\n"
                                << "<meta name=\"KEYWORDS\" content=\"red, green\">\n"
                                << "</head><body>" << title << " page</body></html>\n";
        };
        page(site + "/a.htm", "Alpha", "First page");
        page(site + "/b.htm", "Beta", "Second page");
        page(site + "/sub/c.htm", "Gamma", "Third page");
        SaveCatalogueShowing({"Description", "Keywords"});
        if (HasFatalFailure())
            return;
        OpenSiteProject(0);
        if (bScan) {
            Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
            ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3; }, 60000))
                << "the scan of the site did not end";
        }
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
        ASSERT_TRUE(Quiet()) << "the project's windows never showed";
    }
    // Opens and scans a project of MakeSite's pages, its catalogue showing the named settings.
    void OpenScannedSite(int nPages, std::initializer_list<const char*> shown)
    {
        MakeSite(nPages);
        SaveCatalogueShowing(shown);
        if (HasFatalFailure())
            return;
        OpenSiteProject(0);
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        const auto scanned = [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == static_cast<UINT>(nPages); };
        ASSERT_TRUE(RunUntil(scanned, 60000)) << "the scan of the site did not end";
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
        ASSERT_TRUE(Quiet()) << "the project's windows never showed";
    }
    // The program's catalogue with the named settings shown, saved in SettingsPath.
    void SaveCatalogueShowing(std::initializer_list<const char*> names)
    {
        std::filesystem::create_directories(dir.Path() + "/config");
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        for (const char* pszName : names) {
            CMetaSetting* pSetting = nullptr;
            ASSERT_EQ(pList->FindByName(pszName, pSetting), 0u) << pszName;
            pSetting->SetShow(1);
        }
        ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    }
    // The project of the site's folder, with titles and the catalogue saved in SettingsPath, not
    // scanned on opening, written and opened.
    void OpenSiteProject(UINT bShowAllFound)
    {
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_strProjectDirectory = site.c_str();
        pSettings->m_bShowTitle = 1;
        pSettings->m_bAutoScan = 0;
        pSettings->m_bShowAllFound = bShowAllFound;
        pSettings->SetSettingsFilePath(CString(SettingsPath().c_str()));
        ASSERT_EQ(Frame().WriteProjectFile(CString(ProjectPath().c_str())), 0u);
        ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    }
    // The Output Area and its lines as it shows them.
    COutputAreaControlBar& OutputArea()
    {
        COutputAreaControlBar* pBar = nullptr;
        Frame().GetOutputAreaBar(pBar);
        return *pBar;
    }
    std::vector<std::string> OutputLines()
    {
        std::vector<std::string> lines;
        std::istringstream text(static_cast<LPCTSTR>(OutputArea().GetText()));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }
    ROWCOL ColumnOf(const char* pszName) { return group_view_lookup::ColumnOf(*view, pszName); }
    ROWCOL RowOf(const char* pszName) { return group_view_lookup::RowOf(*view, pszName); }
    // The middle of a cell of the page grid on the screen.
    POINT CellOnScreen(ROWCOL nRow, ROWCOL nCol)
    {
        const CRect cell = view->CalcCellRect(nRow, nCol);
        POINT pt = cell.CenterPoint();
        CRect client;
        view->GetClientRect(&client);
        EXPECT_TRUE(client.PtInRect(pt)) << "cell " << nRow << ", " << nCol << " is not in sight";
        ::ClientToScreen(view->GetSafeHwnd(), &pt);
        return pt;
    }

    // The folder of the site's pages named so, in the project's tree.
    static CPageNode* FolderNamed(CPageNode* pNode, const char* pszName)
    {
        if (pNode->GetKind() == CPageNode::kindFolder && pNode->GetName() == pszName)
            return pNode;
        for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;)
            if (CPageNode* pFound = FolderNamed(pNode->GetChildren().GetNext(pos), pszName))
                return pFound;
        return nullptr;
    }
    // A point on the label of a page node's item in the Project Area's tree, on the screen.
    POINT OnItemLabel(CPageNode* pNode)
    {
        CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
        const auto hItem = reinterpret_cast<HTREEITEM>(pNode->m_dwTreeItem);
        CRect client;
        tree.GetClientRect(&client);
        for (int y = client.top; y < client.bottom; y += 2)
            for (int x = client.left; x < client.right; x += 3) {
                UINT flags = 0;
                if (tree.HitTest(CPoint(x, y), &flags) == hItem && (flags & TVHT_ONITEMLABEL)) {
                    POINT pt{x + 6, y + 2};
                    tree.ClientToScreen(&pt);
                    return pt;
                }
            }
        ADD_FAILURE() << "no item of " << pNode->GetName().GetString() << " in sight";
        return POINT{0, 0};
    }
    // The middle of a toolbar button on the screen.
    POINT ButtonOnScreen(UINT nBarID, UINT nCommand)
    {
        SECCustomToolBar* pBar = Frame().GetToolBarManager()->ToolBarFromID(nBarID);
        EXPECT_NE(pBar, nullptr);
        if (pBar == nullptr)
            return POINT{0, 0};
        CRect rect;
        pBar->GetItemRect(pBar->CommandToIndex(nCommand), &rect);
        POINT pt = rect.CenterPoint();
        ::ClientToScreen(pBar->GetSafeHwnd(), &pt);
        return pt;
    }

    // ---- The program's loop ----

    // The program's own loop as the base fixture runs it, a minute by default.
    bool RunUntil(const std::function<bool()>& done, int ms = 60000) { return MainWindowX11Test::RunUntil(done, ms); }
    // ---- The user's hand ----

    // xdotool at once, without waiting for the focus: for the steps, which run inside the
    // program's modal loops.
    bool XdoNow(const std::string& args)
    {
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 20 xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    // A key pressed from a step while the program works: it returns once the key stands in the
    // program's queue, where the work's next look at its input finds it, so that the work cannot
    // run on to its end while the key is still on its way from the display.
    bool PressWhileWorking(const std::string& key)
    {
        return XdoNow("key " + key) && KeyInQueue();
    }
    using MainWindowX11Test::ClickAt;
    bool ClickAt(POINT pt, int button, int count)
    {
        return XdoNow("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click --repeat " +
                      std::to_string(count) + " --delay 60 " + std::to_string(button));
    }
    bool MoveTo(POINT pt) { return XdoNow("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y)); }
    // F6, as often as it takes round the panes, until the window has the keys.
    bool KeysByF6To(HWND hWnd)
    {
        for (int n = 0; n < 6 && ::GetFocus() != hWnd; ++n) {
            const HWND hBefore = ::GetFocus();
            if (!Xdo("key F6") || !RunUntil([&] { return ::GetFocus() != hBefore; }))
                return false;
        }
        return ::GetFocus() == hWnd && RunUntil([&] { return ProgramHasFocus(); });
    }
    // Types keys (xdotool's names) into the window that holds the focus, once the top-level
    // window of hwnd has it on the server.
    bool KeysTo(HWND hwnd, const std::string& keys)
    {
        return WaitForFocus(hwnd) && XdoNow("key --delay 30 " + keys);
    }

    // The title of the window that holds the keyboard focus on the server ("" for none).
    std::string FocusedTitle()
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        if (focus == 0 || focus == PointerRoot)
            return std::string();
        char* name = nullptr;
        std::string title;
        if (XFetchName(other, focus, &name) && name)
            title = name;
        if (name)
            XFree(name);
        return title;
    }
    // Whether a top-level window of the program with this title is viewable on the server.
    bool ViewableWindowTitled(const std::string& title)
    {
        struct Search {
            MainWindowStepsX11Test* test;
            const std::string* title;
            HWND found;
        } search{this, &title, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lParam);
            char text[256] = {};
            GetWindowText(top, text, sizeof text);
            if (IsWindowVisible(top) && *s.title == text) {
                XWindowAttributes attrs{};
                if (XGetWindowAttributes(s.test->other, s.test->backend->XWindowOf(top), &attrs) &&
                    attrs.map_state == IsViewable)
                    s.found = top;
            }
            return s.found == nullptr;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }

    // A step of the user's that waits (on a timer of the program's thread, so also while a
    // modal loop runs) until `ready` holds, then acts. Steps run in the order they are given.
    void When(const std::string& what, std::function<bool()> ready, std::function<void()> act)
    {
        steps.push_back(Step{what, std::move(ready), std::move(act)});
        if (!timer)
            timer = SetTimer(nullptr, 0, 20, &MainWindowStepsX11Test::Tick);
    }
    // The user's steps in the Replace dialog that Ctrl+H opens: the find text typed over what the
    // field held, Tab, the replacement typed, and once the dialog holds it Replace All by its key.
    void ReplaceAllSteps(const std::string& find, const std::string& replacement)
    {
        Type("the Replace dialog", "^Replace$", "ctrl+a BackSpace");
        When("the find text is cleared", [] { return true; }, [this, find] { XdoNow("type --delay 20 '" + find + "'"); });
        When("the find text is typed", [] { return true; }, [this] { XdoNow("key Tab"); });
        When("the replace field has the keys", [] { return true; },
             [this, replacement] { XdoNow("type --delay 20 '" + replacement + "'"); });
        When("the replace text is typed", [replacement] {
            CString strReplace;
            const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
            if (hDialog != nullptr)
                CWnd::FromHandle(hDialog)->GetDlgItemText(edt2, strReplace);
            return strReplace == replacement.c_str();
        }, [this] { XdoNow("key alt+a"); });
    }
    // The user types keys into the window titled as the pattern says, once it has the focus.
    void Type(const std::string& what, const std::string& titlePattern, const std::string& keys)
    {
        When(what + " has the focus", [this, titlePattern] { return Matches(FocusedTitle(), titlePattern); },
             [this, keys] { XdoNow("key --delay 30 " + keys); });
    }
    // Waits until every step was taken; the message names the first step that never came.
    ::testing::AssertionResult StepsTaken(int ms = 120000)
    {
        const bool done = RunUntil([&] { return steps.empty(); }, ms);
        std::string what = missed;
        if (!done && what.empty())
            what = steps.front().what;
        steps.clear();
        missed.clear();
        if (what.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "never: " << what;
    }

    // Items of the Edit menu as the user sees them with the menu open by its keys: their texts up
    // to the shortcut, and whether each shows grey. The screen's picture is kept under the name
    // given, Escape closes the menu, and the keys go back where they were.
    struct MenuItemState {
        std::string text;
        bool bGrey = false;
    };
    std::map<UINT, MenuItemState> ReadEditMenu(const std::vector<UINT>& ids, const std::string& shot = std::string())
    {
        const HWND hFocus = ::GetFocus();
        std::map<UINT, MenuItemState> items;
        EXPECT_TRUE(Xdo("key alt+e"));
        // Undo All is there whatever the Undo and Redo items are named.
        When("the Edit menu is open", [] {
                 RECT r{};
                 return OpenMenuItem("Undo All", &r) != nullptr;
             },
             [&] {
                 RECT r{};
                 HMENU menu = OpenMenuItem("Undo All", &r);
                 for (UINT nID : ids) {
                     char buffer[256] = {};
                     GetMenuString(menu, nID, buffer, sizeof buffer, MF_BYCOMMAND);
                     std::string text = buffer;
                     items[nID] = MenuItemState{text.substr(0, text.find('\t')),
                                                (GetMenuState(menu, nID, MF_BYCOMMAND) & MF_GRAYED) != 0};
                 }
                 if (cairo_surface_t* pShot = Shot(shot.empty() ? nullptr : shot.c_str()))
                     cairo_surface_destroy(pShot);
                 XdoNow("key Escape Escape");
             });
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(RunUntil([&] { return MenuDriver::OpenMenus().empty() && ::GetFocus() == hFocus; }));
        return items;
    }
    // Edit > Undo and Edit > Redo as ReadEditMenu reads them.
    struct UndoItems {
        std::string undo;
        std::string redo;
        bool bUndoGrey = false;
        bool bRedoGrey = false;
    };
    UndoItems ReadUndoItems(const std::string& shot = std::string())
    {
        std::map<UINT, MenuItemState> items = ReadEditMenu({ID_EDIT_UNDO, ID_EDIT_REDO}, shot);
        return UndoItems{items[ID_EDIT_UNDO].text, items[ID_EDIT_REDO].text, items[ID_EDIT_UNDO].bGrey,
                         items[ID_EDIT_REDO].bGrey};
    }
    // Whether Edit > Undo and Edit > Redo show grey.
    std::pair<bool, bool> UndoAndRedoGrey(const std::string& shot = std::string())
    {
        const UndoItems items = ReadUndoItems(shot);
        return {items.bUndoGrey, items.bRedoGrey};
    }

    // What an open menu showed of an item when the user chose it.
    struct MenuItemSeen {
        bool seen = false;
        bool checked = false;
        bool grayed = false;
        std::string text;   // the whole text, the shortcut after a tab included
    };
    // The user clicks the item with this label (without its mnemonic mark and shortcut) once an
    // open menu shows it on the screen.
    void Choose(const std::string& label, MenuItemSeen* seen = nullptr)
    {
        When("an open menu shows \"" + label + "\"",
             [this, label] {
                 RECT r{};
                 return OpenMenuItem(label, &r) && ShowsNow();
             },
             [this, label, seen] {
                 RECT r{};
                 HMENU menu = OpenMenuItem(label, &r);
                 const int position = MenuDriver::FindItem(menu, label);
                 if (seen) {
                     const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
                     char text[256] = {};
                     GetMenuString(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
                     *seen = MenuItemSeen{true, (state & MF_CHECKED) != 0, (state & MF_GRAYED) != 0, text};
                 }
                 ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 1, 1);
             });
    }
    // The open menu that shows an item with the label, and the item's place on the screen.
    static HMENU OpenMenuItem(const std::string& label, RECT* rect)
    {
        for (HWND popup : MenuDriver::OpenMenus()) {
            HMENU menu = MenuDriver::MenuOf(popup);
            const int position = MenuDriver::FindItem(menu, label);
            if (position >= 0 && GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), rect) && !IsRectEmpty(rect))
                return menu;
        }
        return nullptr;
    }
    // How many pixels of an open menu's item show the colour (0xRRGGBB) on the screenshot; -1
    // when no open menu shows the item.
    static int MenuItemPixels(cairo_surface_t* shot, const std::string& label, uint32_t color)
    {
        RECT r{};
        if (shot == nullptr || OpenMenuItem(label, &r) == nullptr || IsRectEmpty(&r))
            return -1;
        int nPixels = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                nPixels += screen_capture::PixelAt(shot, x, y) == color;
        return nPixels;
    }
    // The middle of an item of the frame's menu bar on the screen.
    POINT MenuBarItemOnScreen(const std::string& label)
    {
        HWND frame = Frame().GetSafeHwnd();
        HMENU bar = ::GetMenu(frame);
        RECT r{};
        GetMenuItemRect(frame, bar, static_cast<UINT>(MenuDriver::FindItem(bar, label)), &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    static bool Matches(const std::string& title, const std::string& pattern)
    {
        // "^x$" is the whole title, "^x" its start, anything else a part of it.
        const bool start = !pattern.empty() && pattern.front() == '^';
        const bool end = !pattern.empty() && pattern.back() == '$';
        const std::string core = pattern.substr(start ? 1 : 0, pattern.size() - (start ? 1 : 0) - (end ? 1 : 0));
        if (start && end)
            return title == core;
        if (start)
            return title.rfind(core, 0) == 0;
        return title.find(core) != std::string::npos;
    }

    static POINT CentreOnScreen(HWND hwnd)
    {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // The middle of the caption's button of that hit-test code, on the screen; -1, -1 for none.
    static POINT CaptionButton(HWND hwnd, int nHit)
    {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        for (int y = r.top; y < r.top + 30; ++y)
            for (int x = r.right - 1; x > r.right - 120; --x)
                if (::SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == nHit) {
                    // The middle of the button: past its edge by half its size.
                    return POINT{x - ::GetSystemMetrics(SM_CXSIZE) / 2 + 2, y + ::GetSystemMetrics(SM_CYSIZE) / 2 - 2};
                }
        return POINT{-1, -1};
    }
    // Where the display shows the window: its place on the screen, whatever frame a window
    // manager put round it, and its size.
    RECT OnScreen(HWND hwnd)
    {
        const Window xid = backend->XWindowOf(hwnd);
        XWindowAttributes attrs{};
        Window child = 0;
        int x = 0, y = 0;
        if (!XGetWindowAttributes(other, xid, &attrs) ||
            !XTranslateCoordinates(other, xid, DefaultRootWindow(other), 0, 0, &x, &y, &child))
            return RECT{};
        return RECT{x, y, x + attrs.width, y + attrs.height};
    }


    CGroupView* view = nullptr;

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
        std::chrono::steady_clock::time_point since{};
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        auto* test = static_cast<MainWindowStepsX11Test*>(Current());
        if (test == nullptr || test->running)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (test->steps.empty())
            return;
        // A step's action may run a loop of its own (a key that opens a dialog): the next tick
        // that comes inside it waits for this one.
        test->running = true;
        Step& front = test->steps.front();
        if (front.since == std::chrono::steady_clock::time_point())
            front.since = now;
        if (front.ready()) {
            Step step = std::move(front);
            test->steps.pop_front();
            step.act();
        } else if (now - front.since > std::chrono::minutes(1)) {
            // The step never came: the test fails, and whatever modal loop waited for it ends,
            // so that the test does not wait for ever.
            test->missed = front.what;
            test->steps.clear();
            test->loops->End();
        }
        test->running = false;
    }

    std::deque<Step> steps;
    UINT_PTR timer = 0;
    bool running = false;
    std::string missed;   // the step that never came
};

// A fixture of the user's steps on a display of its own run by a window manager (openbox), as on
// the user's desktop.
template <class Steps>
class UnderWindowManager : public Steps {
protected:
    XvfbServer* TestServer() override
    {
        WindowManagerDisplay* display = WindowManagerDisplay::Shared();
        return display != nullptr ? display->Server() : nullptr;
    }
    std::string TestServerMissing() override { return WindowManagerDisplay::Missing(); }
};
using WindowManagerStepsX11Test = UnderWindowManager<MainWindowStepsX11Test>;
