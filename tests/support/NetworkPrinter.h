#pragma once

#include "support/PrinterStatusBytes.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace kavri::test {

/// A network receipt printer on loopback for tests, in the test's own process
/// (the program's waits run events, so it is served meanwhile): it takes raw
/// ESC/POS on TCP, records the ticket bytes and answers DLE EOT n with the
/// status the test sets. It can stop reading (a printer that hangs), cut a
/// connection after some bytes (dropped mid-ticket) or refuse connections.
class NetworkPrinter : public QObject
{
public:
    NetworkPrinter();

    quint16 port() const { return m_port; }
    /// The Deploy.ini [Ports] line that leads to it.
    QString portLine() const;

    void setStatus(TestStatus status) { m_status = status; }
    /// Stops reading (the connection stays open, the bytes pile up) / reads again.
    void setReading(bool reading);
    /// Cuts every connection once it has received `bytes` ticket bytes (-1: never).
    void dropAfter(qsizetype bytes) { m_dropAfter = bytes; }
    /// Stops listening: connections are refused / listens again on the same port.
    void setRefusing(bool refusing);

    /// The ticket bytes received so far, over every connection.
    QByteArray received() const { return m_received; }
    /// Waits (events run) until `count` ticket bytes have come or `ms` passed.
    bool waitForBytes(qsizetype count, int ms = 5000);
    int connections() const { return m_connections; }
    int statusRequests() const { return m_requests.count(); }

private:
    void listen(quint16 port);
    void serve(class QTcpSocket *socket);
    void readFrom(QTcpSocket *socket);

    QTcpServer m_server;
    quint16 m_port = 0;
    TestStatus m_status = TestStatus::Ready;
    StatusRequests m_requests;
    QByteArray m_received;
    qsizetype m_dropAfter = -1;
    qsizetype m_sinceConnect = 0;
    int m_connections = 0;
    bool m_reading = true;
};

} // namespace kavri::test
