#include "monitor/RequestBoard.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace kavri;
using namespace kavri::monitor;

namespace {

KavriEntry entry(const QString &num, const QString &table, const QString &memo, const QString &pay = {})
{
    return KavriEntry{num, table, u"2026-12-10 10:00:"_s + num.right(2).rightJustified(2, u'0'), memo, pay};
}

} // namespace

class TstRequestBoard : public QObject
{
    Q_OBJECT
private slots:
    void requestPointSize_data()
    {
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("1024/10 width 44") << u"1024"_s << u"10개"_s << 44 << 20;
        QTest::newRow("1024/10 width 45") << u"1024"_s << u"10개"_s << 45 << 16;
        QTest::newRow("1024/10 width 99") << u"1024"_s << u"10개"_s << 99 << 14;
        QTest::newRow("1024/10 widest") << u"1024"_s << u"10개"_s << 500 << 12;
        QTest::newRow("1024/16 width 149") << u"1024"_s << u"16개"_s << 149 << 10;
        QTest::newRow("1024/16 width 150") << u"1024"_s << u"16개"_s << 150 << 8;
        QTest::newRow("1024/30 empty") << u"1024"_s << u"30개"_s << 0 << 13;
        QTest::newRow("1024/30 widest") << u"1024"_s << u"30개"_s << 150 << 5;
        QTest::newRow("1024/unknown rows as 30") << u"1024"_s << QString() << 64 << 10;
        QTest::newRow("1366/10 width 74") << u"1366"_s << u"10개"_s << 74 << 20;
        QTest::newRow("1366/10 width 75") << u"1366"_s << u"10개"_s << 75 << 16;
        QTest::newRow("1366/16 width 129") << u"1366"_s << u"16개"_s << 129 << 12;
        QTest::newRow("1366/16 width 200") << u"1366"_s << u"16개"_s << 200 << 8;
        QTest::newRow("1366/30 width 229") << u"1366"_s << u"30개"_s << 229 << 7;
        QTest::newRow("1366/30 width 230") << u"1366"_s << u"30개"_s << 230 << 6;
        QTest::newRow("unknown resolution as 1366") << QString() << u"10개"_s << 74 << 20;
    }
    void requestPointSize()
    {
        QFETCH(QString, resolution);
        QFETCH(QString, rows);
        QFETCH(int, width);
        QFETCH(int, expected);
        QCOMPARE(monitor::requestPointSize(resolution, rows, width), expected);
    }

    void bannerPointSize_data()
    {
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("1024 empty") << u"1024"_s << 0 << 40;
        QTest::newRow("1024 54") << u"1024"_s << 54 << 40;
        QTest::newRow("1024 55") << u"1024"_s << 55 << 35;
        QTest::newRow("1024 199") << u"1024"_s << 199 << 24;
        QTest::newRow("1024 200") << u"1024"_s << 200 << 18;
        QTest::newRow("1366 99") << u"1366"_s << 99 << 40;
        QTest::newRow("1366 249") << u"1366"_s << 249 << 24;
        QTest::newRow("1366 250") << u"1366"_s << 250 << 18;
    }
    void bannerPointSize()
    {
        QFETCH(QString, resolution);
        QFETCH(int, width);
        QFETCH(int, expected);
        QCOMPARE(monitor::bannerPointSize(resolution, width), expected);
    }

    void rowCountAndOptionTexts_data()
    {
        QTest::addColumn<int>("resolutionIdx");
        QTest::addColumn<int>("displayIdx");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("resolutionText");
        QTest::addColumn<QString>("rowText");
        QTest::newRow("1024, 10") << 0 << 0 << 10 << u"1024"_s << u"10개"_s;
        QTest::newRow("1366, 16") << 1 << 1 << 16 << u"1366"_s << u"16개"_s;
        QTest::newRow("1024, 30") << 0 << 2 << 30 << u"1024"_s << u"30개"_s;
        QTest::newRow("out of range") << 5 << 3 << 0 << QString() << QString();
        QTest::newRow("negative") << -1 << -1 << 0 << QString() << QString();
    }
    void rowCountAndOptionTexts()
    {
        QFETCH(int, resolutionIdx);
        QFETCH(int, displayIdx);
        RequestBoard board;
        board.setLayout(resolutionIdx, displayIdx);
        QTEST(board.rowCount(), "rows");
        QTEST(board.resolutionText(), "resolutionText");
        QTEST(board.rowText(), "rowText");
    }

