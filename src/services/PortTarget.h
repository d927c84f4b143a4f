#pragma once

#include <QString>

namespace kavri {

/// What a Deploy.ini [Ports] COMN= line names: a device file (a serial line or
/// a USB printer-class device; which of the two is decided when it is opened),
/// or a network printer taking raw ESC/POS ("tcp://host[:port]").
struct PortTarget
{
    enum class Kind { Device, Network, Refused };
    static constexpr quint16 DefaultNetworkPort = 9100;

    Kind kind = Kind::Refused;
    QString device; ///< Device: its absolute path
    QString host;   ///< Network: a name or address (IPv6 without brackets)
    quint16 port = 0;
    QString refusal; ///< Refused: why, in Korean, for the log and the device line

    bool operator==(const PortTarget &) const = default;
};

/// Reads a [Ports] line. A device is an absolute path without ".." or control
/// characters; a network printer is "tcp://" with a host name, an IPv4 address
/// or an IPv6 address in brackets, and an optional port 1-65535. Anything else
/// is refused with its reason.
PortTarget portTarget(const QString &line);

/// The line that reads back as `target` (empty for a refused one).
QString portTargetLine(const PortTarget &target);

/// How the target is named to staff: the device path, or "host:port".
QString portTargetName(const PortTarget &target);

} // namespace kavri
