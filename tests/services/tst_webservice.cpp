#include "codec/Cp949.h"
#include "platform/HttpTransport.h"
#include "services/ProcessValues.h"
#include "services/ServiceAnswers.h"
#include "services/WebService.h"

#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstWebService : public QObject
{
    Q_OBJECT
private slots:
    void loginBody_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("body");
        // Plain letters and digits: byte for byte the service's documented form.
        QTest::newRow("plain") << u"shop1"_s << u"pass1"_s << u"ID=shop1&PassWord=pass1"_s;
        QTest::newRow("empty") << QString() << QString() << u"ID=&PassWord="_s;
        QTest::newRow("ampersand and equals") << u"a&b"_s << u"x=y"_s << u"ID=a%26b&PassWord=x%3Dy"_s;
        QTest::newRow("plus, percent, space") << u"a+b"_s << u"5% off"_s << u"ID=a%2Bb&PassWord=5%25+off"_s;
        QTest::newRow("korean as UTF-8")
            << u"가게"_s << u"비번"_s << u"ID=%EA%B0%80%EA%B2%8C&PassWord=%EB%B9%84%EB%B2%88"_s;
        QTest::newRow("unreserved stay") << u"a-b.c_d~e"_s << u"Z9"_s << u"ID=a-b.c_d~e&PassWord=Z9"_s;
    }
    void loginBody()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QString, body);
        QCOMPARE(web::loginBody(id, password), body);
        QCOMPARE(web::tableListBody(id, password), body);
        QCOMPARE(web::requestListBody(id, password), body + u"&checked=Y"_s);
        QCOMPARE(web::confirmBody(id, password, u"1234"_s), body + u"&numt=1234"_s);
    }

    void endpointFollowsBaseAddress()
    {
        const QString saved = gBaseURL;
        gBaseURL = u"http://127.0.0.1:18080"_s;
        QCOMPARE(web::endpoint(web::LoginPath), u"http://127.0.0.1:18080/program/logins.php"_s);
        QCOMPARE(web::endpoint(web::RequestListPath),
                 u"http://127.0.0.1:18080/program/qrtablememolistloading.php"_s);
        QCOMPARE(web::endpoint(web::ConfirmPath), u"http://127.0.0.1:18080/program/qrtablememoOK.php"_s);
        QCOMPARE(web::endpoint(web::TableListPath), u"http://127.0.0.1:18080/program/qrtableloading.php"_s);
        gBaseURL = saved;
    }

    void maskPassword_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("masked");
        QTest::newRow("body") << u"ID=shop1&PassWord=pass1"_s << u"ID=shop1&PassWord=****"_s;
        QTest::newRow("body with more fields")
            << u"ID=s&PassWord=p&checked=Y"_s << u"ID=s&PassWord=****&checked=Y"_s;
        QTest::newRow("address and body") << u"https://h/program/logins.php?ID=s&PassWord=%26%3D"_s
                                          << u"https://h/program/logins.php?ID=s&PassWord=****"_s;
        QTest::newRow("password first") << u"PassWord=abc&ID=s"_s << u"PassWord=****&ID=s"_s;
        QTest::newRow("empty password") << u"ID=s&PassWord="_s << u"ID=s&PassWord=****"_s;
        QTest::newRow("no password field") << u"ID=s&numt=3"_s << u"ID=s&numt=3"_s;
        // A key that merely ends in the name is another field.
        QTest::newRow("longer key") << u"ID=s&OldPassWord=x"_s << u"ID=s&OldPassWord=x"_s;
        // A value runs to the next "&": a line break does not end it.
        QTest::newRow("two bodies") << u"a?ID=1&PassWord=x\r\nb?ID=2&PassWord=y"_s
                                    << u"a?ID=1&PassWord=****&PassWord=****"_s;
    }
    void maskPassword()
    {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QCOMPARE(web::maskPassword(text), masked);
    }

    void storeName_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("name");
        QTest::newRow("between markers")
            << u"로그인 성공<br>\nstorename[카브리 본점]storename"_s << true << u"카브리 본점"_s;
        QTest::newRow("blanks kept") << u"성공 storename[  가게  ]storename"_s << true << u"  가게  "_s;
        QTest::newRow("first of two") << u"storename[A]storename storename[B]storename"_s << true << u"A"_s;
        QTest::newRow("no closing marker, next opening") << u"storename[A storename[B"_s << true << u"A "_s;
        QTest::newRow("no closing marker, end") << u"성공storename[끝까지"_s << true << u"끝까지"_s;
        QTest::newRow("empty name") << u"storename[]storename"_s << true << QString();
        QTest::newRow("no marker") << u"성공"_s << false << QString();
        QTest::newRow("closing before opening") << u"]storename x storename[N]storename"_s << true << u"N"_s;
    }
    void storeName()
    {
        QFETCH(QString, answer);
        QFETCH(bool, found);
        QFETCH(QString, name);
        const auto got = web::storeNameIn(answer);
        QCOMPARE(got.has_value(), found);
        if (found)
            QCOMPARE(*got, name);
    }

    void successMarker_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("success");
        QTest::newRow("alone") << u"성공"_s << true;
        QTest::newRow("inside other text") << u"<p>로그인성공했음</p>"_s << true;
        QTest::newRow("failure text") << u"로그인 실패"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void successMarker()
    {
        QFETCH(QString, answer);
        QFETCH(bool, success);
        QCOMPARE(web::hasSuccessMarker(answer), success);
    }

    void responseDecoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        const QString korean = u"로그인 성공 storename[가게]storename"_s;
        QTest::newRow("declared utf-8")
            << korean.toUtf8() << QByteArray("text/html; charset=utf-8") << korean;
        QTest::newRow("declared euc-kr")
            << codec::toCp949(korean) << QByteArray("text/html; charset=EUC-KR") << korean;
        QTest::newRow("quoted cp949")
            << codec::toCp949(korean) << QByteArray("text/html; charset=\"cp949\"") << korean;
        QTest::newRow("undeclared utf-8") << korean.toUtf8() << QByteArray("text/html") << korean;
        QTest::newRow("undeclared cp949") << codec::toCp949(korean) << QByteArray() << korean;
        QTest::newRow("latin-1") << QByteArray("caf\xe9") << QByteArray("text/plain; charset=iso-8859-1")
                                 << u"café"_s;
    }
    void responseDecoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(platform::decodeResponseBody(body, contentType), text);
    }

    // A long body decoded in slices, with events between, gives the text the whole
    // body gives: sequences cut at every slice boundary, a bad byte anywhere, a
    // sequence cut at the very end, a declared character set.
    void slicedDecoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<int>("slices");
        // Three-byte Hangul after one ASCII byte: every slice boundary cuts a sequence.
        QByteArray hangul = "a";
        while (hangul.size() < 3 * platform::DecodeSliceBytes + 5)
            hangul += u"물좀"_s.toUtf8();
        QTest::newRow("cut sequences") << hangul << QByteArray("text/html") << 4;
        QTest::newRow("declared utf-8") << hangul << QByteArray("text/html; charset=utf-8") << 4;
        QByteArray bad = hangul;
        bad[2 * platform::DecodeSliceBytes + 7] = char(0xFF);
        // Not UTF-8: the code page, in slices too (its two-byte characters cut by them).
        QTest::newRow("bad byte: code page") << bad << QByteArray("text/html") << 4;
        // Declared UTF-8 that is not: read whole, one call.
        QTest::newRow("bad byte, declared utf-8") << bad << QByteArray("text/html; charset=utf-8") << 1;
        QByteArray cutEnd = hangul;
        cutEnd.chop(1);
        // The code page's lead byte cut off by the end comes as a piece of its own.
        QTest::newRow("cut at the end") << cutEnd << QByteArray("text/html") << 5;
        QTest::newRow("short body") << u"물 좀"_s.toUtf8() << QByteArray("text/html") << 0;
        QTest::newRow("declared cp949")
            << codec::toCp949(QString(600000, u'물')) << QByteArray("text/html; charset=cp949") << 2;
        QByteArray oddCp949 = "a" + codec::toCp949(QString(600000, u'물'));
        QTest::newRow("cp949 cut in a character") << oddCp949 << QByteArray("text/html; charset=euc-kr") << 2;
        // A surrogate pair cut by a slice boundary, in a character set Qt decodes.
        QString emoji = u"a"_s;
        while (emoji.size() < 600000)
            emoji += u"😀"_s;
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        QTest::newRow("declared utf-16")
            << QByteArray(utf16.encode(emoji)) << QByteArray("text/html; charset=utf-16le") << 2;
    }
    void slicedDecoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(int, slices);
        int between = 0;
        const QString sliced = platform::decodeResponseBody(body, contentType, [&between] { ++between; });
        QCOMPARE(sliced, platform::decodeResponseBody(body, contentType));
        QCOMPARE(between, slices);
    }
};

QTEST_GUILESS_MAIN(TstWebService)
#include "tst_webservice.moc"
