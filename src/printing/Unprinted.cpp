#include "printing/Unprinted.h"

#include "printing/Ticket.h"
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

const QString kSendingKey = u"sending"_s;

QJsonObject stored(const UnprintedTicket &t, bool sending = false)
{
    QJsonObject o{
        {u"slot"_s, t.slot}, {u"text"_s, t.text}, {u"failedAt"_s, t.failedAt.toString(Qt::ISODate)}};
    // Only while it goes out; a reader that knows no such key ignores it.
    if (sending)
        o.insert(kSendingKey, true);
    return o;
}

} // namespace

void UnprintedTickets::load(const QString &path, const QDateTime &now)
{
    m_path = path;
    m_tickets.clear();
    m_out.reset();
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
    QList<UnprintedTicket> read;
    qsizetype skipped = 0;
    qsizetype repeats = 0;
    for (const QJsonValue &value : document.array()) {
        const QJsonObject o = value.toObject();
        UnprintedTicket t{o.value(u"slot"_s).toString(), o.value(u"text"_s).toString(),
                          QDateTime::fromString(o.value(u"failedAt"_s).toString(), Qt::ISODate)};
        if (t.slot.isEmpty() || t.text.isEmpty() || !t.failedAt.isValid() || t.text.size() > MaxTicketChars) {
            ++skipped;
            continue;
        }
        // The program ended while it went out: it may have come out whole, so the
        // kitchen must be able to tell the second copy from a new request.
        if (o.value(kSendingKey).toBool()) {
            ++repeats;
            if (!hasReprintLine(t.text))
                t.text = withReprintLine(t.text);
        }
        read.append(t);
    }
    if (skipped)
        WriteLog(u"미출력 티켓 파일의 잘못된 항목 "_s + QString::number(skipped) + u"건 무시함: "_s + path);
    if (repeats)
        WriteLog(u"보내는 중에 프로그램이 끝난 미출력 티켓 "_s + QString::number(repeats) +
                 u"건은 [재출력] 표시를 붙여 다시 보냄"_s);
    // Oldest first, whatever order a hand-edited file has.
    std::stable_sort(read.begin(), read.end(), [](const UnprintedTicket &a, const UnprintedTicket &b) {
        return a.failedAt < b.failedAt;
    });
    for (const UnprintedTicket &t : std::as_const(read))
        append(t);
    expire(now);
    trimToNewest();
    // The file says "being sent" no longer; the list holds the marked copy.
    if (repeats)
        save();
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

void UnprintedTickets::trimToNewest()
{
    const qsizetype over = m_tickets.size() - MaxTickets;
    if (over <= 0)
        return;
    m_tickets.remove(0, over);
    WriteLog(u"미출력 티켓이 "_s + QString::number(MaxTickets) + u"건을 넘어 가장 오래된 "_s +
             QString::number(over) + u"건을 버림"_s);
    save();
}

void UnprintedTickets::expire(const QDateTime &now)
{
    // Every ticket by its own time: one dated ahead must not shelter older ones behind it.
    qsizetype tooOld = 0;
    qsizetype ahead = 0;
    m_tickets.removeIf([&](const UnprintedTicket &t) {
        const qint64 age = t.failedAt.secsTo(now);
        tooOld += age > MaxAgeSeconds;
        ahead += age < -FutureToleranceSeconds;
        return age > MaxAgeSeconds || age < -FutureToleranceSeconds;
    });
    if (tooOld)
        WriteLog(u"미출력 티켓 "_s + QString::number(tooOld) + u"건이 3시간을 넘어 버림"_s);
    if (ahead)
        WriteLog(u"미출력 티켓 "_s + QString::number(ahead) + u"건의 실패 시각이 지금보다 뒤라서 버림"_s);
    if (tooOld || ahead)
        save();
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
        // Out of the list before it is sent: whatever runs meanwhile never sends it twice.
        // Every file written meanwhile still holds it (save() writes it in its place).
        m_out = Out{*it};
        m_tickets.erase(it);
        const quint64 savesBefore = m_saves;
        const bool delivered = send(m_out->ticket.slot, m_out->ticket.text);
        const Out out = *m_out;
        m_out.reset();
        if (delivered) {
            ++sent;
            save();
            continue;
        }
        stuck.insert(out.ticket.slot);
        bool changed = m_saves != savesBefore;
        if (!out.dropped) {
            // Back in its place by age: tickets may have been kept or dropped meanwhile.
            const auto at = std::find_if(m_tickets.cbegin(), m_tickets.cend(),
                                         [id](const UnprintedTicket &t) { return t.id > id; });
            m_tickets.insert(at - m_tickets.cbegin(), out.ticket);
        }
        while (m_tickets.size() > MaxTickets) {
            WriteLog(u"미출력 티켓이 너무 많아 가장 오래된 것을 버림: "_s + m_tickets.first().slot);
            m_tickets.removeFirst();
            changed = true;
        }
        // A file written while it was out marks it as being sent, or no longer lists a dropped one.
        if (changed)
            save();
    }
    m_retrying = false;
    return sent;
}

void UnprintedTickets::markSending()
{
    if (!m_out || m_out->marked)
        return;
    m_out->marked = true;
    save();
}

qsizetype UnprintedTickets::drop(quint64 throughId)
{
    const qsizetype dropped =
        m_tickets.removeIf([throughId](const UnprintedTicket &t) { return t.id <= throughId; });
    const bool outDropped = m_out && !m_out->dropped && m_out->ticket.id <= throughId;
    if (outDropped)
        m_out->dropped = true;
    if (dropped || outDropped)
        save();
    return dropped;
}

void UnprintedTickets::clear()
{
    m_tickets.clear();
    if (m_out)
        m_out->dropped = true;
    save();
}

void UnprintedTickets::save()
{
    if (m_path.isEmpty())
        return;
    ++m_saves;
    QJsonArray array;
    // The ticket out being sent stays in the file, in its place, until it went out whole.
    bool outWritten = !m_out || m_out->dropped;
    for (const UnprintedTicket &t : std::as_const(m_tickets)) {
        if (!outWritten && m_out->ticket.id < t.id) {
            array.append(stored(m_out->ticket, m_out->marked));
            outWritten = true;
        }
        array.append(stored(t));
    }
    if (!outWritten)
        array.append(stored(m_out->ticket, m_out->marked));
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

namespace {

// The list an UnprintedTicketsScope lends; none outside one.
UnprintedTickets *g_lentUnprinted = nullptr;

} // namespace

UnprintedTickets &unprintedTickets()
{
    static UnprintedTickets list;
    return g_lentUnprinted ? *g_lentUnprinted : list;
}

UnprintedTicketsScope::UnprintedTicketsScope() : m_before(g_lentUnprinted)
{
    g_lentUnprinted = &m_tickets;
}

UnprintedTicketsScope::~UnprintedTicketsScope()
{
    g_lentUnprinted = m_before;
}

} // namespace kavri
