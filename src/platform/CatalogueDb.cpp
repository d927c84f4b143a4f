#include "platform/CatalogueDb.h"

#include "codec/Cp949.h"

#include <mysql.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

bool isEucKr(const QString &charset)
{
    return charset.compare(u"euckr"_s, Qt::CaseInsensitive) == 0;
}

class MariaDbConnection final : public DbConnection
{
public:
    MariaDbConnection(MYSQL *mysql, bool eucKr) : m_mysql(mysql), m_eucKr(eucKr) {}
    ~MariaDbConnection() override { mysql_close(m_mysql); }

    bool query(const QString &sql, const QStringList &params, DbRows *rows, int maxRows,
               QString *error) override;
    bool execute(const QString &sql, const QStringList &params, qint64 *affected, QString *error) override;

private:
    QByteArray encode(const QString &text) const { return m_eucKr ? codec::toCp949(text) : text.toUtf8(); }
    QString decode(const char *data, qsizetype size) const
    {
        const QByteArray bytes(data, size);
        return m_eucKr ? codec::fromCp949(bytes) : QString::fromUtf8(bytes);
    }
    /// Prepares and runs; the statement is closed by the caller.
    MYSQL_STMT *run(const QString &sql, const QStringList &params, QString *error);
    QString stmtError(MYSQL_STMT *stmt) const
    {
        return QString::number(mysql_stmt_errno(stmt)) + u" "_s + QString::fromUtf8(mysql_stmt_error(stmt));
    }

    MYSQL *m_mysql;
    bool m_eucKr;
};

MYSQL_STMT *MariaDbConnection::run(const QString &sql, const QStringList &params, QString *error)
{
    MYSQL_STMT *stmt = mysql_stmt_init(m_mysql);
    if (!stmt) {
        *error = QString::fromUtf8(mysql_error(m_mysql));
        return nullptr;
    }
    const QByteArray text = encode(sql);
    if (mysql_stmt_prepare(stmt, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        *error = stmtError(stmt);
        mysql_stmt_close(stmt);
        return nullptr;
    }
    if (mysql_stmt_param_count(stmt) != static_cast<unsigned long>(params.size())) {
        *error = u"매개변수 수가 맞지 않습니다."_s;
        mysql_stmt_close(stmt);
        return nullptr;
    }
    std::vector<QByteArray> values;
    std::vector<unsigned long> lengths(params.size());
    std::vector<MYSQL_BIND> binds(params.size());
    values.reserve(params.size());
    for (qsizetype i = 0; i < params.size(); ++i) {
        values.push_back(encode(params.at(i)));
        lengths[i] = static_cast<unsigned long>(values.back().size());
        MYSQL_BIND &b = binds[i];
        b = MYSQL_BIND{};
        b.buffer_type = MYSQL_TYPE_STRING;
        b.buffer = const_cast<char *>(values.back().constData());
        b.buffer_length = lengths[i];
        b.length = &lengths[i];
    }
    if ((!binds.empty() && mysql_stmt_bind_param(stmt, binds.data()) != 0) || mysql_stmt_execute(stmt) != 0) {
        *error = stmtError(stmt);
        mysql_stmt_close(stmt);
        return nullptr;
    }
    return stmt;
}

bool MariaDbConnection::query(const QString &sql, const QStringList &params, DbRows *rows, int maxRows,
                              QString *error)
{
    *rows = DbRows{};
    MYSQL_STMT *stmt = run(sql, params, error);
    if (!stmt)
        return false;
    MYSQL_RES *meta = mysql_stmt_result_metadata(stmt);
    if (!meta) {
        *error = u"결과가 없는 문장입니다."_s;
        mysql_stmt_close(stmt);
        return false;
    }
    const unsigned int count = mysql_num_fields(meta);
    const MYSQL_FIELD *fields = mysql_fetch_fields(meta);
    for (unsigned int c = 0; c < count; ++c)
        rows->columns.append(decode(fields[c].name, static_cast<qsizetype>(fields[c].name_length)));
    mysql_free_result(meta);

    constexpr unsigned long firstBuffer = 256;
    std::vector<std::vector<char>> buffers(count, std::vector<char>(firstBuffer));
    std::vector<unsigned long> lengths(count);
    std::vector<my_bool> nulls(count);
    std::vector<my_bool> errors(count);
    std::vector<MYSQL_BIND> binds(count);
    for (unsigned int c = 0; c < count; ++c) {
        MYSQL_BIND &b = binds[c];
        b = MYSQL_BIND{};
        b.buffer_type = MYSQL_TYPE_STRING;
        b.buffer = buffers[c].data();
        b.buffer_length = firstBuffer;
        b.length = &lengths[c];
        b.is_null = &nulls[c];
        b.error = &errors[c];
    }
    bool ok = count == 0 || mysql_stmt_bind_result(stmt, binds.data()) == 0;
    if (!ok)
        *error = stmtError(stmt);
    while (ok && rows->rows.size() < maxRows) {
        const int fetched = mysql_stmt_fetch(stmt);
        if (fetched == MYSQL_NO_DATA)
            break;
        if (fetched == 1) {
            *error = stmtError(stmt);
            ok = false;
            break;
        }
        QList<std::optional<QString>> row;
        for (unsigned int c = 0; c < count; ++c) {
            if (nulls[c]) {
                row.append(std::nullopt);
                continue;
            }
            const unsigned long size = std::min<unsigned long>(lengths[c], maxDbValueBytes);
            if (size <= firstBuffer) {
                row.append(decode(buffers[c].data(), static_cast<qsizetype>(size)));
                continue;
            }
            // A longer value: read it again whole (up to the bound) into a buffer of its size.
            std::vector<char> whole(size);
            unsigned long wholeLength = 0;
            MYSQL_BIND again{};
            again.buffer_type = MYSQL_TYPE_STRING;
            again.buffer = whole.data();
            again.buffer_length = size;
            again.length = &wholeLength;
            if (mysql_stmt_fetch_column(stmt, &again, c, 0) != 0) {
                *error = stmtError(stmt);
                ok = false;
                break;
            }
            row.append(decode(whole.data(), static_cast<qsizetype>(std::min(wholeLength, size))));
        }
        if (ok)
            rows->rows.append(row);
    }
    mysql_stmt_free_result(stmt);
    mysql_stmt_close(stmt);
    return ok;
}

bool MariaDbConnection::execute(const QString &sql, const QStringList &params, qint64 *affected,
                                QString *error)
{
    MYSQL_STMT *stmt = run(sql, params, error);
    if (!stmt)
        return false;
    if (affected)
        *affected = static_cast<qint64>(mysql_stmt_affected_rows(stmt));
    mysql_stmt_close(stmt);
    return true;
}

MariaDbDatabase g_mariaDb;

} // namespace

