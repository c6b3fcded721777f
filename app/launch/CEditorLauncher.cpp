// Opening a page's source in a text editor.
#include "app/launch/CEditorLauncher.h"

#include "app/res/GroupViewRes.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <system_error>

namespace {

// Editors that open a window of their own; a terminal editor would have nowhere to show.
const char* const kCommonEditors[] = {"gedit", "gnome-text-editor", "kate", "kwrite", "mousepad",
                                      "xed", "pluma", "featherpad", "leafpad", "gvim"};
// The desktop's terminal, where a terminal editor named by $VISUAL can show.
constexpr const char* kTerminal = "x-terminal-emulator";

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

bool IsWindowedEditor(const std::string& program)
{
    const std::string name = std::filesystem::path(program).filename().string();
    for (const char* pszEditor : kCommonEditors)
        if (name == pszEditor)
            return true;
    return false;
}

} // namespace

CEditorLauncher::CEditorLauncher() : m_starter(&CUrlLauncher::RunProgram) {}

std::vector<std::string> CEditorLauncher::CommandFor(const std::string& path)
{
    std::vector<std::string> argv;
    if (const char* pszVisual = std::getenv("VISUAL"); pszVisual != nullptr) {
        std::vector<std::string> words;
        std::stringstream text(pszVisual);
        std::string word;
        while (text >> word)
            words.push_back(word);
        // $VISUAL is usually an editor that runs in a terminal; the program has none, so such an
        // editor is given a terminal window of its own, or left out when there is none.
        if (!words.empty() && IsWindowedEditor(words.front())) {
            argv = words;
        } else if (!words.empty() && OnSearchPath(kTerminal)) {
            argv = {kTerminal, "-e"};
            argv.insert(argv.end(), words.begin(), words.end());
        }
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

CString CEditorLauncher::FailureText(const std::vector<std::string>& argv, const std::string& path,
                                     const CUrlLauncher::Outcome& outcome)
{
    CString strText;
    if (argv.empty() || (outcome.nSpawnError == 0 && outcome.nExitStatus == 0))
        return strText;
    const std::string& program = argv.front() == kTerminal && argv.size() > 2 ? argv[2] : argv.front();
    if (program == "xdg-open") {
        // The last resort: nothing on the machine could show the file.
        if (outcome.nSpawnError == ENOENT || outcome.nExitStatus == 3) {
            std::string editors;
            for (const char* pszEditor : kCommonEditors)
                editors += (editors.empty() ? "" : ", ") + std::string(pszEditor);
            strText.Format(IDS_NO_TEXT_EDITOR, path.c_str(), editors.c_str());
        } else {
            strText.Format(IDS_SOURCE_NOT_SHOWN, path.c_str(), CUrlLauncher::FailureReason(outcome).GetString());
        }
        return strText;
    }
    if (outcome.nSpawnError != 0)
        strText.Format(IDS_CANNOT_START_EDITOR, argv.front().c_str(), path.c_str(),
                       outcome.nSpawnError == ENOENT ? "it is not installed" : ::strerror(outcome.nSpawnError));
    else
        strText.Format(IDS_EDITOR_FAILED, program.c_str(), outcome.nExitStatus, path.c_str());
    return strText;
}

void CEditorLauncher::Open(const CString& strPath, Failed failed) const
{
    const std::string path(static_cast<LPCTSTR>(strPath));
    std::vector<std::string> argv = CommandFor(path);
    m_starter(argv, [argv, path, failed = std::move(failed)](const CUrlLauncher::Outcome& outcome) {
        const CString strText = FailureText(argv, path, outcome);
        if (!strText.IsEmpty() && failed)
            failed(strText);
    });
}
