#include "stats/LocalTimes.h"

#include "services/TimeText.h"

namespace kavri::stats {

QDateTime LocalTimes::read(QStringView text)
{
    const std::optional<WallTime> wall = readWallTime(text);
    if (!wall)
        return {};
    if (const std::optional<int> offset = dayOffset(wall->date))
        return QDateTime(wall->date, wall->time, Qt::OffsetFromUTC, *offset);
    const QDateTime local(wall->date, wall->time, Qt::LocalTime);
    return local.isValid() ? local.toOffsetFromUtc(local.offsetFromUtc()) : QDateTime();
}

std::optional<int> LocalTimes::dayOffset(const QDate &day)
{
    const qint64 key = day.toJulianDay();
    if (const auto known = m_offsets.constFind(key); known != m_offsets.constEnd())
        return *known;
    const QDateTime start(day, QTime(0, 0), Qt::LocalTime);
    const QDateTime end(day, QTime(23, 59, 59), Qt::LocalTime);
    std::optional<int> offset;
    if (start.isValid() && end.isValid() && start.offsetFromUtc() == end.offsetFromUtc())
        offset = start.offsetFromUtc();
    if (m_offsets.size() >= MaxDays)
        m_offsets.clear();
    m_offsets.insert(key, offset);
    return offset;
}

} // namespace kavri::stats
