#include "platform/PrinterLine.h"

#include <QTcpSocket>

#include <cerrno>
#include <linux/sockios.h>
#include <sys/ioctl.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

constexpr quint32 kCloseWaitMs = 500;

LineError socketError(const QTcpSocket &socket)
{
    switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return {ECONNREFUSED, u"연결을 거부했습니다"_s};
    case QAbstractSocket::HostNotFoundError:
        return {EHOSTUNREACH, u"주소를 찾을 수 없습니다"_s};
    case QAbstractSocket::RemoteHostClosedError:
        return {ECONNRESET, u"프린터가 연결을 끊었습니다"_s};
    case QAbstractSocket::NetworkError:
        return {ENETUNREACH, u"네트워크에 닿을 수 없습니다 ("_s + socket.errorString() + u")"_s};
    default:
        return {EIO, socket.errorString()};
    }
}

// A printer on the shop's network taking raw ESC/POS over TCP: one connection per
// ticket, closed after the drain.
class NetworkLine final : public PrinterLine
{
public:
    LineOpenResult open(const QString &host, quint16 port, quint32 waitMs)
    {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->connectToHost(host, port);
        // Name lookup and connection both run while events do; neither may hold the program.
        const bool settled = waitWithEvents(waitMs, [this] {
            const QAbstractSocket::SocketState s = m_socket->state();
            return s == QAbstractSocket::ConnectedState || s == QAbstractSocket::UnconnectedState;
        });
        if (m_socket->state() == QAbstractSocket::ConnectedState) {
            m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            return LineOpenResult::Opened;
        }
        if (!settled)
            m_error = {ETIMEDOUT, u"응답이 없습니다 ("_s + QString::number((waitMs + 999) / 1000) + u"초)"_s};
        else
            m_error = socketError(*m_socket);
        m_socket->abort();
        m_socket.reset();
        return m_error.number == EHOSTUNREACH ? LineOpenResult::NoSuchPort : LineOpenResult::Unavailable;
    }

    bool isOpen() const override { return m_socket && m_socket->state() == QAbstractSocket::ConnectedState; }

    bool write(const QByteArray &bytes) override
    {
        if (!isOpen())
            return fail();
        if (m_socket->write(bytes) != bytes.size())
            return fail();
        return true;
    }

    qint64 pendingOutput() override
    {
        if (!isOpen()) {
            fail();
            return -1;
        }
        // Sent but not yet acknowledged counts too: the printer has it only once it said so.
        int queued = 0;
        if (::ioctl(int(m_socket->socketDescriptor()), SIOCOUTQ, &queued) != 0)
            queued = 0;
        return m_socket->bytesToWrite() + qMax(queued, 0);
    }

    void discardOutput() override
    {
        if (m_socket)
            m_socket->abort();
    }

    void close() override
    {
        if (!m_socket)
            return;
        // Unread answers would make the close a reset, which may cost the printer its last bytes.
        if (m_socket->isOpen())
            m_socket->readAll();
        m_socket->disconnectFromHost();
        waitWithEvents(kCloseWaitMs,
                       [this] { return m_socket->state() == QAbstractSocket::UnconnectedState; });
        m_socket->abort();
        m_socket.reset();
    }

    LineError lastError() const override { return m_error; }

    bool twoWay() const override { return true; }

    std::optional<quint8> askStatus(quint8 n, quint32 waitMs) override
    {
        if (!isOpen())
            return std::nullopt;
        return askStatusOver(*m_socket, n, waitMs);
    }

    ~NetworkLine() override
    {
        if (m_socket)
            m_socket->abort();
    }

private:
    bool fail()
    {
        if (m_socket && m_error.number == 0)
            m_error = socketError(*m_socket);
        if (m_error.number == 0)
            m_error = {ENOTCONN, u"연결이 끊겼습니다"_s};
        return false;
    }

    std::unique_ptr<QTcpSocket> m_socket;
    LineError m_error;
};

} // namespace

LineOpening openNetworkLine(const QString &host, quint16 port, quint32 waitMs)
{
    auto line = std::make_unique<NetworkLine>();
    LineOpening opening;
    opening.result = line->open(host, port, waitMs);
    opening.error = line->lastError();
    if (opening.result == LineOpenResult::Opened)
        opening.line = std::move(line);
    return opening;
}

} // namespace kavri::platform
