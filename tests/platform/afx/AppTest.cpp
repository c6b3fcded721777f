// The application object: the message loop with its idle counts and temporary-object cleanup,
// the pre-translation chain, the profile and recent files with their File menu items, the
// command line, message boxes, help and the wait cursor.
#include "platform/afx/app/CCommandLineInfo.h"
#include "platform/afx/app/CRecentFileList.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/controls/MessageBox.h"
#include "platform/win/Cursor.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/support/Utf8CodePoints.h"

#include <string>
#include <vector>

namespace {

class CCountingWnd : public CWnd {
public:
    int idleUpdates = 0;
    std::vector<UINT> preTranslated;
    BOOL eatKeys = FALSE;
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        ++idleUpdates;
        return 0;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        preTranslated.push_back(pMsg->message);
        return eatKeys && pMsg->message == WM_KEYDOWN;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingWnd, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CCountingWnd::OnIdleUpdate)
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("AfxTest") {}
    std::vector<LONG> idleCounts;
    size_t tempObjectsAtCount1 = 99;
    BOOL OnIdle(LONG lCount) override
    {
        idleCounts.push_back(lCount);
        BOOL more = CWinApp::OnIdle(lCount);
        if (lCount == 1) {
            tempObjectsAtCount1 = AfxGetThreadState()->m_windows.temporary.size();
            // Each idle period does the next step, so the loop never waits on nothing.
            if (++turn <= static_cast<int>(steps.size()))
                steps[static_cast<size_t>(turn - 1)]();
            else if (running)
                ::PostQuitMessage(99);   // only when the loop missed its end
        }
        return more;
    }
    int Run() override
    {
        running = true;
        const int code = CWinApp::Run();
        running = false;
        return code;
    }
    int ExitInstance() override
    {
        exited = true;
        return CWinApp::ExitInstance();
    }
    bool exited = false;
    bool running = false;
    int turn = 0;
    std::vector<std::function<void()>> steps;
};

class AppTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", config.Path());
    }
    void TearDown() override
    {
        env.reset();
        AfxTest::TearDown();
    }
    ScopedTempDir config;
    std::optional<ScopedEnv> env;
};

} // namespace

TEST_F(AppTest, RunIdlesWithRisingCountsCleansTemporaryObjectsAndEndsWithTheMainWindow)
{
    CTestApp app;
    auto* main = new CCountingWnd;
    ASSERT_TRUE(main->CreateEx(0, nullptr, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    CCountingWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), main, 1));
    app.m_pMainWnd = main;
    CWnd::FromHandle(::CreateWindowEx(0, "Button", "raw", WS_CHILD, 0, 0, 5, 5, main->m_hWnd, nullptr, nullptr, nullptr));
    ASSERT_EQ(AfxGetThreadState()->m_windows.temporary.size(), 1u);

    app.steps.push_back([&] { main->PostMessage(WM_USER); });
    app.steps.push_back([&] {
        child.DestroyWindow();
        main->DestroyWindow();   // the main window going ends the loop
        delete main;
    });
    const int code = app.Run();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(app.exited);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    ASSERT_GE(app.idleCounts.size(), 4u);
    EXPECT_EQ(app.idleCounts[0], 0);
    EXPECT_EQ(app.idleCounts[1], 1) << "a second idle call for the cleanup, then no more";
    EXPECT_EQ(app.idleCounts[2], 0) << "a message starts idle processing over";
    EXPECT_EQ(app.idleCounts[3], 1);
    EXPECT_EQ(app.tempObjectsAtCount1, 0u);
}

TEST_F(AppTest, IdleUpdatesReachTheMainWindowAndItsDescendants)
{
    CTestApp app;
    CCountingWnd main, child, grandchild;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &main, 1));
    ASSERT_TRUE(grandchild.Create(nullptr, "g", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &child, 2));
    app.m_pMainWnd = &main;
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_FALSE(app.OnIdle(1));
    EXPECT_EQ(main.idleUpdates, 1);
    EXPECT_EQ(child.idleUpdates, 1);
    EXPECT_EQ(grandchild.idleUpdates, 1);
    main.ShowWindow(SW_HIDE);
    app.OnIdle(0);
    EXPECT_EQ(child.idleUpdates, 1) << "a hidden main window has nothing to show";
    app.m_pMainWnd = nullptr;
    grandchild.DestroyWindow();
    child.DestroyWindow();
    main.DestroyWindow();
}

