// The whole program on the test program's private Xvfb server, started as the user starts it
// (a project named on its command line) and driven from another client with xdotool: keys,
// clicks and menus reach it through the X server, and what it shows is read back from the
// screen.
#pragma once

#include "app/views/CGroupDoc.h"
#include "app/views/CGroupFrame.h"
#include "app/views/CGroupView.h"
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "engine/meta/CMetaEditSetting.h"
#include "grid/core/CGXControl.h"
#include "engine/meta/CMetaSListSetting.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/RegistryStore.h"
#include "platform/win/Clipboard.h"
#include "tests/app/ProgramInProcess.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/ModalLoopWatch.h"
#include "tests/support/ScopedTempDir.h"

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

class MainWindowX11Test : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        env.emplace("XDG_CONFIG_HOME", dir.Path() + "/config");
        CRegistryStore::Instance().Reload();
        loops.emplace();
        // Screenshots kept for a person to look at show the real fonts.
        if (std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
            SetTestFontMode(false);
    }
    void TearDown() override
    {
        Stop();
        loops.reset();
        for (long pid : watchers)
            if (pid > 0)
                ::kill(-static_cast<pid_t>(pid), SIGTERM);
        // Gone before the display is looked at: a key a watcher was typing is then lifted.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        for (long pid : watchers)
            while (pid > 0 && ::kill(-static_cast<pid_t>(pid), 0) == 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        watchers.clear();
        CRegistryStore::Instance().Reload();
        env.reset();
        X11Test::TearDown();
    }

    // Ends the program as its window's closing would, after everything it posted has run.
    void Stop()
    {
        program_in_process::End(app, [this] { Drained(); });
    }

    std::string SettingsPath() const { return dir.Path() + "/config/site.vsl"; }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The content of the page's META tag of that name, as the page holds it ("" when it has none).
    static std::string TagContent(const std::string& page, const std::string& name)
    {
        const size_t at = page.find("name=\"" + name + "\"");
        if (at == std::string::npos)
            return std::string();
        const size_t start = page.find("content=\"", at);
        if (start == std::string::npos || start > page.find('>', at))
            return std::string();
        const size_t end = page.find('"', start + 9);
        return page.substr(start + 9, end - start - 9);
    }
    std::string ProjectPath() const { return dir.Path() + "/site.vsp"; }
    // The named setting of the catalogue becomes a shown list of the choices, of the type the
    // Metatag Settings dialog calls "Non-editable Drop List": a drop-down list in the grid.
    static void MakeDropDownList(CMetaSettingList& list, const char* pszName, std::initializer_list<const char*> choices)
    {
        CMetaSetting* pOld = nullptr;
        ASSERT_EQ(list.FindByName(pszName, pOld), 0u) << pszName;
        auto pNew = std::make_unique<CMetaSListSetting>();
        pNew->SetName(pszName);
        pNew->SetShow(1);
        for (const char* pszChoice : choices)
            pNew->m_Options.AddTail(pszChoice);
        ASSERT_EQ(list.ReplaceSetting(pOld, pNew.get()), 0u);
        pNew.release();
    }

    // A site of pages with a title and a few META tags, and as many folders again, each with a
    // page, so that the Project Area's tree is taller than its pane.
    void MakeSite(int nPages, int nFolders = 0)
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (int i = 1; i <= nPages; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/p%02d.htm", i);
            std::ofstream(site + name) << "<html><head><title>Page " << i << "</title>\n"
                                       << "<meta name=\"DESCRIPTION\" content=\"Description of page " << i << "\">\n"
                                       << "<meta name=\"KEYWORDS\" content=\"word" << i << ", other\">\n"
                                       << "</head><body>Page " << i << "</body></html>\n";
        }
        for (int i = 1; i <= nFolders; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/folder%02d", i);
            std::filesystem::create_directories(site + name);
            std::ofstream(site + name + "/index.htm") << "<html><head><title>In folder " << i
                                                      << "</title></head><body>x</body></html>\n";
        }
    }

    // The project file of the site with its own settings file, in which the named settings
    // are shown in that order of the catalogue; the project scans itself when opened. The
    // catalogue may be changed further before it is written.
    void WriteProject(const std::vector<std::string>& shown, UINT bShowTitle = 1,
                      const std::function<void(CMetaSettingList&)>& change = {})
    {
        CMetaSettingList list;
        list.SetDefaults();
        for (const std::string& name : shown) {
            CMetaSetting* pSetting = nullptr;
            ASSERT_EQ(list.FindByName(name.c_str(), pSetting), 0u) << name;
            pSetting->SetShow(1);
        }
        if (change)
            change(list);
        std::filesystem::create_directories(dir.Path() + "/config");
        ASSERT_EQ(list.SaveToFile(CString(SettingsPath().c_str())), 0u);
        CProjectSettings settings;
        settings.m_strProjectDirectory = site.c_str();
        settings.m_bShowTitle = bShowTitle;
        settings.m_bAutoScan = 1;
        settings.m_bShowAllFound = 0;
        settings.SetSettingsFilePath(CString(SettingsPath().c_str()));
        settings.SetProjectFilePath(CString(ProjectPath().c_str()));
        CFile file;
        ASSERT_TRUE(file.Open(ProjectPath().c_str(), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store, 4096);
        ar.WriteObject(&settings);
        ar.Close();
        file.Close();
    }

    // For WriteProject: a shown Content-Type column (HTTP-EQUIV), whose charset the user edits.
    static void AddShownContentType(CMetaSettingList& list)
    {
        auto pSetting = std::make_unique<CMetaEditSetting>();
        pSetting->SetName("Content-Type");
        pSetting->SetHttpEquiv(1);
        pSetting->SetShow(1);
        list.AddTail(pSetting.release());
    }

    // Starts the program as `vostrel ARGS...` would; false when start-up failed.
    bool Start(const std::vector<std::string>& args)
    {
        program_in_process::Make(app, args);
        app->SetHelpFolder(HelpFolder().c_str());
        return app->InitApplication() && app->InitInstance();
    }

    // Starts the program on the project and waits until its pages are scanned and shown.
    ::testing::AssertionResult StartWithProject(UINT nPages)
    {
        if (!Start({ProjectPath()}))
            return ::testing::AssertionFailure() << "start-up failed";
        if (!RunUntil([&] { return Frame().GetFilesScanned() == nPages && app->GetRunState() == 0 && View() != nullptr; },
                      60000))
            return ::testing::AssertionFailure() << "the project was not scanned: " << Frame().GetFilesScanned()
                                                 << " files, run state " << app->GetRunState();
        if (!RunUntil([&] { return View()->GetRowCount() == nPages && Settled(); }, 60000))
            return ::testing::AssertionFailure() << "the grid did not show the pages: " << View()->GetRowCount()
                                                 << " rows, settled " << Settled();
        return ::testing::AssertionSuccess();
    }

    // The help pages of the source tree.
    static std::string HelpFolder() { return std::string(VOSTREL_TESTS_DIR) + "/../app/help"; }

    CMainFrame& Frame() { return *app->GetMainFrame(); }
    // The project's grid, found without activating its frame.
    CGroupView* View()
    {
        CGroupDoc* pDoc = nullptr;
        CGroupView* pView = nullptr;
        if (!app || app->FindGroupDocument(pDoc) != 0 || pDoc->GetGroupView(pView) != 0)
            return nullptr;
        return pView;
    }

    // The program's own loop, bounded: each message offered to the application's
    // PreTranslateMessage (the accelerators), then dispatched, with idle turns between. A modal
    // loop still running in it when the time is over is ended, and the wait fails.
    bool RunUntil(const std::function<bool()>& done, int ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        std::optional<ModalLoopWatch::Wait> wait;
        if (loops)
            wait.emplace(*loops, deadline);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (app && app->PreTranslateMessage(&msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            for (LONG count = 0; app && app->OnIdle(count); ++count) {
            }
            if (wait && wait->Ended())
                return false;
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }
    // Nothing is left to paint (timers may tick on), every window shown is on the screen, and
    // the server has drawn what was sent.
    bool Settled()
    {
        MSG msg;
        return !PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE) && ShowsNow();
    }
    // Runs the loop until every paint is done.
    bool Quiet(int ms = 60000)
    {
        return RunUntil([&] { return Settled(); }, ms);
    }
    // Runs the program's loop until every timer it has due within the time has fired: a timer
    // of the test's own, due later, fires only after them.
    bool RunPastTimersDueWithin(UINT nMs)
    {
        static bool s_fired;
        s_fired = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, nMs + 100, [](HWND, UINT, UINT_PTR, DWORD) { s_fired = true; });
        const bool bFired = RunUntil([] { return s_fired; }, 60000);
        ::KillTimer(nullptr, timer);
        return bFired;
    }

    // One xdotool command against the test's display; false when it failed. Keys and text go
    // to the window with the display's focus, so they wait until one of the program's windows
    // has it.
    bool Xdo(const std::string& args)
    {
        if ((args.rfind("key", 0) == 0 || args.rfind("type", 0) == 0) && !RunUntil([&] { return ProgramHasFocus(); }, 60000))
            return false;
        const std::string command =
            "DISPLAY=" + server->DisplayName() + " timeout 60 xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    // Waits, without dispatching anything, until a key pressed on the display stands in the
    // program's queue: from inside the program's own long work, which looks at its input only
    // between its steps.
    bool KeyInQueue()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        MSG msg;
        while (!PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            backend->Sync();
            GetWindowBackend().PumpEvents(5);
        }
        return true;
    }
    // Whether the display's focus is on a top-level window of the program that also has the
    // program's own focus.
    bool ProgramHasFocus()
    {
        const HWND focus = ::GetFocus();
        if (focus == nullptr)
            return false;
        Window x = 0;
        int revert = 0;
        XGetInputFocus(other, &x, &revert);
        return x != 0 && x == backend->XWindowOf(::GetAncestor(focus, GA_ROOT));
    }
    // Watches in the background for a window titled as the pattern says; once one shows and
    // has the display's focus, the file is written and the window is sent Escape.
    // With bEvery, every such window is answered so, each once it has gone, for as long as
    // the test runs.
    void WatchForWindow(const std::string& pattern, const std::string& seenFile, bool bEvery = false)
    {
        const std::string script = dir.Path() + "/watch" + std::to_string(watchers.size()) + ".sh";
        // The window is answered once it holds the focus; with bEvery, the next one only once it
        // has gone, so that a window slow to close is not answered twice.
        std::ofstream(script) << "export DISPLAY=" << server->DisplayName() << "\n"
                              << (bEvery ? "while true; do\n" : "")
                              << "if id=$(" VOSTREL_WAIT_FOCUS " --timeout " << (bEvery ? "1000000" : "120") << " --name '"
                              << pattern << "'); then\n"
                              << "  echo seen >'" << seenFile << "'; xdotool key Escape\n"
                              << (bEvery ? "  " VOSTREL_WAIT_FOCUS " --timeout 1000000 --gone $id >/dev/null\n" : "")
                              << "fi\n"
                              << (bEvery ? "done\n" : "");
        const std::string pidFile = script + ".pid";
        // A session of its own, so that its xdotool children end with it.
        ASSERT_EQ(std::system(("setsid sh " + script + " >/dev/null 2>&1 & echo $! >" + pidFile).c_str()), 0);
        long pid = 0;
        std::ifstream(pidFile) >> pid;
        watchers.push_back(pid);
    }

    // A window's client point on the screen.
    static POINT ScreenPoint(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ::ClientToScreen(hwnd, &pt);
        return pt;
    }
    bool ClickAt(POINT pt, int button = 1)
    {
        return Xdo("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click " + std::to_string(button));
    }
    // Clicks the middle of a grid cell as the user would.
    bool ClickCell(ROWCOL nRow, ROWCOL nCol)
    {
        const CRect rect = View()->CalcCellRect(nRow, nCol);
        return ClickAt(ScreenPoint(View()->GetSafeHwnd(), rect.CenterPoint().x, rect.CenterPoint().y));
    }

    // The whole screen; kept as NAME.png in VOSTREL_KEEP_SCREENSHOTS when that is set. The caller
    // owns the surface and destroys it.
    [[nodiscard]] cairo_surface_t* Shot(const char* pszName = nullptr)
    {
        backend->Sync();
        cairo_surface_t* shot = screen_capture::Screenshot(server->DisplayName());
        if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"); keep && shot && pszName)
            cairo_surface_write_to_png(shot, (std::string(keep) + "/" + pszName + ".png").c_str());
        return shot;
    }
    // The screen rectangles of the tips that show now: a tip the pointer raises over a window
    // is no part of what the window draws.
    static std::vector<CRect> ShownTips()
    {
        std::vector<CRect> tips;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
            char name[64] = {};
            if (IsWindowVisible(top) && GetClassName(top, name, sizeof name) > 0 && std::strcmp(name, WC_TOOLTIPS) == 0) {
                CRect rect;
                ::GetWindowRect(top, &rect);
                reinterpret_cast<std::vector<CRect>*>(lParam)->push_back(rect);
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&tips));
        return tips;
    }
    // How many pixels of a window's client rectangle differ between two screenshots, leaving
    // out those under the tips.
    static int DifferentPixels(cairo_surface_t* a, cairo_surface_t* b, HWND hwnd, const CRect& client,
                               const std::vector<CRect>& tips = {})
    {
        const POINT origin = ScreenPoint(hwnd, client.left, client.top);
        int nDiffer = 0;
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x) {
                const CPoint screen(origin.x + x, origin.y + y);
                if (std::any_of(tips.begin(), tips.end(), [&](const CRect& tip) { return tip.PtInRect(screen) != FALSE; }))
                    continue;
                if (screen_capture::PixelAt(a, screen.x, screen.y) != screen_capture::PixelAt(b, screen.x, screen.y))
                    ++nDiffer;
            }
        return nDiffer;
    }
    // What the window shows now against what it shows once it has been repainted whole: the
    // count of pixels that differ in its client area. A tip that the pointer resting on a tool
    // raises between the two screenshots is not counted.
    int StalePixelsOf(HWND hwnd, const char* pszName)
    {
        CRect client;
        ::GetClientRect(hwnd, &client);
        Quiet();
        std::vector<CRect> tips = ShownTips();
        cairo_surface_t* before = Shot(pszName);
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        Quiet();
        cairo_surface_t* after = Shot((std::string(pszName) + "-full").c_str());
        const std::vector<CRect> tipsAfter = ShownTips();
        tips.insert(tips.end(), tipsAfter.begin(), tipsAfter.end());
        const int nStale = before && after ? DifferentPixels(before, after, hwnd, client, tips) : -1;
        if (before)
            cairo_surface_destroy(before);
        if (after)
            cairo_surface_destroy(after);
        return nStale;
    }

    // A COLORREF as the screen's 0xRRGGBB.
    static uint32_t Rgb(COLORREF color)
    {
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    // The screen pixel at a point of the grid view's client area.
    uint32_t GridPixel(cairo_surface_t* shot, int x, int y)
    {
        return screen_capture::PixelAt(shot, ScreenPoint(View()->GetSafeHwnd(), x, y));
    }
    // How many pixels of a rectangle of the grid view's client area are darker than the
    // level (on each channel's average): the ink of text on a light cell.
    int DarkPixels(cairo_surface_t* shot, const CRect& rect, uint32_t nLevel)
    {
        int nDark = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) {
                const uint32_t pixel = GridPixel(shot, x, y);
                if (((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * nLevel)
                    ++nDark;
            }
        return nDark;
    }
    // How many pixels of a rectangle of the grid's client area have the colour.
    int PixelsOf(cairo_surface_t* shot, const CRect& rect, uint32_t nColour)
    {
        int nCount = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                nCount += GridPixel(shot, x, y) == nColour ? 1 : 0;
        return nCount;
    }
    // Whether the current cell's editor is open.
    bool EditorOpen()
    {
        ROWCOL nRow = 0, nCol = 0;
        CGXControl* pControl = View()->GetCurrentCell(nRow, nCol) ? View()->GetControl(nRow, nCol) : nullptr;
        return pControl != nullptr && pControl->IsActive();
    }
    // What the field above the grid shows.
    std::string Field()
    {
        CString strText;
        if (auto* pFrame = dynamic_cast<CGroupFrame*>(View()->GetParentFrame()))
            pFrame->GetEditField().GetWindowText(strText);
        return std::string(strText);
    }
    bool IsCurrent(ROWCOL nRow, ROWCOL nCol)
    {
        ROWCOL r = 0, c = 0;
        return View()->GetCurrentCell(r, c) && r == nRow && c == nCol;
    }
    // The arrow keys take the current cell from where it is to the cell; false when it did not
    // get there.
    bool GoToByKeys(ROWCOL nRow, ROWCOL nCol)
    {
        ROWCOL nAt = 0, nAtCol = 0;
        View()->GetCurrentCell(nAt, nAtCol);
        const std::string keys = ArrowKeys(nAt, nAtCol, nRow, nCol);
        return (keys.empty() || Xdo("key" + keys)) && RunUntil([&] { return IsCurrent(nRow, nCol); }, 60000);
    }
    // The arrow keys, each after a blank, that take a grid's current cell from one cell to another.
    static std::string ArrowKeys(ROWCOL nAt, ROWCOL nAtCol, ROWCOL nRow, ROWCOL nCol)
    {
        std::string keys;
        for (; nAt < nRow; ++nAt)
            keys += " Down";
        for (; nAt > nRow; --nAt)
            keys += " Up";
        for (; nAtCol < nCol; ++nAtCol)
            keys += " Right";
        for (; nAtCol > nCol; --nAtCol)
            keys += " Left";
        return keys;
    }
    // The clipboard's text after the keys, once they changed it; a note when they did not.
    std::string CopyByKeys(const std::string& keys)
    {
        const DWORD dwBefore = ::GetClipboardSequenceNumber();
        if (!Xdo("key " + keys) || !RunUntil([&] { return ::GetClipboardSequenceNumber() != dwBefore; }, 60000))
            return "(nothing copied)";
        return clipboard_text::Get(nullptr);
    }
    // What another program pastes now, read by xclip while the program answers it.
    std::string OtherProgramPastes()
    {
        const std::string out = dir.Path() + "/pasted", rc = dir.Path() + "/pasted.rc";
        std::filesystem::remove(rc);
        const std::string command = "(DISPLAY=" + server->DisplayName() + " timeout 20 xclip -o -selection clipboard >'" +
                                    out + "' 2>/dev/null; echo $? >'" + rc + ".part'; mv '" + rc + ".part' '" + rc + "') &";
        if (std::system(command.c_str()) != 0 || !RunUntil([&] { return std::filesystem::exists(rc); }, 30000))
            return "(xclip did not run)";
        if (ReadFile(rc) != "0\n")
            return "(xclip found nothing to paste: " + ReadFile(rc) + ")";
        return ReadFile(out);
    }
    // Selects a block of cells as the user does from the keyboard: from the grid's first cell
    // (Ctrl+Home) the arrows go to the block's first cell, Shift and the arrows take in the
    // others. The current cell ends at the block's last cell.
    bool SelectCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
    {
        CGroupView& view = *View();
        std::string keys = "ctrl+Home";
        for (ROWCOL nRow = 1; nRow < nTop; ++nRow)
            keys += " Down";
        for (ROWCOL nCol = 1; nCol < nLeft; ++nCol)
            keys += " Right";
        if (!Xdo("key " + keys) || !RunUntil([&] { return IsCurrent(nTop, nLeft); }, 60000))
            return false;
        keys.clear();
        for (ROWCOL nRow = nTop; nRow < nBottom; ++nRow)
            keys += " shift+Down";
        for (ROWCOL nCol = nLeft; nCol < nRight; ++nCol)
            keys += " shift+Right";
        return keys.empty() ||
               (Xdo("key" + keys) &&
                RunUntil([&] { return view.IsCellInRangeList(nBottom, nRight, view.GetParam()->m_SelRects) != FALSE; }, 60000));
    }
    // A block of cells as the grid copies it for Ctrl+C, one text a row.
    std::vector<std::string> CopiedCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
    {
        if (!SelectCells(nTop, nLeft, nBottom, nRight))
            return {"(the cells were not selected)"};
        return ClipboardRows(CopyByKeys("ctrl+c"));
    }
    // The rows of copied cells' text, without their line ends.
    static std::vector<std::string> ClipboardRows(std::string text)
    {
        std::vector<std::string> rows;
        for (size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2))
            rows.push_back(text.substr(0, at));
        if (!text.empty())
            rows.push_back(text);
        return rows;
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    // Ends what a failing step leaves open, so that the test fails in its time.
    std::optional<ModalLoopWatch> loops;
    std::optional<CVostrelApp> app;
    std::string site;
    std::vector<long> watchers;
};
