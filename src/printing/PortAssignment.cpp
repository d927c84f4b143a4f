#include "printing/PortAssignment.h"

#include "platform/DeviceDiscovery.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

// A device may be unplugged while it is assigned, but a file or folder in its place is a slip:
// tickets would go into it.
QString notADevice(const PortTarget &target)
{
    if (target.kind != PortTarget::Kind::Device || !QFileInfo::exists(target.device) ||
        platform::deviceAccess(target.device).exists)
        return {};
    return u"장치 파일이 아닙니다"_s;
}

} // namespace

PortDeviceLine deviceLineFor(const QString &device, const platform::DeviceAccess &access,
                             platform::CharDeviceKind kind)
{
    PortDeviceLine line;
    if (!access.exists) {
        line.text = device + u" - 장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s;
    } else if (access.writable) {
        line.text = device + u" - 사용할 수 있습니다"_s;
        line.usable = true;
    } else if (!access.groupMayWrite || access.group.isEmpty() || access.group == u"root"_s) {
        // Joining a group that may not write the device would not help, and root's group never should be
        // joined.
        line.text =
            device + u" - 열 수 없습니다: 이 사용자에게 쓰기 권한이 없습니다 (관리자에게 문의해 주세요)"_s;
    } else if (access.accountInGroup) {
        // The membership is there but reaches a session only at its next login.
        line.text =
            device + u" - 열 수 없습니다: '"_s + access.group + u"' 그룹이 적용되도록 다시 로그인해 주세요"_s;
    } else {
        line.text = device + u" - 열 수 없습니다: 사용자를 '"_s + access.group + u"' 그룹에 넣어 주세요"_s;
    }
    // A USB printer-class device (or anything else that is no terminal) has no line settings.
    if (kind == platform::CharDeviceKind::NotTerminal) {
        line.text += u" · 직렬 포트가 아니어서 통신속도는 쓰이지 않습니다"_s;
        line.speedUsed = false;
    }
    return line;
}

QString assignedLine(const Deployment &deployment, int port)
{
    return port < 1 ? QString() : deployment.serialDevice(port);
}

PortDeviceLine deviceLineOf(const QString &line)
{
    const PortTarget target = portTarget(line);
    switch (target.kind) {
    case PortTarget::Kind::Device:
        return deviceLineFor(target.device, platform::deviceAccess(target.device),
                             platform::charDeviceKind(target.device));
    case PortTarget::Kind::Network: {
        PortDeviceLine out;
        out.text = portTargetName(target) + u" - 네트워크 프린터: 통신속도는 쓰이지 않습니다"_s;
        out.usable = true;
        out.speedUsed = false;
        return out;
    }
    case PortTarget::Kind::Refused:
        break;
    }
    const QString shown = line.trimmed();
    return {shown.isEmpty() ? target.refusal : shown + u" - "_s + target.refusal, false};
}

QString foundDeviceItem(const platform::FoundDevice &device)
{
    QString item = device.path;
    if (!device.leadsTo.isEmpty())
        item += u" → "_s + QFileInfo(device.leadsTo).fileName();
    const QString kind = device.kind == platform::DeviceClass::UsbPrinter ? u"USB 프린터, "_s : QString();
    return item + u" ("_s + kind + platform::accessNote(device.access) + u")"_s;
}

PortLines portLinesToWrite(const Deployment &deployment, const QMap<int, QString> &edits,
                           const QSet<int> &usedPorts)
{
    PortLines out;
    // A locked deployment keeps its devices whatever the controls hold.
    if (deployment.portsLocked)
        return out;
    for (auto it = edits.cbegin(); it != edits.cend(); ++it) {
        const int port = it.key();
        if (port < 1 || !usedPorts.contains(port))
            continue;
        const PortTarget target = portTarget(it.value());
        const QString why = target.kind == PortTarget::Kind::Refused ? target.refusal : notADevice(target);
        if (!why.isEmpty()) {
            out.lines.clear();
            out.refusal = u"COM"_s + QString::number(port) + u"의 장치를 저장할 수 없습니다: "_s + why;
            return out;
        }
        const QString line = portTargetLine(target);
        if (line != portTargetLine(deployment.target(port)))
            out.lines.insert(port, line);
    }
    return out;
}

QString connectionCheckLine(const QString &line, qint32 speed, const ConnectionCheck &check)
{
    const PortTarget target = portTarget(line);
    if (target.kind == PortTarget::Kind::Refused)
        return target.refusal;
    if (!check)
        return {};
    return check(target, speed);
}

} // namespace kavri
