#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

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
/// At most MaxTickets (the newest), none older than MaxAgeSeconds nor dated
/// further ahead than FutureToleranceSeconds: past that a ticket is dropped with
/// a line in the main log (a ticket hours late helps no one, and one dated ahead
/// would never age).
class UnprintedTickets
{
public:
    static constexpr qsizetype MaxTickets = 50;
    static constexpr qint64 MaxAgeSeconds = 3 * 3600;
    /// A clock set back a little (a time sync) must not cost a ticket.
    static constexpr qint64 FutureToleranceSeconds = 5 * 60;
    /// A longer ticket is not kept: the full list must stay readable as one
    /// settings-sized file (1 MB) after a restart.
    static constexpr qsizetype MaxTicketChars = 6000;
    /// Nor one whose stored form is longer: printer commands take six bytes each
    /// in the file, and fifty such tickets must still fit in it.
    static constexpr qsizetype MaxTicketBytes = 20000;

    /// Binds the list to `path` and reads what it holds (an empty path: memory only).
    /// A missing file is an empty list; an unreadable one is logged and left alone.
    /// A ticket the file marks as being sent (the program ended while it went out)
    /// may have come out whole: it is kept with the reprint mark.
    void load(const QString &path, const QDateTime &now);
    /// Keeps a ticket that failed; the oldest goes when the list is full.
    void add(const QString &slot, const QString &text, const QDateTime &now);
    /// Drops what is older than MaxAgeSeconds or dated ahead of `now` past the tolerance.
    void expire(const QDateTime &now);
    /// Sends the kept tickets again, oldest first, at most once each: `send` gets
    /// slot and text and is true when the printer took the ticket, which then
    /// leaves the list at once. A slot whose ticket failed again is not tried
    /// further this time. Tickets kept or dropped while a ticket is being sent
    /// (sending lets events run) neither disturb the order nor go out twice, and
    /// the file always holds what is still owed, the ticket being sent included.
    /// Returns how many went out.
    int retry(const QDateTime &now, const std::function<bool(const QString &, const QString &)> &send);
    /// Called by `send` right before the first byte of the ticket retry() is
    /// sending: the file marks it as being sent before anything goes out.
    void markSending();

    const QList<UnprintedTicket> &tickets() const { return m_tickets; }
    qsizetype count() const { return m_tickets.size(); }
    /// The id of the newest ticket kept so far (0 before the first).
    quint64 newestId() const { return m_nextId - 1; }
    /// Drops the tickets kept up to the one of id `throughId` (later ones stay);
    /// one being sent is not kept again if it fails. Returns how many left the list.
    qsizetype drop(quint64 throughId);
    void clear();

private:
    void save();
    void append(UnprintedTicket ticket);
    void trimToNewest();

    /// The ticket retry() has taken out of the list to send.
    struct Out
    {
        UnprintedTicket ticket;
        bool marked = false;  ///< the file says it is being sent
        bool dropped = false; ///< dropped meanwhile: not kept again
    };

    QString m_path;
    quint64 m_nextId = 1;
    quint64 m_saves = 0;
    QList<UnprintedTicket> m_tickets;
    std::optional<Out> m_out;
    bool m_retrying = false;
    bool m_saveFailing = false;
};

/// The program's list: the one the innermost living UnprintedTicketsScope
/// holds, else the program's own.
UnprintedTickets &unprintedTickets();

/// Owns a list of its own and lends it as the program's while it lives, then
/// puts back the one before: a test starts from an empty list and leaves none
/// behind for the next.
class UnprintedTicketsScope
{
public:
    UnprintedTicketsScope();
    ~UnprintedTicketsScope();
    UnprintedTicketsScope(const UnprintedTicketsScope &) = delete;
    UnprintedTicketsScope &operator=(const UnprintedTicketsScope &) = delete;

    UnprintedTickets &tickets() { return m_tickets; }

private:
    UnprintedTickets m_tickets;
    UnprintedTickets *m_before;
};

} // namespace kavri
