// Opening addresses through xdg-open, and the table of reasons a failure is told with.
#include "app/CUrlLauncher.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

CUrlLauncher::CUrlLauncher() : m_runner(&CUrlLauncher::RunProgram) {}

int CUrlLauncher::Open(const CString& strUrl) const
{
    // The address is one argument of its own: no shell ever sees it, whatever it holds.
    return ResultCode(m_runner({"xdg-open", std::string(static_cast<LPCTSTR>(strUrl))}));
}

int CUrlLauncher::ResultCode(const Outcome& outcome)
{
    if (outcome.nSpawnError != 0) {
        switch (outcome.nSpawnError) {
        case ENOENT: return 31;   // no opener installed: nothing is associated with the address
        case EACCES:
        case EPERM: return 5;
        default: return 8;
        }
    }
    // xdg-open: 1 bad arguments, 2 a file that does not exist, 3 no program for it, 4 the
    // program it chose failed.
    switch (outcome.nExitStatus) {
    case 0: return kSuccess;
    case 2: return 2;
    case 3: return 31;
    case 4: return 5;
    default: return 8;
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

CUrlLauncher::Outcome CUrlLauncher::RunProgram(const std::vector<std::string>& argv)
{
    Outcome outcome;
    if (argv.empty()) {
        outcome.nSpawnError = EINVAL;
        return outcome;
    }
    std::vector<std::string> args = argv;
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    outcome.nSpawnError = ::posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ);
    if (outcome.nSpawnError != 0)
        return outcome;
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    // posix_spawnp reports a missing program through the child on some systems: exit 127.
    if (waited != pid || !WIFEXITED(status))
        outcome.nExitStatus = 1;
    else if (WEXITSTATUS(status) == 127)
        outcome.nSpawnError = ENOENT;
    else
        outcome.nExitStatus = WEXITSTATUS(status);
    return outcome;
}
