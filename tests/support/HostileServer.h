#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace kavri::test {

/// A tiny HTTP server on loopback that misbehaves on purpose: it reads each whole
/// request, then sends `head` as given (status line, headers, blank line and any
/// body) and, when `endless`, body bytes until the client goes away.
class HostileServer : public QObject
{
public:
    explicit HostileServer(QByteArray head, bool endless = false);

    quint16 port() const { return m_server.serverPort(); }
    /// "http://<host>:<port><path>"
    QString url(const QString &path = QStringLiteral("/program/x.php"),
                const QString &host = QStringLiteral("127.0.0.1")) const;
    int requests() const { return m_requests; }
    QByteArray lastRequest() const { return m_lastRequest; }
    /// The most bytes sent over any one connection.
    qint64 mostBytesSent() const { return m_mostBytesSent; }

    /// A response with this status line, a Content-Length and `body`.
    static QByteArray response(const QByteArray &statusLine, const QByteArray &body,
                               const QByteArray &extraHeaders = {});

private:
    void serve(class QTcpSocket *socket);

    QTcpServer m_server;
    QByteArray m_head;
    bool m_endless = false;
    int m_requests = 0;
    QByteArray m_lastRequest;
    qint64 m_mostBytesSent = 0;
};

} // namespace kavri::test
