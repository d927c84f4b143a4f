#include "support/MariaDbServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

#include <mysql.h>

using namespace Qt::StringLiterals;

namespace kavri::test {
namespace {

QString findTool(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/usr/local/sbin"_s, u"/usr/bin"_s});
    return path;
}

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

const char *const createTables[] = {
    "CREATE TABLE TNV_Vadn_PatchTB ("
    " P_AUTO INT NOT NULL AUTO_INCREMENT PRIMARY KEY,"
    " P_TYPE VARCHAR(10) NOT NULL DEFAULT '',"
    " P_USE CHAR(1) NOT NULL DEFAULT 'F',"
    " P_USE_DEV CHAR(1) NOT NULL DEFAULT 'F',"
    " P_USE_FORCE CHAR(1) NOT NULL DEFAULT 'F',"
    " P_VERSION VARCHAR(30) NULL,"
    " P_SIZE VARCHAR(20) NULL,"
    " P_MEMO VARCHAR(200) NULL"
    ") DEFAULT CHARSET=utf8mb4",
    "CREATE TABLE TNV_Vadn_PatchItemTB ("
    " P_AUTO INT NOT NULL AUTO_INCREMENT PRIMARY KEY,"
    " P_TYPE VARCHAR(10) NOT NULL DEFAULT '',"
    " P_VERSION VARCHAR(30) NOT NULL DEFAULT '',"
    " P_BRANCH VARCHAR(40) NOT NULL DEFAULT '',"
    " P_COMP_NAME VARCHAR(100) NOT NULL DEFAULT '',"
    " P_MAC VARCHAR(50) NOT NULL DEFAULT '',"
    " P_OS VARCHAR(50) NOT NULL DEFAULT '',"
    " P_KIND VARCHAR(20) NOT NULL DEFAULT '',"
    " P_APP_PATH VARCHAR(255) NOT NULL DEFAULT '',"
    " P_DOWN_PROG VARCHAR(2) NOT NULL DEFAULT '',"
    " P_DOWN_OK VARCHAR(2) NOT NULL DEFAULT '',"
    " P_DATE TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP"
    ") DEFAULT CHARSET=utf8mb4",
};

} // namespace

bool MariaDbServer::binariesPresent()
{
    return !findTool(u"mariadb-install-db"_s).isEmpty() && !findTool(u"mariadbd"_s).isEmpty();
}

MariaDbServer::MariaDbServer()
{
    if (!start())
        stop();
}

MariaDbServer::~MariaDbServer()
{
    stop();
}

bool MariaDbServer::start()
{
    if (!m_dir.isValid()) {
        m_error = u"no temporary folder"_s;
        return false;
    }
    const QString data = m_dir.filePath(u"data"_s);
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(findTool(u"mariadb-install-db"_s),
                  {u"--no-defaults"_s, u"--datadir="_s + data, u"--user=root"_s,
                   u"--auth-root-authentication-method=normal"_s, u"--skip-test-db"_s});
    if (!install.waitForFinished(120000) || install.exitCode() != 0) {
        install.kill();
        install.waitForFinished(5000);
        m_error = u"mariadb-install-db failed: "_s + QString::fromLocal8Bit(install.readAll().right(2000));
        return false;
    }

    // A free port can be taken by someone else before the server binds it: try a few.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const quint16 port = freeLoopbackPort();
        if (port == 0)
            continue;
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(findTool(u"mariadbd"_s),
                       {u"--no-defaults"_s, u"--datadir="_s + data, u"--user=root"_s,
                        u"--socket="_s + m_dir.filePath(u"mysqld.sock"_s),
                        u"--port="_s + QString::number(port), u"--bind-address=127.0.0.1"_s,
                        u"--skip-name-resolve"_s, u"--pid-file="_s + m_dir.filePath(u"mysqld.pid"_s),
                        u"--log-error="_s + m_dir.filePath(u"error.log"_s),
                        u"--innodb-buffer-pool-size=16M"_s, u"--character-set-server=utf8mb4"_s,
                        u"--skip-log-bin"_s});
        if (!m_server.waitForStarted(10000))
            continue;
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired() && m_server.state() == QProcess::Running) {
            if (adminConnection()) {
                m_port = port;
                break;
            }
            QThread::msleep(100);
        }
        if (m_port != 0)
            break;
        m_server.kill();
        m_server.waitForFinished(10000);
    }
    if (m_port == 0) {
        QFile log(m_dir.filePath(u"error.log"_s));
        log.open(QIODevice::ReadOnly);
        m_error = u"mariadbd did not become ready: "_s + QString::fromLocal8Bit(log.readAll().right(2000));
        return false;
    }
    const QString setup[] = {
        u"CREATE DATABASE mgmt DEFAULT CHARACTER SET utf8mb4"_s,
        u"CREATE USER 'qrpatcher'@'127.0.0.1' IDENTIFIED BY 'kel4783'"_s,
        u"CREATE USER 'qrpatcher'@'localhost' IDENTIFIED BY 'kel4783'"_s,
        u"GRANT SELECT, INSERT, UPDATE ON mgmt.* TO 'qrpatcher'@'127.0.0.1', 'qrpatcher'@'localhost'"_s,
        u"USE mgmt"_s,
    };
    for (const QString &sql : setup) {
        if (!exec(sql))
            return false;
    }
    for (const char *sql : createTables) {
        if (!exec(QString::fromUtf8(sql)))
            return false;
    }
    return true;
}

