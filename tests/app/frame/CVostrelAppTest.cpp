// The program's start-up, settings file, version line and recent projects, run whole in the
// test's process.
#include "tests/app/VostrelAppFixture.h"

#include "app/frame/CVostrelSplashWnd.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/app/CRecentFileList.h"

#include "tests/support/ScopedTempDir.h"

#include <cairo.h>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

TEST_F(VostrelAppTest, FirstStartWritesTheDefaultCatalogueAndTheNextStartReadsIt)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(choserShown) << "start-up offers the kinds of document";
    ASSERT_TRUE(std::filesystem::is_regular_file(SettingsPath()));
    const std::string written = ReadFile(SettingsPath());
    EXPECT_FALSE(written.empty());
    CMetaSettingList* pList = nullptr;
    app->GetMetaSettingList(pList);
    const INT_PTR nDefaults = pList->GetCount();
    EXPECT_GT(nDefaults, 0);
    Stop();

    ASSERT_TRUE(Start());
    app->GetMetaSettingList(pList);
    EXPECT_EQ(pList->GetCount(), nDefaults);
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(pList->GetFilePath())), SettingsPath()) << "read from the user's file";
    EXPECT_EQ(ReadFile(SettingsPath()), written) << "a good file is read, not rewritten";
}

// A file in the catalogue's place that holds none is kept under a name of its own, told once
// with both names, and a catalogue the program can read and write takes its place.
TEST_F(VostrelAppTest, AForeignSettingsFileIsKeptAsideAndToldWithBothNames)
{
    const std::string foreign = "<html>not a settings file</html>\n";
    WriteFile(SettingsPath(), foreign);
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.text.rfind("The file of your metatag settings, '" + SettingsPath() + "', is damaged", 0), 0u) << seen.text;
    EXPECT_NE(seen.text.find("kept as '" + SettingsPath() + ".damaged'."), std::string::npos) << seen.text;
    EXPECT_EQ(ReadFile(SettingsPath() + ".damaged"), foreign);
    CMetaSettingList* pList = nullptr;
    app->GetMetaSettingList(pList);
    EXPECT_GT(pList->GetCount(), 0) << "the built-in catalogue is used";
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(pList->GetFilePath())), SettingsPath()) << "OK would save nowhere";
    CMetaSettingList written;
    EXPECT_EQ(written.LoadFromFile(CString(SettingsPath().c_str())), 0u) << "no catalogue was saved in its place";
    EXPECT_EQ(written.GetCount(), pList->GetCount());
}

TEST_F(VostrelAppTest, TheAboutBoxShowsNameVersionAndBuild)
{
    ASSERT_TRUE(Start());
    CString strLine;
    EXPECT_EQ(app->GetVersionString(strLine, IDS_VERSION_FORMAT), 0u);
    EXPECT_STREQ(strLine, "Vostrel 1.0  (Build 1)");

    std::string shown;
    FillDialog(*backend, IDD_ABOUTBOX, DialogFill{{}, {}, IDOK, [&](HWND dlg) {
                   char text[128] = {};
                   GetDlgItemText(dlg, IDC_ABOUT_VERSION, text, sizeof text);
                   shown = text;
               }});
    app->OnAppAbout();
    EXPECT_EQ(shown, "Vostrel 1.0  (Build 1)");
}

// Start-up shows its picture, centred, at the picture's size, and it goes by itself.
TEST_F(VostrelAppTest, StartUpShowsItsPictureUntilItsTimeIsUp)
{
    ASSERT_TRUE(Start());
    CVostrelSplashWnd* pSplash = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            if (auto* p = dynamic_cast<CVostrelSplashWnd*>(CWnd::FromHandlePermanent(hwnd))) {
                *reinterpret_cast<CVostrelSplashWnd**>(out) = p;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&pSplash));
    ASSERT_NE(pSplash, nullptr);
    const HWND hSplash = pSplash->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hSplash));
    CRect rect;
    ::GetWindowRect(hSplash, &rect);
    EXPECT_EQ(rect.Size(), CSize(360, 200));
    EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - 360) / 2);
    // Its words are written on the picture: the band's white title over the teal.
    backend->ProcessMessages();
    cairo_surface_t* shot = backend->Capture(hSplash);
    ASSERT_NE(shot, nullptr);
    cairo_surface_flush(shot);
    const int stride = cairo_image_surface_get_stride(shot);
    const unsigned char* data = cairo_image_surface_get_data(shot);
    int white = 0;
    for (int y = 8; y < 36; ++y)
        for (int x = 16; x < 120; ++x)
            if ((reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF) == 0xFFFFFF)
                ++white;
    cairo_surface_destroy(shot);
    EXPECT_GT(white, 20) << "no title in the band";

    backend->Advance(3600);
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(hSplash));
}

