#include "board/MainWindow.h"
#include "codec/Cp949.h"
#include "monitor/MonitorSession.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/gui/QtDialogs.h"
#include "printersettings/PrinterSettingsWindow.h"
#include "printing/PrinterSettings.h"
#include "services/AppFolder.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardFixture.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

// The road of one customer request through the session and the main window:
// the poll loop's first tick fetches the list, the board and banner fill, and
// the alert highlights, chimes and speaks; a request added later arrives with
// the next poll.
class TstMonitorSession : public QObject
{
    Q_OBJECT
    test::BoardFixture m_board;
    QList<int> m_ended;

    QString regDate(qint64 secondsAgo) const { return m_board.regDate(secondsAgo); }
    qint64 add(const QString &table, const QString &text, qint64 secondsAgo)
    {
        return m_board.add(table, text, secondsAgo);
    }
    void openWindow()
    {
        m_board.open([this](int code) { m_ended.append(code); });
    }
    QString mainLog() const
    {
        return codec::fromCp949(test::readBytes(m_board.env->filePath(u"261210.log"_s)));
    }
    int listRequests() { return m_board.sim->receivedCount(test::Simulator::listPath); }

private slots:
    void init()
    {
        m_ended.clear();
        QString error;
        QVERIFY2(m_board.start(&error, 1000000), qPrintable(error));
    }
    void cleanup() { m_board.stop(); }

    void firstPollFillsTheBoardAndAnnounces()
    {
        add(u"1층/1"_s, u"수저 주세요"_s, 120);
        add(u"B-7"_s, u"물 좀 더 주세요!"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QCOMPARE(m_board.env->player().played(), QStringList{gSoundPath + u"/DDD.wav"_s});
        QCOMPARE(m_board.env->speaker().spoken().first(), u"B  7 ! ! 물 좀 더 주세요!"_s);
        QCOMPARE(m_board.session->board().row(0).table, u"B-7"_s);
        QCOMPARE(m_board.session->board().row(1).table, u"1층/1"_s);
        QCOMPARE(m_board.window->bannerStyle(), 3);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QVERIFY(!m_board.window->waitShown());
        QCOMPARE(listRequests(), 1);
    }

    // A request sent later reaches the board, the speaker and nothing twice
    // with the next poll, one interval after the end of the last cycle.
    void aNewRequestArrivesWithTheNextPoll()
    {
        add(u"1"_s, u"물"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        add(u"2"_s, u"앞접시 주세요"_s, 0);
        QTest::qWait(500);
        QCOMPARE(listRequests(), 1); // the interval has not passed
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 2, 15000);
        QCOMPARE(m_board.env->speaker().spoken().last(), u"2 ! ! 앞접시 주세요"_s);
        QCOMPARE(m_board.session->board().row(0).table, u"2"_s);
        QCOMPARE(m_board.env->player().played().size(), 2);
        // The next poll with an unchanged top announces nothing.
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_COMPARE_WITH_TIMEOUT(listRequests(), 3, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QCOMPARE(m_board.env->speaker().spoken().size(), 2);
    }

    // Logout while the speech of an alert runs: the process ends, the session
    // stops, nothing more is played, spoken or polled.
    void logoutDuringTheAlertEndsCleanly()
    {
        add(u"1"_s, u"물"_s, 60);
        m_board.env->speaker().setWhileSpeaking([this] {
            m_board.env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
            m_board.window->lblLogout_Click();
        });
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_ended.size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QVERIFY(!m_board.session->loopTimer()->isActive());
        const int polled = listRequests();
        m_board.env->clock().setTick(m_board.env->clock().tick() + 60000);
        m_board.session->loopTimer()->start(); // a stray tick after the end does nothing
        QTest::qWait(500);
        QCOMPARE(listRequests(), polled);
        QVERIFY(!m_board.session->cycle().Load_Kavri(false));
        QCOMPARE(m_board.env->speaker().spoken().size(), 1);
    }

    // A late answer: LoopTimer goes on ticking while the poll's own cycle
    // waits, and each tick that meets the running cycle writes the skip line once.
    void ticksGoOnDuringALateAnswer()
    {
        add(u"1"_s, u"물"_s, 60);
        QVERIFY(m_board.sim->setFault(u"slow"_s, 1, u"both"_s, 1500));
        openWindow();
        int ticksDuringTheCycle = 0;
        // Connected after the window's own handler, so it sees the loop as that tick left it.
        connect(m_board.session->loopTimer(), &QTimer::timeout, this, [&] {
            if (m_board.session->pollLoop().LoopTimerDoing())
                ++ticksDuringTheCycle;
        });
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QCOMPARE(listRequests(), 1);
        QVERIFY(ticksDuringTheCycle > 0);
        QCOMPARE(int(mainLog().count(u"]LoopTimer_Timer ... LoopTimerDoing으로 미처리\r\n"_s)),
                 ticksDuringTheCycle);
    }

    void endingDuringTheAlertsPause_data()
    {
        QTest::addColumn<bool>("logout");
        QTest::newRow("logout") << true;
        QTest::newRow("terminate") << false;
    }
    // "예" to logout or terminate in the pause between the chime and the
    // speech: the pause ends, and nothing more is played, said or traced.
    void endingDuringTheAlertsPause()
    {
        QFETCH(bool, logout);
        const QString trace = m_board.env->filePath(u"trace.txt"_s);
        qputenv("KAVRI_AUDIO_TRACE", QFile::encodeName(trace));
        add(u"1"_s, u"물"_s, 60);
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (m_board.env->player().played().isEmpty())
                return;
            watch.stop();
            m_board.env->dialogs().queueAnswer(platform::DialogAnswer::Yes);
            if (logout)
                m_board.window->lblLogout_Click();
            else
                m_board.window->lblTerminate_Click();
        });
        watch.start();
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_ended.size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        qunsetenv("KAVRI_AUDIO_TRACE");
        QCOMPARE(m_board.env->player().played(), QStringList{gSoundPath + u"/DDD.wav"_s});
        QCOMPARE(m_board.env->speaker().spoken(), QStringList());
        QCOMPARE(test::readBytes(trace), (u"play "_s + gSoundPath + u"/DDD.wav\n"_s).toUtf8());
    }

