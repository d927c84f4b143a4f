#pragma once

#include <QString>

#include <sys/types.h>

namespace kavri::platform {

/// Notices that the program file on disk is no longer the one running: a package
/// upgrade renames the new executable over the old path, and the running process
/// keeps the old one. Compares the file at the path with the running file by
/// device and inode; nothing is read but the file's status.
class ExecutableWatch
{
public:
    /// Watches `path`, taking the file there now as the running one.
    explicit ExecutableWatch(const QString &path);
    /// The running program: the file behind /proc/self/exe, at the path it was started from.
    static ExecutableWatch runningProgram();

    /// True when another file now lies at the path. A path with no file (removed,
    /// or between two steps of an install) is no new version.
    bool replaced() const;
    QString path() const { return m_path; }

private:
    ExecutableWatch() = default;

    QString m_path;
    bool m_known = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace kavri::platform