TEST_F(VostrelAppTest, AMissingProjectOnTheCommandLineIsReportedAndTheProgramRunsOn)
{
    const std::string missing = config.Path() + "/gone.vsp";
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    ASSERT_TRUE(Start({missing})) << "a bad project must not end the program";
    EXPECT_EQ(seen.text, "Project could NOT be opened!\n\n" + missing + " was not found.") << "the file error is shown once";
    ASSERT_NE(app->GetMainFrame(), nullptr);
    EXPECT_TRUE(Frame().IsWindowVisible());
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u) << "no project is open";
}

TEST_F(VostrelAppTest, ARecentProjectThatFailsGoesFromTheListAndACancelledOneStays)
{
    ASSERT_TRUE(Start());
    const std::string gone = config.Path() + "/gone.vsp";
    const std::string kept = config.Path() + "/kept.vsp";
    WriteFile(kept, "whatever");
    app->AddToRecentFileList(gone.c_str());
    app->AddToRecentFileList(kept.c_str());
    ASSERT_NE(app->m_pRecentFileList, nullptr);

    // A project with unsaved settings: the close question comes first, and Cancel keeps both.
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    pSettings->SetModified(1);
    SeenMessageBox question;
    AnswerBox(*backend, IDCANCEL, &question);
    EXPECT_TRUE(app->OnOpenRecentProject(ID_FILE_MRU_FILE1));
    EXPECT_TRUE(question.seen);
    EXPECT_EQ(question.text, "Do you want to save the project before closing?");
    EXPECT_EQ(std::string((*app->m_pRecentFileList)[0]), kept) << "a cancelled open keeps its entry";

    // The project closed without saving; the missing file fails and leaves the list.
    AnswerBox(*backend, IDNO);
    SeenMessageBox notOpened;
    AnswerBox(*backend, IDOK, &notOpened);
    EXPECT_TRUE(app->OnOpenRecentProject(ID_FILE_MRU_FILE2));
    EXPECT_EQ(notOpened.text, "Project could NOT be opened!\n\n" + gone + " was not found.");
    EXPECT_EQ(std::string((*app->m_pRecentFileList)[0]), kept);
    for (int i = 0; i < app->m_pRecentFileList->GetSize(); ++i)
        EXPECT_NE(std::string((*app->m_pRecentFileList)[i]), gone) << "the failed entry is removed";
}

// The program itself, started as from a shell whose DISPLAY names a display without a server:
// it says so and ends with a failure, instead of running on where nobody can see it.
TEST(ProgramStartTest, ADisplayThatCannotBeOpenedIsToldAndTheProgramEnds)
{
    ScopedTempDir config;
    std::vector<std::string> variables;
    for (char** p = environ; *p != nullptr; ++p) {
        const std::string variable = *p;
        if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("VOSTREL_BACKEND=", 0) != 0 &&
            variable.rfind("XDG_CONFIG_HOME=", 0) != 0)
            variables.push_back(variable);
    }
    variables.push_back("DISPLAY=:4987");
    variables.push_back("XDG_CONFIG_HOME=" + config.Path());
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    int said[2];
    ASSERT_EQ(::pipe2(said, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, said[1], STDERR_FILENO);
    char program[] = VOSTREL_PROGRAM;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(said[1]);
    ASSERT_EQ(spawned, 0);
    // What it says, until it ends (a minute at most: a program still running then is the fault).
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{said[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[512];
        const ssize_t n = ::read(said[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(said[0]);
    int status = 0;
    pid_t ended = 0;
    while (std::chrono::steady_clock::now() < deadline && (ended = ::waitpid(pid, &status, WNOHANG)) == 0)
        ::poll(nullptr, 0, 20);
    if (ended != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the program runs on without a display; it said: " << text;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "status " << status;
    EXPECT_NE(text.find("cannot open the X display \":4987\""), std::string::npos) << text;
}
