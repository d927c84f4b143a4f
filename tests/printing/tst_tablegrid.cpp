#include "printing/TableGrid.h"

#include <QTest>

using namespace kavri;

class TstTableGrid : public QObject
{
    Q_OBJECT
private slots:
    // Paging through 15 rows a page: the next page starts a page further down
    // only when a row is there; the previous one never goes above row 1.
    void pageTops_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("one page") << 1 << 15 << 1 << 1;
        QTest::newRow("one row past a page") << 1 << 16 << 16 << 1;
        QTest::newRow("second page of three") << 16 << 45 << 31 << 1;
        QTest::newRow("last full page") << 31 << 45 << 31 << 16;
        QTest::newRow("scrolled by hand") << 5 << 19 << 5 << 1;
        QTest::newRow("near the end") << 20 << 40 << 35 << 5;
        QTest::newRow("empty grid") << 1 << 0 << 1 << 1;
    }
    void pageTops()
    {
        QFETCH(int, first);
        QFETCH(int, rows);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(nextPageTop(first, rows, 15), next);
        QCOMPARE(previousPageTop(first, 15), previous);
    }
};

QTEST_GUILESS_MAIN(TstTableGrid)
#include "tst_tablegrid.moc"
