#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace kavri::platform {

/// Where and how a catalogue connection is made.
struct DbTarget
{
    QString host;
    quint16 port = 3306;
    QString user;
    QString password;
    QString database;
    /// The connection character set: "euckr" (text travels as CP949 bytes) or "utf8mb4".
    QString charset = QStringLiteral("euckr");
    /// A dead or silent server must not hold the caller longer than these.
    int connectTimeoutS = 5;
    int readTimeoutS = 15;
    int writeTimeoutS = 15;
};

/// The rows of one query, every value as text (NULL as nullopt).
struct DbRows
{
    QStringList columns;
    QList<QList<std::optional<QString>>> rows;

    /// Index of a column, without regard to case; -1 when absent.
    qsizetype columnIndex(const QString &name) const;
    /// The value of a column of a row; nullopt for NULL, a missing row or column.
    std::optional<QString> value(qsizetype row, const QString &column) const;
};

/// One open connection. Every value reaches the server as a bound parameter of
/// a prepared statement ("?" in the statement text); nothing is spliced in.
class DbConnection
{
public:
    virtual ~DbConnection() = default;
    /// Runs a query and reads at most `maxRows` rows of its result.
    virtual bool query(const QString &sql, const QStringList &params, DbRows *rows, int maxRows,
                       QString *error) = 0;
    /// Runs a statement that returns no rows; `affected` gets the rows it changed.
    virtual bool execute(const QString &sql, const QStringList &params, qint64 *affected, QString *error) = 0;
};

/// Opens connections to the catalogue database.
class Database
{
public:
    virtual ~Database() = default;
    /// A fresh connection, or nullptr with `error` set.
    virtual std::unique_ptr<DbConnection> open(const DbTarget &target, QString *error) = 0;
};

/// MariaDB Connector/C (libmariadb).
class MariaDbDatabase final : public Database
{
public:
    std::unique_ptr<DbConnection> open(const DbTarget &target, QString *error) override;
};

/// The catalogue's database: MariaDB.
Database &database();

/// Longest text value read from a column; longer values are cut.
inline constexpr qsizetype maxDbValueBytes = 64 * 1024;

} // namespace kavri::platform
