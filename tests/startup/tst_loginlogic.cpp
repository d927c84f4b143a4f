#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "services/ProcessValues.h"
#include "services/UserStore.h"
#include "services/WinHttp.h"
#include "startup/LoginLogic.h"
#include "support/FileBytes.h"
#include "support/HostileServer.h"
#include "support/ManualClock.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"

#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {
QString rec(const QStringList &fields)
{
    return fields.join(gSep);
}
} // namespace

class TstLoginLogic : public QObject
{
    Q_OBJECT
private slots:
    void parseRecord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << u"False◈False◈◈"_s << true;
        QTest::newRow("remembered") << u"True◈True◈shop1◈pass1"_s << true;
        QTest::newRow("five fields (remember off)") << u"False◈True◈◈◈"_s << false;
        QTest::newRow("three fields") << u"True◈True◈shop1"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("separator in the password") << u"True◈True◈s◈p◈q"_s << false;
    }
    void parseRecord()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto fields = login::parseRecord(text);
        QCOMPARE(fields.has_value(), valid);
        if (valid)
            QCOMPARE(fields->join(gSep), text);
    }

    void rememberedRecord_data()
    {
        QTest::addColumn<QString>("ours");
        QTest::addColumn<QString>("sibling");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing stored") << QString() << QString() << u"False◈False◈◈"_s;
        QTest::newRow("ours") << u"True◈False◈a◈b"_s << u"True◈True◈c◈d"_s << u"True◈False◈a◈b"_s;
        QTest::newRow("ours five fields, sibling")
            << u"False◈True◈◈◈"_s << u"True◈True◈c◈d"_s << u"True◈True◈c◈d"_s;
        QTest::newRow("both broken") << u"x"_s << u"y◈z"_s << u"False◈False◈◈"_s;
        QTest::newRow("only sibling") << QString() << u"True◈False◈c◈d"_s << u"True◈False◈c◈d"_s;
    }
    void rememberedRecord()
    {
        QFETCH(QString, ours);
        QFETCH(QString, sibling);
        QFETCH(QString, expected);
        test::TempAppFolder app;
        if (!ours.isEmpty())
            QVERIFY(userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, ours));
        if (!sibling.isEmpty())
            QVERIFY(userstore::set(u"fsPelno"_s, u"Login"_s, u"A"_s, sibling));
        QCOMPARE(login::rememberedRecord().join(gSep), expected);
        // Reading never writes the sibling's store.
        QCOMPARE(userstore::get(u"fsPelno"_s, u"Login"_s, u"A"_s), sibling);
    }

    void buildRecord_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<QString>("record");
        QTest::newRow("remember and auto")
            << true << true << rec({u"True"_s, u"True"_s, u"shop1"_s, u"p&w=1"_s});
        QTest::newRow("remember only")
            << true << false << rec({u"True"_s, u"False"_s, u"shop1"_s, u"p&w=1"_s});
        QTest::newRow("auto without remember: five fields") << false << true << u"False◈True◈◈◈"_s;
        QTest::newRow("neither") << false << false << u"False◈False◈◈◈"_s;
    }
    void buildRecord()
    {
        QFETCH(bool, remember);
        QFETCH(bool, autoLogin);
        QFETCH(QString, record);
        QCOMPARE(login::buildRecord(remember, autoLogin, u"shop1"_s, u"p&w=1"_s), record);
    }

    void savedRecordRoundTripsPrivately()
    {
        test::TempAppFolder app;
        const QString record = login::buildRecord(true, true, u"가게 1"_s, u"p◇ss w=rd"_s);
        QVERIFY(login::saveRecord(record));
        QCOMPARE(login::rememberedRecord(), QStringList({u"True"_s, u"True"_s, u"가게 1"_s, u"p◇ss w=rd"_s}));
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(userstore::filePath(u"fsVadn"_s)).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    }

    void normaliseAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("unchanged") << u"a\r\nb"_s << u"a\r\nb"_s;
        QTest::newRow("double LF") << u"a\n\nb"_s << u"a\nb"_s;
        QTest::newRow("CR LF pairs stay pairs") << u"a\r\n\r\nb"_s << u"a\r\n\r\nb"_s;
        QTest::newRow("run of CR") << u"a\r\r\r\r\r"_s << u"a\r"_s;
        QTest::newRow("2048 LF collapse") << u"a"_s + QString(2048, u'\n') + u"b"_s << u"a\nb"_s;
        QTest::newRow("4096 LF leave two") << u"a"_s + QString(4096, u'\n') + u"b"_s << u"a\n\nb"_s;
    }
    void normaliseAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(QString, normalised);
        QCOMPARE(login::normaliseAnswer(answer), normalised);
    }

    void blankAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("spaces") << u"   "_s << true;
        QTest::newRow("line break") << u"\r\n"_s << false;
        QTest::newRow("tab") << u"\t"_s << false;
        QTest::newRow("text") << u" 실패 "_s << false;
    }
    void blankAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(bool, blank);
        QCOMPARE(login::isBlankAnswer(answer), blank);
    }

    void attemptsCountFailures()
    {
        using V = login::LoginAttempts::Verdict;
        login::LoginAttempts attempts;
        QVERIFY(attempts.begin());
        QVERIFY(!attempts.begin()); // one login at a time
        QVERIFY(attempts.running());
        attempts.end();
        QCOMPARE(attempts.judge(u"로그인 실패"_s), V::Failure);
        QCOMPARE(attempts.judge(QString()), V::Failure);
        QCOMPARE(attempts.failCount(), 2);
        QCOMPARE(attempts.judge(u"성공"_s), V::Success);
        QCOMPARE(attempts.failCount(), 2);
        QCOMPARE(attempts.judge(u"x"_s), V::FinalFailure);
        QCOMPARE(attempts.failCount(), 3);
    }

    void successEstablishesLoginValues()
    {
        test::TempAppFolder app;
        gStoreName = u"이전 가게"_s;
        login::applySuccess(u"성공"_s, false, true, u"shop1"_s, u"pw"_s);
        QCOMPARE(gStoreName, u"이전 가게"_s); // no marker: keeps the previous name
        QCOMPARE(gLoginID, u"shop1"_s);
        QCOMPARE(gLoginPW, u"pw"_s);
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), u"False◈True◈◈◈"_s);
        login::applySuccess(u"성공 storename[ 새 가게 ]storename"_s, true, false, u"shop2"_s, u"pw2"_s);
        QCOMPARE(gStoreName, u" 새 가게 "_s);
        QCOMPARE(userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s), u"True◈False◈shop2◈pw2"_s);
        gStoreName.clear();
        gLoginID.clear();
        gLoginPW.clear();
    }

    // A blank secure answer is retried over plain HTTP unless the deployment says no.
    void plainFallbackSwitch_data()
    {
        QTest::addColumn<bool>("fallback");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void plainFallbackSwitch()
    {
        QFETCH(bool, fallback);
        test::TempAppFolder app;
        test::Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.setFault(u"blank"_s, 1));
        Deployment d;
        d.secureBase = sim.httpBase();
        d.plainBase = u"http://localhost:"_s + QString::number(sim.httpPort());
        d.plainFallback = fallback;
        const QString answer = login::loginExchange(u"shop1"_s, u"pass1"_s, d);
        QCOMPARE(sim.receivedLog().size(), fallback ? 2 : 1);
        QCOMPARE(gBaseURL, fallback ? d.plainBase : d.secureBase);
        QCOMPARE(answer.contains(u"성공"_s), fallback);
        gBaseURL.clear();
    }

    // A huge answer is logged cut at 1 MB, with its length noted.
    void hugeAnswerIsLoggedCut()
    {
        test::TempAppFolder app;
        platform::ManualClock clock;
        clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        platform::setClock(&clock);
        const QByteArray body = QByteArray(2 * 1024 * 1024, 'a') + "성공";
        test::HostileServer server(test::HostileServer::response("HTTP/1.1 200 OK", body));
        gBaseURL = server.url(QString());
        const QString answer = login::exchange(u"shop1"_s, u"pass1"_s);
        QVERIFY(answer.endsWith(u"성공"_s));
        platform::setClock(nullptr);
        const QByteArray log = test::readBytes(app.filePath(u"261209_WinHttp.log"_s));
        QVERIFY2(log.size() > kLogAnswerLimit && log.size() < kLogAnswerLimit + 1000,
                 qPrintable(QString::number(log.size())));
        QVERIFY(log.contains(codec::toCp949(u"(응답 "_s + QString::number(answer.size()) + u"자 중 앞 "_s)));
        gBaseURL.clear();
    }
};

QTEST_GUILESS_MAIN(TstLoginLogic)
#include "tst_loginlogic.moc"
