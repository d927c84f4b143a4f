#include "support/ChildProcess.h"

#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kavri::test {

int runInChild(const std::function<int()> &work, const std::function<void()> &prepare)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1000;
    if (pid == 0) {
        if (prepare)
            prepare();
        const int rc = work();
        std::fflush(nullptr);
        ::_exit(rc);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFSIGNALED(status))
        return -WTERMSIG(status);
    return WEXITSTATUS(status);
}

bool canActAsOtherUser()
{
    return ::geteuid() == 0;
}

uid_t otherUid()
{
    const passwd *pw = ::getpwnam("nobody");
    return pw ? pw->pw_uid : 65534;
}

gid_t otherGid()
{
    const passwd *pw = ::getpwnam("nobody");
    return pw ? pw->pw_gid : 65534;
}

int runAsOtherUser(const std::function<int()> &work)
{
    const gid_t gid = otherGid();
    const uid_t uid = otherUid();
    return runInChild(work, [gid, uid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(120);
    });
}

} // namespace kavri::test
