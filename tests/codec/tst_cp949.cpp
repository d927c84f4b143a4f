#include "codec/Cp949.h"

#include <QTest>

#include <iconv.h>

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
        QTest::newRow("ascii and controls pass")
            << QString::fromLatin1("\x1b@\x1b!\0A\r\n", 8) << QByteArray("\x1b@\x1b!\0A\r\n", 8);
        // A phone may send a syllable as separate jamo; it still prints as one character.
        QTest::newRow("decomposed jamo")
            << QString::fromUtf16(u"\u1100\u1161") << QByteArray::fromHex("b0a1");
        QTest::newRow("emoji as surrogate pair")
            << u"물😀주"_s << (QByteArray::fromHex("b9b0") + "?" + QByteArray::fromHex("c1d6"));
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u"A"_s << QByteArray("?A");
        QTest::newRow("character outside the table") << u"a\u0E01b"_s << QByteArray("a?b");
        // Signs CP949 holds as they are, though their composed forms differ.
        QTest::newRow("angstrom sign") << u"\u212B"_s << QByteArray::fromHex("a1ca");
        QTest::newRow("compatibility ideograph") << u"\uF900"_s << QByteArray::fromHex("cbd0");
        QTest::newRow("jamo before a syllable")
            << (QString::fromUtf16(u"\u1100\u1161") + u"각"_s) << QByteArray::fromHex("b0a1b0a2");
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

    // Bytes that are not CP949 become one U+FFFD each, and decoding goes on
    // right after the bad sequence: nothing before it is lost, nothing after it eaten.
    void badSequences_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // A2 E8 is inside the lead and trail ranges but holds no character.
        QTest::newRow("unassigned pair at the end") << QByteArray::fromHex("a2e8") << u"\uFFFD"_s;
        QTest::newRow("unassigned pair in the middle") << QByteArray::fromHex("41a2e84243") << u"A\uFFFDBC"_s;
        QTest::newRow("lead byte then line break") << QByteArray::fromHex("b00a41") << u"\uFFFD\nA"_s;
        QTest::newRow("unassigned pair with an ascii trail")
            << QByteArray::fromHex("c84142") << u"\uFFFDAB"_s;
        QTest::newRow("lone 80 and ff") << QByteArray::fromHex("80ff") << u"\uFFFD\uFFFD"_s;
        QTest::newRow("lead byte alone") << QByteArray::fromHex("b0") << u"\uFFFD"_s;
        QTest::newRow("nul passes") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3);
    }
    void badSequences()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(fromCp949(bytes), text);
    }

    // Every one- and two-byte input, and every pair followed by a byte, decodes
    // without fault; every pair that holds a character gives it back when encoded.
    void everyShortInput()
    {
        for (int b = 0; b < 256; ++b) {
            const QString one = fromCp949(QByteArray(1, char(b)));
            QCOMPARE(one.size(), 1);
        }
        const QByteArray success = toCp949(u"성공"_s);
        int characters = 0;
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = 0; trail < 256; ++trail) {
                const QByteArray pair = QByteArray(1, char(lead)) + char(trail);
                const QString text = fromCp949(pair);
                QVERIFY(text.size() >= 1 && text.size() <= 2);
                if (text.size() == 1 && text.at(0) != QChar::ReplacementCharacter) {
                    ++characters;
                    if (toCp949(text) != pair)
                        QFAIL(qPrintable(QString::fromLatin1(pair.toHex()) + u" -> "_s + text));
                }
                QByteArray three = pair + '\0';
                for (int next = 0; next < 256; ++next) {
                    three[2] = char(next);
                    const QString decoded = fromCp949(three);
                    if (decoded.size() < 1 || decoded.size() > 3 || decoded.at(0) != text.at(0))
                        QFAIL(qPrintable(u"%1 %2 %3"_s.arg(lead).arg(trail).arg(next)));
                }
                // A complete sequence, good or bad, never swallows what follows it.
                if (lead >= 0x81 && lead <= 0xFE && trail >= 0x41 && trail <= 0xFE) {
                    if (!fromCp949(pair + success).endsWith(u"성공"_s))
                        QFAIL(qPrintable(QString::fromLatin1(pair.toHex())));
                }
            }
        }
        // The full Microsoft table: 2350 + 8822 syllables, 4888 hanja, symbols and jamo.
        QVERIFY2(characters > 17000, qPrintable(QString::number(characters)));
    }

    // Bytes that come in pieces decode as the whole input does, wherever the cuts
    // fall: between the two bytes of a character, after a bad lead byte, at the end.
    void piecesDecodeAsTheWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray words = toCp949(u"물 좀 더 주세요 똠"_s);
        QTest::newRow("characters") << words;
        QTest::newRow("bad pair then ascii") << (QByteArray::fromHex("81") + "<a>" + words);
        QTest::newRow("bad pair, high trail") << (QByteArray::fromHex("c9ff") + words);
        QTest::newRow("lone bytes") << QByteArray::fromHex("80ff41c8");
        QTest::newRow("lead cut by the end") << (words + QByteArray::fromHex("b0"));
        QTest::newRow("lead then lead") << QByteArray::fromHex("b0b0a1");
    }
    void piecesDecodeAsTheWhole()
    {
        QFETCH(QByteArray, bytes);
        const QString whole = fromCp949(bytes);
        // Every single cut, and pieces of one byte each.
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            kavri::codec::Cp949Decoder decoder;
            QString text = decoder.decode(QByteArrayView(bytes).first(cut));
            text += decoder.decode(QByteArrayView(bytes).sliced(cut));
            text += decoder.finish();
            QVERIFY2(text == whole, qPrintable(u"cut at "_s + QString::number(cut)));
        }
        kavri::codec::Cp949Decoder decoder;
        QString text;
        for (const char byte : bytes)
            text += decoder.decode(QByteArrayView(&byte, 1));
        text += decoder.finish();
        QCOMPARE(text, whole);
    }

    void roundTripsLongKoreanText()
    {
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QChar(0xAC00 + (i * 7) % 11172);
        QCOMPARE(fromCp949(toCp949(text)), text);
    }

    // The characters that take the quick road come out exactly as the converter
    // gives them, alone and between neighbours; every one of them is checked.
    void quickRoadMatchesTheConverter()
    {
        iconv_t cd = iconv_open("CP949", "UTF-32LE");
        QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
        int checked = 0;
        for (const auto &[first, last] : {std::pair{0xAC00, 0xD7A3}, std::pair{0x3131, 0x318E},
                                          std::pair{0x4E00, 0x9FFF}, std::pair{0xFF01, 0xFF5E}}) {
            for (char32_t cp = char32_t(first); cp <= char32_t(last); ++cp) {
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), 0, 0};
                char buf[8];
                char *inPtr = in;
                size_t inLeft = sizeof in;
                char *outPtr = buf;
                size_t outLeft = sizeof buf;
                const QByteArray expected = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)
                                                ? QByteArray("?")
                                                : QByteArray(buf, outPtr - buf);
                const QString c = QString(QChar(char16_t(cp)));
                if (toCp949(c) != expected ||
                    toCp949(u"a"_s + c + c + u"b"_s) != "a" + expected + expected + "b")
                    QFAIL(qPrintable(u"U+%1"_s.arg(uint(cp), 4, 16, QChar(u'0'))));
                ++checked;
            }
        }
        iconv_close(cd);
        QCOMPARE(checked, 11172 + 94 + 20992 + 94);
    }

    // Beside characters that join them, the same characters go cluster by cluster.
    void quickRoadNeighbours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sameAs");
        QTest::newRow("syllable and final jamo") << u"물가\u11A8"_s << u"물각"_s;
        QTest::newRow("leading and vowel jamo") << u"\u1100\u1161요"_s << u"가요"_s;
        QTest::newRow("line break between") << u"물\r\n주세요"_s << u"물\r\n주세요"_s;
        QTest::newRow("emoji between") << u"물\U0001F600주세요"_s << u"물?주세요"_s;
    }
    void quickRoadNeighbours()
    {
        QFETCH(QString, text);
        QFETCH(QString, sameAs);
        QCOMPARE(toCp949(text), toCp949(sameAs));
    }
};

QTEST_GUILESS_MAIN(TstCp949)
#include "tst_cp949.moc"
