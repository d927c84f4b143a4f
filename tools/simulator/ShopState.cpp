#include "ShopState.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::sim {

void ShopState::addShop(const Shop &shop)
{
    for (Shop &s : m_shops) {
        if (s.id == shop.id) {
            s = shop;
            return;
        }
    }
    m_shops.append(shop);
}

bool ShopState::setTables(const QString &shopId, const QList<Table> &tables)
{
    for (Shop &s : m_shops) {
        if (s.id == shopId) {
            s.tables = tables;
            return true;
        }
    }
    return false;
}

const Shop *ShopState::shop(const QString &id) const
{
    for (const Shop &s : m_shops) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

const Shop *ShopState::login(const QString &id, const QString &password) const
{
    const Shop *s = shop(id);
    return s && !id.isEmpty() && s->password == password ? s : nullptr;
}

const Table *ShopState::table(const QString &shopId, const QString &name) const
{
    const Shop *s = shop(shopId);
    if (!s)
        return nullptr;
    for (const Table &t : s->tables) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

bool ShopState::isValidRegDate(const QString &text)
{
    const QDateTime dt = QDateTime::fromString(text, QLatin1StringView(regDateFormat));
    return dt.isValid() && dt.toString(QLatin1StringView(regDateFormat)) == text;
}

qint64 ShopState::addRequest(CustomerRequest request)
{
    if (m_requests.size() >= maxRequests) {
        const auto firstDone = std::find_if(m_requests.begin(), m_requests.end(),
                                            [](const CustomerRequest &r) { return r.done; });
        if (firstDone == m_requests.end())
            return 0;
        m_requests.erase(firstDone);
    }
    request.number = m_nextNumber++;
    if (request.regDate.isEmpty())
        request.regDate = QDateTime::currentDateTime().toString(QLatin1StringView(regDateFormat));
    if (request.group.isEmpty()) {
        if (const Table *t = table(request.shopId, request.table))
            request.group = t->group;
    }
    m_requests.append(request);
    save();
    return request.number;
}

ShopState::ConfirmResult ShopState::confirm(const QString &shopId, qint64 number)
{
    for (CustomerRequest &r : m_requests) {
        if (r.number == number && r.shopId == shopId) {
            if (r.done)
                return ConfirmResult::AlreadyDone;
            r.done = true;
            save();
            return ConfirmResult::Confirmed;
        }
    }
    return ConfirmResult::Unknown;
}

QList<CustomerRequest> ShopState::openRequests(const QString &shopId) const
{
    QList<CustomerRequest> open;
    for (const CustomerRequest &r : m_requests) {
        if (r.shopId == shopId && !r.done)
            open.append(r);
    }
    std::sort(open.begin(), open.end(),
              [](const CustomerRequest &a, const CustomerRequest &b) { return a.number > b.number; });
    return open;
}

bool ShopState::load(QString *error)
{
    if (m_stateFile.isEmpty())
        return true;
    QFile file(m_stateFile);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"상태 파일을 열 수 없습니다: "_s + m_stateFile;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        *error =
            u"상태 파일을 읽을 수 없습니다: "_s + m_stateFile + u" ("_s + parseError.errorString() + u')';
        return false;
    }
    const QJsonObject root = doc.object();
    QList<CustomerRequest> requests;
    qint64 highest = 0;
    for (const QJsonValue &v : root.value(u"requests"_s).toArray()) {
        const QJsonObject o = v.toObject();
        CustomerRequest r;
        r.number = o.value(u"number"_s).toInteger();
        r.shopId = o.value(u"shop"_s).toString();
        r.group = o.value(u"group"_s).toString();
        r.table = o.value(u"table"_s).toString();
        r.text = o.value(u"text"_s).toString();
        r.payType = o.value(u"paytype"_s).toString();
        r.regDate = o.value(u"regdate"_s).toString();
        r.count = o.value(u"count"_s).toInt(1);
        r.done = o.value(u"done"_s).toBool();
        if (r.number <= 0 || r.shopId.isEmpty())
            continue;
        highest = std::max(highest, r.number);
        requests.append(r);
    }
    m_requests = requests;
    m_nextNumber = std::max({m_nextNumber, highest + 1, root.value(u"next"_s).toInteger()});
    return true;
}

bool ShopState::save() const
{
    if (m_stateFile.isEmpty())
        return true;
    QJsonArray requests;
    for (const CustomerRequest &r : m_requests) {
        requests.append(QJsonObject{{u"number"_s, r.number},
                                    {u"shop"_s, r.shopId},
                                    {u"group"_s, r.group},
                                    {u"table"_s, r.table},
                                    {u"text"_s, r.text},
                                    {u"paytype"_s, r.payType},
                                    {u"regdate"_s, r.regDate},
                                    {u"count"_s, r.count},
                                    {u"done"_s, r.done}});
    }
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(QJsonObject{{u"next"_s, m_nextNumber}, {u"requests"_s, requests}}).toJson());
    return file.commit();
}

} // namespace kavri::sim
