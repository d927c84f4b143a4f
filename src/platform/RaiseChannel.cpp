#include "platform/RaiseChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {

QString raiseChannelPath(const QString &appFolder)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    const QFileInfo folder(appFolder);
    const QString canonical = folder.canonicalFilePath();
    const QString name = canonical.isEmpty() ? QDir::cleanPath(folder.absoluteFilePath()) : canonical;
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex();
    return runtime + u"/kavri-display-"_s + QString::fromLatin1(digest.left(16)) + u".sock"_s;
}

RaiseListener::RaiseListener() = default;

RaiseListener::~RaiseListener() = default;

bool RaiseListener::isListening() const
{
    return m_server && m_server->isListening();
}

bool RaiseListener::listen(const QString &path, std::function<void()> raise, QString *error)
{
    m_server = std::make_unique<QLocalServer>();
    m_raise = std::move(raise);
    if (path.isEmpty()) {
        *error = u"실행 폴더($XDG_RUNTIME_DIR)가 없습니다"_s;
        return false;
    }
    // Only the holder of the instance lock gets here: a socket at the path is a
    // crashed copy's.
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(ConnectionsAtOnce);
    if (!m_server->listen(path)) {
        *error = m_server->errorString();
        return false;
    }
    ::chmod(QFile::encodeName(path).constData(), 0600);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            take(socket);
    });
    return true;
}

void RaiseListener::take(QLocalSocket *socket)
{
    // Bounded: a few connections at a time; one more is closed unheard.
    if (m_server->findChildren<QLocalSocket *>().size() > ConnectionsAtOnce) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    struct State
    {
        QByteArray received;
        bool done = false;
    };
    auto state = std::make_shared<State>();
    auto finish = [socket, state] {
        if (state->done)
            return;
        state->done = true;
        socket->abort();
        socket->deleteLater();
    };
    // Judges what has come so far: the message, its beginning, or anything else.
    auto judge = [this, socket, state, finish] {
        if (state->done)
            return;
        // One byte more than the message is enough to tell it from anything longer.
        state->received += socket->read(Message.size() + 1 - state->received.size());
        if (state->received == Message) {
            finish();
            if (m_raise)
                m_raise();
        } else if (!Message.startsWith(state->received)) {
            finish();
        }
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, judge);
    // A sender that closes right after its message: what it sent is still read.
    QObject::connect(socket, &QLocalSocket::disconnected, socket, [judge, finish] {
        judge();
        finish();
    });
    QTimer::singleShot(SilenceMs, socket, finish);
}

bool requestRaise(const QString &path, int timeoutMs)
{
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path, QIODevice::WriteOnly);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    if (socket.write(RaiseListener::Message) != RaiseListener::Message.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace kavri::platform
