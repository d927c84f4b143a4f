#include "support/HostileServer.h"

#include <QRegularExpression>
#include <QTcpSocket>

#include <memory>

using namespace Qt::StringLiterals;

namespace kavri::test {

HostileServer::HostileServer(QByteArray head, bool endless) : m_head(std::move(head)), m_endless(endless)
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString HostileServer::url(const QString &path, const QString &host) const
{
    return u"http://"_s + host + u':' + QString::number(port()) + path;
}

QByteArray HostileServer::response(const QByteArray &statusLine, const QByteArray &body,
                                   const QByteArray &extraHeaders)
{
    return statusLine + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

void HostileServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto request = std::make_shared<QByteArray>();
    auto sent = std::make_shared<qint64>(0);
    auto answered = std::make_shared<bool>(false);
    const QByteArray chunk(64 * 1024, 'x');
    // Keeps about a megabyte queued: the body goes as fast as the client takes it.
    auto pump = [this, socket, sent, chunk] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < (1 << 20)) {
            socket->write(chunk);
            *sent += chunk.size();
            m_mostBytesSent = std::max(m_mostBytesSent, *sent);
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, this, [this, pump, answered] {
        if (*answered && m_endless)
            pump();
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request, sent, answered, pump] {
        *request += socket->readAll();
        if (*answered)
            return;
        const qsizetype headEnd = request->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        static const QRegularExpression lengthLine(u"(?im)^content-length:\\s*(\\d+)"_s);
        const auto match = lengthLine.match(QString::fromLatin1(request->left(headEnd)));
        const qsizetype length = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        if (request->size() - headEnd - 4 < length)
            return;
        *answered = true;
        ++m_requests;
        m_lastRequest = *request;
        socket->write(m_head);
        *sent += m_head.size();
        m_mostBytesSent = std::max(m_mostBytesSent, *sent);
        if (m_endless)
            pump();
        else
            socket->disconnectFromHost();
    });
}

} // namespace kavri::test
