#include "printing/Unprinted.h"

#include "services/EventLog.h"
#include "services/IniFile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

namespace {

QJsonObject stored(const UnprintedTicket &t)
{
    return {{u"slot"_s, t.slot}, {u"text"_s, t.text}, {u"failedAt"_s, t.failedAt.toString(Qt::ISODate)}};
}

} // namespace

void UnprintedTickets::load(const QString &path, const QDateTime &now)
{
    m_path = path;
    m_tickets.clear();
    // A link in its place (even a dangling one) is no missing file: it is logged below.
    if (const QFileInfo info(path); path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return;
    QJsonParseError error{};
    QJsonDocument document;
    if (const std::optional<QByteArray> bytes = ini::readFile(path, false))
        document = QJsonDocument::fromJson(*bytes, &error);
    if (!document.isArray()) {
        WriteLog(u"미출력 티켓 파일을 읽을 수 없어 무시함: "_s + path);
        return;
    }
    qsizetype skipped = 0;
    for (const QJsonValue &value : document.array()) {
        const QJsonObject o = value.toObject();
        UnprintedTicket t{o.value(u"slot"_s).toString(), o.value(u"text"_s).toString(),
                          QDateTime::fromString(o.value(u"failedAt"_s).toString(), Qt::ISODate)};
        if (t.slot.isEmpty() || t.text.isEmpty() || !t.failedAt.isValid() || t.text.size() > MaxTicketChars ||
            m_tickets.size() >= MaxTickets) {
            ++skipped;
            continue;
        }
        append(t);
    }
    if (skipped)
        WriteLog(u"미출력 티켓 파일의 잘못된 항목 "_s + QString::number(skipped) + u"건 무시함: "_s + path);
    expire(now);
}

void UnprintedTickets::add(const QString &slot, const QString &text, const QDateTime &now)
{
    if (slot.isEmpty() || text.isEmpty())
        return;
    if (text.size() > MaxTicketChars ||
        QJsonDocument(QJsonArray{stored({slot, text, now})}).toJson(QJsonDocument::Compact).size() >
            MaxTicketBytes) {
        WriteLog(u"미출력 티켓이 너무 길어 다시 보내지 않음: "_s + slot);
        return;
    }
    expire(now);
    while (m_tickets.size() >= MaxTickets) {
        WriteLog(u"미출력 티켓이 너무 많아 가장 오래된 것을 버림: "_s + m_tickets.first().slot);
        m_tickets.removeFirst();
    }
    append({slot, text, now});
    save();
}

void UnprintedTickets::append(UnprintedTicket ticket)
{
    ticket.id = m_nextId++;
    m_tickets.append(ticket);
}

void UnprintedTickets::expire(const QDateTime &now)
{
    qsizetype dropped = 0;
    while (!m_tickets.isEmpty() && m_tickets.first().failedAt.secsTo(now) > MaxAgeSeconds) {
        m_tickets.removeFirst();
        ++dropped;
    }
    if (dropped) {
        WriteLog(u"미출력 티켓 "_s + QString::number(dropped) + u"건이 3시간을 넘어 버림"_s);
        save();
    }
}

int UnprintedTickets::retry(const QDateTime &now,
                            const std::function<bool(const QString &, const QString &)> &send)
{
    // A retry sends and so lets events run; one asked for meanwhile would send the same tickets.
    if (m_retrying || !send)
        return 0;
    m_retrying = true;
    expire(now);
    // The tickets owed when the retry starts; one kept while it runs waits for the next poll.
    QList<quint64> due;
    due.reserve(m_tickets.size());
    for (const UnprintedTicket &t : std::as_const(m_tickets))
        due.append(t.id);
    const auto byId = [this](quint64 id) {
        return std::find_if(m_tickets.cbegin(), m_tickets.cend(),
                            [id](const UnprintedTicket &t) { return t.id == id; });
    };
    QSet<QString> stuck;
    int sent = 0;
    for (const quint64 id : std::as_const(due)) {
        const auto it = byId(id);
        if (it == m_tickets.cend() || stuck.contains(it->slot))
            continue; // dropped meanwhile, or its printer is still out
        const UnprintedTicket ticket = *it;
        // Out of the list before it is sent: whatever runs meanwhile never sends it twice.
        m_tickets.erase(it);
        const quint64 savesBefore = m_saves;
        if (send(ticket.slot, ticket.text)) {
            ++sent;
            save();
            continue;
        }
        stuck.insert(ticket.slot);
        // Back in its place by age: tickets may have been kept or dropped meanwhile.
        const auto at = std::find_if(m_tickets.cbegin(), m_tickets.cend(),
                                     [id](const UnprintedTicket &t) { return t.id > id; });
        m_tickets.insert(at - m_tickets.cbegin(), ticket);
        bool changed = m_saves != savesBefore;
        while (m_tickets.size() > MaxTickets) {
            WriteLog(u"미출력 티켓이 너무 많아 가장 오래된 것을 버림: "_s + m_tickets.first().slot);
            m_tickets.removeFirst();
            changed = true;
        }
        // A file written while it was out of the list lacks it.
        if (changed)
            save();
    }
    m_retrying = false;
    return sent;
}

void UnprintedTickets::clear()
{
    m_tickets.clear();
    save();
}

void UnprintedTickets::save()
{
    if (m_path.isEmpty())
        return;
    ++m_saves;
    QJsonArray array;
    for (const UnprintedTicket &t : std::as_const(m_tickets))
        array.append(stored(t));
    ini::Access access;
    access.encoding = IniEncoding::Utf8;
    access.followLinks = false;
    const bool ok = ini::writeFile(m_path, QJsonDocument(array).toJson(QJsonDocument::Compact), access);
    // One line when the file stops taking the list, one when it takes it again.
    if (!ok && !m_saveFailing)
        WriteLog(u"미출력 티켓 파일을 쓰지 못함: "_s + m_path);
    else if (ok && m_saveFailing)
        WriteLog(u"미출력 티켓 파일 쓰기 복구: "_s + m_path);
    m_saveFailing = !ok;
}

UnprintedTickets &unprintedTickets()
{
    static UnprintedTickets list;
    return list;
}

} // namespace kavri
