#include "upgrade/MacAddress.h"

#include "services/EventLog.h"
#include "services/Settings.h"
#include "services/UserStore.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString withoutColons(QString text)
{
    return text.remove(u':');
}

} // namespace

QStringList macCandidatesWithIp(const QList<platform::NetworkAdapter> &adapters)
{
    QStringList out;
    for (const platform::NetworkAdapter &a : adapters) {
        if (a.loopback || a.ipAddresses.isEmpty())
            continue;
        const QString ip = a.ipAddresses.first().trimmed();
        QString mac = a.hardwareAddress;
        mac.remove(u' ');
        if (ip.isEmpty() || mac.isEmpty())
            continue;
        out.append(withoutColons(mac));
    }
    return out;
}

QString GetAdapterMACs(const QList<platform::NetworkAdapter> &adapters)
{
    QStringList out;
    for (const platform::NetworkAdapter &a : adapters) {
        if (!a.ethernet || a.loopback)
            continue;
        // Six bytes, two upper-case digits each.
        const QStringList parts = a.hardwareAddress.split(QRegularExpression(u"[:-]"_s));
        QStringList bytes;
        for (const QString &p : parts.mid(0, 6)) {
            bool ok = false;
            const uint b = p.toUInt(&ok, 16);
            if (!ok || b > 0xFF)
                break;
            bytes.append(QString::number(b, 16).toUpper().rightJustified(2, u'0'));
        }
        if (bytes.size() == 6)
            out.append(bytes.join(u':'));
    }
    return out.join(u';');
}

QString GetAdapterMACs()
{
    return GetAdapterMACs(platform::networkAdapters().adapters());
}

QString chooseMacAddress(QStringList candidates, const QString &remembered, const QString &denyList,
                         QStringList *logLines)
{
    const QString deny = denyList.trimmed();
    QString result;
    if (!deny.isEmpty()) {
        QStringList denied;
        for (const QString &entry : deny.split(u';'))
            denied.append(withoutColons(entry));
        for (QString &c : candidates) {
            if (denied.contains(c))
                c.clear();
        }
        if (candidates.isEmpty())
            return {};
        if (!remembered.isEmpty()) {
            for (const QString &c : candidates) {
                if (!c.isEmpty() && c == remembered)
                    return withoutColons(c);
            }
        }
        for (const QString &c : candidates) {
            if (c.size() == 12)
                return withoutColons(c);
        }
        return {};
    }

    if (candidates.isEmpty())
        return {};
    const QString quote = u"\""_s;
    if (remembered.isEmpty()) {
        result = candidates.first();
        for (const QString &c : candidates) {
            if (c > result)
                result = c;
        }
        logLines->append(u"GetMACAddress ... (oldMAC = "_s + quote + u") GetMACAddress := "_s + result);
        return withoutColons(result);
    }
    if (candidates.contains(remembered)) {
        logLines->append(u"GetMACAddress ... (mMAC(i) = oldMAC) GetMACAddress := "_s + remembered);
        return withoutColons(remembered);
    }
    result = candidates.first();
    for (qsizetype i = 1; i < candidates.size(); ++i) {
        if (candidates.at(i) > result) {
            result = candidates.at(i);
            logLines->append(u"GetMACAddress ... (oldMAC <> "_s + quote + u") GetMACAddress := "_s + result);
        }
    }
    return withoutColons(result);
}

QString GetMACAddress()
{
    const QString remembered = withoutColons(userstore::get(u"QTVNX"_s, u"Mirel"_s, u"MAC"_s));
    WriteLog(u"GetMACAddress ... oldMAC := "_s + remembered);

    const QList<platform::NetworkAdapter> adapters = platform::networkAdapters().adapters();
    QStringList candidates = macCandidatesWithIp(adapters);
    if (candidates.isEmpty()) {
        const QString all = withoutColons(GetAdapterMACs(adapters));
        if (all.size() >= 10)
            candidates = all.split(u';');
    }
    QStringList lines;
    const QString result =
        chooseMacAddress(candidates, remembered, CfgWork.readValue(u"NewType"_s, u"MacDeny"_s, {}), &lines);
    for (const QString &line : lines)
        WriteLog(line);
    return result;
}

} // namespace kavri
