#include "codec/Cp949.h"
#include "monitor/BoardHealth.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettings.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "support/PrinterSlots.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using test::setSlot;
using test::writePorts;

namespace {

PrinterCondition conditionNamed(const QString &name)
{
    if (name == u"paper end"_s)
        return PrinterCondition::PaperEnd;
    if (name == u"cover open"_s)
        return PrinterCondition::CoverOpen;
    if (name == u"offline"_s)
        return PrinterCondition::Offline;
    if (name == u"near end"_s)
        return PrinterCondition::PaperNearEnd;
    if (name == u"ready"_s)
        return PrinterCondition::Ready;
    return PrinterCondition::Unknown;
}

} // namespace

// The health line under the store name: its text, when it changes, and how it
// follows the printers and the kept tickets.
class TstBoardHealth : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;

    QString listFile() const { return m_env->filePath(u"unprinted.json"_s); }
    QDateTime now() const { return m_env->clock().now(); }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0)));
        unprintedTickets().load(listFile(), now());
    }
    void cleanup() { m_env.reset(); }

    // The printer is pulled out while two tickets are due, then put back: both come out
    // once, in order, and the health line clears.
    void printerBackPrintsBothOnce()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        auto pty = std::make_unique<test::PtyPair>();
        QVERIFY2(pty->isValid(), qPrintable(pty->error()));
        writePorts(m_env->app(), {{3, pty->printerPath()}});
        setSlot(0, u"주방"_s, 3, 115200);
        pty->unplug();
        const QString first = gPrnInit + u"A5 물 주세요"_s + gPrnCut;
        const QString second = gPrnInit + u"B4 앞접시"_s + gPrnCut;
        {
            const PrintFaultsDeferred deferred;
            프린터_출력(u"주방"_s, first);
            프린터_출력(u"주방"_s, second);
        }
        QCOMPARE(unprintedTickets().count(), 2);
        QCOMPARE(lastTicketDelivered(u"주방"_s), std::optional<bool>(false));
        monitor::BoardHealth health;
        health.setPrinterFailed(u"주방"_s, true);
        health.setUnprinted(unprintedTickets().count());
        QVERIFY(health.text().contains(u"주방 프린터 출력 실패 · 미출력 2건"_s));

        // Still out at the next poll: nothing sent, nothing lost, nothing doubled.
        QCOMPARE(retryUnprintedTickets(), 0);
        QCOMPARE(unprintedTickets().count(), 2);

        // Plugged in again (a new device behind the same port).
        pty = std::make_unique<test::PtyPair>();
        QVERIFY2(pty->isValid(), qPrintable(pty->error()));
        writePorts(m_env->app(), {{3, pty->printerPath()}});
        QCOMPARE(retryUnprintedTickets(), 2);
        QCOMPARE(pty->readUntilQuiet(300, 5000), codec::toCp949(first) + codec::toCp949(second));
        QCOMPARE(unprintedTickets().count(), 0);
        QCOMPARE(retryUnprintedTickets(), 0);
        QCOMPARE(pty->readUntilQuiet(300, 1000), QByteArray());
        health.setPrinterFailed(u"주방"_s, !*lastTicketDelivered(u"주방"_s));
        health.setUnprinted(unprintedTickets().count());
        QVERIFY(!health.faulty());
    }

    void healthText_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("faulty");
        QTest::newRow("before the first list") << QStringList{} << u"확인 전"_s << false;
        QTest::newRow("quiet") << QStringList{u"ok"_s} << u"확인 14:02:10"_s << false;
        QTest::newRow("three failed polls") << QStringList{u"ok"_s, u"fail"_s, u"fail"_s, u"fail"_s}
                                            << u"확인 14:02:10 · 서버 응답 없음 · 3회"_s << true;
        QTest::newRow("back again") << QStringList{u"fail"_s, u"ok"_s} << u"확인 14:02:10"_s << false;
        QTest::newRow("login turned away")
            << QStringList{u"ok"_s, u"fail"_s, u"rejected"_s} << u"확인 14:02:10 · 로그인 거부됨"_s << true;
        QTest::newRow("failed slot renamed")
            << QStringList{u"ok"_s, u"printer"_s, u"renamed"_s} << u"확인 14:02:10"_s << false;
        QTest::newRow("other slot renamed") << QStringList{u"ok"_s, u"printer"_s, u"other renamed"_s}
                                            << u"확인 14:02:10 · 주방 프린터 출력 실패"_s << true;
        QTest::newRow("everything")
            << QStringList{u"ok"_s, u"printer"_s, u"unprinted"_s, u"speech"_s}
            << u"확인 14:02:10 · 주방 프린터 출력 실패 · 미출력 2건 · 음성 안내 불가"_s << true;
        QTest::newRow("paper end") << QStringList{u"ok"_s, u"주방 paper end"_s}
                                   << u"확인 14:02:10 · 주방 프린터 용지 없음"_s << true;
        QTest::newRow("cover open and offline")
            << QStringList{u"ok"_s, u"주방 cover open"_s, u"바 offline"_s}
            << u"확인 14:02:10 · 바 프린터 오프라인 · 주방 프린터 덮개 열림"_s << true;
        // Nothing to do yet: a note in the calm colour.
        QTest::newRow("near end") << QStringList{u"ok"_s, u"주방 near end"_s}
                                  << u"확인 14:02:10 · 주방 프린터 용지 부족"_s << false;
        QTest::newRow("paper back") << QStringList{u"ok"_s, u"주방 paper end"_s, u"주방 ready"_s}
                                    << u"확인 14:02:10"_s << false;
        QTest::newRow("no answer says nothing")
            << QStringList{u"ok"_s, u"주방 unknown"_s} << u"확인 14:02:10"_s << false;
        QTest::newRow("slot with no paper renamed")
            << QStringList{u"ok"_s, u"주방 paper end"_s, u"renamed"_s} << u"확인 14:02:10"_s << false;
        // Printer faults come before speech; notes after every fault.
        QTest::newRow("paper with the rest")
            << QStringList{u"ok"_s,        u"printer"_s, u"주방 paper end"_s, u"카운터 near end"_s,
                           u"unprinted"_s, u"speech"_s}
            << u"확인 14:02:10 · 주방 프린터 출력 실패 · 주방 프린터 용지 없음 · 미출력 2건 · 음성 안내 불가 "
               u"· "
               u"카운터 프린터 용지 부족"_s
            << true;
    }
    void healthText()
    {
        QFETCH(QStringList, events);
        QFETCH(QString, text);
        QFETCH(bool, faulty);
        monitor::BoardHealth health;
        for (const QString &e : events) {
            if (e == u"ok"_s)
                health.pollSucceeded(QDateTime(QDate(2026, 5, 1), QTime(14, 2, 10)));
            else if (e == u"fail"_s)
                health.pollFailed();
            else if (e == u"rejected"_s)
                health.setLoginRejected(true);
            else if (e == u"printer"_s)
                health.setPrinterFailed(u"주방"_s, true);
            else if (e == u"unprinted"_s)
                health.setUnprinted(2);
            else if (e == u"renamed"_s)
                health.keepPrinters({u"조리실"_s, u"카운터"_s, {}});
            else if (e == u"other renamed"_s)
                health.keepPrinters({u"주방"_s, u"바"_s, {}});
            else if (e == u"speech"_s)
                health.setSpeechUnavailable(true);
            else if (const qsizetype space = e.indexOf(u' '); space > 0)
                health.setPrinterCondition(e.left(space), conditionNamed(e.mid(space + 1)));
        }
        QCOMPARE(health.text(), text);
        QCOMPARE(health.faulty(), faulty);
    }

    // A change of state is told once, not once per poll.
    void healthChangesOnce()
    {
        monitor::BoardHealth health;
        QString state;
        QVERIFY(!health.takeChange(&state));
        int changes = 0;
        for (int i = 0; i < 5; ++i) {
            health.pollFailed();
            changes += health.takeChange(&state);
        }
        QCOMPARE(changes, 1);
        QCOMPARE(state, u"서버 응답 없음"_s);
        health.pollSucceeded(QDateTime(QDate(2026, 5, 1), QTime(14, 0)));
        QVERIFY(health.takeChange(&state));
        QCOMPARE(state, QString());
        QVERIFY(!health.takeChange(&state));
    }
};

QTEST_MAIN(TstBoardHealth)
#include "tst_boardhealth.moc"
