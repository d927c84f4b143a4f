#include "support/NetworkPrinter.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace kavri::test {

NetworkPrinter::NetworkPrinter()
{
    listen(0);
    m_port = m_server.serverPort();
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString NetworkPrinter::portLine() const
{
    return u"tcp://127.0.0.1:"_s + QString::number(m_port);
}

void NetworkPrinter::setReading(bool reading)
{
    m_reading = reading;
    if (!reading)
        return;
    for (QTcpSocket *socket : findChildren<QTcpSocket *>())
        readFrom(socket);
}

void NetworkPrinter::setRefusing(bool refusing)
{
    if (refusing)
        m_server.close();
    else if (!m_server.isListening())
        listen(m_port);
}

void NetworkPrinter::listen(quint16 port)
{
    m_server.listen(QHostAddress::LocalHost, port);
    // A small window from the first packet on, as a printer's: a printer that stops
    // reading soon stops the sender, and a connection cut leaves bytes unacknowledged.
    const int size = 4096;
    ::setsockopt(int(m_server.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

void NetworkPrinter::serve(QTcpSocket *socket)
{
    ++m_connections;
    m_sinceConnect = 0;
    socket->setParent(this);
    socket->setReadBufferSize(4096);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    readFrom(socket);
}

void NetworkPrinter::readFrom(QTcpSocket *socket)
{
    if (!m_reading || socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray bytes = socket->readAll();
    if (m_dropAfter >= 0 && m_sinceConnect + bytes.size() > m_dropAfter) {
        bytes.truncate(m_dropAfter - m_sinceConnect);
        m_received += m_requests.feed(bytes, m_status, [](const QByteArray &) {});
        socket->abort();
        socket->deleteLater();
        return;
    }
    const QByteArray ticket =
        m_requests.feed(bytes, m_status, [socket](const QByteArray &answer) { socket->write(answer); });
    m_sinceConnect += ticket.size();
    m_received += ticket;
}

bool NetworkPrinter::waitForBytes(qsizetype count, int ms)
{
    return QTest::qWaitFor([&] { return m_received.size() >= count; }, ms);
}

} // namespace kavri::test
