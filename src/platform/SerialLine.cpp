#include "platform/PrinterLine.h"

#include <QFile>
#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

// A serial line to a receipt printer: raw bytes, speed,N,8,1, no flow control,
// DTR off; opened for reading too, so a printer that answers can tell its status.
class SerialLine final : public PrinterLine
{
public:
    LineOpenResult open(const QString &device, qint32 speed)
    {
        m_port = std::make_unique<QSerialPort>();
        m_port->setPortName(device);
        m_port->setBaudRate(speed > 0 ? speed : 9600);
        m_port->setDataBits(QSerialPort::Data8);
        m_port->setParity(QSerialPort::NoParity);
        m_port->setStopBits(QSerialPort::OneStop);
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port->open(QIODevice::ReadWrite)) {
            const QSerialPort::SerialPortError e = m_port->error();
            m_error = {int(e), m_port->errorString()};
            m_port.reset();
            switch (e) {
            case QSerialPort::DeviceNotFoundError:
            case QSerialPort::UnsupportedOperationError:
                return LineOpenResult::NoSuchPort;
            case QSerialPort::PermissionError:
            case QSerialPort::OpenError:
                return LineOpenResult::Unavailable;
            default:
                return LineOpenResult::OtherError;
            }
        }
        if (::isatty(int(m_port->handle())) != 1) {
            m_error = {ENOTTY, u"직렬 포트가 아닙니다."_s};
            close();
            return LineOpenResult::NoSuchPort;
        }
        // Pseudo terminals and some adapters have no modem lines; that is no reason to refuse.
        m_port->setDataTerminalReady(false);
        m_port->clearError();
        return LineOpenResult::Opened;
    }

    bool isOpen() const override { return m_port && m_port->isOpen(); }

    bool write(const QByteArray &bytes) override
    {
        if (!isOpen())
            return false;
        if (m_port->write(bytes) != bytes.size()) {
            m_error = {int(m_port->error()), m_port->errorString()};
            return false;
        }
        return true;
    }

    qint64 pendingOutput() override
    {
        if (!isOpen())
            return -1;
        if (m_port->error() != QSerialPort::NoError) {
            m_error = {int(m_port->error()), m_port->errorString()};
            return -1;
        }
        int queued = 0;
        if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) != 0)
            queued = 0;
        return m_port->bytesToWrite() + qMax(queued, 0);
    }

    void discardOutput() override
    {
        if (isOpen())
            m_port->clear(QSerialPort::Output);
    }

    void close() override
    {
        if (!m_port)
            return;
        if (m_port->isOpen())
            m_port->close();
        m_port.reset();
    }

    LineError lastError() const override { return m_error; }

    bool twoWay() const override { return true; }

    std::optional<quint8> askStatus(quint8 n, quint32 waitMs) override
    {
        if (!isOpen())
            return std::nullopt;
        return askStatusOver(*m_port, n, waitMs);
    }

    ~SerialLine() override { close(); }

private:
    std::unique_ptr<QSerialPort> m_port;
    LineError m_error;
};

} // namespace

LineOpening openSerialLine(const QString &path, qint32 speed)
{
    auto line = std::make_unique<SerialLine>();
    LineOpening opening;
    opening.result = line->open(path, speed);
    opening.error = line->lastError();
    if (opening.result == LineOpenResult::Opened)
        opening.line = std::move(line);
    return opening;
}

} // namespace kavri::platform
