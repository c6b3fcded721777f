// Opening a page's source in a text editor.
#include "app/CEditorLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace {

// Editors that open a window of their own; a terminal editor would have nowhere to show.
const char* const kCommonEditors[] = {"gedit", "gnome-text-editor", "kate", "kwrite", "mousepad",
                                      "xed", "pluma", "featherpad", "leafpad", "gvim"};

bool OnSearchPath(const std::string& name)
{
    const char* pszPath = std::getenv("PATH");
    if (pszPath == nullptr)
        return false;
    std::stringstream folders(pszPath);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue;
        std::error_code error;
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (std::filesystem::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

} // namespace

CEditorLauncher::CEditorLauncher() : m_starter(&CEditorLauncher::StartProgram) {}

std::vector<std::string> CEditorLauncher::CommandFor(const std::string& path)
{
    std::vector<std::string> argv;
    if (const char* pszVisual = std::getenv("VISUAL"); pszVisual != nullptr) {
        std::stringstream words(pszVisual);
        std::string word;
        while (words >> word)
            argv.push_back(word);
    }
    if (argv.empty()) {
        for (const char* pszEditor : kCommonEditors)
            if (OnSearchPath(pszEditor)) {
                argv.emplace_back(pszEditor);
                break;
            }
    }
    if (argv.empty())
        argv.emplace_back("xdg-open");
    // The path is one argument whatever it holds: blanks, semicolons and quotes stay in it.
    argv.push_back(path);
    return argv;
}

int CEditorLauncher::Open(const CString& strPath) const
{
    return m_starter(CommandFor(std::string(static_cast<LPCTSTR>(strPath))));
}

int CEditorLauncher::StartProgram(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return EINVAL;
    std::vector<std::string> args = argv;
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    const int nError = ::posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ);
    if (nError != 0)
        return nError;
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}
