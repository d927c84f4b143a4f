#include "codec/Cp949.h"
#include "printing/Ticket.h"
#include "support/FileBytes.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

// The command bytes as the printer knows them, spelled out here on purpose.
const QByteArray INIT("\x1b\x40", 2);
const QByteArray NORMAL("\x1b\x21\x00", 3);
const QByteArray TALL("\x1b\x21\x10", 3);
const QByteArray BIG("\x1b\x21\x30", 3);
const QByteArray CUT("\x1b\x69\r\n\r\n", 6);
const QByteArray CRLF("\r\n");
const QByteArray RULE = QByteArray(42, '=') + CRLF;

QByteArray cp(const QString &s)
{
    return codec::toCp949(s);
}

QString hangul(int count, int from = 0)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(0xAC00 + from + i);
    return s;
}

const QByteArray HEAD = INIT + BIG + "      < Kavri >      " + NORMAL + CRLF + CRLF;
const QByteArray TAIL = CRLF + CRLF + CRLF + CRLF + CUT;

/// Ticket bytes around the parts a case changes.
QByteArray ticket(const QByteArray &tableLine, const QByteArray &memoLines, const QByteArray &timeLine,
                  const QByteArray &footer = {}, const QByteArray &payment = {})
{
    return HEAD + tableLine + RULE + memoLines + RULE + timeLine + footer + payment + TAIL;
}

const QByteArray A3 = BIG + "QR: A3" + NORMAL + CRLF;
const QByteArray MEMO = NORMAL + cp(u"물 주세요"_s) + CRLF;
const QByteArray TIME = NORMAL + "2024-05-01 12:30:00" + CRLF;

struct Case
{
    PrinterSettings settings;
    QString group;
    QString table = u"A3"_s;
    QString memo = u"물 주세요"_s;
    QString time = u"2024-05-01 12:30:00"_s;
    QString pay;
};

} // namespace

Q_DECLARE_METATYPE(Case)

