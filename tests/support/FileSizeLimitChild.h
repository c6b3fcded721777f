// Runs a piece of a test in a child process whose files may not grow past a limit (as under
// "ulimit -f"), so that a write past it fails there, or kills the child, without touching the
// test program. The child's own checks decide its exit code.
#pragma once

#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The child's exit code (its function's result), or minus the signal that ended it.
inline int RunWithFileSizeLimit(rlim_t nBytes, const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(30); // a child that hangs ends, and fails the test
        const rlimit limit{nBytes, nBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
