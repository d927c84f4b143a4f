#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace kavri::platform {

/// Where the copy that runs in `appFolder` hears of a second start: a socket in
/// this user's runtime folder ($XDG_RUNTIME_DIR), named after the application
/// folder, as the single-instance lock is. Empty when there is no runtime folder.
QString raiseChannelPath(const QString &appFolder);

/// The running copy's end of the channel. It takes one fixed message and nothing
/// else: a few bytes from a few connections at a time, each closed as soon as it
/// has said it, said something else, or stayed silent for a second.
class RaiseListener
{
public:
    RaiseListener();
    ~RaiseListener();
    RaiseListener(const RaiseListener &) = delete;
    RaiseListener &operator=(const RaiseListener &) = delete;

    /// The one message: "bring your board to the front".
    static inline const QByteArray Message = QByteArrayLiteral("RAISE\n");
    static constexpr int ConnectionsAtOnce = 4;
    static constexpr int SilenceMs = 1000;

    /// Listens at `path` (a socket of mode 0600, in place of one a crashed copy
    /// left; the caller holds the instance lock). `raise` runs for every message.
    /// False with `error` set when it cannot listen.
    bool listen(const QString &path, std::function<void()> raise, QString *error);
    bool isListening() const;

private:
    void take(QLocalSocket *socket);

    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_raise;
};

/// The second copy's end: asks the copy listening at `path` to bring its board to
/// the front. False when nobody took the message within `timeoutMs`.
bool requestRaise(const QString &path, int timeoutMs = 1000);

} // namespace kavri::platform
