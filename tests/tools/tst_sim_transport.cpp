#include "support/Simulator.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri::test;

namespace {

const QByteArray loginBody =
    (u"ID="_s + Simulator::shopId + u"&PassWord="_s + Simulator::shopPassword).toUtf8();

QByteArray loginRequest()
{
    return "POST /program/logins.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           QByteArray::number(loginBody.size()) + "\r\n\r\n" + loginBody;
}

/// Sends raw bytes and collects everything until the server closes (or the limit passes).
QByteArray rawExchange(quint16 port, const QByteArray &bytes, int limitMs = 10000)
{
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, port);
    if (!socket.waitForConnected(limitMs))
        return {};
    socket.write(bytes);
    QByteArray answer;
    const QDeadlineTimer deadline(limitMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

} // namespace

class TstSimTransport : public QObject
{
    Q_OBJECT

    SimReply login(Simulator &sim, bool https = false, int timeoutMs = 10000)
    {
        const QSslConfiguration trusting = sim.trustingConfiguration();
        return sim.post((https ? sim.httpsBase() : sim.httpBase()) + u"/program/logins.php"_s, loginBody,
                        timeoutMs, https ? &trusting : nullptr);
    }

    static bool succeeded(const SimReply &r) { return r.status == 200 && r.text().contains(u"성공"_s); }

private slots:
    void faults_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("bodyHolds"); // empty: the body must be empty
        QTest::newRow("blank") << u"blank"_s << -1 << 200 << QString();
        QTest::newRow("error500") << u"error500"_s << -1 << 500 << u"Internal Server Error"_s;
        QTest::newRow("slow, short delay") << u"slow"_s << 300 << 200 << u"성공"_s;
        QTest::newRow("raw") << u"raw"_s << -1 << 200 << QString();
    }
    void faults()
    {
        QFETCH(QString, mode);
        QFETCH(int, delayMs);
        QFETCH(int, status);
        QFETCH(QString, bodyHolds);
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(mode, 1, u"both"_s, delayMs));
        const SimReply r = login(sim);
        QVERIFY(r.answered);
        QCOMPARE(r.status, status);
        if (bodyHolds.isEmpty())
            QVERIFY(r.body.isEmpty());
        else
            QVERIFY2(r.text().contains(bodyHolds), r.body.constData());
        // the faulted request was still received and logged
        QCOMPARE(sim.receivedLog().size(), 1);
        // count defaults to one request
        QVERIFY(succeeded(login(sim)));
    }

    void drop()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"drop"_s, 1));
        QTcpSocket socket;
        socket.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(loginRequest());
        QVERIFY(socket.waitForDisconnected(10000));
        QVERIFY(socket.readAll().isEmpty());
        QVERIFY(succeeded(login(sim)));

        // a client that retries a dropped request once still ends without an answer
        QVERIFY(sim.setFault(u"drop"_s, 0));
        const SimReply r = login(sim);
        QVERIFY(!r.answered);
        QCOMPARE(r.error, QNetworkReply::RemoteHostClosedError);
        QVERIFY(sim.reset());
        QVERIFY(succeeded(login(sim)));
    }

    void faultCount()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"blank"_s, 2));
        sim.addRequest(Simulator::shopId, u"1"_s, u"test controls do not use up a fault"_s);
        QVERIFY(login(sim).body.isEmpty());
        QVERIFY(login(sim).body.isEmpty());
        QVERIFY(succeeded(login(sim)));

        QVERIFY(sim.setFault(u"error500"_s, 0));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(login(sim).status, 500);
        QVERIFY(sim.reset());
        QVERIFY(succeeded(login(sim)));

        QVERIFY(sim.setFault(u"blank"_s, 0));
        QVERIFY(sim.setFault(u"none"_s));
        QVERIFY(succeeded(login(sim)));
    }

    // A fault kept for one request's confirmations: other confirmations, the list and the
    // login pass untouched and do not use it up.
    void faultForOneConfirmation()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const qint64 refused = sim.addRequest(Simulator::shopId, u"1"_s, u"물"_s);
        const qint64 other = sim.addRequest(Simulator::shopId, u"2"_s, u"물"_s);
        QVERIFY(refused > 0 && other > 0);
        QVERIFY(sim.setConfirmFault(refused, u"raw"_s, 2, u"처리할 수 없습니다."_s));
        auto confirm = [&](qint64 number) {
            return sim.post(sim.httpBase() + u"/program/qrtablememoOK.php"_s,
                            loginBody + "&numt=" + QByteArray::number(number));
        };
        QVERIFY(succeeded(login(sim)));
        QVERIFY(succeeded(confirm(other)));
        QCOMPARE(sim.post(sim.httpBase() + Simulator::listPath, loginBody).status, 200);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(confirm(refused).text(), u"처리할 수 없습니다."_s);
        QVERIFY(succeeded(confirm(refused)));
    }

    void faultScheme()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        // the way a login falls back: the secure address answers blank, the plain one works
        QVERIFY(sim.setFault(u"blank"_s, 0, u"https"_s));
        QVERIFY(login(sim, true).body.isEmpty());
        QVERIFY(succeeded(login(sim, false)));
        QVERIFY(login(sim, true).body.isEmpty());
        QVERIFY(sim.reset());
        QVERIFY(succeeded(login(sim, true)));

        QVERIFY(sim.setFault(u"error500"_s, 1, u"http"_s));
        QVERIFY(succeeded(login(sim, true)));
        QCOMPARE(login(sim, false).status, 500);
        QVERIFY(succeeded(login(sim, false)));

        // one count shared by both schemes
        QVERIFY(sim.setFault(u"blank"_s, 1, u"both"_s));
        QVERIFY(login(sim, true).body.isEmpty());
        QVERIFY(succeeded(login(sim, false)));
        QVERIFY(succeeded(login(sim, true)));
    }

    void badFaultRequests_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("unknown mode") << "mode=explode"_ba;
        QTest::newRow("no mode") << "count=1"_ba;
        QTest::newRow("negative count") << "mode=blank&count=-1"_ba;
        QTest::newRow("count not a number") << "mode=blank&count=many"_ba;
        QTest::newRow("unknown scheme") << "mode=blank&scheme=ftp"_ba;
        QTest::newRow("negative delay") << "mode=slow&delay_ms=-5"_ba;
    }
    void badFaultRequests()
    {
        QFETCH(QByteArray, body);
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QCOMPARE(sim.post(sim.httpBase() + u"/sim/fault"_s, body).status, 400);
        QVERIFY(succeeded(login(sim)));
    }

    void rawAnswer()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString odd = u"<memochecks><memonum>5</memonum><ordercount>2.5</ordercount>"_s;
        QVERIFY(sim.setRawAnswer(odd));
        const SimReply r = login(sim);
        QCOMPARE(r.status, 200);
        QCOMPARE(r.text(), odd);
        QVERIFY(succeeded(login(sim)));
    }

    void hangAndSlowDoNotBlockOthers()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QTcpSocket hanging;
        QTcpSocket slow;
        QVERIFY(sim.setFault(u"hang"_s, 1));
        hanging.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(hanging.waitForConnected(5000));
        hanging.write(loginRequest());
        QVERIFY(hanging.waitForBytesWritten(5000));
        // the hang has been taken once the log shows the request
        QTRY_COMPARE_WITH_TIMEOUT(sim.receivedLog().size(), 1, 10000);

        QVERIFY(sim.setFault(u"slow"_s, 1, u"both"_s, 600000));
        slow.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(slow.waitForConnected(5000));
        slow.write(loginRequest());
        QVERIFY(slow.waitForBytesWritten(5000));
        QTRY_COMPARE_WITH_TIMEOUT(sim.receivedLog().size(), 2, 10000);

        QVERIFY(succeeded(login(sim)));
        QVERIFY(succeeded(login(sim, true)));
        QCOMPARE(hanging.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(slow.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(hanging.bytesAvailable(), 0);
        QCOMPARE(slow.bytesAvailable(), 0);
    }

    void https()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(succeeded(login(sim, true)));

        // without trusting the self-signed certificate the exchange fails before any answer
        const SimReply untrusted = sim.post(sim.httpsBase() + u"/program/logins.php"_s, loginBody);
        QVERIFY(!untrusted.answered);
        QCOMPARE(untrusted.error, QNetworkReply::SslHandshakeFailedError);
        QCOMPARE(sim.receivedLog().size(), 1);

        // plain HTTP on the TLS port gets no answer either
        QVERIFY(!rawExchange(sim.httpsPort(), loginRequest(), 5000).startsWith("HTTP/1.1 200"));
        QVERIFY(succeeded(login(sim, true)));
    }

    void badClients_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::newRow("garbage") << "hello there\r\n\r\n"_ba
                                 << "HTTP/1.1 400"_ba;
        QTest::newRow("lower-case method") << "post /program/logins.php HTTP/1.1\r\n\r\n"_ba
                                           << "HTTP/1.1 400"_ba;
        QTest::newRow("absolute target") << "GET http://x/ HTTP/1.1\r\n\r\n"_ba
                                         << "HTTP/1.1 400"_ba;
        QTest::newRow("header without colon") << "GET / HTTP/1.1\r\nbroken\r\n\r\n"_ba
                                              << "HTTP/1.1 400"_ba;
        QTest::newRow("bad length") << "POST /program/logins.php HTTP/1.1\r\nContent-Length: 1x\r\n\r\n"_ba
                                    << "HTTP/1.1 400"_ba;
        QTest::newRow("two lengths") << "POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"_ba
                                     << "HTTP/1.1 400"_ba;
        QTest::newRow("huge body announced")
            << "POST /program/logins.php HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n"_ba
            << "HTTP/1.1 413"_ba;
        QTest::newRow("endless headers")
            << "GET / HTTP/1.1\r\n"_ba + QByteArray(40000, 'x') << "HTTP/1.1 431"_ba;
        QTest::newRow("chunked")
            << "POST /program/logins.php HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"_ba
            << "HTTP/1.1 501"_ba;
        QTest::newRow("unknown path") << "GET /nothing HTTP/1.1\r\n\r\n"_ba
                                      << "HTTP/1.1 404"_ba;
        QTest::newRow("control GET only") << "POST /sim/log HTTP/1.1\r\n\r\n"_ba
                                          << "HTTP/1.1 405"_ba;
        QTest::newRow("LF-only lines")
            << "POST /program/logins.php HTTP/1.0\nContent-Length: " + QByteArray::number(loginBody.size()) +
                   "\n\n" + loginBody
            << "HTTP/1.1 200"_ba;
    }
    void badClients()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, statusLine);
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QByteArray answer = rawExchange(sim.httpPort(), bytes);
        QVERIFY2(answer.startsWith(statusLine), answer.left(80).constData());
        QVERIFY(answer.contains("Content-Length: "));
        QVERIFY(succeeded(login(sim)));
    }

    void answerFraming()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        // a client that waits for "100 Continue" before sending its body
        QTcpSocket socket;
        socket.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(socket.waitForConnected(5000));
        socket.write("POST /program/logins.php HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: " +
                     QByteArray::number(loginBody.size()) + "\r\n\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(socket.bytesAvailable() > 0 || !socket.waitForReadyRead(100), 10000);
        QCOMPARE(socket.readAll(), "HTTP/1.1 100 Continue\r\n\r\n"_ba);
        socket.write(loginBody);
        QByteArray answer;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
            answer += socket.readAll();
        answer += socket.readAll();

        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        QVERIFY(headEnd > 0);
        const QByteArray head = answer.left(headEnd);
        const QByteArray body = answer.mid(headEnd + 4);
        QVERIFY(head.startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(head.contains("\r\nContent-Type: text/html; charset=utf-8"));
        QVERIFY(head.contains("\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"));
        QVERIFY(QString::fromUtf8(body).contains(u"성공"_s));
    }

    void connectionLimit()
    {
        Simulator sim(Simulator::defaultArgs() << u"--max-connections"_s << u"3"_s);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QList<QTcpSocket *> idle;
        for (int i = 0; i < 3; ++i) {
            auto *s = new QTcpSocket(this);
            s->connectToHost(u"127.0.0.1"_s, sim.httpPort());
            QVERIFY(s->waitForConnected(5000));
            s->write("POST /program/logins.php HTTP/1.1\r\n"); // never finished
            QVERIFY(s->waitForBytesWritten(5000));
            idle.append(s);
        }
        QTcpSocket extra;
        extra.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(extra.waitForConnected(5000));
        QVERIFY(extra.state() == QAbstractSocket::UnconnectedState || extra.waitForDisconnected(10000));
        for (QTcpSocket *s : idle) {
            QCOMPARE(s->state(), QAbstractSocket::ConnectedState);
            s->abort();
            delete s;
        }
        QTRY_VERIFY_WITH_TIMEOUT(succeeded(login(sim)), 10000);
    }

    void endsCleanlyOnTerminate()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"hang"_s, 0));
        QTcpSocket hanging;
        hanging.connectToHost(u"127.0.0.1"_s, sim.httpPort());
        QVERIFY(hanging.waitForConnected(5000));
        hanging.write(loginRequest());
        QTRY_COMPARE_WITH_TIMEOUT(sim.receivedLog().size(), 1, 10000);
        QVERIFY(sim.stop());
    }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("shop without name") << QStringList{u"--shop"_s, u"a:b"_s};
        QTest::newRow("tables of an unknown shop") << QStringList{u"--tables"_s, u"x:1/1"_s};
        QTest::newRow("port out of range") << QStringList{u"--http-port"_s, u"70000"_s};
        QTest::newRow("certificate without key") << QStringList{u"--cert"_s, u"/nonexistent.pem"_s};
        QTest::newRow("unreadable certificate")
            << QStringList{u"--cert"_s, u"/nonexistent.pem"_s, u"--key"_s, u"/nonexistent.pem"_s};
        QTest::newRow("stray argument") << QStringList{u"demo"_s};
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QProcess p;
        p.start(QStringLiteral(KAVRI_SIM_PATH), args);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardOutput().isEmpty());
        QVERIFY(p.readAllStandardError().startsWith("kavri-sim: "));
    }

    void portInUse()
    {
        Simulator first;
        QVERIFY2(first.isRunning(), qPrintable(first.errorString()));
        QProcess p;
        p.start(QStringLiteral(KAVRI_SIM_PATH), {u"--http-port"_s, QString::number(first.httpPort())});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QString::number(first.httpPort())));
    }
};

QTEST_GUILESS_MAIN(TstSimTransport)
#include "tst_sim_transport.moc"
