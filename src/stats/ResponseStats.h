#pragma once

#include "stats/StatsLine.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace kavri::stats {

/// A request as one poll lists it, in the service's own texts.
struct ListedRequest
{
    QString number;
    QString table;
    QString registered; ///< "yyyy-MM-dd hh:mm:ss"
};

/// Follows the requests the cycle lists and writes a line for each that leaves:
/// confirmed from this board (staff), by the expiry pass (auto), or no longer
/// listed (gone). What it knows starts with this run of the program: a request
/// listed before a restart counts as first seen at the first poll after it.
class ResponseStats
{
public:
    /// Requests followed at once; more are not followed (a list that long is a
    /// broken service, and the memory stays bounded).
    static constexpr qsizetype MaxFollowed = 5000;
    /// A day's file stops growing at this size.
    static constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;

    /// The requests of an answer the request list reader accepted, at `now`, and
    /// the set of their numbers. New numbers are followed; followed numbers missing
    /// from it are gone.
    void observeListed(const QList<ListedRequest> &requests, const QSet<QString> &listed,
                       const QDateTime &now);
    /// A confirmation the service accepted.
    void noteConfirmed(const QString &number, LeftHow how, const QDateTime &now);

    qsizetype followedCount() const { return m_followed.size(); }

private:
    struct Followed
    {
        QString table;
        QString registered;
        QDateTime firstSeen;
    };
    void leave(const QString &number, const Followed &followed, LeftHow how, const QDateTime &now);
    bool append(const StatsLine &line);

    QHash<QString, Followed> m_followed;
    /// Confirmed numbers the service may still list for a poll or two: not followed again.
    QSet<QString> m_left;
    bool m_failing = false;
};

} // namespace kavri::stats
