#include "stats/ChartScale.h"
#include "stats/StatsHours.h"
#include "stats/StatsReading.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::stats;

namespace {

const QDate kDay(2026, 12, 10);

QDateTime timeOf(const QString &text)
{
    return QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
}

/// The hours with requests, as "hour:count" in hour order.
QStringList busyHours(const HourFigures &figures)
{
    QStringList out;
    for (size_t hour = 0; hour < 24; ++hour) {
        if (figures.requests[hour])
            out << QString::number(hour) + u':' + QString::number(figures.requests[hour]);
    }
    return out;
}

} // namespace

// The figures behind the statistics window's charts: the hour a request counts in,
// and the value axes.
class TstStatsFigures : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    void writeDay(const QDate &day, const QString &lines)
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFilePath(m_env->app().path(), day));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((statsHeader() + u'\n' + lines).toUtf8());
    }

private slots:
    void init() { m_env.emplace(QDateTime(kDay.addDays(1), QTime(10, 0, 0))); }
    void cleanup() { m_env.reset(); }

    // A request counts in the hour of the day it came in, whichever day's file holds it.
    void arrivalHours_data()
    {
        QTest::addColumn<QString>("registered");
        QTest::addColumn<QString>("firstSeen");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("hours");
        const QString left = u"2026-12-11 00:10:00"_s;
        QTest::newRow("evening before, its own day")
            << u"2026-12-10 23:40:00"_s << u"2026-12-10 23:40:05"_s << left << kDay << QStringList{u"23:1"_s};
        QTest::newRow("evening before, the day it left")
            << u"2026-12-10 23:40:00"_s << u"2026-12-10 23:40:05"_s << left << kDay.addDays(1)
            << QStringList();
        QTest::newRow("after midnight")
            << u"2026-12-11 00:01:00"_s << QString() << left << kDay.addDays(1) << QStringList{u"0:1"_s};
        QTest::newRow("last second of the day")
            << u"2026-12-10 23:59:59"_s << QString() << left << kDay << QStringList{u"23:1"_s};
        // Without a readable registration, the first listing tells the hour; without
        // that too, the moment it left.
        QTest::newRow("first listing")
            << QString() << u"2026-12-10 23:45:00"_s << left << kDay << QStringList{u"23:1"_s};
        QTest::newRow("only the leaving")
            << QString() << QString() << left << kDay.addDays(1) << QStringList{u"0:1"_s};
        QTest::newRow("two days before")
            << u"2026-12-09 22:00:00"_s << QString() << left << kDay << QStringList();
    }
    void arrivalHours()
    {
        QFETCH(QString, registered);
        QFETCH(QString, firstSeen);
        QFETCH(QString, left);
        QFETCH(QDate, day);
        QFETCH(QStringList, hours);
        const StatsLine line{u"1"_s,       u"A"_s,        timeOf(registered), timeOf(firstSeen),
                             timeOf(left), LeftHow::Staff};
        const HourFigures figures = hourFigures(day, {line});
        QCOMPARE(busyHours(figures), hours);
        for (size_t hour = 0; hour < 24; ++hour)
            QCOMPARE(figures.medianMinutes[hour].has_value(), figures.requests[hour] > 0);
    }

    // Over the files of two days: the late evening's request, in the next day's file,
    // counts in the evening's hour with its wait; the days' table rows stay those of
    // the files (the day a request left). One from before the first day counts nowhere.
    void hoursAcrossFiles()
    {
        writeDay(kDay, u"1,A,2026-12-09 23:30:00,,2026-12-10 00:05:00,staff\n"
                       u"2,A,2026-12-10 21:00:00,,2026-12-10 21:04:00,staff\n"_s);
        writeDay(kDay.addDays(1), u"3,B,2026-12-10 23:40:00,,2026-12-11 00:10:00,staff\n"
                                  u"4,B,2026-12-11 09:00:00,,2026-12-11 09:02:00,auto\n"_s);
        StatsReading reading(m_env->app().path(), kDay.addDays(1), 2);
        while (reading.readSlice()) {
        }
        QCOMPARE(reading.days().size(), 2);
        QCOMPARE(reading.days().at(0).requests, 2);
        QCOMPARE(reading.days().at(1).requests, 2);
        const QList<HourFigures> hours = reading.hours();
        QCOMPARE(hours.size(), 2);
        QCOMPARE(busyHours(hours.at(0)), (QStringList{u"21:1"_s, u"23:1"_s}));
        QCOMPARE(hours.at(0).medianMinutes[23], std::optional<double>(30.0));
        QCOMPARE(busyHours(hours.at(1)), QStringList{u"9:1"_s});
        QCOMPARE(hours.at(1).medianMinutes[9], std::nullopt);
    }

    // Whole requests on the count axis, in steps of 1, 2 or 5 times a power of ten,
    // never more than six steps.
    void countScale_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("step");
        QTest::newRow("nothing") << 0.0 << 1 << 1;
        QTest::newRow("one") << 1.0 << 1 << 1;
        QTest::newRow("three") << 3.0 << 3 << 1;
        QTest::newRow("six") << 6.0 << 6 << 1;
        QTest::newRow("seven") << 7.0 << 8 << 2;
        QTest::newRow("twelve") << 12.0 << 12 << 2;
        QTest::newRow("thirteen") << 13.0 << 15 << 5;
        QTest::newRow("thirty-one") << 31.0 << 40 << 10;
        QTest::newRow("ninety-nine") << 99.0 << 100 << 20;
        QTest::newRow("a busy file's hour") << 50000.0 << 50000 << 10000;
        QTest::newRow("negative") << -3.0 << 1 << 1;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1 << 1;
    }
    void countScale()
    {
        QFETCH(double, largest);
        QFETCH(int, top);
        QFETCH(int, step);
        const AxisScale scale = stats::countScale(largest);
        QCOMPARE(scale.top, top);
        QCOMPARE(scale.step, step);
        QCOMPARE(scale.top % scale.step, 0);
        QVERIFY(scale.ticks() - 1 <= MaxAxisSteps);
    }

    // Round minutes on the wait axis; a median of half a minute still gets a whole-minute tick.
    void minuteScale_data()
    {
        QTest::addColumn<double>("largest");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("step");
        QTest::newRow("nothing") << 0.0 << 1 << 1;
        QTest::newRow("half a minute") << 0.5 << 1 << 1;
        QTest::newRow("3.5 minutes") << 3.5 << 4 << 1;
        QTest::newRow("7.2 minutes") << 7.2 << 8 << 2;
        QTest::newRow("13 minutes") << 13.0 << 15 << 5;
        QTest::newRow("45 minutes") << 45.0 << 50 << 10;
        QTest::newRow("61 minutes") << 61.0 << 75 << 15;
        QTest::newRow("95 minutes") << 95.0 << 120 << 30;
        QTest::newRow("three hours") << 180.0 << 180 << 30;
        QTest::newRow("five hours") << 300.0 << 300 << 60;
        QTest::newRow("five hours and a minute") << 301.0 << 360 << 60;
        QTest::newRow("two days") << 2880.0 << 2880 << 720;
        // Only bounded: a top that fits the axis' whole numbers.
        QTest::newRow("a clock far off") << 1.0e12 << 0 << 0;
    }
    void minuteScale()
    {
        QFETCH(double, largest);
        QFETCH(int, top);
        QFETCH(int, step);
        const AxisScale scale = stats::minuteScale(largest);
        if (top) {
            QCOMPARE(scale.top, top);
            QCOMPARE(scale.step, step);
        }
        QVERIFY(scale.step > 0);
        QCOMPARE(scale.top % scale.step, 0);
        QVERIFY(scale.top >= std::min(largest, 1.0e9));
        QVERIFY(scale.ticks() - 1 <= MaxAxisSteps);
    }
};

QTEST_MAIN(TstStatsFigures)
#include "tst_statsfigures.moc"
