#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

struct st_mysql;

namespace kavri::test {

/// A private MariaDB server for one test program: a fresh data folder in a
/// temporary folder (mariadb-install-db), mariadbd on a free loopback port with
/// its socket in that folder, the catalogue database "mgmt" with its two tables
/// and the catalogue account; stopped and removed when destroyed.
class MariaDbServer
{
public:
    static inline const QString user = QStringLiteral("qrpatcher");
    static inline const QString password = QStringLiteral("kel4783");

    MariaDbServer();
    ~MariaDbServer();
    MariaDbServer(const MariaDbServer &) = delete;
    MariaDbServer &operator=(const MariaDbServer &) = delete;

    /// False when the server binaries are not installed (a reason to skip).
    static bool binariesPresent();

    bool isRunning() const { return m_port != 0; }
    QString errorString() const { return m_error; }
    quint16 port() const { return m_port; }
    QString serverAddress() const { return QStringLiteral("127.0.0.1:") + QString::number(m_port); }

    /// Runs statements as the administrator, in utf8mb4, on "mgmt". False with the error kept.
    bool exec(const QString &sql);
    /// Rows of a query as text (NULL as an empty optional), in utf8mb4.
    std::optional<QList<QList<std::optional<QString>>>> rows(const QString &sql);
    /// Empties both tables.
    bool clearTables();

    /// Stops the server (SIGTERM, then kill) and waits for it.
    void stop();

private:
    bool start();
    st_mysql *adminConnection();

    QTemporaryDir m_dir;
    QProcess m_server;
    quint16 m_port = 0;
    QString m_error;
    st_mysql *m_admin = nullptr;
};

} // namespace kavri::test
