#include "codec/Cp949.h"
#include "monitor/Confirmation.h"
#include "monitor/Expiry.h"
#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "platform/Clock.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardRows.h"
#include "support/FileBytes.h"
#include "support/RecordText.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

const QString kListPath = u"/program/qrtablememolistloading.php"_s;
const QString kConfirmPath = u"/program/qrtablememoOK.php"_s;
const QDate kDay(2026, 12, 10);

QString at(const QString &time)
{
    return kDay.toString(u"yyyy-MM-dd "_s) + time;
}

} // namespace

// Confirming marked rows and the expiry pass, against the simulator: the
// board, the cycle, the poll loop and the confirm button as the session holds
// them, without a window.
class TstConfirmation : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;
    std::unique_ptr<test::Simulator> m_sim;
    std::unique_ptr<RequestBoard> m_board;
    std::unique_ptr<RequestCycle> m_cycle;
    std::unique_ptr<PollLoop> m_loop;
    std::unique_ptr<ConfirmFlow> m_flow;
    QStringList m_events;                    ///< "show", "hide", "alert" or "alert silent"
    QString m_minutes;                       ///< what the expiry label shows
    std::function<void()> m_aroundExpiry[2]; ///< run before and after each expiry pass

    qint64 add(const QString &table, const QString &time)
    {
        return m_sim->addRequest(test::Simulator::shopId, table, u"물 주세요"_s, {}, at(time));
    }

    /// The service's side: "list" for a list request, the number for a confirmation.
    QStringList exchanges()
    {
        QStringList out;
        for (const test::ReceivedRequest &r : m_sim->receivedLog()) {
            if (r.target == kListPath)
                out << u"list"_s;
            else if (r.target == kConfirmPath)
                out << QString::fromUtf8(r.body.mid(r.body.indexOf("numt=") + 5));
        }
        return out;
    }

    QStringList rowTables() const { return test::rowTables(*m_board); }

    QList<int> markedRows() const
    {
        QList<int> out;
        for (int r = 0; r < RequestBoard::kMaxRows; ++r) {
            if (m_board->row(r).marked)
                out << r;
        }
        return out;
    }

    /// exchanges() with the retries of one post counted once.
    QStringList posts()
    {
        QStringList out = exchanges();
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    QStringList alerts() const
    {
        QStringList out;
        for (const QString &e : m_events) {
            if (e.startsWith(u"alert"_s))
                out << e;
        }
        return out;
    }

    QString mainLog() const { return codec::fromCp949(test::readBytes(m_env->filePath(u"261210.log"_s))); }

    /// A cycle as the poll loop runs it, after which the service's log starts afresh.
    void poll()
    {
        QVERIFY(m_cycle->Load_Kavri(false));
        QVERIFY(m_sim->clearLog());
        m_events.clear();
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(kDay, QTime(10, 0, 0)));
        m_env->clock().setTick(5000000);
        m_sim = std::make_unique<test::Simulator>();
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        m_sim->logIn(3000);

        m_board = std::make_unique<RequestBoard>();
        m_board->setLayout(0, 0);
        m_cycle = std::make_unique<RequestCycle>(*m_board);
        m_loop = std::make_unique<PollLoop>([this] { m_cycle->Load_Kavri(false); },
                                            [this] { return m_cycle->isRunning(); });
        m_flow = std::make_unique<ConfirmFlow>(*m_board, *m_cycle, *m_loop);
        m_events.clear();
        m_minutes = u"0"_s;
        m_aroundExpiry[0] = m_aroundExpiry[1] = nullptr;
        RequestCycle::Hooks hooks;
        hooks.showWait = [this] { m_events << u"show"_s; };
        hooks.hideWait = [this] { m_events << u"hide"_s; };
        hooks.newRequestAlert = [this](bool silent) {
            m_events << (silent ? u"alert silent"_s : u"alert"_s);
        };
        hooks.expiryPass = [this] {
            if (m_aroundExpiry[0])
                m_aroundExpiry[0]();
            runExpiryPass(m_minutes, *m_board, *m_cycle);
            if (m_aroundExpiry[1])
                m_aroundExpiry[1]();
        };
        m_cycle->setHooks(hooks);
        m_flow->setHooks(
            {[this] { m_events << u"confirm show"_s; }, [this] { m_events << u"confirm hide"_s; }});
    }
    void cleanup()
    {
        m_flow.reset();
        m_loop.reset();
        m_cycle.reset();
        m_board.reset();
        m_sim.reset();
        m_env.reset();
    }

    // Empty rows and rows not in use take no mark and do not postpone the
    // poll; the button shows while any mark is left.
    void markingAndTheButton()
    {
        QVERIFY(add(u"A"_s, u"09:58:00"_s) > 0);
        QVERIFY(add(u"B"_s, u"09:59:00"_s) > 0);
        poll();
        QSignalSpy buttonChanges(m_flow.get(), &ConfirmFlow::buttonChanged);
        for (int r : {2, 9, 10, 29, -1})
            m_flow->rowClicked(r);
        QCOMPARE(markedRows(), QList<int>());
        QCOMPARE(m_loop->LastLoopTick(), 0u);
        QVERIFY(!m_flow->buttonVisible());
        QCOMPARE(buttonChanges.size(), 0);

        m_flow->rowClicked(1);
        QVERIFY(m_loop->LastLoopTick() >= 5000000u);
        m_flow->rowClicked(0);
        QCOMPARE(markedRows(), (QList<int>{0, 1}));
        QVERIFY(m_flow->buttonVisible());
        QVERIFY(m_flow->buttonEnabled());
        m_flow->rowClicked(1);
        QVERIFY(m_flow->buttonVisible());
        m_flow->rowClicked(0);
        QCOMPARE(markedRows(), QList<int>());
        QVERIFY(!m_flow->buttonVisible());
        QCOMPARE(buttonChanges.size(), 2);

        // A new layout clears the marks, and the button goes with them.
        m_flow->rowClicked(0);
        m_board->setLayout(0, 1);
        QVERIFY(!m_flow->buttonVisible());
        QCOMPARE(exchanges(), QStringList());
    }

    // Three marked rows: three confirmations in row order whatever the order
    // of the clicks, then one silent reload; marks and button are gone.
    void threeRowsInRowOrder()
    {
        QStringList numbers;
        for (const auto &[table, time] : QList<QPair<QString, QString>>{{u"A"_s, u"09:50:00"_s},
                                                                        {u"B"_s, u"09:51:00"_s},
                                                                        {u"C"_s, u"09:52:00"_s},
                                                                        {u"D"_s, u"09:53:00"_s}})
            numbers.prepend(QString::number(add(table, time)));
        poll();
        QCOMPARE(rowTables(), (QStringList{u"D"_s, u"C"_s, u"B"_s, u"A"_s}));
        for (int r : {2, 0, 1})
            m_flow->rowClicked(r);

        m_flow->CMD_Click(0);
        QCOMPARE(exchanges(), (QStringList{numbers[0], numbers[1], numbers[2], u"list"_s}));
        QCOMPARE(rowTables(), QStringList{u"A"_s});
        QCOMPARE(markedRows(), QList<int>());
        QVERIFY(!m_flow->buttonVisible());
        QVERIFY(m_flow->buttonEnabled());
        QVERIFY(!m_loop->LoopTimerDoing());
        const QStringList confirmOne{u"confirm show"_s, u"confirm hide"_s};
        const QStringList reload{u"show"_s, u"hide"_s, u"show"_s, u"hide"_s, u"alert silent"_s};
        QCOMPARE(m_events, confirmOne + confirmOne + confirmOne + reload);
        const QString log = mainLog();
        QVERIFY2(log.contains(u"]CMD_Click Start CMD(0).Enabled := True\r\n"_s), qPrintable(log));
        QVERIFY(log.contains(u"]CMD_Click NextStep\r\n"_s));
    }

    // A confirmation the service did not take: the request is back after the
    // reload, unmarked.
    void failedConfirmation()
    {
        const QString number = QString::number(add(u"A"_s, u"09:50:00"_s));
        poll();
        m_flow->rowClicked(0);
        QVERIFY(m_sim->setFault(u"blank"_s, 1));
        m_flow->CMD_Click(0);
        QCOMPARE(exchanges(), (QStringList{number, u"list"_s}));
        QCOMPARE(rowTables(), QStringList{u"A"_s});
        QCOMPARE(markedRows(), QList<int>());
        QVERIFY(!m_flow->buttonVisible());
    }

    // During a slow confirmation: a second press only writes its line, a poll
    // tick skips, and a row marked meanwhile keeps its mark and the button.
    void secondPressDuringAConfirmation()
    {
        const QString first = QString::number(add(u"A"_s, u"09:50:00"_s));
        QVERIFY(add(u"B"_s, u"09:51:00"_s) > 0);
        poll();
        m_flow->rowClicked(1);
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"both"_s, 1500));
        bool disabledMeanwhile = false;
        QTimer::singleShot(300, this, [&] {
            disabledMeanwhile = !m_flow->buttonEnabled() && m_flow->buttonVisible();
            m_flow->CMD_Click(0);
            m_loop->LoopTimer_Timer();
            m_flow->rowClicked(0);
        });
        m_flow->CMD_Click(0);
        QVERIFY(disabledMeanwhile);
        QCOMPARE(exchanges(), (QStringList{first, u"list"_s}));
        QCOMPARE(rowTables(), QStringList{u"B"_s});
        QCOMPARE(markedRows(), QList<int>{0});
        QVERIFY(m_flow->buttonVisible());
        QVERIFY(m_flow->buttonEnabled());
        const QString log = mainLog();
        QCOMPARE(log.count(u"]CMD_Click Start CMD(0).Enabled := True\r\n"_s), 1);
        QCOMPARE(log.count(u"]CMD_Click Start CMD(0).Enabled := False\r\n"_s), 1);
        QCOMPARE(log.count(u"]CMD_Click NextStep\r\n"_s), 1);
        QCOMPARE(log.count(u"]LoopTimer_Timer ... LoopTimerDoing으로 미처리\r\n"_s), 1);
        QVERIFY(!m_loop->LoopTimerDoing());
    }

    // A press while a cycle rewrites the board sends nothing and leaves marks
    // and button as they were.
    void pressWhileACycleRuns()
    {
        QVERIFY(add(u"A"_s, u"09:50:00"_s) > 0);
        poll();
        m_flow->rowClicked(0);
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"both"_s, 1000));
        QTimer::singleShot(200, this, [&] { m_flow->CMD_Click(0); });
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(exchanges(), QStringList{u"list"_s});
        QCOMPARE(markedRows(), QList<int>{0});
        QVERIFY(m_flow->buttonVisible());
        QVERIFY(m_flow->buttonEnabled());
        QVERIFY(!m_loop->LoopTimerDoing());
        QVERIFY(mainLog().contains(u"]CMD_Click NextStep\r\n"_s));
    }

    // A mark stays with its request when a new one pushes it down, and goes
    // when its request leaves the list; the press reports only what was marked.
    void marksFollowTheirRequests()
    {
        const QString a = QString::number(add(u"A"_s, u"09:50:00"_s));
        QVERIFY(add(u"B"_s, u"09:51:00"_s) > 0);
        poll();
        m_flow->rowClicked(1); // A
        const QString c = QString::number(add(u"C"_s, u"09:52:00"_s));
        poll();
        QCOMPARE(rowTables(), (QStringList{u"C"_s, u"B"_s, u"A"_s}));
        QCOMPARE(markedRows(), QList<int>{2});

        // C is marked, then confirmed at another counter.
        m_flow->rowClicked(0);
        QVERIFY(Check_Kavri(c));
        poll();
        QCOMPARE(markedRows(), QList<int>{1});
        QVERIFY(m_flow->buttonVisible());
        m_flow->CMD_Click(0);
        QCOMPARE(exchanges(), (QStringList{a, u"list"_s}));
        QCOMPARE(rowTables(), QStringList{u"B"_s});

        // The last marked request leaves: the button goes too.
        m_flow->rowClicked(0);
        const qint64 b = m_board->row(0).numTag.toLongLong();
        QVERIFY(Check_Kavri(QString::number(b)));
        poll();
        QCOMPARE(markedRows(), QList<int>());
        QVERIFY(!m_flow->buttonVisible());
    }

    // A failure while the press runs is reported; the poll loop and the button
    // are released and the cycle still works.
    void expiry_data()
    {
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("registered"); // in the order the requests arrive
        QTest::addColumn<QStringList>("expected");   // "list" or the index of a confirmed request
        QTest::newRow("off") << u"0"_s << u"12:00:00"_s << QStringList{u"10:00:00"_s}
                             << QStringList{u"list"_s};
        QTest::newRow("unreadable minutes are off")
            << u"분"_s << u"12:00:00"_s << QStringList{u"10:00:00"_s} << QStringList{u"list"_s};
        QTest::newRow("5 min, at 10:05:00 still shown")
            << u"5"_s << u"10:05:00"_s << QStringList{u"10:00:00"_s} << QStringList{u"list"_s};
        QTest::newRow("5 min, at 10:05:01 confirmed, one reload")
            << u"5"_s << u"10:05:01"_s << QStringList{u"10:00:00"_s}
            << QStringList{u"list"_s, u"0"_s, u"list"_s};
        QTest::newRow("registered in the future")
            << u"5"_s << u"10:05:01"_s << QStringList{u"10:00:00"_s, u"10:07:00"_s, u"11:00:00"_s}
            << QStringList{u"list"_s, u"0"_s, u"list"_s};
        QTest::newRow("newest first, then one reload")
            << u"1"_s << u"10:10:00"_s << QStringList{u"10:00:00"_s, u"10:02:00"_s, u"10:01:00"_s}
            << QStringList{u"list"_s, u"1"_s, u"2"_s, u"0"_s, u"list"_s};
        QStringList eleven(10, u"10:04:30"_s);
        eleven.prepend(u"10:00:00"_s);
        QTest::newRow("beyond the row count") << u"5"_s << u"10:05:01"_s << eleven << QStringList{u"list"_s};
    }
    void expiry()
    {
        QFETCH(QString, minutes);
        QFETCH(QString, now);
        QFETCH(QStringList, registered);
        QFETCH(QStringList, expected);
        QStringList numbers;
        for (const QString &time : registered)
            numbers << QString::number(add(u"T"_s + QString::number(numbers.size()), time));
        m_minutes = minutes;
        m_env->clock().setNow(QDateTime::fromString(at(now), u"yyyy-MM-dd HH:mm:ss"_s));
        QVERIFY(m_cycle->Load_Kavri(false));
        QStringList want;
        for (const QString &e : expected)
            want << (e == u"list"_s ? e : numbers[e.toInt()]);
        QCOMPARE(exchanges(), want);
        QVERIFY(!m_cycle->isRunning());
    }

    // A service that answers "성공" but keeps listing what it was told is done:
    // each poll confirms it twice (its own pass and the reload's) and stops;
    // the request, which the program itself confirmed, is never announced.
    void serviceThatIgnoresConfirmations()
    {
        const QString answer = u"성공"_s + test::answerText({test::rec(u"77"_s, u"A"_s, at(u"09:00:00"_s))});
        QVERIFY(m_sim->setRawAnswer(answer, 0));
        m_minutes = u"5"_s;
        const QStringList onePoll{u"list"_s, u"77"_s, u"list"_s, u"77"_s};
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(exchanges(), onePoll);
        m_loop->restartInterval();
        m_env->clock().advance(10000);
        m_loop->LoopTimer_Timer();
        QCOMPARE(exchanges(), onePoll + onePoll);
        QCOMPARE(rowTables(), QStringList{u"A"_s});
        QCOMPARE(alerts(), QStringList());
    }

    void expiredRequestsAreNotAnnounced_data()
    {
        QTest::addColumn<QStringList>("registered"); // in the order the requests arrive
        QTest::addColumn<QStringList>("shownAfter");
        QTest::addColumn<QStringList>("alerts");
        QTest::newRow("every request expired")
            << QStringList{u"09:00:00"_s, u"09:10:00"_s} << QStringList() << QStringList();
        QTest::newRow("a new request above expired ones")
            << QStringList{u"09:00:00"_s, u"09:59:00"_s} << QStringList{u"T1"_s} << QStringList{u"alert"_s};
        QTest::newRow("nothing expired") << QStringList{u"09:58:00"_s, u"09:59:00"_s}
                                         << QStringList{u"T1"_s, u"T0"_s} << QStringList{u"alert"_s};
    }
    // At a start, a login or after an outage every listed request may be past
    // the expiry minutes: the pass confirms them and nothing is announced for
    // them; a request that is not expired is announced once.
    void expiredRequestsAreNotAnnounced()
    {
        QFETCH(QStringList, registered);
        QFETCH(QStringList, shownAfter);
        QFETCH(QStringList, alerts);
        for (const QString &time : registered)
            QVERIFY(add(u"T"_s + QString::number(registered.indexOf(time)), time) > 0);
        m_minutes = u"5"_s;
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(rowTables(), shownAfter);
        QCOMPARE(this->alerts(), alerts);
        QVERIFY(!m_cycle->isRunning());
    }

    void expiryStopsWhenTheServiceHangs_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("confirmation hangs") << u"hang"_s;
        QTest::newRow("connection dropped") << u"drop"_s;
    }
    // A service that hangs on confirmations holds the poll for one
    // confirmation, not one per expired row: the pass ends at the first that
    // gets no answer, asks no reload, and the next pass confirms the rest.
    void expiryStopsWhenTheServiceHangs()
    {
        QFETCH(QString, fault);
        m_sim->logIn(500);
        QStringList numbers;
        for (int n = 0; n < 5; ++n)
            numbers.prepend(
                QString::number(add(u"T"_s + QString::number(n), u"09:0"_s + QString::number(n) + u":00"_s)));
        m_minutes = u"5"_s;
        // Only the confirmations misbehave: the list answers as usual.
        m_aroundExpiry[0] = [&] { QVERIFY(m_sim->setFault(fault, 0)); };
        m_aroundExpiry[1] = [&] { QVERIFY(m_sim->reset()); };
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(posts(), (QStringList{u"list"_s, numbers[0]}));
        QCOMPARE(rowTables().size(), 5);
        QCOMPARE(alerts(), QStringList());

        QVERIFY(m_sim->clearLog());
        m_aroundExpiry[0] = m_aroundExpiry[1] = nullptr;
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(posts(), QStringList{u"list"_s} + numbers + QStringList{u"list"_s});
        QCOMPARE(rowTables(), QStringList());
        QCOMPARE(alerts(), QStringList());
    }

    void oneConfirmationMisbehaves_data()
    {
        QTest::addColumn<QString>("fault");     // for that request's confirmations alone
        QTest::addColumn<int>("row");           // its row among the five expired ones
        QTest::addColumn<QStringList>("first"); // the poll: "list" or the row of a confirmation
        QTest::addColumn<QList<int>>("left");   // the rows still listed after it
        QTest::addColumn<QStringList>("next");  // the next poll, the service well again
        const QStringList all{u"list"_s, u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"list"_s};
        QTest::newRow("top row refused") << u"raw"_s << 0 << all + QStringList{u"0"_s} << QList<int>{0}
                                         << QStringList{u"list"_s, u"0"_s, u"list"_s};
        QTest::newRow("middle row refused") << u"raw"_s << 2 << all + QStringList{u"2"_s} << QList<int>{2}
                                            << QStringList{u"list"_s, u"2"_s, u"list"_s};
        QTest::newRow("error page for one") << u"error500"_s << 1 << all + QStringList{u"1"_s}
                                            << QList<int>{1} << QStringList{u"list"_s, u"1"_s, u"list"_s};
        QTest::newRow("blank answer for the next to oldest")
            << u"blank"_s << 3 << all + QStringList{u"3"_s} << QList<int>{3}
            << QStringList{u"list"_s, u"3"_s, u"list"_s};
        // The reload's own pass meets the hang again and stops there too.
        QTest::newRow("middle row hangs")
            << u"hang"_s << 2 << QStringList{u"list"_s, u"0"_s, u"1"_s, u"2"_s, u"list"_s, u"2"_s}
            << QList<int>{2, 3, 4} << QStringList{u"list"_s, u"2"_s, u"3"_s, u"4"_s, u"list"_s};
        QTest::newRow("top row dropped")
            << u"drop"_s << 0 << QStringList{u"list"_s, u"0"_s} << QList<int>{0, 1, 2, 3, 4}
            << QStringList{u"list"_s, u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"list"_s};
    }
    // The service refuses or hangs on one request's confirmation while older
    // ones expire: a refusal passes over that request alone (it is tried again
    // by the next pass), a hang ends the pass.
    void oneConfirmationMisbehaves()
    {
        QFETCH(QString, fault);
        QFETCH(int, row);
        QFETCH(QStringList, first);
        QFETCH(QList<int>, left);
        QFETCH(QStringList, next);
        m_sim->logIn(500);
        QStringList numbers; // in row order, newest first
        for (int n = 0; n < 5; ++n)
            numbers.prepend(
                QString::number(add(u"T"_s + QString::number(n), u"09:0"_s + QString::number(n) + u":00"_s)));
        auto named = [&](const QStringList &rows) {
            QStringList out;
            for (const QString &r : rows)
                out << (r == u"list"_s ? r : numbers[r.toInt()]);
            return out;
        };
        QVERIFY(m_sim->setConfirmFault(numbers[row].toLongLong(), fault, 0, u"처리할 수 없는 요청입니다."_s));
        m_minutes = u"5"_s;
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(posts(), named(first));
        QStringList leftTables;
        for (int r : left)
            leftTables << u"T"_s + QString::number(4 - r);
        QCOMPARE(rowTables(), leftTables);
        QCOMPARE(alerts(), QStringList());

        QVERIFY(m_sim->reset());
        QVERIFY(m_sim->clearLog());
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(posts(), named(next));
        QCOMPARE(rowTables(), QStringList());
        QCOMPARE(alerts(), QStringList());
    }

    void newRequestDuringAConfirmation_data()
    {
        QTest::addColumn<int>("markedRow");
        QTest::addColumn<bool>("arrival");
        QTest::addColumn<QStringList>("alerts");
        QTest::newRow("top confirmed, the next moves up") << 0 << false << QStringList{u"alert silent"_s};
        QTest::newRow("a lower row confirmed") << 1 << false << QStringList();
        QTest::newRow("a lower row confirmed, a new request came") << 1 << true << QStringList{u"alert"_s};
        QTest::newRow("top confirmed, a new request came") << 0 << true << QStringList{u"alert"_s};
    }
    // The reload after a confirmation is silent only when the top moved up
    // because staff confirmed: a request that was never on the board is heard.
    void newRequestDuringAConfirmation()
    {
        QFETCH(int, markedRow);
        QFETCH(bool, arrival);
        QFETCH(QStringList, alerts);
        QVERIFY(add(u"A"_s, u"09:50:00"_s) > 0);
        QVERIFY(add(u"B"_s, u"09:51:00"_s) > 0);
        poll();
        if (arrival)
            QVERIFY(add(u"C"_s, u"09:59:00"_s) > 0);
        m_flow->rowClicked(markedRow);
        m_flow->CMD_Click(0);
        QCOMPARE(this->alerts(), alerts);
        QCOMPARE(rowTables().size(), arrival ? 2 : 1);

        // The next poll has nothing more to say.
        m_events.clear();
        QVERIFY(m_cycle->Load_Kavri(false));
        QCOMPARE(this->alerts(), QStringList());
    }

    // A request kept below the rows in use was never seen: when the rows above
    // it are confirmed and it comes up, it is heard.
    void hiddenRequestComesUp()
    {
        QVERIFY(add(u"X"_s, u"09:30:00"_s) > 0);
        for (int n = 0; n < 10; ++n)
            QVERIFY(add(u"T"_s + QString::number(n), u"09:4"_s + QString::number(n) + u":00"_s) > 0);
        poll();
        QCOMPARE(rowTables().size(), 10);
        QVERIFY(!rowTables().contains(u"X"_s));
        for (int r = 0; r < 10; ++r)
            m_flow->rowClicked(r);
        m_flow->CMD_Click(0);
        QCOMPARE(rowTables(), QStringList{u"X"_s});
        QCOMPARE(alerts(), QStringList{u"alert"_s});
    }

    // A time that cannot be read passes over its own row only.
    void unreadableTimeSkipsItsRow()
    {
        // Requests the service knows, so that their confirmations succeed.
        const QString a = QString::number(add(u"A"_s, u"09:00:00"_s));
        const QString c = QString::number(add(u"C"_s, u"09:01:00"_s));
        KavriList list{{a, u"A"_s, at(u"09:00:00"_s), u"물"_s, {}},
                       {u"102"_s, u"B"_s, u"어제 저녁"_s, u"물"_s, {}},
                       {c, u"C"_s, at(u"09:01:00"_s), u"물"_s, {}}};
        m_board->fill(list);
        QVERIFY(runExpiryPass(u"5"_s, *m_board, *m_cycle));
        QCOMPARE(exchanges(), (QStringList{a, c, u"list"_s}));
        QVERIFY2(mainLog().contains(u"e)frmAlarm->Disp_삭제[Erl:=2, Eno:=13]\r\n   "
                                    u"등록 시각을 읽을 수 없어 건너뜀: 2번 줄 어제 저녁"_s),
                 qPrintable(mainLog()));
    }
};

QTEST_MAIN(TstConfirmation)
#include "tst_confirmation.moc"
