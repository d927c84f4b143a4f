#include "board/HourChart.h"
#include "board/StatsWindow.h"
#include "stats/StatsReport.h"
#include "support/TestEnvironment.h"

#include <QChart>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;
using namespace kavri::stats;

namespace {

const QDate kDay(2026, 12, 10);

} // namespace

// The statistics window: its table and hours over the files the cycle writes.
class TstStatsWindow : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    QString statsFile(const QDate &day) const { return statsFilePath(m_env->app().path(), day); }

    void writeDay(const QByteArray &bytes, const QDate &day = kDay)
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFile(day));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QValueAxis *valueAxis(const StatsWindow &window, const QString &chart)
    {
        auto *view = window.findChild<HourChart *>(chart);
        if (!view)
            return nullptr;
        const QList<QAbstractAxis *> axes = view->chart()->axes(Qt::Vertical);
        return axes.size() == 1 ? qobject_cast<QValueAxis *>(axes.first()) : nullptr;
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(kDay, QTime(10, 0, 0)));
        m_env->clock().setTick(5000000);
    }
    void cleanup() { m_env.reset(); }

    // Files of older versions hold the service's texts as they came: the window
    // shows no control character of them.
    void oldFileControls()
    {
        writeDay(statsHeader().toUtf8() +
                 "\n1,\x1b[31mA\x1b]0;x\x07,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n" +
                 QByteArray("2,B\0\tC\x7f,2026-12-10 09:00:00,,2026-12-10 09:02:00,staff\n", 55) +
                 "3,\"D\rE\",2026-12-10 09:00:00,,2026-12-10 09:01:00,staff\n");
        StatsWindow window(m_env->app().path(), kDay);
        QTRY_VERIFY(!window.isReading());
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);
        QVERIFY(table);
        QCOMPARE(table->item(0, 5)->text(), u" [31mA ]0;x  4.0, B  C  2.0, D E 1.0"_s);
        for (int column = 0; column < table->columnCount(); ++column) {
            for (const QChar c : table->item(0, column)->text())
                QVERIFY(c.unicode() >= 0x20 && c.unicode() != 0x7f);
        }
    }

    // The window reads its files a slice at a time: the event loop runs many times
    // before the table is filled, and the figures are those of the whole file.
    void windowReadsInSlices()
    {
        QByteArray bytes = statsHeader().toUtf8() + '\n';
        const int count = 50000;
        for (int i = 0; i < count; ++i)
            bytes += QByteArray::number(i + 1) + ",T,2026-12-10 09:00:00,,2026-12-10 09:0" +
                     QByteArray::number(i % 2 ? 4 : 2) + ":00,staff\n";
        writeDay(bytes);

        int turns = 0;
        QTimer counter;
        counter.setInterval(0);
        connect(&counter, &QTimer::timeout, [&turns] { ++turns; });
        counter.start();
        StatsWindow window(m_env->app().path(), kDay);
        QSignalSpy done(&window, &StatsWindow::readingDone);
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);
        QVERIFY(table);
        QVERIFY(!table->item(0, 1)); // nothing read yet
        QVERIFY(window.isReading());
        QVERIFY(done.wait(30000));
        QVERIFY2(turns >= 5, qPrintable(QString::number(turns)));
        QCOMPARE(table->item(0, 1)->text(), QString::number(count));
        QCOMPARE(table->item(0, 2)->text(), u"3.0"_s);
        QCOMPARE(window.shownHours().requests[9], count);
    }

    // The days, the slowest tables and the hours of the chosen day over one fixed file.
    void tableAndHours()
    {
        writeDay(
            (statsHeader() +
             u"\n1,A,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n2,B,2026-12-10 11:30:00,,2026-12-10 11:32:00,staff\n3,B,2026-12-10 11:40:00,,2026-12-10 12:40:00,auto\n"_s)
                .toUtf8());
        StatsWindow window(m_env->app().path(), kDay);
        window.show();
        QTRY_VERIFY(!window.isReading());
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);
        QVERIFY(table);
        QCOMPARE(table->rowCount(), StatsWindow::Days);
        QCOMPARE(table->item(0, 0)->text(), u"2026-12-10"_s);
        QCOMPARE(table->item(0, 1)->text(), u"3"_s);
        QCOMPARE(table->item(0, 5)->text(), u"A 4.0, B 2.0"_s);
        QCOMPARE(window.shownHours().requests[9], 1);
        QCOMPARE(window.shownHours().requests[11], 2);
        QCOMPARE(window.shownHours().medianMinutes[11], std::optional<double>(2.0));
        auto *day = window.findChild<QComboBox *>(u"statsDay"_s);
        QVERIFY(day);
        day->setCurrentIndex(1);
        QCOMPARE(window.shownHours().requests[9], 0);
    }

    // A request registered in the evening and answered after midnight is in the next
    // day's file; the chart of the evening counts it in its hour, not 0시 of the next day.
    void eveningRequestInItsOwnHour()
    {
        m_env->clock().setNow(QDateTime(kDay.addDays(1), QTime(10, 0)));
        writeDay(statsHeader().toUtf8() + "\n1,A,2026-12-10 23:40:00,,2026-12-11 00:10:00,staff\n",
                 kDay.addDays(1));
        StatsWindow window(m_env->app().path(), kDay.addDays(1));
        QTRY_VERIFY(!window.isReading());
        QCOMPARE(window.shownHours().requests[0], 0);
        auto *day = window.findChild<QComboBox *>(u"statsDay"_s);
        QVERIFY(day);
        day->setCurrentIndex(day->findData(kDay));
        QCOMPARE(window.shownHours().requests[23], 1);
        QCOMPARE(window.shownHours().medianMinutes[23], std::optional<double>(30.0));
        // The table stays by the day a request left.
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);
        QCOMPARE(table->item(0, 1)->text(), u"1"_s);
        QCOMPARE(table->item(1, 1)->text(), u"0"_s);
    }

    // The value axes: whole numbers of requests, round minutes, the unit level above the axis.
    void axes_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("countTop");
        QTest::addColumn<int>("countTicks");
        QTest::addColumn<int>("minuteTop");
        QTest::addColumn<int>("minuteTicks");
        QTest::newRow("no request") << QByteArray() << 1 << 2 << 1 << 2;
        // One request of 33 seconds: no 0.55 on either axis.
        QTest::newRow("one short wait")
            << QByteArray("1,A,2026-12-10 09:00:00,,2026-12-10 09:00:33,staff\n") << 1 << 2 << 1 << 2;
        QByteArray seven;
        for (int i = 1; i <= 7; ++i)
            seven += QByteArray::number(i) + ",A,2026-12-10 09:00:00,,2026-12-10 09:07:12,staff\n";
        QTest::newRow("seven in an hour") << seven << 8 << 5 << 8 << 5;
    }
    void axes()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, countTop);
        QFETCH(int, countTicks);
        QFETCH(int, minuteTop);
        QFETCH(int, minuteTicks);
        writeDay(statsHeader().toUtf8() + '\n' + lines);
        StatsWindow window(m_env->app().path(), kDay);
        window.show();
        QTRY_VERIFY(!window.isReading());
        QValueAxis *count = valueAxis(window, u"requestsChart"_s);
        QValueAxis *minutes = valueAxis(window, u"waitChart"_s);
        QVERIFY(count && minutes);
        QCOMPARE(count->min(), 0.0);
        QCOMPARE(count->max(), double(countTop));
        QCOMPARE(count->tickCount(), countTicks);
        QCOMPARE(minutes->max(), double(minuteTop));
        QCOMPARE(minutes->tickCount(), minuteTicks);
        for (QValueAxis *axis : {count, minutes}) {
            QCOMPARE(axis->labelFormat(), u"%d"_s);
            QCOMPARE(axis->minorTickCount(), 0);
            QVERIFY(axis->titleText().isEmpty());
        }
        for (const auto &[name, unit] : {std::pair{u"requestsChart"_s, u"건"_s}, {u"waitChart"_s, u"분"_s}}) {
            auto *view = window.findChild<HourChart *>(name);
            const QGraphicsSimpleTextItem *title = view->unitTitle();
            QCOMPARE(title->text(), unit);
            QCOMPARE(title->rotation(), 0.0);
            const QRectF at = title->mapRectToParent(title->boundingRect());
            const QRectF plot = view->chart()->plotArea();
            QVERIFY2(at.bottom() <= plot.top() && at.right() <= plot.left(), qPrintable(name));
            QVERIFY(view->chart()->rect().contains(at));
        }
    }

    // Every day of the table shows without scrolling; the day list is a finger high.
    void allDaysInView()
    {
        writeDay(statsHeader().toUtf8() + "\n1," + QByteArray(300, 'T') +
                 ",2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n");
        StatsWindow window(m_env->app().path(), kDay);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.isReading());
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);
        QVERIFY(!table->verticalScrollBar()->isVisible());
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        for (int row = 0; row < StatsWindow::Days; ++row) {
            const QRect cell = table->visualItemRect(table->item(row, 0));
            QVERIFY2(table->viewport()->rect().contains(cell), qPrintable(QString::number(row)));
        }
        // The long table name is cut at the window's edge, whole in its tip.
        QVERIFY(table->visualItemRect(table->item(0, 5)).right() <= table->viewport()->rect().right());
        QCOMPARE(table->item(0, 5)->toolTip(), QString(QString(300, u'T') + u" 4.0"_s));
        auto *day = window.findChild<QComboBox *>(u"statsDay"_s);
        QVERIFY(day->height() >= 32);
    }

    // While open the window reads the files again every minute: lines written meanwhile
    // show, the chosen day stays chosen, and after midnight the new day comes first.
    void refreshesWhileOpen()
    {
        writeDay(statsHeader().toUtf8() + "\n1,A,2026-12-10 09:00:00,,2026-12-10 09:04:00,staff\n");
        StatsWindow window(m_env->app().path(), kDay);
        QSignalSpy done(&window, &StatsWindow::readingDone);
        QVERIFY(done.wait(10000));
        auto *refresh = window.findChild<QTimer *>(u"statsRefresh"_s);
        QVERIFY(refresh && refresh->isActive());
        QCOMPARE(refresh->interval(), 60 * 1000);
        auto *day = window.findChild<QComboBox *>(u"statsDay"_s);
        auto *table = window.findChild<QTableWidget *>(u"statsTable"_s);

        QFile file(statsFile(kDay));
        QVERIFY(file.open(QIODevice::Append));
        file.write("2,B,2026-12-10 09:30:00,,2026-12-10 09:31:00,staff\n");
        file.close();
        day->setCurrentIndex(0);
        QVERIFY(QMetaObject::invokeMethod(refresh, "timeout"));
        QVERIFY(window.isReading());
        QCOMPARE(table->item(0, 1)->text(), u"1"_s); // the old figures until the new ones are read
        QVERIFY(done.wait(10000));
        QCOMPARE(table->item(0, 1)->text(), u"2"_s);
        QCOMPARE(window.shownHours().requests[9], 2);

        m_env->clock().setNow(QDateTime(kDay.addDays(1), QTime(0, 1)));
        QVERIFY(QMetaObject::invokeMethod(refresh, "timeout"));
        QVERIFY(done.wait(10000));
        QCOMPARE(table->item(0, 0)->text(), u"2026-12-11"_s);
        QCOMPARE(table->item(1, 1)->text(), u"2"_s);
        QCOMPARE(day->itemData(0).toDate(), kDay.addDays(1));
        QCOMPARE(day->count(), StatsWindow::Days);
        QCOMPARE(day->currentData().toDate(), kDay);
        QCOMPARE(window.shownHours().requests[9], 2);
    }
};

QTEST_MAIN(TstStatsWindow)
#include "tst_statswindow.moc"
