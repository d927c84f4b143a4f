#include "monitor/LocalTimes.h"

namespace kavri::monitor {

namespace {

/// The `count` digits at `from` as a number; -1 when one of them is no digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QDateTime LocalTimes::read(QStringView text)
{
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u' ' ||
        text.at(13) != u':' || text.at(16) != u':')
        return {};
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return {};
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (const std::optional<int> offset = dayOffset(date))
        return QDateTime(date, time, Qt::OffsetFromUTC, *offset);
    const QDateTime local(date, time, Qt::LocalTime);
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

} // namespace kavri::monitor
