#include "codec/Cp949.h"
#include "platform/PrinterLine.h"
#include "printing/PrinterCommands.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/TableList.h"
#include "services/IniFile.h"
#include "support/FileBytes.h"
#include "support/PtyPair.h"
#include "support/RecordText.h"
#include "support/Simulator.h"
#include "support/TempAppFolder.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::web;

class TstTableList : public QObject
{
    Q_OBJECT
private slots:
    void manyRecordsAreBounded()
    {
        QString answer;
        for (int i = 0; i < kMaxTables + 10; ++i)
            answer += test::tableRecord(QString::number(i), u"Y"_s, u"A"_s, QString::number(i));
        const TableList list = parseTableList(answer);
        QCOMPARE(list.tables.size(), kMaxTables);
        QVERIFY(list.cut);
        QVERIFY(list.anyRecord);
        QCOMPARE(tableCountText(list.tables.size(), 0, list.cut),
                 u"만들어진 좌석  -  총 5,000개  (최대 5,000개까지만 표시)"_s);
        // Exactly at the cap nothing is cut.
        QString exact;
        for (int i = 0; i < kMaxTables; ++i)
            exact += test::tableRecord(QString::number(i), u"Y"_s, u"A"_s, QString::number(i));
        QVERIFY(!parseTableList(exact).cut);
        // An answer without any record is no list at all; one with only tables not in use is.
        QVERIFY(!parseTableList(QString()).anyRecord);
        QVERIFY(!parseTableList(u"<html>500</html>"_s).anyRecord);
        QVERIFY(parseTableList(test::tableRecord(u"1"_s, u"N"_s, u"A"_s, u"1"_s)).anyRecord);
    }

    // A canned list stands for the whole exchange: nothing goes to the network
    // or the log. Without one, the list comes from the service.
    void fetchFromCannedListOrService()
    {
        test::TestEnvironment env;
        TableList canned;
        canned.tables.append({u"7"_s, u"Y"_s, {}, u"창가"_s, u"7"_s});
        canned.anyRecord = true;
        QStringList asked;
        setTableListSource([&](const QString &id, const QString &password) {
            asked << id << password;
            return canned;
        });
        const TableList fromCanned = fetchTableList(u"shop1"_s, u"pass1"_s);
        setTableListSource({});
        QCOMPARE(test::listedTables(fromCanned), QStringList{u"7/창가/7"_s});
        QCOMPARE(asked, (QStringList{u"shop1"_s, u"pass1"_s}));
        QVERIFY(QDir(env.app().path()).entryList(QDir::Files).isEmpty());

        test::Simulator sim(QStringList{
            u"--shop"_s, test::Simulator::shopId + u':' + test::Simulator::shopPassword + u":테스트"_s,
            u"--tables"_s, test::Simulator::shopId + u":1층/2,창가/10"_s});
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        sim.logIn(2000);
        const TableList fromService = fetchTableList(test::Simulator::shopId, test::Simulator::shopPassword);
        QCOMPARE(fromService.tables.size(), 2);
        QVERIFY(fromService.anyRecord);
        QCOMPARE(sim.receivedCount(u"/program/qrtableloading.php"_s), 1);
    }

