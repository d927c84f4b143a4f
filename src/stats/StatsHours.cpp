#include "stats/StatsHours.h"

#include "stats/StatsReport.h"

#include <algorithm>

namespace kavri::stats {

namespace {

QDateTime arrivalTime(const StatsLine &line)
{
    if (line.registered.isValid())
        return line.registered;
    return line.firstSeen.isValid() ? line.firstSeen : line.left;
}

} // namespace

HourTally::HourTally(const QDate &first, int days) : m_first(first), m_days(std::max(days, 0)) {}

void HourTally::add(const StatsLine &line)
{
    const QDateTime came = arrivalTime(line);
    if (!came.isValid())
        return;
    const qint64 index = m_first.daysTo(came.date());
    if (index < 0 || index >= m_days.size())
        return;
    Day &day = m_days[index];
    const auto hour = size_t(came.time().hour());
    ++day.requests[hour];
    if (line.how == LeftHow::Staff)
        day.staffWaits[hour].append(waitMinutes(line));
}

HourFigures HourTally::figures(const QDate &day) const
{
    HourFigures figures;
    const qint64 index = m_first.daysTo(day);
    if (index < 0 || index >= m_days.size())
        return figures;
    const Day &d = m_days.at(index);
    figures.requests = d.requests;
    for (size_t hour = 0; hour < 24; ++hour)
        figures.medianMinutes[hour] = median(d.staffWaits[hour]);
    return figures;
}

HourFigures hourFigures(const QDate &day, const QList<StatsLine> &lines)
{
    HourTally tally(day, 1);
    for (const StatsLine &line : lines)
        tally.add(line);
    return tally.figures(day);
}

} // namespace kavri::stats
