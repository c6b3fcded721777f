// What a piece of work costs, measured in a process of its own so that what the benchmark's own
// process holds is not counted: its seconds and the most memory it held beyond what the process
// held when it began. Also the same of a program of the system's, as the system counted it.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// What a run took: its seconds and the most memory it held beyond what its process held before,
// in bytes; negative seconds when it failed.
struct Cost {
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

// Runs the work in a child process, whose peak is counted from what it holds when the work
// begins. The work gives the seconds it measured, negative when it failed.
inline Cost InChild(const std::function<double()>& work)
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
        Cost cost;
        cost.dSeconds = work();
        cost.dPeak = StatusBytes("VmHWM") - dBefore;
        (void)!::write(fds[1], &cost, sizeof cost);
        ::_exit(0);
    }
    ::close(fds[1]);
    Cost cost;
    if (pid < 0 || ::read(fds[0], &cost, sizeof cost) != static_cast<ssize_t>(sizeof cost))
        cost = Cost{};
    ::close(fds[0]);
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    return cost;
}

// Runs a program with its output to a file; its time and its whole peak, as the system counted it.
// A program that ends with another status than 0 (diff finding differences: 1) fails unless its
// status is among the ones allowed.
inline Cost Program(const std::vector<std::string>& args, const std::string& output, int nAllowed = 0)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::dup2(fd, 1) < 0)
            ::_exit(127);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int nStatus = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &nStatus, 0, &usage) != pid || !WIFEXITED(nStatus)
        || (WEXITSTATUS(nStatus) != 0 && WEXITSTATUS(nStatus) != nAllowed))
        return {};
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            static_cast<double>(usage.ru_maxrss) * 1024};
}