qsizetype DbRows::columnIndex(const QString &name) const
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> DbRows::value(qsizetype row, const QString &column) const
{
    const qsizetype c = columnIndex(column);
    if (c < 0 || row < 0 || row >= rows.size() || c >= rows.at(row).size())
        return std::nullopt;
    return rows.at(row).at(c);
}

std::unique_ptr<DbConnection> MariaDbDatabase::open(const DbTarget &target, QString *error)
{
    MYSQL *mysql = mysql_init(nullptr);
    if (!mysql) {
        *error = u"데이터베이스 연결을 만들 수 없습니다."_s;
        return nullptr;
    }
    const unsigned int connectTimeout = static_cast<unsigned int>(std::max(1, target.connectTimeoutS));
    const unsigned int readTimeout = static_cast<unsigned int>(std::max(1, target.readTimeoutS));
    const unsigned int writeTimeout = static_cast<unsigned int>(std::max(1, target.writeTimeoutS));
    const unsigned int protocol = MYSQL_PROTOCOL_TCP;
    const QByteArray charset = (isEucKr(target.charset) ? u"euckr"_s : target.charset).toLatin1();
    mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(mysql, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_options(mysql, MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    mysql_options(mysql, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, charset.constData());

    const bool eucKr = isEucKr(target.charset);
    auto enc = [eucKr](const QString &s) { return eucKr ? codec::toCp949(s) : s.toUtf8(); };
    const QByteArray host = target.host.toUtf8();
    const QByteArray user = enc(target.user);
    const QByteArray password = enc(target.password);
    const QByteArray db = enc(target.database);
    if (!mysql_real_connect(mysql, host.constData(), user.constData(), password.constData(), db.constData(),
                            target.port, nullptr, 0)) {
        *error = QString::number(mysql_errno(mysql)) + u" "_s + QString::fromUtf8(mysql_error(mysql));
        mysql_close(mysql);
        return nullptr;
    }
    return std::make_unique<MariaDbConnection>(mysql, eucKr);
}

Database &database()
{
    return g_mariaDb;
}

} // namespace kavri::platform