TEST_F(AppTest, MessagesArePreTranslatedFromTheirWindowUpToTheMainWindow)
{
    CTestApp app;
    CCountingWnd main, child, tool;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &main, 1));
    ASSERT_TRUE(tool.CreateEx(0, nullptr, "Tool", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
    app.m_pMainWnd = &main;
    MSG msg{};
    msg.hwnd = child.m_hWnd;
    msg.message = WM_KEYDOWN;
    child.eatKeys = TRUE;
    EXPECT_TRUE(app.PreTranslateMessage(&msg));
    EXPECT_TRUE(main.preTranslated.empty()) << "the child took it";
    child.eatKeys = FALSE;
    EXPECT_FALSE(app.PreTranslateMessage(&msg));
    EXPECT_EQ(main.preTranslated.size(), 1u);
    msg.hwnd = tool.m_hWnd;
    app.PreTranslateMessage(&msg);
    EXPECT_EQ(tool.preTranslated.size(), 1u);
    EXPECT_EQ(main.preTranslated.size(), 2u) << "a window outside the main window still reaches its accelerators";
    app.m_pMainWnd = nullptr;
    child.DestroyWindow();
    main.DestroyWindow();
    tool.DestroyWindow();
}

TEST_F(AppTest, RecentFilesLiveInTheProfileAndInTheFileMenu)
{
    {
        CTestApp app;
        app.SetRegistryKey("Wexmoor\\AfxTest");
        EXPECT_STREQ(app.m_pszProfileName, "AfxTest");
        EXPECT_TRUE(app.WriteProfileInt("Settings", "Count", 7));
        app.LoadStdProfileSettings(3);
        ASSERT_NE(app.m_pRecentFileList, nullptr);
        app.AddToRecentFileList("/data/a.vtp");
        app.AddToRecentFileList("/data/b&c.vtp");
        app.AddToRecentFileList("/data/x/../a.vtp");   // the same file moves up
        app.AddToRecentFileList("/data/d.vtp");
        app.AddToRecentFileList("/data/e.vtp");         // the oldest drops off
        app.ExitInstance();
    }
    CTestApp app;
    app.SetRegistryKey("Wexmoor\\AfxTest");
    EXPECT_EQ(app.GetProfileInt("Settings", "Count", 0), 7u);
    app.LoadStdProfileSettings(3);
    CRecentFileList& list = *app.m_pRecentFileList;
    EXPECT_EQ(list[0], "/data/e.vtp");
    EXPECT_EQ(list[1], "/data/d.vtp");
    EXPECT_EQ(list[2], "/data/a.vtp");

    CMenu file;
    ASSERT_TRUE(file.CreatePopupMenu());
    file.AppendMenu(MF_STRING, ID_FILE_OPEN, "&Open...");
    file.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    file.AppendMenu(MF_SEPARATOR);
    file.AppendMenu(MF_STRING, ID_APP_EXIT, "E&xit");
    auto update = [&] {
        CCmdUI ui;
        ui.m_pMenu = &file;
        ui.m_nIndex = 1;
        ui.m_nID = ID_FILE_MRU_FILE1;
        ui.DoUpdate(&app, TRUE);
    };
    auto items = [&] {
        std::vector<std::string> out;
        for (UINT i = 0; i < file.GetMenuItemCount(); ++i) {
            CString text;
            file.GetMenuString(i, text, MF_BYPOSITION);
            out.emplace_back(text.GetString());
        }
        return out;
    };
    update();
    EXPECT_EQ(items(), (std::vector<std::string>{"&Open...", "&1 /data/e.vtp", "&2 /data/d.vtp", "&3 /data/a.vtp",
                                                 "", "E&xit"}));
    list.Add("/data/b&c.vtp");
    update();   // again: the old items are replaced, not added to
    EXPECT_EQ(items(), (std::vector<std::string>{"&Open...", "&1 /data/b&&c.vtp", "&2 /data/e.vtp", "&3 /data/d.vtp",
                                                 "", "E&xit"}));
    list.Remove(0);
    list.Remove(0);
    list.Remove(0);
    update();
    EXPECT_EQ(items(), (std::vector<std::string>{"&Open...", "Recent File", "", "E&xit"}));
    EXPECT_TRUE(file.GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED) << "the placeholder, disabled";

    // Choosing a file that cannot be opened says so and takes it off the list.
    list.Add("/data/gone.vtp");
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDOK, &seen);
    EXPECT_TRUE(app.OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.caption, "AfxTest");
    EXPECT_NE(seen.text.find("/data/gone.vtp"), std::string::npos) << seen.text;
    EXPECT_TRUE(list[0].IsEmpty());
}

