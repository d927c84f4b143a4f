#include "SimAnswers.h"

#include "codec/TnvDecode.h"
#include "support/Simulator.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri::test;

namespace {

const QStringList memoTags{u"memonum"_s,    u"memoqr"_s,     u"memotablegroupname"_s, u"memotablename"_s,
                           u"memoYN"_s,     u"memophonet"_s, u"regdatememo"_s,        u"memotext"_s,
                           u"ordercount"_s, u"paytype1"_s};

QByteArray credentials(const QString &extra = {})
{
    return (u"ID="_s + Simulator::shopId + u"&PassWord="_s + Simulator::shopPassword + extra).toUtf8();
}

} // namespace

class TstSimService : public QObject
{
    Q_OBJECT

    QString list(Simulator &sim, const QByteArray &body = credentials(u"&checked=Y"_s))
    {
        return sim.post(sim.httpBase() + u"/program/qrtablememolistloading.php"_s, body).text();
    }

    QStringList listedNumbers(Simulator &sim)
    {
        QStringList numbers;
        for (const QString &r : records(list(sim), u"<memochecks>"_s))
            numbers.append(memoField(r, u"memonum"_s));
        return numbers;
    }

private slots:
    void login_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("storeName");
        QTest::newRow("right") << credentials() << true << Simulator::shopName;
        QTest::newRow("wrong password") << "ID=shop1&PassWord=pass2"_ba << false << QString();
        QTest::newRow("password differs in case") << "ID=shop1&PassWord=PASS1"_ba << false << QString();
        QTest::newRow("unknown id") << "ID=nobody&PassWord=pass1"_ba << false << QString();
        QTest::newRow("empty body") << QByteArray() << false << QString();
        QTest::newRow("no password field") << "ID=shop1"_ba << false << QString();
        // The program inserts values unescaped: an '&' in a password splits the field.
        QTest::newRow("raw ampersand splits") << "ID=한글가게&PassWord=a&b c"_ba << false << QString();
        QTest::newRow("escaped ampersand")
            << "ID=%ED%95%9C%EA%B8%80%EA%B0%80%EA%B2%8C&PassWord=a%26b+c"_ba << true << u"한글 [가게]"_s;
        QTest::newRow("raw utf-8 id, plus as space")
            << "ID=한글가게&PassWord=a%26b+c"_ba << true << u"한글 [가게]"_s;
    }
    void login()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, success);
        QFETCH(QString, storeName);
        Simulator sim(Simulator::defaultArgs() << u"--shop"_s << u"한글가게:a&b c:한글 [가게]"_s);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const SimReply r = sim.post(sim.httpBase() + u"/program/logins.php"_s, body);
        QCOMPARE(r.status, 200);
        QVERIFY(!r.body.isEmpty());
        QCOMPARE(r.text().contains(u"성공"_s), success);
        QCOMPARE(fieldValue(r.text(), u"storename["_s, u"]storename"_s), storeName);
    }

    void requestListGrammar()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const qint64 first =
            sim.addRequest(Simulator::shopId, u"1"_s, u"물 주세요"_s, u"card"_s, u"2024-03-05 09:07:01"_s);
        const qint64 second =
            sim.addRequest(Simulator::shopId, u"10"_s, u"수저"_s, u"CASH"_s, u"2024-03-05 21:30:59"_s);
        const qint64 third = sim.addRequest(Simulator::shopId, u"자리없음"_s, u"계산서"_s);
        QVERIFY(first > 0 && second > first && third > second);

        const QString answer = list(sim);
        const QStringList recs = records(answer, u"<memochecks>"_s);
        QCOMPARE(recs.size(), 3);
        for (const QString &rec : recs) {
            qsizetype previous = -1;
            for (const QString &tag : memoTags) {
                // every tag once, opened and closed, in the documented order
                QCOMPARE(rec.count(u'<' + tag + u'>'), 1);
                QCOMPARE(rec.count(u"</"_s + tag + u'>'), 1);
                const qsizetype at = rec.indexOf(u'<' + tag + u'>');
                QVERIFY2(at > previous, qPrintable(tag));
                previous = at;
            }
            QCOMPARE(memoField(rec, u"memoYN"_s), u"N"_s);
            QCOMPARE(memoField(rec, u"ordercount"_s), u"1"_s);
        }
        QCOMPARE(memoField(recs[0], u"memonum"_s), QString::number(third));
        QCOMPARE(memoField(recs[1], u"memonum"_s), QString::number(second));
        QCOMPARE(memoField(recs[2], u"memonum"_s), QString::number(first));

        QCOMPARE(memoField(recs[1], u"memotablename"_s), u"10"_s);
        QCOMPARE(memoField(recs[1], u"memotablegroupname"_s), u"창가"_s);
        QCOMPARE(memoField(recs[1], u"regdatememo"_s), u"2024-03-05 21:30:59"_s);
        QCOMPARE(memoField(recs[1], u"memotext"_s), u"수저"_s);
        QCOMPARE(memoField(recs[1], u"paytype1"_s), u"CASH"_s);
        QCOMPARE(memoField(recs[2], u"paytype1"_s), u"card"_s);
        QCOMPARE(memoField(recs[2], u"memotablegroupname"_s), u"1층"_s);
        // a table outside the shop's table list has no group
        QCOMPARE(memoField(recs[0], u"memotablegroupname"_s), QString());
        QCOMPARE(memoField(recs[0], u"paytype1"_s), QString());

        // without a given time the request gets the current local time, to the second
        const QDateTime stamped =
            QDateTime::fromString(memoField(recs[0], u"regdatememo"_s), u"yyyy-MM-dd hh:mm:ss"_s);
        QVERIFY(stamped.isValid());
        QVERIFY(qAbs(stamped.secsTo(QDateTime::currentDateTime())) < 120);
    }

    void requestListOnlyForTheShop()
    {
        Simulator sim(Simulator::defaultArgs() << u"--shop"_s << u"other:pw:다른 가게"_s);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const qint64 mine = sim.addRequest(Simulator::shopId, u"1"_s, u"a"_s);
        QVERIFY(sim.addRequest(u"other"_s, u"1"_s, u"b"_s) > mine);
        QCOMPARE(listedNumbers(sim), QStringList{QString::number(mine)});

        const QString rejected = list(sim, "ID=shop1&PassWord=wrong&checked=Y"_ba);
        QVERIFY(!rejected.isEmpty());
        QVERIFY(!rejected.contains(u"<memochecks>"_s));
        QVERIFY(!rejected.contains(u"성공"_s));
    }

    void emptyList()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const SimReply r =
            sim.post(sim.httpBase() + u"/program/qrtablememolistloading.php"_s, credentials(u"&checked=Y"_s));
        QCOMPARE(r.status, 200);
        // As the real service answers a shop with no open request: nothing at all.
        QCOMPARE(r.text(), QString());
    }

    void escapes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("plain") << u"물 좀 더 주세요!"_s << u"물 좀 더 주세요!"_s << u"물 좀 더 주세요!"_s;
        QTest::newRow("plus") << u"김치+밥"_s << u"김치ccdd!!밥"_s << u"김치+밥"_s;
        QTest::newRow("plus before bang") << u"+!"_s << u"ccdd!!!"_s << u"+!"_s;
        QTest::newRow("percent") << u"50%"_s << u"50ddee!!"_s << u"50%"_s;
        QTest::newRow("ampersand") << u"A&B"_s << u"A!123!B"_s << u"A＆B"_s;
        QTest::newRow("quote") << u"\"매운\" 맛"_s << u"!특문3!매운!특문3! 맛"_s << u"\"매운\" 맛"_s;
        QTest::newRow("lf") << u"하나\n둘"_s << u"하나!줄바꿈!둘"_s << u"하나\r\n둘"_s;
        QTest::newRow("crlf is one break") << u"하나\r\n둘"_s << u"하나!줄바꿈!둘"_s << u"하나\r\n둘"_s;
        QTest::newRow("cr") << u"하나\r둘"_s << u"하나!줄바꿈!둘"_s << u"하나\r\n둘"_s;
        QTest::newRow("two breaks") << u"a\n\nb"_s << u"a!줄바꿈!!줄바꿈!b"_s << u"a\r\n\r\nb"_s;
        // typed markup must not close the record's tag early
        QTest::newRow("closing tag typed") << u"</memotext>x"_s << u"＜/memotext＞x"_s << u"＜/memotext＞x"_s;
        QTest::newRow("all at once") << u"1+1=2 & 100%\n\"끝\""_s
                                     << u"1ccdd!!1=2 !123! 100ddee!!!줄바꿈!!특문3!끝!특문3!"_s
                                     << u"1+1=2 ＆ 100%\r\n\"끝\""_s;
    }
    void escapes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QFETCH(QString, decoded);
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QVERIFY(sim.addRequest(Simulator::shopId, u"1"_s, typed) > 0);
        const QStringList recs = records(list(sim), u"<memochecks>"_s);
        QCOMPARE(recs.size(), 1);
        QCOMPARE(memoField(recs[0], u"memotext"_s), sent);
        QCOMPARE(kavri::TnvDecodeAA(memoField(recs[0], u"memotext"_s)), decoded);
    }

    void confirm_data()
    {
        QTest::addColumn<QString>("numt"); // "#" stands for the request's number
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("success");
        QTest::newRow("own request") << u"#"_s << Simulator::shopPassword << true;
        QTest::newRow("unknown number") << u"999999"_s << Simulator::shopPassword << false;
        QTest::newRow("other shop's request") << u"other"_s << Simulator::shopPassword << false;
        QTest::newRow("number with junk") << u"#x"_s << Simulator::shopPassword << false;
        QTest::newRow("negative") << u"-#"_s << Simulator::shopPassword << false;
        QTest::newRow("empty") << QString() << Simulator::shopPassword << false;
        QTest::newRow("wrong password") << u"#"_s << u"nope"_s << false;
    }
    void confirm()
    {
        QFETCH(QString, numt);
        QFETCH(QString, password);
        QFETCH(bool, success);
        Simulator sim(Simulator::defaultArgs() << u"--shop"_s << u"other:pw:다른 가게"_s);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const qint64 number = sim.addRequest(Simulator::shopId, u"1"_s, u"물"_s);
        const qint64 otherNumber = sim.addRequest(u"other"_s, u"1"_s, u"물"_s);
        QVERIFY(number > 0 && otherNumber > 0);
        numt.replace(u"other"_s, QString::number(otherNumber)).replace(u"#"_s, QString::number(number));

        const QByteArray body = (u"ID=shop1&PassWord="_s + password + u"&numt="_s + numt).toUtf8();
        const SimReply r = sim.post(sim.httpBase() + u"/program/qrtablememoOK.php"_s, body);
        QCOMPARE(r.status, 200);
        QVERIFY(!r.body.isEmpty());
        QCOMPARE(r.text().contains(u"성공"_s), success);
        QCOMPARE(listedNumbers(sim).isEmpty(), success);
        // the other shop's request is never touched from this login
        QCOMPARE(records(sim.post(sim.httpBase() + u"/program/qrtablememolistloading.php"_s,
                                  "ID=other&PassWord=pw&checked=Y"_ba)
                             .text(),
                         u"<memochecks>"_s)
                     .size(),
                 1);
    }

    void confirmTwiceStaysConfirmed()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const qint64 keep = sim.addRequest(Simulator::shopId, u"2"_s, u"남김"_s);
        const qint64 number = sim.addRequest(Simulator::shopId, u"1"_s, u"물"_s);
        const QByteArray body = credentials(u"&numt="_s + QString::number(number));
        for (int i = 0; i < 2; ++i) {
            const SimReply r = sim.post(sim.httpBase() + u"/program/qrtablememoOK.php"_s, body);
            QVERIFY(r.text().contains(u"성공"_s));
        }
        QCOMPARE(listedNumbers(sim), QStringList{QString::number(keep)});
    }

    void tableListGrammar()
    {
        Simulator sim({u"--shop"_s, u"t:pw:가게"_s, u"--tables"_s, u"t:1층/3,창가/10,/N/N,바[1]/]x,단독"_s});
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString answer =
            sim.post(sim.httpBase() + u"/program/qrtableloading.php"_s, "ID=t&PassWord=pw"_ba).text();
        const QStringList recs = records(answer, u"nums["_s);
        QCOMPARE(recs.size(), 5);
        struct Expected
        {
            const char16_t *nums, *yn, *group, *name;
        };
        const Expected expected[] = {{u"1", u"Y", u"1층", u"3"},
                                     {u"2", u"Y", u"창가", u"10"},
                                     {u"3", u"N", u"", u"N"},
                                     {u"4", u"Y", u"바［1］", u"］x"},
                                     {u"5", u"Y", u"", u"단독"}};
        for (int i = 0; i < 5; ++i) {
            const QString rec = u"nums["_s + recs[i];
            QCOMPARE(tableField(rec, u"nums"_s), QString::fromUtf16(expected[i].nums));
            QCOMPARE(tableField(rec, u"tableYN"_s), QString::fromUtf16(expected[i].yn));
            QCOMPARE(tableField(rec, u"tableqroup"_s), QString::fromUtf16(expected[i].group));
            QCOMPARE(tableField(rec, u"tablenum"_s), QString::fromUtf16(expected[i].name));
            QVERIFY(!tableField(rec, u"tableqr"_s).isEmpty());
        }

        const QString rejected =
            sim.post(sim.httpBase() + u"/program/qrtableloading.php"_s, "ID=t&PassWord=PW"_ba).text();
        QVERIFY(!rejected.isEmpty());
        QVERIFY(!rejected.contains(u"nums["_s));
    }

    void numbersGrowAcrossShops()
    {
        Simulator sim(Simulator::defaultArgs() << u"--shop"_s << u"other:pw:다른 가게"_s);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        qint64 previous = 0;
        for (int i = 0; i < 6; ++i) {
            const qint64 n = sim.addRequest(i % 2 ? u"other"_s : Simulator::shopId, u"1"_s, u"x"_s);
            QVERIFY2(n > previous, qPrintable(QString::number(n)));
            previous = n;
        }
    }

    void addRequestRejectsBadInput_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("regDate");
        QTest::newRow("unknown shop") << u"nobody"_s << u"1"_s << QString();
        QTest::newRow("no table") << Simulator::shopId << QString() << QString();
        QTest::newRow("date without seconds") << Simulator::shopId << u"1"_s << u"2024-03-05 09:07"_s;
        QTest::newRow("impossible date") << Simulator::shopId << u"1"_s << u"2024-02-30 09:07:00"_s;
        QTest::newRow("12-hour clock") << Simulator::shopId << u"1"_s << u"2024-03-05 9:07:00 PM"_s;
    }
    void addRequestRejectsBadInput()
    {
        QFETCH(QString, shop);
        QFETCH(QString, table);
        QFETCH(QString, regDate);
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        QCOMPARE(sim.addRequest(shop, table, u"x"_s, {}, regDate), -1);
        QVERIFY(listedNumbers(sim).isEmpty());
    }

    void receivedLog()
    {
        Simulator sim;
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        sim.post(sim.httpBase() + u"/program/logins.php"_s, credentials());
        const QSslConfiguration trusting = sim.trustingConfiguration();
        sim.post(sim.httpsBase() + u"/program/qrtablememoOK.php?x=1"_s, "ID=a&PassWord=b\r\nc\\d&numt=7"_ba,
                 10000, &trusting);
        sim.addRequest(Simulator::shopId, u"1"_s, u"not logged"_s);

        const QList<ReceivedRequest> log = sim.receivedLog();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].scheme, u"http"_s);
        QCOMPARE(log[0].method, u"POST"_s);
        QCOMPARE(log[0].target, u"/program/logins.php"_s);
        QCOMPARE(log[0].body, credentials());
        QCOMPARE(log[1].scheme, u"https"_s);
        QCOMPARE(log[1].target, u"/program/qrtablememoOK.php?x=1"_s);
        QCOMPARE(log[1].body, "ID=a&PassWord=b\r\nc\\d&numt=7"_ba);

        QVERIFY(sim.clearLog());
        QVERIFY(sim.receivedLog().isEmpty());
    }

    void customerPage()
    {
        Simulator sim({u"--shop"_s, u"c:pw:<b>가게</b>"_s, u"--tables"_s, u"c:홀/창가석,홀/닫힘/N"_s});
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString url =
            sim.httpBase() + u"/qr/c/"_s + QString::fromUtf8(QUrl::toPercentEncoding(u"창가석"_s));
        const SimReply page = sim.get(url);
        QCOMPARE(page.status, 200);
        QVERIFY(page.text().contains(u"요청사항"_s));
        QVERIFY(page.text().contains(u"name=\"text\""_s));
        QVERIFY(page.text().contains(u"<form method=\"post\""_s));
        QVERIFY(page.text().contains(u"&lt;b&gt;가게&lt;/b&gt;"_s));
        QVERIFY(!page.text().contains(u"<b>가게"_s));

        const SimReply sent = sim.post(url, Simulator::form({{u"text"_s, u"물 좀 더 주세요!\r\n빨리+"_s}}));
        QCOMPARE(sent.status, 200);
        QVERIFY(sent.text().contains(u"전달되었습니다"_s));
        const SimReply empty = sim.post(url, Simulator::form({{u"text"_s, u"   "_s}}));
        QVERIFY(empty.text().contains(u"요청사항을 입력해 주세요."_s));
        const SimReply tooLong = sim.post(url, Simulator::form({{u"text"_s, QString(501, u'가')}}));
        QVERIFY(tooLong.text().contains(u"너무 깁니다"_s));

        const QStringList recs = records(sim.post(sim.httpBase() + u"/program/qrtablememolistloading.php"_s,
                                                  "ID=c&PassWord=pw&checked=Y"_ba)
                                             .text(),
                                         u"<memochecks>"_s);
        QCOMPARE(recs.size(), 1);
        QCOMPARE(memoField(recs[0], u"memotablename"_s), u"창가석"_s);
        QCOMPARE(memoField(recs[0], u"memotablegroupname"_s), u"홀"_s);
        QCOMPARE(memoField(recs[0], u"memotext"_s), u"물 좀 더 주세요!!줄바꿈!빨리ccdd!!"_s);

        for (const QString &path : {u"/qr/nobody/1"_s, u"/qr/c/없는자리"_s, u"/qr/c/닫힘"_s, u"/qr/c"_s})
            QCOMPARE(sim.get(sim.httpBase() + path).status, 404);
    }

    void stateSurvivesRestart()
    {
        QTemporaryDir dir;
        const QStringList args = Simulator::defaultArgs() << u"--state"_s << dir.filePath(u"state.json"_s);
        qint64 open = 0;
        qint64 done = 0;
        {
            Simulator sim(args);
            QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
            open = sim.addRequest(Simulator::shopId, u"1"_s, u"남은 요청"_s, u"card"_s,
                                  u"2024-01-02 03:04:05"_s);
            done = sim.addRequest(Simulator::shopId, u"2"_s, u"끝난 요청"_s);
            QVERIFY(sim.post(sim.httpBase() + u"/program/qrtablememoOK.php"_s,
                             credentials(u"&numt="_s + QString::number(done)))
                        .text()
                        .contains(u"성공"_s));
        }
        Simulator sim(args);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QStringList recs = records(list(sim), u"<memochecks>"_s);
        QCOMPARE(recs.size(), 1);
        QCOMPARE(memoField(recs[0], u"memonum"_s), QString::number(open));
        QCOMPARE(memoField(recs[0], u"regdatememo"_s), u"2024-01-02 03:04:05"_s);
        QCOMPARE(memoField(recs[0], u"paytype1"_s), u"card"_s);
        QVERIFY(sim.addRequest(Simulator::shopId, u"1"_s, u"x"_s) > done);
    }

    void demoShop()
    {
        Simulator sim({u"--demo"_s});
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        const QString login =
            sim.post(sim.httpBase() + u"/program/logins.php"_s, "ID=demo&PassWord=1234"_ba).text();
        QVERIFY(login.contains(u"성공"_s));
        QCOMPARE(fieldValue(login, u"storename["_s, u"]storename"_s), u"카브리 데모점"_s);
        const QString tables =
            sim.post(sim.httpBase() + u"/program/qrtableloading.php"_s, "ID=demo&PassWord=1234"_ba).text();
        QCOMPARE(records(tables, u"nums["_s).size(), 11);
        QVERIFY(!records(sim.post(sim.httpBase() + u"/program/qrtablememolistloading.php"_s,
                                  "ID=demo&PassWord=1234&checked=Y"_ba)
                             .text(),
                         u"<memochecks>"_s)
                     .isEmpty());
        QCOMPARE(sim.get(sim.httpBase() + u"/qr/demo/A1"_s).status, 200);
        QCOMPARE(sim.get(sim.httpBase() + u"/qr/demo/B5"_s).status, 200); // scripts/demo sends from B5
    }
};

QTEST_GUILESS_MAIN(TstSimService)
#include "tst_sim_service.moc"
