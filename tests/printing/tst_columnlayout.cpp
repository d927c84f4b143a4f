#include "printing/ColumnLayout.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

QString hangul(int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(0xAC00 + i);
    return s;
}

} // namespace

class TstColumnLayout : public QObject
{
    Q_OBJECT

private slots:
    void centre_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("heading, 12 free") << u"< Kavri >"_s << 21 << u"      < Kavri >      "_s;
        QTest::newRow("payment, 2 free") << u"[ 결제방법 : 카드 ]"_s << 21 << u" [ 결제방법 : 카드 ] "_s;
        // Odd free room: the left half is rounded to the even neighbour.
        QTest::newRow("1 free: 0 left") << u"abcd"_s << 5 << u"abcd "_s;
        QTest::newRow("3 free: 2 left") << u"ab"_s << 5 << u"  ab "_s;
        QTest::newRow("5 free: 2 left") << u"ab"_s << 7 << u"  ab   "_s;
        QTest::newRow("7 free: 4 left") << u"ab"_s << 9 << u"    ab   "_s;
        QTest::newRow("9 free: 4 left") << u"ab"_s << 11 << u"    ab     "_s;
        QTest::newRow("empty") << QString() << 4 << u"    "_s;
        QTest::newRow("wider is cut") << u"abcdefgh"_s << 5 << u"abcde"_s;
        // A two-column character that does not fit is left out, the gap padded.
        QTest::newRow("cut before hangul") << u"ab가나"_s << 5 << u"ab가 "_s;
        QTest::newRow("hangul exact") << hangul(21) << 42 << hangul(21);
    }
    void centre()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(CenterByWidth(text, width), expected);
    }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty is nothing") << QString() << 42 << QStringList();
        QTest::newRow("bad width is nothing") << u"abc"_s << 0 << QStringList();
        QTest::newRow("short text whole") << u"물 주세요"_s << 42 << QStringList{u"물 주세요"_s};
        // At most 21 characters never split at 42, whatever they are.
        QTest::newRow("21 hangul at 42") << hangul(21) << 42 << QStringList{hangul(21)};
        QTest::newRow("30 hangul at 42") << hangul(30) << 42 << QStringList{hangul(21), hangul(30).mid(21)};
        QTest::newRow("30 hangul at 21")
            << hangul(30) << 21 << QStringList{hangul(10), hangul(30).mid(10, 10), hangul(30).mid(20)};
        // A two-column character that would end at column 43 starts the next line.
        const QString a41 = QString(41, u'a');
        QTest::newRow("wide char at column 42") << a41 + u"가b"_s << 42 << QStringList{a41, u"가b"_s};
        QTest::newRow("exact fill") << QString(84, u'x') << 42
                                    << QStringList{QString(42, u'x'), QString(42, u'x')};
        QTest::newRow("line breaks are characters")
            << QString(40, u'x') + u"\r\nyz"_s << 42 << QStringList{QString(40, u'x') + u"\r\n"_s, u"yz"_s};
        // Too narrow for a two-column character: it stands alone, the walk still ends.
        QTest::newRow("width 1 with hangul") << u"a가b"_s << 1 << QStringList{u"a"_s, u"가"_s, u"b"_s};
        const QString emoji = u"x"_s + QString::fromUcs4(U"\U0001F600") + u"y"_s;
        QTest::newRow("surrogate pair kept whole")
            << QString(40, u'a') + emoji << 42
            << QStringList{QString(40, u'a') + u"x"_s, QString::fromUcs4(U"\U0001F600") + u"y"_s};
    }
    void split()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QStringList, expected);
        QCOMPARE(SplitByWidth(text, width), expected);
    }

    void footerWrap_data()
    {
        QTest::addColumn<QString>("footer");
        QTest::addColumn<int>("sizeCode");
        QTest::addColumn<QString>("wrapped");
        QTest::addColumn<QString>("widths");
        QTest::newRow("empty first line dropped, 50 wrapped")
            << u"\r\n"_s + QString(50, u'a') << 0 << QString(42, u'a') + u"\r\n"_s + QString(8, u'a')
            << u"42/42\n8/42"_s;
        QTest::newRow("later empty lines stay")
            << u"a\r\n\r\nb"_s << 1 << u"a\r\n\r\nb"_s << u"1/42\n0/42\n1/42"_s;
        QTest::newRow("double size wraps at 21")
            << hangul(12) << 2 << hangul(10) + u"\r\n"_s + hangul(12).mid(10) << u"20/42\n4/42"_s;
        QTest::newRow("empty stays empty") << QString() << 0 << QString() << u"0/42"_s;
    }
    void footerWrap()
    {
        QFETCH(QString, footer);
        QFETCH(int, sizeCode);
        QFETCH(QString, wrapped);
        QFETCH(QString, widths);
        QCOMPARE(WrapFooter(footer, sizeCode), wrapped);
        QCOMPARE(footerIndicator(WrapFooter(footer, sizeCode)), widths);
        // The window's editor gives LF where the wrapped footer has CR LF.
        QCOMPARE(footerIndicator(WrapFooter(footer, sizeCode).replace(u"\r\n"_s, u"\n"_s)), widths);
    }
};

QTEST_GUILESS_MAIN(TstColumnLayout)
#include "tst_columnlayout.moc"
