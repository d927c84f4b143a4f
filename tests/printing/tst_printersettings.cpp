#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "printing/PrinterSettings.h"
#include "services/Settings.h"
#include "support/FileBytes.h"
#include "support/PrintingTestEnvironment.h"
#include "support/TempAppFolder.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

using Lines = QList<QPair<QString, QString>>;

/// Writes Zarazo.cfg (CP949) with the given keys in section "프린터" and points CfgMain at it.
void writeConfig(const test::TempAppFolder &app, const Lines &keys)
{
    QString text = u"[Set]\r\ncalltime=10\r\n[프린터]\r\n"_s;
    for (const auto &[k, v] : keys)
        text += k + u"="_s + v + u"\r\n"_s;
    QVERIFY(test::writeBytes(app.filePath(u"Zarazo.cfg"_s), codec::toCp949(text)));
    CfgMain.setFileName(app.filePath(u"Zarazo.cfg"_s));
}

/// A record unlike every default, to see which fields a load replaced.
PrinterSettings junk()
{
    PrinterSettings s;
    s.이름 = {u"x0"_s, u"x1"_s, u"x2"_s};
    s.포트 = {7, 8, 9};
    s.통신속도 = {1, 2, 3};
    s.주문서_출력수 = 99;
    s.주문서_꼬리말_출력 = true;
    s.주문서_꼬리말_글자크기 = 99;
    s.주문서_꼬리말 = u"old"_s;
    s.주문서_주문내역_글자크기 = 99;
    s.주문서_메뉴가격표시 = true;
    s.주문서_중간커팅금지 = true;
    s.주문서_주문번호_글자크기 = 99;
    s.주문서_낱장출력 = true;
    s.선택된테이블 = u"old"_s;
    return s;
}

QByteArray mainLog(const test::TempAppFolder &app)
{
    return test::readBytes(app.filePath(u"260501.log"_s));
}

} // namespace

