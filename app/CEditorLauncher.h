// CEditorLauncher: shows a file's text in the user's text editor: $VISUAL, else the first common
// editor found on the search path, else xdg-open. Run by argument vector, never by a shell,
// since the file names come from the site.
#pragma once

#include "platform/core/CString.h"

#include <functional>
#include <string>
#include <vector>

class CEditorLauncher {
public:
    // Starts a program given as an argument vector without waiting for it; 0, or the error of
    // starting it. Tests replace it.
    using Starter = std::function<int(const std::vector<std::string>& argv)>;

    CEditorLauncher();

    // Opens the file in the editor; 0, or the error of starting it.
    int Open(const CString& strPath) const;
    // The argument vector for the file: the editor's own words (from $VISUAL, split at blanks)
    // and the path as one argument of its own.
    static std::vector<std::string> CommandFor(const std::string& path);
    void SetStarter(Starter starter) { m_starter = std::move(starter); }
    // Starts the program detached: a thread waits for it, so it never stays a zombie.
    static int StartProgram(const std::vector<std::string>& argv);

private:
    Starter m_starter;
};
