#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace kavri::sim {

struct Table
{
    int number = 0; ///< "nums" of the table list, 1.. within the shop
    QString group;
    QString name;
    bool active = true; ///< tableYN
};

struct Shop
{
    QString id;
    QString password;
    QString name;
    QList<Table> tables;
};

struct CustomerRequest
{
    qint64 number = 0;
    QString shopId;
    QString group;
    QString table;
    QString text;    ///< as the customer typed it (unescaped)
    QString payType; ///< "card", "cash" or empty
    QString regDate; ///< local time "yyyy-MM-dd hh:mm:ss"
    int count = 1;
    bool done = false;
};

/// Shops, their tables and the customer requests. Numbers grow across all shops and never repeat,
/// also across restarts when a state file is used.
class ShopState
{
public:
    static constexpr const char *regDateFormat = "yyyy-MM-dd hh:mm:ss";

    void addShop(const Shop &shop); ///< replaces a shop with the same id
    bool setTables(const QString &shopId, const QList<Table> &tables);

    const Shop *shop(const QString &id) const;
    /// The shop when the id and the password match exactly, else null.
    const Shop *login(const QString &id, const QString &password) const;
    const Table *table(const QString &shopId, const QString &name) const;

    /// Bound on the requests held; the oldest confirmed ones make room first.
    static constexpr qsizetype maxRequests = 20000;

    /// Adds an open request; regDate empty means now. Returns the new number, or 0 when
    /// the store is full of open requests.
    qint64 addRequest(CustomerRequest request);
    enum class ConfirmResult { Confirmed, AlreadyDone, Unknown };
    ConfirmResult confirm(const QString &shopId, qint64 number);

    /// Open requests of a shop, highest number first.
    QList<CustomerRequest> openRequests(const QString &shopId) const;
    const QList<CustomerRequest> &allRequests() const { return m_requests; }

    /// Requests and the next number are kept in a JSON file when one is set.
    void setStateFile(const QString &path) { m_stateFile = path; }
    bool load(QString *error);
    bool save() const;

    static bool isValidRegDate(const QString &text);

private:
    QList<Shop> m_shops;
    QList<CustomerRequest> m_requests;
    qint64 m_nextNumber = 1001;
    QString m_stateFile;
};

} // namespace kavri::sim