    void sortKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("digits only") << u"12"_s << u"A0000000012"_s;
        QTest::newRow("letter and digit") << u"T3"_s << u"AT0000000003"_s;
        QTest::newRow("no trailing digit") << u"창가"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("more than ten digits") << u"123456789012"_s << u"A123456789012"_s;
        QTest::newRow("hangul and digits") << u"창가10"_s << u"A창가0000000010"_s;
    }
    void sortKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(TableSortKey(name), key);
    }

    void selection()
    {
        QCOMPARE(selectionText(true, {u"1"_s}), u"전체"_s);
        QCOMPARE(selectionText(false, {}), QString());
        QCOMPARE(selectionText(false, {u"1"_s, u"12"_s}), u"-[1]--[12]-"_s);
        QCOMPARE(selectedTableNames(u"-[1]--[12]--[1]-"_s), (QStringList{u"1"_s, u"12"_s}));
        QCOMPARE(selectedTableNames(u"전체"_s), QStringList{});
        QCOMPARE(selectedTableNames(u"-[열린"_s), QStringList{});
        QCOMPARE(selectedTableNames(u"-[창 가]-"_s), QStringList{u"창 가"_s});
    }

    void countLine()
    {
        QCOMPARE(tableCountText(12), u"만들어진 좌석  -  총 12개"_s);
        QCOMPARE(tableCountText(1234), u"만들어진 좌석  -  총 1,234개"_s);
        QCOMPARE(tableCountText(0), u"만들어진 좌석  -  총 0개"_s);
        QCOMPARE(tableCountText(3, 2),
                 u"만들어진 좌석  -  총 3개  (목록에 없는 선택 테이블 2개는 저장하면 빠집니다)"_s);
    }

    /// The stored form of the whole section as Save_설정 writes it, byte for byte.
    void storedKeysGolden()
    {
        PrinterForm f;
        f.이름 = {u"카운터"_s, QString(), u"주방"_s};
        f.포트 = {3, 0, 20};
        f.통신속도 = {1, 0, 4};
        f.출력수 = 1;
        f.꼬리말_출력 = true;
        f.꼬리말_글자크기 = 1;
        f.꼬리말 = u"감사합니다\r\n또 오세요"_s;
        f.주문내역_글자크기 = 2;
        f.메뉴가격표시 = true;
        f.낱장출력 = true;
        f.선택된이름 = {u"창가"_s, u"10"_s};
        test::TempAppFolder app;
        const QString path = app.filePath(u"Zarazo.cfg"_s);
        QVERIFY(test::writeBytes(path, "[Set]\r\ncalltime=10\r\n"));
        QVERIFY(ini::writeValues(path, kPrinterSection, storedPrinterKeys(f)));
        const QByteArray golden =
            test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/printing/data/printer_section.cfg"_s);
        QCOMPARE(test::hex(test::readBytes(path)), test::hex(golden));
    }

    void storedKeysCorrectOutOfRangePositions()
    {
        PrinterForm f;
        f.포트 = {-1, 21, 99};
        f.통신속도 = {-1, 5, 2};
        f.출력수 = 7;
        f.꼬리말_글자크기 = 3;
        f.주문번호_글자크기 = -1;
        f.전체선택 = true;
        f.선택된이름 = {u"1"_s};
        QMap<QString, QString> keys;
        for (const auto &[k, v] : storedPrinterKeys(f))
            keys.insert(k, v);
        QCOMPARE(keys.size(), 19);
        QCOMPARE(keys.value(u"포트0"_s), u"0"_s);
        QCOMPARE(keys.value(u"포트1"_s), u"0"_s);
        QCOMPARE(keys.value(u"통신속도1"_s), u"0"_s);
        QCOMPARE(keys.value(u"통신속도2"_s), u"2"_s);
        QCOMPARE(keys.value(u"주문서_출력수"_s), u"1"_s);
        QCOMPARE(keys.value(u"주문서_꼬리말_글자크기"_s), u"0"_s);
        QCOMPARE(keys.value(u"주문서_주문번호_글자크기"_s), u"0"_s);
        QCOMPARE(keys.value(u"주문서_꼬리말"_s), u"!@#$%"_s);
        QCOMPARE(keys.value(u"선택된테이블"_s), u"전체"_s);
    }

    void formFromRecord()
    {
        PrinterSettings s;
        s.포트 = {25, 20, -3};
        s.통신속도 = {57600, 1234, 9600};
        s.주문서_출력수 = 3;
        s.주문서_꼬리말_글자크기 = 2;
        const PrinterForm f = formFromSettings(s);
        QCOMPARE(f.포트[0], 0);
        QCOMPARE(f.포트[1], 20);
        QCOMPARE(f.포트[2], 0);
        QCOMPARE(f.통신속도[0], 3);
        QCOMPARE(f.통신속도[1], 0);
        QCOMPARE(f.출력수, 2);
        QCOMPARE(f.꼬리말_글자크기, 2);
        QCOMPARE(portItems().size(), 21);
        QCOMPARE(portItems().first(), u"없음"_s);
        QCOMPARE(portItems().last(), u"COM20"_s);
    }

    void testTicketBytes()
    {
        const QByteArray expected =
            "\x1b\x40[" + codec::toCp949(u"카운터"_s) + "] " + QByteArray("\x1b\x21\x00", 3) +
            "\x1b\x21\x30" + codec::toCp949(u"가로세로"_s) + "\x1b\x21\x20" + codec::toCp949(u"가로"_s) +
            "\x1b\x21\x10" + codec::toCp949(u"세로"_s) + QByteArray("\x1b\x21\x00", 3) + "\r\n" +
            "123456789012345678901234567890123456789012345678901234567890" + "\r\n\r\n\r\n\r\n\r\n" +
            "\x1b\x69\r\n\r\n";
        QCOMPARE(test::hex(codec::toCp949(TestTicket(u"카운터"_s))), test::hex(expected));
    }

    void deviceLine()
    {
        test::TempAppFolder app;
        Deployment d;
        QCOMPARE(portDeviceLine(d, 0).text, QString());
        d.ports.insert(4, app.filePath(u"nothing"_s));
        const PortDeviceLine missing = portDeviceLine(d, 4);
        QCOMPARE(missing.text,
                 app.filePath(u"nothing"_s) + u" - 장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s);
        QVERIFY(!missing.usable);
        // A regular file is no serial device.
        QVERIFY(test::writeBytes(app.filePath(u"file"_s), "x"));
        d.ports.insert(5, app.filePath(u"file"_s));
        QVERIFY(!portDeviceLine(d, 5).usable);
        QVERIFY(portDeviceLine(d, 5).text.endsWith(u"장치가 없습니다 (연결과 Deploy.ini [Ports] 확인)"_s));
        QVERIFY(portDeviceLine(d, 9).text.startsWith(u"/dev/ttyS8 - "_s));

        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        test::PtyPair pty;
        QVERIFY2(pty.isValid(), qPrintable(pty.error()));
        d.ports.insert(2, pty.printerPath());
        const PortDeviceLine line = portDeviceLine(d, 2);
        QCOMPARE(line.text, pty.printerPath() + u" - 사용할 수 있습니다"_s);
        QVERIFY(line.usable);
    }

    void deviceLineNamesTheGroupWhenNotWritable()
    {
        if (::geteuid() == 0)
            QSKIP("root may write to every device");
        // /dev/ttyS0 belongs to root:dialout on Debian; a user outside dialout may not open it.
        const platform::DeviceState state = platform::deviceState(u"/dev/ttyS0"_s);
        if (state.kind != platform::DeviceKind::Serial || state.writable)
            QSKIP("/dev/ttyS0 is missing or writable here");
        Deployment d;
        const PortDeviceLine line = portDeviceLine(d, 1);
        QVERIFY(!line.usable);
        QCOMPARE(line.text,
                 u"/dev/ttyS0 - 열 수 없습니다: 사용자를 '"_s + state.group + u"' 그룹에 넣어 주세요"_s);
    }
};

QTEST_GUILESS_MAIN(TstTableList)
#include "tst_tablelist.moc"
