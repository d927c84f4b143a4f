#include "services/ServiceAnswers.h"
#include "support/RecordText.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::web;

// The grammars of the service's answers: request list tags and table list markers.
class TstServiceAnswers : public QObject
{
    Q_OBJECT
private slots:
    void tagValues_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << u"<memotext>물</memotext>"_s << true << u"물"_s;
        QTest::newRow("not trimmed") << u"<memotext> 물 \r\n</memotext>"_s << true << u" 물 \r\n"_s;
        QTest::newRow("first opening tag wins")
            << u"<memotext>a</memotext><memotext>b</memotext>"_s << true << u"a"_s;
        QTest::newRow("second opening tag ends it")
            << u"<memotext>a<memotext>b</memotext>"_s << true << u"a"_s;
        QTest::newRow("no closing tag: up to the end") << u"<memotext>a b"_s << true << u"a b"_s;
        QTest::newRow("empty") << u"<memotext></memotext>"_s << true << QString();
        QTest::newRow("case-sensitive") << u"<MemoText>a</MemoText>"_s << false << QString();
        QTest::newRow("missing") << u"<memonum>1</memonum>"_s << false << QString();
        QTest::newRow("closing tag first is no value") << u"</memotext>x<memotext>y"_s << true << u"y"_s;
    }
    void tagValues()
    {
        QFETCH(QString, record);
        QFETCH(bool, found);
        QFETCH(QString, value);
        const std::optional<QStringView> v = tagValue(record, u"memotext");
        QCOMPARE(v.has_value(), found);
        if (found)
            QCOMPARE(v->toString(), value);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<int>("malformed");
        QTest::newRow("empty") << QString() << QStringList{} << 0;
        QTest::newRow("no record") << u"<html>오류</html>"_s << QStringList{} << 0;
        QTest::newRow("answer order, text before the first record ignored")
            << u"<body>"_s + test::tableRecord(u"3"_s, u"Y"_s, u"1층"_s, u"10"_s) + u"<br>\n"_s +
                   test::tableRecord(u"1"_s, u"Y"_s, u""_s, u"창가"_s) + u"<br>\n</body>"_s
            << QStringList{u"3/1층/10"_s, u"1//창가"_s} << 0;
        QTest::newRow("tableYN must be exactly Y") << test::tableRecord(u"1"_s, u"y"_s, u"A"_s, u"1"_s) +
                                                          test::tableRecord(u"2"_s, u"Y "_s, u"A"_s, u"2"_s) +
                                                          test::tableRecord(u"3"_s, u"N"_s, u"A"_s, u"3"_s) +
                                                          test::tableRecord(u"4"_s, u"Y"_s, u"A"_s, u"4"_s)
                                                   << QStringList{u"4/A/4"_s} << 0;
        QTest::newRow("values are not trimmed") << test::tableRecord(u" 5"_s, u"Y"_s, u" 홀 "_s, u"A 1 "_s)
                                                << QStringList{u" 5/ 홀 /A 1 "_s} << 0;
        QTest::newRow("without tableqr")
            << u"nums[7]numstableYN[Y]tableYNtableqroup[1층]tableqrouptablenum[3]tablenum"_s
            << QStringList{u"7/1층/3"_s} << 0;
        QTest::newRow("without tableYN")
            << u"nums[7]numstableqroup[1층]tableqrouptablenum[3]tablenum"_s << QStringList{} << 1;
        QTest::newRow("name without its closing marker, at the end")
            << test::tableRecord(u"1"_s, u"Y"_s, u"A"_s, u"1"_s) +
                   u"nums[2]numstableYN[Y]tableYNtableqroup[B]tableqroup"
                   "tablenum[2<br>"_s
            << QStringList{u"1/A/1"_s} << 1;
        QTest::newRow("a second opening marker before the closing one")
            << u"nums[1]numstableYN[Y]tableYNtableqroup[A tableqroup[B]tableqrouptablenum[1]tablenum"_s
            << QStringList{} << 1;
        QTest::newRow("missing group is not taken from the record before")
            << test::tableRecord(u"1"_s, u"Y"_s, u"A"_s, u"1"_s) +
                   u"nums[2]numstableYN[Y]tableYNtablenum[2]tablenum"_s
            << QStringList{u"1/A/1"_s} << 1;
        QTest::newRow("broken tableqr") << u"nums[1]numstableYN[Y]tableYNtableqroup[A]tableqroup"
                                           "tablenum[1]tablenumtableqr[x"_s
                                        << QStringList{} << 1;
        QTest::newRow("field too long")
            << test::tableRecord(u"1"_s, u"Y"_s, u"A"_s, QString(kMaxTableFieldChars + 1, u'x'))
            << QStringList{} << 1;
        QTest::newRow("field at the limit")
            << test::tableRecord(u"1"_s, u"Y"_s, u"A"_s, QString(kMaxTableFieldChars, u'x'))
            << QStringList{u"1/A/"_s + QString(kMaxTableFieldChars, u'x')} << 0;
        QTest::newRow("markers are case-sensitive")
            << u"NUMS[1]NUMS"_s + test::tableRecord(u"2"_s, u"Y"_s, u"A"_s, u"Tablenum"_s)
            << QStringList{u"2/A/Tablenum"_s} << 0;
    }
    void parse()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, tables);
        QFETCH(int, malformed);
        const TableList list = parseTableList(answer);
        QCOMPARE(test::listedTables(list), tables);
        QCOMPARE(list.malformed, malformed);
    }
};

QTEST_GUILESS_MAIN(TstServiceAnswers)
#include "tst_serviceanswers.moc"
