#include "monitor/Confirmation.h"
#include "monitor/Expiry.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "stats/StatsReport.h"
#include "support/FileBytes.h"
#include "support/RecordedStats.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

const QDate kDay(2026, 12, 10);

QString at(const QString &time)
{
    return kDay.toString(u"yyyy-MM-dd "_s) + time;
}

} // namespace

// The request cycle feeds the response-time statistics: each request that leaves
// the service's list becomes one line of the day's file.
class TstCycleStats : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    QString statsFile(const QDate &day) const { return stats::statsFilePath(m_env->app().path(), day); }

    QStringList recorded(const QDate &day) const
    {
        return test::recordedStatsLines(m_env->app().path(), day);
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(kDay, QTime(10, 0, 0)));
        m_env->clock().setTick(5000000);
    }
    void cleanup() { m_env.reset(); }

    // Staff, the expiry pass and another device each end a request; an error
    // page between polls ends none.
    void cycleRecordsLeaving()
    {
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        sim.logIn(3000);
        RequestBoard board;
        board.setLayout(0, 0);
        RequestCycle cycle(board);
        PollLoop loop([&cycle] { cycle.Load_Kavri(false); }, [&cycle] { return cycle.isRunning(); });
        ConfirmFlow flow(board, cycle, loop);
        QString minutes = u"0"_s;
        RequestCycle::Hooks hooks;
        hooks.expiryPass = [&] { runExpiryPass(minutes, board, cycle); };
        cycle.setHooks(hooks);
        auto add = [&sim](const QString &table, const QString &time) {
            return QString::number(
                sim.addRequest(test::Simulator::shopId, table, u"물 주세요"_s, {}, at(time)));
        };
        const QString a = add(u"A"_s, u"09:50:00"_s);
        const QString b = add(u"B"_s, u"09:55:00"_s);
        const QString c = add(u"C"_s, u"09:57:00"_s);
        QVERIFY(cycle.Load_Kavri(false));
        QCOMPARE(cycle.responseStats().followedCount(), 3);
        QCOMPARE(recorded(kDay), QStringList());

        // Staff confirm A at 10:03.
        m_env->clock().setNow(QDateTime(kDay, QTime(10, 3, 0)));
        int rowA = -1;
        for (int r = 0; r < board.rowCount(); ++r) {
            if (board.row(r).numTag == a)
                rowA = r;
        }
        QVERIFY(rowA >= 0);
        flow.rowClicked(rowA);
        flow.CMD_Click(0);
        QCOMPARE(recorded(kDay), QStringList{a + u" A staff 10:03 13"_s});

        // An error page with status 200 lists nothing: nobody has left.
        m_env->clock().setNow(QDateTime(kDay, QTime(10, 4, 0)));
        QVERIFY(sim.setRawAnswer(u"<html>DB error</html>"_s, 1));
        QVERIFY(cycle.Load_Kavri(false));
        QCOMPARE(cycle.responseStats().followedCount(), 2);
        QCOMPARE(recorded(kDay).size(), 1);

        // B is confirmed elsewhere (another counter): gone at the next poll.
        QVERIFY(Check_Kavri(b));
        m_env->clock().setNow(QDateTime(kDay, QTime(10, 5, 0)));
        QVERIFY(cycle.Load_Kavri(false));
        QCOMPARE(recorded(kDay).last(), b + u" B gone 10:05 10"_s);

        // C expires after 5 minutes: the pass confirms it at 10:06.
        minutes = u"5"_s;
        m_env->clock().setNow(QDateTime(kDay, QTime(10, 6, 0)));
        QVERIFY(cycle.Load_Kavri(false));
        QCOMPARE(recorded(kDay), (QStringList{a + u" A staff 10:03 13"_s, b + u" B gone 10:05 10"_s,
                                              c + u" C auto 10:06 9"_s}));
        QCOMPARE(cycle.responseStats().followedCount(), 0);
        // Nothing left to follow: a further poll writes nothing.
        QVERIFY(cycle.Load_Kavri(false));
        QCOMPARE(recorded(kDay).size(), 3);
        const QByteArray bytes = test::readBytes(statsFile(kDay));
        QVERIFY(bytes.startsWith(stats::statsHeader().toUtf8() + '\n'));
        test::Simulator::logOut();
    }
};

QTEST_MAIN(TstCycleStats)
#include "tst_cyclestats.moc"
