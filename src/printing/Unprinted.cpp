#include "printing/Unprinted.h"

#include "services/EventLog.h"
#include "services/IniFile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace kavri {

void UnprintedTickets::load(const QString &path, const QDateTime &now)
{
    m_path = path;
    m_tickets.clear();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    QJsonParseError error{};
    QJsonDocument document;
    if (const std::optional<QByteArray> bytes = ini::readFile(path, false))
        document = QJsonDocument::fromJson(*bytes, &error);
    if (!document.isArray()) {
        WriteLog(u"미출력 티켓 파일을 읽을 수 없어 무시함: "_s + path);
        return;
    }
    for (const QJsonValue &value : document.array()) {
        const QJsonObject o = value.toObject();
        UnprintedTicket t{o.value(u"slot"_s).toString(), o.value(u"text"_s).toString(),
                          QDateTime::fromString(o.value(u"failedAt"_s).toString(), Qt::ISODate)};
        if (t.slot.isEmpty() || t.text.isEmpty() || !t.failedAt.isValid())
            continue;
        m_tickets.append(t);
        if (m_tickets.size() >= MaxTickets)
            break;
    }
    expire(now);
}

void UnprintedTickets::add(const QString &slot, const QString &text, const QDateTime &now)
{
    if (slot.isEmpty() || text.isEmpty())
        return;
    if (text.size() > MaxTicketChars) {
        WriteLog(u"미출력 티켓이 너무 길어 다시 보내지 않음: "_s + slot);
        return;
    }
    expire(now);
    while (m_tickets.size() >= MaxTickets) {
        WriteLog(u"미출력 티켓이 너무 많아 가장 오래된 것을 버림: "_s + m_tickets.first().slot);
        m_tickets.removeFirst();
    }
    m_tickets.append({slot, text, now});
    save();
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
    QSet<QString> stuck;
    int sent = 0;
    for (qsizetype i = 0; i < m_tickets.size();) {
        const UnprintedTicket ticket = m_tickets.at(i);
        if (stuck.contains(ticket.slot)) {
            ++i;
            continue;
        }
        // Out of the list before it is sent: whatever runs meanwhile never sends it twice.
        m_tickets.removeAt(i);
        if (send(ticket.slot, ticket.text)) {
            ++sent;
            save();
            continue;
        }
        m_tickets.insert(i, ticket);
        stuck.insert(ticket.slot);
        ++i;
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
    QJsonArray array;
    for (const UnprintedTicket &t : std::as_const(m_tickets))
        array.append(QJsonObject{{u"slot"_s, t.slot},
                                 {u"text"_s, t.text},
                                 {u"failedAt"_s, t.failedAt.toString(Qt::ISODate)}});
    const QByteArray bytes = QJsonDocument(array).toJson(QJsonDocument::Compact);
    QSaveFile file(m_path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
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
