// Opening addresses through xdg-open, and the words a failure is told with.
#include "app/launch/CUrlLauncher.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {
// The platform's code for a file that does not exist.
constexpr int kCodeFileNotFound = 2;
} // namespace

CUrlLauncher::CUrlLauncher() : m_runner(&CUrlLauncher::RunProgram) {}

void CUrlLauncher::Open(const CString& strUrl, Finished finished) const
{
    // The address is one argument of its own: no shell ever sees it, whatever it holds.
    m_runner({"xdg-open", std::string(static_cast<LPCTSTR>(strUrl))}, std::move(finished));
}

CString CUrlLauncher::FailureReason(const Outcome& outcome)
{
    CString strReason;
    if (outcome.nSpawnError == ENOENT)
        return "xdg-open, which opens pages in the desktop's browser, is not installed.";
    if (outcome.nSpawnError != 0) {
        strReason.Format("xdg-open could not be started: %s.", ::strerror(outcome.nSpawnError));
        return strReason;
    }
    // xdg-open: 1 bad arguments, 2 a file that does not exist, 3 no program for it, 4 the
    // program it chose failed.
    switch (outcome.nExitStatus) {
    case 0: return CString();
    case 1: return "xdg-open did not accept the address.";
    case 2: return ReasonText(kCodeFileNotFound);
    case 3: return "No browser or other program to open it was found.";
    case 4: return "The program chosen to open it failed.";
    default: strReason.Format("xdg-open ended with status %d.", outcome.nExitStatus); return strReason;
    }
}

LPCTSTR CUrlLauncher::ReasonText(int nCode)
{
    struct Row {
        int code;
        LPCTSTR text;
    };
    static const Row rows[] = {
        {0, "Out of memory or resources."},
        {2, "The specified file can not be found."},
        {3, "The specified path can not be found."},
        {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
        {5, "The operating system denied access to the specified file."},
        {27, "The filename association is incomplete or invalid."},
        {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
        {29, "The DDE transaction failed."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {32, "The specified dynamic-link library was not found."},
        {31, "There is no application associated with the given filename extension."},
        {8, "There was not enough memory to complete the operation."},
        {26, "A sharing violation occurred."},
    };
    for (const Row& row : rows)
        if (row.code == nCode)
            return row.text;
    return nullptr;
}

void CUrlLauncher::RunProgram(const std::vector<std::string>& argv, Finished finished)
{
    Outcome outcome;
    if (argv.empty()) {
        outcome.nSpawnError = EINVAL;
        if (finished)
            finished(outcome);
        return;
    }
    std::vector<std::string> args = argv;
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    outcome.nSpawnError = ::posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ);
    if (outcome.nSpawnError != 0) {
        if (finished)
            finished(outcome);
        return;
    }
    std::thread([pid, finished = std::move(finished)] {
        Outcome ended;
        int status = 0;
        pid_t waited = -1;
        do {
            waited = ::waitpid(pid, &status, 0);
        } while (waited < 0 && errno == EINTR);
        // posix_spawnp reports a missing program through the child on some systems: exit 127.
        if (waited != pid || !WIFEXITED(status))
            ended.nExitStatus = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        else if (WEXITSTATUS(status) == 127)
            ended.nSpawnError = ENOENT;
        else
            ended.nExitStatus = WEXITSTATUS(status);
        if (finished)
            finished(ended);
    }).detach();
}
