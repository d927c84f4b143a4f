#include "upgrade/UpgradeValues.h"

#include "services/Deployment.h"

using namespace Qt::StringLiterals;

namespace kavri {

namespace {
UpgradeState g_programState;
UpgradeState *g_state = &g_programState;
} // namespace

UpgradeState &upgradeState()
{
    return *g_state;
}

UpgradeStateScope::UpgradeStateScope() : m_before(g_state)
{
    g_state = &m_state;
}

UpgradeStateScope::~UpgradeStateScope()
{
    g_state = m_before;
}

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

std::optional<QString> hostPortOf(const QString &text, const QStringList &schemes, quint16 defaultPort)
{
    QString t = text.trimmed();
    const qsizetype mark = t.indexOf(u"://"_s);
    if (mark >= 0) {
        if (!schemes.contains(t.left(mark).toLower()))
            return std::nullopt;
        t = t.mid(mark + 3);
    }
    while (t.endsWith(u'/'))
        t.chop(1);
    QString host;
    quint16 port = 0;
    if (!splitHostPort(t, &host, &port, defaultPort))
        return std::nullopt;
    return t;
}

PatchServer patchServerOf(const Deployment &deployment)
{
    PatchServer s;
    if (deployment.patchServer.isEmpty())
        return s;
    auto unreadable = [](const QString &key, const QString &text) {
        PatchServer none;
        none.unreadable = u"Deploy.ini [Patch] "_s + key + u"="_s + text +
                          u" - 읽을 수 없는 값이라 업그레이드 확인을 건너뜁니다."_s;
        return none;
    };
    const std::optional<QString> server =
        hostPortOf(deployment.patchServer, {u"mysql"_s, u"mariadb"_s}, 3306);
    if (!server)
        return unreadable(u"Server"_s, deployment.patchServer);
    QString host;
    quint16 port = 0;
    splitHostPort(*server, &host, &port, 3306);
    // The downloads go over plain HTTP ("http://" + address); any other scheme would not be honoured.
    std::optional<QString> download;
    if (!deployment.patchDownload.isEmpty()) {
        download = hostPortOf(deployment.patchDownload, {u"http"_s}, 80);
        if (!download)
            return unreadable(u"Download"_s, deployment.patchDownload);
    }
    s.host = host;
    s.port = port;
    // The account of the catalogue; the deployment may give its own.
    s.user = deployment.patchUser.isEmpty() ? u"qrpatcher"_s : deployment.patchUser;
    s.password = deployment.patchPassword.isEmpty() ? u"kel4783"_s : deployment.patchPassword;
    s.downloadAddress = download ? *download : host.contains(u':') ? u"["_s + host + u"]"_s : host;
    return s;
}

QString GetAppVersion()
{
    return QString::number(KAVRI_VERSION_MAJOR) + u"."_s + QString::number(KAVRI_VERSION_MINOR) + u".0."_s +
           QString::number(KAVRI_VERSION_PATCH);
}

} // namespace kavri
