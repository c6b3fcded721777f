// What a process forked by a test to run a server (a display, a window manager) does first: it
// goes with the test program, even one that crashes or is killed by its time limit, and says
// nothing on the test's terminal.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace child_of_test {

// Called in the child right after fork(); parent is the test program's pid, taken before it.
inline void Detach(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The test program may have ended before the line above took effect.
    if (getppid() != parent)
        _exit(1);
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
    }
}

}   // namespace child_of_test
