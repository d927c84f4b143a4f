#pragma once

#include "monitor/RequestList.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace kavri::monitor {

class LocalTimes;

/// How a request left the board.
enum class LeftHow { Staff, Auto, Gone };

/// One request that left: one line of the daily statistics file.
struct StatsLine
{
    QString number;
    QString table;
    QDateTime registered; ///< invalid when the service's text could not be read
    QDateTime firstSeen;  ///< the first poll that listed it (in this run of the program)
    QDateTime left;
    LeftHow how = LeftHow::Gone;
};

/// The statistics folder's name in the application folder.
inline constexpr char16_t StatsFolderName[] = u"stats";
/// The header line of every statistics file.
QString statsHeader();
/// "staff", "auto" or "gone".
QString leftHowText(LeftHow how);
/// One CSV line (no line end): control characters in a text become spaces, a text a
/// spreadsheet would run as a formula (=, +, -, @ first) starts with a quote ('), and
/// fields with a comma or a quote are quoted.
QString statsCsvLine(const StatsLine &line);
/// Reads a CSV line as statsCsvLine() writes it, the texts as they were before it
/// (control characters, from files of older versions too, as spaces); nothing for
/// the header, a malformed line or a line of another shape. The times are local
/// times; `times` spares a time-zone lookup per time when many lines are read.
std::optional<StatsLine> parseStatsCsvLine(QStringView text);
std::optional<StatsLine> parseStatsCsvLine(QStringView text, LocalTimes &times);
/// `folder`/stats/yyyy-MM-dd.csv for the day of `day`.
QString statsFilePath(const QString &folder, const QDate &day);

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

    /// The records of an answer the request list reader accepted, at `now`.
    /// New numbers are followed; followed numbers missing from it are gone.
    void observeListed(const QList<HandledRecord> &records, const QDateTime &now);
    /// The same with the set of the answer's numbers, when the caller has it already.
    void observeListed(const QList<HandledRecord> &records, const QSet<QString> &listed,
                       const QDateTime &now);
    /// The numbers of `records`.
    static QSet<QString> numbersOf(const QList<HandledRecord> &records);
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

} // namespace kavri::monitor
