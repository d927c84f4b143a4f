#pragma once

#include "Faults.h"

#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>

namespace kavri::sim {

class Service;

/// The plain and the TLS listener on loopback, sharing one bound on open connections.
class Listener : public QObject
{
    Q_OBJECT
public:
    Listener(Service &service, int maxConnections, QObject *parent = nullptr);

    bool listenPlain(quint16 port, QString *error);
    bool listenTls(quint16 port, const QSslConfiguration &config, QString *error);
    quint16 plainPort() const { return m_plain.serverPort(); }
    quint16 tlsPort() const { return m_tls.serverPort(); }
    int openConnections() const { return m_open; }

private:
    void acceptPending(QTcpServer *server, Scheme scheme);

    Service &m_service;
    int m_maxConnections;
    int m_open = 0;
    QTcpServer m_plain;
    QSslServer m_tls;
};

} // namespace kavri::sim
