#include "platform/InstanceLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kavri::platform {

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

InstanceLock::Result InstanceLock::acquire(const QString &path)
{
    if (m_fd >= 0)
        return Result::Acquired;
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A lock file left by another user (a first start as root) may be ours to read
    // only; a kernel file lock needs no more than that.
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return Result::HeldByAnother;
        m_error = QString::fromLocal8Bit(std::strerror(err));
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

} // namespace kavri::platform
