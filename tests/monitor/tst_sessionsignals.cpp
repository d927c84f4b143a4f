#include "codec/Cp949.h"
#include "monitor/MonitorSession.h"
#include "support/FileBytes.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

// The session without a window class: any QObject stands for the window, and
// what a window would show is what the session signals.
class TstSessionSignals : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

private slots:
    void init() { m_env.emplace(QDateTime(QDate(2026, 12, 10), QTime(10, 0))); }
    void cleanup() { m_env.reset(); }

    // Attaching shows the health at once; the activation reads calltime and
    // switches LoopTimer on, but only while a window is attached.
    void attachAndActivate()
    {
        QVERIFY(test::writeBytes(m_env->cfgPath(), codec::toCp949(u"[Set]\r\ncalltime=30초\r\n"_s)));
        MonitorSession session;
        session.activate();
        QVERIFY(!session.loopTimer()->isActive());

        QObject window;
        QSignalSpy health(&session, &MonitorSession::healthChanged);
        session.attach(&window);
        QCOMPARE(session.window(), &window);
        QCOMPARE(health.count(), 1);
        session.activate();
        QVERIFY(session.loopTimer()->isActive());
        QCOMPARE(session.pollLoop().LoopInterval(), 30000u);
    }

    void windowLeaves_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("detachedSent");
        QTest::newRow("detach") << u"detach"_s << 1;
        QTest::newRow("window destroyed") << u"destroyed"_s << 0;
        QTest::newRow("logout or terminate") << u"shutDown"_s << 1;
    }
    // However the window leaves, the loop stops, the session forgets it, its
    // ties to the session are cut, and a stray tick or activation does nothing.
    void windowLeaves()
    {
        QFETCH(QString, how);
        QFETCH(int, detachedSent);
        MonitorSession session;
        auto window = std::make_unique<QObject>();
        int heard = 0;
        connect(&session, &MonitorSession::healthChanged, window.get(), [&heard] { ++heard; });
        session.attach(window.get());
        session.activate();
        QCOMPARE(heard, 1);
        QSignalSpy detached(&session, &MonitorSession::detached);
        QSignalSpy stale(&session, &MonitorSession::bannerStaleChanged);

        if (how == u"detach"_s)
            session.detach();
        else if (how == u"destroyed"_s)
            window.reset();
        else
            session.shutDown();

        QCOMPARE(detached.count(), detachedSent);
        QVERIFY(!session.window());
        QVERIFY(!session.loopTimer()->isActive());
        session.activate();
        QVERIFY(!session.loopTimer()->isActive());
        session.loopTimer()->start(0);
        QTest::qWait(50);
        QCOMPARE(stale.count(), 0); // no tick ran the repeat
        session.cycle().healthUpdated();
        QCOMPARE(heard, 1);
    }

    // A second window takes the first one's place: only it hears the session.
    void secondWindowReplacesTheFirst()
    {
        MonitorSession session;
        QObject first;
        QObject second;
        int firstHeard = 0;
        int secondHeard = 0;
        connect(&session, &MonitorSession::healthChanged, &first, [&firstHeard] { ++firstHeard; });
        session.attach(&first);
        connect(&session, &MonitorSession::healthChanged, &second, [&secondHeard] { ++secondHeard; });
        session.attach(&second);
        QCOMPARE(session.window(), &second);
        QCOMPARE(firstHeard, 1);
        QCOMPARE(secondHeard, 1);
        session.cycle().healthUpdated();
        QCOMPARE(firstHeard, 1);
        QCOMPARE(secondHeard, 2);
    }

    // A click on the banner takes its steady frame away while a window shows it.
    void bannerSeen()
    {
        MonitorSession session;
        QSignalSpy stale(&session, &MonitorSession::bannerStaleChanged);
        session.bannerSeen();
        QCOMPARE(stale.count(), 0);
        QObject window;
        session.attach(&window);
        session.bannerSeen();
        QCOMPARE(stale.count(), 1);
        QCOMPARE(stale.at(0).at(0).toBool(), false);
        QVERIFY(session.alertRepeat().stopped());
    }
};

QTEST_MAIN(TstSessionSignals)
#include "tst_sessionsignals.moc"
