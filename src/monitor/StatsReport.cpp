#include "monitor/StatsReport.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

QString minutesText(const std::optional<double> &minutes)
{
    return minutes ? QString::number(*minutes, 'f', 1) : u"-"_s;
}

} // namespace

std::optional<double> median(QList<double> values)
{
    if (values.isEmpty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

std::optional<double> percentile(QList<double> values, double p)
{
    if (values.isEmpty() || !(p > 0) || p > 100)
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const auto rank = qsizetype(std::ceil(p / 100.0 * double(values.size())));
    return values.at(std::clamp<qsizetype>(rank, 1, values.size()) - 1);
}

double waitMinutes(const StatsLine &line)
{
    const QDateTime from = line.registered.isValid() ? line.registered : line.firstSeen;
    if (!from.isValid() || !line.left.isValid())
        return 0;
    return std::max<qint64>(0, from.secsTo(line.left)) / 60.0;
}

DayFigures dayFigures(const QDate &day, const QList<StatsLine> &lines, int unreadable)
{
    DayFigures f;
    f.day = day;
    f.unreadable = unreadable;
    QList<double> staffWaits;
    QHash<QString, QList<double>> byTable;
    for (const StatsLine &line : lines) {
        ++f.requests;
        switch (line.how) {
        case LeftHow::Staff:
            ++f.byStaff;
            staffWaits.append(waitMinutes(line));
            byTable[line.table].append(waitMinutes(line));
            break;
        case LeftHow::Auto:
            ++f.byExpiry;
            break;
        case LeftHow::Gone:
            ++f.gone;
            break;
        }
    }
    f.medianMinutes = median(staffWaits);
    f.p90Minutes = percentile(staffWaits, 90);
    f.autoShare = f.requests ? double(f.byExpiry) / f.requests : 0;
    for (auto it = byTable.cbegin(); it != byTable.cend(); ++it)
        f.slowestTables.append({it.key(), *median(it.value())});
    std::sort(f.slowestTables.begin(), f.slowestTables.end(), [](const TableWait &a, const TableWait &b) {
        return a.medianMinutes != b.medianMinutes ? a.medianMinutes > b.medianMinutes : a.table < b.table;
    });
    if (f.slowestTables.size() > 5)
        f.slowestTables.resize(5);
    return f;
}

HourFigures hourFigures(const QDate &day, const QList<StatsLine> &lines)
{
    HourFigures h;
    std::array<QList<double>, 24> waits;
    for (const StatsLine &line : lines) {
        const QDateTime came = line.registered.isValid() ? line.registered : line.firstSeen;
        const int hour = came.isValid() && came.date() == day ? came.time().hour() : 0;
        ++h.requests[hour];
        if (line.how == LeftHow::Staff)
            waits[hour].append(waitMinutes(line));
    }
    for (int hour = 0; hour < 24; ++hour)
        h.medianMinutes[hour] = median(waits[hour]);
    return h;
}

QList<StatsLine> readStatsFile(const QString &path, int *unreadable)
{
    QList<StatsLine> lines;
    int bad = 0;
    const QFileInfo info(path);
    QFile file(path);
    if (info.isFile() && !info.isSymLink() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(MaxReadBytes);
        const QString text = QString::fromUtf8(bytes);
        bool first = true;
        for (QStringView line : QStringView(text).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (line.isEmpty())
                continue;
            const bool header = first && line == statsHeader();
            first = false;
            if (header)
                continue;
            if (const std::optional<StatsLine> read = parseStatsCsvLine(line))
                lines.append(*read);
            else
                ++bad;
        }
    }
    if (unreadable)
        *unreadable = bad;
    return lines;
}

QList<DayFigures> recentDays(const QString &folder, const QDate &today, int days)
{
    QList<DayFigures> out;
    for (int back = std::clamp(days, 1, 90) - 1; back >= 0; --back) {
        const QDate day = today.addDays(-back);
        int unreadable = 0;
        const QList<StatsLine> lines = readStatsFile(statsFilePath(folder, day), &unreadable);
        out.append(dayFigures(day, lines, unreadable));
    }
    return out;
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

} // namespace kavri::monitor
