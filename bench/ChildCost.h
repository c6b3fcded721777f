// A piece of work run in a process of its own: its time, and the peak of its memory beyond what
// the process held when the work began, so that what the benchmark's own process holds is not
// counted as the work's.
#pragma once

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// What a run took: its seconds and the most memory it held beyond what its process held before,
// in bytes; negative seconds when it failed.
struct ChildCost {
    double dSeconds = -1;
    double dPeak = 0;
};

// A value of /proc/self/status in bytes ("VmRSS", "VmHWM").
inline double StatusBytes(const char* pszField)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(pszField) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::atof(line.c_str() + prefix.size()) * 1024;
    }
    return 0;
}

// Runs the work in a child process. The work gives the seconds it measured, negative when it
// failed.
inline ChildCost InChild(const std::function<double()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        // The peak starts over from what the process holds now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const double dBefore = StatusBytes("VmRSS");
        ChildCost cost;
        cost.dSeconds = work();
        cost.dPeak = StatusBytes("VmHWM") - dBefore;
        (void)!::write(fds[1], &cost, sizeof cost);
        ::_exit(0);
    }
    ::close(fds[1]);
    ChildCost cost;
    if (pid < 0 || ::read(fds[0], &cost, sizeof cost) != static_cast<ssize_t>(sizeof cost))
        cost = ChildCost{};
    ::close(fds[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return cost;
}
