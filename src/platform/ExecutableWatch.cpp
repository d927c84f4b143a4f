#include "platform/ExecutableWatch.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

bool statusOf(const QByteArray &path, struct stat *status)
{
    return !path.isEmpty() && ::stat(path.constData(), status) == 0;
}

} // namespace

ExecutableWatch::ExecutableWatch(const QString &path) : m_path(path)
{
    struct stat status
    {
    };
    if (statusOf(QFile::encodeName(path), &status)) {
        m_known = true;
        m_device = status.st_dev;
        m_inode = status.st_ino;
    }
}

ExecutableWatch ExecutableWatch::runningProgram()
{
    ExecutableWatch watch;
    // The link names the path the program was started from, with " (deleted)"
    // once that file is gone; its status is the running file's, deleted or not.
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target - 1);
    if (length <= 0)
        return watch;
    QString path = QFile::decodeName(QByteArray(target, length));
    if (path.endsWith(u" (deleted)"_s))
        path.chop(10);
    watch.m_path = path;
    struct stat status
    {
    };
    if (::stat("/proc/self/exe", &status) == 0) {
        watch.m_known = true;
        watch.m_device = status.st_dev;
        watch.m_inode = status.st_ino;
    }
    return watch;
}

bool ExecutableWatch::replaced() const
{
    struct stat status
    {
    };
    if (!m_known || !statusOf(QFile::encodeName(m_path), &status))
        return false;
    return status.st_dev != m_device || status.st_ino != m_inode;
}

} // namespace kavri::platform
