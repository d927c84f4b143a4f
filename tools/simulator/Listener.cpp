#include "Listener.h"

#include "Connection.h"

#include <QSslSocket>

using namespace Qt::StringLiterals;

namespace kavri::sim {

Listener::Listener(Service &service, int maxConnections, QObject *parent)
    : QObject(parent), m_service(service), m_maxConnections(maxConnections)
{
    connect(&m_plain, &QTcpServer::pendingConnectionAvailable, this,
            [this] { acceptPending(&m_plain, Scheme::Http); });
    connect(&m_tls, &QTcpServer::pendingConnectionAvailable, this,
            [this] { acceptPending(&m_tls, Scheme::Https); });
    // A client that never finishes the TLS handshake must not hold a socket for long.
    m_tls.setHandshakeTimeout(10000);
}

bool Listener::listenPlain(quint16 port, QString *error)
{
    if (m_plain.listen(QHostAddress::LocalHost, port))
        return true;
    *error = u"HTTP 포트 "_s + QString::number(port) + u"에서 기다릴 수 없습니다: "_s + m_plain.errorString();
    return false;
}

bool Listener::listenTls(quint16 port, const QSslConfiguration &config, QString *error)
{
    m_tls.setSslConfiguration(config);
    if (m_tls.listen(QHostAddress::LocalHost, port))
        return true;
    *error = u"HTTPS 포트 "_s + QString::number(port) + u"에서 기다릴 수 없습니다: "_s + m_tls.errorString();
    return false;
}

void Listener::acceptPending(QTcpServer *server, Scheme scheme)
{
    while (server->hasPendingConnections()) {
        QTcpSocket *socket = server->nextPendingConnection();
        if (!socket)
            break;
        if (m_open >= m_maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_open;
        auto *connection = new Connection(socket, scheme, m_service, this);
        connect(connection, &Connection::closed, this, [this] { --m_open; });
    }
}

} // namespace kavri::sim
