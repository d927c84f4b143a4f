#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/HttpTransport.h"
#include "services/WinHttp.h"
#include "support/FileBytes.h"
#include "support/HostileServer.h"
#include "support/TempAppFolder.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using test::HostileServer;

namespace {

const QByteArray Body = "ID=shop1&PassWord=pass1";
const qint64 Cap = platform::HttpOptions{}.maxBodyBytes;

platform::HttpOptions options()
{
    platform::HttpOptions o;
    o.stageLimitMs = 5000;
    return o;
}

// The most a loopback connection holds between the two programs: the kernel's
// largest receive and send buffers (tuned per machine, 32 MB receive seen on CI).
qint64 kernelSocketBuffers()
{
    qint64 total = 0;
    for (const char *path : {"/proc/sys/net/ipv4/tcp_rmem", "/proc/sys/net/ipv4/tcp_wmem"}) {
        QFile file(QString::fromLatin1(path));
        const QList<QByteArray> fields =
            file.open(QIODevice::ReadOnly) ? file.readAll().simplified().split(' ') : QList<QByteArray>{};
        total += fields.size() == 3 ? fields.last().toLongLong() : 8 * 1024 * 1024;
    }
    return total;
}

/// Counts, while it lives, Qt's warning that one reply reported an error twice.
class InternalProblems
{
public:
    InternalProblems()
    {
        s_count = 0;
        s_previous = qInstallMessageHandler(countWarning);
    }
    ~InternalProblems() { qInstallMessageHandler(s_previous); }
    int count() const { return s_count; }

private:
    static void countWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (message.contains(u"Internal problem"_s))
            ++s_count;
        s_previous(type, context, message);
    }
    static inline int s_count = 0;
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace

// Servers that answer too much or send the client elsewhere.
class TstWinHttpHostile : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0, 5)));
        winHttpOptions() = options();
    }
    void cleanup() { m_env.reset(); }

    void capIsSixteenMegabytes() { QCOMPARE(Cap, 16 * 1024 * 1024); }

    // An answer beyond the cap fails the attempt as soon as the cap is crossed,
    // so memory stays bounded however much the server sends.
    void oversizeAnswerFails_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("endless");
        const QByteArray open = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
        QTest::newRow("endless body") << (open + "\r\n") << true;
        QTest::newRow("declared length over the cap") << (open + "Content-Length: 100000000\r\n\r\n") << true;
        QTest::newRow("one byte over the cap, no length")
            << (open + "\r\n" + QByteArray(Cap + 1, 'a')) << false;
        QTest::newRow("one byte over the cap, chunked")
            << ("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
                QByteArray::number(Cap + 1, 16) + "\r\n" + QByteArray(Cap + 1, 'a') + "\r\n0\r\n\r\n")
            << false;
    }
    void oversizeAnswerFails()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, endless);
        HostileServer server(head, endless);
        const platform::HttpResult r = platform::postForm(server.url(), Body, options());
        QVERIFY(!r.responded);
        QVERIFY(r.body.isEmpty());
        QCOMPARE(r.failedStep, 3);
        QVERIFY2(r.errorText.contains(u"16MB"_s), qPrintable(r.errorText));
        // Stopped near the cap: what the server got out is the cap plus what the
        // kernel's socket buffers and the two sides' 1 MB buffers hold, far below
        // what it would have sent.
        QVERIFY2(server.mostBytesSent() < Cap + kernelSocketBuffers() + 4 * 1024 * 1024,
                 qPrintable(QString::number(server.mostBytesSent())));
    }

    void answerAtTheCapIsTaken()
    {
        HostileServer server(HostileServer::response("HTTP/1.1 200 OK", QByteArray(Cap, 'a')));
        const platform::HttpResult r = platform::postForm(server.url(), Body, options());
        QVERIFY2(r.responded, qPrintable(r.errorText));
        QCOMPARE(r.body.size(), Cap);
    }

    // Through GetWinHttp the oversize answer is a transport failure like any other:
    // reported in Korean, retried, and nothing is returned.
    void oversizeAnswerIsRetriedAndLogged()
    {
        test::TempAppFolder app;
        HostileServer server("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n",
                             true);
        QCOMPARE(GetWinHttp(server.url(), QString::fromLatin1(Body)), QString());
        QCOMPARE(server.requests(), 3);
        const QString log = codec::fromCp949(test::readBytes(app.filePath(u"261209_WinHttp.log"_s)));
        QCOMPARE(log.count(u"e)lib_misc->GetWinHttp[Erl:=3, Eno:="_s), 3);
        QCOMPARE(log.count(u"16MB"_s), 3);
        QCOMPARE(log.count(u"<실패2>"_s), 3);
        QVERIFY(log.size() < 10000);
    }

    // An answer that arrives in many pieces is decoded as the whole would be:
    // UTF-8 split anywhere, undeclared CP949, and a sequence cut at the very end.
    void largeAnswerDecodesWhole_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QByteArray korean;
        while (korean.size() < 3 * 1024 * 1024 + 1)
            korean += QStringLiteral("<memotext>물 좀 더 주세요 😀</memotext>\r\n").toUtf8();
        QTest::newRow("utf-8 declared") << QByteArray("text/html; charset=utf-8") << korean;
        QTest::newRow("undeclared utf-8") << QByteArray("text/html") << korean;
        QTest::newRow("undeclared cp949")
            << QByteArray("text/html")
            << codec::toCp949(QString::fromUtf8(korean).remove(QStringLiteral("😀")));
        QTest::newRow("cut at the end, undeclared")
            << QByteArray("text/html") << korean + QByteArray("\xEB\xAC");
        QTest::newRow("cut at the end, declared")
            << QByteArray("text/html; charset=utf-8") << korean + QByteArray("\xF0\x9F\x98");
        QTest::newRow("euc-kr") << QByteArray("text/html; charset=euc-kr")
                                << codec::toCp949(u"가나"_s.repeated(600000));
    }
    void largeAnswerDecodesWhole()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        HostileServer server(HostileServer::response("HTTP/1.1 200 OK", body)
                                 .replace("text/html; charset=utf-8", contentType));
        const platform::HttpResult result = platform::postForm(server.url(), Body, options());
        QVERIFY(result.responded);
        const QString whole = platform::decodeResponseBody(body, contentType);
        const QString text = result.text();
        QCOMPARE(text.size(), whole.size());
        QVERIFY(text == whole);
    }

    // A connection closed before any answer byte fails the attempt; Qt must not
    // send the form again by itself (a confirmation would be posted twice), so
    // each logged attempt reaches the service exactly once.
    void droppedConnectionReachesServiceOncePerAttempt()
    {
        {
            HostileServer server({});
            const platform::HttpResult result = platform::postForm(server.url(), Body, options());
            QVERIFY(!result.responded);
            QCOMPARE(server.requests(), 1);
            QCOMPARE(server.lastRequest().right(Body.size()), Body);
        }
        test::TempAppFolder app;
        HostileServer server({});
        QCOMPARE(GetWinHttp(server.url(), QString::fromLatin1(Body)), QString());
        const QString log = codec::fromCp949(test::readBytes(app.filePath(u"261209_WinHttp.log"_s)));
        QCOMPARE(log.count(u"e)lib_misc->GetWinHttp[Erl:=3, Eno:="_s), 3);
        QCOMPARE(log.count(u"응답 전에 연결이 끊겼습니다."_s), 3);
        QCOMPARE(server.requests(), 3);
    }

    void answerThatDoesNotDecompress_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("reset"); // else the connection is held open
        const QByteArray gzip = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n4\r\nabcd\r\n0\r\n\r\n";
        const QByteArray deflate = "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\nnot deflated at all";
        QTest::newRow("gzip, reset") << gzip << true;
        QTest::newRow("gzip, held open") << gzip << false;
        QTest::newRow("deflate, reset") << deflate << true;
        QTest::newRow("deflate, held open") << deflate << false;
    }
    // A body that claims a compression it does not have, from a server that
    // answers before it has read the form and then resets the connection or
    // holds it: the attempt gives the body as it came or fails, never an empty
    // answer, and its reply reports one error at most (Qt warns of an internal
    // problem at a second one).
    void answerThatDoesNotDecompress()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, reset);
        const InternalProblems internalProblems;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, answer, reset] {
                if (!socket->readAll().contains("\r\n\r\n") || socket->property("answered").toBool())
                    return;
                socket->setProperty("answered", true);
                socket->write(answer);
                socket->flush();
                if (reset)
                    socket->abort();
            });
        });
        platform::HttpOptions o = options();
        o.stageLimitMs = 500;
        const platform::HttpResult r = platform::postForm(
            u"http://127.0.0.1:"_s + QString::number(server.serverPort()) + u"/x"_s, Body, o);
        // What the reply still had queued comes to nothing.
        QTest::qWait(100);
        QCOMPARE(internalProblems.count(), 0);
        if (r.responded)
            QCOMPARE(r.body, answer.mid(answer.indexOf("\r\n\r\n") + 4));
        else
            QVERIFY(!r.errorText.isEmpty());
    }

    // No redirect is followed: the form (ID and password) never goes to the other
    // address, and a 3xx is an answer like any other status, with its own text.
    void redirectsAreNotFollowed_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("301") << QByteArray("301 Moved Permanently");
        QTest::newRow("302") << QByteArray("302 Found");
        QTest::newRow("303") << QByteArray("303 See Other");
        QTest::newRow("307") << QByteArray("307 Temporary Redirect");
        QTest::newRow("308") << QByteArray("308 Permanent Redirect");
    }
    void redirectsAreNotFollowed()
    {
        QFETCH(QByteArray, status);
        test::TempAppFolder app;
        HostileServer elsewhere(
            HostileServer::response("HTTP/1.1 200 OK", "로그인 성공 storename[가짜]storename"));
        const QByteArray location = elsewhere.url(u"/steal.php"_s, u"localhost"_s).toLatin1();
        HostileServer server(
            HostileServer::response("HTTP/1.1 " + status, {}, "Location: " + location + "\r\n"));

        const platform::HttpResult r = platform::postForm(server.url(), Body, options());
        QVERIFY2(r.responded, qPrintable(r.errorText));
        QCOMPARE(r.status, status.left(3).toInt());
        QCOMPARE(r.body, QByteArray());

        QCOMPARE(GetWinHttp(server.url(), QString::fromLatin1(Body)), QString());
        QCOMPARE(server.requests(), 2);
        QCOMPARE(elsewhere.requests(), 0);
        const QString log = codec::fromCp949(test::readBytes(app.filePath(u"261209_WinHttp.log"_s)));
        QVERIFY2(log.contains(u"GetWinHttp ... <실패> ("_s + QString::fromLatin1(status.left(3)) + u"): "_s),
                 qPrintable(log));
    }

    // An answer is logged whole up to 1 MB; beyond, it is cut there and its length noted.
    void answerForLog_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << 10 << false;
        QTest::newRow("at the limit") << kLogAnswerLimit << false;
        QTest::newRow("one over") << kLogAnswerLimit + 1 << true;
        QTest::newRow("five megabytes") << 5 * 1024 * 1024 << true;
    }
    void answerForLog()
    {
        QFETCH(int, length);
        QFETCH(bool, cut);
        const QString answer = QString(length - 1, u'가') + u'끝';
        const QString logged = kavri::answerForLog(answer);
        if (!cut) {
            QCOMPARE(logged, answer);
            return;
        }
        QVERIFY(logged.startsWith(answer.left(kLogAnswerLimit)));
        QVERIFY(!logged.contains(u'끝'));
        QVERIFY2(logged.endsWith(u"(응답 "_s + QString::number(length) + u"자 중 앞 "_s +
                                 QString::number(kLogAnswerLimit) + u"자만 기록)"_s),
                 qPrintable(logged.right(80)));
    }
};

QTEST_GUILESS_MAIN(TstWinHttpHostile)
#include "tst_winhttp_hostile.moc"