    // Three entries on a 10-row board: rows 0 to 2 filled, the banner from row 0,
    // icons by payment type, the rest empty.
    void fillWritesRowsAndBanner()
    {
        RequestBoard board;
        board.setLayout(0, 0);
        QSignalSpy changed(&board, &RequestBoard::changed);
        const KavriList list{entry(u"103"_s, u"B-7"_s, u"물 좀 더 주세요!"_s, u"카드"_s),
                             entry(u"102"_s, u"창가/10"_s, u"수저"_s, u"현금"_s),
                             entry(u"101"_s, u"1"_s, u"앞접시 X 2"_s)};
        board.fill(list);
        QVERIFY(changed.count() >= 1);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(board.row(r).numTag, list[r].NumT);
            QCOMPARE(board.row(r).table, list[r].TableT);
            QCOMPARE(board.row(r).regDate, list[r].RegDateT);
            QCOMPARE(board.row(r).memo, list[r].MemoT);
            QCOMPARE(board.row(r).payType, list[r].PayTypeT);
            QCOMPARE(board.row(r).memoPointSize, 20);
        }
        QCOMPARE(board.row(0).icon, PayIcon::Card);
        QCOMPARE(board.row(1).icon, PayIcon::Cash);
        QCOMPARE(board.row(2).icon, PayIcon::None);
        for (int r = 3; r < RequestBoard::kMaxRows; ++r)
            QVERIFY(board.row(r).isEmpty());
        QCOMPARE(board.banner().table, u"B-7"_s);
        QCOMPARE(board.banner().payType, u"카드"_s);
        QCOMPARE(board.banner().text, u"물 좀 더 주세요!"_s);
        QCOMPARE(board.banner().pointSize, 40);
        QCOMPARE(board.topRegDate(), list[0].RegDateT);
    }

    // A fill empties what the previous fill left and keeps the request numbers;
    // a mark moves with its request and goes when the request has left.
    void refillMovesMarksWithTheirRequests()
    {
        RequestBoard board;
        board.setLayout(0, 0);
        board.fill({entry(u"11"_s, u"A"_s, u"x"_s, u"카드"_s), entry(u"10"_s, u"B"_s, u"y"_s)});
        board.setMarked(1, true);
        QVERIFY(board.anyMarked());

        // A new request arrives on top: the mark follows request 10 to row 2.
        board.fill(
            {entry(u"12"_s, u"C"_s, u"z"_s), entry(u"11"_s, u"A"_s, u"x"_s), entry(u"10"_s, u"B"_s, u"y"_s)});
        QCOMPARE(board.row(0).table, u"C"_s);
        QCOMPARE(board.row(0).icon, PayIcon::None);
        QVERIFY(!board.row(1).marked);
        QVERIFY(board.row(2).marked);

        // Request 10 leaves the list: its mark is dropped, the row is empty.
        board.fill({entry(u"12"_s, u"C"_s, u"z"_s)});
        QVERIFY(board.row(2).isEmpty());
        QVERIFY(board.row(2).memo.isEmpty());
        QCOMPARE(board.row(2).numTag, u"10"_s);
        QVERIFY(!board.anyMarked());

        board.fill({});
        QVERIFY(board.topRegDate().isEmpty());
        QVERIFY(board.banner().text.isEmpty());
        QCOMPARE(board.banner().pointSize, 40);
    }

    // The layout empties rows and marks; clearRows leaves marks alone.
    void layoutClearsMarksClearRowsDoesNot()
    {
        RequestBoard board;
        board.setLayout(0, 2);
        board.fill({entry(u"1"_s, u"A"_s, u"x"_s)});
        board.setMarked(0, true);
        board.clearRows();
        QVERIFY(board.row(0).isEmpty());
        QVERIFY(board.row(0).marked);
        board.setLayout(1, 0);
        QVERIFY(!board.anyMarked());
        QCOMPARE(board.row(0).numTag, u"1"_s);
        board.setMarked(-1, true);
        board.setMarked(RequestBoard::kMaxRows, true);
        QVERIFY(!board.anyMarked());
    }

    // More entries than rows never write past the 30 rows.
    void fillIgnoresEntriesBeyondThirty()
    {
        RequestBoard board;
        board.setLayout(1, 2);
        KavriList list;
        for (int i = 0; i < 45; ++i)
            list.append(entry(QString::number(100 + i), u"T"_s + QString::number(i), u"요청"_s));
        board.fill(list);
        QCOMPARE(board.row(29).numTag, u"129"_s);
    }

    // The request caption's size follows the text's column width and the options.
    void fillSizesByWidth()
    {
        RequestBoard board;
        board.setLayout(0, 0);
        const QString wide = QString(23, QChar(u'가')); // 46 columns
        board.fill({entry(u"1"_s, u"A"_s, QString(44, u'a')), entry(u"2"_s, u"B"_s, wide)});
        QCOMPARE(board.row(0).memoPointSize, 20);
        QCOMPARE(board.row(1).memoPointSize, 16);
        QCOMPARE(board.banner().pointSize, 40);
        board.fill({entry(u"3"_s, u"C"_s, QString(100, QChar(u'가')))});
        QCOMPARE(board.banner().pointSize, 18);
    }
};

QTEST_GUILESS_MAIN(TstRequestBoard)
#include "tst_requestboard.moc"