class TstPrinterSettings : public QObject
{
    Q_OBJECT
    std::optional<test::PrintingTestEnvironment> m_env;

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 5, 1), QTime(10, 0)));
        gPrinterSettings = junk();
    }
    void cleanup() { m_env.reset(); }

    void missingSectionLoadsDefaults()
    {
        test::TempAppFolder app;
        writeConfig(app, {});
        QVERIFY(test::writeBytes(app.filePath(u"Zarazo.cfg"_s), "[Set]\r\ncalltime=10\r\n"));
        QVERIFY(Load_프린터설정());
        QVERIFY(Load_선택된테이블설정());
        const PrinterSettings &s = gPrinterSettings;
        for (int n = 0; n < 3; ++n) {
            QCOMPARE(s.이름[n], QString());
            QCOMPARE(s.포트[n], 0);
            QCOMPARE(s.통신속도[n], 9600);
        }
        QCOMPARE(s.주문서_출력수, 1);
        QCOMPARE(s.주문서_꼬리말_출력, false);
        QCOMPARE(s.주문서_꼬리말_글자크기, 0);
        QCOMPARE(s.주문서_꼬리말, QString());
        QCOMPARE(s.주문서_주문내역_글자크기, 0);
        QCOMPARE(s.주문서_메뉴가격표시, false);
        QCOMPARE(s.주문서_중간커팅금지, false);
        QCOMPARE(s.주문서_주문번호_글자크기, 0);
        QCOMPARE(s.주문서_낱장출력, false);
        QCOMPARE(s.선택된테이블, u"전체"_s);
        QVERIFY(mainLog(app).isEmpty());
    }

    void storedValuesAndCorrections_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name") << u"이름1"_s << u"주방 프린터"_s << u"이름1"_s << u"주방 프린터"_s;
        QTest::newRow("port") << u"포트2"_s << u"4"_s << u"포트2"_s << u"4"_s;
        QTest::newRow("port blanks") << u"포트0"_s << u" 3 "_s << u"포트0"_s << u"3"_s;
        QTest::newRow("port half to even") << u"포트0"_s << u"2.5"_s << u"포트0"_s << u"2"_s;
        QTest::newRow("empty port counts as missing") << u"포트0"_s << QString() << u"포트0"_s << u"0"_s;
        QTest::newRow("speed 0") << u"통신속도0"_s << u"0"_s << u"통신속도0"_s << u"9600"_s;
        QTest::newRow("speed 1") << u"통신속도0"_s << u"1"_s << u"통신속도0"_s << u"19200"_s;
        QTest::newRow("speed 2") << u"통신속도2"_s << u"2"_s << u"통신속도2"_s << u"38400"_s;
        QTest::newRow("speed 3") << u"통신속도0"_s << u"3"_s << u"통신속도0"_s << u"57600"_s;
        QTest::newRow("speed 4") << u"통신속도0"_s << u"4"_s << u"통신속도0"_s << u"115200"_s;
        QTest::newRow("speed 7 is 9600") << u"통신속도1"_s << u"7"_s << u"통신속도1"_s << u"9600"_s;
        QTest::newRow("speed -1 is 9600") << u"통신속도1"_s << u"-1"_s << u"통신속도1"_s << u"9600"_s;
        QTest::newRow("copies 0") << u"주문서_출력수"_s << u"0"_s << u"주문서_출력수"_s << u"1"_s;
        QTest::newRow("copies 4") << u"주문서_출력수"_s << u"4"_s << u"주문서_출력수"_s << u"1"_s;
        QTest::newRow("copies 3") << u"주문서_출력수"_s << u"3"_s << u"주문서_출력수"_s << u"3"_s;
        QTest::newRow("footer size 3")
            << u"주문서_꼬리말_글자크기"_s << u"3"_s << u"주문서_꼬리말_글자크기"_s << u"0"_s;
        QTest::newRow("footer size -1")
            << u"주문서_꼬리말_글자크기"_s << u"-1"_s << u"주문서_꼬리말_글자크기"_s << u"0"_s;
        QTest::newRow("footer size 2")
            << u"주문서_꼬리말_글자크기"_s << u"2"_s << u"주문서_꼬리말_글자크기"_s << u"2"_s;
        QTest::newRow("memo size 1") << u"주문서_주문내역_글자크기"_s << u"1"_s
                                     << u"주문서_주문내역_글자크기"_s << u"1"_s;
        QTest::newRow("memo size 5") << u"주문서_주문내역_글자크기"_s << u"5"_s
                                     << u"주문서_주문내역_글자크기"_s << u"0"_s;
        QTest::newRow("time size 2") << u"주문서_주문번호_글자크기"_s << u"2"_s
                                     << u"주문서_주문번호_글자크기"_s << u"2"_s;
        QTest::newRow("flag True") << u"주문서_꼬리말_출력"_s << u"True"_s << u"주문서_꼬리말_출력"_s
                                   << u"1"_s;
        QTest::newRow("flag false") << u"주문서_꼬리말_출력"_s << u"false"_s << u"주문서_꼬리말_출력"_s
                                    << u"0"_s;
        QTest::newRow("flag -1") << u"주문서_낱장출력"_s << u"-1"_s << u"주문서_낱장출력"_s << u"1"_s;
        QTest::newRow("flag 0") << u"주문서_메뉴가격표시"_s << u"0"_s << u"주문서_메뉴가격표시"_s << u"0"_s;
        QTest::newRow("flag TRUE") << u"주문서_중간커팅금지"_s << u"TRUE"_s << u"주문서_중간커팅금지"_s
                                   << u"1"_s;
        QTest::newRow("footer two lines") << u"주문서_꼬리말"_s << u"!@#$%감사합니다!CrLf!또 오세요"_s
                                          << u"주문서_꼬리말"_s << u"감사합니다\r\n또 오세요"_s;
    }
    void storedValuesAndCorrections()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        test::TempAppFolder app;
        writeConfig(app, {{key, value}});
        QVERIFY(Load_프린터설정());
        const PrinterSettings &s = gPrinterSettings;
        const auto asText = [](qint64 v) { return QString::number(v); };
        const QMap<QString, QString> fields{
            {u"이름1"_s, s.이름[1]},
            {u"포트0"_s, asText(s.포트[0])},
            {u"포트2"_s, asText(s.포트[2])},
            {u"통신속도0"_s, asText(s.통신속도[0])},
            {u"통신속도1"_s, asText(s.통신속도[1])},
            {u"통신속도2"_s, asText(s.통신속도[2])},
            {u"주문서_출력수"_s, asText(s.주문서_출력수)},
            {u"주문서_꼬리말_글자크기"_s, asText(s.주문서_꼬리말_글자크기)},
            {u"주문서_주문내역_글자크기"_s, asText(s.주문서_주문내역_글자크기)},
            {u"주문서_주문번호_글자크기"_s, asText(s.주문서_주문번호_글자크기)},
            {u"주문서_꼬리말_출력"_s, asText(s.주문서_꼬리말_출력)},
            {u"주문서_낱장출력"_s, asText(s.주문서_낱장출력)},
            {u"주문서_메뉴가격표시"_s, asText(s.주문서_메뉴가격표시)},
            {u"주문서_중간커팅금지"_s, asText(s.주문서_중간커팅금지)},
            {u"주문서_꼬리말"_s, s.주문서_꼬리말},
        };
        QVERIFY2(fields.contains(field), qPrintable(field));
        QCOMPARE(fields.value(field), expected);
    }

    void footerStoredForm_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("footer");
        QTest::newRow("two lines") << u"!@#$%첫 줄!CrLf!둘째 줄"_s << u"첫 줄\r\n둘째 줄"_s;
        QTest::newRow("empty footer saved") << u"!@#$%"_s << QString();
        QTest::newRow("no prefix, by hand") << u"손으로!CrLf!쓴 것"_s << u"손으로\r\n쓴 것"_s;
        QTest::newRow("prefix only at start") << u"a!@#$%b"_s << u"a!@#$%b"_s;
        QTest::newRow("empty lines kept") << u"!@#$%a!CrLf!!CrLf!b"_s << u"a\r\n\r\nb"_s;
    }
    void footerStoredForm()
    {
        QFETCH(QString, stored);
        QFETCH(QString, footer);
        QCOMPARE(decodeFooter(stored), footer);
        // What the window writes back loads as the same footer.
        QCOMPARE(decodeFooter(encodeFooter(footer)), footer);
        if (stored.startsWith(u"!@#$%"_s))
            QCOMPARE(encodeFooter(footer), stored);
    }

    void typedBreakTokenComesBackAsBreak()
    {
        QCOMPARE(decodeFooter(encodeFooter(u"a!CrLf!b"_s)), u"a\r\nb"_s);
    }

    void nonNumberEndsTheLoad_data()
    {
        QTest::addColumn<Lines>("keys");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("key");
        // Slot 0's port is the 2nd read: its name is new, everything from the port on is old.
        QTest::newRow("port of slot 0")
            << Lines{{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"abc"_s}, {u"이름1"_s, u"b"_s}} << 2
            << u"포트0"_s;
        QTest::newRow("flag not a truth value")
            << Lines{{u"이름0"_s, u"카운터"_s}, {u"포트0"_s, u"3"_s}, {u"주문서_꼬리말_출력"_s, u"maybe"_s}}
            << 11 << u"주문서_꼬리말_출력"_s;
        QTest::newRow("number overflow") << Lines{{u"이름0"_s, u"카운터"_s},
                                                  {u"포트0"_s, u"3"_s},
                                                  {u"주문서_주문번호_글자크기"_s, u"99999999999"_s}}
                                         << 17 << u"주문서_주문번호_글자크기"_s;
    }
    void nonNumberEndsTheLoad()
    {
        QFETCH(Lines, keys);
        QFETCH(int, step);
        QFETCH(QString, key);
        test::TempAppFolder app;
        writeConfig(app, keys);
        const PrinterSettings before = gPrinterSettings;
        QVERIFY(!Load_프린터설정());
        const PrinterSettings &s = gPrinterSettings;
        QCOMPARE(s.이름[0], u"카운터"_s);
        if (key == u"포트0"_s) {
            QCOMPARE(s.포트[0], before.포트[0]);
            QCOMPARE(s.통신속도[0], before.통신속도[0]);
            QCOMPARE(s.이름[1], before.이름[1]);
        } else {
            QCOMPARE(s.포트[0], 3);
            QCOMPARE(s.이름[1], QString());
            QCOMPARE(s.주문서_출력수, 1);
        }
        // The failing field and all after it are untouched.
        QCOMPARE(s.주문서_낱장출력, before.주문서_낱장출력);
        QCOMPARE(s.주문서_주문번호_글자크기, before.주문서_주문번호_글자크기);
        const QString log = codec::fromCp949(mainLog(app));
        const QString head = u"]e)lib_misc->Load_프린터설정[Erl:="_s + QString::number(step) + u", Eno:="_s;
        QVERIFY2(log.contains(head), qPrintable(log));
        QVERIFY2(log.contains(u"\r\n   "_s) && log.contains(key), qPrintable(log));
    }

    void tableSelectionLoad_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing is all") << false << QString() << u"전체"_s;
        QTest::newRow("saved empty selects none") << true << QString() << QString();
        QTest::newRow("entries") << true << u"-[1]--[12]-"_s << u"-[1]--[12]-"_s;
    }
    void tableSelectionLoad()
    {
        QFETCH(bool, present);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        test::TempAppFolder app;
        writeConfig(app, present ? Lines{{u"선택된테이블"_s, stored}} : Lines{});
        const PrinterSettings before = gPrinterSettings;
        QVERIFY(Load_선택된테이블설정());
        QCOMPARE(gPrinterSettings.선택된테이블, expected);
        QCOMPARE(gPrinterSettings.이름, before.이름); // only the selection is loaded
    }

    void tableSelected_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("selected");
        QTest::newRow("all") << u"전체"_s << u"A3"_s << true;
        QTest::newRow("1 of 1,12") << u"-[1]--[12]-"_s << u"1"_s << true;
        QTest::newRow("12 of 1,12") << u"-[1]--[12]-"_s << u"12"_s << true;
        QTest::newRow("2 not in 1,12") << u"-[1]--[12]-"_s << u"2"_s << false;
        QTest::newRow("case matters") << u"-[A3]-"_s << u"a3"_s << false;
        QTest::newRow("empty selects none") << QString() << u"1"_s << false;
        QTest::newRow("all only exactly") << u"전체 "_s << u"1"_s << false;
        QTest::newRow("korean name") << u"-[창가 2]-"_s << u"창가 2"_s << true;
    }
    void tableSelected()
    {
        QFETCH(QString, selection);
        QFETCH(QString, table);
        QFETCH(bool, selected);
        QCOMPARE(IsTableSelected(selection, table), selected);
    }
};

QTEST_GUILESS_MAIN(TstPrinterSettings)
#include "tst_printersettings.moc"
