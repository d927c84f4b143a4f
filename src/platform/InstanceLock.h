#pragma once

#include <QString>

namespace kavri::platform {

/// Holds an exclusive lock on a file for the life of the object. The kernel
/// drops the lock when the process ends in any way, so a crashed copy never
/// leaves a lock behind that blocks the next start. A lock file that may only be
/// read is locked all the same; only one that cannot be opened at all fails.
class InstanceLock
{
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    enum class Result { Acquired, HeldByAnother, Failed };
    Result acquire(const QString &path);
    QString errorText() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace kavri::platform
