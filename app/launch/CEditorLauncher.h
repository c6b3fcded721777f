// CEditorLauncher: shows a file's text in the user's text editor: $VISUAL (in a terminal window
// unless it opens a window of its own), else the first common editor found on the search path,
// else xdg-open. Run by argument vector, never by a shell, since the file names come from the
// site, and never waited for: a failure is told later, in words that name what failed.
#pragma once

#include "app/launch/CUrlLauncher.h"
#include "platform/core/CString.h"

#include <functional>
#include <string>
#include <vector>

class CEditorLauncher {
public:
    // Starts a program given as an argument vector and returns at once. Tests replace it.
    using Starter = CUrlLauncher::Runner;
    // Told, on any thread, the text of a failure; not called when the editor did its work.
    using Failed = std::function<void(const CString& strText)>;

    CEditorLauncher();

    // Starts the editor on the file.
    void Open(const CString& strPath, Failed failed) const;
    // The argument vector for the file: the editor's own words (from $VISUAL, split at blanks,
    // behind a terminal window when it needs one) and the path as one argument of its own.
    static std::vector<std::string> CommandFor(const std::string& path);
    // What to tell the user when the editor run as argv on the path ended so; empty when it
    // succeeded.
    static CString FailureText(const std::vector<std::string>& argv, const std::string& path,
                               const CUrlLauncher::Outcome& outcome);
    void SetStarter(Starter starter) { m_starter = std::move(starter); }

private:
    Starter m_starter;
};
