#pragma once

#include "stats/StatsLine.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace kavri::stats {

/// A table's median wait, for the slowest tables of a day.
struct TableWait
{
    QString table;
    double medianMinutes = 0;
};

/// The figures of one day's statistics file.
struct DayFigures
{
    QDate day;
    int requests = 0; ///< lines of the day: requests that left
    int byStaff = 0;
    int byExpiry = 0;
    int gone = 0;
    /// Minutes from registration to a confirmation by staff: median and 90th
    /// percentile (nearest rank); nothing when staff confirmed none.
    std::optional<double> medianMinutes;
    std::optional<double> p90Minutes;
    /// Confirmed by the expiry pass, of all requests; 0 for an empty day.
    double autoShare = 0;
    /// At most five tables with the longest median staff wait, longest first
    /// (ties by name).
    QList<TableWait> slowestTables;
    /// Lines of the file that could not be read.
    int unreadable = 0;
};

/// The median of `values` (the mean of the two middle ones for an even count).
std::optional<double> median(QList<double> values);
/// The nearest-rank percentile `p` (0 < p <= 100) of `values`.
std::optional<double> percentile(QList<double> values, double p);

/// A request's wait in minutes: from its registration (or, when that could not
/// be read, from its first listing) to the moment it left; never below zero.
double waitMinutes(const StatsLine &line);

/// The figures of one day, line by line, without keeping the lines.
class DayTally
{
public:
    explicit DayTally(const QDate &day);
    void add(const StatsLine &line);
    DayFigures figures(int unreadable = 0) const;

private:
    QDate m_day;
    int m_requests = 0;
    int m_byExpiry = 0;
    int m_gone = 0;
    QList<double> m_staffWaits;
    QHash<QString, QList<double>> m_tableWaits;
};

/// The figures of one day's lines.
DayFigures dayFigures(const QDate &day, const QList<StatsLine> &lines, int unreadable = 0);

/// The lines of a day's file. A missing file, a folder or a link in its place
/// gives nothing; only the first MaxReadBytes are read; `unreadable` counts the
/// lines that could not be read (the header is not counted).
QList<StatsLine> readStatsFile(const QString &path, int *unreadable = nullptr);
inline constexpr qint64 MaxReadBytes = 16 * 1024 * 1024;

/// The most days a report covers: older files are removed at start.
inline constexpr int MaxReportDays = 90;

/// The figures of the `days` days (1 to MaxReportDays) up to `today` of the
/// statistics in `folder`, oldest first.
QList<DayFigures> recentDays(const QString &folder, const QDate &today, int days);

/// The report of `kavri-display --stats`: a line per day.
QString statsReportText(const QList<DayFigures> &days);
/// One table's cell texts of a day: date, requests, median, 90 %, auto share, slowest tables.
QStringList dayCells(const DayFigures &figures);

} // namespace kavri::stats
