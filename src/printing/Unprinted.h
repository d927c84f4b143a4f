#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace kavri {

/// A ticket a printer did not take: kept to be sent again when it takes output.
struct UnprintedTicket
{
    QString slot; ///< the printer slot's name
    QString text; ///< the ticket as composed (printer commands and text)
    QDateTime failedAt;
    quint64 id = 0; ///< its place in the order of failures (not stored)
};

/// The tickets that failed, oldest first, in memory and in a small UTF-8 JSON
/// file of the application folder ("unprinted.json"), so a restart keeps them.
/// The file is replaced whole by the INI module's atomic write and read as the
/// settings are (a regular file of at most ini::MaxFileBytes, never through a link).
/// At most MaxTickets, none older than MaxAgeSeconds: past that a ticket is
/// dropped with a line in the main log (a ticket hours late helps no one).
class UnprintedTickets
{
public:
    static constexpr qsizetype MaxTickets = 50;
    static constexpr qint64 MaxAgeSeconds = 3 * 3600;
    /// A longer ticket is not kept: the full list must stay readable as one
    /// settings-sized file (1 MB) after a restart.
    static constexpr qsizetype MaxTicketChars = 6000;
    /// Nor one whose stored form is longer: printer commands take six bytes each
    /// in the file, and fifty such tickets must still fit in it.
    static constexpr qsizetype MaxTicketBytes = 20000;

    /// Binds the list to `path` and reads what it holds (an empty path: memory only).
    /// A missing file is an empty list; an unreadable one is logged and left alone.
    void load(const QString &path, const QDateTime &now);
    /// Keeps a ticket that failed; the oldest goes when the list is full.
    void add(const QString &slot, const QString &text, const QDateTime &now);
    /// Drops what is older than MaxAgeSeconds.
    void expire(const QDateTime &now);
    /// Sends the kept tickets again, oldest first, at most once each: `send` gets
    /// slot and text and is true when the printer took the ticket, which then
    /// leaves the list at once. A slot whose ticket failed again is not tried
    /// further this time. Tickets kept or dropped while a ticket is being sent
    /// (sending lets events run) neither disturb the order nor go out twice, and
    /// the file always holds what is still owed. Returns how many went out.
    int retry(const QDateTime &now, const std::function<bool(const QString &, const QString &)> &send);

    const QList<UnprintedTicket> &tickets() const { return m_tickets; }
    qsizetype count() const { return m_tickets.size(); }
    void clear();

private:
    void save();
    void append(UnprintedTicket ticket);

    QString m_path;
    quint64 m_nextId = 1;
    quint64 m_saves = 0;
    QList<UnprintedTicket> m_tickets;
    bool m_retrying = false;
    bool m_saveFailing = false;
};

/// The program's list.
UnprintedTickets &unprintedTickets();

} // namespace kavri
