#include "upgrade/UpgradeValues.h"

#include "services/Deployment.h"

using namespace Qt::StringLiterals;

namespace kavri {

QString gPatchType = u"A"_s;
QString gServerVersion;
qint32 gServerSize = 0;
QString gServerSha256;
QString gCurVersion;
QString gPatchFile = u"TenviVadn_Last.EXE"_s;
PatchServer gPatchServer;

bool splitHostPort(const QString &text, QString *host, quint16 *port, quint16 defaultPort)
{
    const QString t = text.trimmed();
    QString h = t;
    QString p;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0)
            return false;
        h = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return false;
            p = rest.mid(1);
        }
    } else if (t.count(u':') == 1) {
        const qsizetype colon = t.indexOf(u':');
        h = t.left(colon);
        p = t.mid(colon + 1);
    } else if (t.count(u':') > 1) {
        return false;
    }
    if (h.isEmpty() || h.contains(u'/') || h.contains(u' '))
        return false;
    quint16 number = defaultPort;
    if (!p.isEmpty() || t.endsWith(u':')) {
        bool ok = false;
        const uint n = p.toUInt(&ok);
        if (!ok || n == 0 || n > 65535)
            return false;
        number = quint16(n);
    }
    *host = h;
    *port = number;
    return true;
}

PatchServer patchServerOf(const Deployment &deployment)
{
    PatchServer s;
    QString host;
    quint16 port = 0;
    if (deployment.patchServer.isEmpty() || !splitHostPort(deployment.patchServer, &host, &port, 3306))
        return s;
    s.host = host;
    s.port = port;
    // The account of the catalogue; the deployment may give its own.
    s.user = deployment.patchUser.isEmpty() ? u"qrpatcher"_s : deployment.patchUser;
    s.password = deployment.patchPassword.isEmpty() ? u"kel4783"_s : deployment.patchPassword;
    QString downloadHost;
    quint16 downloadPort = 80;
    if (!deployment.patchDownload.isEmpty() &&
        splitHostPort(deployment.patchDownload, &downloadHost, &downloadPort, 80)) {
        s.downloadAddress = deployment.patchDownload.trimmed();
    } else {
        s.downloadAddress = host.contains(u':') ? u"["_s + host + u"]"_s : host;
    }
    return s;
}

QString GetAppVersion()
{
    return QString::number(KAVRI_VERSION_MAJOR) + u"."_s + QString::number(KAVRI_VERSION_MINOR) + u".0."_s +
           QString::number(KAVRI_VERSION_PATCH);
}

} // namespace kavri
