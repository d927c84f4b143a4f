#include "codec/Cp949.h"
#include "monitor/PollLoop.h"
#include "platform/Clock.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {
const QString kSkipLine = u"LoopTimer_Timer ... LoopTimerDoing으로 미처리"_s;
}

class TstPollLoop : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;
    QList<quint32> m_cycleStarts; ///< ticks at which cycles started

    int skipLines() const
    {
        const QString log = codec::fromCp949(test::readBytes(m_env->filePath(u"260501.log"_s)));
        return int(log.count(kSkipLine));
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(12, 0)));
        m_env->clock().setTick(5000000);
        m_cycleStarts.clear();
    }
    void cleanup() { m_env.reset(); }

    void intervalFromCallTime_data()
    {
        QTest::addColumn<QString>("calltime");
        QTest::addColumn<quint32>("ms");
        QTest::newRow("missing") << QString() << 10000u;
        QTest::newRow("9") << u"9"_s << 10000u;
        QTest::newRow("0") << u"0"_s << 10000u;
        QTest::newRow("-5") << u"-5"_s << 10000u;
        QTest::newRow("no digits") << u"자주"_s << 10000u;
        QTest::newRow("10") << u"10"_s << 10000u;
        QTest::newRow("11") << u"11"_s << 11000u;
        QTest::newRow("30") << u"30"_s << 30000u;
        QTest::newRow("30초") << u"30초"_s << 30000u;
        QTest::newRow("초 before") << u"초15"_s << 15000u;
        QTest::newRow("12.5 to even") << u"12.5"_s << 12000u;
        QTest::newRow("beyond the tick's reach")
            << u"99999999999"_s << quint32(PollLoop::kMaxIntervalSeconds * 1000);
    }
    void intervalFromCallTime()
    {
        QFETCH(QString, calltime);
        QFETCH(quint32, ms);
        QCOMPARE(PollLoop::intervalFromCallTime(calltime), ms);
    }

    void activationReadsCallTime()
    {
        const QString cfg = m_env->filePath(u"Zarazo.cfg"_s);
        QVERIFY(test::writeBytes(cfg, codec::toCp949(u"[Set]\r\ncalltime=30초\r\n"_s)));
        CfgMain.setFileName(cfg);
        PollLoop loop([] {});
        loop.activate();
        QCOMPARE(loop.LoopInterval(), 30000u);
        QVERIFY(test::writeBytes(cfg, codec::toCp949(u"[Set]\r\n"_s)));
        loop.activate();
        QCOMPARE(loop.LoopInterval(), 10000u);
    }

    void firstCycleOnFirstTick()
    {
        int cycles = 0;
        PollLoop loop([&cycles] { ++cycles; });
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
        QVERIFY(!loop.LoopTimerDoing());
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
    }

    // How long the window's timer may sleep: nothing before the first cycle,
    // one tick while a cycle runs or a confirmation holds the loop, else what is
    // left of the interval, also across the tick's wrap.
    void nextDecision()
    {
        quint32 duringCycle = 0;
        PollLoop *self = nullptr;
        PollLoop loop([&] {
            m_env->clock().advance(3000);
            duringCycle = self->msUntilNextDecision();
        });
        self = &loop;
        QCOMPARE(loop.msUntilNextDecision(), 0u);
        loop.LoopTimer_Timer();
        QCOMPARE(duringCycle, PollLoop::kTickMs);
        const quint32 left = loop.msUntilNextDecision();
        QVERIFY2(left <= 10000u && left > 9000u, qPrintable(QString::number(left)));
        m_env->clock().advance(4000);
        QVERIFY(loop.msUntilNextDecision() <= 6000u);
        loop.setLoopTimerDoing(true);
        QCOMPARE(loop.msUntilNextDecision(), PollLoop::kTickMs);
        loop.setLoopTimerDoing(false);
        m_env->clock().advance(7000);
        QCOMPARE(loop.msUntilNextDecision(), 0u);

        m_env->clock().setTick(0xFFFFFFFFu - 1000);
        loop.restartInterval();
        m_env->clock().advance(2000); // past the wrap
        const quint32 afterWrap = loop.msUntilNextDecision();
        QVERIFY2(afterWrap <= 8000u && afterWrap > 7000u, qPrintable(QString::number(afterWrap)));
    }

    // A 25-second cycle with a 10-second interval: the ticks during the cycle
    // only write the skip line; the next cycle starts 10 s after it ended.
    void longCycle()
    {
        PollLoop *self = nullptr;
        qint64 cycleMs = 25000;
        PollLoop loop([&] {
            m_cycleStarts.append(m_env->clock().tick());
            for (qint64 t = 0; t < cycleMs; t += 100) {
                m_env->clock().advance(100);
                self->LoopTimer_Timer();
            }
        });
        self = &loop;
        const quint32 start = m_env->clock().tick();
        loop.LoopTimer_Timer();
        QCOMPARE(m_cycleStarts.size(), 1);
        QCOMPARE(skipLines(), 250);
        const quint32 ended = loop.LastLoopTick();
        QVERIFY(quint32(ended - start) >= 25000u);

        cycleMs = 0;
        for (int i = 0; i < 99; ++i) {
            m_env->clock().advance(100);
            loop.LoopTimer_Timer();
        }
        QCOMPARE(m_cycleStarts.size(), 1);
        QCOMPARE(skipLines(), 250);
        m_env->clock().advance(100);
        loop.LoopTimer_Timer();
        QCOMPARE(m_cycleStarts.size(), 2);
        QVERIFY(quint32(m_cycleStarts.at(1) - ended) >= 10000u);
    }

    void tickWrap_data()
    {
        QTest::addColumn<quint32>("firstTick");
        QTest::newRow("across the wrap") << quint32(0xFFFFFFFFu - 4000u);
        QTest::newRow("a cycle ending on tick 0") << quint32(0);
        QTest::newRow("just before the wrap") << quint32(0xFFFFFFFFu);
    }
    void tickWrap()
    {
        QFETCH(quint32, firstTick);
        int cycles = 0;
        PollLoop loop([&] {
            ++cycles;
            m_env->clock().setTick(firstTick);
        });
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
        // 9.9 s later, wherever the wrap falls, it is not yet time.
        for (int i = 0; i < 99; ++i) {
            m_env->clock().advance(100);
            loop.LoopTimer_Timer();
        }
        QCOMPARE(cycles, 1);
        m_env->clock().advance(100);
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 2);
    }

    // The confirmation holds the loop: ticks only write the skip line.
    void heldByTheConfirmation()
    {
        int cycles = 0;
        PollLoop loop([&cycles] { ++cycles; });
        loop.setLoopTimerDoing(true);
        loop.LoopTimer_Timer();
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 0);
        QCOMPARE(skipLines(), 2);
        loop.setLoopTimerDoing(false);
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
    }

    // While a cycle started elsewhere runs, a due tick waits for it to end
    // instead of asking for a second cycle.
    void cycleStartedElsewhere()
    {
        int cycles = 0;
        bool running = true;
        PollLoop loop([&cycles] { ++cycles; }, [&running] { return running; });
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 0);
        QCOMPARE(skipLines(), 0);
        running = false;
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
    }

    // An option change moves the next poll one full interval away.
    void restartInterval()
    {
        int cycles = 0;
        PollLoop loop([&cycles] { ++cycles; });
        loop.LoopTimer_Timer();
        m_env->clock().advance(8000);
        loop.restartInterval();
        m_env->clock().advance(8000);
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 1);
        m_env->clock().advance(2000);
        loop.LoopTimer_Timer();
        QCOMPARE(cycles, 2);
    }
};

QTEST_GUILESS_MAIN(TstPollLoop)
#include "tst_pollloop.moc"
