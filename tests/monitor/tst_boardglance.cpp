#include "monitor/BoardGlance.h"
#include "monitor/BoardHealth.h"
#include "monitor/RequestBoard.h"
#include "services/Settings.h"
#include "support/TempAppFolder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

/// The health line's room at 16 pixels, in printer columns (a Hangul syllable is
/// two, about 16 pixels): the store name's width less the padding, at 1024 and 1366.
constexpr int kColumns1024 = (220 - 14) / 8;
constexpr int kColumns1366 = (562 - 14) / 8;

BoardHealth everyFault()
{
    BoardHealth health;
    health.pollSucceeded(QDateTime(QDate(2026, 5, 1), QTime(14, 2, 10)));
    health.setSpeechUnavailable(true);
    health.pollFailed();
    health.pollFailed();
    health.setUnprinted(11);
    health.setPrinterFailed(u"주방"_s, true);
    return health;
}

} // namespace

// The rules of what the board tells at a glance, apart from any window.
class TstBoardGlance : public QObject
{
    Q_OBJECT
private slots:
    void splitQuantity_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quantity");
        QTest::newRow("no quantity") << u"물 좀 더 주세요"_s << u"물 좀 더 주세요"_s << QString();
        QTest::newRow("quantity 3") << u"앞접시 X 3"_s << u"앞접시"_s << u"X 3"_s;
        QTest::newRow("long text") << QString(700, u'가') + u" X 3"_s << QString(700, u'가') << u"X 3"_s;
        QTest::newRow("line break before it") << u"물!줄!수저 X 12"_s << u"물!줄!수저"_s << u"X 12"_s;
        QTest::newRow("only the quantity") << u" X 2"_s << QString() << u"X 2"_s;
        QTest::newRow("small x is the customer's") << u"냅킨 x3"_s << u"냅킨 x3"_s << QString();
        QTest::newRow("not at the end") << u"콜라 X 2 주세요"_s << u"콜라 X 2 주세요"_s << QString();
        QTest::newRow("no digits") << u"콜라 X "_s << u"콜라 X "_s << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }
    void splitQuantity()
    {
        QFETCH(QString, memo);
        QFETCH(QString, text);
        QFETCH(QString, quantity);
        const QuantitySplit split = monitor::splitQuantity(memo);
        QCOMPARE(split.text, text);
        QCOMPARE(split.quantity, quantity);
    }

    void waited_data()
    {
        QTest::addColumn<QString>("regDate");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("just now") << u"2026-05-01 10:00:00"_s << QTime(10, 0, 59) << 0ll << u"0분"_s;
        QTest::newRow("one minute") << u"2026-05-01 10:00:00"_s << QTime(10, 1) << 1ll << u"1분"_s;
        QTest::newRow("a hundred") << u"2026-05-01 08:20:30"_s << QTime(10, 0, 30) << 100ll << u"100분"_s;
        QTest::newRow("ahead of the clock") << u"2026-05-01 10:05:00"_s << QTime(10, 0) << 0ll << u"0분"_s;
        QTest::newRow("unreadable") << u"어제"_s << QTime(10, 0) << -1ll << QString();
        QTest::newRow("empty row") << QString() << QTime(10, 0) << -1ll << QString();
    }
    void waited()
    {
        QFETCH(QString, regDate);
        QFETCH(QTime, now);
        QFETCH(qint64, minutes);
        QFETCH(QString, text);
        const qint64 got = waitedMinutes(regDate, QDateTime(QDate(2026, 5, 1), now));
        QCOMPARE(got, minutes);
        QCOMPARE(waitedText(got), text);
    }

    void waitLevel_data()
    {
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<int>("amber");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("level");
        const int calm = int(WaitLevel::Calm), amber = int(WaitLevel::Amber), red = int(WaitLevel::Red);
        QTest::newRow("1 minute") << 1ll << 5 << 10 << calm;
        QTest::newRow("4 minutes") << 4ll << 5 << 10 << calm;
        QTest::newRow("5 minutes") << 5ll << 5 << 10 << amber;
        QTest::newRow("9 minutes") << 9ll << 5 << 10 << amber;
        QTest::newRow("10 minutes") << 10ll << 5 << 10 << red;
        QTest::newRow("100 minutes") << 100ll << 5 << 10 << red;
        QTest::newRow("unknown wait") << -1ll << 5 << 10 << calm;
        QTest::newRow("amber off") << 7ll << 0 << 10 << calm;
        QTest::newRow("red off") << 100ll << 5 << 0 << amber;
        QTest::newRow("both off") << 100ll << 0 << 0 << calm;
        QTest::newRow("red below amber") << 4ll << 5 << 3 << red;
    }
    void waitLevel()
    {
        QFETCH(qint64, minutes);
        QFETCH(int, amber);
        QFETCH(int, red);
        QFETCH(int, level);
        QCOMPARE(int(monitor::waitLevel(minutes, {amber, red})), level);
    }

    void waitThreshold_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("minutes");
        QTest::newRow("missing is the default") << QString() << 5;
        QTest::newRow("off") << u"끔"_s << 0;
        QTest::newRow("zero is off") << u"0"_s << 0;
        QTest::newRow("minutes") << u"15"_s << 15;
        QTest::newRow("blanks around") << u" 7 "_s << 7;
        QTest::newRow("negative") << u"-3"_s << 5;
        QTest::newRow("text") << u"abc"_s << 5;
        QTest::newRow("a day at most") << u"1440"_s << 1440;
        QTest::newRow("beyond a day") << u"1441"_s << 5;
        QTest::newRow("huge") << u"99999999999999999999"_s << 5;
    }
    void waitThreshold()
    {
        QFETCH(QString, stored);
        QFETCH(int, minutes);
        QCOMPARE(waitThresholdFrom(stored, 5), minutes);
    }

    // Older files have neither key: the defaults a shop would pick.
    void thresholdsFromFile()
    {
        test::TempAppFolder folder;
        CfgMain.setFileName(folder.path() + u"/Zarazo.cfg"_s);
        QCOMPARE(readWaitThresholds(), (WaitThresholds{5, 10}));
        WriteINI(u"SET"_s, u"WaitAmber"_s, u"끔"_s, CfgMain.fileName());
        WriteINI(u"Set"_s, u"WaitRed"_s, u"20"_s, CfgMain.fileName());
        QCOMPARE(readWaitThresholds(), (WaitThresholds{0, 20}));
        QVERIFY(!readDisplayFill());
        storeDisplayFill(true);
        QVERIFY(readDisplayFill());
        QCOMPARE(ReadINI(u"Set"_s, u"DisplayFill"_s, CfgMain.fileName()), u"1"_s);
    }

    // The count is of every open request, also those below the last row.
    void openCount()
    {
        RequestBoard board;
        board.setLayout(0, 0);
        KavriList list;
        for (int i = 0; i < 10; ++i)
            list.append({QString::number(100 - i), u"A-1"_s, u"2026-05-01 10:00:00"_s, u"물"_s, {}});
        board.fill(list, 23);
        QCOMPARE(board.openCount(), 23);
        QCOMPARE(openCountText(board.openCount()), u"대기 23건"_s);
        board.fill(list.mid(0, 3));
        QCOMPARE(board.openCount(), 3);
        board.fill({}, 0);
        QCOMPARE(openCountText(board.openCount()), u"대기 0건"_s);
        // Never fewer than the rows it shows.
        board.fill(list, 2);
        QCOMPARE(board.openCount(), 10);
        board.setLayout(0, 1);
        QCOMPARE(board.openCount(), 0);
    }

    void fillScale_data()
    {
        QTest::addColumn<QSize>("layout");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<qreal>("scale");
        QTest::newRow("1366 on 1920x1080") << QSize(1366, 768) << QSize(1920, 1080) << 1920.0 / 1366;
        QTest::newRow("1366 on 2560x1440") << QSize(1366, 768) << QSize(2560, 1440) << 2560.0 / 1366;
        QTest::newRow("1024 on 1920x1080") << QSize(1024, 768) << QSize(1920, 1080) << 1080.0 / 768;
        QTest::newRow("1024 on 1280x1024") << QSize(1024, 768) << QSize(1280, 1024) << 1.25;
        QTest::newRow("1366 on 1280x1024") << QSize(1366, 768) << QSize(1280, 1024) << 1.0;
        QTest::newRow("1366 on 1600x900") << QSize(1366, 768) << QSize(1600, 900) << 1600.0 / 1366;
        QTest::newRow("same size") << QSize(1024, 768) << QSize(1024, 768) << 1.0;
        QTest::newRow("unknown screen") << QSize(1024, 768) << QSize() << 1.0;
        QTest::newRow("empty layout") << QSize() << QSize(1920, 1080) << 1.0;
    }
    void fillScale()
    {
        QFETCH(QSize, layout);
        QFETCH(QSize, screen);
        QFETCH(qreal, scale);
        QCOMPARE(monitor::fillScale(layout, screen), scale);
        // The scaled board never leaves the screen.
        if (!screen.isEmpty() && scale > 1) {
            QVERIFY(layout.width() * scale <= screen.width() + 0.001);
            QVERIFY(layout.height() * scale <= screen.height() + 0.001);
        }
    }

    // What a shop acts on first comes first: the printer, the tickets not printed,
    // then the service, then speech; the time of the last answer last.
    void healthOrder()
    {
        QStringList full;
        for (const HealthItem &item : everyFault().items())
            full << item.full;
        QCOMPARE(full, (QStringList{u"주방 프린터 출력 실패"_s, u"미출력 11건"_s, u"서버 응답 없음 · 2회"_s,
                                    u"음성 안내 불가"_s, u"확인 14:02:10"_s}));
    }

    void healthFit_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("1024") << kColumns1024
                              << QStringList{u"주방 프린터 실패"_s, u"미출력 11건 · 서버 무응답"_s,
                                             u"음성 불가 · 확인 14:02"_s};
        QTest::newRow("1366") << kColumns1366
                              << QStringList{u"주방 프린터 출력 실패 · 미출력 11건 · 서버 응답 없음 · 2회"_s,
                                             u"음성 안내 불가 · 확인 14:02:10"_s};
    }
    void healthFit()
    {
        QFETCH(int, columns);
        QFETCH(QStringList, lines);
        const auto fits = [columns](const QString &text) { return CommonUtil::textWidth(text) <= columns; };
        const HealthLines shown = healthLines(everyFault().items(), fits, 3);
        QVERIFY(shown.complete);
        QCOMPARE(shown.lines, lines);
        for (const QString &line : shown.lines)
            QVERIFY2(fits(line), qPrintable(line));
    }

    void healthFitEdges()
    {
        const auto columns = [](int n) {
            return [n](const QString &text) { return CommonUtil::textWidth(text) <= n; };
        };
        BoardHealth quiet;
        quiet.pollSucceeded(QDateTime(QDate(2026, 5, 1), QTime(9, 5, 1)));
        QCOMPARE(healthLines(quiet.items(), columns(kColumns1024), 2).lines, QStringList{u"확인 09:05:01"_s});
        QCOMPARE(healthLines(BoardHealth().items(), columns(kColumns1024), 2).lines,
                 QStringList{u"확인 전"_s});
        // Too narrow for anything: one line, marked incomplete, the most urgent first.
        const HealthLines tiny = healthLines(everyFault().items(), columns(6), 3);
        QVERIFY(!tiny.complete);
        QVERIFY(tiny.lines.value(0).startsWith(u"주방 프린터 실패"_s));
    }
};

QTEST_MAIN(TstBoardGlance)
#include "tst_boardglance.moc"
