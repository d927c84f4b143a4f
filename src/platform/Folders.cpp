#include "platform/Folders.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavri::platform {
namespace {

// mkdir gives a new folder `mode` less the umask, never more. The owner's part
// of `mode` is then put back, through the folder just made (not a link put in
// its place): a umask such as 0277 would leave a folder the program cannot use.
bool makeOne(const QByteArray &path, mode_t mode)
{
    if (::mkdir(path.constData(), mode) != 0) {
        struct stat st
        {
        };
        return errno == EEXIST && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool ok = ::fstat(fd, &st) == 0;
    const mode_t wanted = (st.st_mode & 07777) | (mode & 0700);
    if (ok && wanted != (st.st_mode & 07777))
        ok = ::fchmod(fd, wanted) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool makeFolders(const QString &path, mode_t mode)
{
    if (path.isEmpty())
        return false;
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    qsizetype at = 0;
    while (at >= 0) {
        at = absolute.indexOf(u'/', at + 1);
        const QByteArray part = QFile::encodeName(at < 0 ? absolute : absolute.left(at));
        struct stat st
        {
        };
        if (::stat(part.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return false;
        } else if (errno != ENOENT || !makeOne(part, mode)) {
            return false;
        }
    }
    return true;
}

} // namespace kavri::platform
