#include "monitor/AlertRepeat.h"

#include <QHash>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace kavri::monitor;

class TstAlertRepeat : public QObject
{
    Q_OBJECT
private slots:
    void intervalFrom_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("missing") << QString() << 0;
        QTest::newRow("off") << u"0"_s << 0;
        QTest::newRow("30") << u"30"_s << 30;
        QTest::newRow("spaces") << u" 60 "_s << 60;
        QTest::newRow("negative") << u"-30"_s << 0;
        QTest::newRow("words") << u"30초"_s << 0;
        QTest::newRow("fraction") << u"1.5"_s << 0;
        QTest::newRow("above an hour") << u"99999999999999999"_s << 3600;
        QTest::newRow("past 64 bits") << u"999999999999999999999999"_s << 0;
    }
    void intervalFrom()
    {
        QFETCH(QString, stored);
        QFETCH(int, seconds);
        QCOMPARE(AlertRepeat::intervalFrom(stored), seconds);
    }

    // A top nobody answers comes again every interval, five times, then is stale.
    void repeatsFiveTimesThenStale()
    {
        AlertRepeat repeat;
        repeat.setInterval(30, 1000);
        repeat.observeTop(u"101"_s, 1000);
        quint32 now = 1000;
        int played = 0;
        for (; now <= 1000 + 400000; now += 100) {
            if (repeat.isDue(now)) {
                QCOMPARE(now, 1000 + quint32(played + 1) * 30000);
                repeat.noteRepeated(now);
                ++played;
            }
            QCOMPARE(repeat.isStale(now), now >= 1000 + 150000);
        }
        QCOMPARE(played, AlertRepeat::MaxRepeats);
    }

    // What ends the repeats: staff, a new top, the option off; the same top again does not.
    void whatStopsIt_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("dueAfter");
        QTest::addColumn<bool>("staleAfter");
        QTest::newRow("same top listed again") << u"same"_s << true << true;
        QTest::newRow("staff answered") << u"stop"_s << false << false;
        QTest::newRow("another top") << u"other"_s << false << false;
        QTest::newRow("board emptied") << u"empty"_s << false << false;
        QTest::newRow("option off") << u"off"_s << false << false;
    }
    void whatStopsIt()
    {
        QFETCH(QString, event);
        QFETCH(bool, dueAfter);
        QFETCH(bool, staleAfter);
        AlertRepeat repeat;
        repeat.setInterval(60, 0);
        repeat.observeTop(u"7"_s, 0);
        const quint32 late = 6 * 60000;
        QVERIFY(repeat.isDue(late));
        QVERIFY(repeat.isStale(late));
        if (event == u"same"_s)
            repeat.observeTop(u"7"_s, late);
        else if (event == u"stop"_s)
            repeat.stop();
        else if (event == u"other"_s)
            repeat.observeTop(u"8"_s, late);
        else if (event == u"empty"_s)
            repeat.observeTop(QString(), late);
        else
            repeat.setInterval(0, late);
        QCOMPARE(repeat.isDue(late), dueAfter);
        QCOMPARE(repeat.isStale(late), staleAfter);
        // A new top after staff answered the old one is watched again.
        repeat.setInterval(60, late);
        repeat.observeTop(u"9"_s, late);
        QVERIFY(!repeat.isDue(late + 59999));
        QVERIFY(repeat.isDue(late + 60000));
    }

    // Repeats held back (a poll, a running alert) come one interval apart, never in a burst.
    void heldBackRepeatsDoNotBunch()
    {
        AlertRepeat repeat;
        repeat.setInterval(30, 0);
        repeat.observeTop(u"1"_s, 0);
        QVERIFY(repeat.isDue(95000)); // three intervals late
        repeat.noteRepeated(95000);
        QVERIFY(!repeat.isDue(95100));
        QVERIFY(!repeat.isDue(124999));
        QVERIFY(repeat.isDue(125000));
        QCOMPARE(repeat.repeats(), 1);
    }

    void fiveRepeatsPerRequest_data()
    {
        QTest::addColumn<QStringList>(
            "steps"); // a top ("=A", "=" for none), "play", "play N", "stop", "every N"
        QTest::addColumn<int>("repeatsOfA");
        QTest::newRow("same top listed again") << QStringList{u"=A"_s, u"play 2"_s, u"=A"_s, u"play"_s} << 5;
        QTest::newRow("a newer top came and went")
            << QStringList{u"=A"_s, u"play 3"_s, u"=B"_s, u"play"_s, u"=A"_s, u"play"_s} << 5;
        QTest::newRow("back and forth") << QStringList{u"=A"_s, u"play 2"_s, u"=B"_s, u"=A"_s,  u"play 2"_s,
                                                       u"=B"_s, u"play"_s,   u"=A"_s, u"play"_s}
                                        << 5;
        QTest::newRow("the board emptied and filled again")
            << QStringList{u"=A"_s, u"play 3"_s, u"="_s, u"play"_s, u"=A"_s, u"play"_s} << 5;
        QTest::newRow("the interval changed")
            << QStringList{u"=A"_s, u"play 3"_s, u"every 60"_s, u"play"_s} << 5;
        QTest::newRow("the option off and on again")
            << QStringList{u"=A"_s, u"play 3"_s, u"every 0"_s, u"play"_s, u"every 30"_s, u"play"_s} << 5;
        QTest::newRow("staff answered it, then it came back")
            << QStringList{u"=A"_s, u"play 1"_s, u"stop"_s, u"=B"_s, u"play"_s, u"=A"_s, u"play"_s} << 1;
        QStringList between{u"=A"_s, u"play 3"_s};
        for (int n = 1; n < AlertRepeat::RememberedRequests; ++n)
            between << u"=N"_s + QString::number(n) << u"play 1"_s;
        QTest::newRow("as many other tops as are remembered")
            << between + QStringList{u"=A"_s, u"play"_s} << 5;
    }
    // However the top changes meanwhile, a request is repeated at most five times.
    void fiveRepeatsPerRequest()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, repeatsOfA);
        AlertRepeat repeat;
        quint32 now = 1000;
        repeat.setInterval(30, now);
        QString top;
        QHash<QString, int> played;
        for (const QString &step : steps) {
            if (step.startsWith(u'=')) {
                top = step.mid(1);
                repeat.observeTop(top, now);
            } else if (step == u"stop"_s) {
                repeat.stop();
            } else if (step.startsWith(u"every "_s)) {
                repeat.setInterval(step.mid(6).toInt(), now);
            } else {
                // Ten minutes at most, in steps of a second: every repeat due comes.
                const int most = step == u"play"_s ? 1000 : step.mid(5).toInt();
                int n = 0;
                for (int second = 0; second < 600 && n < most; ++second) {
                    now += 1000;
                    if (repeat.isDue(now)) {
                        repeat.noteRepeated(now);
                        ++n;
                    }
                }
                played[top] += n;
                QCOMPARE(repeat.repeats(), std::min(played[top], AlertRepeat::MaxRepeats));
            }
        }
        QCOMPARE(played.value(u"A"_s), repeatsOfA);
        for (auto it = played.cbegin(); it != played.cend(); ++it)
            QVERIFY2(it.value() <= AlertRepeat::MaxRepeats, qPrintable(it.key()));
    }

    // The memory of repeats stays small however many requests pass the top; the
    // request longest away from it is forgotten first.
    void memoryIsBounded()
    {
        AlertRepeat repeat;
        quint32 now = 0;
        repeat.setInterval(30, now);
        for (int n = 0; n < 10000; ++n) {
            repeat.observeTop(QString::number(n), now);
            now += 30000;
            QVERIFY(repeat.isDue(now));
            repeat.noteRepeated(now);
        }
        QCOMPARE(repeat.remembered(), AlertRepeat::RememberedRequests);
        repeat.observeTop(u"9999"_s, now); // the present top is held, not remembered
        QCOMPARE(repeat.repeats(), 1);
        repeat.observeTop(QString::number(10000 - AlertRepeat::RememberedRequests), now);
        QCOMPARE(repeat.repeats(), 1);
        repeat.observeTop(u"0"_s, now);
        QCOMPARE(repeat.repeats(), 0);
        QVERIFY(repeat.remembered() <= AlertRepeat::RememberedRequests);
    }

    // The millisecond tick wraps after 49 days; waits are measured across it.
    void acrossTheTickWrap()
    {
        AlertRepeat repeat;
        const quint32 start = 0xFFFFFFFFu - 10000;
        repeat.setInterval(30, start);
        repeat.observeTop(u"1"_s, start);
        QVERIFY(!repeat.isDue(start + 29999));
        QVERIFY(repeat.isDue(start + 30000)); // wrapped past zero
        QVERIFY(!repeat.isStale(start + 30000));
        QVERIFY(repeat.isStale(start + 150000));
    }
};

QTEST_GUILESS_MAIN(TstAlertRepeat)
#include "tst_alertrepeat.moc"
