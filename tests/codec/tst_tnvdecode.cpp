#include "codec/TnvDecode.h"

#include <QTest>

using namespace Qt::StringLiterals;
using kavri::TnvDecodeAA;

class TstTnvDecode : public QObject
{
    Q_OBJECT
private slots:
    void decodes_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("plus long form") << u"1ccdd!!1"_s << u"1+1"_s;
        QTest::newRow("extra mark stays") << u"ccdd!!!"_s << u"+!"_s;
        QTest::newRow("plus short form") << u"ccdd!"_s << u"+"_s;
        QTest::newRow("upper case untouched") << u"CCDD!!"_s << u"CCDD!!"_s;
        QTest::newRow("hangul plus token") << QString::fromUtf16(u"a\uD50C\uB78F\uB69C\u314Bb") << u"a+b"_s;
        QTest::newRow("ampersand") << u"A!123!B"_s << u"A\uFF06B"_s;
        QTest::newRow("special ampersand") << u"!특문1!"_s << u"\uFF06"_s;
        QTest::newRow("ascii ampersand passes") << u"a&b"_s << u"a&b"_s;
        QTest::newRow("percent") << u"50ddee!!"_s << u"50%"_s;
        QTest::newRow("percent needs two marks") << u"ddee!"_s << u"ddee!"_s;
        QTest::newRow("long line break") << u"물!줄바꿈!주세요"_s << u"물\r\n주세요"_s;
        QTest::newRow("short line break") << u"물!줄!주세요"_s << u"물\r\n주세요"_s;
        QTest::newRow("overlapping breaks") << u"!줄!줄!"_s << u"\r\n줄!"_s;
        QTest::newRow("special plus") << u"!특문2!"_s << u"+"_s;
        QTest::newRow("double quote") << u"!특문3!"_s << u"\""_s;
        QTest::newRow("no token") << u"물 좀 더 주세요!"_s << u"물 좀 더 주세요!"_s;
    }
    void decodes()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QString once = TnvDecodeAA(input);
        QCOMPARE(once, expected);
        // Ticket lines are decoded a second time; that must change nothing.
        QCOMPARE(TnvDecodeAA(once), once);
    }

    void tokenCodePoints()
    {
        // The tokens are matched by exact code units, so a look-alike spelling is not a token.
        QCOMPARE(TnvDecodeAA(QString::fromUtf16(u"\uD50C\uB78F\uB69C\u314B")), u"+"_s);
        QCOMPARE(TnvDecodeAA(QString::fromUtf16(u"\uD50C\uB78F\uB69C\u110F")),
                 QString::fromUtf16(u"\uD50C\uB78F\uB69C\u110F"));
    }
};

QTEST_GUILESS_MAIN(TstTnvDecode)
#include "tst_tnvdecode.moc"
