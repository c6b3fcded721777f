// How much memory a piece of work took: the growth of a process's peak beyond what it held when
// the work began, counted in a child process of its own so that the test program's own blocks do
// not count.
#pragma once

#include "tests/support/AddressSanitizer.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Whether the peak tells what the work held. The address sanitizer keeps the blocks freed in a
// quarantine of its own, hundreds of megabytes, which the peak counts as held.
inline constexpr bool kPeakTellsHeldMemory = !kUnderAddressSanitizer;

// A value of /proc/self/status in bytes ("VmRSS", "VmHWM"); negative when it is not there.
inline double ProcessStatusBytes(const char* pszField)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(pszField) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::atof(line.c_str() + prefix.size()) * 1024;
    }
    return -1;
}

// Starts the process's peak over from what it holds now.
inline void ResetProcessPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The most memory the work took beyond what its process held when it began, counted in a child
// process of its own; negative when the work failed.
inline double PeakGrowthInChild(const std::function<bool()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ResetProcessPeak();
        const double dBefore = ProcessStatusBytes("VmRSS");
        const double dGrowth = work() ? ProcessStatusBytes("VmHWM") - dBefore : -1;
        (void)!::write(fds[1], &dGrowth, sizeof dGrowth);
        ::_exit(0);
    }
    ::close(fds[1]);
    double dGrowth = -1;
    if (pid < 0 || ::read(fds[0], &dGrowth, sizeof dGrowth) != static_cast<ssize_t>(sizeof dGrowth))
        dGrowth = -1;
    ::close(fds[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return dGrowth;
}
