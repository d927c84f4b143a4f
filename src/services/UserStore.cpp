#include "services/UserStore.h"

#include "services/IniFile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace kavri::userstore {
namespace {

QString folder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + u"/.config"_s;
    return base + u"/kavri-display"_s;
}

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

QString filePath(const QString &application)
{
    return folder() + u'/' + application + u".ini"_s;
}

QString get(const QString &application, const QString &section, const QString &key)
{
    return ini::read(filePath(application), section, key, IniEncoding::Utf8).value_or(QString());
}

bool set(const QString &application, const QString &section, const QString &key, const QString &value)
{
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        return false;
    QFile::setPermissions(dir, ownerOnly | QFileDevice::ExeOwner);
    const QString path = filePath(application);
    if (!ini::write(path, section, key, value, IniEncoding::Utf8, ownerOnly))
        return false;
    // A file made by hand or by an older copy may be readable by others; it holds a password.
    QFile::setPermissions(path, ownerOnly);
    return true;
}

} // namespace kavri::userstore
