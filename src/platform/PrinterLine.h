#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace kavri::platform {

/// How an attempt to reach a printer ended.
enum class LineOpenResult {
    Opened,
    NoSuchPort,  ///< the device is missing or is not a device at all
    Unavailable, ///< there but not to be had (in use, no permission, no reader, refused, time-out)
    OtherError,  ///< anything else; see the error
};

struct LineError
{
    int number = 0;
    QString description;
};

/// One open way to a receipt printer, for the bytes of a ticket: a serial line,
/// a plain character device (a USB printer-class device) or a TCP connection.
/// Writing never blocks the thread; the caller drains with pendingOutput().
class PrinterLine
{
public:
    virtual ~PrinterLine() = default;

    virtual bool isOpen() const = 0;
    /// Queues the bytes; they go out while events run. False on failure.
    virtual bool write(const QByteArray &bytes) = 0;
    /// Bytes not yet taken by the printer (or, for a serial line, not yet on
    /// the wire); -1 when the line has failed (device gone, connection dropped).
    virtual qint64 pendingOutput() = 0;
    /// Throws away what has not gone out, so closing cannot block on it.
    virtual void discardOutput() = 0;
    virtual void close() = 0;
    /// The last failure, with the platform's number and text.
    virtual LineError lastError() const = 0;

    /// Whether the printer can answer over this line.
    virtual bool twoWay() const { return false; }
    /// Sends the real-time status request DLE EOT `n` and waits at most `waitMs`
    /// (events run) for the one byte that answers it; nothing when none came.
    /// Only between tickets: the request must not land inside a printer command.
    virtual std::optional<quint8> askStatus(quint8 n, quint32 waitMs)
    {
        Q_UNUSED(n);
        Q_UNUSED(waitMs);
        return std::nullopt;
    }
};

/// An attempt to open a printer line: the line when it opened.
struct LineOpening
{
    std::unique_ptr<PrinterLine> line;
    LineOpenResult result = LineOpenResult::OtherError;
    LineError error;
};

/// What a device path is, told without opening it (opening a serial line can
/// raise its control lines and wake the printer).
enum class DeviceKind {
    Missing,   ///< nothing there (or not reachable)
    NotDevice, ///< a regular file, a folder, a socket: no printer
    Serial,    ///< a terminal: a serial line, an adapter, a pseudo terminal
    Plain,     ///< any other character device (a USB printer /dev/usb/lpN), or a FIFO
};

struct DeviceState
{
    DeviceKind kind = DeviceKind::Missing;
    bool writable = false; ///< this user may open it for writing
    QString group;         ///< the group that owns the device; empty when unknown
};
/// Follows links (such as /dev/serial/by-id/...): the device is what they lead to.
DeviceState deviceState(const QString &path);

/// Opens a device path: a terminal as a serial line at `speed`,N,8,1 (read and
/// write, no flow control, DTR off), any other character device or a FIFO for
/// writing only (no line settings). Anything else is NoSuchPort.
LineOpening openDeviceLine(const QString &path, qint32 speed);

/// Connects to a network printer (raw ESC/POS), waiting at most `waitMs` with
/// events running, name lookup included.
LineOpening openNetworkLine(const QString &host, quint16 port, quint32 waitMs);

/// Serial and plain-device lines, opened knowing the kind (openDeviceLine chooses).
LineOpening openSerialLine(const QString &path, qint32 speed);
LineOpening openPlainDeviceLine(const QString &path);

/// Waits with events running until `done` or `ms` passed; whether `done` came.
bool waitWithEvents(quint32 ms, const std::function<bool()> &done);

/// The status request DLE EOT `n` over a two-way device: drops what the printer
/// sent before, sends the request and waits for one answer byte.
std::optional<quint8> askStatusOver(class QIODevice &device, quint8 n, quint32 waitMs);

} // namespace kavri::platform
