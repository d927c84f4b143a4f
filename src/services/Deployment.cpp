#include "services/Deployment.h"

#include "services/AppFolder.h"
#include "services/Conversions.h"
#include "services/IniFile.h"

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString valueOr(const QByteArray &contents, const QString &section, const QString &key,
                const QString &fallback)
{
    const QString v = ini::valueIn(contents, section, key, IniEncoding::Utf8).value_or(QString());
    return v.isEmpty() ? fallback : v;
}

QString withoutTrailingSlash(QString url)
{
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

} // namespace

QString Deployment::defaultSecureBase()
{
    return u"https://127.0.0.1:18443"_s;
}

QString Deployment::defaultPlainBase()
{
    return u"http://127.0.0.1:18080"_s;
}

QString Deployment::serialDevice(int port) const
{
    if (port < 1)
        return {};
    const QString mapped = ports.value(port);
    return mapped.isEmpty() ? u"/dev/ttyS"_s + QString::number(port - 1) : mapped;
}

PortTarget Deployment::target(int port) const
{
    if (port < 1)
        return portTarget(QString());
    return portTarget(serialDevice(port));
}

Deployment loadDeployment()
{
    const QByteArray contents = ini::readFile(appFilePath(u"Deploy.ini"_s)).value_or(QByteArray());

    Deployment d;
    d.secureBase = withoutTrailingSlash(
        valueOr(contents, u"Service"_s, u"SecureBase"_s, Deployment::defaultSecureBase()));
    d.plainBase =
        withoutTrailingSlash(valueOr(contents, u"Service"_s, u"PlainBase"_s, Deployment::defaultPlainBase()));
    const QString fallback = valueOr(contents, u"Service"_s, u"PlainFallback"_s, {});
    d.plainFallback = fallback.isEmpty() || ToBool(fallback);
    d.patchServer = valueOr(contents, u"Patch"_s, u"Server"_s, {}).trimmed();
    d.patchUser = valueOr(contents, u"Patch"_s, u"User"_s, {});
    d.patchPassword = valueOr(contents, u"Patch"_s, u"Password"_s, {});
    d.patchDownload = valueOr(contents, u"Patch"_s, u"Download"_s, {}).trimmed();
    const QString locked = valueOr(contents, u"Ports"_s, u"Locked"_s, {});
    d.portsLocked = !locked.isEmpty() && ToBool(locked);
    for (int n = 1; n <= 99; ++n) {
        const QString device = valueOr(contents, u"Ports"_s, u"COM"_s + QString::number(n), {});
        if (!device.isEmpty())
            d.ports.insert(n, device);
    }
    return d;
}

} // namespace kavri
