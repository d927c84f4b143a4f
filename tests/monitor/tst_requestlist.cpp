#include "monitor/Expiry.h"
#include "monitor/RequestList.h"
#include "support/RecordText.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;
using namespace kavri::web;

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(12, 0, 0));

QString minutesAgo(qint64 minutes, int second = 0)
{
    return kNow.addSecs(-minutes * 60 + second).toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

QStringList numbers(const QList<HandledRecord> &handled)
{
    QStringList out;
    for (const HandledRecord &h : handled)
        out << h.entry.NumT;
    return out;
}

QStringList numbers(const KavriList &list)
{
    QStringList out;
    for (const KavriEntry &e : list)
        out << e.NumT;
    return out;
}

HandledRecord handled(const QString &num, const QString &table, qint64 age, const QString &regDate = {},
                      qsizetype position = 1)
{
    HandledRecord h;
    h.entry.NumT = num;
    h.entry.TableT = table;
    h.entry.RegDateT = regDate;
    h.age = age;
    h.position = position;
    return h;
}

} // namespace

class TstRequestList : public QObject
{
    Q_OBJECT
private slots:
    // The record grammar: each piece after a "<memochecks>", up to the next one or
    // the end; the text before the first marker is no record. Records here lack
    // tags, so each is listed as skipped with its place and number.
    void records_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("none") << u"<memolist></memolist>"_s << QStringList();
        QTest::newRow("empty answer") << QString() << QStringList();
        QTest::newRow("text before the first marker is no record")
            << u"head<memonum>0</memonum><memochecks><memonum>a</memonum></memochecks>\n<memochecks><memonum>b"_s
            << QStringList{u"1:a"_s, u"2:b"_s};
        QTest::newRow("empty records") << u"<memochecks><memochecks>"_s << QStringList{u"1:"_s, u"2:"_s};
        QTest::newRow("marker is case-sensitive")
            << u"<MemoChecks><memonum>a</memonum><memochecks><memonum>b"_s << QStringList{u"1:b"_s};
        // A tag value never runs into the next record.
        QTest::newRow("value ends with its record")
            << u"<memochecks><memonum>a<memochecks><memonum>b</memonum>"_s << QStringList{u"1:a"_s, u"2:b"_s};
    }
    void records()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, records);
        const AnswerReading r = readAnswer(answer, kNow);
        QVERIFY(r.handled.isEmpty());
        QStringList got;
        for (const SkippedRecord &skipped : r.malformed)
            got.prepend(QString::number(skipped.position) + u':' + skipped.numT);
        QCOMPARE(got, records);
    }

    void ages_data()
    {
        QTest::addColumn<QString>("regDate");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<qint64>("age");
        const QDateTime ten(QDate(2026, 5, 1), QTime(10, 1, 0));
        QTest::newRow("10:00:59 at 10:01:00") << u"2026-05-01 10:00:59"_s << ten << true << qint64(1);
        QTest::newRow("10:00:00 at 10:01:59")
            << u"2026-05-01 10:00:00"_s << QDateTime(QDate(2026, 5, 1), QTime(10, 1, 59)) << true
            << qint64(1);
        QTest::newRow("same minute") << u"2026-05-01 10:01:00"_s << ten << true << qint64(0);
        QTest::newRow("180") << minutesAgo(180) << kNow << true << qint64(180);
        QTest::newRow("181") << minutesAgo(181) << kNow << true << qint64(181);
        QTest::newRow("over midnight")
            << u"2026-04-30 23:59:59"_s << QDateTime(QDate(2026, 5, 1), QTime(0, 0, 0)) << true << qint64(1);
        QTest::newRow("future") << u"2026-05-01 12:05:00"_s << kNow << true << qint64(-5);
        QTest::newRow("not a day") << u"2026-02-30 10:00:00"_s << kNow << false << qint64(0);
        QTest::newRow("hour 24") << u"2026-05-01 24:00:00"_s << kNow << false << qint64(0);
        QTest::newRow("slashes") << u"2026/05/01 10:00:00"_s << kNow << false << qint64(0);
        QTest::newRow("no seconds") << u"2026-05-01 10:00"_s << kNow << false << qint64(0);
        QTest::newRow("blank around") << u" 2026-05-01 10:00:00"_s << kNow << false << qint64(0);
        QTest::newRow("empty") << QString() << kNow << false << qint64(0);
        QTest::newRow("letters") << u"2026-05-01 1o:00:00"_s << kNow << false << qint64(0);
    }
    void ages()
    {
        QFETCH(QString, regDate);
        QFETCH(QDateTime, now);
        QFETCH(bool, readable);
        QFETCH(qint64, age);
        const std::optional<qint64> stamp = minuteStamp(regDate);
        QCOMPARE(stamp.has_value(), readable);
        if (readable)
            QCOMPARE(ageMinutes(*stamp, minuteStamp(now)), age);
    }

    // The one reader of a registration time, against Qt's calendar in UTC.
    void registrationTimes_data()
    {
        QTest::addColumn<QString>("regDate");
        QTest::addColumn<bool>("readable");
        QTest::newRow("plain") << u"2026-05-01 10:04:35"_s << true;
        QTest::newRow("minus before the year") << u"-2026-05-01 10:04:35"_s << false;
        QTest::newRow("plus before the year") << u"+2026-05-01 10:04:35"_s << false;
        QTest::newRow("three-digit year with a sign") << u"-202-05-01 10:04:35"_s << false;
        QTest::newRow("one-digit month") << u"2026-5-01 10:04:35"_s << false;
        QTest::newRow("one-digit hour") << u"2026-05-01 1:04:35"_s << false;
        QTest::newRow("year 0") << u"0000-05-01 10:04:35"_s << false;
        QTest::newRow("year 1") << u"0001-01-01 00:00:00"_s << true;
        QTest::newRow("leap day") << u"2028-02-29 23:59:59"_s << true;
        QTest::newRow("no leap day") << u"2026-02-29 10:00:00"_s << false;
        QTest::newRow("trailing blank") << u"2026-05-01 10:04:35 "_s << false;
        QTest::newRow("year 9999") << u"9999-12-31 23:59:59"_s << true;
        QTest::newRow("hour 24") << u"2026-05-01 24:00:00"_s << false;
        QTest::newRow("second 60") << u"2026-05-01 10:04:60"_s << false;
        // Hours a clock with summer time skips or repeats are read as written.
        QTest::newRow("skipped in spring") << u"2026-03-29 02:30:00"_s << true;
        QTest::newRow("repeated in autumn") << u"2026-10-25 02:30:00"_s << true;
    }
    void registrationTimes()
    {
        QFETCH(QString, regDate);
        QFETCH(bool, readable);
        const std::optional<qint64> seconds = registrationSeconds(regDate);
        QCOMPARE(seconds.has_value(), readable);
        QCOMPARE(minuteStamp(regDate).has_value(), readable);
        if (!readable)
            return;
        const QDateTime asWritten(QDate::fromString(regDate.left(10), u"yyyy-MM-dd"_s),
                                  QTime::fromString(regDate.mid(11), u"HH:mm:ss"_s), Qt::UTC);
        const qint64 epoch = *registrationSeconds(u"1970-01-01 00:00:00"_s);
        QCOMPARE(*seconds - epoch, asWritten.toSecsSinceEpoch());
        QCOMPARE(*minuteStamp(regDate), *seconds / 60);
        QCOMPARE(wallClockSeconds(asWritten), *seconds);
    }

    void requestNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<qint64>("number");
        QTest::newRow("1") << u"1"_s << true << qint64(1);
        QTest::newRow("leading zeros") << u"007"_s << true << qint64(7);
        QTest::newRow("largest") << u"9223372036854775807"_s << true << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond double precision") << u"9007199254740993"_s << true << qint64(9007199254740993);
        QTest::newRow("empty") << QString() << false << qint64(0);
        QTest::newRow("letters") << u"abc"_s << false << qint64(0);
        QTest::newRow("negative") << u"-5"_s << false << qint64(0);
        QTest::newRow("plus sign") << u"+5"_s << false << qint64(0);
        QTest::newRow("zero") << u"0"_s << false << qint64(0);
        QTest::newRow("blank around") << u" 5"_s << false << qint64(0);
        QTest::newRow("decimal") << u"5.0"_s << false << qint64(0);
        QTest::newRow("grouped") << u"1,000"_s << false << qint64(0);
        QTest::newRow("2^63") << u"9223372036854775808"_s << false << qint64(0);
        QTest::newRow("20 digits") << u"99999999999999999999"_s << false << qint64(0);
        QTest::newRow("wide digits") << u"１２"_s << false << qint64(0);
    }
    void requestNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(qint64, number);
        const std::optional<qint64> n = requestNumber(text);
        QCOMPARE(n.has_value(), readable);
        if (readable)
            QCOMPARE(*n, number);
    }

    // A record whose number is no request number is skipped whole and named, as one missing a tag.
    void malformedNumbers_data()
    {
        QTest::addColumn<QString>("num");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters") << u"abc"_s;
        QTest::newRow("negative") << u"-5"_s;
        QTest::newRow("20 digits") << u"99999999999999999999"_s;
        QTest::newRow("2^63") << u"9223372036854775808"_s;
        QTest::newRow("done and letters") << u"x"_s;
    }
    void malformedNumbers()
    {
        QFETCH(QString, num);
        const QString done =
            QString::fromLatin1(QTest::currentDataTag()).startsWith(u"done"_s) ? u"Y"_s : u"N"_s;
        const QString answer = test::answerText({
            test::rec(num, u"C1"_s, minutesAgo(0), u"물"_s, u"1"_s, {}, done),
            test::rec(u"5"_s, u"C2"_s, minutesAgo(1)),
        });
        const AnswerReading r = readAnswer(answer, kNow);
        QCOMPARE(numbers(r.handled), QStringList{u"5"_s});
        QCOMPARE(r.malformed.size(), 1);
        QCOMPARE(r.malformed.at(0).position, 1);
        QCOMPARE(r.malformed.at(0).numT, num);
        QCOMPARE(r.malformed.at(0).why, u"요청 번호를 읽을 수 없음: "_s + num);
    }

    // Numbers past 2^53 compare exactly; a double would take these two for equal.
    void largeNumbersCompareExactly()
    {
        PrinterSettings settings;
        settings.선택된테이블 = u"전체"_s;
        settings.이름[0] = u"카운터"_s;
        QCOMPARE(numberOf(u"9007199254740993"_s), qint64(9007199254740993));
        QVERIFY(isPrinted(handled(u"9007199254740993"_s, u"A"_s, 0), 9007199254740992, settings));
        QVERIFY(!isPrinted(handled(u"9007199254740993"_s, u"A"_s, 0), 9007199254740993, settings));
        QVERIFY(isPrinted(handled(u"9223372036854775807"_s, u"A"_s, 0), 9223372036854775806, settings));
        // What the file may hold otherwise is still read the old way.
        QCOMPARE(numberOf(QString()), 0);
        QCOMPARE(numberOf(u"12.0"_s), 12);
    }

    void quantities_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << u"1"_s << u"물"_s;
        QTest::newRow("empty") << QString() << u"물"_s;
        QTest::newRow("no digits") << u"abc"_s << u"물"_s;
        QTest::newRow("0") << u"0"_s << u"물"_s;
        QTest::newRow("negative") << u"-3"_s << u"물"_s;
        QTest::newRow("2") << u"2"_s << u"물 X 2"_s;
        QTest::newRow("two and a half to even") << u"2.5"_s << u"물 X 2"_s;
        QTest::newRow("three and a half to even") << u"3.5"_s << u"물 X 4"_s;
        QTest::newRow("grouped") << u"1,000"_s << u"물 X 1000"_s;
    }
    void quantities()
    {
        QFETCH(QString, count);
        QFETCH(QString, text);
        QCOMPARE(withQuantity(u"물"_s, count), text);
    }

    void payTypes_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::newRow("card") << u"card"_s << u"카드"_s;
        QTest::newRow("CARD") << u"CARD"_s << u"카드"_s;
        QTest::newRow("Cash") << u"Cash"_s << u"현금"_s;
        QTest::newRow("other") << u"point"_s << QString();
        QTest::newRow("padded") << u" card"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void payTypes()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QCOMPARE(payTypeText(tag), text);
    }

    // The filter over one answer: order of handling, done flag, ages, fields.
    void answerFilter()
    {
        using test::RecordFields;
        const QString answer = test::answerText({
            test::rec(u"9"_s, u"A1"_s, minutesAgo(181)),                                   // too old
            test::rec(u"8"_s, u"A2"_s, minutesAgo(180), u"ccdd!"_s, u"2"_s, u"CARD"_s),    // shown
            test::rec(u"7"_s, u"A3"_s, minutesAgo(1), u"물"_s, u"1"_s, {}, u"Y"_s),        // done
            test::rec(u"6"_s, u"A4"_s, minutesAgo(1), u"물"_s, u"1"_s, u"cash"_s, u"y"_s), // "y" is not done
        });
        const AnswerReading r = readAnswer(answer, kNow);
        QCOMPARE(numbers(r.handled), (QStringList{u"6"_s, u"8"_s}));
        QVERIFY(r.malformed.isEmpty());
        const HandledRecord &eight = r.handled.at(1);
        QCOMPARE(eight.entry.TableT, u"A2"_s);
        QCOMPARE(eight.entry.RegDateT, minutesAgo(180));
        // The quantity goes on before decoding: "ccdd!" is "+".
        QCOMPARE(eight.entry.MemoT, u"+ X 2"_s);
        QCOMPARE(eight.entry.PayTypeT, u"카드"_s);
        QCOMPARE(eight.age, 180);
        QCOMPARE(eight.position, 2);
        QCOMPARE(r.handled.at(0).entry.PayTypeT, u"현금"_s);
    }

    // What a customer or the service sends holds no printer command, terminal escape or
    // line of its own once read: every control character is a space, and only the
    // "!줄!" tokens make line breaks.
    void controlCharactersInFields_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("shownTable");
        QTest::addColumn<QString>("shownText");
        const QString cut = QString::fromLatin1("\x1d\x56\x00", 3);
        const QString drawer = QString::fromLatin1("\x10\x14\x01\x00\x01", 5);
        QTest::newRow("paper cut in the text")
            << u"A1"_s << u"물"_s + cut + u"줘"_s << u"1"_s << u"A1"_s << u"물 V 줘"_s;
        QTest::newRow("cash drawer in the table")
            << drawer + u"A2"_s << u"물"_s << u"1"_s << u"     A2"_s << u"물"_s;
        QTest::newRow("reset and size in both")
            << u"\x1b@T"_s << u"\x1b!0큰 글씨"_s << u"2"_s << u" @T"_s << u" !0큰 글씨 X 2"_s;
        QTest::newRow("raw line breaks") << u"T\r\n[260501-120000.000]가짜"_s << u"하나\r\n둘"_s << u"1"_s
                                         << u"T  [260501-120000.000]가짜"_s << u"하나  둘"_s;
        QTest::newRow("token line break stays")
            << u"T"_s << u"하나!줄!둘\t셋\x7f"_s << u"1"_s << u"T"_s << u"하나\r\n둘 셋 "_s;
        QTest::newRow("control in the quantity") << u"T"_s << u"물"_s << u"3\x1b"_s << u"T"_s << u"물 X 3"_s;
    }
    void controlCharactersInFields()
    {
        QFETCH(QString, table);
        QFETCH(QString, text);
        QFETCH(QString, count);
        QFETCH(QString, shownTable);
        QFETCH(QString, shownText);
        const AnswerReading r =
            readAnswer(test::answerText({test::rec(u"5"_s, table, minutesAgo(1), text, count)}), kNow);
        QCOMPARE(r.handled.size(), 1);
        QCOMPARE(r.handled.at(0).entry.TableT, shownTable);
        QCOMPARE(r.handled.at(0).entry.MemoT, shownText);
    }

    // A record lacking a tag or with an unreadable time is skipped whole and
    // never takes another record's values.
    void malformedRecords()
    {
        using test::RecordFields;
        RecordFields noDate = test::rec(u"5"_s, u"B1"_s, minutesAgo(1));
        noDate.omit = QStringList{u"regdatememo"_s};
        RecordFields noNum = test::rec(u"4"_s, u"B2"_s, minutesAgo(1));
        noNum.omit = QStringList{u"memonum"_s};
        RecordFields noPay = test::rec(u"3"_s, u"B3"_s, minutesAgo(1));
        noPay.omit = QStringList{u"paytype1"_s};
        const QString answer = test::answerText({
            noDate,
            test::rec(u"6"_s, u"B4"_s, u"어제 저녁"_s),
            test::rec(u"2"_s, u"B5"_s, minutesAgo(2), u"good"_s, u"1"_s, u"card"_s),
            noNum,
            noPay,
        });
        const AnswerReading r = readAnswer(answer, kNow);
        QCOMPARE(numbers(r.handled), QStringList{u"2"_s});
        QCOMPARE(r.handled.at(0).entry.TableT, u"B5"_s);
        QCOMPARE(r.malformed.size(), 4);
        // In handling order: from the end of the answer.
        QCOMPARE(r.malformed.at(0).position, 5);
        QCOMPARE(r.malformed.at(0).numT, u"3"_s);
        QCOMPARE(r.malformed.at(0).why, u"<paytype1> 태그 없음"_s);
        QCOMPARE(r.malformed.at(1).position, 4);
        QCOMPARE(r.malformed.at(1).numT, QString());
        QCOMPARE(r.malformed.at(1).why, u"<memonum> 태그 없음"_s);
        QCOMPARE(r.malformed.at(2).position, 2);
        QCOMPARE(r.malformed.at(2).why, u"등록 시각을 읽을 수 없음: 어제 저녁"_s);
        QCOMPARE(r.malformed.at(3).position, 1);
        QCOMPARE(r.malformed.at(3).why, u"<regdatememo> 태그 없음"_s);
    }

    // An answer that comes in pieces is read as the whole text is, wherever the cuts
    // fall: inside a marker, a tag, a value, a Korean text, before the first marker.
    void piecesReadAsTheWhole_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("list");
        using test::RecordFields;
        RecordFields noPay = test::rec(u"3"_s, u"B3"_s, minutesAgo(1));
        noPay.omit = QStringList{u"paytype1"_s};
        const QString records = test::answerText({
            test::rec(u"9"_s, u"1층/9"_s, minutesAgo(2), u"물 좀 더 주세요"_s, u"3"_s, u"card"_s),
            test::rec(u"8"_s, u"1층/8"_s, minutesAgo(181)),
            noPay,
            test::rec(u"abc"_s, u"B4"_s, minutesAgo(1)),
            test::rec(u"6"_s, u"1층/9"_s, minutesAgo(2), u"물 좀 더 주세요"_s, u"1"_s, u"cash"_s),
            test::rec(u"5"_s, u"B5"_s, minutesAgo(0), u"앞접시"_s, u"1"_s, {}, u"Y"_s),
        });
        QTest::newRow("records") << records << true;
        QTest::newRow("a page before the list") << (u"<html><b>공지</b>\n"_s + records) << true;
        QTest::newRow("empty list") << u"<memolist>\n</memolist>\n"_s << true;
        QTest::newRow("error page") << u"<html>오류 <memolis t></html>"_s << false;
        QTest::newRow("no text") << QString() << false;
        QTest::newRow("marker at the very end") << (records + u"<memochecks>"_s) << true;
    }
    void piecesReadAsTheWhole()
    {
        QFETCH(QString, answer);
        QFETCH(bool, list);
        const AnswerReading whole = readAnswer(answer, kNow);
        auto same = [&whole](const AnswerReading &r) {
            if (r.handled.size() != whole.handled.size() || r.malformed.size() != whole.malformed.size())
                return false;
            for (qsizetype i = 0; i < r.handled.size(); ++i) {
                const HandledRecord &a = r.handled.at(i);
                const HandledRecord &b = whole.handled.at(i);
                if (!(a.entry == b.entry) || a.age != b.age || a.position != b.position)
                    return false;
            }
            for (qsizetype i = 0; i < r.malformed.size(); ++i) {
                const SkippedRecord &a = r.malformed.at(i);
                const SkippedRecord &b = whole.malformed.at(i);
                if (a.position != b.position || a.numT != b.numT || a.why != b.why)
                    return false;
            }
            return true;
        };
        // Two pieces, cut at every place.
        for (qsizetype cut = 0; cut <= answer.size(); ++cut) {
            AnswerReader reader(kNow);
            reader.feed(QStringView(answer).first(cut));
            reader.feed(QStringView(answer).sliced(cut));
            QCOMPARE(reader.sawList(), list);
            QVERIFY2(same(reader.finish()), qPrintable(u"cut at "_s + QString::number(cut)));
        }
        // Pieces of one, five and 64 characters.
        for (const qsizetype size : {1, 5, 64}) {
            AnswerReader reader(kNow);
            for (qsizetype at = 0; at < answer.size(); at += size)
                reader.feed(QStringView(answer).sliced(at, std::min(size, answer.size() - at)));
            QCOMPARE(reader.sawList(), list);
            QVERIFY2(same(reader.finish()), qPrintable(u"pieces of "_s + QString::number(size)));
        }
    }

    // A long answer fed in pieces of a few thousand characters, as the cycle decodes
    // it, gives the reading of the whole text: every record, in handling order.
    void longAnswerInPieces()
    {
        QList<test::RecordFields> records;
        const qsizetype count = 4007;
        for (qsizetype i = 0; i < count; ++i)
            records.append(test::rec(QString::number(count - i), u"T"_s, minutesAgo(i % 180)));
        const QString answer = test::answerText(records);
        const AnswerReading whole = readAnswer(answer, kNow);
        QCOMPARE(whole.handled.size(), count);

        AnswerReader reader(kNow);
        for (qsizetype at = 0; at < answer.size(); at += 4099)
            reader.feed(QStringView(answer).sliced(at, std::min<qsizetype>(4099, answer.size() - at)));
        const AnswerReading pieces = reader.finish();
        QCOMPARE(numbers(pieces.handled), numbers(whole.handled));
        QCOMPARE(pieces.handled.first().position, count);
        QCOMPARE(pieces.handled.last().position, 1);
    }

    void printingRule_data()
    {
        QTest::addColumn<QString>("num");
        QTest::addColumn<QString>("table");
        QTest::addColumn<qint64>("age");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<bool>("slotNamed");
        QTest::addColumn<bool>("printed");
        const QString ab = u"-[A]--[B]-"_s;
        QTest::newRow("all tables") << u"11"_s << u"X"_s << qint64(0) << u"전체"_s << true << true;
        QTest::newRow("A of A and B") << u"11"_s << u"A"_s << qint64(0) << ab << true << true;
        QTest::newRow("B of A and B") << u"11"_s << u"B"_s << qint64(0) << ab << true << true;
        QTest::newRow("AB of A and B") << u"11"_s << u"AB"_s << qint64(0) << ab << true << false;
        QTest::newRow("a of A and B") << u"11"_s << u"a"_s << qint64(0) << ab << true << false;
        QTest::newRow("nothing selected") << u"11"_s << u"A"_s << qint64(0) << QString() << true << false;
        QTest::newRow("30 minutes") << u"11"_s << u"A"_s << qint64(30) << ab << true << true;
        QTest::newRow("31 minutes") << u"11"_s << u"A"_s << qint64(31) << ab << true << false;
        QTest::newRow("future") << u"11"_s << u"A"_s << qint64(-3) << ab << true << true;
        QTest::newRow("the last printed") << u"10"_s << u"A"_s << qint64(0) << ab << true << false;
        QTest::newRow("number as a number") << u"010.6"_s << u"A"_s << qint64(0) << ab << true << true;
        QTest::newRow("no slot named") << u"11"_s << u"A"_s << qint64(0) << u"전체"_s << false << false;
    }
    void printingRule()
    {
        QFETCH(QString, num);
        QFETCH(QString, table);
        QFETCH(qint64, age);
        QFETCH(QString, selection);
        QFETCH(bool, slotNamed);
        QFETCH(bool, printed);
        PrinterSettings settings;
        settings.선택된테이블 = selection;
        if (slotNamed)
            settings.이름[2] = u"주방"_s;
        QCOMPARE(isPrinted(handled(num, table, age), 10, settings), printed);
    }

    void sortAndCutRows_data()
    {
        QTest::addColumn<int>("displayIdx");
        QTest::addColumn<int>("rows");
        QTest::newRow("10") << 0 << 10;
        QTest::newRow("16") << 1 << 16;
        QTest::newRow("30") << 2 << 30;
        QTest::newRow("3 is no row option") << 3 << 0;
        QTest::newRow("-1") << -1 << 0;
    }
    void sortAndCutRows()
    {
        QFETCH(int, displayIdx);
        QFETCH(int, rows);
        // 40 records, handled from the last in the answer (oldest) to the first.
        QList<HandledRecord> all;
        for (int n = 1; n <= 40; ++n)
            all.append(handled(QString::number(n), u"T"_s, 0, minutesAgo(40 - n), 41 - n));
        const KavriList list = sortAndCut(all, displayIdx);
        QCOMPARE(list.size(), rows);
        for (int i = 0; i < rows; ++i)
            QCOMPARE(list.at(i).NumT, QString::number(40 - i));
    }

    // Newest first by text; equal times keep the order of the answer.
    void sortOrder()
    {
        const QList<HandledRecord> h{
            handled(u"1"_s, u"T"_s, 0, u"2026-05-01 11:00:00"_s, 5),
            handled(u"2"_s, u"T"_s, 0, u"2026-05-01 11:59:00"_s, 4),
            handled(u"3"_s, u"T"_s, 0, u"2026-05-01 11:30:00"_s, 3),
            handled(u"4"_s, u"T"_s, 0, u"2026-05-01 11:30:00"_s, 2),
            handled(u"5"_s, u"T"_s, 0, u"2026-05-01 11:30:00"_s, 1),
        };
        QCOMPARE(numbers(sortAndCut(h, 0)), (QStringList{u"2"_s, u"5"_s, u"4"_s, u"3"_s, u"1"_s}));
    }
};

QTEST_GUILESS_MAIN(TstRequestList)
#include "tst_requestlist.moc"