// A long path is shown in about the display length, shortened in its middle: its start, and its
// end with the file's name whole where the name fits; no character of several bytes is cut. A
// name too long for the menu shows by its end, or not at all when the caller asks so.
TEST(RecentFileListTest, ALongPathShowsItsStartAndItsNameWithinTheDisplayLength)
{
    const std::string folder = "/home/user/Ωμέγα-日本語-Straße/" + std::string(300, 'x') + "/τέλος";
    CRecentFileList list(0, "Recent File List", "File%d", 4);
    list.Add((folder + "/Gärten.vsp").c_str());
    list.Add("/data/short.vsp");
    const std::string longName = std::string(70, 'n') + "ß.vsp";
    list.Add((folder + "/" + longName).c_str());
    const auto shown = [&](int nIndex, BOOL bAtLeastName) {
        CString strName;
        return list.GetDisplayName(strName, nIndex, nullptr, 0, bAtLeastName) ? std::string(strName) : std::string("(none)");
    };
    const std::string garten = shown(2, TRUE);
    // Half the room for the start, the rest for the end: "/home/user/Ωμέγα-日本語-Straße/xxx...".
    EXPECT_EQ(garten, "/home/user/Ωμέγα-日本語-Straße/" + std::string(4, 'x') + "..." + std::string(15, 'x') + "/τέλος/Gärten.vsp");
    EXPECT_EQ(Utf8CodePoints(garten).size(), static_cast<size_t>(CRecentFileList::kDefaultDisplayLength + 3));
    EXPECT_EQ(shown(1, TRUE), "/data/short.vsp");
    EXPECT_EQ(shown(0, TRUE), "..." + std::string(59, 'n') + "ß.vsp");
    EXPECT_EQ(shown(0, FALSE), "");

    // Asked for the whole path, the list gives it.
    CRecentFileList whole(0, "Recent File List", "File%d", 1, 0);
    whole.Add((folder + "/Gärten.vsp").c_str());
    CString strWhole;
    ASSERT_TRUE(whole.GetDisplayName(strWhole, 0, nullptr, 0));
    EXPECT_EQ(std::string(strWhole), folder + "/Gärten.vsp");
}

TEST_F(AppTest, TheCommandLineNamesAFileToOpenAndAMissingOneDoesNotEndTheProgram)
{
    CTestApp app;
    const char* argv[] = {"/usr/bin/vostrel", "-nologo", "/data/site.vtp"};
    app.SetCommandLine(3, const_cast<char**>(argv));
    EXPECT_STREQ(app.m_pszExeName, "vostrel");
    EXPECT_STREQ(app.m_lpCmdLine, "-nologo /data/site.vtp");
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "/data/site.vtp");
    EXPECT_FALSE(info.m_bShowSplash);

    const char* printTo[] = {"vostrel", "-pt", "page.vtp", "Printer", "Driver", "Port"};
    app.SetCommandLine(6, const_cast<char**>(printTo));
    CCommandLineInfo print;
    app.ParseCommandLine(print);
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(print.m_strPrinterName, "Printer");
    EXPECT_EQ(print.m_strPortName, "Port");

    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "Main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    app.m_pMainWnd = &main;
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDOK, &seen);
    EXPECT_TRUE(app.ProcessShellCommand(info)) << "the program goes on without the file";
    EXPECT_TRUE(seen.seen);
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST_F(AppTest, HelpShowsThatThereIsNone)
{
    CTestApp app;
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDOK, &seen);
    app.WinHelp(0, HELP_CONTENTS);
    EXPECT_EQ(seen.text, "No help is installed for AfxTest.");
}

TEST_F(AppTest, MessageBoxesAndTheWaitCursor)
{
    CTestApp app;
    SeenMessageBox question;
    AnswerMessageBox(*backend, IDNO, &question);
    EXPECT_EQ(AfxMessageBox("Save the changes?", MB_YESNO), IDNO);
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(question.caption, "AfxTest");
    EXPECT_EQ(AfxMessageBox(0xFFF0u), 0) << "a missing string shows nothing";

    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    ::SetCursor(arrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(::GetCursor(), wait);
        {
            CWaitCursor inner;
            ::SetCursor(arrow);   // a dialog may have changed it
            inner.Restore();
            EXPECT_EQ(::GetCursor(), wait);
        }
        EXPECT_EQ(::GetCursor(), wait) << "the outer wait goes on";
    }
    EXPECT_EQ(::GetCursor(), arrow);
}
