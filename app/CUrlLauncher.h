// CUrlLauncher: opens a web address or a file in the user's browser or its associated program,
// through xdg-open run by argument vector, and says why when it cannot.
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
    // Runs a program given as an argument vector and waits for it. Tests replace it.
    using Runner = std::function<Outcome(const std::vector<std::string>& argv)>;

    // Success is above 32; failures are the codes of the table of reasons (2, 5, 8, 31).
    static constexpr int kSuccess = 33;

    CUrlLauncher();

    // Opens the address; the result code as above.
    int Open(const CString& strUrl) const;
    void SetRunner(Runner runner) { m_runner = std::move(runner); }

    // The code for an outcome of xdg-open.
    static int ResultCode(const Outcome& outcome);
    // The reason for a failure code, from the table; null for a code it does not hold.
    static LPCTSTR ReasonText(int nCode);
    // Runs the program without a shell; what the launcher uses unless told otherwise.
    static Outcome RunProgram(const std::vector<std::string>& argv);

private:
    Runner m_runner;
};
