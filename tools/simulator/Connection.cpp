#include "Connection.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace kavri::sim {

Connection::Connection(QTcpSocket *socket, Scheme scheme, Service &service, QObject *parent)
    : QObject(parent), m_socket(socket), m_scheme(scheme), m_service(service)
{
    m_socket->setParent(this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Connection::closeNow);
    connect(m_socket, &QAbstractSocket::readyRead, this, &Connection::onReadyRead);
    connect(m_socket, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    });
    m_timer.start(requestTimeoutMs);
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &Connection::onReadyRead);
}

Connection::~Connection()
{
    emit closed();
}

void Connection::closeNow()
{
    m_socket->abort();
    deleteLater();
}

void Connection::onReadyRead()
{
    const QByteArray data = m_socket->readAll();
    if (m_requestDone)
        return; // one request per connection; anything after it is dropped
    switch (m_parser.feed(data)) {
    case HttpRequestParser::State::NeedMore:
        if (m_parser.wantsContinue() && !m_continueSent) {
            m_continueSent = true;
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        }
        return;
    case HttpRequestParser::State::Failed:
        m_requestDone = true;
        send(textResponse(m_parser.errorStatus(), m_parser.errorText()));
        return;
    case HttpRequestParser::State::Complete:
        m_requestDone = true;
        act(m_service.handle(m_parser.request(), m_scheme));
        return;
    }
}

void Connection::act(const Reply &reply)
{
    switch (reply.kind) {
    case Reply::Kind::Drop:
        m_timer.stop();
        m_socket->disconnectFromHost();
        m_timer.start(lingerTimeoutMs);
        return;
    case Reply::Kind::Hang:
        // Held until the client gives up; the connection limit bounds how many can pile up.
        m_timer.stop();
        return;
    case Reply::Kind::Stall: {
        // The head and the first bytes of the body, then nothing more until the client gives up.
        m_timer.stop();
        const QByteArray whole = reply.response.serialize();
        const qsizetype head = whole.size() - reply.response.body.size();
        m_socket->write(whole.left(head + reply.stallAfter));
        return;
    }
    case Reply::Kind::Answer:
        break;
    }
    if (reply.delayMs > 0) {
        m_timer.stop();
        const HttpResponse response = reply.response;
        QTimer::singleShot(reply.delayMs, this, [this, response] { send(response); });
        return;
    }
    send(reply.response);
}

void Connection::send(const HttpResponse &response)
{
    m_timer.stop();
    m_socket->write(response.serialize());
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_timer.start(lingerTimeoutMs);
}

} // namespace kavri::sim
