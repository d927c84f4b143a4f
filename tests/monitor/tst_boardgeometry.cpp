#include "monitor/BoardGeometry.h"

#include <QTest>

using namespace kavri::monitor;

Q_DECLARE_METATYPE(QList<int>)

namespace {

QList<int> lefts(const BoardGeometry &g)
{
    QList<int> out;
    for (int h = 0; h < g.headingCount; ++h)
        out.append(g.headings[h].left());
    return out;
}

QList<int> widths(const BoardGeometry &g)
{
    QList<int> out;
    for (int h = 0; h < g.headingCount; ++h)
        out.append(g.headings[h].width());
    return out;
}

} // namespace

class TstBoardGeometry : public QObject
{
    Q_OBJECT
private slots:
    // The six layouts against the design tables.
    void layouts_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("display");
        QTest::addColumn<QList<int>>("lefts");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("headingHeight");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("firstTop");
        QTest::addColumn<int>("rowHeight");
        QTest::addColumn<QList<int>>("fonts"); // NO, table, request, check
        QTest::addColumn<int>("gridEnd");

        QTest::newRow("10 rows, 1024") << 0 << 0 << QList<int>{0, 39, 190, 461, 512, 551, 702, 973}
                                       << QList<int>{38, 150, 271, 50, 38, 150, 271, 50} << 42 << 10 << 335
                                       << 85 << QList<int>{18, 20, 20, 20} << 1023;
        QTest::newRow("10 rows, 1366") << 1 << 0 << QList<int>{0, 39, 190, 632, 683, 722, 873, 1315}
                                       << QList<int>{38, 150, 442, 50, 38, 150, 442, 50} << 42 << 10 << 335
                                       << 85 << QList<int>{18, 20, 20, 20} << 1365;
        QTest::newRow("16 rows, 1024") << 0 << 1 << QList<int>{0, 39, 190, 471, 512, 551, 702, 983}
                                       << QList<int>{38, 150, 281, 40, 38, 150, 281, 40} << 37 << 16 << 330
                                       << 53 << QList<int>{18, 20, 18, 20} << 1023;
        QTest::newRow("16 rows, 1366") << 1 << 1 << QList<int>{0, 39, 190, 632, 683, 722, 873, 1315}
                                       << QList<int>{38, 150, 442, 50, 38, 150, 442, 50} << 37 << 16 << 330
                                       << 53 << QList<int>{18, 20, 18, 20} << 1365;
        QTest::newRow("30 rows, 1024")
            << 0 << 2 << QList<int>{0, 39, 130, 300, 341, 380, 471, 641, 682, 721, 812, 982}
            << QList<int>{38, 90, 170, 40, 38, 90, 170, 40, 38, 90, 170, 41} << 37 << 30 << 330 << 42
            << QList<int>{16, 14, 14, 20} << 1023;
        QTest::newRow("30 rows, 1366")
            << 1 << 2 << QList<int>{0, 39, 130, 414, 455, 494, 585, 869, 910, 949, 1040, 1324}
            << QList<int>{38, 90, 284, 40, 38, 90, 284, 40, 38, 90, 284, 41} << 37 << 30 << 330 << 42
            << QList<int>{16, 14, 14, 20} << 1365;
    }
    void layouts()
    {
        QFETCH(int, resolution);
        QFETCH(int, display);
        QFETCH(QList<int>, lefts);
        QFETCH(QList<int>, widths);
        QFETCH(int, headingHeight);
        QFETCH(int, rows);
        QFETCH(int, firstTop);
        QFETCH(int, rowHeight);
        QFETCH(QList<int>, fonts);
        QFETCH(int, gridEnd);

        const BoardGeometry g = boardGeometry(resolution, display);
        QCOMPARE(::lefts(g), lefts);
        QCOMPARE(::widths(g), widths);
        QCOMPARE(g.gridEnd(), gridEnd);
        for (int h = 0; h < g.headingCount; ++h) {
            QCOMPARE(g.headings[h].top(), 291);
            QCOMPARE(g.headings[h].height(), headingHeight);
        }
        QCOMPARE(g.fonts.heading, 15);
        QCOMPARE((QList<int>{g.fonts.no, g.fonts.table, g.fonts.request, g.fonts.check}), fonts);

        QCOMPARE(g.rowCount, rows);
        const int groups = g.headingCount / 4;
        const int perGroup = rows / groups;
        for (int r = 0; r < rows; ++r) {
            const int group = r / perGroup;
            for (int c = 0; c < 4; ++c) {
                const QRect &cell = g.cells[r][c];
                QCOMPARE(cell.left(), g.headings[group * 4 + c].left());
                QCOMPARE(cell.width(), g.headings[group * 4 + c].width());
                QCOMPARE(cell.height(), rowHeight);
                QCOMPARE(cell.top(), g.cells[r][0].top());
            }
            if (r % perGroup == 0)
                QCOMPARE(g.cells[r][0].top(), firstTop);
            // Rows of a group follow each other with the same gap as below the headings.
            if (r % perGroup == perGroup - 1)
                QCOMPARE(g.cells[r][0].top() + rowHeight, 768);
            else
                QCOMPARE(g.cells[r + 1][0].top() - g.cells[r][0].top() - rowHeight,
                         firstTop - (291 + headingHeight));
        }
        for (int r = rows; r < BoardGeometry::kRows; ++r)
            QVERIFY(g.cells[r][0].isNull());
    }

    void windowParts_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("picFrameLeft");
        QTest::addColumn<int>("storeNameWidth");
        QTest::addColumn<QRect>("imgBack0");
        QTest::addColumn<QRect>("imgBack1");
        QTest::addColumn<QRect>("banner");
        QTest::newRow("1024") << 0 << 1024 << 330 << 220 << QRect(540, 72, 456, 210)
                              << QRect(981, 72, 20, 210) << QRect(465, 75, 528, 198);
        QTest::newRow("1366") << 1 << 1366 << 672 << 562 << QRect(540, 72, 798, 210)
                              << QRect(1323, 72, 20, 210) << QRect(465, 75, 870, 198);
    }
    void windowParts()
    {
        QFETCH(int, resolution);
        QFETCH(int, width);
        QFETCH(int, picFrameLeft);
        QFETCH(int, storeNameWidth);
        QFETCH(QRect, imgBack0);
        QFETCH(QRect, imgBack1);
        QFETCH(QRect, banner);
        for (int display = 0; display < 3; ++display) {
            const BoardGeometry g = boardGeometry(resolution, display);
            QCOMPARE(g.windowWidth, width);
            QCOMPARE(g.picFrameLeft, picFrameLeft);
            QCOMPARE(g.storeNameWidth, storeNameWidth);
            QCOMPARE(g.imgBack[0], imgBack0);
            QCOMPARE(g.imgBack[1], imgBack1);
            QCOMPARE(g.lblRequest, banner);
            QCOMPARE(g.shpBack, QRect(0, 290, width, 480));
        }
    }

    void namedCases()
    {
        // The sixth of 10 rows heads the right-hand group.
        const BoardGeometry ten = boardGeometry(0, 0);
        QCOMPARE(ten.cells[5][0].topLeft(), QPoint(512, 335));
        // The last group's check heading of the wide 30-row board: 41 pixels, ending at 1365.
        const BoardGeometry wide = boardGeometry(1, 2);
        QCOMPARE(wide.headings[11].width(), 41);
        QCOMPARE(wide.headings[11].left() + wide.headings[11].width(), 1365);
        QCOMPARE(wide.cells[29][BoardGeometry::Check].left() + wide.cells[29][BoardGeometry::Check].width(),
                 1365);
    }

    // A row option outside 0 to 2: no headings and no rows, the window parts still set.
    void unknownRowOption_data()
    {
        QTest::addColumn<int>("display");
        QTest::newRow("3") << 3;
        QTest::newRow("-1") << -1;
        QTest::newRow("large") << 1000000;
    }
    void unknownRowOption()
    {
        QFETCH(int, display);
        const BoardGeometry g = boardGeometry(1, display, boardGeometry(0, 2));
        QCOMPARE(g.headingCount, 0);
        QCOMPARE(g.rowCount, 0);
        QCOMPARE(g.gridEnd(), 0);
        QCOMPARE(g.windowWidth, 1366);
        QCOMPARE(g.lblRequest, QRect(465, 75, 870, 198));
    }

    // A resolution option outside 0 and 1 keeps the previous window parts and
    // heading widths, but still places and shows the rows of the row option.
    void unknownResolution_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::newRow("2") << 2;
        QTest::newRow("-1") << -1;
    }
    void unknownResolution()
    {
        QFETCH(int, resolution);
        const BoardGeometry previous = boardGeometry(1, 0);
        const BoardGeometry g = boardGeometry(resolution, 1, previous);
        QCOMPARE(g.windowWidth, 1366);
        QCOMPARE(g.picFrameLeft, 672);
        QCOMPARE(g.imgBack[0], previous.imgBack[0]);
        QCOMPARE(g.lblRequest, previous.lblRequest);
        QCOMPARE(::widths(g), (QList<int>{38, 150, 442, 50, 38, 150, 442, 50}));
        QCOMPARE(::lefts(g), (QList<int>{0, 39, 190, 632, 683, 722, 873, 1315}));
        QCOMPARE(g.rowCount, 16);
        QCOMPARE(g.headings[0].height(), 37);
        QCOMPARE(g.cells[15][0].top() + g.cells[15][0].height(), 768);

        // From the design look the 30-row widths stand; a 30-row layout then keeps them.
        const BoardGeometry fromDesign = boardGeometry(resolution, 2);
        QCOMPARE(fromDesign.windowWidth, 1024);
        QCOMPARE(::widths(fromDesign), ::widths(boardGeometry(0, 2)));
        QCOMPARE(fromDesign.gridEnd(), 1023);
    }
};

QTEST_APPLESS_MAIN(TstBoardGeometry)
#include "tst_boardgeometry.moc"