st_mysql *MariaDbServer::adminConnection()
{
    if (m_admin)
        return m_admin;
    MYSQL *mysql = mysql_init(nullptr);
    const unsigned int timeout = 5;
    mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(mysql, MYSQL_OPT_READ_TIMEOUT, &timeout);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const QByteArray socket = m_dir.filePath(u"mysqld.sock"_s).toLocal8Bit();
    if (!mysql_real_connect(mysql, nullptr, "root", nullptr, nullptr, 0, socket.constData(), 0)) {
        m_error = QString::fromUtf8(mysql_error(mysql));
        mysql_close(mysql);
        return nullptr;
    }
    m_admin = mysql;
    return m_admin;
}

bool MariaDbServer::exec(const QString &sql)
{
    MYSQL *mysql = adminConnection();
    if (!mysql)
        return false;
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        m_error = QString::fromUtf8(mysql_error(mysql)) + u" in: "_s + sql;
        return false;
    }
    // Statements with a result (none are expected here) are read and dropped.
    if (MYSQL_RES *res = mysql_store_result(mysql))
        mysql_free_result(res);
    return true;
}

std::optional<QList<QList<std::optional<QString>>>> MariaDbServer::rows(const QString &sql)
{
    MYSQL *mysql = adminConnection();
    if (!mysql)
        return std::nullopt;
    const QByteArray text = sql.toUtf8();
    if (mysql_real_query(mysql, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        m_error = QString::fromUtf8(mysql_error(mysql)) + u" in: "_s + sql;
        return std::nullopt;
    }
    MYSQL_RES *res = mysql_store_result(mysql);
    if (!res)
        return std::nullopt;
    QList<QList<std::optional<QString>>> out;
    const unsigned int count = mysql_num_fields(res);
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        const unsigned long *lengths = mysql_fetch_lengths(res);
        QList<std::optional<QString>> values;
        for (unsigned int c = 0; c < count; ++c) {
            if (row[c])
                values.append(QString::fromUtf8(row[c], static_cast<qsizetype>(lengths[c])));
            else
                values.append(std::nullopt);
        }
        out.append(values);
    }
    mysql_free_result(res);
    return out;
}

bool MariaDbServer::clearTables()
{
    return exec(u"DELETE FROM mgmt.TNV_Vadn_PatchTB"_s) && exec(u"DELETE FROM mgmt.TNV_Vadn_PatchItemTB"_s);
}

void MariaDbServer::stop()
{
    if (m_admin) {
        mysql_close(m_admin);
        m_admin = nullptr;
    }
    m_port = 0;
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(30000)) {
        m_server.kill();
        m_server.waitForFinished(10000);
    }
}

} // namespace kavri::test
