#pragma once

#include "HttpMessage.h"
#include "Service.h"

#include <QObject>
#include <QTimer>

class QTcpSocket;

namespace kavri::sim {

/// One accepted connection: reads one request, answers it (now, later, never) and closes.
/// Deletes itself when the socket is gone.
class Connection : public QObject
{
    Q_OBJECT
public:
    /// How long a client may take to send its request, and to take its answer.
    static constexpr int requestTimeoutMs = 30000;
    static constexpr int lingerTimeoutMs = 30000;

    Connection(QTcpSocket *socket, Scheme scheme, Service &service, QObject *parent = nullptr);
    ~Connection() override;

signals:
    void closed();

private:
    void onReadyRead();
    void act(const Reply &reply);
    void send(const HttpResponse &response);
    void closeNow();

    QTcpSocket *m_socket;
    Scheme m_scheme;
    Service &m_service;
    HttpRequestParser m_parser;
    QTimer m_timer;
    bool m_continueSent = false;
    bool m_requestDone = false;
};

} // namespace kavri::sim
