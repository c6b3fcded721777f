// CUrlLauncher: opens a web address or a file in the user's browser or its associated program,
// through xdg-open run by argument vector, without waiting for it: the browser may stay open as
// long as the user reads. How the opener ended is told later, on another thread, and says what
// failed in words that fit it.
#pragma once

#include "platform/core/CString.h"

#include <functional>
#include <string>
#include <vector>

class CUrlLauncher {
public:
    // How a program run ended: the error of starting it (0 when it started) and its exit status.
    struct Outcome {
        int nSpawnError = 0;
        int nExitStatus = 0;
    };
    // Told once how the program ended; on the thread that waited for it, or at once when it
    // could not start.
    using Finished = std::function<void(const Outcome& outcome)>;
    // Starts a program given as an argument vector and returns at once. Tests replace it.
    using Runner = std::function<void(const std::vector<std::string>& argv, Finished finished)>;

    CUrlLauncher();

    // Starts the opener on the address; `finished` hears how it ended.
    void Open(const CString& strUrl, Finished finished) const;
    void SetRunner(Runner runner) { m_runner = std::move(runner); }

    // Why the opener failed, in words about what failed; empty when it succeeded.
    static CString FailureReason(const Outcome& outcome);
    // The reason the platform's table gives for a failure code; null for a code it does not hold.
    static LPCTSTR ReasonText(int nCode);
    // Starts the program without a shell and without waiting: a thread of its own waits for it
    // (so it never stays a zombie) and then calls `finished`. What the launcher uses unless told
    // otherwise; the editor launcher uses it too.
    static void RunProgram(const std::vector<std::string>& argv, Finished finished);

private:
    Runner m_runner;
};
