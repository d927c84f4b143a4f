#pragma once

#include <functional>
#include <sys/types.h>

namespace kavri::test {

/// Runs `work` in a forked copy of this test process and returns its exit code,
/// or minus the signal number that ended it. `prepare` runs in the child first
/// (limits, another user). For faults that would end the test process itself.
int runInChild(const std::function<int()> &work, const std::function<void()> &prepare = {});

/// True when this process runs as root and can therefore act as the unprivileged
/// user "nobody" in a child: the way to test files owned by someone else.
bool canActAsOtherUser();
uid_t otherUid();
gid_t otherGid();

/// runInChild as the user "nobody" (only when canActAsOtherUser()).
int runAsOtherUser(const std::function<int()> &work);

} // namespace kavri::test
