#pragma once

// Runs a piece of a test as another user of this machine, for the faults that show only
// between users (files of one user that another cannot read, locks in shared folders).
// Only root can become another user: without it the caller skips that part.
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace another_user {

constexpr uid_t kNobody = 65534;

inline bool available() { return ::geteuid() == 0; }

// The exit code of the step run by a child process as user and group nobody; -1 when the
// child could not become nobody or did not end normally.
inline int run(const std::function<int()>& step)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(255);
        ::_exit(step());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

} // namespace another_user
