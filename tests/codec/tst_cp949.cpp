#include "codec/Cp949.h"

#include <QTest>

using namespace Qt::StringLiterals;
using kavri::codec::fromCp949;
using kavri::codec::toCp949;

class TstCp949 : public QObject
{
    Q_OBJECT
private slots:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        // "똠" exists only in the extended (UHC) table: a plain EUC-KR table would fail here.
        QTest::newRow("extended syllable") << u"똠"_s << QByteArray::fromHex("8c63");
        QTest::newRow("basic syllable") << u"가"_s << QByteArray::fromHex("b0a1");
        QTest::newRow("record separator") << u"◈"_s << QByteArray::fromHex("a2c2");
        QTest::newRow("fullwidth ampersand") << u"＆"_s << QByteArray::fromHex("a3a6");
        QTest::newRow("ascii and controls pass") << QString::fromLatin1("\x1b@\x1b!\0A\r\n", 8)
                                                 << QByteArray("\x1b@\x1b!\0A\r\n", 8);
        // A phone may send a syllable as separate jamo; it still prints as one character.
        QTest::newRow("decomposed jamo") << QString::fromUtf16(u"\u1100\u1161") << QByteArray::fromHex("b0a1");
        QTest::newRow("emoji as surrogate pair") << u"물😀주"_s << (QByteArray::fromHex("b9b0") + "?" + QByteArray::fromHex("c1d6"));
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u"A"_s << QByteArray("?A");
        QTest::newRow("character outside the table") << u"a\u0E01b"_s << QByteArray("a?b");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toCp949(text).toHex(' '), bytes.toHex(' '));
        QCOMPARE(kavri::codec::cp949Length(text), bytes.size());
    }

    void decodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("syllables") << QByteArray::fromHex("8c63b0a1") << u"똠가"_s;
        QTest::newRow("mixed") << (QByteArray("QR: A3 ") + QByteArray::fromHex("a2c2")) << u"QR: A3 ◈"_s;
        QTest::newRow("truncated lead byte") << QByteArray::fromHex("41b0") << u"A\uFFFD"_s;
        QTest::newRow("invalid pair then ascii") << QByteArray::fromHex("ff41") << u"\uFFFDA"_s;
    }
    void decodes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(fromCp949(bytes), text);
    }

    void roundTripsLongKoreanText()
    {
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QChar(0xAC00 + (i * 7) % 11172);
        QCOMPARE(fromCp949(toCp949(text)), text);
    }
};

QTEST_GUILESS_MAIN(TstCp949)
#include "tst_cp949.moc"
