#pragma once
// The end of a child process, for the test helpers that run km3 and km3-sensor-sim as child
// processes: the wait has a bound and is over as soon as the child has ended.

#include <poll.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sim::testing {

// Waits at most boundMs for child pid to end and reaps it (reaped is then set). Returns its
// exit status, or -1 when it did not end in time or was ended by a signal.
inline int WaitForChildExit(pid_t pid, int boundMs, bool& reaped)
{
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        ::poll(&p, 1, boundMs);
        ::close(pidfd);
    }
    int status = 0;
    if (::waitpid(pid, &status, pidfd >= 0 ? WNOHANG : 0) != pid) return -1;
    reaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace sim::testing
