#include "board/CaptionPanel.h"
#include "board/MainWindow.h"
#include "board/StatsWindow.h"
#include "codec/Cp949.h"
#include "monitor/BoardGeometry.h"
#include "monitor/BoardHealth.h"
#include "monitor/Confirmation.h"
#include "monitor/MonitorSession.h"
#include "monitor/WindowOptions.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ExecutableWatch.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettings.h"
#include "printing/Unprinted.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "services/WinHttp.h"
#include "support/BoardFixture.h"
#include "support/BoardLayouts.h"
#include "support/FileBytes.h"
#include "support/PrinterStatusBytes.h"
#include "support/PtyPair.h"
#include "support/Simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

QString setting(const QString &key)
{
    return ReadINI(u"Set"_s, key, monitor::settingsFilePath());
}

} // namespace

// What the board adds to the requests themselves: the health line, the repeat
// of an unanswered alert and its steady frame, the reprint of a row, and the
// statistics window; through the real window and session against the simulator.
class TstBoardExtras : public QObject
{
    Q_OBJECT
    test::BoardFixture m_board;

    qint64 add(const QString &table, const QString &text, qint64 secondsAgo)
    {
        return m_board.add(table, text, secondsAgo);
    }
    void openWindow() { m_board.open(); }
    QString mainLog() const
    {
        return codec::fromCp949(test::readBytes(m_board.env->filePath(u"261210.log"_s)));
    }
    void waitForCycleEnd() { QTRY_VERIFY_WITH_TIMEOUT(!m_board.session->cycle().isRunning(), 15000); }

private slots:
    void init()
    {
        QString error;
        QVERIFY2(m_board.start(&error, 1000000), qPrintable(error));
    }
    void cleanup()
    {
        m_board.window.reset();
        m_board.session.reset();
        m_board.sim.reset();
        unprintedTickets().load({}, m_board.env->clock().now());
        m_board.env.reset();
    }

