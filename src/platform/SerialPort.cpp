#include "platform/SerialPort.h"

#include <QFile>
#include <QSerialPort>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

class QtSerialLine final : public SerialPort
{
public:
    SerialOpenResult open(const QString &device, qint32 speed) override
    {
        close();
        m_error = {};
        if (device.isEmpty()) {
            m_error = {ENOENT, u"장치가 지정되지 않았습니다."_s};
            return SerialOpenResult::NoSuchPort;
        }
        // Tell a missing or non-serial device from one we may not open, before touching it.
        struct stat st
        {
        };
        if (::stat(QFile::encodeName(device).constData(), &st) != 0) {
            const int e = errno;
            m_error = {e, QString::fromLocal8Bit(std::strerror(e))};
            if (e == EACCES || e == EPERM)
                return SerialOpenResult::Unavailable;
            return e == ENOENT || e == ENOTDIR || e == ENAMETOOLONG || e == ELOOP
                       ? SerialOpenResult::NoSuchPort
                       : SerialOpenResult::OtherError;
        }
        if (!S_ISCHR(st.st_mode)) {
            m_error = {ENOTTY, u"직렬 포트가 아닙니다."_s};
            return SerialOpenResult::NoSuchPort;
        }

        m_port = std::make_unique<QSerialPort>();
        m_port->setPortName(device);
        m_port->setBaudRate(speed > 0 ? speed : 9600);
        m_port->setDataBits(QSerialPort::Data8);
        m_port->setParity(QSerialPort::NoParity);
        m_port->setStopBits(QSerialPort::OneStop);
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port->open(QIODevice::WriteOnly)) {
            const QSerialPort::SerialPortError e = m_port->error();
            m_error = {int(e), m_port->errorString()};
            m_port.reset();
            switch (e) {
            case QSerialPort::DeviceNotFoundError:
            case QSerialPort::UnsupportedOperationError:
                return SerialOpenResult::NoSuchPort;
            case QSerialPort::PermissionError:
            case QSerialPort::OpenError:
                return SerialOpenResult::Unavailable;
            default:
                return SerialOpenResult::OtherError;
            }
        }
        if (::isatty(int(m_port->handle())) != 1) {
            m_error = {ENOTTY, u"직렬 포트가 아닙니다."_s};
            close();
            return SerialOpenResult::NoSuchPort;
        }
        // Pseudo terminals and some adapters have no modem lines; that is no reason to refuse.
        m_port->setDataTerminalReady(false);
        m_port->clearError();
        return SerialOpenResult::Opened;
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

    SerialError lastError() const override { return m_error; }

    ~QtSerialLine() override { close(); }

private:
    std::unique_ptr<QSerialPort> m_port;
    SerialError m_error;
};

} // namespace

std::unique_ptr<SerialPort> createSerialPort()
{
    return std::make_unique<QtSerialLine>();
}

SerialDeviceState serialDeviceState(const QString &device)
{
    SerialDeviceState state;
    if (device.isEmpty())
        return state;
    const QByteArray path = QFile::encodeName(device);
    struct stat st
    {
    };
    // A [Ports] line may name a link (such as /dev/serial/by-id/...); the device is what it leads to.
    if (::stat(path.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return state;
    state.exists = true;
    state.writable = ::access(path.constData(), W_OK) == 0;
    if (const struct group *g = ::getgrgid(st.st_gid))
        state.group = QString::fromLocal8Bit(g->gr_name);
    return state;
}

} // namespace kavri::platform