    void menuOrBoxLeftOpenDuringTheAlert_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("row menu") << u"menu"_s;
        QTest::newRow("logout question") << u"logout"_s;
        QTest::newRow("terminate question") << u"terminate"_s;
    }
    // A menu or a question opened while a new request is announced, and left open by
    // someone who walked away: the alert ends, and the next poll comes, shows, chimes
    // and speaks the next request while it is still open.
    void menuOrBoxLeftOpenDuringTheAlert()
    {
        QFETCH(QString, what);
        platform::QtDialogs realBoxes;
        platform::setDialogs(&realBoxes);
        const auto restore = qScopeGuard([this] { platform::setDialogs(&m_board.env->dialogs()); });
        add(u"1"_s, u"물"_s, 60);
        // Opened in the pause between the chime and the speech, where events run.
        bool opened = false;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (m_board.env->player().played().isEmpty() || opened)
                return;
            opened = true;
            watch.stop();
            if (what == u"menu"_s) {
                auto *cell = m_board.window->findChild<QWidget *>(u"sspRequest_0"_s);
                QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                        cell->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(cell, &click);
            } else if (what == u"logout"_s) {
                m_board.window->lblLogout_Click();
            } else {
                m_board.window->lblTerminate_Click();
            }
        });
        // Should the menu or box hold the board in a loop of its own, this ends it, so
        // the case fails instead of hanging.
        bool hadToClose = false;
        QTimer::singleShot(20000, this, [&] {
            if (QWidget *held = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                  : QApplication::activeModalWidget()) {
                hadToClose = true;
                held->close();
            }
        });
        watch.start();
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_board.session->cycle().isRunning(), 5000);
        QVERIFY(opened);
        QVERIFY(!hadToClose);
        const auto openOne = [&what]() -> QWidget * {
            if (what == u"menu"_s)
                return QApplication::activePopupWidget();
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == u"kavriBox"_s && w->isVisible())
                    return w;
            }
            return nullptr;
        };
        QVERIFY(openOne());

        add(u"2"_s, u"앞접시 주세요"_s, 0);
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 2, 15000);
        QCOMPARE(m_board.session->board().row(0).table, u"2"_s);
        QVERIFY(!hadToClose);
        QWidget *still = openOne();
        QVERIFY(still);
        if (auto *box = qobject_cast<QMessageBox *>(still))
            box->button(QMessageBox::No)->click();
        else
            still->close();
        QTRY_VERIFY(!openOne());
        QVERIFY(m_ended.isEmpty());
    }

    // A second press of the confirm button while its confirmation runs reaches
    // the handler, which writes its line with the state False and does nothing else.
    void secondPressOfTheConfirmButton()
    {
        add(u"1"_s, u"물"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        m_board.session->confirmFlow().rowClicked(0);
        auto *button = m_board.window->findChild<QWidget *>(u"CMD_0"_s);
        QVERIFY(button);
        QVERIFY(button->isVisible());
        QVERIFY(m_board.sim->clearLog());
        QVERIFY(m_board.sim->setFault(u"slow"_s, 1, u"both"_s, 1500));
        bool heldMeanwhile = false;
        QTimer::singleShot(300, this, [&] {
            heldMeanwhile = !m_board.session->confirmFlow().buttonEnabled();
            QTest::mouseClick(button, Qt::LeftButton);
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(heldMeanwhile);
        const QString log = mainLog();
        QCOMPARE(log.count(u"]CMD_Click Start CMD(0).Enabled := True\r\n"_s), 1);
        QCOMPARE(log.count(u"]CMD_Click Start CMD(0).Enabled := False\r\n"_s), 1);
        QCOMPARE(log.count(u"]CMD_Click NextStep\r\n"_s), 1);
        int confirmations = 0;
        for (const test::ReceivedRequest &r : m_board.sim->receivedLog())
            confirmations += r.target == u"/program/qrtablememoOK.php"_s ? 1 : 0;
        QCOMPARE(confirmations, 1);
        QVERIFY(!button->isVisible());
    }

    // A window that goes away between cycles takes its hooks with it: the
    // next cycle fills the board without touching it, and a new window
    // attached later draws the same board.
    void windowGoneBetweenCycles()
    {
        add(u"1"_s, u"물"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        m_board.window.reset();
        QVERIFY(!m_board.session->window());
        add(u"2"_s, u"물"_s, 0);
        QVERIFY(m_board.session->cycle().Load_Kavri(false));
        QCOMPARE(m_board.session->board().row(0).table, u"2"_s);
        QCOMPARE(m_board.env->speaker().spoken().size(), 1);

        m_board.window = std::make_unique<frmAlarm>(m_board.session->board());
        m_board.window->setSession(m_board.session.get());
        QCOMPARE(m_board.session->window(), static_cast<QObject *>(m_board.window.get()));
    }

    // The printer settings window takes the main window's place, and the polls go
    // on behind it: a request sent meanwhile is announced once. When it closes the
    // main window loads and shows again, and the request on top is not announced again.
    void printerSettingsRoundTrip()
    {
        add(u"1"_s, u"물"_s, 60);
        openWindow();
        m_board.window->move(40, 30);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());

        m_board.window->lblConfig_Click();
        PrinterSettingsWindow *settings = m_board.window->settingsWindow();
        QVERIFY(settings);
        QTRY_VERIFY(settings->isVisible());
        QVERIFY(!m_board.window->isVisible());
        QCOMPARE(settings->pos(), QPoint(40, 30));
        QTRY_VERIFY(!settings->busy());
        const int polled = listRequests();
        add(u"2"_s, u"앞접시"_s, 0);
        m_board.env->clock().setTick(m_board.env->clock().tick() + 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 2, 15000);
        QVERIFY(listRequests() > polled);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QVERIFY(settings->isVisible());

        const int behind = listRequests();
        settings->lblTerminate_Click();
        m_board.env->clock().setTick(m_board.env->clock().tick() + 20000);
        QTRY_VERIFY(m_board.window->isVisible());
        QVERIFY(!m_board.window->settingsWindow());
        QTRY_COMPARE_WITH_TIMEOUT(listRequests(), behind + 1, 15000);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QCOMPARE(m_board.session->board().row(0).table, u"2"_s);
        QCOMPARE(m_board.env->speaker().spoken().size(), 2);
    }

    // The sound test plays the application folder's chime and speaks the test
    // phrase; a click during a running test is ignored.
    void soundTest()
    {
        m_board.sim->setFault(u"blank"_s, 0);
        openWindow();
        int clicks = 0;
        m_board.env->speaker().setWhileSpeaking([this, &clicks] {
            if (clicks++ == 0)
                emit m_board.window->soundTestRequested();
        });
        emit m_board.window->soundTestRequested();
        QCOMPARE(m_board.env->player().played(), QStringList{appFilePath(u"DDD.wav"_s)});
        QCOMPARE(m_board.env->speaker().spoken(), QStringList{u"Kavri 디스플레이 Ondel"_s});
    }
};

QTEST_MAIN(TstMonitorSession)
#include "tst_monitorsession.moc"
