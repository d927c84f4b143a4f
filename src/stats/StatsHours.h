#pragma once

#include "stats/StatsLine.h"

#include <QDate>
#include <QDateTime>
#include <QList>

#include <array>
#include <optional>

namespace kavri::stats {

/// Requests per hour and the median staff wait per hour of one day, by the hour
/// the request came in.
struct HourFigures
{
    std::array<int, 24> requests{};
    std::array<std::optional<double>, 24> medianMinutes{};
};

/// The hours of `days` days from `first` on, from the lines of any of their files:
/// each line counts in the day and hour it came in (its registration; its first listing
/// when the registration could not be read; the moment it left when neither is there),
/// when that day is one of them.
/// A day's file holds the requests that left that day, so one that came in the
/// evening before counts in that evening's hour (of the day before), not in 0시.
class HourTally
{
public:
    HourTally(const QDate &first, int days);
    void add(const StatsLine &line);
    /// The figures of `day`; all empty for a day outside the tally.
    HourFigures figures(const QDate &day) const;

private:
    struct Day
    {
        std::array<int, 24> requests{};
        std::array<QList<double>, 24> staffWaits;
    };
    QDate m_first;
    QList<Day> m_days;
};

/// The hours of `day` from `lines` (of its file and the next day's).
HourFigures hourFigures(const QDate &day, const QList<StatsLine> &lines);

} // namespace kavri::stats
