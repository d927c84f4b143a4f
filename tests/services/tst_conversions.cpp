#include "services/ColumnWidth.h"
#include "services/Conversions.h"
#include "services/Settings.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

class TstConversions : public QObject
{
    Q_OBJECT
private slots:
    void toLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("grouping") << u"1,234"_s << qint64(1234);
        QTest::newRow("blanks and fraction") << u"  12.5  "_s << qint64(12);
        QTest::newRow("half to even up") << u"13.5"_s << qint64(14);
        QTest::newRow("half to even down") << u"2.5"_s << qint64(2);
        QTest::newRow("negative half") << u"-2.5"_s << qint64(-2);
        QTest::newRow("above half") << u"2.51"_s << qint64(3);
        QTest::newRow("unit suffix") << u"7초"_s << qint64(7);
        QTest::newRow("letters") << u"abc"_s << qint64(0);
        QTest::newRow("negative") << u"-3"_s << qint64(-3);
        QTest::newRow("true any case") << u"TRUE"_s << qint64(-1);
        QTest::newRow("false") << u"False"_s << qint64(0);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("sign only") << u"-"_s << qint64(0);
        QTest::newRow("two signs") << u"+-3"_s << qint64(0);
        QTest::newRow("second point ends number") << u"1.2.3"_s << qint64(1);
        QTest::newRow("point first") << u".6"_s << qint64(1);
        QTest::newRow("exponent not read") << u"1e5"_s << qint64(1);
        QTest::newRow("big request number") << u"3000000000"_s << qint64(3000000000LL);
        QTest::newRow("overflow is zero") << u"99999999999999999999999"_s << qint64(0);
    }
    void toLong()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(ToLong(text), expected);
    }

    void toBool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        for (const QString &t : {u"Y"_s, u"yes"_s, u"T"_s, u"True"_s, u"1"_s, u"-1"_s, u"0.6"_s})
            QTest::newRow(qPrintable(u"true: "_s + t)) << t << true;
        for (const QString &t : {QString(), u"0"_s, u"no"_s, u"f"_s, u"False"_s, u"0.4"_s, u"x"_s})
            QTest::newRow(qPrintable(u"false: "_s + t)) << t << false;
    }
    void toBool()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(ToBool(text), expected);
    }

    void isNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("digit") << u"7"_s << true;
        QTest::newRow("decimal") << u" -1.5 "_s << true;
        QTest::newRow("point alone") << u"."_s << false;
        QTest::newRow("sign alone") << u"+"_s << false;
        QTest::newRow("hangul") << u"블"_s << false;
        QTest::newRow("inf is no number") << u"inf"_s << false;
    }
    void isNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(IsNumber(text), expected);
    }

    // Text from outside: every C0 control and DEL becomes one space, nothing else changes.
    void withoutControls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"창가 A-5"_s << u"창가 A-5"_s;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("line ends and tab") << u"a\r\nb\tc"_s << u"a  b c"_s;
        QTest::newRow("escape sequence") << u"\x1b[2J\x1b]0;x\x07T"_s << u" [2J ]0;x T"_s;
        QTest::newRow("nul inside") << QString::fromUtf16(u"A\0B", 3) << u"A B"_s;
        QTest::newRow("bounds") << u"\x1f\x20\x7e\x7f\u0080"_s << u"  ~ \u0080"_s;
        QTest::newRow("surrogate pair kept") << u"😀\x01"_s << u"😀 "_s;
    }
    void withoutControls()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(kavri::withoutControls(text), expected);
    }

    void widths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("left");
        QTest::newRow("ascii fits") << u"abc"_s << 5 << 3 << u"abc"_s;
        QTest::newRow("ascii cut") << u"abcdef"_s << 4 << 6 << u"abcd"_s;
        QTest::newRow("latin-1 is one column") << u"é1"_s << 2 << 2 << u"é1"_s;
        QTest::newRow("hangul not split") << u"a가나"_s << 4 << 5 << u"a가"_s;
        QTest::newRow("hangul exact") << u"가나다"_s << 4 << 6 << u"가나"_s;
        QTest::newRow("surrogate pair kept whole") << u"a😀"_s << 4 << 5 << u"a"_s;
        QTest::newRow("zero width") << u"가"_s << 0 << 2 << QString();
    }
    void widths()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(int, width);
        QFETCH(QString, left);
        QCOMPARE(TextWidth(text), width);
        QCOMPARE(CommonUtil::textWidth(text), width);
        QCOMPARE(LeftByWidth(text, n), left);
        QCOMPARE(CommonUtil::fitToWidth(text, n), left);
    }

    void cutAtTerminator()
    {
        QCOMPARE(CommonUtil::cutAtTerminator(QString::fromUtf16(u"wget.exe\0\0\0", 11)), u"wget.exe"_s);
        QCOMPARE(CommonUtil::cutAtTerminator(u"plain"_s), u"plain"_s);
    }
};

QTEST_GUILESS_MAIN(TstConversions)
#include "tst_conversions.moc"
