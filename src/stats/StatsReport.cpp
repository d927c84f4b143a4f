#include "stats/StatsReport.h"

#include "stats/StatsReading.h"

#include <QHash>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kavri::stats {

namespace {

QString minutesText(const std::optional<double> &minutes)
{
    return minutes ? QString::number(*minutes, 'f', 1) : u"-"_s;
}

} // namespace

// Selection rather than a sort: the window works out a day of 100,000 lines between two events.
std::optional<double> median(QList<double> values)
{
    if (values.isEmpty())
        return std::nullopt;
    const qsizetype n = values.size();
    const auto middle = values.begin() + n / 2;
    std::nth_element(values.begin(), middle, values.end());
    return n % 2 ? *middle : (*std::max_element(values.begin(), middle) + *middle) / 2;
}

std::optional<double> percentile(QList<double> values, double p)
{
    if (values.isEmpty() || !(p > 0) || p > 100)
        return std::nullopt;
    const auto rank = qsizetype(std::ceil(p / 100.0 * double(values.size())));
    const auto at = values.begin() + (std::clamp<qsizetype>(rank, 1, values.size()) - 1);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

double waitMinutes(const StatsLine &line)
{
    const QDateTime from = line.registered.isValid() ? line.registered : line.firstSeen;
    if (!from.isValid() || !line.left.isValid())
        return 0;
    return std::max<qint64>(0, from.secsTo(line.left)) / 60.0;
}

DayTally::DayTally(const QDate &day) : m_day(day) {}

void DayTally::add(const StatsLine &line)
{
    ++m_requests;
    switch (line.how) {
    case LeftHow::Staff: {
        const double wait = waitMinutes(line);
        m_staffWaits.append(wait);
        m_tableWaits[line.table].append(wait);
        break;
    }
    case LeftHow::Auto:
        ++m_byExpiry;
        break;
    case LeftHow::Gone:
        ++m_gone;
        break;
    }
}

DayFigures DayTally::figures(int unreadable) const
{
    DayFigures f;
    f.day = m_day;
    f.unreadable = unreadable;
    f.requests = m_requests;
    f.byStaff = int(m_staffWaits.size());
    f.byExpiry = m_byExpiry;
    f.gone = m_gone;
    f.medianMinutes = median(m_staffWaits);
    f.p90Minutes = percentile(m_staffWaits, 90);
    f.autoShare = f.requests ? double(f.byExpiry) / f.requests : 0;
    for (auto it = m_tableWaits.cbegin(); it != m_tableWaits.cend(); ++it)
        f.slowestTables.append({it.key(), *median(it.value())});
    const auto shown = f.slowestTables.begin() + std::min<qsizetype>(5, f.slowestTables.size());
    std::partial_sort(
        f.slowestTables.begin(), shown, f.slowestTables.end(), [](const TableWait &a, const TableWait &b) {
            return a.medianMinutes != b.medianMinutes ? a.medianMinutes > b.medianMinutes : a.table < b.table;
        });
    f.slowestTables.erase(shown, f.slowestTables.end());
    return f;
}

DayFigures dayFigures(const QDate &day, const QList<StatsLine> &lines, int unreadable)
{
    DayTally tally(day);
    for (const StatsLine &line : lines)
        tally.add(line);
    return tally.figures(unreadable);
}

QList<StatsLine> readStatsFile(const QString &path, int *unreadable)
{
    StatsFileReader reader(path);
    while (reader.readSlice()) {
    }
    if (unreadable)
        *unreadable = reader.unreadable();
    return reader.takeLines();
}

QList<DayFigures> recentDays(const QString &folder, const QDate &today, int days)
{
    StatsReading reading(folder, today, days);
    while (reading.readSlice()) {
    }
    return reading.days();
}

QStringList dayCells(const DayFigures &f)
{
    QStringList slowest;
    for (const TableWait &t : f.slowestTables)
        slowest.append(t.table + u' ' + QString::number(t.medianMinutes, 'f', 1));
    return {f.day.toString(u"yyyy-MM-dd"_s),
            QString::number(f.requests),
            minutesText(f.medianMinutes),
            minutesText(f.p90Minutes),
            f.requests ? QString::number(qRound(f.autoShare * 100)) + u'%' : u"-"_s,
            slowest.join(u", "_s)};
}

QString statsReportText(const QList<DayFigures> &days)
{
    QString out = u"날짜        요청  중앙값(분)  90%(분)  자동 확인  가장 느린 테이블 (중앙값, 분)\n"_s;
    for (const DayFigures &f : days) {
        const QStringList c = dayCells(f);
        out += c.at(0) + u"  "_s + c.at(1).rightJustified(4) + u"  "_s + c.at(2).rightJustified(10) +
               u"  "_s + c.at(3).rightJustified(7) + u"  "_s + c.at(4).rightJustified(9) + u"  "_s + c.at(5);
        if (f.unreadable)
            out += u"  (읽지 못한 줄 "_s + QString::number(f.unreadable) + u')';
        out += u'\n';
    }
    out += u"중앙값과 90%: 등록부터 직원 확인까지. 자동 확인: 자동 확인된 요청의 비율.\n"_s;
    return out;
}

} // namespace kavri::stats
