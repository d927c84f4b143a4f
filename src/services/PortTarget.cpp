#include "services/PortTarget.h"

#include <QHostAddress>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

constexpr qsizetype kMaxLine = 255;
const QString kScheme = u"tcp://"_s;

PortTarget refused(const QString &why)
{
    PortTarget t;
    t.refusal = why;
    return t;
}

bool hasControls(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

bool isHostName(const QString &host)
{
    static const QRegularExpression name(u"^[A-Za-z0-9]([A-Za-z0-9-]{0,62}[A-Za-z0-9])?"
                                         u"(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,62}[A-Za-z0-9])?)*$"_s);
    return host.size() <= 253 && name.match(host).hasMatch();
}

PortTarget networkTarget(const QString &rest)
{
    QString host;
    QString portText;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            return refused(u"IPv6 주소의 ']'가 없습니다"_s);
        host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            return refused(u"주소 뒤에 ':포트'만 올 수 있습니다"_s);
        portText = after.mid(1);
        if (after.startsWith(u':') && portText.isEmpty())
            return refused(u"포트 번호가 비어 있습니다"_s);
        QHostAddress address;
        if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv6Protocol)
            return refused(u"IPv6 주소가 올바르지 않습니다"_s);
    } else {
        const qsizetype colon = rest.lastIndexOf(u':');
        host = colon < 0 ? rest : rest.left(colon);
        portText = colon < 0 ? QString() : rest.mid(colon + 1);
        if (colon >= 0 && portText.isEmpty())
            return refused(u"포트 번호가 비어 있습니다"_s);
        if (host.isEmpty())
            return refused(u"프린터 주소가 없습니다"_s);
        if (!isHostName(host))
            return refused(u"프린터 주소가 올바르지 않습니다"_s);
    }
    PortTarget t;
    t.kind = PortTarget::Kind::Network;
    t.host = host;
    t.port = PortTarget::DefaultNetworkPort;
    if (!portText.isEmpty()) {
        static const QRegularExpression digits(u"^[0-9]{1,5}$"_s);
        bool ok = digits.match(portText).hasMatch();
        const uint port = portText.toUInt();
        if (!ok || port < 1 || port > 65535 || portText.size() > 5)
            return refused(u"포트 번호는 1에서 65535 사이여야 합니다"_s);
        t.port = quint16(port);
    }
    return t;
}

} // namespace

PortTarget portTarget(const QString &line)
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return refused(u"장치가 지정되지 않았습니다"_s);
    if (text.size() > kMaxLine || hasControls(text))
        return refused(u"장치 이름이 올바르지 않습니다"_s);
    if (text.startsWith(kScheme, Qt::CaseInsensitive))
        return networkTarget(text.mid(kScheme.size()));
    if (!text.startsWith(u'/') || text.split(u'/').contains(u".."_s))
        return refused(u"장치는 /dev/… 경로나 tcp://주소[:포트]로 적어 주세요"_s);
    PortTarget t;
    t.kind = PortTarget::Kind::Device;
    t.device = text;
    return t;
}

QString portTargetLine(const PortTarget &target)
{
    switch (target.kind) {
    case PortTarget::Kind::Device:
        return target.device;
    case PortTarget::Kind::Network: {
        const QString host = target.host.contains(u':') ? u'[' + target.host + u']' : target.host;
        return target.port == PortTarget::DefaultNetworkPort
                   ? kScheme + host
                   : kScheme + host + u':' + QString::number(target.port);
    }
    case PortTarget::Kind::Refused:
        break;
    }
    return {};
}

QString portTargetName(const PortTarget &target)
{
    if (target.kind == PortTarget::Kind::Network) {
        const QString host = target.host.contains(u':') ? u'[' + target.host + u']' : target.host;
        return host + u':' + QString::number(target.port);
    }
    return target.device;
}

} // namespace kavri
