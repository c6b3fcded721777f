// The wait the tests' background scripts make before each key: it ends when the window asked
// for takes the keyboard focus on the server, with that window's id, not while another window
// holds the focus, and says so when its time runs out.
#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScopedTempDir.h"

#include <cstdlib>
#include <fstream>
#include <string>

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class X11WaitFocusTest : public X11Test {
protected:
    void TearDown() override
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        X11Test::TearDown();
    }
    // Starts the wait in the background, its answer going to a file.
    void StartWait(const std::string& args)
    {
        // An earlier wait's connection may still be closing.
        ASSERT_TRUE(PumpUntil([&] { return (RootEventMasks() & SubstructureNotifyMask) == 0; }))
            << "another client watches the root";
        const std::string command = "DISPLAY=" + server->DisplayName() + " exec " VOSTREL_WAIT_FOCUS " " + args + " >" + Answer();
        pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        // The wait watches the root for windows to come as the last step of its start, unless
        // it has ended already.
        ASSERT_TRUE(PumpUntil([&] {
            siginfo_t info{};
            return (RootEventMasks() & SubstructureNotifyMask) != 0 ||
                   (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid);
        })) << "the wait never started";
    }
    long RootEventMasks()
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(other, DefaultRootWindow(other), &attributes);
        return attributes.all_event_masks;
    }
    // Pumps until the wait has ended; its exit code, or -1 when it did not end in a minute.
    int WaitEnded()
    {
        int status = 0;
        const bool ended = PumpUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
        if (!ended)
            return -1;
        pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Answer() const { return dir.Path() + "/answer"; }
    std::string AnswerRead() const
    {
        std::string text;
        std::ifstream(Answer()) >> text;
        return text;
    }
    HWND Shown(const char* pszTitle, int x)
    {
        HWND hwnd = Make(WS_OVERLAPPEDWINDOW, x, 40, 200, 120, nullptr, 0, pszTitle);
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
        return hwnd;
    }

    ScopedTempDir dir;
    pid_t pid = 0;
};

} // namespace

TEST_F(X11WaitFocusTest, TheWaitForATitleEndsWithTheWindowThatTakesTheFocus)
{
    HWND before = Shown("Another window", 20);
    ASSERT_TRUE(WaitForFocus(before));
    StartWait("--name '^Waited f.r$'");
    HWND wanted = Shown("Waited for", 260);
    ASSERT_TRUE(WaitForFocus(wanted));
    ASSERT_EQ(WaitEnded(), 0) << "the wait did not end once the window had the focus";
    EXPECT_EQ(AnswerRead(), std::to_string(backend->XWindowOf(wanted)))
        << "the wait ended on a window other than the one asked for";
}

TEST_F(X11WaitFocusTest, TheWaitForAWindowPassesOverTheOneToLeaveAside)
{
    HWND first = Shown("Save As", 20);
    ASSERT_TRUE(WaitForFocus(first));
    const std::string notFirst = " --not " + std::to_string(backend->XWindowOf(first));
    StartWait("--timeout 0.5 --name '^Save As$'" + notFirst);
    EXPECT_EQ(WaitEnded(), 1) << "the window to leave aside ended the wait";
    StartWait("--name '^Save As$'" + notFirst);
    HWND second = Shown("Save As", 260);
    ASSERT_TRUE(WaitForFocus(second));
    ASSERT_EQ(WaitEnded(), 0);
    EXPECT_EQ(AnswerRead(), std::to_string(backend->XWindowOf(second)));
}

TEST_F(X11WaitFocusTest, AnIdWrittenAfterTheWindowTookTheFocusEndsTheWait)
{
    HWND hwnd = Shown("Looked for", 20);
    ASSERT_TRUE(WaitForFocus(hwnd));
    const std::string file = dir.Path() + "/id";
    StartWait("--id-file " + file);
    // The window already has the focus: only the file's coming can end the wait.
    std::ofstream(file + ".new") << backend->XWindowOf(hwnd) << "\n";
    ASSERT_EQ(std::rename((file + ".new").c_str(), file.c_str()), 0);
    ASSERT_EQ(WaitEnded(), 0) << "the file written did not end the wait";
    EXPECT_EQ(AnswerRead(), std::to_string(backend->XWindowOf(hwnd)));
}

TEST_F(X11WaitFocusTest, AWaitThatRunsOutSaysSoAndAWindowGoneEndsItsWait)
{
    HWND hwnd = Shown("Shown", 20);
    ASSERT_TRUE(WaitForFocus(hwnd));
    StartWait("--timeout 0.5 --name '^Never shown$'");
    EXPECT_EQ(WaitEnded(), 1) << "a wait that ran out";

    StartWait("--gone " + std::to_string(backend->XWindowOf(hwnd)));
    ShowWindow(hwnd, SW_HIDE);
    EXPECT_EQ(WaitEnded(), 0) << "the window hidden did not end the wait";
}
