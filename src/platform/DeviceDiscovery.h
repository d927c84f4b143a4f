#pragma once

#include <QList>
#include <QString>

// The printer devices of this PC as the printer settings window offers them,
// found without opening any (opening a line can wake a printer or raise its
// control lines).
namespace kavri::platform {

/// Whether this user may write a device, and what stands in the way.
struct DeviceAccess
{
    bool exists = false;         ///< the path leads to a character device
    bool writable = false;       ///< this process may open it for writing
    QString group;               ///< the owning group; empty when unknown
    bool groupMayWrite = false;  ///< the owning group has write permission
    bool accountInGroup = false; ///< the account is a member, though this session may not be yet
};
DeviceAccess deviceAccess(const QString &path);

/// The state in the words staff see: "사용할 수 있습니다", "권한 없음: dialout 그룹", …
QString accessNote(const DeviceAccess &access);

enum class DeviceClass { Serial, UsbPrinter };

struct FoundDevice
{
    QString path;    ///< what a [Ports] line names
    QString leadsTo; ///< for a /dev/serial/by-id link, the device it names; else empty
    DeviceClass kind = DeviceClass::Serial;
    DeviceAccess access;
};

/// At most this many devices are listed, and at most MaxScannedEntries names
/// are read from each folder, however crowded it is.
inline constexpr int MaxFoundDevices = 64;
inline constexpr int MaxScannedEntries = 4096;

/// The serial lines (ttyUSB*, ttyACM*, ttyS* with a port behind it), the USB
/// printers (usb/lp*) and the serial/by-id links under `devRoot`. Only
/// character devices count; a link is followed only in serial/by-id, one step,
/// to a serial line directly under `devRoot`. By-id links first (their names
/// survive a restart), then by kind and number.
QList<FoundDevice> findDevices(const QString &devRoot = QStringLiteral("/dev"),
                               const QString &sysRoot = QStringLiteral("/sys"));

/// What the kernel says a character device is, from
/// `sysRoot`/dev/char/MAJ:MIN/subsystem, without opening it. Unknown when the
/// path is no character device or sysfs has no entry for it (pseudo terminals).
enum class CharDeviceKind { Terminal, NotTerminal, Unknown };
CharDeviceKind charDeviceKind(const QString &path, const QString &sysRoot = QStringLiteral("/sys"));

} // namespace kavri::platform
