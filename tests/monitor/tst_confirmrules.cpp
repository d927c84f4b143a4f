#include "codec/Cp949.h"
#include "monitor/Confirmation.h"
#include "monitor/Expiry.h"
#include "monitor/RequestBoard.h"
#include "platform/Clock.h"
#include "services/ProcessValues.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/HostileServer.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

KavriEntry at(const QString &num, const QString &regDate)
{
    return KavriEntry{num, u"T"_s + num, regDate, u"요청"_s, {}};
}

QDateTime when(const QString &text)
{
    return QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
}

} // namespace

class TstConfirmRules : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env.emplace(when(u"2026-12-10 10:00:00"_s));
        winHttpOptions().stageLimitMs = 2000;
    }
    void cleanup() { m_env.reset(); }

    // Only marked rows that show a request are confirmed, in row order.
    void markedNumbersInRowOrder()
    {
        RequestBoard board;
        board.setLayout(0, 0);
        board.fill({at(u"30"_s, u"2026-12-10 09:59:00"_s), at(u"20"_s, u"2026-12-10 09:58:00"_s),
                    at(u"10"_s, u"2026-12-10 09:57:00"_s)});
        QVERIFY(markedRequestNumbers(board).isEmpty());
        board.setMarked(2, true);
        board.setMarked(0, true);
        QCOMPARE(markedRequestNumbers(board), (QStringList{u"30"_s, u"10"_s}));
        // A row that shows nothing sends nothing, even when it still knows an old number.
        board.fill({at(u"30"_s, u"2026-12-10 09:59:00"_s)});
        QCOMPARE(markedRequestNumbers(board), QStringList{u"30"_s});
        board.setMarked(5, true);
        QCOMPARE(markedRequestNumbers(board), QStringList{u"30"_s});
    }

    void expiry_data()
    {
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("expired");
        // Registered 10:00:00 (101), 10:03:00 (102), 10:10:00 in the future (103).
        QTest::newRow("off") << qint64(0) << u"2026-12-10 12:00:00"_s << QStringList{};
        QTest::newRow("negative is off") << qint64(-5) << u"2026-12-10 12:00:00"_s << QStringList{};
        QTest::newRow("5 min, at 10:05:00 still shown")
            << qint64(5) << u"2026-12-10 10:05:00"_s << QStringList{};
        QTest::newRow("5 min, at 10:05:01 gone")
            << qint64(5) << u"2026-12-10 10:05:01"_s << QStringList{u"101"_s};
        QTest::newRow("future time waits")
            << qint64(5) << u"2026-12-10 10:14:59"_s << QStringList{u"101"_s, u"102"_s};
        QTest::newRow("all, in row order")
            << qint64(5) << u"2026-12-10 10:15:01"_s << QStringList{u"103"_s, u"101"_s, u"102"_s};
        QTest::newRow("across midnight") << qint64(1440) << u"2026-12-11 10:00:01"_s << QStringList{u"101"_s};
    }
    void expiry()
    {
        QFETCH(qint64, minutes);
        QFETCH(QString, now);
        QFETCH(QStringList, expired);
        RequestBoard board;
        board.setLayout(0, 0);
        board.fill({at(u"103"_s, u"2026-12-10 10:10:00"_s), at(u"101"_s, u"2026-12-10 10:00:00"_s),
                    at(u"102"_s, u"2026-12-10 10:03:00"_s)});
        QCOMPARE(expiredRequestNumbers(board, minutes, when(now)), expired);
    }

    // Rows beyond the row count are never examined; an unreadable time skips
    // only its own row.
    void expirySkipsUnusedRowsAndUnreadableTimes()
    {
        RequestBoard board;
        board.setLayout(0, 2);
        KavriList list;
        for (int i = 0; i < 30; ++i)
            list.append(at(QString::number(100 + i), u"2026-12-10 09:00:00"_s));
        list[1].RegDateT = u"어제 저녁"_s;
        list[2].RegDateT = u"2026-13-40 25:00:00"_s;
        board.fill(list);
        board.setLayout(0, 0); // 10 rows in use; the layout empties the rows
        board.fill(list.mid(0, 30));
        const QStringList expired = expiredRequestNumbers(board, 1, when(u"2026-12-10 10:00:00"_s));
        QCOMPARE(expired.size(), 8);
        QCOMPARE(expired.first(), u"100"_s);
        QCOMPARE(expired.last(), u"109"_s);
        QVERIFY(!expired.contains(u"101"_s));
        QVERIFY(!expired.contains(u"110"_s));
    }

    // A time whose expiry lies past the year 9999 is far in the future, not
    // before today; the largest minutes stay in range.
    void expiryNearTheLastYear_data()
    {
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<QString>("registered");
        QTest::newRow("past the year 9999") << qint64(5) << u"9999-12-31 23:59:00"_s;
        QTest::newRow("largest minutes") << std::numeric_limits<qint64>::max() << u"2026-12-10 09:00:00"_s;
    }
    void expiryNearTheLastYear()
    {
        QFETCH(qint64, minutes);
        QFETCH(QString, registered);
        RequestBoard board;
        board.setLayout(0, 0);
        board.fill({at(u"101"_s, registered)});
        QCOMPARE(expiredRequestNumbers(board, minutes, when(u"2026-12-10 10:00:00"_s)), QStringList{});
    }

    // The confirmation against the service: success only on "성공"; the
    // request and answer lines on "_WinHttp_Req", the password masked.
    void checkKavriAgainstTheService()
    {
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        sim.logIn(2000);
        const qint64 number = sim.addRequest(gLoginID, u"1층/1"_s, u"물"_s);
        QVERIFY(number > 0);

        QVERIFY(Check_Kavri(QString::number(number)));
        QVERIFY(Check_Kavri(QString::number(number))); // already done still counts
        QVERIFY(!Check_Kavri(u"999999"_s));
        QVERIFY(sim.setFault(u"blank"_s, 3));
        QVERIFY(!Check_Kavri(QString::number(number)));

        const auto received = sim.receivedLog();
        QVERIFY(received.size() >= 4);
        QCOMPARE(received.first().target, u"/program/qrtablememoOK.php"_s);
        QCOMPARE(received.first().body,
                 (u"ID=shop1&PassWord=pass1&numt="_s + QString::number(number)).toUtf8());

        const QString log = codec::fromCp949(test::readBytes(app.filePath(u"261210_WinHttp_Req.log"_s)));
        QVERIFY2(log.contains(u"Check_Kavri() ... "_s + sim.httpBase() +
                              u"/program/qrtablememoOK.php?ID=shop1&PassWord=****&numt="_s),
                 qPrintable(log));
        QVERIFY(log.contains(u"Check_Kavri() ... ResponseStr:\r\n성공"_s));
        QVERIFY(!log.contains(u"pass1"_s));
    }

    void confirmationResult_data()
    {
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("result");
        const int confirmed = int(ConfirmResult::Confirmed);
        const int refused = int(ConfirmResult::Refused);
        const int noAnswer = int(ConfirmResult::NoAnswer);
        QTest::newRow("success") << "HTTP/1.1 200 OK"_ba
                                 << "성공"_ba << confirmed;
        QTest::newRow("refused") << "HTTP/1.1 200 OK"_ba
                                 << "해당 요청이 없습니다."_ba << refused;
        QTest::newRow("blank") << "HTTP/1.1 200 OK"_ba << QByteArray() << refused;
        QTest::newRow("error page") << "HTTP/1.1 500 Internal Server Error"_ba
                                    << "<h1>error</h1>"_ba << refused;
        QTest::newRow("not found") << "HTTP/1.1 404 Not Found"_ba
                                   << "<h1>404</h1>"_ba << refused;
        QTest::newRow("request time-out") << "HTTP/1.1 408 Request Timeout"_ba << QByteArray() << noAnswer;
        QTest::newRow("bad gateway") << "HTTP/1.1 502 Bad Gateway"_ba
                                     << "<h1>502</h1>"_ba << noAnswer;
        QTest::newRow("unavailable") << "HTTP/1.1 503 Service Unavailable"_ba << QByteArray() << noAnswer;
        QTest::newRow("gateway time-out") << "HTTP/1.1 504 Gateway Timeout"_ba
                                          << "<h1>504</h1>"_ba << noAnswer;
    }
    // What the expiry pass goes by: an answer from the service itself confirms
    // or refuses this request; a time-out or a gateway that got no answer is
    // a service that hangs.
    void confirmationResult()
    {
        QFETCH(QByteArray, statusLine);
        QFETCH(QByteArray, body);
        QFETCH(int, result);
        test::TempAppFolder app;
        test::HostileServer server(test::HostileServer::response(statusLine, body));
        gBaseURL = server.url(QString());
        QCOMPARE(int(confirmRequest(u"7"_s)), result);
        QCOMPARE(server.requests(), 1);
    }

    // No response at all, after the retries.
    void confirmationWithoutAService()
    {
        test::TempAppFolder app;
        quint16 port = 0;
        {
            test::HostileServer gone("");
            port = gone.port();
        }
        gBaseURL = u"http://127.0.0.1:"_s + QString::number(port);
        QCOMPARE(confirmRequest(u"7"_s), ConfirmResult::NoAnswer);
        QVERIFY(!Check_Kavri(u"7"_s));
    }
};

QTEST_GUILESS_MAIN(TstConfirmRules)
#include "tst_confirmrules.moc"
