#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"
#include "support/TestEnvironment.h"

#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

const QString Body = u"ID=shop1&PassWord=pass1"_s;

/// A port on loopback that nobody listens on.
quint16 deadPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

/// A one-shot HTTP server: keeps the raw request it got and answers with `response`.
class RawServer : public QObject
{
public:
    explicit RawServer(QByteArray response) : m_response(std::move(response))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                m_request += socket->readAll();
                const qsizetype headEnd = m_request.indexOf("\r\n\r\n");
                if (headEnd < 0)
                    return;
                const QRegularExpression lengthLine(u"(?im)^content-length:\\s*(\\d+)"_s);
                const auto match = lengthLine.match(QString::fromLatin1(m_request.left(headEnd)));
                const qsizetype length = match.hasMatch() ? match.captured(1).toLongLong() : 0;
                if (m_request.size() - headEnd - 4 < length)
                    return;
                socket->write(m_response);
                socket->disconnectFromHost();
            });
        });
    }
    QString url() const
    {
        return u"http://127.0.0.1:"_s + QString::number(m_server.serverPort()) + u"/program/x.php"_s;
    }
    QByteArray request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_response;
    QByteArray m_request;
};

} // namespace

class TstWinHttp : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

    QString winHttpLog(const test::TempAppFolder &app) const
    {
        return codec::fromCp949(test::readBytes(app.filePath(u"261209_WinHttp.log"_s)));
    }
    static int count(const QString &text, const QString &part) { return int(text.count(part)); }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0, 5)));
        winHttpOptions().stageLimitMs = 400;
    }
    void cleanup() { m_env.reset(); }

    void sendsTheFormWithBothHeaders()
    {
        test::TempAppFolder app;
        RawServer server("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 6\r\n"
                         "Connection: close\r\n\r\n\xec\x84\xb1\xea\xb3\xb5");
        QCOMPARE(GetWinHttp(server.url(), Body), u"성공"_s);
        const QByteArray request = server.request();
        QVERIFY2(request.startsWith("POST /program/x.php HTTP/1.1\r\n"), request.constData());
        QVERIFY(request.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
        QVERIFY(request.contains("\r\nUser-Agent: Firefox 3.6.4\r\n"));
        QVERIFY(!request.contains("Cookie"));
        QVERIFY(request.endsWith("\r\n\r\n" + Body.toUtf8()));
        // A good answer leaves no line.
        QCOMPARE(winHttpLog(app), QString());
    }

    void answersFromTheSimulator()
    {
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString answer = GetWinHttp(sim.httpBase() + u"/program/logins.php"_s, Body);
        QVERIFY2(answer.contains(u"storename["_s + test::Simulator::shopName + u"]storename"_s),
                 qPrintable(answer));
        const auto received = sim.receivedLog();
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first().method, u"POST"_s);
        QCOMPARE(received.first().body, Body.toUtf8());
        QCOMPARE(winHttpLog(app), QString());
    }

    void badStatusIsLoggedOnceAndReturned()
    {
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"error500"_s, 1));
        const QString address = sim.httpBase() + u"/program/logins.php"_s;
        const QString answer = GetWinHttp(address, Body);
        QVERIFY(!answer.isEmpty());
        QCOMPARE(sim.receivedLog().size(), 1); // no retry
        const QString log = winHttpLog(app);
        static const QRegularExpression line(
            u"^\\[261209-100000\\.005\\]GetWinHttp \\.\\.\\. <실패> \\(500\\): \\d+ms 걸림\\. \\(Internal Server Error\\)\r\n"_s +
            QRegularExpression::escape(address) + u"\\?ID=shop1&PassWord=\\*\\*\\*\\*\r\n$"_s);
        QVERIFY2(line.match(log).hasMatch(), qPrintable(log));
    }

    // Attempts that get no response: each is logged, retried at once, three in all.
    void failedAttemptsAreRetried_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("nobody listens") << QString();
        QTest::newRow("server never answers") << u"hang"_s;
        QTest::newRow("connection dropped") << u"drop"_s;
        QTest::newRow("no such host") << u"dns"_s;
    }
    void failedAttemptsAreRetried()
    {
        QFETCH(QString, fault);
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QString address = u"http://127.0.0.1:"_s + QString::number(deadPort()) + u"/program/logins.php"_s;
        if (fault == u"dns"_s) {
            address = u"http://kavri-no-such-host.invalid/program/logins.php"_s;
        } else if (!fault.isEmpty()) {
            QVERIFY(sim.setFault(fault, 0, u"http"_s));
            address = sim.httpBase() + u"/program/logins.php"_s;
        }

        QCOMPARE(GetWinHttp(address, Body), QString());

        if (fault == u"hang"_s)
            QCOMPARE(sim.receivedLog().size(), 3);
        // Qt's transport sends a request once more by itself when the server closes the
        // connection without a byte of answer; the attempts are still three.
        if (fault == u"drop"_s)
            QVERIFY(sim.receivedLog().size() >= 3 && sim.receivedLog().size() <= 6);
        const QString log = winHttpLog(app);
        QCOMPARE(count(log, u"e)lib_misc->GetWinHttp[Erl:=3, Eno:="_s), 3);
        QCOMPARE(count(log, u"GetWinHttp ... <실패2>: "_s), 3);
        QCOMPARE(count(log, u"ms 걸림. "_s + address + u"?ID=shop1&PassWord=****\r\n"_s), 3);
        QCOMPARE(count(log, u"]GetWinHttp ... 재시도\r\n"_s), 2);
        QVERIFY(!log.contains(u"pass1"_s));
        // Report, failure line, retry; the last failure is not followed by a retry.
        QVERIFY(log.lastIndexOf(u"재시도"_s) < log.lastIndexOf(u"<실패2>"_s));
    }

    void selfSignedCertificateIsRefused()
    {
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString address = sim.httpsBase() + u"/program/logins.php"_s;
        QCOMPARE(GetWinHttp(address, Body), QString());
        QCOMPARE(count(winHttpLog(app), u"<실패2>"_s), 3);
        QVERIFY(sim.receivedLog().isEmpty());
    }

    void certificateTrustedByTheTestIsAccepted()
    {
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        winHttpOptions().extraCaCertificates = QSslCertificate::fromPath(sim.caCertificatePath());
        QVERIFY(!winHttpOptions().extraCaCertificates.isEmpty());
        const QString answer = GetWinHttp(sim.httpsBase() + u"/program/logins.php"_s, Body);
        QVERIFY2(answer.contains(u"성공"_s), qPrintable(answer));
        QCOMPARE(sim.receivedLog().size(), 1);
        QCOMPARE(sim.receivedLog().first().scheme, u"https"_s);
        QCOMPARE(winHttpLog(app), QString());
    }

    void malformedAddressFailsWithoutCrash_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("no scheme") << u"127.0.0.1/program/logins.php"_s;
        QTest::newRow("other scheme") << u"ftp://127.0.0.1/x"_s;
        QTest::newRow("garbage") << u"http://[::1"_s;
    }
    void malformedAddressFailsWithoutCrash()
    {
        QFETCH(QString, address);
        test::TempAppFolder app;
        QCOMPARE(GetWinHttp(address, Body), QString());
        const QString log = winHttpLog(app);
        QCOMPARE(count(log, u"e)lib_misc->GetWinHttp[Erl:=2, Eno:="_s), 3);
        QCOMPARE(count(log, u"<실패2>"_s), 3);
    }
};

QTEST_MAIN(TstWinHttp)
#include "tst_winhttp.moc"