    // The health line sits in the header at both widths and every row count, clear
    // of the banner, the option bar and the rows.
    void healthLineInEveryLayout_data() { test::addEveryBoardLayout(); }
    void healthLineInEveryLayout()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        test::writeSetSection({u"ResolutionIDX=%1"_s.arg(resolution), u"DisplayIDX=%1"_s.arg(display)});
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        auto *health = w.findChild<QLabel *>(u"lblHealth"_s);
        QVERIFY(health);
        QVERIFY(health->isVisible());
        const QRect line = health->geometry();
        QVERIFY(w.rect().contains(line));
        QList<QWidget *> others{
            w.findChild<QWidget *>(u"lblRequest"_s), w.findChild<QWidget *>(u"picFrame"_s),
            w.findChild<QWidget *>(u"imgBack_0"_s),  w.findChild<QWidget *>(u"imgBack_1"_s),
            w.findChild<QWidget *>(u"lblTable"_s),   w.findChild<QWidget *>(u"상호"_s),
            w.findChild<QWidget *>(u"lbl버전"_s),    w.findChild<QWidget *>(u"picIcon"_s)};
        for (const QString &prefix : {u"sspTitle_"_s, u"sspNO_"_s, u"sspRequest_"_s}) {
            for (int i = 0; i < 30; ++i) {
                if (QWidget *cell = w.findChild<QWidget *>(prefix + QString::number(i));
                    cell && cell->isVisible())
                    others << cell;
            }
        }
        for (QWidget *other : others) {
            QVERIFY(other);
            QVERIFY2(!line.intersects(other->geometry()), qPrintable(other->objectName()));
        }
        // A long fault text ends in "…" inside the line; the whole text is its tooltip.
        const QString text =
            u"확인 12:00:00 · 서버 응답 없음 · 12회 · 주방 프린터 출력 실패 · 미출력 3건 · 음성 안내 불가"_s;
        w.showHealth(text, true);
        QCOMPARE(w.healthText(), text);
        QVERIFY(w.healthFaulty());
        for (const QString &shown : health->text().split(u'\n'))
            QVERIFY(health->fontMetrics().horizontalAdvance(shown) <= health->width());
        QVERIFY(health->text().startsWith(u"확인 12:00:00"_s));
    }

    // Every fault shows at both widths, the printer and the kept tickets first, at a
    // size read from the counter, without touching the banner; a tap shows the whole text.
    void healthShowsEveryFault_data() { test::addEveryBoardLayout(); }
    void healthShowsEveryFault()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        test::writeSetSection({u"ResolutionIDX=%1"_s.arg(resolution), u"DisplayIDX=%1"_s.arg(display)});
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        monitor::BoardHealth health;
        health.pollSucceeded(QDateTime(QDate(2026, 5, 1), QTime(14, 2, 10)));
        health.pollFailed();
        health.setSpeechUnavailable(true);
        health.setUnprinted(11);
        health.setPrinterFailed(u"주방"_s, true);
        w.showHealthItems(health.items(), health.text(), true);
        auto *line = w.findChild<QLabel *>(u"lblHealth"_s);
        QVERIFY(QFontInfo(line->font()).pixelSize() >= 16);
        const QString shown = line->text();
        QVERIFY2(shown.startsWith(u"주방 프린터"_s), qPrintable(shown));
        QVERIFY2(shown.indexOf(u"미출력 11건"_s) < shown.indexOf(u"서버"_s), qPrintable(shown));
        QVERIFY2(shown.indexOf(u"서버"_s) < shown.indexOf(u"음성"_s), qPrintable(shown));
        QVERIFY(!shown.contains(QChar(0x2026)));
        for (const QString &text : shown.split(u'\n'))
            QVERIFY2(line->fontMetrics().horizontalAdvance(text) <= line->width() - 14, qPrintable(text));
        QVERIFY(line->fontMetrics().lineSpacing() * shown.count(u'\n') < line->height());
        for (const char *name : {"lblRequest", "imgBack_0", "lblTable", "picFrame"})
            QVERIFY2(
                !line->geometry().intersects(w.findChild<QWidget *>(QString::fromLatin1(name))->geometry()),
                name);
        const QWidget *store = w.findChild<QWidget *>(u"상호"_s);
        QVERIFY(store->isHidden() || !line->geometry().intersects(store->geometry()));

        m_board.env->dialogs().clear();
        QTest::mouseClick(line, Qt::LeftButton);
        QCOMPARE(m_board.env->dialogs().texts(), QStringList{health.text()});
        // All well again: one line, the store name and version back.
        w.showHealth(u"확인 14:03:00"_s, false);
        QVERIFY(!store->isHidden());
        QVERIFY(!w.findChild<QWidget *>(u"lbl버전"_s)->isHidden());
        QCOMPARE(line->text(), u"확인 14:03:00"_s);
    }

    // The service stops answering and comes back: the line says so, in red, and the
    // log has one line for each change, not one per poll.
    void healthFollowsTheService()
    {
        add(u"A1"_s, u"물"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        waitForCycleEnd();
        QCOMPARE(m_board.window->healthText(), u"확인 12:00:00"_s);
        QVERIFY(!m_board.window->healthFaulty());
        QVERIFY(m_board.sim->setFault(u"error500"_s, 2));
        for (int poll = 1; poll <= 2; ++poll) {
            m_board.env->clock().setNow(m_board.env->clock().now().addSecs(10));
            m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
            QTRY_VERIFY_WITH_TIMEOUT(
                m_board.window->healthText().endsWith(u"서버 응답 없음 · %1회"_s.arg(poll)), 15000);
            waitForCycleEnd();
        }
        QVERIFY(m_board.window->healthFaulty());
        QCOMPARE(m_board.window->healthText(), u"확인 12:00:00 · 서버 응답 없음 · 2회"_s);
        m_board.env->clock().setNow(m_board.env->clock().now().addSecs(10));
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.window->healthText(), u"확인 12:00:30"_s, 15000);
        QVERIFY(!m_board.window->healthFaulty());
        const QString log = mainLog();
        QCOMPARE(log.count(u"]보드 상태: 서버 응답 없음\r\n"_s), 1);
        QCOMPARE(log.count(u"]보드 상태: 정상\r\n"_s), 1);
    }

    // A newer program is installed over the running one (a new file renamed over its
    // path): the line carries the note after the next check, the log says it once,
    // and the board goes on as it is.
    void newVersionInstalledWhileRunning()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(u"kavri-display"_s);
        QVERIFY(test::writeBytes(program, "old version"));
        QFile running(program); // held open, as the running program holds its file
        QVERIFY(running.open(QIODevice::ReadOnly));
        openWindow();
        m_board.session->watchExecutable(platform::ExecutableWatch(program));
        QVERIFY(m_board.session->executableTimer().isActive());
        QCOMPARE(m_board.session->executableTimer().interval(), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.window->healthText(), u"확인 12:00:00"_s, 15000);
        waitForCycleEnd();
        m_board.session->checkExecutable();
        QCOMPARE(m_board.window->healthText(), u"확인 12:00:00"_s);

        QVERIFY(test::writeBytes(program + u".dpkg-new"_s, "new version"));
        QCOMPARE(std::rename(QFile::encodeName(program + u".dpkg-new"_s).constData(),
                             QFile::encodeName(program).constData()),
                 0);
        m_board.session->checkExecutable();
        m_board.session->checkExecutable();
        QCOMPARE(m_board.window->healthText(), u"확인 12:00:00 · 새 버전 설치됨 · 다시 시작하세요"_s);
        QVERIFY(m_board.window->healthFaulty()); // drawn in red
        QVERIFY(!m_board.session->executableTimer().isActive());
        const QString log = mainLog();
        QCOMPARE(log.count(u"새 버전이 설치되었습니다: "_s + program), 1);
        QVERIFY(!log.contains(u"보드 상태: 새 버전"_s));

        // The note stays beside whatever the polls report.
        QVERIFY(m_board.sim->setFault(u"error500"_s, 1));
        m_board.env->clock().setNow(m_board.env->clock().now().addSecs(10));
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_COMPARE_WITH_TIMEOUT(
            m_board.window->healthText(),
            u"확인 12:00:00 · 서버 응답 없음 · 1회 · 새 버전 설치됨 · 다시 시작하세요"_s, 15000);
    }

    // Nobody answers the top request: its alert comes again after the interval; a click
    // on the banner ends the repeats. The option is read from and stored in Zarazo.cfg.
    void unansweredAlertIsRepeated()
    {
        test::writeSetSection({u"AlertRepeat=30"_s});
        add(u"A5"_s, u"물 주세요"_s, 60);
        openWindow();
        QCOMPARE(m_board.window->alertRepeat(), 30);
        QCOMPARE(m_board.window->findChild<QComboBox *>(u"cobRepeat"_s)->currentText(), u"30초"_s);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        waitForCycleEnd();
        QTest::qWait(1500);
        QCOMPARE(m_board.env->speaker().spoken().size(), 1); // not before its time
        m_board.env->clock().setTick(m_board.env->clock().tick() + 30000);
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 2, 15000);
        QCOMPARE(m_board.env->speaker().spoken().last(), u"A5 ! ! 물 주세요"_s);
        QCOMPARE(m_board.env->player().played().size(), 2);
        QVERIFY(mainLog().contains(u"]알림 반복 1/5: A5\r\n"_s));

        // Staff saw it.
        auto *banner = m_board.window->findChild<monitor::CaptionPanel *>(u"lblRequest"_s);
        QVERIFY(banner);
        QTRY_VERIFY(!m_board.session->cycle().isRunning());
        QTest::qWait(2500); // the repeat's own pause and speech
        QTest::mouseClick(banner, Qt::LeftButton);
        QVERIFY(m_board.session->alertRepeat().stopped());
        m_board.env->clock().setTick(m_board.env->clock().tick() + 30000);
        QTest::qWait(2500);
        QCOMPARE(m_board.env->speaker().spoken().size(), 2);

        // Off in the option bar: stored at once.
        m_board.window->findChild<QComboBox *>(u"cobRepeat"_s)->setCurrentIndex(0);
        QCOMPARE(setting(u"AlertRepeat"_s), u"0"_s);
        QCOMPARE(m_board.session->alertRepeat().interval(), 0);
        m_board.window->findChild<QComboBox *>(u"cobRepeat"_s)->setCurrentIndex(3);
        QCOMPARE(setting(u"AlertRepeat"_s), u"120"_s);
        QCOMPARE(m_board.session->alertRepeat().interval(), 120);
    }

    void repeatBoxShowsTheStoredValue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("seconds");
        const QStringList offered{u"끔"_s, u"30초"_s, u"60초"_s, u"120초"_s};
        QTest::newRow("offered") << u"60"_s << offered << u"60초"_s << 60;
        QTest::newRow("missing") << QString() << offered << u"끔"_s << 0;
        QTest::newRow("unreadable") << u"자주"_s << offered << u"끔"_s << 0;
        QTest::newRow("hand-written, shortest")
            << u"10"_s << QStringList{u"끔"_s, u"10초"_s, u"30초"_s, u"60초"_s, u"120초"_s} << u"10초"_s
            << 10;
        QTest::newRow("hand-written, between")
            << u"90"_s << QStringList{u"끔"_s, u"30초"_s, u"60초"_s, u"90초"_s, u"120초"_s} << u"90초"_s
            << 90;
        QTest::newRow("hand-written, beyond an hour")
            << u"86400"_s << QStringList{u"끔"_s, u"30초"_s, u"60초"_s, u"120초"_s, u"3600초"_s}
            << u"3600초"_s << 3600;
    }
    // A hand-written "AlertRepeat" shows in the box as an entry of its own; the
    // file is not written until staff pick an entry, and the value can be picked again.
    void repeatBoxShowsTheStoredValue()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, entries);
        QFETCH(QString, shown);
        QFETCH(int, seconds);
        test::writeSetSection({u"AlertRepeat="_s + stored});
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        auto *box = w.findChild<QComboBox *>(u"cobRepeat"_s);
        QVERIFY(box);
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        QCOMPARE(texts, entries);
        QCOMPARE(box->currentText(), shown);
        QCOMPARE(w.alertRepeat(), seconds);
        QCOMPARE(setting(u"AlertRepeat"_s), stored);

        const int own = box->currentIndex();
        box->setCurrentIndex(box->findText(u"120초"_s));
        QCOMPARE(setting(u"AlertRepeat"_s), u"120"_s);
        QCOMPARE(w.alertRepeat(), 120);
        box->setCurrentIndex(own);
        QCOMPARE(setting(u"AlertRepeat"_s), QString::number(seconds));
        QCOMPARE(w.alertRepeat(), seconds);
    }

    // A top request answered elsewhere leaves the board empty: nothing is repeated for it
    // (the row keeps the number it showed last) and no frame stays.
    void noRepeatForAnEmptyBoard()
    {
        test::writeSetSection({u"AlertRepeat=30"_s});
        const qint64 number = add(u"A5"_s, u"물 주세요"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        waitForCycleEnd();
        QVERIFY(monitor::Check_Kavri(QString::number(number)));
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_board.session->board().row(0).isEmpty(), 15000);
        waitForCycleEnd();
        m_board.env->clock().setTick(m_board.env->clock().tick() + 200000);
        QTest::qWait(2500);
        QCOMPARE(m_board.env->speaker().spoken().size(), 1);
        QVERIFY(m_board.window->bannerStyle() != 4);
    }

    // The steady frame outlasts the highlight and goes with the top's answer.
    void staleFrame()
    {
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        QCOMPARE(w.bannerStyle(), 0);
        w.setBannerStale(true);
        QCOMPARE(w.bannerStyle(), 4);
        w.highlightBanner();
        QCOMPARE(w.bannerStyle(), 3);
        auto *hold = w.findChild<QTimer *>(u"LoopBlinkingHold"_s);
        QVERIFY(hold);
        hold->start(1);
        QTRY_COMPARE(w.bannerStyle(), 4);
        w.setBannerStale(false);
        QCOMPARE(w.bannerStyle(), 0);
    }

    // A request printed again: its ticket with the reprint mark, on the slot's printer;
    // a short box says why when no printer prints it or it has left the board.
    void reprintARequest()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        QVERIFY(test::writeBytes(m_board.env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + pty.printerPath() + u"\n"_s).toUtf8()));
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.board().fill({{u"7"_s, u"A5"_s, u"2026-12-10 11:59:00"_s, u"물 주세요"_s, u"카드"_s}});
        m_board.env->dialogs().clear();
        QCOMPARE(w.reprintRequest(u"7"_s), frmAlarm::Reprint::NoPrinter);
        QCOMPARE(m_board.env->dialogs().texts(), QStringList{u"선택된 프린터가 없어 출력하지 않았습니다."_s});
        gPrinterSettings.이름[0] = u"카운터"_s;
        gPrinterSettings.포트[0] = 3;
        gPrinterSettings.통신속도[0] = 115200;
        gPrinterSettings.선택된테이블 = u"[[B1]]"_s;
        QCOMPARE(w.reprintRequest(u"7"_s), frmAlarm::Reprint::NoPrinter); // its table is not selected
        m_board.env->dialogs().clear();
        QCOMPARE(w.reprintRequest(u"8"_s), frmAlarm::Reprint::Gone);
        QCOMPARE(m_board.env->dialogs().texts(),
                 QStringList{u"요청이 보드에서 사라져 출력하지 않았습니다."_s});
        QCOMPARE(pty.readUntilQuiet(200, 1000), QByteArray());
        gPrinterSettings.선택된테이블 = u"전체"_s;
        QCOMPARE(w.reprintRequest(u"7"_s), frmAlarm::Reprint::Sent);
        const QString bytes = codec::fromCp949(pty.readUntilQuiet(300, 5000));
        QVERIFY2(bytes.contains(u"[재출력]"_s), qPrintable(bytes));
        QVERIFY(bytes.contains(u"QR: A5"_s));
        QVERIFY(bytes.contains(u"물 주세요"_s));
        QVERIFY(bytes.endsWith(gPrnCut));
    }

    void rowMenuActsOnTheClickedRequest_data()
    {
        QTest::addColumn<bool>("stillListed");
        QTest::newRow("moved down by a new request") << true;
        QTest::newRow("left the board") << false;
    }
    // The menu names the request clicked and prints that one, wherever a poll moved it
    // while the menu was open, or nothing when it has gone.
    void rowMenuActsOnTheClickedRequest()
    {
        QFETCH(bool, stillListed);
        gFilePrint = true; // the print log shows what was printed
        gPrinterSettings.이름[0] = u"카운터"_s;
        gPrinterSettings.포트[0] = 3;
        gPrinterSettings.선택된테이블 = u"전체"_s;
        const auto reset = qScopeGuard([] {
            gFilePrint = false;
            gPrinterSettings = PrinterSettings{};
        });
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        const KavriEntry a3{u"3"_s, u"A3"_s, u"2026-12-10 11:58:00"_s, u"물 주세요"_s, QString()};
        const KavriEntry a4{u"4"_s, u"A4"_s, u"2026-12-10 11:59:00"_s, u"앞접시"_s, QString()};
        w.board().fill({a3});
        auto *cell = w.findChild<QWidget *>(u"sspRequest_0"_s);
        QVERIFY(cell);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), cell->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(cell, &click);
        auto *menu = w.findChild<QMenu *>(u"rowMenu"_s);
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), u"A3 다시 출력"_s);
        // A poll while the menu is open.
        w.board().fill(stillListed ? KavriList{a4, a3} : KavriList{a4});
        m_board.env->dialogs().clear();
        menu->actions().first()->trigger();
        menu->close();
        const QString log = codec::fromCp949(test::readBytes(m_board.env->filePath(u"261210_PRN.log"_s)));
        QCOMPARE(log.contains(u"QR: A3"_s), stillListed);
        QVERIFY(!log.contains(u"QR: A4"_s));
        QCOMPARE(m_board.env->dialogs().texts().size(), stillListed ? 0 : 1);
    }

    // A tap on the health line while tickets are kept offers to print them now or to drop
    // them (after a confirmation). The boxes run no loop of their own: the click returns at
    // once, and the board polls on while they are open.
    void keptTicketsFromTheHealthLine()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        QVERIFY(test::writeBytes(m_board.env->filePath(u"Deploy.ini"_s),
                                 (u"[Ports]\nCOM3="_s + pty.printerPath() + u"\n"_s).toUtf8()));
        openWindow();
        waitForCycleEnd();
        auto *health = m_board.window->findChild<QLabel *>(u"lblHealth"_s);
        QVERIFY(health);
        // The box of that name on screen (one closed a moment ago may not be deleted yet).
        const auto box = [this](const QString &name) -> QMessageBox * {
            for (QMessageBox *b : m_board.window->findChildren<QMessageBox *>(name)) {
                if (b->isVisible())
                    return b;
            }
            return nullptr;
        };
        const auto click = [&box](const QString &boxName, const QString &button) {
            QMessageBox *b = box(boxName);
            QVERIFY2(b, qPrintable(boxName));
            auto *pressed = b->findChild<QPushButton *>(button);
            QVERIFY2(pressed, qPrintable(button));
            QTest::mouseClick(pressed, Qt::LeftButton);
        };
        QTest::mouseClick(health, Qt::LeftButton);
        QVERIFY(!box(u"keptTicketsBox"_s)); // nothing kept, nothing offered

        // Two tickets kept while no slot bears their printer's name.
        const QString ticket = gPrnInit + u"QR: K"_s + gPrnNormal + u"\r\n"_s + gPrnCut;
        unprintedTickets().add(u"카운터"_s, ticket + u"1"_s, m_board.env->clock().now());
        unprintedTickets().add(u"카운터"_s, ticket + u"2"_s, m_board.env->clock().now());
        QTest::mouseClick(health, Qt::LeftButton);
        QMessageBox *choice = box(u"keptTicketsBox"_s);
        QVERIFY(choice);
        QVERIFY(choice->text().contains(u"미출력 티켓이 2건"_s));
        QStringList offered;
        for (const QAbstractButton *b : choice->buttons())
            offered << b->text();
        offered.sort();
        QCOMPARE(offered, (QStringList{u"모두 삭제"_s, u"지금 출력"_s, u"취소"_s}));
        const int polls = m_board.sim->receivedCount(test::Simulator::listPath);
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_board.sim->receivedCount(test::Simulator::listPath) > polls, 15000);
        waitForCycleEnd();
        QVERIFY(box(u"keptTicketsBox"_s));
        QTest::mouseClick(health, Qt::LeftButton);
        QCOMPARE(m_board.window->findChildren<QMessageBox *>().size(), 1); // one at a time, none closed yet
        click(u"keptTicketsBox"_s, u"btnCancel"_s);
        QTRY_VERIFY(!box(u"keptTicketsBox"_s));
        QCOMPARE(unprintedTickets().count(), 2);

        // 모두 삭제 asks first; 아니요 keeps them.
        QTest::mouseClick(health, Qt::LeftButton);
        click(u"keptTicketsBox"_s, u"btnDropKept"_s);
        QTRY_VERIFY(box(u"keptTicketsDropBox"_s));
        QCOMPARE(box(u"keptTicketsDropBox"_s)->text(), u"보관된 미출력 2건을 삭제할까요?"_s);
        click(u"keptTicketsDropBox"_s, u"btnDropNo"_s);
        QTRY_VERIFY(!box(u"keptTicketsDropBox"_s));
        QCOMPARE(unprintedTickets().count(), 2);

        // 지금 출력: a poll at once, the kept tickets first, once each.
        gPrinterSettings.이름[0] = u"카운터"_s;
        gPrinterSettings.포트[0] = 3;
        gPrinterSettings.통신속도[0] = 115200;
        QTest::mouseClick(health, Qt::LeftButton);
        click(u"keptTicketsBox"_s, u"btnPrintNow"_s);
        QTRY_COMPARE_WITH_TIMEOUT(unprintedTickets().count(), 0, 15000);
        waitForCycleEnd();
        // The poll's status request after the tickets is no part of them.
        const QString printed = codec::fromCp949(test::withoutStatusRequests(pty.readUntilQuiet(300, 5000)));
        QCOMPARE(printed, ticket + u"1"_s + ticket + u"2"_s);
        QVERIFY(mainLog().contains(u"]보관된 미출력 티켓 지금 출력: 2건\r\n"_s));

        // 모두 삭제 and 예: gone from the list, the file and the health line, and logged.
        gPrinterSettings.이름[0].clear();
        unprintedTickets().add(u"카운터"_s, ticket + u"3"_s, m_board.env->clock().now());
        m_board.env->clock().setTick(m_board.env->clock().tick() + 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_board.window->healthText().contains(u"미출력 1건"_s), 15000);
        waitForCycleEnd();
        QTest::mouseClick(health, Qt::LeftButton);
        click(u"keptTicketsBox"_s, u"btnDropKept"_s);
        QTRY_VERIFY(box(u"keptTicketsDropBox"_s));
        click(u"keptTicketsDropBox"_s, u"btnDropYes"_s);
        QTRY_COMPARE(unprintedTickets().count(), 0);
        QCOMPARE(test::readBytes(m_board.env->filePath(u"unprinted.json"_s)), QByteArray("[]"));
        QVERIFY(!m_board.window->healthText().contains(u"미출력"_s));
        QVERIFY(mainLog().contains(u"]보관된 미출력 티켓 1건을 삭제함\r\n"_s));
        QCOMPARE(pty.readUntilQuiet(300, 1000), QByteArray());
    }

    // A finger held on a row offers the same menu as a right click; lifting it marks
    // nothing, and the next tap marks the row as before.
    void longPressOnARow()
    {
        add(u"A5"_s, u"물 주세요"_s, 60);
        openWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_board.env->speaker().spoken().size(), 1, 15000);
        waitForCycleEnd();
        auto *cell = m_board.window->findChild<QWidget *>(u"sspRequest_0"_s);
        QVERIFY(cell && cell->isVisible());
        QStringList offered;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (const QAction *action : menu->actions())
                    offered << action->text();
                menu->close();
            }
        });
        closer.start();
        const QPoint at(20, 10);
        QTest::mousePress(cell, Qt::LeftButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 5000);
        QTest::mouseRelease(cell, Qt::LeftButton, {}, at);
        QCOMPARE(offered, QStringList{u"A5 다시 출력"_s});
        QVERIFY(!m_board.session->board().row(0).marked);
        QTest::mouseClick(cell, Qt::LeftButton, {}, at);
        QVERIFY(m_board.session->board().row(0).marked);
    }

    void statsButtonOpensOneWindow()
    {
        frmAlarm w;
        w.setEndProcess([](int) {});
        w.show();
        auto *button = w.findChild<QWidget *>(u"lblStats"_s);
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(w.findChildren<monitor::StatsWindow *>().size(), 1);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w.findChildren<monitor::StatsWindow *>().size(), 1);
        QVERIFY(w.findChildren<monitor::StatsWindow *>().first()->isVisible());
    }
};

QTEST_MAIN(TstBoardExtras)
#include "tst_boardextras.moc"