class TstTicket : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleMatchesGoldenFile()
    {
        const QByteArray golden =
            test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/printing/data/ticket_a3.bin"_s);
        QVERIFY(!golden.isEmpty());
        const QString t = ComposeTicket({}, {}, u"A3"_s, u"물 주세요"_s, u"2024-05-01 12:30:00"_s, u"카드"_s);
        QCOMPARE(test::hex(cp(t)), test::hex(golden));
    }

    void layout_data()
    {
        QTest::addColumn<Case>("input");
        QTest::addColumn<QByteArray>("expected");

        Case c;
        QTest::newRow("no payment, no empty line") << c << ticket(A3, MEMO, TIME);

        c = {};
        c.table = u"12345678901234567"_s; // "QR: " + 17 = 21 columns
        QTest::newRow("table line 21 columns is big")
            << c << ticket(BIG + "QR: 12345678901234567" + NORMAL + CRLF, MEMO, TIME);
        c.table = u"123456789012345678"_s;
        QTest::newRow("table line 22 columns is tall only")
            << c << ticket(TALL + "QR: 123456789012345678" + NORMAL + CRLF, MEMO, TIME);
        c.table = hangul(30);
        QTest::newRow("long table line is not cut")
            << c << ticket(TALL + cp(u"QR: "_s + hangul(30)) + NORMAL + CRLF, MEMO, TIME);

        c = {};
        c.group = u"1층"_s;
        QTest::newRow("group before table")
            << c << ticket(BIG + cp(u"QR: 1층:A3"_s) + NORMAL + CRLF, MEMO, TIME);

        c = {};
        c.memo = hangul(30);
        c.settings.주문서_주문내역_글자크기 = 2;
        QTest::newRow("30 hangul at double size: 10, 10, 10")
            << c
            << ticket(A3,
                      BIG + cp(hangul(10)) + NORMAL + CRLF + BIG + cp(hangul(10, 10)) + NORMAL + CRLF + BIG +
                          cp(hangul(10, 20)) + NORMAL + CRLF,
                      TIME);
        c.settings.주문서_주문내역_글자크기 = 0;
        QTest::newRow("30 hangul at normal size: 21, 9")
            << c << ticket(A3, NORMAL + cp(hangul(21)) + CRLF + NORMAL + cp(hangul(9, 21)) + CRLF, TIME);
        c.settings.주문서_주문내역_글자크기 = 1;
        QTest::newRow("30 hangul at double height: 21, 9")
            << c
            << ticket(A3, TALL + cp(hangul(21)) + NORMAL + CRLF + TALL + cp(hangul(9, 21)) + NORMAL + CRLF,
                      TIME);

        c = {};
        c.memo = QString(41, u'a') + u"가b"_s;
        QTest::newRow("two-column char at column 43 moves down")
            << c << ticket(A3, NORMAL + QByteArray(41, 'a') + CRLF + NORMAL + cp(u"가b"_s) + CRLF, TIME);

        c = {};
        c.memo = u"콜라 1ccdd!1"_s;
        QTest::newRow("escape tokens decoded per line")
            << c << ticket(A3, NORMAL + cp(u"콜라 1+1"_s) + CRLF, TIME);

        c = {};
        c.memo.clear();
        QTest::newRow("empty request still prints") << c << ticket(A3, {}, TIME);

        c = {};
        c.settings.주문서_주문번호_글자크기 = 1;
        QTest::newRow("time double height")
            << c << ticket(A3, MEMO, TALL + "2024-05-01 12:30:00" + NORMAL + CRLF);
        c.settings.주문서_주문번호_글자크기 = 2;
        QTest::newRow("time double size, not cut")
            << c << ticket(A3, MEMO, BIG + "2024-05-01 12:30:00" + NORMAL + CRLF);

        c = {};
        c.settings.주문서_꼬리말_출력 = true;
        c.settings.주문서_꼬리말 = u"감사합니다\r\n\r\n"_s + QString(50, u'x');
        QTest::newRow("footer normal: centred, empty line kept, wide line cut")
            << c
            << ticket(A3, MEMO, TIME,
                      CRLF + QByteArray(16, ' ') + cp(u"감사합니다"_s) + QByteArray(16, ' ') + CRLF +
                          QByteArray(42, ' ') + CRLF + QByteArray(42, 'x') + CRLF);
        c.settings.주문서_꼬리말 = u"abc"_s;
        c.settings.주문서_꼬리말_글자크기 = 1;
        QTest::newRow("footer double height")
            << c
            << ticket(A3, MEMO, TIME,
                      CRLF + TALL + QByteArray(20, ' ') + "abc" + QByteArray(19, ' ') + NORMAL + CRLF);
        c.settings.주문서_꼬리말_글자크기 = 2;
        QTest::newRow("footer double size")
            << c
            << ticket(A3, MEMO, TIME,
                      CRLF + BIG + QByteArray(9, ' ') + "abc" + QByteArray(9, ' ') + NORMAL + CRLF);

        c = {};
        c.settings.주문서_꼬리말_출력 = true;
        QTest::newRow("footer on but empty: nothing") << c << ticket(A3, MEMO, TIME);
        c.settings.주문서_꼬리말_출력 = false;
        c.settings.주문서_꼬리말 = u"감사합니다"_s;
        QTest::newRow("footer off") << c << ticket(A3, MEMO, TIME);

        c = {};
        c.pay = u"현금"_s;
        QTest::newRow("cash payment")
            << c
            << ticket(A3, MEMO, TIME, {},
                      CRLF + BIG + " " + cp(u"[ 결제방법 : 현금 ]"_s) + " " + NORMAL + CRLF);
    }
    void layout()
    {
        QFETCH(Case, input);
        QFETCH(QByteArray, expected);
        const QString t =
            ComposeTicket(input.settings, input.group, input.table, input.memo, input.time, input.pay);
        QCOMPARE(test::hex(cp(t)), test::hex(expected));
    }
};

QTEST_GUILESS_MAIN(TstTicket)
#include "tst_ticket.moc"
