#include "services/UserStore.h"

#include "platform/Folders.h"
#include "services/IniFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::userstore {
namespace {

QString base()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + u"/.config"_s;
    return base;
}

QString folder()
{
    return base() + u"/kavri-display"_s;
}

// Exact values (a password may end in a blank), no link followed, private from the start.
ini::Access storeAccess()
{
    ini::Access access;
    access.encoding = IniEncoding::Utf8;
    access.exactValues = true;
    access.followLinks = false;
    access.newFilePermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    return access;
}

// True when the store's folder is a real folder, not a link to one; with `create`
// a missing one is made 0700. A folder of ours is kept 0700; someone else's is left as it is.
bool folderUsable(bool create)
{
    const QByteArray dir = QFile::encodeName(folder());
    struct stat st
    {
    };
    if (::lstat(dir.constData(), &st) != 0) {
        if (errno != ENOENT || !create || !platform::makeFolders(base()))
            return false;
        if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (::lstat(dir.constData(), &st) != 0)
            return false;
    }
    if (!S_ISDIR(st.st_mode))
        return false;
    if (st.st_uid == ::geteuid() && (st.st_mode & 07777) != 0700)
        ::chmod(dir.constData(), 0700);
    return true;
}

} // namespace

QString filePath(const QString &application)
{
    return folder() + u'/' + application + u".ini"_s;
}

QString get(const QString &application, const QString &section, const QString &key)
{
    if (!folderUsable(false))
        return {};
    return ini::read(filePath(application), section, key, storeAccess()).value_or(QString());
}

bool set(const QString &application, const QString &section, const QString &key, const QString &value)
{
    if (!folderUsable(true))
        return false;
    const QString path = filePath(application);
    // A file made by hand or by an older copy may be readable by others; it holds a
    // password, so it is made private before the new contents go in.
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) != 0)
        ::chmod(native.constData(), st.st_mode & 0700);
    return ini::write(path, section, key, value, storeAccess());
}

} // namespace kavri::userstore
