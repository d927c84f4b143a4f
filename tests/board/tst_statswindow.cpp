#include "board/StatsWindow.h"
#include "stats/StatsReport.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

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

    void writeDay(const QByteArray &bytes)
    {
        QDir().mkpath(m_env->filePath(u"stats"_s));
        QFile file(statsFile(kDay));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
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
};

QTEST_MAIN(TstStatsWindow)
#include "tst_statswindow.moc"
