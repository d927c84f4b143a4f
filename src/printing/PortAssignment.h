#pragma once

#include "printing/PrinterSettingsForm.h"
#include "services/Deployment.h"
#include "services/PortTarget.h"

#include <QMap>
#include <QSet>
#include <QString>

#include <functional>

namespace kavri::platform {
struct DeviceAccess;
struct FoundDevice;
enum class CharDeviceKind;
} // namespace kavri::platform

// The 장치 control beside each port list: which device or network printer a
// COM number leads to, and what 저장 writes to Deploy.ini [Ports] for it.
namespace kavri {

/// Opens the device (or connects) and, for a two-way device, asks its status;
/// answers in one Korean line. Start-up gives the real one to the settings
/// window; without one the window offers no 연결 확인.
using ConnectionCheck = std::function<QString(const PortTarget &target, qint32 speed)>;

/// The line the 장치 control of port N shows: its [Ports] line, else the
/// built-in device; empty for "없음".
QString assignedLine(const Deployment &deployment, int port);

/// What the line under the control says about a [Ports] line, stored or typed.
PortDeviceLine deviceLineOf(const QString &line);
/// The same for a device in the state the machine reports, with the advice that would help.
PortDeviceLine deviceLineFor(const QString &device, const platform::DeviceAccess &access,
                             platform::CharDeviceKind kind);

/// A found device as the control's list offers it: its path and, in brackets,
/// what it is and whether this user may use it.
QString foundDeviceItem(const platform::FoundDevice &device);

/// What 저장 writes to [Ports]: the controls' lines (`edits`, by port) of the
/// ports a slot uses, where they differ from what the deployment gives now.
/// A line that cannot be read refuses the whole save (`refusal`, no lines).
struct PortLines
{
    QMap<int, QString> lines;
    QString refusal;
};
PortLines portLinesToWrite(const Deployment &deployment, const QMap<int, QString> &edits,
                           const QSet<int> &usedPorts);

/// What 연결 확인 shows: the reason a line cannot be read, else the check's answer.
QString connectionCheckLine(const QString &line, qint32 speed, const ConnectionCheck &check);

} // namespace kavri
