#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettings.h"
#include "printing/Ticket.h"
#include "printing/TicketOutput.h"
#include "printing/Unprinted.h"
#include "services/ProcessValues.h"
#include "support/FileBytes.h"
#include "support/PrinterSlots.h"
#include "support/PrintingTestEnvironment.h"
#include "support/PtyPair.h"
#include "support/TempAppFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using test::setSlot;
using test::writePorts;

// Tickets a printer did not take: kept, sent again once the printer takes
// output, each exactly once; reprints.
class TstUnprinted : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;

    QString listFile() const { return m_env->filePath(u"unprinted.json"_s); }
    QDateTime now() const { return m_env->clock().now(); }
    QString mainLog() const { return codec::fromCp949(test::readBytes(m_env->filePath(u"260501.log"_s))); }
    QJsonArray stored() const { return QJsonDocument::fromJson(test::readBytes(listFile())).array(); }

    static QStringList textsOf(const QJsonArray &entries)
    {
        QStringList out;
        for (const QJsonValue &e : entries)
            out << e[u"text"_s].toString();
        return out;
    }
    static QStringList textsOf(const UnprintedTickets &list)
    {
        QStringList out;
        for (const UnprintedTicket &t : list.tickets())
            out << t.text;
        return out;
    }
    /// The entries marked as being sent.
    static int sendingIn(const QJsonArray &entries)
    {
        return int(std::count_if(entries.begin(), entries.end(),
                                 [](const QJsonValue &e) { return e[u"sending"_s].toBool(); }));
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0)));
        unprintedTickets().load(listFile(), now());
    }
    void cleanup() { m_env.reset(); }

    // A scope lends a fresh list as the program's while it lives, then puts the one before back.
    void scopeLendsAFreshList()
    {
        unprintedTickets().add(u"주방"_s, u"A"_s, now());
        UnprintedTickets &outer = unprintedTickets();
        {
            const UnprintedTicketsScope scope;
            QCOMPARE(unprintedTickets().count(), 0);
            unprintedTickets().add(u"주방"_s, u"B"_s, now());
            QCOMPARE(outer.count(), 1);
        }
        QCOMPARE(&unprintedTickets(), &outer);
        QCOMPARE(textsOf(unprintedTickets()), QStringList{u"A"_s});
    }

    // A spool scope starts knowing nothing of the slots and takes what it learnt with it.
    void spoolScopeKeepsItsOwnOutcomes()
    {
        writePorts(m_env->app(), {{3, m_env->filePath(u"no-printer"_s)}});
        setSlot(0, u"카운터"_s, 3);
        프린터_출력(u"카운터"_s, gPrnInit + u"A1"_s + gPrnCut);
        QCOMPARE(lastTicketDelivered(u"카운터"_s), std::optional<bool>(false));
        {
            const PrintSpoolScope scope;
            QCOMPARE(lastTicketDelivered(u"카운터"_s), std::optional<bool>());
        }
        QCOMPARE(lastTicketDelivered(u"카운터"_s), std::optional<bool>(false));
    }

    // Oldest first, each once; a slot whose ticket fails again is left for the next poll.
    void retryOrderAndOnce()
    {
        UnprintedTickets list;
        list.load(listFile(), now());
        list.add(u"주방"_s, u"k1"_s, now());
        list.add(u"카운터"_s, u"c1"_s, now());
        list.add(u"주방"_s, u"k2"_s, now());
        list.add(u"카운터"_s, u"c2"_s, now());
        QStringList sent;
        // The kitchen printer is still off; the counter printer is back.
        const auto send = [&sent](const QString &slot, const QString &text) {
            sent << slot + u':' + text;
            return slot == u"카운터"_s;
        };
        QCOMPARE(list.retry(now(), send), 2);
        QCOMPARE(sent, (QStringList{u"주방:k1"_s, u"카운터:c1"_s, u"카운터:c2"_s}));
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.tickets().at(0).text, u"k1"_s);
        QCOMPARE(list.tickets().at(1).text, u"k2"_s);

        // A retry asked for while one runs (its send lets events run) sends nothing twice.
        sent.clear();
        const auto nested = [&](const QString &slot, const QString &text) {
            sent << slot + u':' + text;
            list.retry(now(), send);
            return true;
        };
        QCOMPARE(list.retry(now(), nested), 2);
        QCOMPARE(sent, (QStringList{u"주방:k1"_s, u"주방:k2"_s}));
        QCOMPARE(list.count(), 0);
    }

    // The file keeps the list over a restart; bounds and a broken file.
    void fileAndBounds()
    {
        {
            UnprintedTickets list;
            list.load(listFile(), now());
            list.add(u"주방"_s, gPrnInit + u"물 주세요"_s + gPrnCut, now());
            list.add(u"주방"_s, u"두번째"_s, now().addSecs(60));
        }
        UnprintedTickets again;
        again.load(listFile(), now());
        QCOMPARE(again.count(), 2);
        QCOMPARE(again.tickets().first().text, gPrnInit + u"물 주세요"_s + gPrnCut);
        QCOMPARE(again.tickets().first().failedAt, now());

        // Three hours later the first is dropped, the second one minute later.
        again.expire(now().addSecs(3 * 3600 + 1));
        QCOMPARE(again.count(), 1);
        UnprintedTickets reread;
        reread.load(listFile(), now().addSecs(3 * 3600 + 1));
        QCOMPARE(reread.count(), 1);

        // At most fifty: the oldest goes.
        for (int i = 0; i < 60; ++i)
            reread.add(u"주방"_s, QString::number(i), now().addSecs(3 * 3600 + 2));
        QCOMPARE(reread.count(), UnprintedTickets::MaxTickets);
        QCOMPARE(reread.tickets().first().text, u"10"_s);
        // A ticket too long to keep is not kept.
        reread.add(u"주방"_s, QString(UnprintedTickets::MaxTicketChars + 1, u'가'),
                   now().addSecs(3 * 3600 + 2));
        QCOMPARE(reread.tickets().last().text, u"59"_s);

        for (const QByteArray &broken :
             {QByteArray("{not json"), QByteArray("{\"a\":1}"), QByteArray("[1,2,{}]")}) {
            QVERIFY(test::writeBytes(listFile(), broken));
            UnprintedTickets list;
            list.load(listFile(), now());
            QCOMPARE(list.count(), 0);
            QCOMPARE(test::readBytes(listFile()), broken); // left alone until the list changes
        }
    }

    // Sending lets events run: a ticket that fails meanwhile is kept, and tickets may pass
    // their three hours. The retry keeps its order, sends nothing twice, tries the new
    // ticket at the next poll, and the file still holds the ticket that was out being sent.
    void changesWhileSending()
    {
        UnprintedTickets list;
        list.load(listFile(), now());
        for (const QString &text : {u"a1"_s, u"a2"_s, u"a3"_s})
            list.add(u"주방"_s, text, now());
        list.add(u"카운터"_s, u"c1"_s, now().addSecs(3600));
        QStringList sent;
        const QDateTime later = now().addSecs(3 * 3600 + 60); // a1 to a3 are past their hours
        const auto send = [&](const QString &slot, const QString &text) {
            sent << text;
            if (text == u"c1"_s)
                list.add(u"카운터"_s, u"c2"_s, later); // the counter printer is still out
            return false;
        };
        // The poll comes after c1 failed: a ticket dated ahead of the clock would be dropped.
        QCOMPARE(list.retry(now().addSecs(3600), send), 0);
        QCOMPARE(sent, (QStringList{u"a1"_s, u"c1"_s}));
        QStringList kept;
        for (const UnprintedTicket &t : list.tickets())
            kept << t.text;
        QCOMPARE(kept, (QStringList{u"c1"_s, u"c2"_s}));
        UnprintedTickets reread;
        reread.load(listFile(), later);
        QStringList stored;
        for (const UnprintedTicket &t : reread.tickets())
            stored << t.text;
        QCOMPARE(stored, kept);

        // Back at the next poll: both once, oldest first.
        sent.clear();
        QCOMPARE(list.retry(later,
                            [&](const QString &, const QString &text) {
                                sent << text;
                                return true;
                            }),
                 2);
        QCOMPARE(sent, (QStringList{u"c1"_s, u"c2"_s}));
        QCOMPARE(list.count(), 0);
    }

    // Whatever the list keeps comes back whole after a restart: a ticket whose stored
    // form would not let fifty of them fit in the file is not kept.
    void keptListFitsItsFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a long Korean ticket") << QString(3000, u'가') << true;
        QTest::newRow("printer commands throughout")
            << QString(UnprintedTickets::MaxTicketChars - 1, QChar(0x1b)) << false;
    }
    void keptListFitsItsFile()
    {
        QFETCH(QString, text);
        QFETCH(bool, kept);
        UnprintedTickets list;
        list.load(listFile(), now());
        for (qsizetype i = 0; i < UnprintedTickets::MaxTickets; ++i)
            list.add(u"주방"_s, text, now());
        QCOMPARE(list.count(), kept ? UnprintedTickets::MaxTickets : 0);
        UnprintedTickets again;
        again.load(listFile(), now());
        QCOMPARE(again.count(), list.count());
    }

    // A link in the file's place is neither read nor written through: what it points
    // at stays as it was, and the list still works in memory.
    void linkInPlaceOfTheFile()
    {
        const QString elsewhere = m_env->filePath(u"elsewhere.txt"_s);
        QVERIFY(test::writeBytes(elsewhere, "[]"));
        QVERIFY(QFile::link(elsewhere, listFile()));
        UnprintedTickets list;
        list.load(listFile(), now());
        list.add(u"주방"_s, u"k1"_s, now());
        QCOMPARE(list.count(), 1);
        QCOMPARE(test::readBytes(elsewhere), QByteArray("[]"));
        QVERIFY(QFileInfo(listFile()).isSymLink());
    }

    // Every ticket of the file is held to the limits on its own: one dated far ahead (a
    // hand-edited file, a clock set back) shelters nothing behind it and is dropped itself;
    // past fifty the newest stay. What is dropped is logged as what it is.
    void limitsOfTheFile_data()
    {
        QTest::addColumn<QList<qint64>>("ages"); // seconds before now of each entry, in file order
        QTest::addColumn<QStringList>("kept");   // the entries kept (by index), oldest first
        QTest::addColumn<QStringList>("logged");
        const QDateTime now(QDate(2026, 5, 1), QTime(10, 0));
        const qint64 in2099 = QDateTime(QDate(2099, 1, 1), QTime(12, 0)).secsTo(now);
        QTest::newRow("dated 2099 before an old one")
            << QList<qint64>{in2099, 4 * 3600, 60} << QStringList{u"2"_s}
            << QStringList{u"미출력 티켓 1건이 3시간을 넘어 버림"_s,
                           u"미출력 티켓 1건의 실패 시각이 지금보다 뒤라서 버림"_s};
        QTest::newRow("a little ahead, out of order")
            << QList<qint64>{-120, 60} << QStringList{u"1"_s, u"0"_s} << QStringList{};
        QList<qint64> fiftyFive;
        QStringList newest;
        for (int i = 0; i < 55; ++i) {
            fiftyFive << (55 - i) * 60;
            if (i >= 5)
                newest << QString::number(i);
        }
        QTest::newRow("fifty-five") << fiftyFive << newest
                                    << QStringList{u"미출력 티켓이 50건을 넘어 가장 오래된 5건을 버림"_s};
    }
    void limitsOfTheFile()
    {
        QFETCH(QList<qint64>, ages);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, logged);
        QJsonArray entries;
        for (qsizetype i = 0; i < ages.size(); ++i)
            entries.append(QJsonObject{{u"slot"_s, u"주방"_s},
                                       {u"text"_s, QString::number(i)},
                                       {u"failedAt"_s, now().addSecs(-ages.at(i)).toString(Qt::ISODate)}});
        QVERIFY(test::writeBytes(listFile(), QJsonDocument(entries).toJson()));
        UnprintedTickets list;
        list.load(listFile(), now());
        QCOMPARE(textsOf(list), kept);
        const QString log = mainLog();
        for (const QString &line : logged)
            QVERIFY2(log.contains(u"]"_s + line + u"\r\n"_s), qPrintable(log));
        QVERIFY2(!log.contains(u"잘못된 항목"_s), qPrintable(log));
        // What a retry would send now is what was kept.
        QStringList sent;
        list.retry(now(), [&sent](const QString &, const QString &text) {
            sent << text;
            return true;
        });
        QCOMPARE(sent, kept);
    }

    // The ticket out being sent is in the file the whole time, whatever rewrites it
    // meanwhile, and marked right before its first byte: the file a kill leaves behind
    // sends it again with the reprint mark, once.
    void ticketBeingSentStaysInTheFile()
    {
        UnprintedTickets list;
        list.load(listFile(), now());
        const QString ticket = gPrnInit + u"< Kavri >"_s + gCrLf + gCrLf + u"QR: A5"_s + gCrLf + gPrnCut;
        list.add(u"주방"_s, ticket, now());
        list.add(u"주방"_s, u"둘째"_s, now());
        QJsonArray beforeItsBytes;
        QJsonArray leftByAKill;
        QCOMPARE(list.retry(now(),
                            [&](const QString &, const QString &text) {
                                if (text != ticket)
                                    return false;
                                list.add(u"카운터"_s, u"c1"_s,
                                         now()); // a failure meanwhile rewrites the file
                                beforeItsBytes = stored();
                                list.markSending();
                                leftByAKill = stored();
                                return true;
                            }),
                 1);
        QCOMPARE(textsOf(beforeItsBytes), (QStringList{ticket, u"둘째"_s, u"c1"_s}));
        QCOMPARE(sendingIn(beforeItsBytes), 0);
        QCOMPARE(textsOf(leftByAKill), (QStringList{ticket, u"둘째"_s, u"c1"_s}));
        QVERIFY(leftByAKill.at(0)[u"sending"_s].toBool());
        QCOMPARE(sendingIn(leftByAKill), 1);
        QCOMPARE(textsOf(stored()), (QStringList{u"둘째"_s, u"c1"_s}));
        QCOMPARE(sendingIn(stored()), 0);

        // The next start after a kill: the ticket comes back with the mark, and a second start
        // (killed again before it went out) does not mark it twice.
        QVERIFY(test::writeBytes(listFile(), QJsonDocument(leftByAKill).toJson()));
        for (int start = 0; start < 2; ++start) {
            UnprintedTickets again;
            again.load(listFile(), now());
            QCOMPARE(textsOf(again), (QStringList{withReprintLine(ticket), u"둘째"_s, u"c1"_s}));
            QCOMPARE(sendingIn(stored()), 0);
            QJsonArray killedAgain = stored();
            QJsonObject first = killedAgain.at(0).toObject();
            first.insert(u"sending"_s, true);
            killedAgain.replace(0, first);
            QVERIFY(test::writeBytes(listFile(), QJsonDocument(killedAgain).toJson()));
        }
        QCOMPARE(mainLog().count(u"미출력 티켓 1건은 [재출력] 표시를 붙여 다시 보냄"_s), 2);

        // Marked and then not taken: it stays kept, and the file no longer says it is being sent.
        UnprintedTickets failing;
        failing.load(listFile(), now());
        QCOMPARE(failing.retry(now(),
                               [&](const QString &, const QString &) {
                                   failing.markSending();
                                   return false;
                               }),
                 0);
        QCOMPARE(failing.count(), 3);
        QCOMPARE(textsOf(stored()), (QStringList{withReprintLine(ticket), u"둘째"_s, u"c1"_s}));
        QCOMPARE(sendingIn(stored()), 0);
    }

    // Dropping the tickets kept up to a point leaves the later ones; one being sent when
    // it is dropped is not kept again when its printer fails.
    void dropUpToAPoint()
    {
        UnprintedTickets list;
        list.load(listFile(), now());
        list.add(u"주방"_s, u"k1"_s, now());
        list.add(u"주방"_s, u"k2"_s, now());
        const quint64 through = list.newestId();
        list.add(u"주방"_s, u"k3"_s, now());
        QCOMPARE(list.drop(through), 2);
        QCOMPARE(textsOf(list), QStringList{u"k3"_s});
        QCOMPARE(textsOf(stored()), QStringList{u"k3"_s});
        qsizetype droppedWhileOut = -1;
        QCOMPARE(list.retry(now(),
                            [&](const QString &, const QString &) {
                                droppedWhileOut = list.drop(list.newestId()); // it is out being sent
                                return false;
                            }),
                 0);
        QCOMPARE(droppedWhileOut, 0);
        QCOMPARE(list.count(), 0);
        QCOMPARE(stored(), QJsonArray());
    }

    // A failed ticket is in the file before its box is shown: the box may stay open for
    // long, and the program may end meanwhile.
    void failedTicketKeptBeforeItsBox()
    {
        writePorts(m_env->app(), {{3, m_env->filePath(u"no-printer"_s)}});
        setSlot(0, u"카운터"_s, 3);
        gPrinterSettings.선택된테이블 = u"-[A3]-"_s;
        QJsonArray whileShown;
        m_env->dialogs().whileShown = [&](const platform::RecordingDialogs::Shown &) {
            whileShown = stored();
        };
        QVERIFY(reprintTicket(u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, {}));
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"카운터(COM3) 포트 번호가 잘못되었습니다!"_s});
        QCOMPARE(whileShown.size(), 1);
        QVERIFY(whileShown.at(0)[u"text"_s].toString().contains(u"[재출력]"_s));
        m_env->dialogs().whileShown = nullptr;
    }

    // A reprint is the ticket with its mark after the header, on every named slot.
    void reprintBytes()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        writePorts(m_env->app(), {{3, pty.printerPath()}});
        setSlot(0, u"카운터"_s, 3, 115200);
        gPrinterSettings.선택된테이블 = u"-[A3]-"_s;
        const QString original =
            ComposeTicket(gPrinterSettings, {}, u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, u"카드"_s);
        QVERIFY(reprintTicket(u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, u"카드"_s));
        const QByteArray arrived = pty.readUntilQuiet(300, 5000);
        const QByteArray mark = codec::toCp949(gPrnNormal + u"[재출력]"_s + gCrLf);
        const QByteArray plain = codec::toCp949(original);
        QCOMPARE(arrived.size(), plain.size() + mark.size());
        const qsizetype at = arrived.indexOf(mark);
        QVERIFY(at > 0);
        QCOMPARE(arrived.left(at) + arrived.mid(at + mark.size()), plain);
        QVERIFY(plain.left(at).endsWith("\r\n\r\n")); // right after the header and its blank line
        // A table the printers do not print is not reprinted either.
        QVERIFY(!reprintTicket(u"B9"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, {}));
        QCOMPARE(pty.readUntilQuiet(300, 1000), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TstUnprinted)
#include "tst_unprinted.moc"
