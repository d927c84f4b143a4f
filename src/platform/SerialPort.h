#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace kavri::platform {

/// How an attempt to open a serial line ended.
enum class SerialOpenResult {
    Opened,
    NoSuchPort,  ///< the device is missing or is not a serial line
    Unavailable, ///< the device is there but cannot be opened (in use, no permission)
    OtherError,  ///< anything else; see lastError()
};

struct SerialError
{
    int number = 0;
    QString description;
};

/// One serial line to a receipt printer: opened for writing only, raw bytes,
/// `speed`,N,8,1, no flow control, DTR off.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    virtual SerialOpenResult open(const QString &device, qint32 speed) = 0;
    virtual bool isOpen() const = 0;
    /// Queues the bytes; the event loop puts them on the line. False on failure.
    virtual bool write(const QByteArray &bytes) = 0;
    /// Bytes not yet on the line: the program's queue plus the driver's output
    /// queue. -1 when the line has failed (device gone, write error).
    virtual qint64 pendingOutput() = 0;
    /// Throws away whatever has not been sent yet, so closing cannot block on it.
    virtual void discardOutput() = 0;
    virtual void close() = 0;
    /// The last failure, with the platform's number and text.
    virtual SerialError lastError() const = 0;
};

/// What the machine says about a serial device, without opening it (opening a
/// line can raise its control lines and wake the printer).
struct SerialDeviceState
{
    bool exists = false;   ///< the path leads to a character device
    bool writable = false; ///< this user may open it for writing
    QString group;         ///< the group that owns the device; empty when unknown
};
SerialDeviceState serialDeviceState(const QString &device);

/// A serial line on the real device layer (Qt SerialPort).
std::unique_ptr<SerialPort> createSerialPort();

} // namespace kavri::platform
